// The device instance: one per DrvEnablePDEV, handed to the engine as its
// DHPDEV. It opens with the tags "Slot" and "PHCT" and its own size and
// closes with "PHCT" and "SDEV"; an instance handed back by the engine is
// used only when it is one this library made and still holds, and its tags
// are in place.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "driver/winnt/printer/src/common/host_devmode.h"
#include "driver/winnt/printer/src/common/paper_table.h"
#include "driver/winnt/printer/src/common/printer_data_records.h"
#include "driver/winnt/printer/src/km/finishing.h"
#include "driver/winnt/printer/src/km/job_values.h"
#include "driver/winnt/printer/src/km/page_placement.h"
#include "platform/base/base.h"
#include "platform/engine/engine.h"

namespace k460::hbgraph {

using Tag = std::array<char, 4>;
inline constexpr Tag kTagSlot{'S', 'l', 'o', 't'};
inline constexpr Tag kTagPhct{'P', 'H', 'C', 'T'};
inline constexpr Tag kTagSdev{'S', 'D', 'E', 'V'};

// The sheet and page geometry of a device, in pixels.
struct DeviceGeometry {
  std::int32_t resolution = 600;
  std::int32_t r = 6;              // resolution / 100
  std::int32_t margin = 108;       // every side
  bool jobLandscape = false;       // dmOrientation = 2
  bool sheetLandscape = false;
  bool sheetTurn = false;          // the sheet's paper side is turned by the device
  std::int32_t sheetPaper = 0;     // device code
  PixelSize sheetPaperSize;        // the sheet's paper in pixels, in the sheet's orientation
  PixelSize surface;               // multiples of 32 pixels
  std::int32_t bytesPerRow = 0;
  std::size_t sheetBytes = 0;
  std::int32_t pagePaper = 0;      // device code of the logical page's paper
  PixelSize pagePrintable;         // the logical page's printable size, unscaled
  Grid grid;
  std::int32_t scale = 1000;       // S, thousandths
  bool scaledMode = false;         // the engine is told the scaled page
  std::int32_t EffectiveScale() const { return scaledMode ? scale : 1000; }
};

struct HbDevice {
  Tag tagSlot = kTagSlot;
  Tag tagHead = kTagPhct;
  std::uint32_t size = sizeof(HbDevice);

  // Identity.
  HANDLE hPrinter = nullptr;
  HDEV hdev = nullptr;
  std::u16string logAddress;
  std::u16string printerName;
  std::u16string portName;

  // Settings: the printer's settings with the job's device mode over them,
  // the device mode they make, and the job's own device mode as given.
  hostsettings::HostSettings settings{};
  hostsettings::PaperTable papers{hostsettings::HostVariant::kHostBased};
  hostsettings::UserInfoSlots users;
  std::int32_t countryCode = 0;
  hostsettings::HostDevMode devMode{};
  std::array<std::uint8_t, hostsettings::kHostDevModeSize> jobDevMode{};
  std::size_t jobDevModeSize = 0;

  // Derived values.
  JobValues job;
  Finishing finishing;
  DeviceGeometry geometry;

  // Buffers and engine objects. The sheet may come from the device this one
  // replaced (DrvResetPDEV) and then continues its sheet.
  std::unique_ptr<std::uint8_t[]> sheet;
  std::unique_ptr<std::uint8_t[]> scratch;  // one sheet: strokes, and the raster as it is written
  HSURF hsurf = nullptr;
  HPALETTE palette = nullptr;
  SURFOBJ* surfaceObject = nullptr;  // the last surface object a drawing call named

  // Page state.
  bool sheetOpen = false;
  bool contentPending = false;  // an open sheet still to be written
  bool marked = false;          // something was drawn on it
  bool bandWritten = false;     // the band of the page wrote the sheet
  bool backSide = false;        // the next sheet written is the back of a duplex sheet
  std::uint32_t logicalPages = 0;
  bool aborted = false;

  Tag tagTail = kTagPhct;
  Tag tagEnd = kTagSdev;

  PlacementInputs Placement() const;
  PageView CurrentPageView() const;
};

// Keeps `device` as one of the library's live instances and hands it out as a DHPDEV.
DHPDEV RegisterDevice(std::unique_ptr<HbDevice> device);
// Forgets and frees the instance.
void DestroyDevice(HbDevice* device);
// The instance for a drawing call ("Slot", size and "SDEV"), or null with ERROR_INVALID_PARAMETER.
HbDevice* DrawingDevice(DHPDEV dhpdev);
// The instance for an enable, reset, complete or disable call (both "PHCT"
// tags), or null with ERROR_INVALID_PARAMETER.
HbDevice* FrameDevice(DHPDEV dhpdev);
// The instance behind a surface object, as DrawingDevice.
HbDevice* DeviceOfSurface(const SURFOBJ* pso);

}  // namespace k460::hbgraph
