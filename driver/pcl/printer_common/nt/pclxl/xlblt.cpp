// The engine's bit-block calls. Per raster operation the driver decides
// whether the printer does the work itself (a solid or brush fill, or a
// source image drawn with the operation sent as SetROP) or whether the
// engine simulates it with EngBitBlt and hands the result back through
// DrvCopyBits as a plain image.
#include <algorithm>

#include "driver/pcl/printer_common/nt/pclxl/xlbrush.h"
#include "driver/pcl/printer_common/nt/pclxl/xlclip.h"
#include "driver/pcl/printer_common/nt/pclxl/xldownload.h"
#include "driver/pcl/printer_common/nt/pclxl/xlemit.h"
#include "driver/pcl/printer_common/nt/pclxl/xlgraph.h"
#include "driver/pcl/printer_common/nt/pclxl/xlgstate.h"
#include "driver/pcl/printer_common/nt/pclxl/xltrace.h"

namespace {

constexpr ULONG kWhiteSurface = 0xFFFFFFFF;
constexpr ULONG kBlack = 0x000000;
constexpr ULONG kWhite = 0xFFFFFF;

// What the printer does with a ternary raster operation.
enum class RopClass {
  Nothing,        // the destination stays
  SolidFill,      // black or white
  PatternCopy,    // the brush alone
  PatternDest,    // brush and destination
  SourceDest,     // an image and the destination
  SourcePattern,  // an image, the brush and the destination
  Engine,         // everything else: the engine draws it
};

// Operations of pattern and destination only, of source and destination
// only, and of source and pattern (with or without the destination).
constexpr BYTE kPatternDestRops[] = {0x05, 0x0A, 0x0F, 0x50, 0x5A, 0x5F, 0xA0, 0xA5, 0xAF, 0xF5, 0xFA};
constexpr BYTE kSourceDestRops[] = {0x11, 0x22, 0x33, 0x44, 0x66, 0x77, 0x88, 0x99, 0xBB, 0xCC, 0xDD, 0xEE};
constexpr BYTE kSourcePatternRops[] = {0x01, 0x02, 0x03, 0x0C, 0x30, 0x3C, 0x3F, 0x78, 0xC0, 0xC3, 0xCF, 0xF3, 0xFC};

template <size_t N>
bool In(BYTE rop, const BYTE (&rops)[N]) {
  return std::find(rops, rops + N, rop) != rops + N;
}

RopClass ClassOf(BYTE rop) {
  if (rop == ROP3_NOP) return RopClass::Nothing;
  if (rop == ROP3_BLACKNESS || rop == ROP3_WHITENESS) return RopClass::SolidFill;
  if (rop == ROP3_PATCOPY) return RopClass::PatternCopy;
  if (In(rop, kPatternDestRops)) return RopClass::PatternDest;
  if (In(rop, kSourceDestRops)) return RopClass::SourceDest;
  if (In(rop, kSourcePatternRops)) return RopClass::SourcePattern;
  return RopClass::Engine;
}

bool RasterGraphics(const PDEV* pdev) { return pdev->settings.pv.pvGraphicsMode != 0; }

BOOL Invalid(const char* trace) {
  XlTrace("%s", trace);
  SetLastError(ERROR_INVALID_PARAMETER);
  return FALSE;
}

// A bitmap the driver can read; the device's own surface cannot be.
bool Readable(const SURFOBJ* pso) { return pso->iType == STYPE_BITMAP && pso->pvScan0; }

// The rectangle painted with the brush already selected, without outline.
void PaintRectangle(PDEV* pdev, const RECTL& rcl) {
  XlStream* s = pdev->pStream;
  HP_NewPath(s);
  HP_RectanglePath(s, XlShort(rcl.left), XlShort(rcl.top), XlShort(rcl.right), XlShort(rcl.bottom));
  HP_PaintPath(s);
}

void NullPenOfWidthOne(PDEV* pdev) {
  HP_SetPenSource_NullPen(pdev->pStream);
  HP_SetPenWidth(pdev->pStream, 1);
}

struct BitBltCall {
  SURFOBJ* psoTrg;
  SURFOBJ* psoSrc;
  SURFOBJ* psoMask;
  CLIPOBJ* pco;
  XLATEOBJ* pxlo;
  RECTL* prclTrg;
  POINTL* pptlSrc;
  POINTL* pptlMask;
  BRUSHOBJ* pbo;
  POINTL* pptlBrush;
  ROP4 rop4;

  BOOL ToEngine() const {
    return EngBitBlt(psoTrg, psoSrc, psoMask, pco, pxlo, prclTrg, pptlSrc, pptlMask, pbo, pptlBrush, rop4);
  }
};

// Black or white over the target. In raster graphics mode the target is
// moved to the page and a complex clip is left to the engine.
BOOL SolidFill(PDEV* pdev, const BitBltCall& c, ULONG color) {
  RECTL rcl = XlOrdered(*c.prclTrg);
  if (RasterGraphics(pdev)) {
    rcl = MovedDown(rcl, BandOffset(pdev));
    if (!SetBandClip(pdev, c.pco, rcl)) return c.ToEngine();
  }
  NullPenOfWidthOne(pdev);
  PCL_SetRGBColor(pdev, color);
  PaintRectangle(pdev, rcl);
  return TRUE;
}

// The image of the source with the operation already sent.
BOOL SourceImage(PDEV* pdev, const BitBltCall& c) {
  if (c.psoSrc && !Readable(c.psoSrc)) return c.ToEngine();
  if (RasterGraphics(pdev)) return DownLoadSurfaceBanded(c.psoSrc, c.pco, c.pxlo, c.prclTrg, c.pptlSrc, nullptr, pdev);
  return DownLoadSurface(c.psoSrc, c.pco, c.pxlo, c.prclTrg, c.pptlSrc, nullptr, pdev);
}

BOOL Dispatch(PDEV* pdev, const BitBltCall& c, BYTE rop) {
  const bool raster = RasterGraphics(pdev);
  switch (ClassOf(rop)) {
    case RopClass::Nothing:
      return TRUE;
    case RopClass::SolidFill:
      return SolidFill(pdev, c, rop == ROP3_BLACKNESS ? kBlack : kWhite);
    case RopClass::PatternCopy:
      if (raster) return c.ToEngine();
      NullPenOfWidthOne(pdev);
      if (!XL_SetBrushSource(pdev, c.pbo, rop)) return c.ToEngine();
      PaintRectangle(pdev, XlOrdered(*c.prclTrg));
      return TRUE;
    case RopClass::PatternDest: {
      BOOL selected = XL_SetBrushSource(pdev, c.pbo, rop);
      if (raster || !selected) return c.ToEngine();
      XlTrace("Entering Function Fill90Rop\n");
      HP_SetPenSource_NullPen(pdev->pStream);
      RECTL rcl = XlOrdered(*c.prclTrg);
      HP_Rectangle(pdev->pStream, XlShort(rcl.left), XlShort(rcl.top), XlShort(rcl.right), XlShort(rcl.bottom));
      return TRUE;
    }
    case RopClass::SourceDest:
      return SourceImage(pdev, c);
    case RopClass::SourcePattern:
      // The printer combines source and brush with the operation sent.
      if (!XL_SetBrushSource(pdev, c.pbo, rop)) return c.ToEngine();
      return SourceImage(pdev, c);
    case RopClass::Engine:
      break;
  }
  return c.ToEngine();
}

}  // namespace

K460_API BOOL DrvBitBlt(SURFOBJ* psoTrg, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco, XLATEOBJ* pxlo,
                        RECTL* prclTrg, POINTL* pptlSrc, POINTL* pptlMask, BRUSHOBJ* pbo, POINTL* pptlBrush,
                        ROP4 rop4) {
  const BitBltCall call{psoTrg, psoSrc, psoMask, pco, pxlo, prclTrg, pptlSrc, pptlMask, pbo, pptlBrush, rop4};
  const BYTE rop = static_cast<BYTE>(rop4 & 0xFF);
  if (((rop4 >> 8) & 0xFF) != rop) {
    XlTrace("ROP4 can not be handled . calling EngBitBlt\n");
    return call.ToEngine();
  }
  PDEV* pdev = PdevOfSurface(psoTrg);
  if (!bValidatePDEV(pdev)) return Invalid("bValidatePDEV function failed \n");
  if (!prclTrg) return Invalid("Exiting DrvBitBlt\n");
  pdev->bStretch = FALSE;
  XL_SetROP(pdev, rop);
  HP_SetSourceTxMode(pdev->pStream, XL_TX_OPAQUE);
  HP_SetPaintTxMode(pdev->pStream, XL_TX_OPAQUE);
  // In raster graphics mode each path sets its clip in page coordinates.
  if (!RasterGraphics(pdev) && !SetClip(pco, prclTrg, pdev)) return FALSE;
  BOOL result = Dispatch(pdev, call, rop);
  XlTrace("Exiting DrvBitBlt\n");
  return result;
}

K460_API BOOL DrvStretchBlt(SURFOBJ* psoDest, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco, XLATEOBJ* pxlo,
                            COLORADJUSTMENT* pca, POINTL* pptlHTOrg, RECTL* prclDest, RECTL* prclSrc, POINTL* pptlMask,
                            ULONG iMode) {
  PDEV* pdev = PdevOfSurface(psoDest);
  if (!bValidatePDEV(pdev)) return Invalid("bValidatePDEV function failed \n");
  if (!prclDest || !prclSrc) return Invalid("Exiting DrvStretchBlt\n");
  // A mask, or a source the driver cannot read, is the engine's to draw.
  if (psoMask || (psoSrc && !Readable(psoSrc))) {
    return EngStretchBlt(psoDest, psoSrc, psoMask, pco, pxlo, pca, pptlHTOrg, prclDest, prclSrc, pptlMask, iMode);
  }
  pdev->bStretch = TRUE;
  XL_SetROP(pdev, ROP3_SRCCOPY);
  HP_SetSourceTxMode(pdev->pStream, XL_TX_OPAQUE);
  HP_SetPaintTxMode(pdev->pStream, XL_TX_OPAQUE);
  BOOL result = RasterGraphics(pdev) ? DownLoadSurfaceBanded(psoSrc, pco, pxlo, prclDest, nullptr, prclSrc, pdev)
                                     : DownLoadSurface(psoSrc, pco, pxlo, prclDest, nullptr, prclSrc, pdev);
  pdev->bStretch = FALSE;
  return result;
}

K460_API BOOL DrvCopyBits(SURFOBJ* psoDest, SURFOBJ* psoSrc, CLIPOBJ* pco, XLATEOBJ* pxlo, RECTL* prclDest,
                          POINTL* pptlSrc) {
  if (!psoDest || !psoSrc || !prclDest) return Invalid("Exiting DrvCopyBits\n");
  // The engine reads the device surface back: the page is taken as white.
  if (psoSrc->iType != STYPE_BITMAP) return EngEraseSurface(psoDest, prclDest, kWhiteSurface);
  if (psoDest->iType != STYPE_DEVICE) return Invalid("Exiting DrvCopyBits\n");
  PDEV* pdev = PdevOfSurface(psoDest);
  if (!bValidatePDEV(pdev)) return Invalid("FAILED IN bValidatePDEV");
  if (!pptlSrc) return Invalid("Exiting DrvCopyBits\n");
  pdev->bStretch = FALSE;
  // What comes here is finished pixels (often the engine's result of an
  // operation the printer did not take): drawn as they are.
  XL_SetROP(pdev, ROP3_SRCCOPY);
  if (RasterGraphics(pdev)) return DownLoadSurfaceBanded(psoSrc, pco, pxlo, prclDest, pptlSrc, nullptr, pdev);
  return DownLoadSurface(psoSrc, pco, pxlo, prclDest, pptlSrc, nullptr, pdev);
}
