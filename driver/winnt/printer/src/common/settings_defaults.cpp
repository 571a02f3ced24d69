#include "driver/winnt/printer/src/common/settings_defaults.h"

#include <algorithm>
#include <initializer_list>

#include "driver/winnt/printer/src/common/block_copy.h"
#include "driver/winnt/printer/src/common/settings_codes.h"

namespace k460::hostsettings {
namespace {

constexpr std::int32_t kDefaultZoom = 1000;
constexpr std::int32_t kMinZoom = 250;
constexpr std::int32_t kMaxZoom = 4000;
constexpr std::int32_t kMinMemoryMb = 16;
constexpr std::int32_t kMaxMemoryMb = 144;
constexpr std::int32_t kMaxDensity = 50;
constexpr std::int32_t kDefaultEnhanceRop = 0xCCCC;
constexpr std::int16_t kDefaultReductionThreshold = 75;

// Each of these fills the named fields of one block of a zero-filled record.
void SetPageDefaults(HostBlocks& b, std::int32_t paperCode) {
  b.hsCopiesUi = 1;
  b.hsSort = 0;
  b.hsPaper = paperCode;
  b.hsSource = 0;
  b.hsOutbin = 0;
  b.hsPaperType = 0;
  b.hsOrientation = 1;
  b.hsShift = 0;
  b.hsOutputOrder = 0;
  b.hsZoomToPaper = 0;
  b.hsZoomPaper = 0;
  b.hsFitToPaper = 0;
  b.hsZoom = kDefaultZoom;
  b.hsFromPaint = 0;
  b.hsSkipBlankPages = 0;
}

void SetLayoutDefaults(HostBlocks& b, std::int32_t marginUnit) {
  b.hsNup = 0;
  b.hsNupOrder = 0;
  b.hsNupBorder = 0;
  b.hsReserved144 = 0;
  b.hsBooklet = 0;
  b.hsBookletBinding = 0;
  b.hsDuplex = 0;
  b.hsDuplexBinding = 1;
  b.hsMarginUnit = marginUnit;
  b.hsMarginFront = 0;
  b.hsMarginBack = 0;
}

void SetOptionDefaults(HostBlocks& b, HostVariant variant) {
  b.hsManualTray = variant == HostVariant::kFax ? 0 : 1;
  b.hsCassette2 = variant == HostVariant::kFax ? 0 : 1;
  b.hsMemoryMb = kMinMemoryMb;
}

void SetFinishingDefaults(HostBlocks& b, HostVariant variant, std::int32_t marginUnit) {
  if (variant == HostVariant::kFax) return;
  b.hsStaplePosition = 1;
  b.hsStapleMarginUnit = marginUnit;
  b.hsPunchPosition = 1;
  b.hsPunchMarginUnit = marginUnit;
}

void SetGraphicsDefaults(HostBlocks& b) {
  b.hsGraphicsSize = kGraphicsBlockSize;
  b.hsEnhanceRop = kDefaultEnhanceRop;
  b.hsReductionThreshold = kDefaultReductionThreshold;
}

// Replaces `value` by `fallback` unless it is one of `allowed`.
template <class T>
void KeepOneOf(T& value, std::initializer_list<std::int32_t> allowed, T fallback) {
  if (std::find(allowed.begin(), allowed.end(), value) == allowed.end()) value = fallback;
}

template <class T>
void KeepInRange(T& value, std::int32_t low, std::int32_t high, T fallback) {
  if (value < low || value > high) value = fallback;
}

void KeepFlag(std::int32_t& value, std::int32_t fallback) { KeepOneOf(value, {0, 1}, fallback); }

void ClampMargins(std::int32_t& unit, std::int32_t& front, std::int32_t& back, std::int32_t defaultUnit) {
  KeepFlag(unit, defaultUnit);
  front = std::clamp(front, 0, MaxMargin(unit));
  back = std::clamp(back, 0, MaxMargin(unit));
}

}  // namespace

HostSettings DefaultHostSettings(HostVariant variant, std::int32_t countryCode) {
  HostSettings settings{};
  RestoreDefaults(settings, variant, countryCode, ResetScope::kFull);
  return settings;
}

void RestoreDefaults(HostSettings& s, HostVariant variant, std::int32_t countryCode, ResetScope scope) {
  const PaperTable builtIn(variant);
  const std::size_t paper = builtIn.DefaultPosition(countryCode);
  const std::int32_t marginUnit = IsLetterCountry(countryCode) ? kUnitInchHundredths : kUnitTenthMm;
  const HostSettings kept = s;

  s = HostSettings{};
  s.hsPaperIndex = static_cast<std::int32_t>(paper);
  s.hsSourceIndex = 0;
  s.hsLandscape = 0;
  s.hsCopies = 1;
  s.hsCollate = 0;
  s.hsResolutionIndex = DefaultResolutionIndex(variant);
  s.hsPriorityIndex = 1;
  s.hsReserved28 = 0;
  s.hsReverseOrder = 0;

  HostBlocks& b = s.blocks;
  SetPageDefaults(b, builtIn[paper].deviceCode);
  SetLayoutDefaults(b, marginUnit);
  b.hsResolutionChoice = DefaultResolutionChoice(variant);
  SetOptionDefaults(b, variant);
  SetFinishingDefaults(b, variant, marginUnit);
  SetGraphicsDefaults(b);

  if (scope == ResetScope::kDocument) {
    CopyBlockRange(kept.blocks, b, kOptionsBlock);
    b.hsDensity = kept.blocks.hsDensity;
    b.hsCustomPaperCount = kept.blocks.hsCustomPaperCount;
  }
}

void NormaliseBlocks(HostBlocks& b, HostVariant variant, std::int32_t countryCode) {
  const std::int32_t defaultUnit = IsLetterCountry(countryCode) ? kUnitInchHundredths : kUnitTenthMm;
  const bool fax = variant == HostVariant::kFax;

  // A, page and output.
  b.hsCopiesUi = std::clamp(b.hsCopiesUi, 1, MaxCopies(variant));
  KeepFlag(b.hsSort, 0);
  KeepInRange(b.hsCustomPaperCount, 0, fax ? 0 : static_cast<std::int32_t>(kMaxCustomPapers), 0);
  b.hsRuntime56 = 0;
  KeepInRange(b.hsSource, 0, kSourceCount - 1, 0);
  KeepFlag(b.hsOutbin, 0);
  KeepInRange(b.hsPaperType, 0, 3, 0);
  KeepInRange(b.hsOrientation, 1, 2, 1);
  KeepFlag(b.hsShift, 0);
  KeepFlag(b.hsOutputOrder, 0);
  KeepFlag(b.hsZoomToPaper, 0);
  KeepFlag(b.hsFitToPaper, 0);
  KeepInRange(b.hsZoom, kMinZoom, kMaxZoom, kDefaultZoom);
  KeepFlag(b.hsFromPaint, 0);
  KeepFlag(b.hsSkipBlankPages, 0);

  // B, layout.
  KeepOneOf(b.hsNup, {0, 1, 3, 5}, 0);
  KeepInRange(b.hsNupOrder, 0, 3, 0);
  KeepFlag(b.hsNupBorder, 0);
  KeepInRange(b.hsBooklet, 0, 16, 0);
  KeepInRange(b.hsBookletBinding, 0, 3, 0);
  KeepFlag(b.hsDuplex, 0);
  KeepInRange(b.hsDuplexBinding, 0, 2, 1);
  ClampMargins(b.hsMarginUnit, b.hsMarginFront, b.hsMarginBack, defaultUnit);

  // C, quality.
  KeepFlag(b.hsTonerSave, 0);
  b.hsDensity = std::clamp(b.hsDensity, -kMaxDensity, kMaxDensity);
  if (!IsResolutionChoice(b.hsResolutionChoice, variant)) b.hsResolutionChoice = DefaultResolutionChoice(variant);

  // D, installed options.
  b.hsAutoConfig = 0;
  const std::int32_t onByDefault = fax ? 0 : 1;
  KeepFlag(b.hsManualTray, onByDefault);
  KeepFlag(b.hsCassette2, onByDefault);
  for (std::int32_t* option : {&b.hsCassette3, &b.hsCassette4, &b.hsCassette5, &b.hsFeedCabinet, &b.hsDuplexUnit,
                               &b.hsOption256, &b.hsTwoBinTray, &b.hsFinisher, &b.hsPunchKit})
    KeepFlag(*option, 0);
  b.hsMemoryMb = std::clamp(b.hsMemoryMb, kMinMemoryMb, kMaxMemoryMb);

  // E, finishing: the fax driver has none.
  if (fax) {
    ClearBlockRange(b, kFinishingBlock);
  } else {
    KeepFlag(b.hsStaple, 0);
    KeepInRange(b.hsStaplePosition, 1, 5, 1);
    ClampMargins(b.hsStapleMarginUnit, b.hsStapleMarginFront, b.hsStapleMarginBack, defaultUnit);
    KeepFlag(b.hsPunch, 0);
    KeepInRange(b.hsPunchPosition, 1, 6, 1);
    ClampMargins(b.hsPunchMarginUnit, b.hsPunchMarginFront, b.hsPunchMarginBack, defaultUnit);
  }

  // F, automatic fax submission.
  b.hsFaxPassword[kFaxPasswordBytes - 1] = '\0';
  KeepFlag(b.hsFaxAuto, 0);
  KeepInRange(b.hsFaxItem, 0, 4, 0);
  KeepFlag(b.hsFaxTxDocList, 0);

  // G, graphics.
  b.hsGraphicsSize = kGraphicsBlockSize;
  KeepFlag(b.hsGraphicEnhance, 0);
  KeepFlag(b.hsStackRotate, 0);
  KeepFlag(b.hsTransparent, 0);
  KeepInRange(b.hsEnhanceRop, 0, 0xFFFF, kDefaultEnhanceRop);
  KeepInRange(b.hsReduction, 0, 3, std::int16_t{0});
  KeepInRange(b.hsReductionThreshold, 0, 100, kDefaultReductionThreshold);
}

void NormaliseSettings(HostSettings& s, const PaperTable& papers, std::int32_t countryCode) {
  const HostVariant variant = papers.variant();
  if (s.hsPaperIndex < 0 || static_cast<std::size_t>(s.hsPaperIndex) >= papers.size())
    s.hsPaperIndex = static_cast<std::int32_t>(papers.DefaultPosition(countryCode));
  KeepInRange(s.hsSourceIndex, 0, kSourceCount - 1, 0);
  KeepFlag(s.hsLandscape, 0);
  s.hsCopies = std::clamp(s.hsCopies, 1, MaxCopies(variant));
  KeepFlag(s.hsCollate, 0);
  if (s.hsResolutionIndex > 2) s.hsResolutionIndex = 2;
  if (s.hsResolutionIndex < 0) s.hsResolutionIndex = DefaultResolutionIndex(variant);
  KeepInRange(s.hsPriorityIndex, 0, 2, 1);
  KeepInRange(s.hsReserved28, 0, 4, 0);
  KeepFlag(s.hsReverseOrder, 0);
  NormaliseBlocks(s.blocks, variant, countryCode);
  s.blocks.hsCustomPaperCount = static_cast<std::int32_t>(papers.customCount());
}

}  // namespace k460::hostsettings
