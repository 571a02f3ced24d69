#include "driver/pcl/printer_common/settings/driver_ini.h"

#include <string_view>
#include <vector>

#include "platform/profile/profile.h"
#include "platform/spooler/spooler.h"

namespace {

// ".INI" anywhere in the file name, letters without regard to case.
bool NamesIniFile(std::u16string_view fileName) {
  constexpr std::u16string_view kIni = u".INI";
  for (std::size_t i = 0; i + kIni.size() <= fileName.size(); ++i) {
    bool match = true;
    for (std::size_t k = 0; k < kIni.size() && match; ++k) {
      char16_t c = fileName[i + k];
      if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 32);
      match = c == kIni[k];
    }
    if (match) return true;
  }
  return false;
}

}  // namespace

bool FindDriverIni(HANDLE printer, WCHAR* buffer, DWORD capacity) {
  if (!printer || !buffer || !capacity) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  DWORD needed = 0;
  GetPrinterDriverW(printer, nullptr, 3, nullptr, 0, &needed);
  if (needed == 0) return false;
  std::vector<BYTE> info(needed);
  if (!GetPrinterDriverW(printer, nullptr, 3, info.data(), needed, &needed)) return false;
  const auto* driver = reinterpret_cast<const DRIVER_INFO_3W*>(info.data());
  const WCHAR* entry = driver->pDependentFiles;
  if (!entry) return false;
  const WCHAR* end = reinterpret_cast<const WCHAR*>(info.data() + info.size());
  while (entry < end && *entry) {
    std::u16string_view path(entry, std::char_traits<char16_t>::length(entry));
    if (path.size() & 0x40000000) break;  // an entry no real list holds ends the walk
    if (auto slash = path.rfind(u'\\'); slash != std::u16string_view::npos && NamesIniFile(path.substr(slash + 1))) {
      if (path.size() >= capacity) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return false;
      }
      path.copy(buffer, path.size());
      buffer[path.size()] = 0;
      return true;
    }
    entry += path.size() + 1;
  }
  return false;
}

int ReadDriverIniInt(HANDLE printer, const WCHAR* section, const WCHAR* key, int defaultValue) {
  if (!printer || !section || !key) return defaultValue;
  WCHAR path[1000];
  if (!FindDriverIni(printer, path, 1000)) return defaultValue;
  return static_cast<int>(GetPrivateProfileIntW(section, key, defaultValue, path));
}
