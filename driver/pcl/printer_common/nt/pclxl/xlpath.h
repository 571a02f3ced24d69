// The path writer: an engine path (28.4 fixed point) as PCL XL path
// operators in whole device pixels. Each subpath starts with SetCursor;
// lines go as LineRelPath (signed bytes when every step fits, else signed
// 16-bit steps), curves as BezierPath, closed figures end with CloseSubPath.
#pragma once

#include "driver/pcl/printer_common/nt/pclxl/xldevice.h"

// FALSE for a curve record whose point count is not a multiple of three.
BOOL XL_WritePath(PDEV* pdev, PATHOBJ* ppo);
