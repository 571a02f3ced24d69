// The monitors the spooler has loaded: port monitors (which own ports) and
// language monitors (which stand in front of a port monitor for the printers
// whose driver names them). Both kinds of entry table are served.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/monitor/monitor.h"

namespace k460::spooler {

class LoadedMonitor {
 public:
  std::u16string name;
  std::u16string library;
  HMODULE module = nullptr;
  MONITOR2* table2 = nullptr;  // from InitializePrintMonitor2
  HANDLE hMonitor = nullptr;
  MONITOREX* tableEx = nullptr;  // from InitializePrintMonitor
  // The older table for a language monitor standing in front of this one.
  MONITOR legacy{};

  BOOL EnumPorts(DWORD level, LPBYTE ports, DWORD cbBuf, LPDWORD needed, LPDWORD returned) const;
  BOOL OpenPort(LPWSTR port, PHANDLE handle) const;
  BOOL AddPort(LPWSTR server, HWND hWnd, LPWSTR monitorName) const;
  BOOL ConfigurePort(LPWSTR server, HWND hWnd, LPWSTR port) const;
  BOOL DeletePort(LPWSTR server, HWND hWnd, LPWSTR port) const;
  bool IsLanguageMonitor() const;
  // The functions that take the port handle, whichever table they came from.
  PFN_StartDocPort StartDocPort() const;
  PFN_WritePort WritePort() const;
  PFN_EndDocPort EndDocPort() const;
  PFN_ClosePort ClosePort() const;
  PFN_OpenPortEx OpenPortEx() const;
};

// A port as EnumPorts lists it.
struct PortEntry {
  std::u16string name;
  std::u16string monitor;
  std::u16string description;
  DWORD type = PORT_TYPE_WRITE;
  const LoadedMonitor* owner = nullptr;  // null for the spooler's own file port
};

// Loads every registered monitor once (per machine root) and answers which
// monitor owns a port. Monitors that fail to load or start are reported in
// the spooler's log and left out.
LoadedMonitor* FindMonitor(std::u16string_view name);
std::vector<PortEntry> ListPorts();
const LoadedMonitor* PortOwner(std::u16string_view port);
bool IsFilePort(std::u16string_view port);

// Appends a line to <root>/spooler.log, the spooler's event log.
void LogSpoolerEvent(const std::string& text);

}  // namespace k460::spooler
