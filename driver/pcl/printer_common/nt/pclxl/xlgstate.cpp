#include "driver/pcl/printer_common/nt/pclxl/xlgstate.h"

#include "driver/pcl/printer_common/nt/pclxl/xlemit.h"

void XL_SetROP(PDEV* pdev, BYTE rop3) {
  if (pdev->cache.rop == rop3) return;
  HP_SetROP(pdev->pStream, rop3);
  pdev->cache.rop = rop3;
}

void XL_SelectGrayColorSpace(PDEV* pdev) {
  if (pdev->cache.colorSpace == XL_COLOR_SPACE_GRAY && !pdev->cache.bPalette) return;
  HP_SetColorSpace(pdev->pStream, XL_COLOR_SPACE_GRAY);
  pdev->cache.colorSpace = XL_COLOR_SPACE_GRAY;
  pdev->cache.bPalette = FALSE;
}

SHORT XlShort(LONG value) { return static_cast<SHORT>(value < -32768 ? -32768 : value > 32767 ? 32767 : value); }

RECTL XlOrdered(const RECTL& r) {
  return {r.left < r.right ? r.left : r.right, r.top < r.bottom ? r.top : r.bottom, r.left < r.right ? r.right : r.left,
          r.top < r.bottom ? r.bottom : r.top};
}
