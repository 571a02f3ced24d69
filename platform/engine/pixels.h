// Reading and writing pixels of a bitmap row in each format. Rows are
// bytes; sub-byte pixels put the leftmost pixel in the most significant
// bits; 16-bit pixels are little-endian words; 24-bit pixels are blue,
// green, red; 32-bit pixels are little-endian words 0x00RRGGBB.
#pragma once

#include "platform/base/types.h"

namespace k460::engine {

ULONG ReadPixel(const BYTE* row, ULONG format, LONG x);
void WritePixel(BYTE* row, ULONG format, LONG x, ULONG value);

// Pixels x, x + 1, ... of a row.
void ReadPixels(const BYTE* row, ULONG format, LONG x, LONG count, ULONG* out);
// Pixels xs[0], xs[1], ... of a row.
void ReadPixelsAt(const BYTE* row, ULONG format, const LONG* xs, LONG count, ULONG* out);
void WritePixels(BYTE* row, ULONG format, LONG x, const ULONG* values, LONG count);

// out[i] for i < bytes = the 8 bits of `row` starting at bit srcBit + 8i,
// where bits outside [0, rowBits) read as 0: source bits lined up with a
// destination that starts at another bit of its byte.
void ShiftedBytes(const BYTE* row, LONGLONG rowBits, LONGLONG srcBit, BYTE* out, size_t bytes);

// A pixel value repeated over every pixel of a row buffer.
void FillPixels(BYTE* row, ULONG format, LONG count, ULONG value);

}  // namespace k460::engine
