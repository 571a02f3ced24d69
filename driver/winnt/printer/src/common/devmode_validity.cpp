// Which device modes the user interfaces accept as they are.
#include <algorithm>

#include "driver/winnt/printer/src/common/devmode_conversion.h"
#include "driver/winnt/printer/src/common/settings_codes.h"

namespace k460::hostsettings {
namespace {

struct CodeRange {
  std::int32_t low, high;
};
constexpr CodeRange kAcceptedPaperCodes[] = {{1, 1},   {4, 9},   {11, 13},   {27, 28},   {43, 43},   {60, 60},
                                             {69, 71}, {74, 74}, {119, 120}, {256, 513}};

}  // namespace

bool IsAcceptedPaperCode(std::int32_t code, HostVariant variant) {
  for (CodeRange range : kAcceptedPaperCodes)
    if (code >= range.low && code <= range.high) return true;
  const auto builtIn = BuiltInPapers(variant);
  return std::ranges::find(builtIn, code, [](const PaperEntry& e) { return std::int32_t{e.windowsCode}; }) !=
         builtIn.end();
}

bool IsValidHostDevMode(const IncomingDevMode& devMode, HostVariant variant) {
  if (!devMode.complete) return false;
  const DEVMODEW& dm = devMode.record.dm;
  return dm.dmDriverVersion == kDevModeDriverVersion && dm.dmSpecVersion == kDevModeSpecVersion &&
         (dm.dmOrientation == DMORIENT_PORTRAIT || dm.dmOrientation == DMORIENT_LANDSCAPE) &&
         IsAcceptedPaperCode(dm.dmPaperSize, variant) && IsSourceBin(dm.dmDefaultSource) &&
         (dm.dmCollate == DMCOLLATE_FALSE || dm.dmCollate == DMCOLLATE_TRUE) && dm.dmScale >= 25 &&
         dm.dmScale <= 400 && dm.dmCopies >= 1 && dm.dmCopies <= MaxCopies(variant) &&
         dm.dmPrintQuality == dm.dmYResolution && dm.dmPrintQuality == dm.dmLogPixels &&
         IsTableResolution(dm.dmPrintQuality, variant) && dm.dmColor == DMCOLOR_MONOCHROME &&
         dm.dmDuplex == DMDUP_SIMPLEX && dm.dmTTOption == DMTT_BITMAP;
}

bool IsValidHostDevMode(std::span<const std::uint8_t> buffer, HostVariant variant) {
  const auto devMode = ReadIncomingDevMode(buffer);
  return devMode && IsValidHostDevMode(*devMode, variant);
}

}  // namespace k460::hostsettings
