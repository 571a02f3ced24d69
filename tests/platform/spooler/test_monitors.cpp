// Monitors for the spooler tests. Built twice: as a port monitor entered
// through InitializePrintMonitor2 (TEST_PORT_MONITOR) and as a language
// monitor entered through InitializePrintMonitor, which passes every byte on
// to the port monitor below it.
#include <cstring>
#include <mutex>

#include "platform/base/internal.h"
#include "platform/base/text.h"
#include "platform/monitor/monitor.h"
#include "platform/spooler/pack.h"
#include "platform/spooler/spooler.h"
#include "tests/platform/spooler/test_monitors.h"

namespace {

TestMonitorRecord gRecord;
std::mutex gMutex;

void Event(const std::string& line) {
  std::lock_guard lock(gMutex);
  gRecord.events += line + "\n";
}

struct Port {
  std::u16string name;
  std::u16string printer;
  DWORD jobId = 0;
  int writes = 0;
  HANDLE below = nullptr;  // the language monitor's port handle of the monitor below
  MONITOR belowTable{};
};

Port* AsPort(HANDLE h) { return static_cast<Port*>(h); }

BOOL StartDocPort(HANDLE h, LPWSTR printer, DWORD jobId, DWORD level, LPBYTE doc) {
  Port* port = AsPort(h);
  port->printer = printer;
  port->jobId = jobId;
  port->writes = 0;
  Event("StartDocPort " + k460::Utf16ToUtf8(port->name) + " job " + std::to_string(jobId));
  if (port->below) return port->belowTable.pfnStartDocPort(port->below, printer, jobId, level, doc);
  return TRUE;
}

void CheckJob(Port* port) {
  HANDLE printer = nullptr;
  if (!OpenPrinterW(port->printer.data(), &printer, nullptr)) return;
  DWORD needed = 0;
  GetJobW(printer, port->jobId, 1, nullptr, 0, &needed);
  std::vector<BYTE> buffer(needed);
  if (needed && GetJobW(printer, port->jobId, 1, buffer.data(), needed, &needed)) {
    auto* info = reinterpret_cast<JOB_INFO_1W*>(buffer.data());
    if (info->Status & JOB_STATUS_DELETING) gRecord.sawDeleting = true;
  }
  ClosePrinter(printer);
}

void DeleteJob(Port* port) {
  HANDLE printer = nullptr;
  if (!OpenPrinterW(port->printer.data(), &printer, nullptr)) return;
  SetJobW(printer, port->jobId, 0, nullptr, JOB_CONTROL_DELETE);
  ClosePrinter(printer);
}

#ifdef TEST_PORT_MONITOR
constexpr char kWriteCall[] = "TestPortMonitor.WritePort";
#else
constexpr char kWriteCall[] = "TestLanguageMonitor.WritePort";
#endif

BOOL WritePort(HANDLE h, LPBYTE data, DWORD size, LPDWORD written) {
  Port* port = AsPort(h);
  *written = 0;
  k460::CallFails(kWriteCall, nullptr, std::string(reinterpret_cast<const char*>(data), size));
  if (gRecord.failWrites) {
    SetLastError(ERROR_NOT_READY);
    return FALSE;
  }
  DWORD take = gRecord.writeLimit > 0 ? std::min<DWORD>(size, gRecord.writeLimit) : size;
  if (port->below) {
    if (!port->belowTable.pfnWritePort(port->below, data, take, written)) return FALSE;
    take = *written;
  }
  {
    std::lock_guard lock(gMutex);
    gRecord.data.append(reinterpret_cast<const char*>(data), take);
  }
  *written = take;
  ++port->writes;
  if (gRecord.deleteJobAfterWrites >= 0) {
    if (port->writes == gRecord.deleteJobAfterWrites) DeleteJob(port);
    CheckJob(port);
  }
  return TRUE;
}

BOOL EndDocPort(HANDLE h) {
  Port* port = AsPort(h);
  CheckJob(port);
  Event("EndDocPort " + k460::Utf16ToUtf8(port->name));
  if (port->below) return port->belowTable.pfnEndDocPort(port->below);
  return TRUE;
}

BOOL ClosePort(HANDLE h) {
  Port* port = AsPort(h);
  Event("ClosePort " + k460::Utf16ToUtf8(port->name));
  BOOL ok = port->below ? port->belowTable.pfnClosePort(port->below) : TRUE;
  delete port;
  return ok;
}

BOOL ReadPort(HANDLE, LPBYTE, DWORD, LPDWORD read) {
  *read = 0;
  return TRUE;
}

#ifdef TEST_PORT_MONITOR

BOOL EnumPorts(HANDLE, LPWSTR, DWORD level, LPBYTE ports, DWORD cbBuf, LPDWORD needed, LPDWORD returned) {
  Event("EnumPorts " + std::to_string(level));
  *returned = 0;
  const auto& names = gRecord.ports;
  BOOL ok = k460::spooler::PackInfo(ports, cbBuf, needed,
                                    names.size() * (level == 1 ? sizeof(PORT_INFO_1W) : sizeof(PORT_INFO_2W)),
                                    [&](k460::spooler::Packer& p) {
                                      for (std::size_t i = 0; i < names.size(); ++i) {
                                        if (level == 1) {
                                          p.Fixed<PORT_INFO_1W>(i)->pName = p.String(names[i]);
                                        } else {
                                          auto* info = p.Fixed<PORT_INFO_2W>(i);
                                          info->pPortName = p.String(names[i]);
                                          info->pMonitorName = p.String(u"Test Port Monitor");
                                          info->pDescription = p.String(u"Test port");
                                          info->fPortType = PORT_TYPE_WRITE;
                                        }
                                      }
                                    });
  if (ok) *returned = static_cast<DWORD>(names.size());
  return ok;
}

BOOL OpenPort(HANDLE, LPWSTR name, PHANDLE handle) {
  Event("OpenPort " + k460::Utf16ToUtf8(name));
  auto* port = new Port();
  port->name = name;
  *handle = port;
  return TRUE;
}

BOOL AddPort(HANDLE, LPWSTR, HWND, LPWSTR monitorName) {
  Event("AddPort " + k460::Utf16ToUtf8(monitorName));
  gRecord.ports.push_back(u"TEST" + k460::Utf8ToUtf16(std::to_string(gRecord.ports.size() + 1)) + u":");
  return TRUE;
}

BOOL ConfigurePort(HANDLE, LPWSTR, HWND, LPWSTR port) {
  Event("ConfigurePort " + k460::Utf16ToUtf8(port));
  return TRUE;
}

void Shutdown(HANDLE) { Event("Shutdown"); }

MONITOR2 gTable = {sizeof(MONITOR2), EnumPorts, OpenPort, nullptr, StartDocPort, WritePort, ReadPort, EndDocPort,
                   ClosePort, AddPort, nullptr, ConfigurePort, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                   Shutdown};

}  // namespace

K460_API MONITOR2* InitializePrintMonitor2(PMONITORINIT init, PHANDLE monitor) {
  if (!init || !init->bLocal) return nullptr;
  gRecord.ports = {u"TEST1:", u"TEST2:"};
  *monitor = reinterpret_cast<HANDLE>(&gRecord);
  return &gTable;
}

#else

BOOL OpenPortEx(LPWSTR name, LPWSTR printer, PHANDLE handle, MONITOR* below) {
  Event("OpenPortEx " + k460::Utf16ToUtf8(name) + " for " + k460::Utf16ToUtf8(printer));
  auto* port = new Port();
  port->name = name;
  port->belowTable = *below;
  if (!below->pfnOpenPort || !below->pfnOpenPort(name, &port->below)) {
    delete port;
    return FALSE;
  }
  *handle = port;
  return TRUE;
}

MONITOREX gTable = {sizeof(MONITOR),
                    {nullptr, nullptr, OpenPortEx, StartDocPort, WritePort, ReadPort, EndDocPort, ClosePort, nullptr,
                     nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr}};

}  // namespace

K460_API LPMONITOREX InitializePrintMonitor(LPWSTR root) {
  if (!root || !*root) return nullptr;
  return &gTable;
}

#endif

K460_API TestMonitorRecord* TestMonitorRecordOf() { return &gRecord; }
