// Pixel geometry of the sheet and the logical page: paper sizes, the
// rendering surface (rounded up to 32 pixels), margins, the n-up grid and
// the scale that fits a logical page into its cell of the sheet.
#pragma once

#include <cstddef>
#include <cstdint>

#include "driver/winnt/printer/src/common/paper_table.h"

namespace k460::hbgraph {

struct PixelSize {
  std::int32_t width = 0;
  std::int32_t height = 0;

  PixelSize Turned() const { return {height, width}; }
  PixelSize Oriented(bool landscape) const { return landscape ? Turned() : *this; }
  bool operator==(const PixelSize&) const = default;
};

// r: resolution / 100 (2, 3 or 6). Lengths in tenths of a millimetre.
std::int32_t PaperPixels(std::int32_t tenthMm, std::int32_t r);
// Rounded up to a multiple of 32 pixels, so rows are whole 32-bit words.
std::int32_t SurfacePixels(std::int32_t tenthMm, std::int32_t r);
// 18 pixels per 100 dpi on every side.
std::int32_t MarginPixels(std::int32_t r);
PixelSize PaperSize(const hostsettings::PaperSide& side, std::int32_t r);
PixelSize SurfaceSize(const hostsettings::PaperSide& side, std::int32_t r);

// Two and eight pages per sheet lie on the sheet turned by 90 degrees.
constexpr bool TurnsSheet(std::int32_t pagesPerSheet) { return pagesPerSheet == 2 || pagesPerSheet == 8; }

struct Grid {
  std::int32_t columns = 1;
  std::int32_t rows = 1;
  std::int32_t Cells() const { return columns * rows; }
  bool operator==(const Grid&) const = default;
};
// 1: 1 x 1; 2: 2 x 1 (landscape 1 x 2); 4: 2 x 2; 8: 4 x 2 (landscape 2 x 4);
// 9: 3 x 3; anything else 1 x 1. `landscape` is the logical page's orientation.
Grid GridOf(std::int32_t pagesPerSheet, bool landscape);

struct ScaleInputs {
  std::int32_t pagesPerSheet = 1;
  std::int32_t margin = 0;
  bool fit = true;
  std::int32_t zoom = 1000;
  // In the document: a page was sent, or logical pages were counted before
  // this device (a device reset in the middle of a document).
  bool inDocument = false;
  bool jobLandscape = false;    // L, the job's orientation
  bool firstLandscape = false;  // F, the first page's orientation
  bool samePaperAsFirst = true; // the job's paper code equals the first page's
  PixelSize sheetPaper;         // the output paper, portrait, in pixels
  PixelSize firstSheetPaper;    // the first page's output paper, portrait, in pixels
  PixelSize pagePrintable;      // the logical page's printable size in orientation L
};

// The scale S of the logical page in thousandths; the zoom when not fitting.
std::int32_t ComputeScale(const ScaleInputs& in);
// The grid the placement uses: in the document the first page's orientation.
Grid PlacementGrid(const ScaleInputs& in);

}  // namespace k460::hbgraph
