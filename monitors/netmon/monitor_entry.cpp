// The library's entry points: InitializePrintMonitor2, which the spooler
// calls once per start, and the entry point that the loader calls on load
// and unload.
#include "monitors/netmon/add_port_thread.h"
#include "monitors/netmon/monitor_registry.h"
#include "monitors/netmon/monitor_state.h"
#include "monitors/netmon/port_functions.h"
#include "monitors/netmon/temp_folder.h"
#include "platform/module/module.h"

namespace netmon {
namespace {

// The table ends after pfnShutdown. Its size is kMonitor2SizeThroughShutdown:
// 76 bytes where pointers are 4 bytes wide, 152 on this 64-bit build.
MONITOR2 gMonitor2 = {
    kMonitor2SizeThroughShutdown,
    EnumPorts,
    OpenPort,
    nullptr,  // OpenPortEx: this is no language monitor
    StartDocPort,
    WritePort,
    ReadPort,
    EndDocPort,
    ClosePort,
    AddPort,
    AddPortEx,
    ConfigurePort,
    DeletePort,
    GetPrinterDataFromPort,
    SetPortTimeOuts,
    nullptr,  // XcvOpenPort: no port-configuration channel; the system falls
    nullptr,  // back on AddPort, ConfigurePort and DeletePort
    nullptr,
    Shutdown,
};

}  // namespace
}  // namespace netmon

K460_API MONITOR2* InitializePrintMonitor2(PMONITORINIT pMonitorInit, PHANDLE phMonitor) {
  if (!pMonitorInit || !phMonitor) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (!pMonitorInit->bLocal) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  HANDLE monitor = netmon::CreateMonitorHandle();
  if (!monitor) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  // Without the tunables jobs work in the plain temporary folder.
  std::u16string tempPath = netmon::EnsureTunables() ? netmon::PrepareTempFolder() : std::u16string();
  netmon::SetMonitorTempPath(tempPath);
  netmon::StartAddPortThread();
  *phMonitor = monitor;
  return &netmon::gMonitor2;
}

K460_API BOOL DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    netmon::OnLibraryLoad(instance);
  } else if (reason == DLL_PROCESS_DETACH) {
    netmon::StopAddPortThread();
    netmon::ReleaseSpoolerLibrary();
    netmon::OnLibraryUnload();
  }
  return TRUE;
}
