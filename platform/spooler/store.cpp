#include "platform/spooler/store.h"

#include "platform/base/internal.h"

namespace k460::spooler {

std::u16string PrinterKeyPath(std::u16string_view printer) {
  return std::u16string(kPrintKey) + u"\\Printers\\" + std::u16string(printer);
}
std::u16string PrinterDataKeyPath(std::u16string_view printer) {
  return PrinterKeyPath(printer) + u"\\PrinterDriverData";
}
std::u16string DriverKeyPath(std::u16string_view driver) {
  return std::u16string(kPrintKey) + u"\\Environments\\" + kEnvironment + u"\\Drivers\\Version-3\\" +
         std::u16string(driver);
}
std::u16string MonitorKeyPath(std::u16string_view monitor) {
  return std::u16string(kPrintKey) + u"\\Monitors\\" + std::u16string(monitor);
}

std::u16string DriverDirectory() { return PrinterDriverDirectory(); }

// Printer names travel inside registry paths: a backslash would split them.
static bool ValidName(std::u16string_view name) {
  return !name.empty() && name.size() < 221 && name.find(u'\\') == std::u16string_view::npos &&
         name.find(u',') == std::u16string_view::npos;
}

std::optional<PrinterRecord> LoadPrinter(std::u16string_view name) {
  if (!ValidName(name)) return std::nullopt;
  RegKey key = RegKey::Open(HKEY_LOCAL_MACHINE, PrinterKeyPath(name));
  if (!key || !key.Snapshot()) return std::nullopt;
  PrinterRecord r;
  r.setup.name = key.GetString(u"Name").value_or(std::u16string(name));
  r.setup.driverName = key.GetString(u"Printer Driver").value_or(u"");
  r.setup.portName = key.GetString(u"Port").value_or(u"");
  r.setup.attributes = key.GetDword(u"Attributes").value_or(0);
  r.setup.status = key.GetDword(u"Status").value_or(0);
  r.comment = key.GetString(u"Description").value_or(u"");
  r.location = key.GetString(u"Location").value_or(u"");
  if (auto dm = key.GetRaw(u"Default DevMode")) r.defaultDevMode = dm->second;
  return r;
}

bool SavePrinter(const PrinterRecord& r) {
  if (!ValidName(r.setup.name)) return false;
  RegKey key = RegKey::Create(HKEY_LOCAL_MACHINE, PrinterKeyPath(r.setup.name));
  if (!key) return false;
  bool ok = key.SetString(u"Name", r.setup.name) == ERROR_SUCCESS &&
            key.SetString(u"Printer Driver", r.setup.driverName) == ERROR_SUCCESS &&
            key.SetString(u"Port", r.setup.portName) == ERROR_SUCCESS &&
            key.SetDword(u"Attributes", r.setup.attributes) == ERROR_SUCCESS &&
            key.SetDword(u"Status", r.setup.status) == ERROR_SUCCESS &&
            key.SetString(u"Description", r.comment) == ERROR_SUCCESS &&
            key.SetString(u"Location", r.location) == ERROR_SUCCESS;
  if (ok) {
    if (r.defaultDevMode.empty())
      key.DeleteValue(u"Default DevMode");
    else
      ok = key.SetRaw(u"Default DevMode", REG_BINARY, r.defaultDevMode.data(),
                      static_cast<DWORD>(r.defaultDevMode.size())) == ERROR_SUCCESS;
  }
  return ok && static_cast<bool>(RegKey::Create(HKEY_LOCAL_MACHINE, PrinterDataKeyPath(r.setup.name)));
}

std::vector<MonitorRecord> ListMonitors() {
  std::vector<MonitorRecord> out;
  RegKey monitors = RegKey::Open(HKEY_LOCAL_MACHINE, std::u16string(kPrintKey) + u"\\Monitors");
  for (const auto& name : monitors.SubKeys()) {
    RegKey key = RegKey::Open(HKEY_LOCAL_MACHINE, MonitorKeyPath(name));
    if (auto library = key.GetString(u"Driver"); library && !library->empty()) out.push_back({name, *library});
  }
  return out;
}

}  // namespace k460::spooler

namespace k460 {

bool InstallDriver(const DriverSetup& d) {
  if (d.name.empty() || d.name.find(u'\\') != std::u16string::npos) return false;
  RegKey key = RegKey::Create(HKEY_LOCAL_MACHINE, spooler::DriverKeyPath(d.name));
  return key && key.SetString(u"Driver", d.driverFile) == ERROR_SUCCESS &&
         key.SetString(u"Configuration File", d.configFile) == ERROR_SUCCESS &&
         key.SetString(u"Data File", d.dataFile) == ERROR_SUCCESS &&
         key.SetString(u"Help File", d.helpFile) == ERROR_SUCCESS &&
         key.SetMultiString(u"Dependent Files", d.dependentFiles) == ERROR_SUCCESS &&
         key.SetString(u"Monitor", d.monitorName) == ERROR_SUCCESS &&
         key.SetString(u"Datatype", d.defaultDataType) == ERROR_SUCCESS && key.SetDword(u"Version", 3) == ERROR_SUCCESS;
}

std::optional<DriverSetup> FindDriver(const std::u16string& name) {
  if (name.empty() || name.find(u'\\') != std::u16string::npos) return std::nullopt;
  RegKey key = RegKey::Open(HKEY_LOCAL_MACHINE, spooler::DriverKeyPath(name));
  if (!key) return std::nullopt;
  DriverSetup d;
  d.name = name;
  d.driverFile = key.GetString(u"Driver").value_or(u"");
  d.configFile = key.GetString(u"Configuration File").value_or(u"");
  d.dataFile = key.GetString(u"Data File").value_or(u"");
  d.helpFile = key.GetString(u"Help File").value_or(u"");
  d.dependentFiles = key.GetMultiString(u"Dependent Files").value_or(std::vector<std::u16string>{});
  d.monitorName = key.GetString(u"Monitor").value_or(u"");
  d.defaultDataType = key.GetString(u"Datatype").value_or(u"RAW");
  return d;
}

bool InstallMonitor(const std::u16string& monitorName, const std::u16string& library) {
  if (monitorName.empty() || monitorName.find(u'\\') != std::u16string::npos) return false;
  RegKey key = RegKey::Create(HKEY_LOCAL_MACHINE, spooler::MonitorKeyPath(monitorName));
  return key && key.SetString(u"Driver", library) == ERROR_SUCCESS;
}

bool AddPrinter(const PrinterSetup& printer) {
  spooler::PrinterRecord r;
  if (auto existing = spooler::LoadPrinter(printer.name)) r = *existing;
  r.setup = printer;
  return spooler::SavePrinter(r);
}

bool RemovePrinter(const std::u16string& name) {
  if (!spooler::LoadPrinter(name)) return false;
  return RegKey::DeleteTree(HKEY_LOCAL_MACHINE, spooler::PrinterKeyPath(name)) == ERROR_SUCCESS;
}

std::vector<PrinterSetup> ListPrinters() {
  std::vector<PrinterSetup> out;
  RegKey printers = RegKey::Open(HKEY_LOCAL_MACHINE, std::u16string(spooler::kPrintKey) + u"\\Printers");
  for (const auto& name : printers.SubKeys())
    if (auto r = spooler::LoadPrinter(name)) out.push_back(r->setup);
  return out;
}

}  // namespace k460
