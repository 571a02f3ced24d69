// k460 port add|list|delete: the network ports of the machine, through the
// spooler and the network port monitor.
#include <iostream>
#include <vector>

#include "platform/base/text.h"
#include "platform/process/process_host.h"
#include "platform/registry/registry.h"
#include "platform/spooler/host.h"
#include "tools/k460/commands.h"

namespace k460::tool {
namespace {

constexpr char16_t kMonitorName[] = u"Velkaro Ar+Vento2 Port Monitor";
constexpr char16_t kMonitorLibrary[] = u"netmon.dll";
constexpr char16_t kPortPrefix[] = u"KP2_";
constexpr char16_t kInstallKey[] = u"SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Velkaro Ar+Vento2 Port Monitor\\Install";

struct Port {
  std::u16string name, monitor, description;
};

std::vector<Port> ListPorts() {
  std::vector<Port> ports;
  DWORD needed = 0, returned = 0;
  EnumPortsW(nullptr, 2, nullptr, 0, &needed, &returned);
  std::vector<BYTE> buffer(needed ? needed : 1);
  if (!EnumPortsW(nullptr, 2, buffer.data(), needed, &needed, &returned)) return ports;
  const auto* info = reinterpret_cast<const PORT_INFO_2W*>(buffer.data());
  for (DWORD i = 0; i < returned; ++i)
    ports.push_back(Port{std::u16string(WideView(info[i].pPortName)), std::u16string(WideView(info[i].pMonitorName)),
                         std::u16string(WideView(info[i].pDescription))});
  return ports;
}

bool Listed(const std::u16string& name) {
  for (const auto& port : ListPorts())
    if (EqualsNoCase(port.name, name)) return true;
  return false;
}

// Registers the network port monitor with the spooler (again: the entry
// is rewritten as it is).
bool EnsureMonitor() {
  if (InstallMonitor(kMonitorName, kMonitorLibrary)) return true;
  std::cerr << "k460 port: cannot register the network port monitor\n";
  return false;
}

// An installer's way of naming the address: a value in the monitor's
// Install key, taken by its next AddPort.
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

int Finish(int code) {
  ShutdownSpooler();  // the monitor ends its thread before the program ends
  return code;
}

int List() {
  if (!EnsureMonitor()) return 1;
  for (const auto& port : ListPorts())
    std::cout << Utf16ToUtf8(port.name) << "\t" << Utf16ToUtf8(port.monitor) << "\t" << Utf16ToUtf8(port.description)
              << "\n";
  return Finish(0);
}

struct AddOptions {
  std::string address;
  std::string searchAnswer;
};

int Add(const AddOptions& o) {
  if (!EnsureMonitor()) return 1;
  std::u16string address = Utf8ToUtf16(o.address);
  if (!address.empty() && !LeaveInstallAddress(address)) {
    std::cerr << "k460 port add: cannot write the monitor's Install key\n";
    return Finish(1);
  }
  if (address.empty() && !o.searchAnswer.empty()) QueueProgramAnswers(u"qtxssearch.exe", {o.searchAnswer});
  bool existed = !address.empty() && Listed(kPortPrefix + address);
  std::u16string monitor = kMonitorName;
  if (!AddPortW(nullptr, nullptr, monitor.data())) {
    std::cerr << "k460 port add: the monitor did not add the port (error " << GetLastError() << ")\n";
    return Finish(1);
  }
  if (address.empty()) {
    std::cout << "k460 port add: done (see k460 port list)\n";
  } else if (existed) {
    std::cout << Utf16ToUtf8(kPortPrefix + address) << " exists already (see k460 messages)\n";
  } else if (Listed(kPortPrefix + address)) {
    std::cout << Utf16ToUtf8(kPortPrefix + address) << "\n";
  } else {
    std::cerr << "k460 port add: no port was added for " << o.address << "\n";
    return Finish(1);
  }
  return Finish(0);
}

int Delete(const std::string& name) {
  if (!EnsureMonitor()) return 1;
  std::u16string port = Utf8ToUtf16(name);
  if (!Listed(port)) port = kPortPrefix + port;  // an address names its port
  if (!DeletePortW(nullptr, nullptr, port.data())) {
    std::cerr << "k460 port delete: cannot delete " << name << " (error " << GetLastError() << ")\n";
    return Finish(1);
  }
  return Finish(0);
}

K460_COMMAND("port", "Add, list and delete the network ports of the machine", [](CLI::App& app) -> std::function<int()> {
  app.require_subcommand(1);
  auto action = std::make_shared<std::function<int()>>();
  auto* list = app.add_subcommand("list", "List every port of the spooler");
  list->callback([action] { *action = List; });
  auto add = std::make_shared<AddOptions>();
  auto* addCmd = app.add_subcommand("add", "Add the network port of a device (KP2_ADDRESS)");
  addCmd->add_option("ADDRESS", add->address, "The device's IPv4 address; without one the device search runs");
  addCmd->add_option("--search-answer", add->searchAnswer,
                     "Without ADDRESS: the address the device search chooses (none: the search is cancelled)");
  addCmd->callback([action, add] { *action = [add] { return Add(*add); }; });
  auto deleteName = std::make_shared<std::string>();
  auto* deleteCmd = app.add_subcommand("delete", "Delete a network port");
  deleteCmd->add_option("PORT", *deleteName, "The port's name (KP2_...) or its address")->required();
  deleteCmd->callback([action, deleteName] { *action = [deleteName] { return Delete(*deleteName); }; });
  return [action] { return (*action) ? (*action)() : 0; };
});

}  // namespace
}  // namespace k460::tool
