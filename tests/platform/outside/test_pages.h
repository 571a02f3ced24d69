// One-bit pages for the encoder's tests: rows padded to 16 bits as the
// encoder takes them (padding bits filled with noise, which must not matter),
// 0 black. Pages of several kinds, a plain reference turn and a comparison.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/outside/qtxtoenc/qtxtoenc.h"

namespace k460::testing {

struct Raster {
  LONG width = 0;
  LONG height = 0;
  DWORD rowBytes = 0;
  std::vector<BYTE> bits;

  Raster() = default;
  // White, with rows of `rowBytes` (0: the encoder's 16-bit rule).
  Raster(LONG w, LONG h, DWORD pitch = 0);
  bool Black(LONG x, LONG y) const;
  void Set(LONG x, LONG y, bool black);
  const BYTE* Row(LONG y) const { return bits.data() + static_cast<std::size_t>(y) * rowBytes; }
  BYTE* Row(LONG y) { return bits.data() + static_cast<std::size_t>(y) * rowBytes; }
};

enum class PageKind { Blank, Black, Text, Halftone, Noise, Stripes };
std::string PageKindName(PageKind kind);

// A page of the kind; `seed` varies the content. Padding bits are noise.
Raster MakePage(PageKind kind, LONG width, LONG height, std::uint32_t seed = 1);

// The page turned by 90 degrees, clockwise (right) or counterclockwise.
Raster ReferenceTurn(const Raster& page, bool right);

// "" when both have the same size and pixels, else where they first differ.
std::string CompareRasters(const Raster& expected, const Raster& actual);

}  // namespace k460::testing
