// Default settings of the host-based and fax drivers, and the repair of
// settings that came from outside (a device mode, stored printer data):
// every field with a documented range is brought back into it.
#pragma once

#include <cstdint>

#include "driver/winnt/printer/src/common/host_settings.h"
#include "driver/winnt/printer/src/common/host_variant.h"
#include "driver/winnt/printer/src/common/paper_table.h"

namespace k460::hostsettings {

enum class ResetScope {
  // A device's first initialisation: everything.
  kFull,
  // A sheet's defaults button: keeps the installed options (block D), the
  // density and the custom paper count (the papers belong to the printer).
  kDocument,
};

// The full defaults. `countryCode` chooses Letter or A4 and the margin unit.
HostSettings DefaultHostSettings(HostVariant variant, std::int32_t countryCode);
void RestoreDefaults(HostSettings& settings, HostVariant variant, std::int32_t countryCode, ResetScope scope);

// Brings the block fields into their ranges: numbers with a range (copies,
// margins, density, memory) are clamped into it; a code or switch outside
// its values takes its default (a zoom of 100 becomes 1000); the fax password
// is NUL-terminated, the graphics block size is 48, the automatic option
// configuration is off and the run-time word is 0. The fax driver's
// finishing block is all zero.
void NormaliseBlocks(HostBlocks& blocks, HostVariant variant, std::int32_t countryCode);
// The same for the whole record, the head included: a paper position beyond
// `papers` becomes the default paper, the custom paper count is that of
// `papers`, the other indexes fall back to their defaults (a resolution index
// of 3 or more to the last resolution).
void NormaliseSettings(HostSettings& settings, const PaperTable& papers, std::int32_t countryCode);

}  // namespace k460::hostsettings
