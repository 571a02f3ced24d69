// Everything a driver library reads from its printer at once: the graphics
// libraries when a device is enabled (with the job's device mode), the user
// interfaces when a property sheet opens.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "driver/winnt/printer/src/common/host_settings.h"
#include "driver/winnt/printer/src/common/incoming_devmode.h"
#include "driver/winnt/printer/src/common/paper_table.h"
#include "driver/winnt/printer/src/common/printer_data_records.h"
#include "platform/base/types.h"

namespace k460::hostsettings {

struct RendererSettings {
  HostSettings settings{};
  PaperTable papers{HostVariant::kHostBased};
  UserInfoSlots users;
  std::vector<FormRecord> forms;
  std::int32_t countryCode = 0;
  std::optional<IncomingDevMode> jobDevMode;
  // Host-based driver only; the fax driver never reads them.
  std::optional<DitherBaseRecord> ditherBase;
  std::optional<std::int32_t> ditherContrast;
};

// The country code of a job: the job's dpCountryCode, else the printer's
// "CountryCode", else 81 (-1 counts as none).
std::int32_t JobCountryCode(const std::optional<IncomingDevMode>& jobDevMode, std::optional<std::int32_t> stored);

// The settings of a job as a graphics library renders it. `jobDevMode` holds
// the job's device mode as far as it reaches (see DevModeBytes), or nothing.
// "PrinterData" or the defaults; the paper table with the custom papers and
// the job's free size, built before the job's paper is looked up in it;
// then the job's device mode over the settings; forms, user entries and
// (host-based) the dither values.
RendererSettings LoadRendererSettings(HANDLE hPrinter, std::span<const std::uint8_t> jobDevMode, HostVariant variant);

struct SheetSettings {
  HostSettings settings{};
  PaperTable papers{HostVariant::kHostBased};
  UserInfoSlots users;
};

// A property sheet's working copy: "PrinterData" or the full defaults for the
// user's `countryCode`; (host-based) the density from "DitherContrast"; the
// paper table with the custom papers; the user entries.
SheetSettings LoadSheetSettings(HANDLE hPrinter, HostVariant variant, std::int32_t countryCode);

}  // namespace k460::hostsettings
