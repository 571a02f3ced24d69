#include "driver/winnt/printer/src/common/ini_switches.h"

#include <string>

#include "platform/files/files.h"
#include "platform/profile/profile.h"

namespace k460::hostsettings {

std::optional<std::int32_t> ReadNotBlankPaperPrinting(std::u16string_view iniPath) {
  const std::u16string path(iniPath);
  if (path.empty()) return std::nullopt;
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return std::nullopt;
  return static_cast<std::int32_t>(GetPrivateProfileIntW(u"RegEntry", u"NotBlankPaperPrinting", 0, path.c_str()));
}

}  // namespace k460::hostsettings
