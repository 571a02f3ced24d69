// A graphics driver loaded by the engine (its library and function table)
// and the engine's record of one device the driver enabled (a PDEV): the
// driver's handle, the capabilities it reported, its palette and the job
// it prints.
#pragma once

#include <array>
#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/engine/ddi_fonts.h"
#include "platform/engine/palette.h"
#include "platform/module/module.h"

namespace k460::engine {

class DriverLibrary {
 public:
  ~DriverLibrary();  // DrvDisableDriver, then the library is released
  HMODULE module = nullptr;
  ULONG driverVersion = 0;
  std::array<PFN, INDEX_LAST> functions{};

  template <class F>
  F Function(ULONG index) const {
    return index < functions.size() ? reinterpret_cast<F>(functions[index]) : nullptr;
  }
};

// Loads the library by name and enables it once per process while any
// device uses it: DrvEnableDriver with `engineVersion`, a driver version of
// at least 0x20000 and the five functions every driver must have.
std::shared_ptr<DriverLibrary> LoadDriver(std::u16string_view library, ULONG engineVersion);

// One of the driver's device fonts (DrvQueryFont, DrvQueryFontTree).
struct DeviceFontEntry {
  ULONG face = 0;  // 1 ...
  IFIMETRICS* metrics = nullptr;
  const FD_GLYPHSET* glyphs = nullptr;
  std::u16string name;
};

class Device : public EngineObject {
 public:
  std::shared_ptr<DriverLibrary> driver;
  HDEV hdev = nullptr;
  DHPDEV dhpdev = nullptr;
  GDIINFO gdiInfo{};
  DEVINFO devInfo{};
  HSURF patterns[HS_DDI_MAX]{};
  PaletteData palette;  // the driver's default palette (RGB when it gave none)
  HANDLE printer = nullptr;
  DWORD jobId = 0;
  bool spoolerJob = false;  // the job was started with StartDocPrinterW
  std::atomic<bool> cancelled{false};
  std::optional<std::vector<DeviceFontEntry>> deviceFonts;  // asked for on first use

  template <class F>
  F Function(ULONG index) const {
    return driver ? driver->Function<F>(index) : nullptr;
  }
};

// The device a surface is associated with.
std::shared_ptr<Device> DeviceOfSurface(const SURFOBJ* so);

}  // namespace k460::engine
