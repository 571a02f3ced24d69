// Device contexts: enabling and disabling a driver's device and surface,
// documents and pages, banding and device resets.
#include "platform/engine/device_context.h"

#include <algorithm>
#include <cstring>

#include "platform/base/internal.h"
#include "platform/engine/dc_state.h"
#include "platform/monitor/monitor.h"
#include "platform/spooler/printer_handle.h"

namespace k460::engine {
namespace {

// A driver call failed: keep the reason it gave, or give a general one.
template <class T>
T DriverFailed(T result) {
  if (GetLastError() == ERROR_SUCCESS) SetLastError(ERROR_GEN_FAILURE);
  return result;
}

bool IsSpoolerPrinter(HANDLE printer) { return LookupHandleAs<spooler::PrinterHandle>(printer) != nullptr; }

DWORD NextLocalJobId() {
  static std::atomic<DWORD> next{1};
  return next++;
}

// The device mode as the driver receives it: a copy of the public part and
// the private part behind it.
bool CopyDevMode(const DEVMODEW* devMode, std::vector<BYTE>& out) {
  out.clear();
  if (!devMode) return true;
  if (devMode->dmSize < offsetof(DEVMODEW, dmFields) || devMode->dmSize > sizeof(DEVMODEW)) return false;
  size_t size = size_t(devMode->dmSize) + devMode->dmDriverExtra;
  // The driver may read the whole public record even when dmSize is shorter.
  out.assign(std::max(size, sizeof(DEVMODEW)), 0);
  std::memcpy(out.data(), devMode, size);
  return true;
}

// DrvEnablePDEV and DrvCompletePDEV: a device of `driver`, or null.
std::shared_ptr<Device> EnableDevice(const std::shared_ptr<DriverLibrary>& driver, std::vector<BYTE>& devMode,
                                     HANDLE printer, DeviceOptions& options) {
  auto device = std::make_shared<Device>();
  device->driver = driver;
  device->printer = printer;
  device->hdev = static_cast<HDEV>(InsertObject(device));
  auto enable = driver->Function<PFN_DrvEnablePDEV>(INDEX_DrvEnablePDEV);
  SetLastError(ERROR_SUCCESS);
  device->dhpdev = enable(devMode.empty() ? nullptr : reinterpret_cast<DEVMODEW*>(devMode.data()),
                          options.logAddress.data(), HS_DDI_MAX, device->patterns, sizeof(GDIINFO),
                          &device->gdiInfo, sizeof(DEVINFO), &device->devInfo, device->hdev,
                          options.deviceName.data(), printer);
  if (!device->dhpdev) {
    RemoveObject(device->hdev);
    return DriverFailed(nullptr);
  }
  if (auto palette = LookupObjectAs<Palette>(device->devInfo.hpalDefault)) {
    device->palette = palette->data;
  } else {
    device->palette = PaletteData::Rgb();
  }
  driver->Function<PFN_DrvCompletePDEV>(INDEX_DrvCompletePDEV)(device->dhpdev, device->hdev);
  return device;
}

void DisableDevice(Device& device) {
  device.Function<PFN_DrvDisablePDEV>(INDEX_DrvDisablePDEV)(device.dhpdev);
  RemoveObject(device.hdev);
}

// DrvEnableSurface: the device's surface, or null.
std::shared_ptr<Surface> EnableSurface(const std::shared_ptr<Device>& device) {
  SetLastError(ERROR_SUCCESS);
  HSURF handle = device->Function<PFN_DrvEnableSurface>(INDEX_DrvEnableSurface)(device->dhpdev);
  auto surface = LookupObjectAs<Surface>(handle);
  if (!surface) {
    if (handle) device->Function<PFN_DrvDisableSurface>(INDEX_DrvDisableSurface)(device->dhpdev);
    return DriverFailed(nullptr);
  }
  if (surface->so.hdev != device->hdev) {
    // Not associated by the driver: the engine draws everything itself.
    surface->so.hdev = device->hdev;
    surface->so.dhpdev = device->dhpdev;
    surface->device = device;
    surface->palette = device->palette;
    surface->hooks = 0;
  }
  return surface;
}

bool OutOfOrder() { return Fail(ERROR_INVALID_PARAMETER, false); }

}  // namespace

DeviceContext::DeviceContext() : state_(std::make_unique<DeviceState>()) {}

DeviceContext::~DeviceContext() { Close(); }

std::unique_ptr<DeviceContext> DeviceContext::Open(std::u16string_view driverLibrary, HANDLE printer,
                                                   const DEVMODEW* devMode, const DeviceOptions& options) {
  if (driverLibrary.empty()) return Fail(ERROR_INVALID_PARAMETER, nullptr);
  std::unique_ptr<DeviceContext> dc(new DeviceContext);
  DeviceState& s = *dc->state_;
  s.printer = printer;
  s.options = options;
  if (!CopyDevMode(devMode, s.devMode)) return Fail(ERROR_INVALID_PARAMETER, nullptr);
  s.driver = LoadDriver(driverLibrary, options.engineVersion);
  if (!s.driver) return nullptr;
  s.device = EnableDevice(s.driver, s.devMode, printer, s.options);
  if (!s.device) return nullptr;
  s.surface = EnableSurface(s.device);
  if (!s.surface) {
    DWORD error = GetLastError();
    DisableDevice(*s.device);
    s.device.reset();
    return Fail(error, nullptr);
  }
  if (s.device->devInfo.flGraphicsCaps & GCAPS_HALFTONE) s.stretchMode = StretchMode::Halftone;
  return dc;
}

std::unique_ptr<DeviceContext> DeviceContext::OpenBitmap(LONG width, LONG height, ULONG format) {
  SIZEL size{width, height};
  HBITMAP bitmap = EngCreateBitmap(size, 0, format, BMF_TOPDOWN, nullptr);
  if (!bitmap) return nullptr;
  std::unique_ptr<DeviceContext> dc(new DeviceContext);
  DeviceState& s = *dc->state_;
  s.surface = LookupObjectAs<k460::engine::Surface>(SurfaceOf(bitmap));
  RemoveObject(SurfaceOf(bitmap));  // only the device context holds it
  s.device = std::make_shared<Device>();
  s.device->palette = PaletteData::DefaultFor(format);
  s.device->gdiInfo.ulHorzRes = static_cast<ULONG>(width);
  s.device->gdiInfo.ulVertRes = static_cast<ULONG>(height);
  s.device->gdiInfo.cBitsPixel = static_cast<ULONG>(BitsPerPixel(format));
  s.device->gdiInfo.cPlanes = 1;
  s.device->devInfo.iDitherFormat = format;
  s.surface->palette = s.device->palette;
  return dc;
}

void DeviceContext::Close() {
  DeviceState& s = *state_;
  if (!s.driver) {
    s.surface.reset();
    s.device.reset();
    return;
  }
  if (s.doc != DocState::Idle) AbortDoc();
  s.fonts.clear();  // before the device they may have come from is disabled
  if (s.device) {
    if (s.surface) s.device->Function<PFN_DrvDisableSurface>(INDEX_DrvDisableSurface)(s.device->dhpdev);
    DisableDevice(*s.device);
  }
  s.surface.reset();
  s.device.reset();
  s.driver.reset();  // the last device of the driver disables it
}

const GDIINFO& DeviceContext::Caps() const {
  static const GDIINFO none{};
  return state_->device ? state_->device->gdiInfo : none;
}

const DEVINFO& DeviceContext::Info() const {
  static const DEVINFO none{};
  return state_->device ? state_->device->devInfo : none;
}

SURFOBJ* DeviceContext::Surface() const { return state_->surface ? &state_->surface->so : nullptr; }

bool DeviceContext::Banding() const { return state_->Banding(); }

DWORD DeviceContext::JobId() const { return state_->device ? state_->device->jobId : 0; }

bool DeviceContext::StartDoc(std::u16string_view documentName) {
  DeviceState& s = *state_;
  if (!s.driver || !s.surface || s.doc != DocState::Idle) return OutOfOrder();
  Device& device = *s.device;
  s.documentName.assign(documentName);
  device.cancelled = false;
  device.spoolerJob = IsSpoolerPrinter(s.printer);
  if (device.spoolerJob) {
    std::u16string& output = s.options.outputFile;
    DOC_INFO_1W info{s.documentName.data(), output.empty() ? nullptr : output.data(), nullptr};
    device.jobId = StartDocPrinterW(s.printer, 1, reinterpret_cast<LPBYTE>(&info));
    if (!device.jobId) return false;
  } else {
    device.jobId = NextLocalJobId();
  }
  if (auto start = device.Function<PFN_DrvStartDoc>(INDEX_DrvStartDoc)) {
    SetLastError(ERROR_SUCCESS);
    if (!start(&s.surface->so, s.documentName.data(), device.jobId)) {
      DWORD error = GetLastError();
      if (device.spoolerJob) AbortPrinter(s.printer);
      SetLastError(error);
      return DriverFailed(false);
    }
  }
  s.doc = DocState::InDocument;
  return true;
}

bool DeviceContext::StartPage() {
  DeviceState& s = *state_;
  if (s.doc != DocState::InDocument) return OutOfOrder();
  Device& device = *s.device;
  if (device.spoolerJob && !StartPagePrinter(s.printer)) return false;
  s.page.clear();
  if (auto start = device.Function<PFN_DrvStartPage>(INDEX_DrvStartPage)) {
    SetLastError(ERROR_SUCCESS);
    if (!start(&s.surface->so)) return DriverFailed(false);
  }
  s.doc = DocState::InPage;
  return true;
}

bool DeviceContext::EndPage() {
  DeviceState& s = *state_;
  if (s.doc != DocState::InPage) return OutOfOrder();
  Device& device = *s.device;
  SURFOBJ* so = &s.surface->so;
  s.doc = DocState::InDocument;
  bool ok = true;
  SetLastError(ERROR_SUCCESS);
  if (s.Banding()) {
    auto startBanding = device.Function<PFN_DrvStartBanding>(INDEX_DrvStartBanding);
    auto nextBand = device.Function<PFN_DrvNextBand>(INDEX_DrvNextBand);
    POINTL origin{0, 0};
    if (!startBanding || !nextBand) {
      ok = Fail(ERROR_NOT_SUPPORTED, false);
    } else if (!startBanding(so, &origin)) {
      ok = DriverFailed(false);
    } else {
      // Every band is at least one line high: a driver that never ends the
      // page is stopped after as many bands as the page has lines.
      LONG limit = std::max<LONG>({static_cast<LONG>(device.gdiInfo.ulVertRes), device.gdiInfo.szlPhysSize.cy,
                                   so->sizlBitmap.cy}) + 2;
      for (LONG band = 0;; ++band) {
        if (band > limit) {
          ok = Fail(ERROR_INVALID_PARAMETER, false);
          break;
        }
        for (const RecordedCommand& command : s.page) {
          if (!RenderCommand(s, command, origin, static_cast<ULONG>(band))) ok = false;
        }
        if (!nextBand(so, &origin)) {
          ok = DriverFailed(false);
          break;
        }
        if (origin.x == -1 && origin.y == -1) break;
      }
    }
  } else if (auto send = device.Function<PFN_DrvSendPage>(INDEX_DrvSendPage)) {
    if (!send(so)) ok = DriverFailed(false);
  }
  s.page.clear();
  if (device.spoolerJob && !EndPagePrinter(s.printer)) ok = false;
  return ok;
}

bool DeviceContext::EndDoc() {
  DeviceState& s = *state_;
  if (s.doc == DocState::Idle || !s.driver) return OutOfOrder();
  bool ok = true;
  if (s.doc == DocState::InPage) ok = EndPage();
  Device& device = *s.device;
  if (auto end = device.Function<PFN_DrvEndDoc>(INDEX_DrvEndDoc)) {
    SetLastError(ERROR_SUCCESS);
    if (!end(&s.surface->so, 0)) ok = DriverFailed(false);
  }
  s.doc = DocState::Idle;
  if (device.spoolerJob) {
    DWORD error = GetLastError();
    if (!EndDocPrinter(s.printer)) return false;
    SetLastError(error);
  }
  return ok;
}

bool DeviceContext::AbortDoc() {
  DeviceState& s = *state_;
  if (s.doc == DocState::Idle || !s.driver) return OutOfOrder();
  Device& device = *s.device;
  s.page.clear();
  s.doc = DocState::Idle;
  bool ok = true;
  if (auto end = device.Function<PFN_DrvEndDoc>(INDEX_DrvEndDoc)) ok = end(&s.surface->so, ED_ABORTDOC);
  if (device.spoolerJob) AbortPrinter(s.printer);
  return ok;
}

void DeviceContext::Cancel() {
  if (state_->device) state_->device->cancelled = true;
}

bool DeviceContext::ResetDevice(const DEVMODEW* devMode) {
  DeviceState& s = *state_;
  if (!s.driver || !s.surface || s.doc == DocState::InPage) return OutOfOrder();
  std::vector<BYTE> newDevMode;
  if (!CopyDevMode(devMode, newDevMode)) return Fail(ERROR_INVALID_PARAMETER, false);
  auto fresh = EnableDevice(s.driver, newDevMode, s.printer, s.options);
  if (!fresh) return false;
  std::shared_ptr<Device> old = s.device;
  if (auto reset = s.driver->Function<PFN_DrvResetPDEV>(INDEX_DrvResetPDEV)) {
    SetLastError(ERROR_SUCCESS);
    if (!reset(old->dhpdev, fresh->dhpdev)) {
      DWORD error = GetLastError();
      DisableDevice(*fresh);
      SetLastError(error);
      return DriverFailed(false);
    }
  }
  fresh->jobId = old->jobId;
  fresh->spoolerJob = old->spoolerJob;
  fresh->cancelled = old->cancelled.load();
  s.fonts.clear();  // realised for the old device
  old->Function<PFN_DrvDisableSurface>(INDEX_DrvDisableSurface)(old->dhpdev);
  DisableDevice(*old);
  s.surface.reset();
  s.device = fresh;
  s.devMode = std::move(newDevMode);
  s.surface = EnableSurface(fresh);
  if (!s.surface) return false;
  if (s.doc == DocState::InDocument) {
    // The new device joins the document the old one started.
    if (auto start = fresh->Function<PFN_DrvStartDoc>(INDEX_DrvStartDoc)) {
      SetLastError(ERROR_SUCCESS);
      if (!start(&s.surface->so, s.documentName.data(), fresh->jobId)) return DriverFailed(false);
    }
  }
  return true;
}

void DeviceContext::SetClip(const std::vector<RECTL>& rects) {
  state_->clip = Region::FromRects(rects);
  ++state_->clipVersion;
}

void DeviceContext::ResetClip() {
  state_->clip.reset();
  ++state_->clipVersion;
}

void DeviceContext::SetStretchMode(StretchMode mode) { state_->stretchMode = mode; }

void DeviceContext::SetBrushOrigin(POINTL origin) { state_->brushOrigin = origin; }

}  // namespace k460::engine
