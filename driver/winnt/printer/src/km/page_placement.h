// Where a logical page lies on the sheet: its cell by the placement order,
// its origin centred in the cell, and the part of the sheet it may draw on.
#pragma once

#include <cstdint>

#include "driver/winnt/printer/src/km/sheet_geometry.h"

namespace k460::hbgraph {

struct PlacementInputs {
  std::int32_t pagesPerSheet = 1;
  std::int32_t order = 1;      // placement order code
  Grid grid;
  bool fit = true;             // pages are placed; otherwise every page lies at (0, 0)
  std::int32_t scale = 1000;   // thousandths
  PixelSize pagePrintable;     // the logical page's printable size, unscaled
  std::int32_t margin = 0;
  PixelSize surface;           // the sheet's surface
};

// The cell (0 = upper left, across) of the k-th page of a sheet (k from 0).
std::int32_t CellIndex(std::int32_t k, std::int32_t order, Grid grid, std::int32_t pagesPerSheet);

// The logical page as the engine draws it: its origin on the sheet (x on a
// byte boundary, where its first scan line starts) and the part of the sheet
// from there that belongs to it, never beyond the sheet.
struct PageView {
  std::int32_t x = 0;
  std::int32_t y = 0;
  PixelSize size;
  // The page's own extent (scaled printable size), for its border frame.
  PixelSize extent;
  bool Empty() const { return size.width <= 0 || size.height <= 0; }
};

// `logicalPage` counts from 1 over the document.
PageView LogicalPageView(std::int32_t logicalPage, const PlacementInputs& in);

}  // namespace k460::hbgraph
