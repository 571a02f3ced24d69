// Graphics state that several drawing calls share, sent only when it
// differs from what the page already holds (the device's cache).
#pragma once

#include "driver/pcl/printer_common/nt/pclxl/xldevice.h"

inline constexpr BYTE XL_COLOR_SPACE_GRAY = 1;
inline constexpr BYTE XL_TX_OPAQUE = 0;

// SetROP, unless the page already draws with this ternary operation.
void XL_SetROP(PDEV* pdev, BYTE rop3);
// SetColorSpace gray, unless the page is in gray without a palette.
void XL_SelectGrayColorSpace(PDEV* pdev);

// A device coordinate as the sint16 that PCL XL carries, held within its range.
SHORT XlShort(LONG value);
// The rectangle with left <= right and top <= bottom.
RECTL XlOrdered(const RECTL& rcl);
