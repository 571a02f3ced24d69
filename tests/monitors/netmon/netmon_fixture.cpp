#include "tests/monitors/netmon/netmon_fixture.h"

#include "platform/process/process_host.h"
#include "platform/registry/registry.h"

namespace k460::testing {

void NetmonTest::SetUp() {
  MachineTest::SetUp();
  ASSERT_TRUE(InstallMonitor(kNetmonName, u"netmon.dll"));
}

void NetmonTest::TearDown() {
  ShutdownSpooler();
  // Messages are shown by a program that nobody waits for.
  EXPECT_TRUE(WaitForStartedPrograms(10000));
  MachineTest::TearDown();
}

const spooler::LoadedMonitor& NetmonTest::Monitor() {
  const spooler::LoadedMonitor* monitor = spooler::FindMonitor(kNetmonName);
  if (!monitor || !monitor->table2) throw std::runtime_error("the network port monitor did not load");
  return *monitor;
}

BOOL NetmonTest::AddPort(const char16_t* address, const std::u16string& monitorName) {
  const auto& m = Monitor();
  std::u16string name = address ? address : u"", monitor = monitorName;
  return m.table2->pfnAddPort(m.hMonitor, address ? name.data() : nullptr, nullptr, monitor.data());
}

BOOL NetmonTest::DeletePort(const std::u16string& port) {
  const auto& m = Monitor();
  std::u16string name = port;
  return m.table2->pfnDeletePort(m.hMonitor, nullptr, nullptr, name.data());
}

std::vector<std::u16string> NetmonTest::MonitorPorts() {
  const auto& m = Monitor();
  DWORD needed = 0, returned = 0;
  m.table2->pfnEnumPorts(m.hMonitor, nullptr, 1, nullptr, 0, &needed, &returned);
  std::vector<BYTE> buffer(needed + 1);
  std::vector<std::u16string> names;
  if (!m.table2->pfnEnumPorts(m.hMonitor, nullptr, 1, buffer.data(), needed, &needed, &returned)) return names;
  for (DWORD i = 0; i < returned; ++i) names.push_back(reinterpret_cast<PORT_INFO_1W*>(buffer.data())[i].pName);
  return names;
}

std::vector<std::u16string> ValueNames(const std::u16string& keyPath) {
  std::vector<std::u16string> names;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return names;
  for (DWORD i = 0;; ++i) {
    WCHAR name[260];
    DWORD length = 260;
    if (RegEnumValueW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name, length);
  }
  RegCloseKey(key);
  return names;
}

std::vector<std::u16string> NetmonTest::RegistryPorts() { return ValueNames(std::u16string(kNetmonKey) + u"\\Ports"); }

bool NetmonTest::InstallKeyExists() {
  HKEY key = nullptr;
  std::u16string path = std::u16string(kNetmonKey) + u"\\Install";
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

namespace {
void WriteEmptyValues(const std::u16string& path, const std::vector<std::u16string>& names) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  const WCHAR empty[1] = {0};
  for (const auto& name : names)
    ASSERT_EQ(RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(empty), sizeof empty),
              ERROR_SUCCESS);
  RegCloseKey(key);
}
}  // namespace

void NetmonTest::WriteInstallAddresses(const std::vector<std::u16string>& addresses) {
  WriteEmptyValues(std::u16string(kNetmonKey) + u"\\Install", addresses);
}

void NetmonTest::WritePortValues(const std::vector<std::u16string>& names) {
  WriteEmptyValues(std::u16string(kNetmonKey) + u"\\Ports", names);
}

std::vector<ShownMessage> NetmonTest::Messages(const std::string& kind) {
  std::vector<ShownMessage> out;
  for (auto& m : ReadMessageLog())
    if (m.kind == kind) out.push_back(m);
  return out;
}

void NetmonTest::SetOsVersion(DWORD major, DWORD minor) {
  MachineProfile profile = GetMachineProfile();
  profile.osMajor = major;
  profile.osMinor = minor;
  SetMachineProfile(profile);
}

void NetmonTest::RestartSpooler() { ShutdownSpooler(); }

}  // namespace k460::testing
