// Source rows of any engine bitmap format turned into the rows of a PCL XL
// image: 1-, 4- and 8-bit pixels stay palette indices (the palette is sent
// separately, as gray levels), 16-, 24- and 32-bit pixels become one byte of
// gray each (direct gray).
#pragma once

#include "platform/engine/engine.h"

// How a source format is sent.
struct XlRowFormat {
  ULONG bitsPerPixel;  // of the source: 1, 4, 8, 16, 24 or 32
  BYTE colorMapping;   // 0 direct, 1 indexed
  BYTE colorDepth;     // 0 one bit, 1 four bits, 2 eight bits per pixel
};

inline constexpr BYTE XL_COLOR_MAPPING_DIRECT = 0;
inline constexpr BYTE XL_COLOR_MAPPING_INDEXED = 1;
inline constexpr BYTE XL_COLOR_DEPTH_1 = 0;
inline constexpr BYTE XL_COLOR_DEPTH_4 = 1;
inline constexpr BYTE XL_COLOR_DEPTH_8 = 2;
// Rows are padded with zero bytes to a multiple of this.
inline constexpr DWORD XL_IMAGE_ROW_PADDING = 4;

// The layout for an engine bitmap format (BMF_1BPP ... BMF_32BPP); false
// for any other format.
bool XlRowFormatOf(ULONG iBitmapFormat, XlRowFormat* pFormat);

// Bytes of one image row of `width` pixels before padding, and after it.
size_t XlRowBytes(const XlRowFormat& format, ULONG width);
size_t XlRowStride(const XlRowFormat& format, ULONG width);

// Converts the pixels x0 ... x0 + width - 1 of one source row into `out`,
// the first pixel in the top bits of the first byte; with `mirrored` the
// pixels are taken from the right end leftwards. 16-bit pixels are
// translated by pxlo (5-5-5 without one). The row's unused bits, and its
// padding up to `cbOut`, are zero.
void XlConvertRow(const XlRowFormat& format, const BYTE* pSrcRow, LONG x0, ULONG width, bool mirrored, XLATEOBJ* pxlo,
                  BYTE* pOut, size_t cbOut);
