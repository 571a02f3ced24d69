// hbgraph: the graphics library of the host-based printer driver. Its
// exports; everything else the engine reaches through the function table.
#include "driver/winnt/printer/src/km/entry_points.h"
#include "platform/module/module.h"

namespace {

HINSTANCE gModule = nullptr;

}  // namespace

K460_API BOOL DllMain(HINSTANCE hinst, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) gModule = hinst;
  return TRUE;
}

K460_API BOOL DrvQueryDriverInfo(DWORD dwMode, PVOID pBuffer, DWORD cbBuf, PDWORD pcbNeeded) {
  return k460::hbgraph::QueryDriverInfo(dwMode, pBuffer, cbBuf, pcbNeeded);
}

K460_API BOOL DrvEnableDriver(ULONG iEngineVersion, ULONG cj, DRVENABLEDATA* pded) {
  return k460::hbgraph::EnableDriver(k460::hostsettings::HostVariant::kHostBased, iEngineVersion, cj, pded);
}

K460_API void DrvDisableDriver() { k460::hbgraph::DisableDriver(); }
