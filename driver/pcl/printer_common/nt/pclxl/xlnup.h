// Where a logical page lands on the sheet: n-up cells, zoom and
// fit-to-paper all become the page's origin and scale (SetPageOrigin,
// SetPageScale), its rectangle on the sheet and the rectangle of its n-up
// border.
#pragma once

#include "driver/pcl/printer_common/nt/pclxl/xldevice.h"

// Computes the placement of the page about to start (the device's page
// count says which page of its sheet it is) into pdev->placement. For
// layouts that turn the sheet, *pOrientation (0 portrait, 1 landscape)
// receives the sheet's orientation. FALSE when the layout cannot be placed;
// the page is then not started.
BOOL PlaceLogicalPage(PDEV* pdev, BYTE* pOrientation);
