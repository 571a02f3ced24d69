// The printer's clip for a drawing call, sent only when it differs from
// the clip the page already has (the device's cache): a rectangle, the
// whole page, or the outline of a complex region.
#pragma once

#include "driver/pcl/printer_common/nt/pclxl/xldevice.h"

inline constexpr BYTE XL_CLIP_REGION_INTERIOR = 0;

// SetClipRectangle with the rectangle (device pixels), unless it is the
// clip already.
void XL_SetClipRectangle(PDEV* pdev, const RECTL& rcl);
// SetClipToPage, unless the whole page is the clip already.
void XL_SetClipToPage(PDEV* pdev);

// The clip of a call drawing in `prcl`: without a clip object the
// rectangle, a trivial clip the whole page, a rectangular one its bounds, a
// complex one its outline (keyed by the clip object's unique number).
// FALSE when the outline of a complex clip cannot be had; the clip is then
// unknown, so that the next call sends one.
BOOL SetClip(CLIPOBJ* pco, const RECTL* prcl, PDEV* pdev);
