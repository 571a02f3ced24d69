#include "driver/pcl/printer_common/nt/pclxl/xlrows.h"

#include <algorithm>
#include <cstring>

#include "driver/pcl/printer_common/nt/pclxl/xlgray.h"

namespace {

// The colour of a 16-bit pixel without a translation: 5 bits each of red,
// green and blue, red in the high bits.
ULONG ColorOf555(ULONG pixel) {
  auto channel = [](ULONG five) { return (five << 3) | (five >> 2); };
  return channel((pixel >> 10) & 0x1F) | (channel((pixel >> 5) & 0x1F) << 8) | (channel(pixel & 0x1F) << 16);
}

// 16-bit pixels through the translation object, remembering the last
// answer: image rows repeat colours far more often than not.
class Gray16 {
 public:
  explicit Gray16(XLATEOBJ* pxlo) : pxlo_(pxlo) {}
  BYTE operator()(ULONG pixel) {
    if (pixel != lastPixel_) {
      lastPixel_ = pixel;
      lastGray_ = GetGray(pxlo_ ? XLATEOBJ_iXlate(pxlo_, pixel) : ColorOf555(pixel));
    }
    return lastGray_;
  }

 private:
  XLATEOBJ* pxlo_;
  ULONG lastPixel_ = 0xFFFFFFFF;
  BYTE lastGray_ = 0;
};

// Pixel `x` of a row of 1- or 4-bit pixels.
BYTE PackedPixel(const BYTE* row, ULONG bits, LONG x) {
  if (bits == 1) return (row[x >> 3] >> (7 - (x & 7))) & 1;
  return (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
}

void PutPackedPixel(BYTE* out, ULONG bits, ULONG x, BYTE value) {
  if (bits == 1) {
    out[x >> 3] |= static_cast<BYTE>(value << (7 - (x & 7)));
  } else {
    out[x >> 1] |= static_cast<BYTE>((x & 1) ? value : value << 4);
  }
}

// A packed row read from a bit offset that is not a byte boundary: every
// output byte joins the end of one source byte with the start of the next,
// never reading past the byte that holds the last pixel.
void ShiftPacked(const BYTE* row, ULONG bits, LONG x0, ULONG width, BYTE* out) {
  size_t firstBit = static_cast<size_t>(x0) * bits;
  size_t lastByte = (firstBit + static_cast<size_t>(width) * bits - 1) / 8;
  const BYTE* src = row + firstBit / 8;
  size_t available = lastByte - firstBit / 8 + 1;
  unsigned shift = static_cast<unsigned>(firstBit % 8);
  size_t cbOut = (static_cast<size_t>(width) * bits + 7) / 8;
  for (size_t i = 0; i < cbOut; ++i) {
    unsigned high = src[i];
    unsigned low = i + 1 < available ? src[i + 1] : 0;
    out[i] = static_cast<BYTE>((high << shift) | (low >> (8 - shift)));
  }
}

void ConvertPacked(const XlRowFormat& f, const BYTE* row, LONG x0, ULONG width, bool mirrored, BYTE* out) {
  if (mirrored) {
    for (ULONG x = 0; x < width; ++x)
      PutPackedPixel(out, f.bitsPerPixel, x, PackedPixel(row, f.bitsPerPixel, x0 + static_cast<LONG>(width - 1 - x)));
    return;
  }
  size_t firstBit = static_cast<size_t>(x0) * f.bitsPerPixel;
  size_t cbBits = (static_cast<size_t>(width) * f.bitsPerPixel + 7) / 8;
  if (firstBit % 8 == 0) {
    std::memcpy(out, row + firstBit / 8, cbBits);
  } else {
    ShiftPacked(row, f.bitsPerPixel, x0, width, out);
  }
  // Bits past the last pixel are not the image's: keep them zero.
  unsigned usedBits = static_cast<unsigned>((static_cast<size_t>(width) * f.bitsPerPixel) % 8);
  if (usedBits) out[cbBits - 1] &= static_cast<BYTE>(0xFF << (8 - usedBits));
}

}  // namespace

bool XlRowFormatOf(ULONG iBitmapFormat, XlRowFormat* pFormat) {
  switch (iBitmapFormat) {
    case BMF_1BPP:
      *pFormat = {1, XL_COLOR_MAPPING_INDEXED, XL_COLOR_DEPTH_1};
      return true;
    case BMF_4BPP:
      *pFormat = {4, XL_COLOR_MAPPING_INDEXED, XL_COLOR_DEPTH_4};
      return true;
    case BMF_8BPP:
      *pFormat = {8, XL_COLOR_MAPPING_INDEXED, XL_COLOR_DEPTH_8};
      return true;
    case BMF_16BPP:
      *pFormat = {16, XL_COLOR_MAPPING_DIRECT, XL_COLOR_DEPTH_8};
      return true;
    case BMF_24BPP:
      *pFormat = {24, XL_COLOR_MAPPING_DIRECT, XL_COLOR_DEPTH_8};
      return true;
    case BMF_32BPP:
      *pFormat = {32, XL_COLOR_MAPPING_DIRECT, XL_COLOR_DEPTH_8};
      return true;
    default:
      return false;
  }
}

size_t XlRowBytes(const XlRowFormat& format, ULONG width) {
  if (format.bitsPerPixel < 8) return (static_cast<size_t>(width) * format.bitsPerPixel + 7) / 8;
  return width;  // indices or gray levels, one byte each
}

size_t XlRowStride(const XlRowFormat& format, ULONG width) {
  size_t bytes = XlRowBytes(format, width);
  return (bytes + XL_IMAGE_ROW_PADDING - 1) / XL_IMAGE_ROW_PADDING * XL_IMAGE_ROW_PADDING;
}

void XlConvertRow(const XlRowFormat& format, const BYTE* pSrcRow, LONG x0, ULONG width, bool mirrored, XLATEOBJ* pxlo,
                  BYTE* pOut, size_t cbOut) {
  std::memset(pOut, 0, cbOut);
  if (width == 0) return;
  auto sourceX = [&](ULONG x) { return static_cast<size_t>(x0) + (mirrored ? width - 1 - x : x); };
  switch (format.bitsPerPixel) {
    case 1:
    case 4:
      ConvertPacked(format, pSrcRow, x0, width, mirrored, pOut);
      break;
    case 8:
      if (mirrored) {
        std::reverse_copy(pSrcRow + x0, pSrcRow + x0 + width, pOut);
      } else {
        std::memcpy(pOut, pSrcRow + x0, width);
      }
      break;
    case 16: {
      Gray16 gray(pxlo);
      for (ULONG x = 0; x < width; ++x) {
        const BYTE* p = pSrcRow + 2 * sourceX(x);
        pOut[x] = gray(p[0] | (ULONG(p[1]) << 8));
      }
      break;
    }
    case 24:
    case 32: {
      size_t bytesPerPixel = format.bitsPerPixel / 8;
      for (ULONG x = 0; x < width; ++x) pOut[x] = GetGray(ColorOfBgr(pSrcRow + bytesPerPixel * sourceX(x)));
      break;
    }
  }
}
