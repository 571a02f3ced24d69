#include "driver/pcl/printer_common/nt/pclxl/xldownload.h"

#include <algorithm>
#include <cstdlib>

#include "driver/pcl/printer_common/nt/pclxl/xlclip.h"
#include "driver/pcl/printer_common/nt/pclxl/xlgstate.h"
#include "driver/pcl/printer_common/nt/pclxl/xlimage.h"
#include "driver/pcl/printer_common/nt/pclxl/xltrace.h"

namespace {

BOOL Refuse() {
  SetLastError(ERROR_INVALID_PARAMETER);
  return FALSE;
}

// The source rectangle of a call: the one given while stretching, else the
// target's size at the source point.
bool SourceRect(const PDEV* pdev, const RECTL& trg, const POINTL* pptlSrc, const RECTL* prclSrc, RECTL* pSrc) {
  if (pdev->bStretch && prclSrc) {
    *pSrc = *prclSrc;
    return true;
  }
  if (!pptlSrc) return false;
  *pSrc = {pptlSrc->x, pptlSrc->y, pptlSrc->x + std::abs(trg.right - trg.left),
           pptlSrc->y + std::abs(trg.bottom - trg.top)};
  return true;
}

RECTL Intersect(const RECTL& a, const RECTL& b) {
  RECTL r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
  if (r.left >= r.right || r.top >= r.bottom) return {0, 0, 0, 0};
  return r;
}

bool Empty(const RECTL& r) { return r.left >= r.right || r.top >= r.bottom; }

// One axis of a piece of the target: the part of the source [s0, s1) that
// lands on [p0, p1) of the target [t0, t1), scaled by whole numbers. A
// mirrored axis takes the piece's distance from the target's other end.
void PieceAxis(LONG t0, LONG t1, LONG s0, LONG s1, LONG p0, LONG p1, bool mirrored, LONG* pOut0, LONG* pOut1) {
  LONG targetLength = t1 - t0;
  LONG sourceLength = s1 - s0;
  LONGLONG before = mirrored ? t1 - p1 : p0 - t0;
  LONGLONG after = mirrored ? p0 - t0 : t1 - p1;
  *pOut0 = static_cast<LONG>(before * sourceLength / targetLength + s0);
  *pOut1 = static_cast<LONG>(s1 - sourceLength * after / targetLength);
}

// Each rectangle of a complex clip within the target, as an image of its own.
BOOL SendClipPieces(SURFOBJ* pso, CLIPOBJ* pco, XLATEOBJ* pxlo, const RECTL& trg, const RECTL& src, LONG dy,
                    PDEV* pdev) {
  const RECTL target = XlOrdered(trg);
  const RECTL source = XlOrdered(src);
  const bool mirrorX = (trg.right < trg.left) != (src.right < src.left);
  const bool mirrorY = (trg.bottom < trg.top) != (src.bottom < src.top);
  // The pieces are exactly where they belong: no older clip may cut them.
  XL_SetClipToPage(pdev);
  CLIPOBJ_cEnumStart(pco, FALSE, CT_RECTANGLES, CD_ANY, 0);
  ENUMRECTS rects;
  BOOL more;
  do {
    rects.c = 0;
    more = CLIPOBJ_bEnum(pco, sizeof rects, reinterpret_cast<ULONG*>(&rects));
    if (rects.c) {
      RECTL piece = Intersect(MovedDown(rects.arcl[0], dy), target);
      if (Empty(piece)) continue;
      // Unstretched, this is the piece's own offset into the source.
      RECTL pieceSrc;
      PieceAxis(target.left, target.right, source.left, source.right, piece.left, piece.right, mirrorX, &pieceSrc.left,
                &pieceSrc.right);
      PieceAxis(target.top, target.bottom, source.top, source.bottom, piece.top, piece.bottom, mirrorY, &pieceSrc.top,
                &pieceSrc.bottom);
      // The piece keeps the mirroring of the whole.
      if (mirrorX) std::swap(piece.left, piece.right);
      if (mirrorY) std::swap(piece.top, piece.bottom);
      if (!SendBitmap(pso, pxlo, &piece, &pieceSrc, pdev)) return FALSE;
    }
  } while (more);
  return TRUE;
}

}  // namespace

LONG BandOffset(const PDEV* pdev) { return pdev->band.top / XL_BAND_HEIGHT * XL_BAND_HEIGHT; }

RECTL MovedDown(const RECTL& r, LONG dy) { return {r.left, r.top + dy, r.right, r.bottom + dy}; }

BOOL SetBandClip(PDEV* pdev, CLIPOBJ* pco, const RECTL& rclPage) {
  if (!pco) {
    XL_SetClipRectangle(pdev, XlOrdered(rclPage));
    return TRUE;
  }
  switch (pco->iDComplexity) {
    case DC_TRIVIAL:
      XL_SetClipToPage(pdev);
      return TRUE;
    case DC_RECT:
      XL_SetClipRectangle(pdev, MovedDown(pco->rclBounds, BandOffset(pdev)));
      return TRUE;
    default:
      return FALSE;
  }
}

BOOL DownLoadSurface(SURFOBJ* pso, CLIPOBJ* pco, XLATEOBJ* pxlo, const RECTL* prclTrg, const POINTL* pptlSrc,
                     const RECTL* prclSrc, PDEV* pdev) {
  RECTL src;
  if (!prclTrg || !SourceRect(pdev, *prclTrg, pptlSrc, prclSrc, &src)) return Refuse();
  if (!SetClip(pco, prclTrg, pdev)) return FALSE;
  return SendBitmap(pso, pxlo, prclTrg, &src, pdev);
}

BOOL DownLoadSurfaceBanded(SURFOBJ* pso, CLIPOBJ* pco, XLATEOBJ* pxlo, const RECTL* prclTrg, const POINTL* pptlSrc,
                           const RECTL* prclSrc, PDEV* pdev) {
  RECTL src;
  if (!prclTrg || !SourceRect(pdev, *prclTrg, pptlSrc, prclSrc, &src)) return Refuse();
  const LONG dy = BandOffset(pdev);
  const RECTL trg = MovedDown(*prclTrg, dy);
  if (!SetBandClip(pdev, pco, trg)) return SendClipPieces(pso, pco, pxlo, trg, src, dy, pdev);
  BOOL ok = SendBitmap(pso, pxlo, &trg, &src, pdev);
  XlTrace("Exiting DownLoadSurface\n");
  return ok;
}
