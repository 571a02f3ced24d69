// Reading pixels of the bitmaps the engine's tests look at, independently
// of the engine's own pixel code.
#pragma once

#include <cstring>
#include <vector>

#include "platform/engine/engine.h"

namespace k460::testing {

inline int FormatBits(ULONG format) {
  constexpr int bits[] = {0, 1, 4, 8, 16, 24, 32};
  return format < 7 ? bits[format] : 0;
}

inline ULONG PixelAt(const BYTE* row, ULONG format, LONG x) {
  switch (FormatBits(format)) {
    case 1: return (row[x / 8] >> (7 - x % 8)) & 1;
    case 4: return (row[x / 2] >> (x % 2 ? 0 : 4)) & 0xF;
    case 8: return row[x];
    case 16: return row[2 * x] | (row[2 * x + 1] << 8);
    case 24: return row[3 * x] | (row[3 * x + 1] << 8) | (ULONG(row[3 * x + 2]) << 16);
    default: {
      ULONG v;
      std::memcpy(&v, row + 4 * x, 4);
      return v;
    }
  }
}

// Pixel (x, y) of a surface object's bits.
inline ULONG SurfacePixel(const SURFOBJ* so, LONG x, LONG y) {
  return PixelAt(static_cast<const BYTE*>(so->pvScan0) + static_cast<ptrdiff_t>(y) * so->lDelta,
                 so->iBitmapFormat, x);
}

// Black pixels (0) of a one-bit page of `stride`-byte rows within a rectangle.
inline long BlackPixels(const std::vector<BYTE>& page, LONG stride, const RECTL& r) {
  long n = 0;
  for (LONG y = r.top; y < r.bottom; ++y) {
    for (LONG x = r.left; x < r.right; ++x) n += PixelAt(page.data() + y * stride, BMF_1BPP, x) == 0;
  }
  return n;
}

inline long Area(const RECTL& r) { return long(r.right - r.left) * (r.bottom - r.top); }

}  // namespace k460::testing
