#include "monitors/netmon/port_record.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "monitors/netmon/job_record.h"
#include "platform/base/text.h"

namespace netmon {
namespace {

// Monitor handles handed out and not yet shut down (under the semaphore).
// Released with the library, which may be loaded again.
std::vector<MonitorHandle*>& Monitors() {
  static std::vector<MonitorHandle*> monitors;
  return monitors;
}

}  // namespace

IniPort* AppendPort(MonitorHandle& monitor, std::u16string_view name) {
  const std::size_t nameBytes = (name.size() + 1) * sizeof(WCHAR);
  const std::size_t size = sizeof(IniPort) + nameBytes;
  auto* port = static_cast<IniPort*>(LocalAlloc(LPTR, size));
  if (!port) return nullptr;
  std::memcpy(port->signature, kPortSignature, sizeof port->signature);
  port->size = static_cast<DWORD>(size);
  port->pName = reinterpret_cast<LPWSTR>(port + 1);
  std::memcpy(port->pName, name.data(), name.size() * sizeof(WCHAR));
  // The address is the name without its first four characters (the prefix).
  std::u16string_view address = name.size() > 4 ? name.substr(4) : std::u16string_view();
  address = address.substr(0, kAddressCapacity - 1);
  std::memcpy(port->szIpAddress, address.data(), address.size() * sizeof(WCHAR));
  IniPort** link = &monitor.pIniFirstPort;
  while (*link) link = &(*link)->pNext;
  *link = port;
  return port;
}

IniPort* FindPort(const MonitorHandle& monitor, std::u16string_view name) {
  for (IniPort* port = monitor.pIniFirstPort; port; port = port->pNext)
    if (k460::EqualsNoCase(k460::WideView(port->pName), name)) return port;
  return nullptr;
}

bool RemovePort(MonitorHandle& monitor, std::u16string_view name) {
  for (IniPort** link = &monitor.pIniFirstPort; *link; link = &(*link)->pNext) {
    if (k460::EqualsNoCase(k460::WideView((*link)->pName), name)) {
      IniPort* port = *link;
      *link = port->pNext;
      DropJob(port);
      std::memset(port->signature, 0, sizeof port->signature);
      LocalFree(port);
      return true;
    }
  }
  return false;
}

void FreeAllPorts(MonitorHandle& monitor) {
  while (IniPort* port = monitor.pIniFirstPort) {
    monitor.pIniFirstPort = port->pNext;
    DropJob(port);
    std::memset(port->signature, 0, sizeof port->signature);
    LocalFree(port);
  }
}

DWORD CountPorts(const MonitorHandle& monitor) {
  DWORD count = 0;
  for (IniPort* port = monitor.pIniFirstPort; port; port = port->pNext) ++count;
  return count;
}

IniPort* LivePort(HANDLE handle) {
  for (MonitorHandle* monitor : Monitors())
    for (IniPort* port = monitor->pIniFirstPort; port; port = port->pNext)
      if (port == handle) return port;
  return nullptr;
}

void RegisterMonitor(MonitorHandle* monitor) { Monitors().push_back(monitor); }
void UnregisterMonitor(MonitorHandle* monitor) { std::erase(Monitors(), monitor); }
bool IsLiveMonitor(HANDLE handle) {
  return std::find(Monitors().begin(), Monitors().end(), static_cast<MonitorHandle*>(handle)) != Monitors().end();
}

bool HasLiveMonitors() { return !Monitors().empty(); }

}  // namespace netmon
