#include "driver/winnt/printer/src/common/settings_loading.h"

#include <algorithm>

#include "driver/winnt/printer/src/common/devmode_conversion.h"
#include "driver/winnt/printer/src/common/printer_data_values.h"
#include "driver/winnt/printer/src/common/settings_codes.h"
#include "driver/winnt/printer/src/common/settings_defaults.h"

namespace k460::hostsettings {
namespace {

constexpr std::int32_t kMaxDensity = 50;

std::vector<CustomPaperRecord> CustomPapersOf(HANDLE hPrinter, HostVariant variant) {
  return variant == HostVariant::kFax ? std::vector<CustomPaperRecord>{} : ReadCustomPapers(hPrinter);
}

}  // namespace

std::int32_t JobCountryCode(const std::optional<IncomingDevMode>& jobDevMode, std::optional<std::int32_t> stored) {
  if (jobDevMode && jobDevMode->complete && jobDevMode->record.dpCountryCode != kNoCountryCode)
    return jobDevMode->record.dpCountryCode;
  if (stored && *stored != kNoCountryCode) return *stored;
  return kDefaultCountryCode;
}

RendererSettings LoadRendererSettings(HANDLE hPrinter, std::span<const std::uint8_t> jobDevMode, HostVariant variant) {
  RendererSettings loaded;
  loaded.jobDevMode = ReadIncomingDevMode(jobDevMode);
  const bool jobHasCountry = loaded.jobDevMode && loaded.jobDevMode->complete &&
                             loaded.jobDevMode->record.dpCountryCode != kNoCountryCode;
  loaded.countryCode = JobCountryCode(loaded.jobDevMode, jobHasCountry ? std::nullopt : ReadCountryCode(hPrinter));

  // The job's paper may be a custom paper or its own free size: the table has
  // to hold them before the paper is looked up.
  const std::optional<FreeSize> freeSize = loaded.jobDevMode ? FreeSizeOf(*loaded.jobDevMode) : std::nullopt;
  loaded.papers = PaperTable::Build(variant, CustomPapersOf(hPrinter, variant), freeSize);

  HostSettings printer = ReadPrinterSettings(hPrinter).value_or(DefaultHostSettings(variant, loaded.countryCode));
  NormaliseSettings(printer, loaded.papers, loaded.countryCode);
  loaded.settings = loaded.jobDevMode
                        ? SettingsFromDevMode(*loaded.jobDevMode, printer, loaded.papers, loaded.countryCode)
                        : printer;

  loaded.forms = ReadForms(hPrinter, variant);
  loaded.users = ReadUserInfo(hPrinter);
  if (variant == HostVariant::kHostBased) {
    loaded.ditherBase = ReadDitherBase(hPrinter);
    loaded.ditherContrast = ReadDitherContrast(hPrinter);
  }
  return loaded;
}

SheetSettings LoadSheetSettings(HANDLE hPrinter, HostVariant variant, std::int32_t countryCode) {
  const std::int32_t country = EffectiveCountryCode(countryCode);
  SheetSettings sheet;
  sheet.settings = ReadPrinterSettings(hPrinter).value_or(DefaultHostSettings(variant, country));
  if (variant == HostVariant::kHostBased) {
    if (auto density = ReadDitherContrast(hPrinter))
      sheet.settings.blocks.hsDensity = std::clamp(*density, -kMaxDensity, kMaxDensity);
  }
  sheet.papers = PaperTable::Build(variant, CustomPapersOf(hPrinter, variant));
  NormaliseSettings(sheet.settings, sheet.papers, country);
  sheet.users = ReadUserInfo(hPrinter);
  return sheet;
}

}  // namespace k460::hostsettings
