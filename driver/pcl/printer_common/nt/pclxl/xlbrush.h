// The brush the printer paints with: none, or a solid gray level. Pattern
// brushes need a realisation of the driver's own; without one a call that
// needs the brush is left to the engine.
#pragma once

#include "driver/pcl/printer_common/nt/pclxl/xldevice.h"

// A solid brush of this colour (0x00BBGGRR) in gray: SetColorSpace gray
// when the page is not in plain gray, SetBrushSource GrayLevel when the
// gray differs from the last one sent.
BOOL PCL_SetRGBColor(PDEV* pdev, ULONG color);

// Selects the application's brush: no brush gives NullBrush, a solid one
// its gray. FALSE for a brush the printer cannot be given.
BOOL XL_SetBrushSource(PDEV* pdev, BRUSHOBJ* pbo, BYTE rop3);
