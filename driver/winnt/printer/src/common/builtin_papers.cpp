// The built-in paper lists of the host-based and the fax driver.
#include "driver/winnt/printer/src/common/paper_table.h"
#include "driver/winnt/printer/src/common/settings_codes.h"

namespace k460::hostsettings {
namespace {

constexpr std::int16_t kFirstNameId = 5120;
constexpr std::int16_t kFirstAltNameId = 5241;
constexpr std::int16_t kHostMargin = 18;  // pixels per 100 dpi

struct HostPaper {
  std::int16_t deviceCode, windowsCode;
  std::int16_t width, length;  // tenths of a millimetre
  std::int16_t turnPortrait, turnLandscape;
  std::int16_t regularSize;
};

// Position = index in the list.
constexpr HostPaper kHostPapers[] = {
    {3, 1, 2160, 2790, 0, 0, 1},     // Letter
    {12, 6, 1400, 2160, 1, 0, 1},    // Half Letter
    {4, 5, 2160, 3560, 0, 1, 1},     // Legal
    {11, 4, 2790, 4320, 0, 1, 1},    // 11x17
    {6, 8, 2970, 4200, 0, 1, 1},     // A3
    {0, 9, 2100, 2970, 0, 0, 1},     // A4
    {1, 11, 1480, 2100, 1, 0, 1},    // A5
    {2, 70, 1050, 1480, 0, 1, 0},    // A6
    {8, 12, 2570, 3640, 0, 1, 1},    // B4
    {9, 13, 1820, 2570, 1, 0, 1},    // B5
    {14, 60, 2100, 3300, 0, 1, 1},   // F4
    {13, 7, 1840, 2670, 0, 0, 1},    // Executive
    {10, 43, 1000, 1480, 0, 1, 0},   // Postcard
    {7, 27, 1100, 2200, 0, 1, 0},    // DL
    {5, 20, 1050, 2410, 0, 1, 0},    // COM10
};

PaperSide HostSide(std::int16_t width, std::int16_t length, std::int16_t turn) {
  const auto inchW = static_cast<std::int16_t>(TenthMmToInchHundredths(width));
  const auto inchL = static_cast<std::int16_t>(TenthMmToInchHundredths(length));
  return {width, length, inchW, inchL, inchW, inchL, kHostMargin, kHostMargin, turn};
}

std::vector<PaperEntry> MakeHostPapers() {
  std::vector<PaperEntry> entries;
  std::int16_t position = 0;
  for (const HostPaper& p : kHostPapers) {
    entries.push_back({p.deviceCode, p.windowsCode, p.regularSize, 1, static_cast<std::int16_t>(kFirstNameId + position),
                       static_cast<std::int16_t>(kFirstAltNameId + position),
                       HostSide(p.width, p.length, p.turnPortrait), HostSide(p.length, p.width, p.turnLandscape)});
    ++position;
  }
  return entries;
}

// The fax papers: paper and raster sizes for fax line widths, raster offsets.
struct FaxSide {
  std::int16_t rasterWidth, rasterLength, offsetX, offsetY, turn;
};
struct FaxPaper {
  std::int16_t deviceCode, windowsCode;
  std::int16_t width, length;          // tenths of a millimetre
  std::int16_t widthInch, lengthInch;  // hundredths of an inch
  FaxSide portrait, landscape;
  std::int16_t regularSize;
};

constexpr FaxPaper kFaxPapers[] = {
    {3, 1, 2159, 2794, 850, 1100, {864, 1068, 25, 2, 0}, {1068, 864, 2, 25, 1}, 1},        // Letter
    {12, 6, 1397, 2159, 550, 850, {518, 864, 2, 25, 1}, {864, 518, 25, 2, 0}, 1},          // Half Letter
    {4, 5, 2159, 3556, 850, 1400, {864, 1368, 25, 2, 0}, {1368, 864, 2, 25, 1}, 1},        // Legal
    {11, 4, 2794, 4318, 1100, 1700, {1216, 1668, 76, 2, 0}, {1668, 1216, 2, 76, 1}, 1},    // 11x17
    {6, 8, 2970, 4200, 1170, 1654, {1216, 1622, 41, 2, 0}, {1622, 1216, 2, 41, 1}, 1},     // A3
    {0, 9, 2100, 2970, 827, 1170, {864, 1138, 36, 2, 0}, {1138, 864, 2, 36, 1}, 1},        // A4
    {1, 11, 1480, 2100, 583, 827, {551, 864, 2, 36, 1}, {864, 551, 36, 2, 0}, 1},          // A5
    {2, 70, 1050, 1480, 414, 583, {864, 551, 243, 2, 0}, {864, 382, 158, 2, 0}, 0},        // A6
    {8, 12, 2570, 3640, 1012, 1433, {1024, 1401, 24, 2, 0}, {1401, 1024, 2, 24, 1}, 1},    // B4
    {9, 13, 1820, 2570, 717, 1012, {685, 1024, 2, 24, 1}, {1024, 685, 24, 2, 0}, 1},       // B5
    {14, 60, 2100, 3300, 827, 1300, {864, 1268, 36, 2, 0}, {1268, 864, 2, 36, 1}, 1},      // F4
    {13, 7, 1841, 2667, 725, 1050, {864, 1018, 87, 2, 0}, {1216, 693, 101, 2, 0}, 1},      // Executive
    {10, 43, 1000, 1480, 394, 583, {864, 551, 253, 2, 0}, {864, 362, 158, 2, 0}, 0},       // Postcard
    {7, 27, 1100, 2200, 433, 867, {864, 835, 233, 2, 0}, {835, 864, 2, 233, 1}, 0},        // DL
    {5, 20, 1050, 2410, 414, 949, {864, 917, 243, 2, 0}, {917, 864, 2, 243, 1}, 0},        // COM10
    {15, 37, 982, 1905, 387, 750, {864, 718, 256, 2, 0}, {718, 864, 2, 256, 1}, 1},        // Monarch
};

std::vector<PaperEntry> MakeFaxPapers() {
  std::vector<PaperEntry> entries;
  std::int16_t position = 0;
  for (const FaxPaper& p : kFaxPapers) {
    const PaperSide portrait{p.width,           p.length,           p.widthInch,       p.lengthInch,
                             p.portrait.rasterWidth, p.portrait.rasterLength, p.portrait.offsetX,
                             p.portrait.offsetY, p.portrait.turn};
    const PaperSide landscape{p.length,           p.width,           p.lengthInch,      p.widthInch,
                              p.landscape.rasterWidth, p.landscape.rasterLength, p.landscape.offsetX,
                              p.landscape.offsetY, p.landscape.turn};
    entries.push_back({p.deviceCode, p.windowsCode, p.regularSize, 1, static_cast<std::int16_t>(kFirstNameId + position),
                       static_cast<std::int16_t>(kFirstAltNameId + position), portrait, landscape});
    ++position;
  }
  return entries;
}

}  // namespace

std::span<const PaperEntry> BuiltInPapers(HostVariant variant) {
  static const std::vector<PaperEntry> host = MakeHostPapers();
  static const std::vector<PaperEntry> fax = MakeFaxPapers();
  return variant == HostVariant::kFax ? fax : host;
}

}  // namespace k460::hostsettings
