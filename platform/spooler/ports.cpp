// The spooler's port functions: listing ports of every monitor, and asking
// the owning monitor to add, configure or delete one.
#include <map>
#include <optional>

#include "platform/base/internal.h"
#include "platform/base/text.h"
#include "platform/spooler/host.h"
#include "platform/spooler/monitors.h"
#include "platform/spooler/pack.h"

namespace k460::spooler {
namespace {

BOOL Fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

bool IsLocalServer(LPWSTR name) { return !name || !*name; }

std::mutex gStatusMutex;
std::map<std::u16string, k460::PortStatus> gStatus;  // by upper-cased port name

}  // namespace
}  // namespace k460::spooler

using namespace k460::spooler;

K460_API BOOL EnumPortsW(LPWSTR pName, DWORD Level, LPBYTE pPorts, DWORD cbBuf, LPDWORD pcbNeeded,
                         LPDWORD pcReturned) {
  if (!pcbNeeded || !pcReturned) return Fail(ERROR_INVALID_PARAMETER);
  *pcReturned = 0;
  if (!IsLocalServer(pName)) return Fail(ERROR_INVALID_NAME);
  if (Level != 1 && Level != 2) return Fail(ERROR_INVALID_LEVEL);
  const auto ports = ListPorts();
  const std::size_t fixed = ports.size() * (Level == 1 ? sizeof(PORT_INFO_1W) : sizeof(PORT_INFO_2W));
  BOOL ok = PackInfo(pPorts, cbBuf, pcbNeeded, fixed, [&](Packer& p) {
    for (std::size_t i = 0; i < ports.size(); ++i) {
      if (Level == 1) {
        p.Fixed<PORT_INFO_1W>(i)->pName = p.String(ports[i].name);
      } else {
        auto* info = p.Fixed<PORT_INFO_2W>(i);
        info->pPortName = p.String(ports[i].name);
        info->pMonitorName = p.String(ports[i].monitor);
        info->pDescription = p.String(ports[i].description);
        info->fPortType = ports[i].type;
      }
    }
  });
  if (ok) *pcReturned = static_cast<DWORD>(ports.size());
  return ok;
}

K460_API BOOL AddPortW(LPWSTR pName, HWND hWnd, LPWSTR pMonitorName) {
  if (!pMonitorName) return Fail(ERROR_INVALID_PARAMETER);
  if (!IsLocalServer(pName)) return Fail(ERROR_INVALID_NAME);
  const LoadedMonitor* monitor = FindMonitor(pMonitorName);
  if (!monitor) return Fail(ERROR_UNKNOWN_PRINT_MONITOR);
  return monitor->AddPort(pName, hWnd, pMonitorName);
}

K460_API BOOL ConfigurePortW(LPWSTR pName, HWND hWnd, LPWSTR pPortName) {
  if (!pPortName) return Fail(ERROR_INVALID_PARAMETER);
  if (!IsLocalServer(pName)) return Fail(ERROR_INVALID_NAME);
  const LoadedMonitor* owner = PortOwner(pPortName);
  if (!owner) return Fail(ERROR_UNKNOWN_PORT);
  return owner->ConfigurePort(pName, hWnd, pPortName);
}

K460_API BOOL DeletePortW(LPWSTR pName, HWND hWnd, LPWSTR pPortName) {
  if (!pPortName) return Fail(ERROR_INVALID_PARAMETER);
  if (!IsLocalServer(pName)) return Fail(ERROR_INVALID_NAME);
  const LoadedMonitor* owner = PortOwner(pPortName);
  if (!owner) return Fail(ERROR_UNKNOWN_PORT);
  return owner->DeletePort(pName, hWnd, pPortName);
}

K460_API BOOL SetPortW(LPWSTR pName, LPWSTR pPortName, DWORD dwLevel, LPBYTE pPortInfo) {
  if (!pPortName || !pPortInfo) return Fail(ERROR_INVALID_PARAMETER);
  if (!IsLocalServer(pName)) return Fail(ERROR_INVALID_NAME);
  if (dwLevel != 3) return Fail(ERROR_INVALID_LEVEL);
  k460::CallFails("SetPortW", nullptr, k460::Utf16ToUtf8(pPortName));
  bool known = false;
  for (const auto& e : ListPorts()) known = known || k460::EqualsNoCase(e.name, k460::WideView(pPortName));
  if (!known) return Fail(ERROR_UNKNOWN_PORT);
  const auto* info = reinterpret_cast<const PORT_INFO_3W*>(pPortInfo);
  std::lock_guard lock(gStatusMutex);
  gStatus[k460::AsciiUpper(k460::WideView(pPortName))] =
      k460::PortStatus{info->dwStatus, std::u16string(k460::WideView(info->pszStatus)), info->dwSeverity};
  return TRUE;
}

// A monitor runs as the spooler and switches to the client's identity and
// back; the stand-in records each switch so that tests can check the order.
namespace {
struct PrinterClientToken : k460::KernelObject {};
}  // namespace

K460_API HANDLE RevertToPrinterSelf() {
  k460::CallFails("RevertToPrinterSelf", nullptr);
  return k460::InsertHandle(std::make_shared<PrinterClientToken>());
}

K460_API BOOL ImpersonatePrinterClient(HANDLE hToken) {
  k460::CallFails("ImpersonatePrinterClient", nullptr);
  if (!k460::LookupHandleAs<PrinterClientToken>(hToken)) return Fail(ERROR_INVALID_HANDLE);
  k460::RemoveHandle(hToken);
  return TRUE;
}

namespace k460 {

std::optional<PortStatus> GetPortStatus(const std::u16string& port) {
  std::lock_guard lock(spooler::gStatusMutex);
  auto it = spooler::gStatus.find(AsciiUpper(port));
  if (it == spooler::gStatus.end()) return std::nullopt;
  return it->second;
}

}  // namespace k460
