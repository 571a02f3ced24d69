#include "driver/pcl/printer_common/nt/pclxl/xlclip.h"

#include "driver/pcl/printer_common/nt/pclxl/xlemit.h"
#include "driver/pcl/printer_common/nt/pclxl/xlgstate.h"
#include "driver/pcl/printer_common/nt/pclxl/xlpath.h"
#include "driver/pcl/printer_common/nt/pclxl/xltrace.h"

namespace {

bool SameRect(const RECTL& a, const RECTL& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// The outline of the region becomes the clip path: drawn with a null brush
// and a thin black pen so that the path itself leaves no mark.
BOOL SetComplexClip(CLIPOBJ* pco, PDEV* pdev) {
  if (pdev->cache.clipKind == XL_CLIP_COMPLEX && pdev->cache.clipUniq == pco->iUniq) return TRUE;
  PATHOBJ* ppo = CLIPOBJ_ppoGetPath(pco);
  if (!ppo) {
    XlTrace("GetPath Failed\n");
    pdev->cache.clipKind = XL_STATE_UNKNOWN;
    return FALSE;
  }
  XlStream* s = pdev->pStream;
  HP_NewPath(s);
  HP_SetColorSpace(s, XL_COLOR_SPACE_GRAY);
  pdev->cache.colorSpace = XL_COLOR_SPACE_GRAY;
  pdev->cache.bPalette = FALSE;
  HP_SetBrushSource_NullBrush(s);
  pdev->cache.brushGray = XL_STATE_UNKNOWN;
  HP_SetPenSource_GrayLevelReal32(s, 0.0f);
  HP_SetPenWidth(s, 1);
  BOOL ok = XL_WritePath(pdev, ppo);
  EngDeletePath(ppo);
  if (!ok) {
    pdev->cache.clipKind = XL_STATE_UNKNOWN;
    return FALSE;
  }
  HP_SetClipReplace(s, XL_CLIP_REGION_INTERIOR);
  pdev->cache.clipKind = XL_CLIP_COMPLEX;
  pdev->cache.clipUniq = pco->iUniq;
  return TRUE;
}

}  // namespace

void XL_SetClipRectangle(PDEV* pdev, const RECTL& rcl) {
  if (pdev->cache.clipKind == XL_CLIP_RECTANGLE && SameRect(pdev->cache.rclClip, rcl)) return;
  HP_SetClipRectangle(pdev->pStream, XlShort(rcl.left), XlShort(rcl.top), XlShort(rcl.right), XlShort(rcl.bottom),
                      XL_CLIP_REGION_INTERIOR);
  pdev->cache.clipKind = XL_CLIP_RECTANGLE;
  pdev->cache.rclClip = rcl;
}

void XL_SetClipToPage(PDEV* pdev) {
  if (pdev->cache.clipKind == XL_CLIP_PAGE) return;
  HP_SetClipToPage(pdev->pStream);
  pdev->cache.clipKind = XL_CLIP_PAGE;
}

BOOL SetClip(CLIPOBJ* pco, const RECTL* prcl, PDEV* pdev) {
  if (!pco) {
    if (!prcl) return FALSE;
    XL_SetClipRectangle(pdev, XlOrdered(*prcl));
    return TRUE;
  }
  switch (pco->iDComplexity) {
    case DC_TRIVIAL:
      XL_SetClipToPage(pdev);
      return TRUE;
    case DC_RECT:
      XL_SetClipRectangle(pdev, pco->rclBounds);
      return TRUE;
    default:
      return SetComplexClip(pco, pdev);
  }
}
