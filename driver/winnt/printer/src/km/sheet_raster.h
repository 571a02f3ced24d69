// Pixel work on the one-bit sheet (1 white, 0 black, the leftmost pixel in
// the top bit): clearing, black rectangles for the n-up frames, and
// composing the raster as the device receives it, with the margins, the
// binding and finishing shifts and the turn by 180 degrees.
#pragma once

#include <cstdint>
#include <span>

#include "driver/winnt/printer/src/km/sheet_geometry.h"

namespace k460::hbgraph {

struct SheetBits {
  std::uint8_t* bits = nullptr;
  std::int32_t bytesPerRow = 0;
  PixelSize size;  // width = bytesPerRow x 8
};

void FillWhite(const SheetBits& sheet);
// Black pixels in [left, right) x [top, bottom), cut to the sheet.
void FillBlack(const SheetBits& sheet, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);
// A frame `width` pixels wide around the area of `extent` at (x, y), cut to the sheet.
void DrawFrame(const SheetBits& sheet, std::int32_t x, std::int32_t y, PixelSize extent, std::int32_t width);

struct Composition {
  std::int32_t marginX = 0;  // e: the printable area's place on the paper
  std::int32_t marginY = 0;  // l
  std::int32_t shiftX = 0;   // h: binding or finishing shift, pixels
  std::int32_t shiftY = 0;   // f, as the side and the turn make it (see SideComposition)
  bool turned = false;       // turned by 180 degrees
};

// Writes the raster of `sheet` (the page with its printable origin at pixel
// (0, 0)) into `out` (the same geometry): white everywhere, then the part of
// the page that fits moved by margin and shift, or turned.
void ComposeRaster(const SheetBits& sheet, const SheetBits& out, const Composition& c);

// Black (0) pixels of a sheet; for tests and checks.
std::uint64_t CountBlack(const SheetBits& sheet);

}  // namespace k460::hbgraph
