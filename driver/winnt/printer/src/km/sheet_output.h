// Writing a finished sheet as one page record: the record header, the bitmap
// header block and the raster composed in its final place on the paper.
#pragma once

#include "driver/winnt/printer/src/km/device_instance.h"
#include "driver/winnt/printer/src/km/sheet_raster.h"

namespace k460::hbgraph {

struct SheetWrite {
  bool ok = true;        // false: a write failed (last error set)
  bool written = false;  // a record went out (a blank sheet may be skipped)
};

// Writes the device's open sheet: nothing for a blank sheet when blank
// pages are skipped; the n-up frames first when the border is on.
SheetWrite WriteSheet(HbDevice& device);

// How the raster of the front or back side is composed.
Composition SideComposition(const HbDevice& device, bool backSide);

}  // namespace k460::hbgraph
