#include "monitors/netmon/port_functions.h"

#include <cstring>
#include <mutex>
#include <vector>

#include "monitors/netmon/add_port_thread.h"
#include "monitors/netmon/address_search.h"
#include "monitors/netmon/dotted_address.h"
#include "monitors/netmon/monitor_registry.h"
#include "monitors/netmon/monitor_state.h"
#include "monitors/netmon/monitor_strings.h"
#include "monitors/netmon/netmon_strings.h"
#include "monitors/netmon/port_record.h"
#include "monitors/netmon/user_session.h"
#include "platform/base/text.h"
#include "platform/module/module.h"
#include "platform/process/process.h"

namespace netmon {
namespace {

constexpr DWORD kPortTypeWriteRead = PORT_TYPE_WRITE | PORT_TYPE_READ;

BOOL Fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

MonitorHandle* LiveMonitor(HANDLE handle) {
  return IsLiveMonitor(handle) ? static_cast<MonitorHandle*>(handle) : nullptr;
}

// Copies `text` with its terminator below `*end` and moves `*end` down.
LPWSTR PackString(BYTE** end, std::u16string_view text) {
  const std::size_t bytes = (text.size() + 1) * sizeof(WCHAR);
  *end -= bytes;
  std::memcpy(*end, text.data(), text.size() * sizeof(WCHAR));
  std::memset(*end + text.size() * sizeof(WCHAR), 0, sizeof(WCHAR));
  return reinterpret_cast<LPWSTR>(*end);
}

// ---- The spooler's port listing, for the "already exists" check ------------
using EnumPortsFunction = BOOL (*)(LPWSTR, DWORD, LPBYTE, DWORD, LPDWORD, LPDWORD);
std::mutex gSpoolerMutex;
HMODULE gSpooler = nullptr;

enum class Listing { Missing, Exists, NoSpooler };

EnumPortsFunction SpoolerEnumPorts() {
  std::lock_guard lock(gSpoolerMutex);
  if (!gSpooler) gSpooler = LoadLibraryW(u"SPOOLSS.DLL");
  return gSpooler ? reinterpret_cast<EnumPortsFunction>(GetProcAddress(gSpooler, "EnumPortsW")) : nullptr;
}

// Whether any monitor of the spooler has a port of this name; a listing
// that fails counts as "exists".
Listing SpoolerListsPort(std::u16string_view portName) {
  EnumPortsFunction enumPorts = SpoolerEnumPorts();
  if (!enumPorts) return Listing::NoSpooler;
  DWORD needed = 0, returned = 0;
  if (!enumPorts(nullptr, 1, nullptr, 0, &needed, &returned) && GetLastError() != ERROR_INSUFFICIENT_BUFFER)
    return Listing::Exists;
  std::vector<BYTE> buffer(needed ? needed : 1);
  if (!enumPorts(nullptr, 1, buffer.data(), needed, &needed, &returned)) return Listing::Exists;
  for (DWORD i = 0; i < returned; ++i) {
    PORT_INFO_1W info;
    std::memcpy(&info, buffer.data() + i * sizeof info, sizeof info);
    if (k460::EqualsNoCase(k460::WideView(info.pName), portName)) return Listing::Exists;
  }
  return Listing::Missing;
}

// The addresses an AddPort call is about: those an installer left, else the
// caller's, else the user's choice.
std::vector<std::u16string> AddressesToAdd(LPWSTR pName) {
  std::vector<std::u16string> addresses = TakeInstallAddresses();
  if (!addresses.empty()) return addresses;
  if (pName && IsDeviceAddress(k460::WideView(pName))) return {std::u16string(pName)};
  if (auto chosen = AskForAddress()) return {*chosen};
  return {};
}

}  // namespace

HANDLE CreateMonitorHandle() {
  auto* monitor = static_cast<MonitorHandle*>(LocalAlloc(LPTR, sizeof(MonitorHandle)));
  if (!monitor) return nullptr;
  std::vector<std::u16string> names = ReadPortValueNames();
  SpoolerLock lock;
  for (const auto& name : names)
    if (IsDevicePortName(name)) AppendPort(*monitor, name);
  RegisterMonitor(monitor);
  return monitor;
}

void ReleaseSpoolerLibrary() {
  std::lock_guard lock(gSpoolerMutex);
  if (gSpooler) FreeLibrary(gSpooler);
  gSpooler = nullptr;
}

BOOL EnumPorts(HANDLE hMonitor, LPWSTR, DWORD Level, LPBYTE pPorts, DWORD cbBuf, LPDWORD pcbNeeded,
               LPDWORD pcReturned) {
  if (!pcbNeeded || !pcReturned) return Fail(ERROR_INVALID_PARAMETER);
  *pcReturned = 0;
  if (Level != 1 && Level != 2) return Fail(ERROR_INVALID_LEVEL);
  const std::u16string monitorName = MonitorName();
  const std::u16string description = PortDescription();
  SpoolerLock lock;
  MonitorHandle* monitor = LiveMonitor(hMonitor);
  if (!monitor) return Fail(ERROR_INVALID_HANDLE);

  const std::size_t fixed = Level == 1 ? sizeof(PORT_INFO_1W) : sizeof(PORT_INFO_2W);
  std::size_t needed = 0;
  for (IniPort* port = monitor->pIniFirstPort; port; port = port->pNext) {
    needed += fixed + (k460::WideView(port->pName).size() + 1) * sizeof(WCHAR);
    if (Level == 2) needed += (monitorName.size() + 1 + description.size() + 1) * sizeof(WCHAR);
  }
  *pcbNeeded = static_cast<DWORD>(needed);
  if (cbBuf < needed) return Fail(ERROR_INSUFFICIENT_BUFFER);
  if (!pPorts && needed) return Fail(ERROR_INVALID_PARAMETER);

  // Structures from the front, strings from the (character-aligned) end.
  BYTE* end = pPorts + (cbBuf & ~static_cast<DWORD>(1));
  DWORD count = 0;
  for (IniPort* port = monitor->pIniFirstPort; port; port = port->pNext, ++count) {
    BYTE* slot = pPorts + count * fixed;
    if (Level == 1) {
      PORT_INFO_1W info{PackString(&end, k460::WideView(port->pName))};
      std::memcpy(slot, &info, sizeof info);
    } else {
      PORT_INFO_2W info{};
      info.pPortName = PackString(&end, k460::WideView(port->pName));
      info.pMonitorName = PackString(&end, monitorName);
      info.pDescription = PackString(&end, description);
      info.fPortType = kPortTypeWriteRead;
      info.Reserved = 0;
      std::memcpy(slot, &info, sizeof info);
    }
  }
  *pcReturned = count;
  return TRUE;
}

BOOL OpenPort(HANDLE hMonitor, LPWSTR pName, PHANDLE pHandle) {
  if (!pName || !pHandle) return Fail(ERROR_INVALID_PARAMETER);
  *pHandle = nullptr;
  SpoolerLock lock;
  MonitorHandle* monitor = LiveMonitor(hMonitor);
  if (!monitor) return Fail(ERROR_INVALID_HANDLE);
  IniPort* port = FindPort(*monitor, k460::WideView(pName));
  if (!port) return Fail(ERROR_UNKNOWN_PORT);
  port->status |= PP_OPEN;
  *pHandle = port;
  return TRUE;
}

// Jobs are the job pipeline's; until it takes them a port accepts none.
BOOL ReadPort(HANDLE, LPBYTE, DWORD, LPDWORD pcbRead) {
  if (pcbRead) *pcbRead = 0;
  return Fail(ERROR_NOT_SUPPORTED);
}

BOOL ClosePort(HANDLE hPort) {
  SpoolerLock lock;
  IniPort* port = LivePort(hPort);
  if (!port) return Fail(ERROR_INVALID_HANDLE);
  port->status &= ~PP_OPEN;
  return TRUE;
}

BOOL AddPort(HANDLE hMonitor, LPWSTR pName, HWND, LPWSTR pMonitorName) {
  const std::u16string monitorName = MonitorName();
  if (!pMonitorName || !k460::EqualsNoCase(k460::WideView(pMonitorName), monitorName))
    return Fail(ERROR_INVALID_PARAMETER);
  {
    SpoolerLock lock;
    if (!LiveMonitor(hMonitor)) return Fail(ERROR_INVALID_HANDLE);
  }
  const std::u16string prefix = PortPrefix();
  BOOL result = TRUE;
  bool creating = true;
  for (const std::u16string& address : AddressesToAdd(pName)) {
    if (!IsDeviceAddress(address)) {
      result = FALSE;
      continue;
    }
    const std::u16string portName = prefix + address;
    // The listing goes through the spooler, which calls back into this
    // monitor; it and the message are done outside the semaphore.
    switch (SpoolerListsPort(portName)) {
      case Listing::NoSpooler:
        result = FALSE;
        creating = false;
        continue;
      case Listing::Exists:
        ShowMessageById(IDS_PORT_EXISTS, IDS_PORT_DESCRIPTION, MB_ICONERROR, {portName});
        result = TRUE;
        creating = false;
        continue;
      case Listing::Missing: break;
    }
    if (!creating) continue;
    SpoolerLock lock;
    MonitorHandle* monitor = LiveMonitor(hMonitor);
    bool created = monitor && (IsVistaOrLater() ? RequestCreatePortValue(portName) : CreatePortValue(portName));
    result = created && AppendPort(*monitor, portName) ? TRUE : FALSE;
  }
  if (!result) SetLastError(ERROR_INVALID_PARAMETER);
  return result;
}

BOOL AddPortEx(HANDLE, LPWSTR, DWORD, LPBYTE, LPWSTR) { return Fail(ERROR_INVALID_PARAMETER); }

BOOL ConfigurePort(HANDLE, LPWSTR, HWND, LPWSTR) {
  ShowMessageById(IDS_NOTHING_TO_CONFIGURE, IDS_PORT_DESCRIPTION, MB_ICONINFORMATION);
  return TRUE;
}

BOOL DeletePort(HANDLE hMonitor, LPWSTR, HWND, LPWSTR pPortName) {
  if (!pPortName) return Fail(ERROR_INVALID_PARAMETER);
  const std::u16string portName(pPortName);
  SpoolerLock lock;
  MonitorHandle* monitor = LiveMonitor(hMonitor);
  if (!monitor) return Fail(ERROR_INVALID_HANDLE);
  // A port whose job is still running keeps its record.
  if (IniPort* port = FindPort(*monitor, portName); port && (port->status & PP_STARTDOC)) return Fail(ERROR_BUSY);
  bool deleted = IsVistaOrLater() ? RequestDeletePortValue(portName) : DeletePortValue(portName);
  if (!deleted || !RemovePort(*monitor, portName)) return Fail(ERROR_UNKNOWN_PORT);
  return TRUE;
}

BOOL GetPrinterDataFromPort(HANDLE, DWORD, LPWSTR, LPWSTR, DWORD, LPWSTR, DWORD, LPDWORD lpcbReturned) {
  if (lpcbReturned) *lpcbReturned = 0;
  return Fail(ERROR_INVALID_PARAMETER);
}

BOOL SetPortTimeOuts(HANDLE, LPCOMMTIMEOUTS, DWORD) { return Fail(ERROR_NOT_SUPPORTED); }

void Shutdown(HANDLE hMonitor) {
  bool last = false;
  {
    SpoolerLock lock;
    MonitorHandle* monitor = LiveMonitor(hMonitor);
    if (!monitor) return;
    FreeAllPorts(*monitor);
    UnregisterMonitor(monitor);
    LocalFree(monitor);
    last = !HasLiveMonitors();
  }
  if (last) StopAddPortThread();
}

}  // namespace netmon
