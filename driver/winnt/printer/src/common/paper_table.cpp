#include "driver/winnt/printer/src/common/paper_table.h"

#include <algorithm>
#include <utility>

#include "driver/winnt/printer/src/common/settings_codes.h"

namespace k460::hostsettings {
namespace {

constexpr std::int16_t kA4DeviceCode = 0;
constexpr std::int16_t kB4DeviceCode = 8;
constexpr std::int16_t kA3DeviceCode = 6;
constexpr std::int16_t kLetterDeviceCode = 3;
constexpr std::int16_t kCustomMargin = 18;

const PaperEntry& BuiltInEntry(std::int16_t deviceCode) {
  const auto papers = BuiltInPapers(HostVariant::kHostBased);
  return *std::ranges::find(papers, deviceCode, &PaperEntry::deviceCode);
}

std::int16_t InchRoundedTo8(std::int32_t tenthMm) {
  return static_cast<std::int16_t>(TenthMmToInchHundredths(tenthMm) / 8 * 8);
}

PaperSide CustomSide(std::int32_t width, std::int32_t length, std::int16_t turn) {
  return {static_cast<std::int16_t>(width), static_cast<std::int16_t>(length), InchRoundedTo8(width),
          InchRoundedTo8(length), -1, -1, kCustomMargin, kCustomMargin, turn};
}

}  // namespace

PaperEntry MakeCustomPaperEntry(std::int32_t code, std::int32_t unit, std::int32_t width, std::int32_t length) {
  if (unit == kUnitInchHundredths) {
    width = InchHundredthsToTenthMm(width);
    length = InchHundredthsToTenthMm(length);
  }
  // The short edge is the width, whichever way round the sizes came; then
  // both are brought into what the device can feed.
  if (width > length) std::swap(width, length);
  width = std::clamp(width, kMinCustomWidth, kMaxCustomWidth);
  length = std::clamp(length, kMinCustomLength, kMaxCustomLength);

  const PaperEntry* base = &BuiltInEntry(kA4DeviceCode);
  if (base->portrait.width < width) base = &BuiltInEntry(kB4DeviceCode);
  if (base->portrait.width < width) base = &BuiltInEntry(kA3DeviceCode);

  PaperEntry entry = *base;
  entry.deviceCode = static_cast<std::int16_t>(code);
  entry.windowsCode = static_cast<std::int16_t>(code);
  entry.regularSize = 0;
  entry.nameId = 0;
  entry.portrait = CustomSide(width, length, 0);
  entry.landscape = CustomSide(length, width, 1);
  return entry;
}

PaperTable::PaperTable(HostVariant variant)
    : variant_(variant), entries_(BuiltInPapers(variant).begin(), BuiltInPapers(variant).end()) {}

PaperTable PaperTable::Build(HostVariant variant, std::span<const CustomPaperRecord> customPapers,
                             std::optional<FreeSize> freeSize) {
  PaperTable table(variant);
  if (variant == HostVariant::kFax) return table;
  for (const CustomPaperRecord& paper : customPapers) {
    if (table.customCount_ == kMaxCustomPapers) break;
    if (paper.id == 0) break;
    // An identifier out of range, or one already given, could not be chosen.
    if (paper.id < kFirstCustomPaperId || paper.id > kLastCustomPaperId || table.FindWindowsCode(paper.id)) continue;
    table.entries_.push_back(MakeCustomPaperEntry(paper.id, paper.unit, paper.width, paper.length));
    ++table.customCount_;
  }
  if (freeSize)
    table.entries_.push_back(
        MakeCustomPaperEntry(kFreeSizePaperCode, kUnitTenthMm, freeSize->width, freeSize->length));
  return table;
}

std::optional<std::size_t> PaperTable::FindWindowsCode(std::int32_t code) const {
  const auto it = std::ranges::find(entries_, code, [](const PaperEntry& e) { return std::int32_t{e.windowsCode}; });
  if (it == entries_.end()) return std::nullopt;
  return static_cast<std::size_t>(it - entries_.begin());
}

std::optional<std::size_t> PaperTable::FindDeviceCode(std::int32_t code) const {
  const auto it = std::ranges::find(entries_, code, [](const PaperEntry& e) { return std::int32_t{e.deviceCode}; });
  if (it == entries_.end()) return std::nullopt;
  return static_cast<std::size_t>(it - entries_.begin());
}

std::size_t PaperTable::PositionOfWindowsCode(std::int32_t code, std::int32_t countryCode) const {
  if (auto found = FindWindowsCode(code)) return *found;
  if (auto a4 = FindDeviceCode(kA4DeviceCode)) return *a4;
  return DefaultPosition(countryCode);
}

std::size_t PaperTable::PositionOfDeviceCode(std::int32_t code, std::int32_t countryCode) const {
  if (auto found = FindDeviceCode(code)) return *found;
  if (auto a4 = FindDeviceCode(kA4DeviceCode)) return *a4;
  return DefaultPosition(countryCode);
}

std::size_t PaperTable::DefaultPosition(std::int32_t countryCode) const {
  const std::int16_t code = IsLetterCountry(countryCode) ? kLetterDeviceCode : kA4DeviceCode;
  return FindDeviceCode(code).value_or(0);
}

}  // namespace k460::hostsettings
