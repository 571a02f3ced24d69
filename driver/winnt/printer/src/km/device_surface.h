// The device surface: the sheet buffer (one one-bit, top-down sheet with
// rows padded to 32 bits), the scratch buffer of the same size, and the
// surface the engine draws on. The engine is handed the sheet buffer as a
// plain engine bitmap, so that it draws straight into it; every hooked call
// moves the surface's first scan line to the current logical page's origin
// and limits the surface to that page for the call.
#pragma once

#include "driver/winnt/printer/src/km/device_instance.h"
#include "driver/winnt/printer/src/km/sheet_raster.h"

namespace k460::hbgraph {

// DrvEnableSurface: the surface, or null with everything freed.
HSURF EnableSurface(HbDevice& device);
// DrvDisableSurface: the surface and the buffers this device still holds.
void DisableSurface(HbDevice& device);

// The sheet buffer as pixel rows.
SheetBits SheetOf(const HbDevice& device);
SheetBits ScratchOf(const HbDevice& device);

// Presents the sheet buffer to the engine as a one-bit top-down engine
// bitmap when the surface object does not show it yet; false when the device
// has no sheet.
bool BindSheet(HbDevice& device, SURFOBJ* pso);
// The surface object shows the whole sheet from its first pixel.
void PresentSheet(HbDevice& device, SURFOBJ* pso);
// The surface object shows the current logical page: its first scan line at
// the page's origin, its size the page's part of the sheet. False when the
// page has no part of the sheet to draw on.
bool PresentLogicalPage(HbDevice& device, SURFOBJ* pso);

// For the duration of one hooked call: the surface shows the current
// logical page; afterwards it shows what it showed before.
class LogicalPageScope {
 public:
  LogicalPageScope(HbDevice& device, SURFOBJ* pso);
  ~LogicalPageScope();
  LogicalPageScope(const LogicalPageScope&) = delete;
  LogicalPageScope& operator=(const LogicalPageScope&) = delete;
  // Nothing of the page lies on the sheet: the call draws nothing.
  bool Empty() const { return empty_; }

 private:
  SURFOBJ* pso_;
  PVOID scan0_;
  SIZEL size_;
  bool empty_;
};

}  // namespace k460::hbgraph
