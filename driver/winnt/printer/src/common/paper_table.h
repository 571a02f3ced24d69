// The paper table of the host-based and fax drivers: the built-in papers,
// then (host-based driver only) the custom papers of "CustomPaperData" and
// one entry for a device mode's free size. The user interface and the
// renderer both keep one; a paper's position in it is `hsPaperIndex`, its
// device code the page header's `Paper` value.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "driver/winnt/printer/src/common/host_variant.h"
#include "driver/winnt/printer/src/common/printer_data_records.h"

namespace k460::hostsettings {

// One orientation of a paper.
struct PaperSide {
  std::int16_t width;         // tenths of a millimetre
  std::int16_t length;
  std::int16_t widthInch;     // hundredths of an inch (custom papers: a multiple of 8)
  std::int16_t lengthInch;
  std::int16_t rasterWidth;   // hundredths of an inch; -1 for custom papers
  std::int16_t rasterLength;
  std::int16_t offsetX;       // margin or raster offset, pixels per 100 dpi
  std::int16_t offsetY;
  std::int16_t turn;          // the page record's `BmpRotate`

  bool operator==(const PaperSide&) const = default;
};

struct PaperEntry {
  std::int16_t deviceCode;
  std::int16_t windowsCode;
  std::int16_t regularSize;  // 0 for A6, Postcard, DL, COM10 and custom sizes, 1 for the others
  std::int16_t alwaysOne;
  std::int16_t nameId;       // string identifiers of the paper's names (0 for custom sizes)
  std::int16_t altNameId;
  PaperSide portrait;
  PaperSide landscape;       // width and length exchanged

  const PaperSide& Side(bool landscapeSide) const { return landscapeSide ? landscape : portrait; }
  bool operator==(const PaperEntry&) const = default;
};

static_assert(sizeof(PaperSide) == 18 && sizeof(PaperEntry) == 48);
static_assert(offsetof(PaperEntry, nameId) == 8 && offsetof(PaperEntry, portrait) == 12 &&
              offsetof(PaperEntry, landscape) == 30);

inline constexpr std::int32_t kFreeSizePaperCode = 256;  // Windows code of a device mode's own size
inline constexpr std::int32_t kCustomPaperDeviceCode = 16;  // the "CUSTOM" entry; page headers use it for any code >= 256
inline constexpr std::size_t kMaxPaperEntries = 66;        // 15 built-in, 50 custom, 1 free size

// Limits of a custom size, tenths of a millimetre.
inline constexpr std::int32_t kMinCustomWidth = 1000;
inline constexpr std::int32_t kMaxCustomWidth = 2970;
inline constexpr std::int32_t kMinCustomLength = 1400;
inline constexpr std::int32_t kMaxCustomLength = 4320;

// The size a device mode gives for Windows paper code 256, tenths of a millimetre.
struct FreeSize {
  std::int32_t width;
  std::int32_t length;
};

// The built-in papers of a driver: 15 (fax: 16). The host-based list's end
// marker (device code 16, "Custom") is not part of the table.
std::span<const PaperEntry> BuiltInPapers(HostVariant variant);

// A custom size's entry: the sizes in tenths of a millimetre (converted from
// hundredths of an inch when `unit` is 1), the smaller one as the width,
// clamped to 100.0..297.0 x 140.0..432.0 mm; based on the A4 entry, or B4 or
// A3 when the width does not fit A4 or B4.
PaperEntry MakeCustomPaperEntry(std::int32_t code, std::int32_t unit, std::int32_t width, std::int32_t length);

class PaperTable {
 public:
  // The built-in papers only.
  explicit PaperTable(HostVariant variant);

  // The host-based driver's table: built-in papers, the custom papers (at
  // most 50, up to a zero identifier; an identifier outside 257..513 or
  // given twice is left out) and, when the job's device mode asks for a free
  // size, its entry.
  // The fax driver has no custom sizes: it keeps the built-in papers only.
  static PaperTable Build(HostVariant variant, std::span<const CustomPaperRecord> customPapers,
                          std::optional<FreeSize> freeSize = std::nullopt);

  HostVariant variant() const { return variant_; }
  std::size_t size() const { return entries_.size(); }
  const PaperEntry& operator[](std::size_t position) const { return entries_[position]; }
  std::span<const PaperEntry> entries() const { return entries_; }
  std::size_t customCount() const { return customCount_; }

  // Position of the first entry with the code, if any.
  std::optional<std::size_t> FindWindowsCode(std::int32_t code) const;
  std::optional<std::size_t> FindDeviceCode(std::int32_t code) const;
  // The lookups with their fallbacks: the first entry with device code 0
  // (A4), failing that the default paper.
  std::size_t PositionOfWindowsCode(std::int32_t code, std::int32_t countryCode) const;
  std::size_t PositionOfDeviceCode(std::int32_t code, std::int32_t countryCode) const;
  // Letter (device code 3) in Letter countries, A4 (device code 0) elsewhere.
  std::size_t DefaultPosition(std::int32_t countryCode) const;

 private:
  HostVariant variant_;
  std::vector<PaperEntry> entries_;
  std::size_t customCount_ = 0;
};

}  // namespace k460::hostsettings
