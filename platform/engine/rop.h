// The 256 ternary raster operations, applied to whole rows of pixels: the
// operation works bit by bit on the destination, source and pattern bytes,
// so one function serves every bitmap format and a row goes eight bytes at
// a time.
#pragma once

#include <cstddef>

#include "platform/base/types.h"

namespace k460::engine {

// d[i] = rop(p[i], s[i], d[i]) for i < n; s and p are not read when the
// operation does not use them (they may then be null).
using RopRowFunction = void (*)(BYTE* d, const BYTE* s, const BYTE* p, size_t n);
RopRowFunction RopRow(BYTE rop3);

inline bool RopUsesSource(BYTE rop) { return ((rop >> 2) ^ rop) & 0x33; }
inline bool RopUsesPattern(BYTE rop) { return ((rop >> 4) ^ rop) & 0x0F; }
inline bool RopUsesDestination(BYTE rop) { return ((rop >> 1) ^ rop) & 0x55; }

// One pixel's bits by the textbook rule: bit 4P + 2S + D of the code, for
// each bit position. The reference the row functions are tested against.
inline ULONG RopReference(BYTE rop, ULONG p, ULONG s, ULONG d) {
  ULONG result = 0;
  for (int bit = 0; bit < 32; ++bit) {
    int index = (((p >> bit) & 1) << 2) | (((s >> bit) & 1) << 1) | ((d >> bit) & 1);
    result |= ((rop >> index) & 1u) << bit;
  }
  return result;
}

}  // namespace k460::engine
