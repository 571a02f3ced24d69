#include "driver/pcl/printer_common/nt/pclxl/xlimage.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "driver/pcl/printer_common/nt/pclxl/xlemit.h"
#include "driver/pcl/printer_common/nt/pclxl/xlgray.h"
#include "driver/pcl/printer_common/nt/pclxl/xlgstate.h"
#include "driver/pcl/printer_common/nt/pclxl/xlrle.h"
#include "driver/pcl/printer_common/nt/pclxl/xlrows.h"
#include "driver/pcl/printer_common/nt/pclxl/xltrace.h"

namespace {

constexpr BYTE kPaletteDepth8 = 2;
constexpr ULONG kMaxPaletteSize = 256;
constexpr BYTE kCompressNone = 0;
constexpr BYTE kCompressRle = 1;
constexpr LONG kMaxImageSide = 0xFFFF;  // SourceWidth, SourceHeight and DestinationSize are uint16
constexpr size_t kMaxImageBytes = 0x7FFFFFFF;

// A per-call buffer, released on every way out.
class CallBuffer {
 public:
  explicit CallBuffer(size_t cb) : p_(static_cast<BYTE*>(GlobalAlloc(GMEM_FIXED, cb))) {}
  ~CallBuffer() {
    if (p_) GlobalFree(p_);
  }
  CallBuffer(const CallBuffer&) = delete;
  CallBuffer& operator=(const CallBuffer&) = delete;
  BYTE* get() const { return p_; }

 private:
  BYTE* p_;
};

BOOL Refuse(DWORD error) {
  SetLastError(error);
  return FALSE;
}

// The colours of an indexed source, as the translation object has them.
std::vector<ULONG> SourceColors(XLATEOBJ* pxlo) {
  if (!pxlo) return {};
  if ((pxlo->flXlate & XO_TABLE) && pxlo->pulXlate && pxlo->cEntries)
    return {pxlo->pulXlate, pxlo->pulXlate + std::min<ULONG>(pxlo->cEntries, kMaxPaletteSize)};
  ULONG count = XLATEOBJ_cGetPalette(pxlo, XO_SRCPALETTE, 0, nullptr);
  std::vector<ULONG> colors(std::min(count, kMaxPaletteSize));
  if (!colors.empty())
    colors.resize(XLATEOBJ_cGetPalette(pxlo, XO_SRCPALETTE, static_cast<ULONG>(colors.size()), colors.data()));
  return colors;
}

// The palette an indexed image of this depth is sent with: one entry for
// every index its pixels can hold, so that none falls outside. Indices the
// source palette lacks are black, as the engine draws them; without a
// palette each index stands for the gray level it spans.
std::vector<ULONG> ImagePalette(XLATEOBJ* pxlo, ULONG bitsPerPixel) {
  ULONG entries = 1u << bitsPerPixel;
  std::vector<ULONG> colors = SourceColors(pxlo);
  if (colors.empty()) {
    for (ULONG i = 0; i < entries; ++i) {
      ULONG level = i * 255 / (entries - 1);
      colors.push_back(level | (level << 8) | (level << 16));
    }
  }
  colors.resize(entries, 0);
  return colors;
}

bool Inside(const RECTL& r, const SIZEL& size) {
  return r.left >= 0 && r.top >= 0 && r.right <= size.cx && r.bottom <= size.cy;
}

}  // namespace

BOOL PCL_SetPalette(PDEV* pdev, ULONG cColors, const ULONG* pColors) {
  if (cColors == 0 || cColors > kMaxPaletteSize || !pColors) {
    XlTrace("Exiting PCL_SetPalette. cColors > MAX_PALETTE_SIZE || cColors <=0. Return value FALSE\n");
    return FALSE;
  }
  BYTE grays[kMaxPaletteSize];
  for (ULONG i = 0; i < cColors; ++i) grays[i] = GetGray(pColors[i]);
  HP_SetColorSpace_PaletteData(pdev->pStream, XL_COLOR_SPACE_GRAY, kPaletteDepth8, grays, cColors);
  pdev->cache.colorSpace = XL_COLOR_SPACE_GRAY;
  pdev->cache.bPalette = TRUE;
  return TRUE;
}

BOOL PreparePrinterForImage(PDEV* pdev, XLATEOBJ* pxlo, ULONG bitsPerPixel) {
  if (bitsPerPixel >= 16) {
    HP_SetColorSpace(pdev->pStream, XL_COLOR_SPACE_GRAY);
    pdev->cache.colorSpace = XL_COLOR_SPACE_GRAY;
    pdev->cache.bPalette = FALSE;
    return TRUE;
  }
  std::vector<ULONG> palette = ImagePalette(pxlo, bitsPerPixel);
  return PCL_SetPalette(pdev, static_cast<ULONG>(palette.size()), palette.data());
}

BOOL SendBitmap(SURFOBJ* pso, XLATEOBJ* pxlo, const RECTL* prclTrg, const RECTL* prclSrc, PDEV* pdev) {
  if (!pso) {
    XlTrace("pso NULL in SendBitmap\n");
    return TRUE;
  }
  if (!prclTrg || !prclSrc) return Refuse(ERROR_INVALID_PARAMETER);
  XlRowFormat format;
  if (!XlRowFormatOf(pso->iBitmapFormat, &format)) {
    XlTrace("Un-known Image type \n");
    return Refuse(ERROR_INVALID_PARAMETER);
  }
  const RECTL src = XlOrdered(*prclSrc);
  const RECTL trg = XlOrdered(*prclTrg);
  const LONG width = src.right - src.left;
  const LONG rows = src.bottom - src.top;
  const LONG targetWidth = trg.right - trg.left;
  const LONG targetHeight = trg.bottom - trg.top;
  if (width == 0 || rows == 0 || targetWidth == 0 || targetHeight == 0) return TRUE;  // nothing to draw
  // Rows and pixels outside the bitmap are not there to be read.
  if (!pso->pvScan0 || !Inside(src, pso->sizlBitmap)) return Refuse(ERROR_INVALID_PARAMETER);
  if (width > kMaxImageSide || rows > kMaxImageSide || targetWidth > kMaxImageSide || targetHeight > kMaxImageSide)
    return Refuse(ERROR_INVALID_PARAMETER);
  const bool mirrorX = (prclTrg->right < prclTrg->left) != (prclSrc->right < prclSrc->left);
  const bool mirrorY = (prclTrg->bottom < prclTrg->top) != (prclSrc->bottom < prclSrc->top);

  const size_t stride = XlRowStride(format, static_cast<ULONG>(width));
  if (stride * static_cast<size_t>(rows) > kMaxImageBytes) return Refuse(ERROR_NOT_ENOUGH_MEMORY);
  CallBuffer image(stride * static_cast<size_t>(rows));
  if (!image.get()) return Refuse(ERROR_NOT_ENOUGH_MEMORY);

  // A mirrored target takes the rows from the bottom of the source upwards.
  bool allAlike = true;
  const BYTE* scan0 = static_cast<const BYTE*>(pso->pvScan0);
  for (LONG i = 0; i < rows; ++i) {
    LONG y = mirrorY ? src.bottom - 1 - i : src.top + i;
    BYTE* out = image.get() + static_cast<size_t>(i) * stride;
    XlConvertRow(format, scan0 + static_cast<ptrdiff_t>(y) * pso->lDelta, src.left, static_cast<ULONG>(width), mirrorX,
                 pxlo, out, stride);
    if (allAlike && i > 0) allAlike = std::memcmp(out, out - stride, stride) == 0;
  }
  const LONG sentRows = allAlike ? 1 : rows;
  const size_t cbRaw = stride * static_cast<size_t>(sentRows);

  if (!PreparePrinterForImage(pdev, pxlo, format.bitsPerPixel)) XlTrace("Returning false in PreparePrinterForImage\n");
  XlStream* s = pdev->pStream;
  HP_SetCursor(s, XlShort(trg.left), XlShort(trg.top));
  HP_BeginImage(s, {format.colorMapping, format.colorDepth, static_cast<WORD>(width), static_cast<WORD>(sentRows),
                    static_cast<WORD>(targetWidth), static_cast<WORD>(targetHeight)});

  // Run-length coded only when that is smaller; a failure to code is no error.
  CallBuffer packed(cbRaw);
  LONG cbPacked = packed.get() ? CompressImage(image.get(), packed.get(), static_cast<DWORD>(cbRaw),
                                               static_cast<DWORD>(stride), static_cast<DWORD>(sentRows))
                               : -1;
  XlImageBlock block{0,           static_cast<WORD>(sentRows), kCompressNone, XL_IMAGE_ROW_PADDING,
                     image.get(), static_cast<DWORD>(cbRaw)};
  if (cbPacked >= 0 && static_cast<size_t>(cbPacked) < cbRaw) {
    block.compressMode = kCompressRle;
    block.pData = packed.get();
    block.cbData = static_cast<DWORD>(cbPacked);
  }
  HP_ReadImage(s, block);
  HP_EndImage(s);
  return TRUE;
}
