#include "tools/k460/suite_defaults.h"

#include "platform/spooler/host.h"

namespace k460::tool {

namespace {

struct SuiteDriver {
  DriverSetup driver;
  std::u16string printerPort;
};

std::vector<SuiteDriver> SuiteDrivers() {
  return {
      {{u"Velkaro Ar+Vento2 K-410/460 PCL XL", u"xlgraph.dll", u"xlui.dll", u"xlres.dll", u"xlhelp.hlp",
        {u"xlgraph.ini", u"xlres.dll"}, u"", u"RAW"},
       u"FILE:"},
      {{u"Velkaro Ar+Vento2 K-410/460 PCL5e", u"p5graph.dll", u"p5ui.dll", u"p5res.dll", u"p5help.hlp",
        {u"p5graph.ini", u"p5res.dll"}, u"", u"RAW"},
       u"FILE:"},
      {{u"Velkaro Ar+Vento2 K-410/460", u"hbgraph.dll", u"hbui.dll", u"", u"K460.hlp", {u"K460.ini"}, u"", u"RAW"},
       u"FILE:"},
      {{u"Velkaro Ar+Vento2 K-410/460Fax", u"faxgraph.dll", u"faxui.dll", u"", u"K460F.hlp", {u"K460F.ini"}, u"",
        u"RAW"},
       u"FILE:"},
  };
}

}  // namespace

bool InstallSuiteDefaults() {
  bool ok = InstallMonitor(u"Local Port", u"localmon.dll");
  auto existing = ListPrinters();
  for (const auto& d : SuiteDrivers()) {
    ok = InstallDriver(d.driver) && ok;
    bool present = false;
    for (const auto& p : existing) present = present || p.name == d.driver.name;
    if (!present) {
      PrinterSetup printer;
      printer.name = d.driver.name;
      printer.driverName = d.driver.name;
      printer.portName = d.printerPort;
      printer.attributes = PRINTER_ATTRIBUTE_LOCAL | PRINTER_ATTRIBUTE_QUEUED | PRINTER_ATTRIBUTE_ENABLE_BIDI;
      ok = AddPrinter(printer) && ok;
    }
  }
  return ok;
}

bool EnsureSuiteDefaults() { return !ListPrinters().empty() || InstallSuiteDefaults(); }

}  // namespace k460::tool
