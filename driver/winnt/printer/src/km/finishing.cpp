#include "driver/winnt/printer/src/km/finishing.h"

#include <array>
#include <cstdlib>

#include "driver/winnt/printer/src/common/settings_codes.h"

namespace k460::hbgraph {

namespace {

struct FinishingRow {
  std::int32_t staple;
  std::int32_t punch;
  std::array<FinishingPart, 4> parts;
};

constexpr FinishingPart kNone{};
constexpr std::array<FinishingPart, 4> kNoFinishing{kNone, kNone, kNone, kNone};

// Searched in this order; the first row with both keys wins.
constexpr FinishingRow kRows[] = {
    {0, 0, kNoFinishing},
    {0, 2, {{{0, 1, 1, 0, 0, 0, 0, 1}, {0, 1, 1, 0, 0, 0, 0, 1}, {0, 1, 1, 0, 0, 0, 0, 1}, {0, 1, 1, 0, 0, 0, 1, 0}}}},
    {0, 5, {{{0, 1, 1, 1, 0, 0, 0, 1}, {0, 1, 1, 1, 0, 0, 0, 1}, {0, 1, 1, 1, 0, 0, 0, 1}, {0, 1, 1, 1, 0, 0, 1, 0}}}},
    {0, 1, {{{1, 0, 3, 0, 0, 0, 1, 1}, {1, 0, 3, 0, 0, 0, 0, 1}, {1, 0, 3, 0, 0, 0, 1, 1}, {1, 0, 3, 0, 0, 0, 1, 1}}}},
    {0, 4, {{{1, 0, 3, 1, 0, 0, 1, 1}, {1, 0, 3, 1, 0, 0, 0, 1}, {1, 0, 3, 1, 0, 0, 1, 1}, {1, 0, 3, 1, 0, 0, 1, 1}}}},
    {0, 3, {{{-1, 0, 4, 0, 0, 0, 1, 0}, {-1, 0, 4, 0, 0, 0, 0, 1}, {-1, 0, 4, 0, 0, 0, 1, 0}, {-1, 0, 4, 0, 0, 0, 1, 0}}}},
    {0, 6, {{{-1, 0, 4, 1, 0, 0, 1, 0}, {-1, 0, 4, 1, 0, 0, 0, 1}, {-1, 0, 4, 1, 0, 0, 1, 0}, {-1, 0, 4, 1, 0, 0, 1, 0}}}},
    {1, 0, {{{0, 0, 0, 0, 3, 2, 1, 1}, {0, 0, 0, 0, 1, 0, 0, 1}, {0, 0, 0, 0, 1, 0, 0, 1}, {0, 0, 0, 0, 3, 2, 1, 1}}}},
    {1, 2, {{{0, 1, 1, 0, 1, 0, 0, 1}, {0, 1, 1, 0, 1, 0, 0, 1}, {0, 1, 1, 0, 1, 0, 0, 1}, {0, 1, 1, 0, 1, 0, 1, 1}}}},
    {1, 5, {{{0, 1, 1, 1, 1, 0, 0, 1}, {0, 1, 1, 1, 1, 0, 0, 1}, {0, 1, 1, 1, 1, 0, 0, 1}, {0, 1, 1, 1, 1, 0, 1, 1}}}},
    {1, 1, {{{1, 0, 3, 0, 3, 2, 1, 1}, {1, 0, 3, 0, 3, 2, 0, 1}, {1, 0, 3, 0, 3, 2, 1, 1}, {1, 0, 3, 0, 3, 2, 1, 1}}}},
    {1, 4, {{{1, 0, 3, 1, 3, 2, 1, 1}, {1, 0, 3, 1, 3, 2, 0, 1}, {1, 0, 3, 1, 3, 2, 1, 1}, {1, 0, 3, 1, 3, 2, 1, 1}}}},
    {1, 3, kNoFinishing},
    {1, 6, kNoFinishing},
    {2, 0, {{{0, 0, 0, 0, 4, 0, 1, 0}, {0, 0, 0, 0, 1, 2, 0, 1}, {0, 0, 0, 0, 1, 2, 0, 1}, {0, 0, 0, 0, 4, 0, 1, 0}}}},
    {2, 2, {{{0, 1, 1, 0, 1, 2, 0, 1}, {0, 1, 1, 0, 1, 2, 0, 1}, {0, 1, 1, 0, 1, 2, 0, 1}, {0, 1, 1, 0, 1, 2, 1, 0}}}},
    {2, 5, {{{0, 1, 1, 1, 1, 2, 0, 1}, {0, 1, 1, 1, 1, 2, 0, 1}, {0, 1, 1, 1, 1, 2, 0, 1}, {0, 1, 1, 1, 1, 2, 1, 0}}}},
    {2, 1, kNoFinishing},
    {2, 4, kNoFinishing},
    {2, 3, {{{-1, 0, 4, 0, 4, 0, 1, 0}, {-1, 0, 4, 0, 4, 0, 0, 1}, {-1, 0, 4, 0, 4, 0, 1, 0}, {-1, 0, 4, 0, 4, 0, 1, 0}}}},
    {2, 6, {{{-1, 0, 4, 1, 4, 0, 1, 0}, {-1, 0, 4, 1, 4, 0, 0, 1}, {-1, 0, 4, 1, 4, 0, 1, 0}, {-1, 0, 4, 1, 4, 0, 1, 0}}}},
    {3, 0, {{{0, 1, 0, 0, 1, 1, 0, 1}, {0, 1, 0, 0, 1, 1, 0, 1}, {0, 1, 0, 0, 1, 1, 0, 1}, {0, 1, 0, 0, 1, 1, 1, 1}}}},
    {3, 2, {{{0, 1, 1, 0, 1, 1, 0, 1}, {0, 1, 1, 0, 1, 1, 0, 1}, {0, 1, 1, 0, 1, 1, 0, 1}, {0, 1, 1, 0, 1, 1, 1, 1}}}},
    {3, 5, {{{0, 1, 1, 1, 1, 1, 0, 1}, {0, 1, 1, 1, 1, 1, 0, 1}, {0, 1, 1, 1, 1, 1, 0, 1}, {0, 1, 1, 1, 1, 1, 1, 1}}}},
    {3, 1, kNoFinishing},
    {3, 4, kNoFinishing},
    {3, 3, kNoFinishing},
    {3, 6, kNoFinishing},
    {4, 0, {{{1, 0, 0, 0, 3, 1, 1, 1}, {1, 0, 0, 0, 3, 1, 0, 1}, {1, 0, 0, 0, 3, 1, 1, 1}, {1, 0, 0, 0, 3, 1, 1, 1}}}},
    {4, 2, kNoFinishing},
    {4, 5, kNoFinishing},
    {4, 3, kNoFinishing},
    {4, 6, kNoFinishing},
    {4, 1, {{{1, 0, 3, 0, 3, 1, 1, 1}, {1, 0, 3, 0, 3, 1, 0, 1}, {1, 0, 3, 0, 3, 1, 1, 1}, {1, 0, 3, 0, 3, 1, 1, 1}}}},
    {4, 4, {{{1, 0, 3, 1, 3, 1, 1, 1}, {1, 0, 3, 1, 3, 1, 0, 1}, {1, 0, 3, 1, 3, 1, 1, 1}, {1, 0, 3, 1, 3, 1, 1, 1}}}},
    {5, 0, {{{-1, 0, 0, 0, 4, 1, 1, 0}, {-1, 0, 0, 0, 4, 1, 0, 1}, {-1, 0, 0, 0, 4, 1, 1, 0}, {-1, 0, 0, 0, 4, 1, 1, 0}}}},
    {5, 2, kNoFinishing},
    {5, 5, kNoFinishing},
    {5, 1, kNoFinishing},
    {5, 4, kNoFinishing},
    {5, 3, {{{-1, 0, 4, 0, 4, 1, 1, 0}, {-1, 0, 4, 0, 4, 1, 0, 1}, {-1, 0, 4, 0, 4, 1, 1, 0}, {-1, 0, 4, 0, 4, 1, 1, 0}}}},
    {5, 6, {{{-1, 0, 4, 1, 4, 1, 1, 0}, {-1, 0, 4, 1, 4, 1, 0, 1}, {-1, 0, 4, 1, 4, 1, 1, 0}, {-1, 0, 4, 1, 4, 1, 1, 0}}}},
};

}  // namespace

std::optional<FinishingPart> FindFinishing(std::int32_t stapleKey, std::int32_t punchKey, std::int32_t part) {
  if (part < 0 || part > 3) return std::nullopt;
  for (const FinishingRow& row : kRows) {
    if (row.staple == stapleKey && row.punch == punchKey) return row.parts[part];
  }
  return std::nullopt;
}

std::int32_t ShiftPixels(std::int32_t tenthMm, std::int32_t resolution) {
  const std::int64_t magnitude = (std::int64_t{std::abs(tenthMm)} * resolution + 127) / 254;
  return static_cast<std::int32_t>(tenthMm < 0 ? -magnitude : magnitude);
}

Finishing ComputeFinishing(const hostsettings::HostBlocks& b, const FinishingInputs& in) {
  Finishing result;
  SheetShifts& s = result.shifts;
  s.backTurn = in.sheetTurn;
  if (in.booklet) return result;

  const std::int32_t front = hostsettings::MarginInTenthMm(b.hsMarginUnit, b.hsMarginFront);
  const std::int32_t back = hostsettings::MarginInTenthMm(b.hsMarginUnit, b.hsMarginBack);
  const std::int32_t stapleKey = in.enabled && b.hsStaple == 1 ? b.hsStaplePosition : 0;
  const std::int32_t punchKey = in.enabled && b.hsPunch == 1 ? b.hsPunchPosition : 0;
  const std::int32_t part = (in.landscape ? 2 : 0) + (in.longPaper ? 1 : 0);
  if (auto found = FindFinishing(stapleKey, punchKey, part)) {
    result.codes = *found;
    result.active = found->Active();
  }
  std::int32_t frontX = front * result.codes.signX;
  std::int32_t frontY = front * result.codes.signY;
  std::int32_t backX = 0;
  std::int32_t backY = 0;
  if (in.duplex) {
    switch (b.hsDuplexBinding) {
      case 0:  // top
        frontY = front;
        backX = frontX != 0 ? back : 0;
        backY = -back;
        break;
      case 1:  // left
        frontX = front;
        backX = -back;
        backY = frontY != 0 ? back : 0;
        break;
      case 2:  // right
        frontX = -front;
        backX = back;
        backY = frontY != 0 ? back : 0;
        break;
      default:
        break;
    }
  }
  s.frontX = ShiftPixels(frontX, in.resolution);
  s.frontY = ShiftPixels(frontY, in.resolution);
  s.backX = ShiftPixels(backX, in.resolution);
  s.backY = ShiftPixels(backY, in.resolution);
  s.backTurn = b.hsDuplexBinding == 0 ? !in.sheetTurn : in.sheetTurn;
  if (result.active && (result.codes.turn != 0) != in.sheetTurn) s.backTurn = !s.backTurn;
  return result;
}

}  // namespace k460::hbgraph
