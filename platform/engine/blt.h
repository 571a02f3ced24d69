// The software rasteriser: bit-block transfers on engine bitmaps with any
// of the 256 ternary raster operations (and ROP4s with a mask), colour
// translation, nearest-pixel stretching and halftoning to one bit.
#pragma once

#include <optional>
#include <vector>

#include "platform/engine/palette.h"

namespace k460::engine {

// An engine bitmap's pixels as they are at the moment of the call.
struct BitmapView {
  BYTE* scan0 = nullptr;
  LONG delta = 0;
  LONG width = 0;
  LONG height = 0;
  ULONG format = 0;
  int bpp = 0;
  PaletteData palette;

  BYTE* Row(LONG y) const { return scan0 + static_cast<ptrdiff_t>(y) * delta; }
  LONGLONG RowBits() const { return static_cast<LONGLONG>(width) * bpp; }
  RECTL Bounds() const { return {0, 0, width, height}; }
};

// The bits of a SURFOBJ that is an engine bitmap; none for a surface
// without bits, a format the engine cannot draw or a pitch too short.
std::optional<BitmapView> BitmapViewOf(const SURFOBJ* so, const PaletteData& palette);

// Turns source pixels into destination pixels.
class PixelMap {
 public:
  PixelMap(ULONG srcFormat, const PaletteData& srcPalette, ULONG dstFormat, const PaletteData& dstPalette);
  // Source indexes translated by a table of destination colour values.
  void UseTable(const ULONG* table, ULONG count);

  bool Identity() const { return identity_; }
  void Map(const ULONG* in, ULONG* out, LONG count) const;
  Rgb SourceRgb(ULONG pixel) const;
  ULONG DestinationPixel(Rgb colour) const { return RgbToPixel(dstFormat_, dstPalette_, colour); }

 private:
  ULONG srcFormat_, dstFormat_;
  PaletteData srcPalette_, dstPalette_;
  bool identity_ = false;
  bool indexedSource_ = false;
  std::vector<ULONG> lut_;     // indexed sources: destination pixel of each index
  std::vector<Rgb> rgbLut_;    // indexed sources: colour of each index
};

// Brush pixels in the destination's format: rows as wide as the
// destination, tiled from the brush origin, so that the pattern bytes
// under a destination byte sit at the same offset.
struct Pattern {
  std::vector<std::vector<BYTE>> rows;
  LONG originY = 0;
  const BYTE* Row(LONG y) const {
    LONG h = static_cast<LONG>(rows.size());
    LONG r = ((y - originY) % h + h) % h;
    return rows[r].data();
  }
};
Pattern SolidPattern(const BitmapView& dst, ULONG pixel);
Pattern TiledPattern(const BitmapView& dst, const BitmapView& pattern, const PixelMap& map, POINTL origin);
// A colour halftoned onto a one-bit destination, anchored to the bitmap.
Pattern DitherPattern(const BitmapView& dst, Rgb colour);
// Ordered-dither threshold test of one pixel at bitmap position (x, y).
bool DitherWhite(Rgb colour, LONG x, LONG y);

struct BltJob {
  BitmapView dst;
  RECTL dstRect{};          // ordered
  std::vector<RECTL> clip;  // the pieces of dstRect to draw, inside the bitmap
  ROP4 rop4 = 0xCCCC;
  const BitmapView* src = nullptr;
  POINTL srcPoint{};
  bool stretch = false;
  RECTL srcRect{};          // ordered; with flipX/flipY mirrored
  bool flipX = false;
  bool flipY = false;
  ULONG mode = 3;           // COLORONCOLOR; HALFTONE dithers colour onto one bit
  POINTL htOrigin{};
  const PixelMap* map = nullptr;
  const BitmapView* mask = nullptr;
  POINTL maskPoint{};
  const Pattern* pattern = nullptr;
};
void RunBlt(const BltJob& job);

}  // namespace k460::engine
