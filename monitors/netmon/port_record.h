// The monitor handle and its port records: one record per device port, in a
// singly linked list in creation order. Records and the handle are touched
// only under the spooler semaphore.
#pragma once

#include <cstddef>
#include <string_view>

#include "platform/base/base.h"

namespace netmon {

// Port status bits.
inline constexpr DWORD PP_DEVICE_JOB = 0x00000001;        // a job runs on this device port
inline constexpr DWORD PP_OPEN = 0x00000010;              // OpenPort to ClosePort
inline constexpr DWORD PP_STARTDOC = 0x00000020;          // StartDocPort to EndDocPort
inline constexpr DWORD PP_NON_ERRORMESSAGE = 0x00004000;  // the job shows no error messages
inline constexpr DWORD PP_JOB_CANCELLED = 0x00080000;     // the monitor cancelled the job

struct IniJob;  // the job of a port, while one runs

inline constexpr char kPortSignature[4] = {'S', 'W', 'P', 'T'};
inline constexpr std::size_t kAddressCapacity = 64;  // characters of the IP address, terminator included

struct IniPort {
  char signature[4];  // "SWPT"
  DWORD size;         // bytes allocated for the record and its name
  IniPort* pNext;
  LPWSTR pName;  // points to the name storage behind the record
  DWORD status;
  IniJob* pIniJob;
  WCHAR szIpAddress[kAddressCapacity];  // the port name without its first four characters
  BOOL bDbgTraceOut;
  // The port name follows, NUL-terminated.
};

struct MonitorHandle {
  IniPort* pIniFirstPort;
};

// Appends a zeroed record named `name`; null when memory runs out.
IniPort* AppendPort(MonitorHandle& monitor, std::u16string_view name);
// The record of that name, compared without regard to case; null if none.
IniPort* FindPort(const MonitorHandle& monitor, std::u16string_view name);
// Unlinks and frees the record of that name (case-insensitive); false if none.
bool RemovePort(MonitorHandle& monitor, std::u16string_view name);
void FreeAllPorts(MonitorHandle& monitor);
DWORD CountPorts(const MonitorHandle& monitor);

// Whether `handle` is a port record of a live monitor handle (handles come
// back from the spooler and are checked before use).
IniPort* LivePort(HANDLE handle);
void RegisterMonitor(MonitorHandle* monitor);
void UnregisterMonitor(MonitorHandle* monitor);
bool IsLiveMonitor(HANDLE handle);
bool HasLiveMonitors();

}  // namespace netmon
