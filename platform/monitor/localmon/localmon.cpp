// The local port monitor: the parallel ports LPT1: to LPT3: and the USB
// ports USB001 to USB004; each is served by the device a host attached to it.
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/base/internal.h"
#include "platform/base/text.h"
#include "platform/monitor/monitor.h"
#include "platform/monitor/port_device.h"
#include "platform/spooler/pack.h"

namespace {

constexpr const char16_t* kPorts[] = {u"LPT1:", u"LPT2:", u"LPT3:", u"USB001", u"USB002", u"USB003", u"USB004"};
constexpr char16_t kMonitorName[] = u"Local Port";

struct LocalPort : k460::KernelObject {
  std::u16string name;
  std::shared_ptr<k460::PortDevice> device;
  bool inDoc = false;
};

std::shared_ptr<LocalPort> Port(HANDLE h) {
  auto port = k460::LookupHandleAs<LocalPort>(h);
  if (!port) SetLastError(ERROR_INVALID_HANDLE);
  return port;
}

bool Known(std::u16string_view name) {
  for (auto* p : kPorts)
    if (k460::EqualsNoCase(name, p)) return true;
  return false;
}

BOOL EnumPorts(LPWSTR, DWORD level, LPBYTE ports, DWORD cbBuf, LPDWORD needed, LPDWORD returned) {
  if (!needed || !returned) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *returned = 0;
  if (level != 1 && level != 2) {
    SetLastError(ERROR_INVALID_LEVEL);
    return FALSE;
  }
  constexpr std::size_t count = std::size(kPorts);
  BOOL ok = k460::spooler::PackInfo(ports, cbBuf, needed, count * (level == 1 ? sizeof(PORT_INFO_1W) : sizeof(PORT_INFO_2W)),
                                    [&](k460::spooler::Packer& p) {
                                      for (std::size_t i = 0; i < count; ++i) {
                                        if (level == 1) {
                                          p.Fixed<PORT_INFO_1W>(i)->pName = p.String(kPorts[i]);
                                        } else {
                                          auto* info = p.Fixed<PORT_INFO_2W>(i);
                                          info->pPortName = p.String(kPorts[i]);
                                          info->pMonitorName = p.String(kMonitorName);
                                          info->pDescription = p.String(u"Local Port");
                                          info->fPortType = PORT_TYPE_WRITE | PORT_TYPE_READ;
                                        }
                                      }
                                    });
  if (ok) *returned = count;
  return ok;
}

BOOL OpenPort(LPWSTR name, PHANDLE handle) {
  if (!name || !handle) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (!Known(name)) {
    SetLastError(ERROR_UNKNOWN_PORT);
    return FALSE;
  }
  auto port = std::make_shared<LocalPort>();
  port->name = name;
  port->device = k460::PortDeviceFor(port->name);
  *handle = k460::InsertHandle(port);
  return TRUE;
}

BOOL StartDocPort(HANDLE h, LPWSTR, DWORD, DWORD, LPBYTE) {
  auto port = Port(h);
  if (!port) return FALSE;
  port->device->StartDoc();
  port->inDoc = true;
  return TRUE;
}

BOOL WritePort(HANDLE h, LPBYTE data, DWORD size, LPDWORD written) {
  auto port = Port(h);
  if (!port) return FALSE;
  if (!written || (!data && size)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *written = 0;
  if (k460::CallFailsSetError("localmon.WritePort")) return FALSE;
  return port->device->Write(data, size, written);
}

BOOL ReadPort(HANDLE h, LPBYTE data, DWORD size, LPDWORD read) {
  auto port = Port(h);
  if (!port) return FALSE;
  if (!read || (!data && size)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return port->device->Read(data, size, read);
}

BOOL EndDocPort(HANDLE h) {
  auto port = Port(h);
  if (!port) return FALSE;
  if (port->inDoc) port->device->EndDoc();
  port->inDoc = false;
  return TRUE;
}

BOOL ClosePort(HANDLE h) {
  auto port = Port(h);
  if (!port) return FALSE;
  if (port->inDoc) port->device->EndDoc();
  k460::RemoveHandle(h);
  return TRUE;
}

BOOL GetPrinterDataFromPort(HANDLE h, DWORD controlId, LPWSTR, LPWSTR in, DWORD inSize, LPWSTR out, DWORD outSize,
                            LPDWORD returned) {
  auto port = Port(h);
  if (!port) return FALSE;
  if (controlId == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return port->device->Control(controlId, reinterpret_cast<const BYTE*>(in), inSize, reinterpret_cast<BYTE*>(out),
                               outSize, returned);
}

BOOL SetPortTimeOuts(HANDLE h, LPCOMMTIMEOUTS timeouts, DWORD) {
  auto port = Port(h);
  if (!port) return FALSE;
  if (!timeouts) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  port->device->SetTimeouts(*timeouts);
  return TRUE;
}

MONITOREX gMonitor = {
    sizeof(MONITOR),
    {EnumPorts, OpenPort, nullptr, StartDocPort, WritePort, ReadPort, EndDocPort, ClosePort, nullptr, nullptr,
     nullptr, nullptr, GetPrinterDataFromPort, SetPortTimeOuts, nullptr, nullptr, nullptr}};

}  // namespace

K460_API LPMONITOREX InitializePrintMonitor(LPWSTR pRegistryRoot) {
  if (!pRegistryRoot || !*pRegistryRoot) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return &gMonitor;
}
