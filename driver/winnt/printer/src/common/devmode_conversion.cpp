// Building a device mode from settings and unpacking one into settings.
#include "driver/winnt/printer/src/common/devmode_conversion.h"

#include <algorithm>

#include "driver/winnt/printer/src/common/block_copy.h"
#include "driver/winnt/printer/src/common/settings_codes.h"
#include "driver/winnt/printer/src/common/settings_defaults.h"

namespace k460::hostsettings {
namespace {

template <std::size_t N>
void CopyName(WCHAR (&to)[N], std::u16string_view from) {
  std::fill(to, to + N, u'\0');
  std::copy_n(from.begin(), std::min(from.size(), N - 1), to);
}

std::size_t ValidPaperPosition(std::int32_t position, const PaperTable& papers, std::int32_t countryCode) {
  if (position >= 0 && static_cast<std::size_t>(position) < papers.size()) return static_cast<std::size_t>(position);
  return papers.DefaultPosition(EffectiveCountryCode(countryCode));
}

// The public part of `settings` as the drivers write it.
DEVMODEW BuildPublicPart(const HostSettings& s, std::size_t paperPosition, const PaperTable& papers,
                         std::span<const FormRecord> forms) {
  const HostVariant variant = papers.variant();
  DEVMODEW dm{};
  CopyName(dm.dmDeviceName, kDevModeDeviceName);
  dm.dmSpecVersion = kDevModeSpecVersion;
  dm.dmDriverVersion = kDevModeDriverVersion;
  dm.dmSize = kDevModePublicSize;
  dm.dmDriverExtra = kDevModePrivateSize;
  dm.dmFields = kDevModeFields;
  dm.dmOrientation = s.hsLandscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;

  const PaperEntry& paper = papers[paperPosition];
  dm.dmPaperSize = paper.windowsCode;
  if (paper.windowsCode >= kFreeSizePaperCode) {
    // Windows gives a paper's own size in portrait terms whatever the
    // orientation, and that is how it is read back.
    dm.dmPaperLength = paper.portrait.length;
    dm.dmPaperWidth = paper.portrait.width;
  }
  dm.dmScale = 100;

  // Out-of-range settings are written with their fallbacks.
  const std::int32_t source = s.hsSourceIndex >= 0 && s.hsSourceIndex < kSourceCount ? s.hsSourceIndex : 0;
  const auto resolution = static_cast<SHORT>(ResolutionOfIndex(s.hsResolutionIndex, variant));
  dm.dmCopies = static_cast<SHORT>(std::clamp(s.hsCopies, 1, MaxCopies(variant)));
  dm.dmDefaultSource = static_cast<SHORT>(SourceBinOfIndex(source));
  dm.dmPrintQuality = resolution;
  dm.dmYResolution = resolution;
  dm.dmLogPixels = static_cast<WORD>(resolution);
  dm.dmColor = DMCOLOR_MONOCHROME;
  dm.dmDuplex = DMDUP_SIMPLEX;
  dm.dmTTOption = DMTT_BITMAP;
  dm.dmCollate = s.hsCollate ? DMCOLLATE_TRUE : DMCOLLATE_FALSE;
  if (paperPosition < forms.size()) CopyName(dm.dmFormName, FormName(forms[paperPosition]));
  dm.dmICMMethod = 1;
  return dm;
}

// The edited values of block A as they would be after an apply of the head.
void MatchEditedValues(HostSettings& s, const PaperTable& papers) {
  HostBlocks& b = s.blocks;
  b.hsCopiesUi = s.hsCopies;
  b.hsSort = s.hsCollate;
  b.hsOrientation = s.hsLandscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
  b.hsPaper = papers[static_cast<std::size_t>(s.hsPaperIndex)].deviceCode;
  b.hsSource = s.hsSourceIndex;
  b.hsOutputOrder = s.hsReverseOrder;
  b.hsResolutionChoice = ResolutionChoiceOfIndex(s.hsResolutionIndex, papers.variant());
}

}  // namespace

std::int32_t EffectiveCountryCode(std::int32_t countryCode) {
  return countryCode == kNoCountryCode ? kDefaultCountryCode : countryCode;
}

HostDevMode BuildHostDevMode(const HostSettings& settings, const PaperTable& papers,
                             std::span<const FormRecord> forms, std::int32_t countryCode) {
  const HostVariant variant = papers.variant();
  const std::size_t paperPosition = ValidPaperPosition(settings.hsPaperIndex, papers, countryCode);

  HostDevMode devMode{};
  devMode.dm = BuildPublicPart(settings, paperPosition, papers, forms);
  const std::int32_t priorityIndex =
      settings.hsPriorityIndex >= 0 && settings.hsPriorityIndex < 3 ? settings.hsPriorityIndex : 1;
  const std::int32_t selectorIndex = settings.hsReserved28 == 1 ? 1 : 0;
  devMode.dpPriority = PriorityCodeOfIndex(priorityIndex);
  devMode.dpReserved228 = ReservedSelectorValueOfIndex(selectorIndex);
  devMode.dpCollate = settings.hsCollate ? 1 : 0;
  devMode.dpReverseOrder = settings.hsReverseOrder ? 1 : 0;
  devMode.dpCountryCode = countryCode;
  devMode.blocks = settings.blocks;
  devMode.blocks.hsRuntime56 = 0;
  devMode.blocks.hsGraphicsSize = kGraphicsBlockSize;
  if (variant == HostVariant::kFax) ClearBlockRange(devMode.blocks, kFinishingBlock);
  return devMode;
}

HostSettings SettingsFromDevMode(const IncomingDevMode& devMode, const HostSettings& base, const PaperTable& papers,
                                 std::int32_t countryCode, std::optional<std::int32_t> skipBlankPages) {
  const HostVariant variant = papers.variant();
  const DEVMODEW& dm = devMode.record.dm;
  const std::int32_t country = EffectiveCountryCode(countryCode);
  HostSettings s = base;

  if (devMode.Gives(DM_PAPERSIZE))
    s.hsPaperIndex = static_cast<std::int32_t>(papers.PositionOfWindowsCode(dm.dmPaperSize, country));
  if (devMode.Gives(DM_DEFAULTSOURCE)) s.hsSourceIndex = SourceIndexOfBin(dm.dmDefaultSource);
  if (devMode.Gives(DM_ORIENTATION)) s.hsLandscape = dm.dmOrientation == DMORIENT_LANDSCAPE ? 1 : 0;
  if (devMode.Gives(DM_COPIES)) s.hsCopies = std::clamp<std::int32_t>(dm.dmCopies, 1, MaxCopies(variant));
  if (devMode.Gives(DM_PRINTQUALITY)) s.hsResolutionIndex = ResolutionIndexOfDpi(dm.dmPrintQuality, variant);

  if (devMode.complete) {
    const HostDevMode& record = devMode.record;
    s.hsCollate = record.dpCollate != 0 ? 1 : 0;
    s.hsReverseOrder = record.dpReverseOrder != 0 ? 1 : 0;
    s.hsPriorityIndex = PriorityIndexOfCode(record.dpPriority);
    s.hsReserved28 = ReservedSelectorIndexOfValue(record.dpReserved228);
    CopyBlocks(record.blocks, s.blocks, variant);
  } else if (devMode.Gives(DM_COLLATE)) {
    s.hsCollate = dm.dmCollate == DMCOLLATE_TRUE ? 1 : 0;
  }
  if (skipBlankPages) s.blocks.hsSkipBlankPages = *skipBlankPages != 0 ? 1 : 0;

  NormaliseSettings(s, papers, country);
  MatchEditedValues(s, papers);
  return s;
}

void ApplyEditedValues(HostSettings& s, const PaperTable& papers, std::int32_t countryCode) {
  const HostBlocks& b = s.blocks;
  s.hsPaperIndex = static_cast<std::int32_t>(papers.PositionOfDeviceCode(b.hsPaper, EffectiveCountryCode(countryCode)));
  s.hsSourceIndex = b.hsSource;
  s.hsLandscape = b.hsOrientation != DMORIENT_PORTRAIT ? 1 : 0;
  s.hsCopies = b.hsCopiesUi;
  s.hsCollate = b.hsSort;
  s.hsReverseOrder = b.hsOutputOrder;
  s.hsResolutionIndex = ResolutionIndexOfChoice(b.hsResolutionChoice, s.hsResolutionIndex, papers.variant());
}

std::optional<FreeSize> FreeSizeOf(const IncomingDevMode& devMode) {
  const DEVMODEW& dm = devMode.record.dm;
  if (!devMode.Gives(DM_PAPERSIZE) || dm.dmPaperSize != kFreeSizePaperCode) return std::nullopt;
  if (!devMode.Gives(DM_PAPERWIDTH) || !devMode.Gives(DM_PAPERLENGTH)) return std::nullopt;
  return FreeSize{dm.dmPaperWidth, dm.dmPaperLength};
}

}  // namespace k460::hostsettings
