// The code tables of the host-based and fax settings and the conversions
// between the device mode's codes and the settings' indexes: paper sources,
// resolutions, priority, the reserved selector, booklet papers, copies,
// countries and length units.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "driver/winnt/printer/src/common/host_variant.h"

namespace k460::hostsettings {

// ---- Paper sources ---------------------------------------------------------
// Position = `hsSourceIndex` = page header `Casset`; value = Windows bin.
inline constexpr std::int32_t kSourceCount = 8;
inline constexpr std::int32_t kSourceBins[kSourceCount] = {
    7,    // auto select
    1,    // cassette 1
    3,    // cassette 2
    2,    // cassette 3
    257,  // cassette 4
    258,  // cassette 5
    4,    // manual tray
    11,   // paper feed cabinet
};
// A source index outside 0..7 gives auto select's bin (7).
std::int32_t SourceBinOfIndex(std::int32_t index);
// A bin not in the table gives index 0 (auto select).
std::int32_t SourceIndexOfBin(std::int32_t bin);
bool IsSourceBin(std::int32_t bin);

// ---- Resolutions -----------------------------------------------------------
// Dots per inch by `hsResolutionIndex`: 200, 300, 600 (fax: 200, 400, 600).
std::span<const std::int32_t, 3> ResolutionTable(HostVariant variant);
std::int32_t DefaultResolutionIndex(HostVariant variant);   // 600 dpi; fax 200 dpi
std::int32_t DefaultResolutionChoice(HostVariant variant);  // 3; fax 0
// An index of 3 or more gives the last entry, a negative one the default.
std::int32_t ResolutionOfIndex(std::int32_t index, HostVariant variant);
// A resolution not in the table gives index 2 (600 dpi); fax: index 0 (200 dpi).
std::int32_t ResolutionIndexOfDpi(std::int32_t dpi, HostVariant variant);
bool IsTableResolution(std::int32_t dpi, HostVariant variant);
// `hsResolutionChoice` as chosen on the page and the index it sets on apply:
// host 0->0, 1->1, 3->2; fax 0->0, 2->1, 3->2; any other choice keeps `current`.
std::int32_t ResolutionIndexOfChoice(std::int32_t choice, std::int32_t current, HostVariant variant);
std::int32_t ResolutionChoiceOfIndex(std::int32_t index, HostVariant variant);
bool IsResolutionChoice(std::int32_t choice, HostVariant variant);

// ---- Priority and the reserved selector ------------------------------------
// `hsPriorityIndex` 0 gives the device code 2, 2 gives 0, anything else 1; the
// mapping is its own inverse.
std::int32_t PriorityCodeOfIndex(std::int32_t index);
std::int32_t PriorityIndexOfCode(std::int32_t code);
// `hsReserved28` 0..4 <-> `dpReserved228` 0, 1, 2, 3, 11; others give 0.
std::int32_t ReservedSelectorValueOfIndex(std::int32_t index);
std::int32_t ReservedSelectorIndexOfValue(std::int32_t value);

// ---- Booklets --------------------------------------------------------------
// The device paper code of `hsBooklet` 1..16; nothing for 0 and other values.
std::optional<std::int32_t> BookletPaperCode(std::int32_t booklet);

// ---- Copies ----------------------------------------------------------------
// 999; the fax driver takes at most 99.
std::int32_t MaxCopies(HostVariant variant);

// ---- Countries -------------------------------------------------------------
inline constexpr std::int32_t kDefaultCountryCode = 81;  // Japan
// Letter countries: 1, 2, 50 to 59, 500 to 599. They default to Letter paper
// and to margins in hundredths of an inch.
bool IsLetterCountry(std::int32_t countryCode);
// The user's country code from the locale's country text (a decimal number);
// -1 when the text is no number.
std::int32_t CountryCodeFromLocaleText(std::u16string_view text);

// ---- Length units ----------------------------------------------------------
inline constexpr std::int32_t kUnitTenthMm = 0;
inline constexpr std::int32_t kUnitInchHundredths = 1;
// (value x 254 + 50) / 100, computed without overflow.
std::int32_t InchHundredthsToTenthMm(std::int32_t value);
// value x 100 / 254.
std::int32_t TenthMmToInchHundredths(std::int32_t value);
// Binding, staple and punch margins: 0 to 30.0 mm or 0 to 1.18 in.
inline constexpr std::int32_t kMaxMarginTenthMm = 300;
inline constexpr std::int32_t kMaxMarginInchHundredths = 118;
std::int32_t MaxMargin(std::int32_t unit);
// A binding margin in tenths of a millimetre: converted from hundredths of an
// inch when `unit` is 1, then clamped to 0..300.
std::int32_t MarginInTenthMm(std::int32_t unit, std::int32_t value);

}  // namespace k460::hostsettings
