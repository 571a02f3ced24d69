#include "driver/pcl/printer_common/nt/pclxl/xlbrush.h"

#include "driver/pcl/printer_common/nt/pclxl/xlemit.h"
#include "driver/pcl/printer_common/nt/pclxl/xlgray.h"
#include "driver/pcl/printer_common/nt/pclxl/xlgstate.h"
#include "driver/pcl/printer_common/nt/pclxl/xltrace.h"

BOOL PCL_SetRGBColor(PDEV* pdev, ULONG color) {
  XL_SelectGrayColorSpace(pdev);
  int gray = GetGray(color);
  if (pdev->cache.brushGray != gray) {
    HP_SetBrushSource_GrayLevel(pdev->pStream, static_cast<BYTE>(gray));
    pdev->cache.brushGray = gray;
  }
  return TRUE;
}

BOOL XL_SetBrushSource(PDEV* pdev, BRUSHOBJ* pbo, BYTE) {
  if (!pbo) {
    HP_SetBrushSource_NullBrush(pdev->pStream);
    pdev->cache.brushGray = XL_STATE_UNKNOWN;
    XlTrace("Exit XL_SetBrushSource : Null Brush\n");
    return TRUE;
  }
  if (pbo->iSolidColor == BRUSHOBJ_NOT_SOLID) {
    XlTrace("Exit XL_SetBrushSource : Null Realized Brush\n");
    return FALSE;
  }
  ULONG color = BRUSHOBJ_ulGetBrushColor(pbo);
  if (color == BRUSHOBJ_NOT_SOLID) return FALSE;  // not a brush the engine made
  PCL_SetRGBColor(pdev, color);
  XlTrace("Exit XL_SetBrushSource SUCCESS : SOLID_COLOR_BRUSH\n");
  return TRUE;
}
