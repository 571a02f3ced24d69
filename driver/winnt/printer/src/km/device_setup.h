// Building a device instance from the job's device mode and the printer's
// settings (DrvEnablePDEV): the settings, the derived job values, the sheet
// geometry and scale, the finishing and the capabilities for the engine.
#pragma once

#include <memory>
#include <span>

#include "driver/winnt/printer/src/km/device_caps.h"
#include "driver/winnt/printer/src/km/device_instance.h"

namespace k460::hbgraph {

struct EnableRequest {
  std::span<const std::uint8_t> devMode;  // the job's device mode as far as it reaches
  std::u16string_view logAddress;
  std::u16string_view printerName;
  HANDLE hPrinter = nullptr;
};

// A new instance, or null with the last error set. Runs under the lock: it
// reads and updates the process-wide document state.
std::unique_ptr<HbDevice> BuildDevice(const EnableRequest& request);
// The inputs of the capability records for a built instance.
CapsInputs CapsOf(const HbDevice& device);

}  // namespace k460::hbgraph
