#include "driver/winnt/printer/src/common/settings_codes.h"

#include <algorithm>
#include <limits>

namespace k460::hostsettings {
namespace {

constexpr std::int32_t kHostResolutions[3] = {200, 300, 600};
constexpr std::int32_t kFaxResolutions[3] = {200, 400, 600};
// The page's resolution choice of each index.
constexpr std::int32_t kHostResolutionChoices[3] = {0, 1, 3};
constexpr std::int32_t kFaxResolutionChoices[3] = {0, 2, 3};
constexpr std::int32_t kReservedSelectorValues[5] = {0, 1, 2, 3, 11};
constexpr std::int32_t kBookletPaperCodes[16] = {3, 12, 4, 11, 6, 0, 1, 2, 8, 9, 14, 13, 18, 19, 20, 21};

std::span<const std::int32_t, 3> ResolutionChoices(HostVariant variant) {
  return variant == HostVariant::kFax ? std::span<const std::int32_t, 3>(kFaxResolutionChoices)
                                      : std::span<const std::int32_t, 3>(kHostResolutionChoices);
}

std::int32_t Saturate(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                            std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

std::int32_t SourceBinOfIndex(std::int32_t index) {
  return index >= 0 && index < kSourceCount ? kSourceBins[index] : kSourceBins[0];
}

std::int32_t SourceIndexOfBin(std::int32_t bin) {
  for (std::int32_t i = 0; i < kSourceCount; ++i)
    if (kSourceBins[i] == bin) return i;
  return 0;
}

bool IsSourceBin(std::int32_t bin) { return std::ranges::find(kSourceBins, bin) != std::end(kSourceBins); }

std::span<const std::int32_t, 3> ResolutionTable(HostVariant variant) {
  return variant == HostVariant::kFax ? std::span<const std::int32_t, 3>(kFaxResolutions)
                                      : std::span<const std::int32_t, 3>(kHostResolutions);
}

std::int32_t DefaultResolutionIndex(HostVariant variant) { return variant == HostVariant::kFax ? 0 : 2; }

std::int32_t DefaultResolutionChoice(HostVariant variant) { return variant == HostVariant::kFax ? 0 : 3; }

std::int32_t ResolutionOfIndex(std::int32_t index, HostVariant variant) {
  if (index < 0) index = DefaultResolutionIndex(variant);
  return ResolutionTable(variant)[static_cast<std::size_t>(std::min(index, 2))];
}

std::int32_t ResolutionIndexOfDpi(std::int32_t dpi, HostVariant variant) {
  const auto table = ResolutionTable(variant);
  for (std::size_t i = 0; i < table.size(); ++i)
    if (table[i] == dpi) return static_cast<std::int32_t>(i);
  return variant == HostVariant::kFax ? 0 : 2;
}

bool IsTableResolution(std::int32_t dpi, HostVariant variant) {
  return std::ranges::find(ResolutionTable(variant), dpi) != ResolutionTable(variant).end();
}

std::int32_t ResolutionIndexOfChoice(std::int32_t choice, std::int32_t current, HostVariant variant) {
  const auto choices = ResolutionChoices(variant);
  for (std::size_t i = 0; i < choices.size(); ++i)
    if (choices[i] == choice) return static_cast<std::int32_t>(i);
  return current;
}

std::int32_t ResolutionChoiceOfIndex(std::int32_t index, HostVariant variant) {
  if (index < 0 || index > 2) index = DefaultResolutionIndex(variant);
  return ResolutionChoices(variant)[static_cast<std::size_t>(index)];
}

bool IsResolutionChoice(std::int32_t choice, HostVariant variant) {
  return std::ranges::find(ResolutionChoices(variant), choice) != ResolutionChoices(variant).end();
}

std::int32_t PriorityCodeOfIndex(std::int32_t index) {
  if (index == 0) return 2;
  if (index == 2) return 0;
  return 1;
}

std::int32_t PriorityIndexOfCode(std::int32_t code) { return PriorityCodeOfIndex(code); }

std::int32_t ReservedSelectorValueOfIndex(std::int32_t index) {
  return index >= 0 && index < 5 ? kReservedSelectorValues[index] : 0;
}

std::int32_t ReservedSelectorIndexOfValue(std::int32_t value) {
  for (std::int32_t i = 1; i < 5; ++i)
    if (kReservedSelectorValues[i] == value) return i;
  return 0;
}

std::optional<std::int32_t> BookletPaperCode(std::int32_t booklet) {
  if (booklet < 1 || booklet > 16) return std::nullopt;
  return kBookletPaperCodes[booklet - 1];
}

std::int32_t MaxCopies(HostVariant variant) { return variant == HostVariant::kFax ? 99 : 999; }

bool IsLetterCountry(std::int32_t countryCode) {
  return countryCode == 1 || countryCode == 2 || (countryCode >= 50 && countryCode <= 59) ||
         (countryCode >= 500 && countryCode <= 599);
}

std::int32_t CountryCodeFromLocaleText(std::u16string_view text) {
  constexpr std::int32_t kNoCountry = -1;
  if (text.empty() || text.size() > 9) return kNoCountry;
  std::int32_t code = 0;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') return kNoCountry;
    code = code * 10 + (c - u'0');
  }
  return code;
}

std::int32_t InchHundredthsToTenthMm(std::int32_t value) { return Saturate((std::int64_t{value} * 254 + 50) / 100); }

std::int32_t TenthMmToInchHundredths(std::int32_t value) { return Saturate(std::int64_t{value} * 100 / 254); }

std::int32_t MaxMargin(std::int32_t unit) {
  return unit == kUnitInchHundredths ? kMaxMarginInchHundredths : kMaxMarginTenthMm;
}

std::int32_t MarginInTenthMm(std::int32_t unit, std::int32_t value) {
  if (unit == kUnitInchHundredths) value = InchHundredthsToTenthMm(value);
  return std::clamp(value, 0, kMaxMarginTenthMm);
}

}  // namespace k460::hostsettings
