// Placement of one page per sheet: the whole surface, at the printer's
// 1/6-inch unprintable margin, scaled by the zoom. Pages of an n-up sheet
// are placed the same way until cells are computed for them.
#include "driver/pcl/printer_common/nt/pclxl/xlnup.h"

BOOL PlaceLogicalPage(PDEV* pdev, BYTE*) {
  PagePlacement& p = pdev->placement;
  p.rclPage = {0, 0, pdev->surfaceWidth, pdev->surfaceHeight};
  p.rclFrame = p.rclPage;
  LONG margin = pdev->resolution / 6;
  int zoom = pdev->settings.pv.pvZoom;
  FLOAT scale = 1.0f;
  if (zoom != 100 && zoom > 0) scale = static_cast<FLOAT>(zoom) / 100.0f;
  p.scaleX = p.scaleY = scale;
  // A page enlarged to the sheet starts at its corner; a smaller one keeps
  // the printer's margin.
  LONG origin = (zoom != 100 && scale >= 1.0f) ? 0 : margin;
  p.ptlOrigin = {origin, origin};
  return TRUE;
}
