// The hooked drawing calls. Each validates the device, notes the surface
// object, stops when the job was cancelled and marks the sheet; then the
// logical page is drawn at its place on the sheet. Until the driver's own
// halftoning and raster operations take over, the engine draws every call
// into the one-bit sheet (EngBitBlt, EngCopyBits, EngStretchBlt).
#include "driver/winnt/printer/src/km/device_surface.h"
#include "driver/winnt/printer/src/km/entry_points.h"

namespace k460::hbgraph {

namespace {

// The device of a drawing call on `pso`, ready to draw, or null.
HbDevice* BeginDrawing(SURFOBJ* pso) {
  HbDevice* d = DeviceOfSurface(pso);
  if (!d) return nullptr;
  d->surfaceObject = pso;
  if (!d->aborted && EngCheckAbort(pso)) d->aborted = true;
  if (d->aborted) {
    SetLastError(ERROR_PRINT_CANCELLED);
    return nullptr;
  }
  if (!BindSheet(*d, pso)) return nullptr;
  d->marked = true;
  return d;
}

// The ternary operation of a mix's foreground or background (R2 codes 1 to 16).
BYTE RopOfMix(MIX mix, BYTE fallback) {
  const MIX code = mix & 0xFF;
  return code >= R2_BLACK && code <= R2_WHITE ? Rop3FromMix(code) : fallback;
}

ROP4 Rop4OfMix(MIX mix) {
  const BYTE foreground = RopOfMix(mix, ROP3_PATCOPY);
  return MakeRop4(foreground, RopOfMix(mix >> 8, foreground));
}

BOOL Refuse(DWORD error) {
  SetLastError(error);
  return FALSE;
}

}  // namespace

BOOL DrvBitBlt(SURFOBJ* psoTrg, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco, XLATEOBJ* pxlo, RECTL* prclTrg,
               POINTL* pptlSrc, POINTL* pptlMask, BRUSHOBJ* pbo, POINTL* pptlBrush, ROP4 rop4) {
  HbDevice* d = BeginDrawing(psoTrg);
  if (!d) return FALSE;
  LogicalPageScope page(*d, psoTrg);
  if (page.Empty()) return TRUE;
  return EngBitBlt(psoTrg, psoSrc, psoMask, pco, pxlo, prclTrg, pptlSrc, pptlMask, pbo, pptlBrush, rop4);
}

BOOL DrvCopyBits(SURFOBJ* psoDest, SURFOBJ* psoSrc, CLIPOBJ* pco, XLATEOBJ* pxlo, RECTL* prclDest, POINTL* pptlSrc) {
  if (!psoDest || !psoSrc) return Refuse(ERROR_INVALID_PARAMETER);
  if (!DeviceOfSurface(psoDest)) {
    // The engine reads the sheet back: the device's surface is the source.
    HbDevice* d = DeviceOfSurface(psoSrc);
    if (!d || !BindSheet(*d, psoSrc)) return FALSE;
    LogicalPageScope page(*d, psoSrc);
    return EngCopyBits(psoDest, psoSrc, pco, pxlo, prclDest, pptlSrc);
  }
  HbDevice* d = BeginDrawing(psoDest);
  if (!d) return FALSE;
  LogicalPageScope page(*d, psoDest);
  if (page.Empty()) return TRUE;
  return EngCopyBits(psoDest, psoSrc, pco, pxlo, prclDest, pptlSrc);
}

BOOL DrvStretchBlt(SURFOBJ* psoDest, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco, XLATEOBJ* pxlo,
                   COLORADJUSTMENT* pca, POINTL* pptlHTOrg, RECTL* prclDest, RECTL* prclSrc, POINTL* pptlMask,
                   ULONG iMode) {
  HbDevice* d = BeginDrawing(psoDest);
  if (!d) return FALSE;
  LogicalPageScope page(*d, psoDest);
  if (page.Empty()) return TRUE;
  return EngStretchBlt(psoDest, psoSrc, psoMask, pco, pxlo, pca, pptlHTOrg, prclDest, prclSrc, pptlMask, iMode);
}

BOOL DrvPaint(SURFOBJ* pso, CLIPOBJ* pco, BRUSHOBJ* pbo, POINTL* pptlBrushOrg, MIX mix) {
  if (!pco) return Refuse(ERROR_INVALID_PARAMETER);
  HbDevice* d = BeginDrawing(pso);
  if (!d) return FALSE;
  LogicalPageScope page(*d, pso);
  if (page.Empty()) return TRUE;
  RECTL area = pco->rclBounds;
  return EngBitBlt(pso, nullptr, nullptr, pco, nullptr, &area, nullptr, nullptr, pbo, pptlBrushOrg, Rop4OfMix(mix));
}

BOOL DrvTextOut(SURFOBJ* pso, STROBJ* pstro, FONTOBJ*, CLIPOBJ* pco, RECTL* prclExtra, RECTL* prclOpaque,
                BRUSHOBJ* pboFore, BRUSHOBJ* pboOpaque, POINTL* pptlOrg, MIX mix) {
  HbDevice* d = BeginDrawing(pso);
  if (!d) return FALSE;
  LogicalPageScope page(*d, pso);
  if (page.Empty()) return TRUE;
  if (prclOpaque && pboOpaque &&
      !EngBitBlt(pso, nullptr, nullptr, pco, nullptr, prclOpaque, nullptr, nullptr, pboOpaque, pptlOrg,
                 MakeRop4(ROP3_PATCOPY, ROP3_PATCOPY))) {
    return FALSE;
  }
  // Underlines and strike-outs: a list ended by an all-zero rectangle.
  for (RECTL* r = prclExtra; r && pboFore && (r->left | r->top | r->right | r->bottom) != 0; ++r) {
    if (!EngBitBlt(pso, nullptr, nullptr, pco, nullptr, r, nullptr, nullptr, pboFore, pptlOrg, Rop4OfMix(mix))) {
      return FALSE;
    }
  }
  // Glyphs come with the driver's own text drawing.
  if (pstro && pstro->cGlyphs > 0) return Refuse(ERROR_NOT_SUPPORTED);
  return TRUE;
}

BOOL DrvStrokePath(SURFOBJ* pso, PATHOBJ*, CLIPOBJ*, XFORMOBJ*, BRUSHOBJ*, POINTL*, LINEATTRS*, MIX) {
  // Strokes go through the scratch sheet once the driver strokes itself.
  if (!BeginDrawing(pso)) return FALSE;
  return Refuse(ERROR_NOT_SUPPORTED);
}

BOOL DrvFillPath(SURFOBJ* pso, PATHOBJ*, CLIPOBJ*, BRUSHOBJ*, POINTL*, MIX, FLONG) {
  BeginDrawing(pso);
  return FALSE;  // the engine fills by other calls
}

BOOL DrvStrokeAndFillPath(SURFOBJ* pso, PATHOBJ*, CLIPOBJ*, XFORMOBJ*, BRUSHOBJ*, LINEATTRS*, BRUSHOBJ*, POINTL*, MIX,
                          FLONG) {
  // The engine draws the path by other calls; what it draws straight into
  // the sheet lands on the logical page, kept within its part of the sheet.
  if (HbDevice* d = BeginDrawing(pso)) PresentLogicalPage(*d, pso);
  return FALSE;
}

BOOL DrvRealizeBrush(BRUSHOBJ*, SURFOBJ* psoTarget, SURFOBJ*, SURFOBJ*, XLATEOBJ*, ULONG) {
  // The engine realises brushes itself until the driver's halftoning does.
  if (!BeginDrawing(psoTarget)) return FALSE;
  return Refuse(ERROR_NOT_SUPPORTED);
}

ULONG DrvDitherColor(DHPDEV, ULONG, ULONG, ULONG*) { return DCR_HALFTONE; }

BOOL DrvSetPalette(DHPDEV, PALOBJ*, FLONG, ULONG, ULONG) { return FALSE; }

}  // namespace k460::hbgraph
