// The printer-wide settings the PCL user interface keeps as printer data:
// "PrinterData" (size first, in "PrinterDataSize"), "CustomPaperList" and
// "Watermarklist".
#pragma once

#include "driver/pcl/printer_common/settings/job_settings.h"

// Fills `record` with the stored printer-wide record, or with a fresh zero
// record of the current version when none is stored (no size, size 0, a read
// that fails or returns another length, or an absurd size). A stored record
// shorter than the current one fills the front of a zero record. Returns
// whether a stored record was found.
bool LoadPrinterData(HANDLE printer, PrinterDataRecord* record);

// Writes the size, then the record; true only when both writes succeed.
bool StorePrinterData(HANDLE printer, const PrinterDataRecord& record);

// Rewrites a stored record of an older version at the current size (the old
// bytes first, the rest zero), or writes a fresh record when none is stored.
bool UpgradePrinterData(HANDLE printer);

// The lists are read and written whole. A missing or misshapen list reads as
// false and leaves `entries` zeroed: no custom papers; for watermarks the
// caller puts its default list in.
bool LoadCustomPaperList(HANDLE printer, CustomPaperEntry (&entries)[kCustomPaperCount]);
bool StoreCustomPaperList(HANDLE printer, const CustomPaperEntry (&entries)[kCustomPaperCount]);
bool LoadWatermarkList(HANDLE printer, WatermarkListEntry (&entries)[kWatermarkListCount]);
bool StoreWatermarkList(HANDLE printer, const WatermarkListEntry (&entries)[kWatermarkListCount]);
