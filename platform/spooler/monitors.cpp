#include "platform/spooler/monitors.h"

#include <array>
#include <ctime>
#include <fstream>

#include "platform/base/host.h"
#include "platform/base/text.h"
#include "platform/module/module.h"
#include "platform/spooler/host.h"
#include "platform/spooler/store.h"

namespace k460::spooler {
namespace {

std::recursive_mutex gMutex;
bool gLoaded = false;
std::vector<std::unique_ptr<LoadedMonitor>> gMonitors;

// A monitor of the newer kind takes its monitor handle in the port-list
// functions; a language monitor in front of it expects the older table,
// which has no such argument. Each slot binds one monitor to plain functions.
constexpr int kSlots = 16;
std::array<const LoadedMonitor*, kSlots> gSlots{};

template <int N>
struct Slot {
  static BOOL EnumPorts(LPWSTR, DWORD level, LPBYTE p, DWORD cb, LPDWORD need, LPDWORD ret) {
    return gSlots[N]->EnumPorts(level, p, cb, need, ret);
  }
  static BOOL OpenPort(LPWSTR name, PHANDLE h) { return gSlots[N]->OpenPort(name, h); }
  static BOOL AddPort(LPWSTR server, HWND w, LPWSTR monitor) { return gSlots[N]->AddPort(server, w, monitor); }
  static BOOL ConfigurePort(LPWSTR server, HWND w, LPWSTR port) { return gSlots[N]->ConfigurePort(server, w, port); }
  static BOOL DeletePort(LPWSTR server, HWND w, LPWSTR port) { return gSlots[N]->DeletePort(server, w, port); }
  static void Bind(MONITOR& m) {
    const MONITOR2* t = gSlots[N]->table2;
    m.pfnEnumPorts = t->pfnEnumPorts ? &EnumPorts : nullptr;
    m.pfnOpenPort = t->pfnOpenPort ? &OpenPort : nullptr;
    m.pfnStartDocPort = t->pfnStartDocPort;
    m.pfnWritePort = t->pfnWritePort;
    m.pfnReadPort = t->pfnReadPort;
    m.pfnEndDocPort = t->pfnEndDocPort;
    m.pfnClosePort = t->pfnClosePort;
    m.pfnAddPort = t->pfnAddPort ? &AddPort : nullptr;
    m.pfnConfigurePort = t->pfnConfigurePort ? &ConfigurePort : nullptr;
    m.pfnDeletePort = t->pfnDeletePort ? &DeletePort : nullptr;
    m.pfnGetPrinterDataFromPort = t->pfnGetPrinterDataFromPort;
    m.pfnSetPortTimeOuts = t->pfnSetPortTimeOuts;
  }
};

template <int... N>
void BindSlot(int slot, MONITOR& m, std::integer_sequence<int, N...>) {
  ((slot == N ? Slot<N>::Bind(m) : void()), ...);
}

std::unique_ptr<LoadedMonitor> Load(const MonitorRecord& record, int slot) {
  auto m = std::make_unique<LoadedMonitor>();
  m->name = record.name;
  m->library = record.library;
  m->module = LoadLibraryW(record.library.c_str());
  const std::string who = "monitor \"" + Utf16ToUtf8(record.name) + "\" (" + Utf16ToUtf8(record.library) + ")";
  if (!m->module) {
    LogSpoolerEvent("The print " + who + " could not be loaded (error " + std::to_string(GetLastError()) +
                    "); its ports cannot print.");
    return nullptr;
  }
  if (auto init2 = reinterpret_cast<PFN_InitializePrintMonitor2>(GetProcAddress(m->module, "InitializePrintMonitor2"))) {
    MONITORINIT init{};
    init.cbSize = sizeof init;
    init.hSpooler = reinterpret_cast<HANDLE>(1);
    init.bLocal = TRUE;
    m->table2 = init2(&init, &m->hMonitor);
    if (m->table2 && slot < kSlots) {
      gSlots[slot] = m.get();
      BindSlot(slot, m->legacy, std::make_integer_sequence<int, kSlots>());
    }
  } else if (auto init = reinterpret_cast<PFN_InitializePrintMonitor>(GetProcAddress(m->module, "InitializePrintMonitor"))) {
    std::u16string root = MonitorKeyPath(record.name);
    m->tableEx = init(root.data());
    if (m->tableEx) m->legacy = m->tableEx->Monitor;
  }
  if (!m->table2 && !m->tableEx) {
    LogSpoolerEvent("The print " + who + " did not initialise (error " + std::to_string(GetLastError()) +
                    "); its ports cannot print.");
    FreeLibrary(m->module);
    return nullptr;
  }
  return m;
}

void EnsureLoaded() {
  if (gLoaded) return;
  gLoaded = true;
  int slot = 0;
  for (const auto& record : ListMonitors())
    if (auto m = Load(record, slot)) {
      if (m->table2) ++slot;
      gMonitors.push_back(std::move(m));
    }
}

// Reads one monitor's ports at level 1 or 2.
void AddPortsOf(const LoadedMonitor& m, std::vector<PortEntry>& out) {
  if (m.IsLanguageMonitor() && !m.table2 && !(m.tableEx && m.tableEx->Monitor.pfnEnumPorts)) return;
  DWORD needed = 0, returned = 0;
  m.EnumPorts(2, nullptr, 0, &needed, &returned);
  if (needed == 0) return;
  std::vector<BYTE> buffer(needed);
  if (!m.EnumPorts(2, buffer.data(), needed, &needed, &returned)) return;
  const auto* info = reinterpret_cast<const PORT_INFO_2W*>(buffer.data());
  for (DWORD i = 0; i < returned; ++i) {
    PortEntry e;
    e.name = WideView(info[i].pPortName);
    e.monitor = info[i].pMonitorName ? std::u16string(info[i].pMonitorName) : m.name;
    e.description = WideView(info[i].pDescription);
    e.type = info[i].fPortType;
    e.owner = &m;
    if (!e.name.empty()) out.push_back(std::move(e));
  }
}

}  // namespace

BOOL LoadedMonitor::EnumPorts(DWORD level, LPBYTE p, DWORD cb, LPDWORD need, LPDWORD ret) const {
  if (table2 && table2->pfnEnumPorts) return table2->pfnEnumPorts(hMonitor, nullptr, level, p, cb, need, ret);
  if (tableEx && tableEx->Monitor.pfnEnumPorts) return tableEx->Monitor.pfnEnumPorts(nullptr, level, p, cb, need, ret);
  SetLastError(ERROR_NOT_SUPPORTED);
  return FALSE;
}

BOOL LoadedMonitor::OpenPort(LPWSTR port, PHANDLE handle) const {
  if (table2 && table2->pfnOpenPort) return table2->pfnOpenPort(hMonitor, port, handle);
  if (tableEx && tableEx->Monitor.pfnOpenPort) return tableEx->Monitor.pfnOpenPort(port, handle);
  SetLastError(ERROR_NOT_SUPPORTED);
  return FALSE;
}

BOOL LoadedMonitor::AddPort(LPWSTR server, HWND hWnd, LPWSTR monitorName) const {
  if (table2 && table2->pfnAddPort) return table2->pfnAddPort(hMonitor, server, hWnd, monitorName);
  if (tableEx && tableEx->Monitor.pfnAddPort) return tableEx->Monitor.pfnAddPort(server, hWnd, monitorName);
  SetLastError(ERROR_NOT_SUPPORTED);
  return FALSE;
}

BOOL LoadedMonitor::ConfigurePort(LPWSTR server, HWND hWnd, LPWSTR port) const {
  if (table2 && table2->pfnConfigurePort) return table2->pfnConfigurePort(hMonitor, server, hWnd, port);
  if (tableEx && tableEx->Monitor.pfnConfigurePort) return tableEx->Monitor.pfnConfigurePort(server, hWnd, port);
  SetLastError(ERROR_NOT_SUPPORTED);
  return FALSE;
}

BOOL LoadedMonitor::DeletePort(LPWSTR server, HWND hWnd, LPWSTR port) const {
  if (table2 && table2->pfnDeletePort) return table2->pfnDeletePort(hMonitor, server, hWnd, port);
  if (tableEx && tableEx->Monitor.pfnDeletePort) return tableEx->Monitor.pfnDeletePort(server, hWnd, port);
  SetLastError(ERROR_NOT_SUPPORTED);
  return FALSE;
}

bool LoadedMonitor::IsLanguageMonitor() const { return tableEx && tableEx->Monitor.pfnOpenPortEx; }
PFN_StartDocPort LoadedMonitor::StartDocPort() const { return legacy.pfnStartDocPort; }
PFN_WritePort LoadedMonitor::WritePort() const { return legacy.pfnWritePort; }
PFN_EndDocPort LoadedMonitor::EndDocPort() const { return legacy.pfnEndDocPort; }
PFN_ClosePort LoadedMonitor::ClosePort() const { return legacy.pfnClosePort; }
PFN_OpenPortEx LoadedMonitor::OpenPortEx() const { return tableEx ? tableEx->Monitor.pfnOpenPortEx : nullptr; }

LoadedMonitor* FindMonitor(std::u16string_view name) {
  std::lock_guard lock(gMutex);
  EnsureLoaded();
  for (auto& m : gMonitors)
    if (EqualsNoCase(m->name, name)) return m.get();
  return nullptr;
}

bool IsFilePort(std::u16string_view port) {
  return EqualsNoCase(port, u"FILE:") || port.find(u'\\') != std::u16string_view::npos ||
         port.find(u'/') != std::u16string_view::npos;
}

std::vector<PortEntry> ListPorts() {
  std::vector<PortEntry> out;
  out.push_back(PortEntry{u"FILE:", u"Local Port", u"Print to File", PORT_TYPE_WRITE, nullptr});
  std::lock_guard lock(gMutex);
  EnsureLoaded();
  for (auto& m : gMonitors) AddPortsOf(*m, out);
  return out;
}

const LoadedMonitor* PortOwner(std::u16string_view port) {
  for (const auto& e : ListPorts())
    if (e.owner && EqualsNoCase(e.name, port)) return e.owner;
  return nullptr;
}

void LogSpoolerEvent(const std::string& text) {
  std::time_t t = std::time(nullptr);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", std::gmtime(&t));
  std::ofstream log(MachineRoot() / "spooler.log", std::ios::app);
  log << stamp << "  " << text << "\n";
}

}  // namespace k460::spooler

namespace k460 {

void ShutdownSpooler() {
  std::lock_guard lock(spooler::gMutex);
  for (auto& m : spooler::gMonitors) {
    if (m->table2 && m->table2->cbSize > offsetof(MONITOR2, pfnShutdown) && m->table2->pfnShutdown)
      m->table2->pfnShutdown(m->hMonitor);
    FreeLibrary(m->module);
  }
  spooler::gMonitors.clear();
  spooler::gSlots.fill(nullptr);
  spooler::gLoaded = false;
}

}  // namespace k460
