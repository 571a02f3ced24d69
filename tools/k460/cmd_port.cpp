// k460 port add|list|delete: the network ports of the machine, through the
// spooler and the network port monitor.
#include <iostream>
#include <vector>

#include "platform/base/text.h"
#include "platform/process/process_host.h"
#include "platform/spooler/host.h"
#include "tools/k460/commands.h"
#include "tools/k460/network_ports.h"

namespace k460::tool {
namespace {

// Registers the network port monitor, saying so when it cannot.
bool EnsureMonitor() {
  if (RegisterNetworkMonitor()) return true;
  std::cerr << "k460 port: cannot register the network port monitor\n";
  return false;
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
  bool existed = !address.empty() && PortListed(kNetworkPortPrefix + address);
  std::u16string monitor = kNetworkMonitorName;
  if (!AddPortW(nullptr, nullptr, monitor.data())) {
    std::cerr << "k460 port add: the monitor did not add the port (error " << GetLastError() << ")\n";
    return Finish(1);
  }
  if (address.empty()) {
    std::cout << "k460 port add: done (see k460 port list)\n";
  } else if (existed) {
    std::cout << Utf16ToUtf8(kNetworkPortPrefix + address) << " exists already (see k460 messages)\n";
  } else if (PortListed(kNetworkPortPrefix + address)) {
    std::cout << Utf16ToUtf8(kNetworkPortPrefix + address) << "\n";
  } else {
    std::cerr << "k460 port add: no port was added for " << o.address << "\n";
    return Finish(1);
  }
  return Finish(0);
}

int Delete(const std::string& name) {
  if (!EnsureMonitor()) return 1;
  std::u16string port = Utf8ToUtf16(name);
  if (!PortListed(port)) port = kNetworkPortPrefix + port;  // an address names its port
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
