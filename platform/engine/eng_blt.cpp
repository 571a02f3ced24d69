// EngBitBlt, EngCopyBits, EngStretchBlt and EngEraseSurface: argument
// checks, reading device-managed sources back, drawing on engine bitmaps
// and handing drawing on device-managed surfaces back to the driver.
#include <algorithm>
#include <cstring>

#include "platform/base/internal.h"
#include "platform/engine/blt.h"
#include "platform/engine/brush.h"
#include "platform/engine/clip.h"
#include "platform/engine/device.h"
#include "platform/engine/engine.h"
#include "platform/engine/pixels.h"
#include "platform/engine/rop.h"
#include "platform/engine/surface.h"
#include "platform/engine/xlate.h"

using namespace k460::engine;

namespace {

struct Request {
  const char* name = "";
  SURFOBJ* dst = nullptr;
  SURFOBJ* src = nullptr;
  SURFOBJ* mask = nullptr;
  CLIPOBJ* pco = nullptr;
  XLATEOBJ* pxlo = nullptr;
  RECTL dstRect{};
  POINTL srcPoint{};
  POINTL maskPoint{};
  BRUSHOBJ* pbo = nullptr;
  POINTL brushOrigin{};
  ROP4 rop4 = 0xCCCC;
  bool stretch = false;
  RECTL srcRect{};
  ULONG mode = COLORONCOLOR;
  POINTL htOrigin{};
  bool rawColor = false;  // EngEraseSurface: the pattern is this pixel value
  ULONG color = 0;
};

BYTE Foreground(ROP4 rop4) { return static_cast<BYTE>(rop4 & 0xFF); }
BYTE Background(ROP4 rop4) { return static_cast<BYTE>((rop4 >> 8) & 0xFF); }
bool Masked(ROP4 rop4) { return Foreground(rop4) != Background(rop4); }
bool UsesSource(ROP4 r) { return RopUsesSource(Foreground(r)) || (Masked(r) && RopUsesSource(Background(r))); }
bool UsesPattern(ROP4 r) { return RopUsesPattern(Foreground(r)) || (Masked(r) && RopUsesPattern(Background(r))); }
bool UsesDestination(ROP4 r) {
  return Masked(r) || RopUsesDestination(Foreground(r)) || RopUsesDestination(Background(r));
}

PaletteData PaletteOf(const SURFOBJ* so) {
  auto surface = FindSurface(so);
  return surface ? surface->EffectivePalette() : PaletteData::DefaultFor(so->iBitmapFormat);
}

RECTL SurfaceBounds(const SURFOBJ* so) { return {0, 0, so->sizlBitmap.cx, so->sizlBitmap.cy}; }

RECTL Offset(RECTL r, LONG dx, LONG dy) { return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy}; }

// A device-managed surface the engine can reach through its driver.
struct DeviceSide {
  std::shared_ptr<Surface> surface;
  PFN_DrvCopyBits copyBits = nullptr;
};

std::optional<DeviceSide> DeviceSideOf(SURFOBJ* so) {
  auto surface = FindSurface(so);
  if (!surface || so->iType == STYPE_BITMAP) return std::nullopt;
  DeviceSide side;
  side.surface = surface;
  if (auto device = surface->device.lock()) side.copyBits = device->Function<PFN_DrvCopyBits>(INDEX_DrvCopyBits);
  return side;
}

// A temporary engine bitmap, white, with the palette of the surface it stands for.
std::shared_ptr<Surface> WhiteBitmap(SIZEL size, ULONG format, const PaletteData& palette) {
  if (BitsPerPixel(format) == 0) format = BMF_24BPP;
  auto temp = CreateBitmapSurface(size, format, false);
  if (!temp) return nullptr;
  temp->palette = palette;
  ULONG white = RgbToPixel(format, palette, kWhite);
  for (LONG y = 0; y < size.cy; ++y) {
    FillPixels(static_cast<BYTE*>(temp->so.pvScan0) + static_cast<ptrdiff_t>(y) * temp->so.lDelta, format, size.cx,
               white);
  }
  return temp;
}

// Removes a temporary bitmap's handle when the call is done.
struct TempHandle {
  std::shared_ptr<Surface> surface;
  ~TempHandle() {
    if (surface) ForgetSurface(*surface);
  }
};

// Reads `area` of a device-managed surface into a white bitmap through the
// driver's DrvCopyBits; what cannot be read stays white.
std::shared_ptr<Surface> ReadBack(SURFOBJ* so, const DeviceSide& side, const RECTL& area) {
  SIZEL size{area.right - area.left, area.bottom - area.top};
  PaletteData palette = side.surface->EffectivePalette();
  auto temp = WhiteBitmap(size, so->iBitmapFormat, palette);
  if (temp && side.copyBits && side.surface->puntDepth == 0) {
    RECTL whole{0, 0, size.cx, size.cy};
    POINTL from{area.left, area.top};
    ++side.surface->puntDepth;
    BOOL ok = side.copyBits(&temp->so, so, nullptr, nullptr, &whole, &from);
    --side.surface->puntDepth;
    if (!ok) {
      auto white = WhiteBitmap(size, so->iBitmapFormat, palette);
      if (!white) return nullptr;
      std::memcpy(temp->so.pvBits, white->so.pvBits, temp->so.cjBits);
      ForgetSurface(*white);
    }
  }
  return temp;
}

// Draws the request on an engine bitmap, within `pieces`.
BOOL DrawOnBitmap(const Request& r, const BitmapView& dst, std::vector<RECTL> pieces, const BitmapView* src,
                  const PaletteData& srcPalette) {
  BltJob job;
  job.dst = dst;
  job.clip = std::move(pieces);
  job.rop4 = r.rop4;
  job.mode = r.mode;
  job.htOrigin = r.htOrigin;
  job.dstRect = RectOrdered(r.dstRect);
  std::optional<PixelMap> map;
  if (src) {
    job.src = src;
    job.srcPoint = r.srcPoint;
    if (r.stretch) {
      job.stretch = true;
      job.srcRect = RectOrdered(r.srcRect);
      job.flipX = (r.dstRect.right < r.dstRect.left) != (r.srcRect.right < r.srcRect.left);
      job.flipY = (r.dstRect.bottom < r.dstRect.top) != (r.srcRect.bottom < r.srcRect.top);
      if (RectEmpty(job.srcRect)) return TRUE;
    }
    map.emplace(src->format, srcPalette, dst.format, dst.palette);
    if (r.pxlo && !EngineXlate::Find(r.pxlo) && (r.pxlo->flXlate & XO_TABLE) && r.pxlo->pulXlate) {
      map->UseTable(r.pxlo->pulXlate, r.pxlo->cEntries);
    }
    job.map = &*map;
  }
  std::optional<BitmapView> mask;
  if (Masked(r.rop4)) {
    mask = BitmapViewOf(r.mask, PaletteData::DefaultFor(BMF_1BPP));
    if (!mask || mask->format != BMF_1BPP) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    job.mask = &*mask;
    job.maskPoint = r.maskPoint;
  }
  std::optional<Pattern> pattern;
  if (UsesPattern(r.rop4)) {
    pattern = r.rawColor ? SolidPattern(dst, r.color) : PatternFor(r.pbo, dst, r.brushOrigin);
    if (!pattern) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    job.pattern = &*pattern;
  }
  RunBlt(job);
  return TRUE;
}

BOOL Execute(Request r) {
  if (!r.dst) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  bool needSource = UsesSource(r.rop4);
  if (needSource && !r.src) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  if (UsesPattern(r.rop4) && !r.pbo && !r.rawColor) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  if (Masked(r.rop4) && !r.mask) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  if (!needSource) r.src = nullptr;

  // The source: an engine bitmap, or a device-managed surface read back.
  std::optional<BitmapView> srcView;
  PaletteData srcPalette;
  TempHandle srcTemp;
  if (r.src) {
    PaletteData surfacePalette = PaletteOf(r.src);
    EngineXlate* xlate = EngineXlate::Find(r.pxlo);
    srcPalette = xlate ? xlate->Source() : surfacePalette;
    srcView = BitmapViewOf(r.src, surfacePalette);
    bool sameBits = srcView && r.dst->pvBits && r.src->pvBits == r.dst->pvBits;
    if (!srcView || sameBits) {
      // Read what the call needs into a bitmap of its own: from the device,
      // or from the destination itself so that overlapping copies hold.
      RECTL need = r.stretch ? RectOrdered(r.srcRect)
                             : RECTL{r.srcPoint.x, r.srcPoint.y,
                                     r.srcPoint.x + std::abs(r.dstRect.right - r.dstRect.left),
                                     r.srcPoint.y + std::abs(r.dstRect.bottom - r.dstRect.top)};
      need = RectIntersect(need, SurfaceBounds(r.src));
      if (RectEmpty(need)) return TRUE;
      if (sameBits) {
        auto copy = WhiteBitmap({need.right - need.left, need.bottom - need.top}, r.src->iBitmapFormat,
                                surfacePalette);
        if (!copy) return FALSE;
        RECTL whole{0, 0, need.right - need.left, need.bottom - need.top};
        BitmapView copyView = *BitmapViewOf(&copy->so, surfacePalette);
        PixelMap identity(srcView->format, surfacePalette, srcView->format, surfacePalette);
        BltJob job;
        job.dst = copyView;
        job.dstRect = whole;
        job.clip = {whole};
        job.src = &*srcView;
        job.srcPoint = {need.left, need.top};
        job.map = &identity;
        RunBlt(job);
        srcTemp.surface = copy;
      } else {
        auto side = DeviceSideOf(r.src);
        if (!side) return Fail(ERROR_INVALID_PARAMETER, FALSE);
        srcTemp.surface = ReadBack(r.src, *side, need);
        if (!srcTemp.surface) return FALSE;
      }
      srcView = BitmapViewOf(&srcTemp.surface->so, surfacePalette);
      // The source's coordinates move with the part that was read.
      r.srcPoint.x -= need.left;
      r.srcPoint.y -= need.top;
      r.srcRect = Offset(r.srcRect, -need.left, -need.top);
    }
  }

  RECTL target = RectIntersect(RectOrdered(r.dstRect), SurfaceBounds(r.dst));
  if (auto dstView = BitmapViewOf(r.dst, PaletteOf(r.dst))) {
    return DrawOnBitmap(r, *dstView, ClipPieces(r.pco, target), srcView ? &*srcView : nullptr, srcPalette);
  }

  // A device-managed destination: draw into a bitmap, then hand it over.
  auto side = DeviceSideOf(r.dst);
  if (!side) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  if (!side->copyBits) return Fail(ERROR_NOT_SUPPORTED, FALSE);
  if (side->surface->puntDepth > 0) return Fail(ERROR_NOT_SUPPORTED, FALSE);  // the driver handed it straight back
  std::vector<RECTL> pieces = ClipPieces(r.pco, target);
  if (pieces.empty()) return TRUE;
  RECTL area = Region::FromRects(pieces).Bounds();
  SIZEL size{area.right - area.left, area.bottom - area.top};
  TempHandle temp;
  if (UsesDestination(r.rop4)) {
    temp.surface = ReadBack(r.dst, *side, area);
  } else {
    temp.surface = WhiteBitmap(size, r.dst->iBitmapFormat, side->surface->EffectivePalette());
  }
  if (!temp.surface) return FALSE;
  Request inner = r;
  inner.dst = &temp.surface->so;
  inner.dstRect = Offset(r.dstRect, -area.left, -area.top);
  inner.brushOrigin = {r.brushOrigin.x - area.left, r.brushOrigin.y - area.top};
  inner.htOrigin = {r.htOrigin.x - area.left, r.htOrigin.y - area.top};
  for (RECTL& piece : pieces) piece = Offset(piece, -area.left, -area.top);
  BitmapView tempView = *BitmapViewOf(&temp.surface->so, side->surface->EffectivePalette());
  if (!DrawOnBitmap(inner, tempView, pieces, srcView ? &*srcView : nullptr, srcPalette)) return FALSE;
  POINTL origin{0, 0};
  ++side->surface->puntDepth;
  SetLastError(ERROR_SUCCESS);
  BOOL ok = side->copyBits(r.dst, &temp.surface->so, r.pco, nullptr, &area, &origin);
  --side->surface->puntDepth;
  if (!ok && GetLastError() == ERROR_SUCCESS) SetLastError(ERROR_GEN_FAILURE);
  return ok;
}

}  // namespace

K460_API BOOL EngBitBlt(SURFOBJ* psoTrg, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco, XLATEOBJ* pxlo,
                        RECTL* prclTrg, POINTL* pptlSrc, POINTL* pptlMask, BRUSHOBJ* pbo, POINTL* pptlBrush,
                        ROP4 rop4) {
  if (k460::CallFailsSetError("EngBitBlt")) return FALSE;
  if (!prclTrg || (UsesSource(rop4) && !pptlSrc) || (Masked(rop4) && !pptlMask)) {
    return Fail(ERROR_INVALID_PARAMETER, FALSE);
  }
  Request r;
  r.dst = psoTrg;
  r.src = psoSrc;
  r.mask = psoMask;
  r.pco = pco;
  r.pxlo = pxlo;
  r.dstRect = *prclTrg;
  if (pptlSrc) r.srcPoint = *pptlSrc;
  if (pptlMask) r.maskPoint = *pptlMask;
  r.pbo = pbo;
  if (pptlBrush) r.brushOrigin = *pptlBrush;
  r.rop4 = rop4 & 0xFFFF;
  return Execute(r);
}

K460_API BOOL EngCopyBits(SURFOBJ* psoDest, SURFOBJ* psoSrc, CLIPOBJ* pco, XLATEOBJ* pxlo, RECTL* prclDest,
                          POINTL* pptlSrc) {
  if (k460::CallFailsSetError("EngCopyBits")) return FALSE;
  if (!prclDest || !pptlSrc) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  Request r;
  r.dst = psoDest;
  r.src = psoSrc;
  r.pco = pco;
  r.pxlo = pxlo;
  r.dstRect = *prclDest;
  r.srcPoint = *pptlSrc;
  r.rop4 = 0xCCCC;
  return Execute(r);
}

K460_API BOOL EngStretchBlt(SURFOBJ* psoDest, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco, XLATEOBJ* pxlo,
                            COLORADJUSTMENT*, POINTL* pptlHTOrg, RECTL* prclDest, RECTL* prclSrc, POINTL* pptlMask,
                            ULONG iMode) {
  if (k460::CallFailsSetError("EngStretchBlt")) return FALSE;
  if (!prclDest || !prclSrc || !psoSrc || (psoMask && !pptlMask)) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  if (iMode < BLACKONWHITE || iMode > HALFTONE) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  Request r;
  r.dst = psoDest;
  r.src = psoSrc;
  r.mask = psoMask;
  r.pco = pco;
  r.pxlo = pxlo;
  r.dstRect = *prclDest;
  r.srcRect = *prclSrc;
  r.stretch = true;
  r.mode = iMode;
  if (pptlHTOrg) r.htOrigin = *pptlHTOrg;
  if (pptlMask) r.maskPoint = *pptlMask;
  // With a mask, the destination stays where the mask is 0.
  r.rop4 = psoMask ? MakeRop4(ROP3_SRCCOPY, ROP3_NOP) : 0xCCCC;
  return Execute(r);
}

K460_API BOOL EngEraseSurface(SURFOBJ* pso, RECTL* prcl, ULONG iColor) {
  if (k460::CallFailsSetError("EngEraseSurface")) return FALSE;
  if (!pso) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  Request r;
  r.dst = pso;
  r.dstRect = prcl ? *prcl : SurfaceBounds(pso);
  r.rawColor = true;
  r.color = iColor;
  r.rop4 = MakeRop4(ROP3_PATCOPY, ROP3_PATCOPY);
  return Execute(r);
}
