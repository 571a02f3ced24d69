#include "tools/k460/network_ports.h"

#include "platform/base/text.h"
#include "platform/registry/registry.h"
#include "platform/spooler/host.h"

namespace k460::tool {
namespace {

constexpr char16_t kInstallKey[] =
    u"SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Velkaro Ar+Vento2 Port Monitor\\Install";

}  // namespace

std::vector<PortEntry> ListPorts() {
  std::vector<PortEntry> ports;
  DWORD needed = 0, returned = 0;
  EnumPortsW(nullptr, 2, nullptr, 0, &needed, &returned);
  std::vector<BYTE> buffer(needed ? needed : 1);
  if (!EnumPortsW(nullptr, 2, buffer.data(), needed, &needed, &returned)) return ports;
  const auto* info = reinterpret_cast<const PORT_INFO_2W*>(buffer.data());
  for (DWORD i = 0; i < returned; ++i)
    ports.push_back(PortEntry{std::u16string(WideView(info[i].pPortName)), std::u16string(WideView(info[i].pMonitorName)),
                              std::u16string(WideView(info[i].pDescription))});
  return ports;
}

bool PortListed(const std::u16string& name) {
  for (const auto& port : ListPorts())
    if (EqualsNoCase(port.name, name)) return true;
  return false;
}

bool RegisterNetworkMonitor() { return InstallMonitor(kNetworkMonitorName, kNetworkMonitorLibrary); }

bool LeaveInstallAddress(const std::u16string& address) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kInstallKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return false;
  const WCHAR empty[1] = {0};
  bool ok = RegSetValueExW(key, address.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(empty), sizeof empty) ==
            ERROR_SUCCESS;
  RegCloseKey(key);
  return ok;
}

}  // namespace k460::tool
