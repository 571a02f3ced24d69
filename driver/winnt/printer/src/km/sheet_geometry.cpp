#include "driver/winnt/printer/src/km/sheet_geometry.h"

#include <algorithm>

namespace k460::hbgraph {

std::int32_t PaperPixels(std::int32_t tenthMm, std::int32_t r) {
  return static_cast<std::int32_t>(std::int64_t{tenthMm} * r * 100 / 254);
}

std::int32_t SurfacePixels(std::int32_t tenthMm, std::int32_t r) {
  return static_cast<std::int32_t>((std::int64_t{tenthMm} * r * 1000 / 2539 + 31) / 32 * 32);
}

std::int32_t MarginPixels(std::int32_t r) { return 18 * r; }

PixelSize PaperSize(const hostsettings::PaperSide& side, std::int32_t r) {
  return {PaperPixels(side.width, r), PaperPixels(side.length, r)};
}

PixelSize SurfaceSize(const hostsettings::PaperSide& side, std::int32_t r) {
  return {SurfacePixels(side.width, r), SurfacePixels(side.length, r)};
}

Grid GridOf(std::int32_t pagesPerSheet, bool landscape) {
  switch (pagesPerSheet) {
    case 2: return landscape ? Grid{1, 2} : Grid{2, 1};
    case 4: return {2, 2};
    case 8: return landscape ? Grid{2, 4} : Grid{4, 2};
    case 9: return {3, 3};
    default: return {1, 1};
  }
}

namespace {

// The printable size of one cell of `grid` on a sheet side.
PixelSize CellPrintable(PixelSize side, Grid grid, std::int32_t margin) {
  return {std::max<std::int32_t>(1, (side.width - 2 * margin * grid.columns) / grid.columns),
          std::max<std::int32_t>(1, (side.height - 2 * margin * grid.rows) / grid.rows)};
}

std::int64_t Ratio(std::int64_t a, std::int64_t b) { return a * 1000 / std::max<std::int64_t>(1, b); }

}  // namespace

Grid PlacementGrid(const ScaleInputs& in) {
  return GridOf(in.pagesPerSheet, in.inDocument ? in.firstLandscape : in.jobLandscape);
}

std::int32_t ComputeScale(const ScaleInputs& in) {
  const Grid grid = PlacementGrid(in);
  const bool turns = TurnsSheet(in.pagesPerSheet);
  const bool L = in.jobLandscape;
  const bool F = in.firstLandscape;
  // Side D: the sheet as this job's orientation lays it out; side E: the sheet
  // of the document's first page.
  bool landscapeD = L != turns;
  if (in.inDocument && turns) landscapeD = L == F ? !L : L;
  if (in.inDocument && !turns) landscapeD = L;
  const PixelSize sideD = in.sheetPaper.Oriented(landscapeD);
  const PixelSize sideE = in.inDocument ? in.firstSheetPaper.Oriented(F != turns) : sideD;
  const PixelSize c = CellPrintable(sideD, grid, in.margin);
  const PixelSize e = CellPrintable(sideE, grid, in.margin);

  std::int64_t s = std::min(Ratio(c.height, in.pagePrintable.height), Ratio(c.width, in.pagePrintable.width));
  if (in.pagesPerSheet > 1 && in.inDocument && L != F) {
    if (in.samePaperAsFirst) {
      s = std::min(s * Ratio(e.width, c.width) / 1000, s * Ratio(e.height, c.height) / 1000);
    } else if (F && !L) {
      s = s * Ratio(e.height, c.height) / 1000;
    } else {
      s = s * Ratio(e.width, c.width) / 1000;
    }
  }
  if (!in.fit) s = in.zoom;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(s, 1, 1000000));
}

}  // namespace k460::hbgraph
