// k460 printer add|list|remove|defaults: the printers of the machine.
#include <iostream>

#include "platform/base/text.h"
#include "platform/spooler/host.h"
#include "tools/k460/commands.h"
#include "tools/k460/suite_defaults.h"

namespace k460::tool {
namespace {

int List() {
  EnsureSuiteDefaults();
  for (const auto& p : ListPrinters()) {
    std::cout << Utf16ToUtf8(p.name) << "\n  driver: " << Utf16ToUtf8(p.driverName)
              << "\n  port:   " << Utf16ToUtf8(p.portName) << "\n  attributes: 0x" << std::hex << p.attributes
              << "  status: 0x" << p.status << std::dec << "\n";
  }
  return 0;
}

struct AddOptions {
  std::string name, driver, port = "FILE:";
  bool noBidi = false;
};

int Add(const AddOptions& o) {
  EnsureSuiteDefaults();
  if (!FindDriver(Utf8ToUtf16(o.driver))) {
    std::cerr << "k460 printer add: no driver named \"" << o.driver << "\" (see k460 printer list)\n";
    return 2;
  }
  PrinterSetup p;
  p.name = Utf8ToUtf16(o.name);
  p.driverName = Utf8ToUtf16(o.driver);
  p.portName = Utf8ToUtf16(o.port);
  if (!o.noBidi) p.attributes |= PRINTER_ATTRIBUTE_ENABLE_BIDI;
  if (!AddPrinter(p)) {
    std::cerr << "k460 printer add: cannot add \"" << o.name << "\"\n";
    return 1;
  }
  return 0;
}

int Remove(const std::string& name) {
  if (!RemovePrinter(Utf8ToUtf16(name))) {
    std::cerr << "k460 printer remove: no printer named \"" << name << "\"\n";
    return 2;
  }
  return 0;
}

K460_COMMAND("printer", "Add, list and remove printers", [](CLI::App& app) -> std::function<int()> {
  app.require_subcommand(1);
  auto action = std::make_shared<std::function<int()>>();
  auto* list = app.add_subcommand("list", "List the printers (installing the suite's defaults on a fresh machine)");
  list->callback([action] { *action = List; });
  auto add = std::make_shared<AddOptions>();
  auto* addCmd = app.add_subcommand("add", "Add or change a printer");
  addCmd->add_option("NAME", add->name, "Printer name")->required();
  addCmd->add_option("--driver", add->driver, "Driver name")->required();
  addCmd->add_option("--port", add->port, "Port: FILE:, a file path, or a monitor's port (KP2_..., USB001, LPT1:)");
  addCmd->add_flag("--no-bidi", add->noBidi, "Leave bidirectional support off");
  addCmd->callback([action, add] { *action = [add] { return Add(*add); }; });
  auto removeName = std::make_shared<std::string>();
  auto* removeCmd = app.add_subcommand("remove", "Remove a printer");
  removeCmd->add_option("NAME", *removeName, "Printer name")->required();
  removeCmd->callback([action, removeName] { *action = [removeName] { return Remove(*removeName); }; });
  auto* defaults = app.add_subcommand("defaults", "Install the suite's drivers, monitors and default printers");
  defaults->callback([action] { *action = [] { return InstallSuiteDefaults() ? 0 : 1; }; });
  return [action] { return (*action) ? (*action)() : 0; };
});

}  // namespace
}  // namespace k460::tool
