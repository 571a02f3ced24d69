#include "tests/platform/outside/test_pages.h"

#include <random>

namespace k460::testing {

Raster::Raster(LONG w, LONG h, DWORD pitch)
    : width(w), height(h), rowBytes(pitch ? pitch : ENCODE_ROW_BYTES(w)),
      bits(static_cast<std::size_t>(rowBytes) * h, 0xFF) {}

bool Raster::Black(LONG x, LONG y) const { return (Row(y)[x / 8] & (0x80 >> (x % 8))) == 0; }

void Raster::Set(LONG x, LONG y, bool black) {
  BYTE mask = static_cast<BYTE>(0x80 >> (x % 8));
  if (black)
    Row(y)[x / 8] &= static_cast<BYTE>(~mask);
  else
    Row(y)[x / 8] |= mask;
}

std::string PageKindName(PageKind kind) {
  switch (kind) {
    case PageKind::Blank: return "blank";
    case PageKind::Black: return "black";
    case PageKind::Text: return "text";
    case PageKind::Halftone: return "halftone";
    case PageKind::Noise: return "noise";
    case PageKind::Stripes: return "stripes";
  }
  return "?";
}

namespace {

// Lines of "words": short runs of glyph-sized blocks with strokes, as a
// page of text rendered at the page's resolution.
void DrawText(Raster& page, std::mt19937& random) {
  const LONG lineHeight = std::max<LONG>(6, page.height / 60);
  const LONG glyph = std::max<LONG>(3, lineHeight * 2 / 3);
  for (LONG top = lineHeight; top + glyph < page.height; top += lineHeight * 3 / 2) {
    LONG x = page.width / 20;
    while (x + glyph < page.width - page.width / 20) {
      LONG letters = 2 + static_cast<LONG>(random() % 8);
      for (LONG l = 0; l < letters && x + glyph < page.width; ++l, x += glyph * 3 / 4) {
        std::uint32_t shape = random();
        for (LONG dy = 0; dy < glyph; ++dy)
          for (LONG dx = 0; dx < glyph / 2 + 1; ++dx) {
            bool stem = dx == 0 && (shape & 1);
            bool bar = (dy == 0 && (shape & 2)) || (dy == glyph / 2 && (shape & 4)) || (dy == glyph - 1 && (shape & 8));
            bool bowl = dx == glyph / 2 && (shape & 16);
            if (stem || bar || bowl) page.Set(x + dx, top + dy, true);
          }
      }
      x += glyph;  // the space between words
    }
  }
}

// A grey wedge through a 4 x 4 ordered dither: runs of every short length.
void DrawHalftone(Raster& page) {
  static const int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
  for (LONG y = 0; y < page.height; ++y)
    for (LONG x = 0; x < page.width; ++x) {
      int level = static_cast<int>((static_cast<std::int64_t>(x) + y) * 17 / (page.width + page.height)) % 17;
      if (kBayer[y % 4][x % 4] < level) page.Set(x, y, true);
    }
}

}  // namespace

Raster MakePage(PageKind kind, LONG width, LONG height, std::uint32_t seed) {
  Raster page(width, height);
  std::mt19937 random(seed);
  switch (kind) {
    case PageKind::Blank: break;
    case PageKind::Black:
      for (LONG y = 0; y < height; ++y)
        for (LONG x = 0; x < width; ++x) page.Set(x, y, true);
      break;
    case PageKind::Text: DrawText(page, random); break;
    case PageKind::Halftone: DrawHalftone(page); break;
    case PageKind::Noise:
      for (LONG y = 0; y < height; ++y)
        for (LONG x = 0; x < width; ++x) page.Set(x, y, random() % 3 == 0);
      break;
    case PageKind::Stripes:
      for (LONG y = 0; y < height; ++y)
        for (LONG x = 0; x < width; ++x) page.Set(x, y, ((x / 3) + (y / 5)) % 2 == 0);
      break;
  }
  // Noise in the padding bits beyond the width.
  for (LONG y = 0; y < height; ++y)
    for (LONG x = width; x < static_cast<LONG>(page.rowBytes * 8); ++x) page.Set(x, y, random() % 2 == 0);
  return page;
}

Raster ReferenceTurn(const Raster& page, bool right) {
  Raster turned(page.height, page.width);
  for (LONG ty = 0; ty < turned.height; ++ty)
    for (LONG tx = 0; tx < turned.width; ++tx) {
      bool black = right ? page.Black(ty, page.height - 1 - tx) : page.Black(page.width - 1 - ty, tx);
      turned.Set(tx, ty, black);
    }
  return turned;
}

std::string CompareRasters(const Raster& expected, const Raster& actual) {
  if (expected.width != actual.width || expected.height != actual.height)
    return "size " + std::to_string(actual.width) + "x" + std::to_string(actual.height) + ", expected " +
           std::to_string(expected.width) + "x" + std::to_string(expected.height);
  for (LONG y = 0; y < expected.height; ++y)
    for (LONG x = 0; x < expected.width; ++x)
      if (expected.Black(x, y) != actual.Black(x, y))
        return "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") is " +
               (actual.Black(x, y) ? "black" : "white");
  return "";
}

}  // namespace k460::testing
