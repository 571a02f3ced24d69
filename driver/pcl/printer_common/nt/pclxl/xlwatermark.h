// The watermark of the job settings, drawn on a page before it is sent.
#pragma once

#include "driver/pcl/printer_common/nt/pclxl/xldevice.h"

// Draws the selected watermark on the current page. FALSE when it could not
// be drawn; the page is sent all the same.
BOOL DrawWatermark(PDEV* pdev);
