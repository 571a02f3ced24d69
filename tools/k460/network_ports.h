// The network ports of the machine as an installer sets them up: the
// network port monitor registered with the spooler, and ports named
// "KP2_<address>" that the monitor adds through the spooler's AddPort.
// Shared by `k460 port` and the device road of `k460 print --device`.
#pragma once

#include <string>
#include <vector>

namespace k460::tool {

inline constexpr char16_t kNetworkMonitorName[] = u"Velkaro Ar+Vento2 Port Monitor";
inline constexpr char16_t kNetworkMonitorLibrary[] = u"netmon.dll";
inline constexpr char16_t kNetworkPortPrefix[] = u"KP2_";

struct PortEntry {
  std::u16string name, monitor, description;
};

// Every port of the spooler (EnumPortsW level 2); empty when the listing fails.
std::vector<PortEntry> ListPorts();
bool PortListed(const std::u16string& name);

// Registers the network port monitor with the spooler (again: the entry is
// rewritten as it is).
bool RegisterNetworkMonitor();

// An installer's way of naming the address: a value in the monitor's
// Install key, taken by its next AddPort.
bool LeaveInstallAddress(const std::u16string& address);

}  // namespace k460::tool
