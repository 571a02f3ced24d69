// DrvEnablePDEV, DrvCompletePDEV, DrvDisablePDEV, DrvResetPDEV,
// DrvEnableSurface and DrvDisableSurface: all under the process-wide lock.
#include <algorithm>
#include <cstring>

#include "driver/winnt/printer/src/common/incoming_devmode.h"
#include "driver/winnt/printer/src/km/device_setup.h"
#include "driver/winnt/printer/src/km/device_surface.h"
#include "driver/winnt/printer/src/km/driver_state.h"
#include "driver/winnt/printer/src/km/entry_points.h"
#include "driver/winnt/printer/src/km/sheet_output.h"

namespace k460::hbgraph {

namespace {

std::u16string_view TextOf(LPWSTR text) {
  return text ? std::u16string_view(reinterpret_cast<const char16_t*>(text)) : std::u16string_view{};
}

template <class Record>
void CopyRecord(const Record& record, Record* out, ULONG cj) {
  std::memcpy(out, &record, std::min<std::size_t>(cj, sizeof(Record)));
}

// The old device's sheet can go on in the new device: same surface and the
// same n-up layout. Otherwise it is written as it stands.
bool SheetCarriesOver(const HbDevice& from, const HbDevice& to) {
  return from.job.pagesPerSheet > 1 && to.job.pagesPerSheet == from.job.pagesPerSheet &&
         to.geometry.surface == from.geometry.surface && to.geometry.bytesPerRow == from.geometry.bytesPerRow &&
         to.geometry.grid == from.geometry.grid;
}

bool SheetComplete(const HbDevice& d) {
  const std::uint32_t pages = static_cast<std::uint32_t>(std::max(1, d.job.pagesPerSheet));
  return d.job.booklet || d.logicalPages % pages == 0;
}

}  // namespace

DHPDEV DrvEnablePDEV(DEVMODEW* pdm, LPWSTR pwszLogAddress, ULONG cPat, HSURF* phsurfPatterns, ULONG cjCaps,
                     GDIINFO* pdevcaps, ULONG cjDevInfo, DEVINFO* pdi, HDEV hdev, LPWSTR pwszDeviceName,
                     HANDLE hDriver) {
  DriverLock lock;
  if (!pdevcaps || !pdi || (cPat && !phsurfPatterns)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  EnableRequest request{hostsettings::DevModeBytes(pdm), TextOf(pwszLogAddress), TextOf(pwszDeviceName), hDriver};
  std::unique_ptr<HbDevice> device = BuildDevice(request);
  if (!device) return nullptr;
  device->hdev = hdev;
  device->palette = EngCreatePalette(PAL_RGB, 0, nullptr, 0, 0, 0);
  if (!device->palette) return nullptr;
  const CapsInputs caps = CapsOf(*device);
  CopyRecord(MakeGdiInfo(caps), pdevcaps, cjCaps);
  DEVINFO info = MakeDevInfo(caps);
  info.hpalDefault = device->palette;
  CopyRecord(info, pdi, cjDevInfo);
  for (ULONG i = 0; i < cPat; ++i) phsurfPatterns[i] = nullptr;
  return RegisterDevice(std::move(device));
}

void DrvCompletePDEV(DHPDEV dhpdev, HDEV hdev) {
  DriverLock lock;
  if (HbDevice* d = FrameDevice(dhpdev)) d->hdev = hdev;
}

void DrvDisablePDEV(DHPDEV dhpdev) {
  DriverLock lock;
  HbDevice* d = FrameDevice(dhpdev);
  if (!d) return;
  if (d->palette) EngDeletePalette(d->palette);
  DestroyDevice(d);
}

HSURF DrvEnableSurface(DHPDEV dhpdev) {
  DriverLock lock;
  HbDevice* d = FrameDevice(dhpdev);
  return d ? EnableSurface(*d) : nullptr;
}

void DrvDisableSurface(DHPDEV dhpdev) {
  DriverLock lock;
  if (HbDevice* d = FrameDevice(dhpdev)) DisableSurface(*d);
}

BOOL DrvResetPDEV(DHPDEV dhpdevOld, DHPDEV dhpdevNew) {
  DriverLock lock;
  HbDevice* from = FrameDevice(dhpdevOld);
  HbDevice* to = FrameDevice(dhpdevNew);
  if (!from || !to || from == to) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  BOOL result = TRUE;
  to->logicalPages = from->logicalPages;
  to->aborted = from->aborted;
  if (from->sheetOpen && from->contentPending) {
    if (!SheetComplete(*from) && SheetCarriesOver(*from, *to)) {
      // The new device continues the same sheet.
      to->sheet = std::move(from->sheet);
      to->sheetOpen = true;
      to->contentPending = true;
      to->marked = from->marked;
      to->bandWritten = from->bandWritten;
    } else {
      const SheetWrite write = WriteSheet(*from);
      if (write.written && from->job.duplex && !from->job.booklet) from->backSide = !from->backSide;
      result = write.ok ? TRUE : FALSE;
    }
    from->sheetOpen = from->contentPending = false;
  }
  to->backSide = from->backSide;
  return result;
}

}  // namespace k460::hbgraph
