// A machine whose spooler knows the network port monitor, and ways to look
// at its registry key, its ports and the messages it showed.
#pragma once

#include <string>
#include <vector>

#include "platform/process/message_log.h"
#include "platform/spooler/host.h"
#include "platform/spooler/monitors.h"
#include "tests/support/machine_fixture.h"

namespace k460::testing {

inline constexpr char16_t kNetmonName[] = u"Velkaro Ar+Vento2 Port Monitor";
inline constexpr char16_t kNetmonKey[] = u"SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Velkaro Ar+Vento2 Port Monitor";

class NetmonTest : public MachineTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The monitor as the spooler loaded it (loading it on first use).
  const spooler::LoadedMonitor& Monitor();
  BOOL AddPort(const char16_t* address, const std::u16string& monitorName = kNetmonName);
  BOOL DeletePort(const std::u16string& port);
  // Port names as the monitor lists them (level 1).
  std::vector<std::u16string> MonitorPorts();
  // Value names of the Ports key, and of the Install key (empty when gone).
  std::vector<std::u16string> RegistryPorts();
  bool InstallKeyExists();
  void WriteInstallAddresses(const std::vector<std::u16string>& addresses);
  void WritePortValues(const std::vector<std::u16string>& names);
  // Records of the message log of one kind.
  std::vector<ShownMessage> Messages(const std::string& kind);
  void SetOsVersion(DWORD major, DWORD minor);
  // Unloads the monitor, as a restart of the spooler does.
  void RestartSpooler();
};

std::vector<std::u16string> ValueNames(const std::u16string& keyPath);

}  // namespace k460::testing
