// The process-wide state of the graphics library: the one lock of the
// device, surface and document entry points, the library's profile, and the
// document state that outlives a device, because the engine replaces the
// device when an application changes settings in the middle of a document.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "driver/winnt/printer/src/common/host_devmode.h"
#include "driver/winnt/printer/src/common/printer_data_records.h"
#include "driver/winnt/printer/src/km/driver_profile.h"
#include "platform/sync/sync.h"

namespace k460::hbgraph {

// The first page's values, kept for the rest of the document.
struct FirstPageValues {
  bool sheetLandscape = false;
  bool turn = false;
  std::int32_t windowsPaper = 0;  // dmPaperSize
  std::int32_t orientation = 1;   // dmOrientation
  std::int32_t sheetPaper = 0;    // device code of the sheet's paper
  std::int32_t scale = 1000;
  std::int32_t pagePaper = 0;     // device code of the logical page's paper
  std::int32_t duplexBinding = 0;
};

// What the halftoning builds its threshold set from, loaded at every enable.
struct DitherInputs {
  std::optional<hostsettings::DitherBaseRecord> base;  // "DitherBase", used only with a density below
  std::optional<std::int32_t> contrast;                // "DitherContrast"
  std::int32_t density = 0;                            // hsDensity of the job
};

struct DocumentState {
  bool started = false;          // DrvStartDoc came; cleared by DrvStartPage
  bool pageSent = false;         // DrvSendPage came; cleared by DrvStartPage
  bool nupContinuation = false;  // the document prints several pages per sheet
  std::uint32_t sheets = 0;      // sheets written
  std::uint32_t logicalPages = 0;
  std::optional<FirstPageValues> first;
  std::array<std::uint8_t, hostsettings::kHostDevModeSize> devMode{};  // the last enabled device's
  std::size_t devModeSize = 0;
  DitherInputs dither;

  bool InDocument() const { return pageSent || logicalPages > 0; }
};

struct DriverState {
  CRITICAL_SECTION lock{};
  bool lockReady = false;
  const DriverProfile* profile = &ProfileOf(hostsettings::HostVariant::kHostBased);
  DocumentState document;
};

DriverState& State();
inline DocumentState& Document() { return State().document; }
inline const DriverProfile& Profile() { return *State().profile; }
void ResetDocumentState();

// Holds the process-wide lock for a scope (a no-op before the driver is enabled).
class DriverLock {
 public:
  DriverLock();
  ~DriverLock();
  DriverLock(const DriverLock&) = delete;
  DriverLock& operator=(const DriverLock&) = delete;

 private:
  bool held_;
};

}  // namespace k460::hbgraph
