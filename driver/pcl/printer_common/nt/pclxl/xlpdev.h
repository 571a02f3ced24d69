// Building a device from the job's settings: the device record's settings
// copy and resolution, the capabilities the engine asks for, and its
// device information. Also the end of a device's life.
#pragma once

#include "driver/pcl/printer_common/nt/pclxl/xldevice.h"

// Signatures, the merged job settings and what follows from them (booklet,
// paper index, resolution). `pdm` may be none; `pwszDeviceName` names the
// printer. FALSE when the application's device mode cannot be merged.
BOOL FillPclDevData(PDEV* pdev, const DEVMODEW* pdm, const WCHAR* pwszDeviceName);
// The capabilities record for the device's paper, orientation and
// resolution; also stores the size in millimetres and the surface size.
void FillPclDevCaps(PDEV* pdev, GDIINFO* pGdiInfo);
// The device information record with the device's default palette. FALSE
// when the palette cannot be made.
BOOL FillPclDevInfo(PDEV* pdev, DEVINFO* pDevInfo);
// The row of the paper table the capabilities describe.
int SelectPaperRow(PDEV* pdev);

// Gives up the device's stream (and its page store) without delivering
// what it still holds.
void DiscardStream(PDEV* pdev);
// Releases everything the device holds, the record itself last.
void DestroyDevice(PDEV* pdev);
