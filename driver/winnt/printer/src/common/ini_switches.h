// The INI switch that the settings take over whenever a device mode is read.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace k460::hostsettings {

// `NotBlankPaperPrinting` of section `RegEntry` in the INI file `iniPath`
// (default 0), or nothing when the file does not exist.
std::optional<std::int32_t> ReadNotBlankPaperPrinting(std::u16string_view iniPath);

}  // namespace k460::hostsettings
