// The print monitor interface: what the spooler hands a port monitor or a
// language monitor when it loads it, and the function tables they return.
#pragma once

#include <cstddef>

#include "platform/base/base.h"

struct PORT_INFO_1W {
  LPWSTR pName;
};
using PPORT_INFO_1W = PORT_INFO_1W*;

struct PORT_INFO_2W {
  LPWSTR pPortName;
  LPWSTR pMonitorName;
  LPWSTR pDescription;
  DWORD fPortType;
  DWORD Reserved;
};
using PPORT_INFO_2W = PORT_INFO_2W*;

struct PORT_INFO_3W {
  DWORD dwStatus;
  LPWSTR pszStatus;
  DWORD dwSeverity;
};
using PPORT_INFO_3W = PORT_INFO_3W*;

inline constexpr DWORD PORT_TYPE_WRITE = 0x0001;
inline constexpr DWORD PORT_TYPE_READ = 0x0002;
inline constexpr DWORD PORT_TYPE_REDIRECTED = 0x0004;
inline constexpr DWORD PORT_TYPE_NET_ATTACHED = 0x0008;

inline constexpr DWORD PORT_STATUS_TYPE_ERROR = 1;
inline constexpr DWORD PORT_STATUS_TYPE_WARNING = 2;
inline constexpr DWORD PORT_STATUS_TYPE_INFO = 3;

// The document a job starts with (StartDocPort level 1, StartDocPrinter level 1).
struct DOC_INFO_1W {
  LPWSTR pDocName;
  LPWSTR pOutputFile;
  LPWSTR pDatatype;
};
using PDOC_INFO_1W = DOC_INFO_1W*;

// Serial-style time-outs a port monitor may be asked to apply.
struct COMMTIMEOUTS {
  DWORD ReadIntervalTimeout;
  DWORD ReadTotalTimeoutMultiplier;
  DWORD ReadTotalTimeoutConstant;
  DWORD WriteTotalTimeoutMultiplier;
  DWORD WriteTotalTimeoutConstant;
};
using LPCOMMTIMEOUTS = COMMTIMEOUTS*;

// Registry access the spooler offers a monitor; our monitors use the plain
// registry functions, so only the opaque key type is carried.
using HKEYMONITOR = HANDLE;
struct MONITORREG;

struct MONITORINIT {
  DWORD cbSize;
  HANDLE hSpooler;
  HKEYMONITOR hckRegistryRoot;
  MONITORREG* pMonitorReg;
  BOOL bLocal;
  LPCWSTR pszServerName;
};
using PMONITORINIT = MONITORINIT*;

// Port functions. The first argument of the port-list functions is the
// server name (null: this machine).
using PFN_EnumPorts = BOOL (*)(LPWSTR pName, DWORD Level, LPBYTE pPorts, DWORD cbBuf, LPDWORD pcbNeeded,
                               LPDWORD pcReturned);
using PFN_OpenPort = BOOL (*)(LPWSTR pName, PHANDLE pHandle);
struct MONITOR;
using PFN_OpenPortEx = BOOL (*)(LPWSTR pPortName, LPWSTR pPrinterName, PHANDLE pHandle, MONITOR* pMonitor);
using PFN_StartDocPort = BOOL (*)(HANDLE hPort, LPWSTR pPrinterName, DWORD JobId, DWORD Level, LPBYTE pDocInfo);
using PFN_WritePort = BOOL (*)(HANDLE hPort, LPBYTE pBuffer, DWORD cbBuf, LPDWORD pcbWritten);
using PFN_ReadPort = BOOL (*)(HANDLE hPort, LPBYTE pBuffer, DWORD cbBuffer, LPDWORD pcbRead);
using PFN_EndDocPort = BOOL (*)(HANDLE hPort);
using PFN_ClosePort = BOOL (*)(HANDLE hPort);
using PFN_AddPort = BOOL (*)(LPWSTR pName, HWND hWnd, LPWSTR pMonitorName);
using PFN_AddPortEx = BOOL (*)(LPWSTR pName, DWORD Level, LPBYTE lpBuffer, LPWSTR lpMonitorName);
using PFN_ConfigurePort = BOOL (*)(LPWSTR pName, HWND hWnd, LPWSTR pPortName);
using PFN_DeletePort = BOOL (*)(LPWSTR pName, HWND hWnd, LPWSTR pPortName);
using PFN_GetPrinterDataFromPort = BOOL (*)(HANDLE hPort, DWORD ControlID, LPWSTR pValueName, LPWSTR lpInBuffer,
                                            DWORD cbInBuffer, LPWSTR lpOutBuffer, DWORD cbOutBuffer,
                                            LPDWORD lpcbReturned);
using PFN_SetPortTimeOuts = BOOL (*)(HANDLE hPort, LPCOMMTIMEOUTS lpCTO, DWORD reserved);
using PFN_XcvOpenPort = BOOL (*)(LPCWSTR pszObject, DWORD GrantedAccess, PHANDLE phXcv);
using PFN_XcvDataPort = DWORD (*)(HANDLE hXcv, LPCWSTR pszDataName, PBYTE pInputData, DWORD cbInputData,
                                  PBYTE pOutputData, DWORD cbOutputData, PDWORD pcbOutputNeeded);
using PFN_XcvClosePort = BOOL (*)(HANDLE hXcv);

// The older table, returned inside MONITOREX by InitializePrintMonitor.
struct MONITOR {
  PFN_EnumPorts pfnEnumPorts;
  PFN_OpenPort pfnOpenPort;
  PFN_OpenPortEx pfnOpenPortEx;
  PFN_StartDocPort pfnStartDocPort;
  PFN_WritePort pfnWritePort;
  PFN_ReadPort pfnReadPort;
  PFN_EndDocPort pfnEndDocPort;
  PFN_ClosePort pfnClosePort;
  PFN_AddPort pfnAddPort;
  PFN_AddPortEx pfnAddPortEx;
  PFN_ConfigurePort pfnConfigurePort;
  PFN_DeletePort pfnDeletePort;
  PFN_GetPrinterDataFromPort pfnGetPrinterDataFromPort;
  PFN_SetPortTimeOuts pfnSetPortTimeOuts;
  PFN_XcvOpenPort pfnXcvOpenPort;
  PFN_XcvDataPort pfnXcvDataPort;
  PFN_XcvClosePort pfnXcvClosePort;
};
using PMONITOR = MONITOR*;
using LPMONITOR = MONITOR*;

struct MONITOREX {
  DWORD dwMonitorSize;  // sizeof(MONITOR)
  MONITOR Monitor;
};
using PMONITOREX = MONITOREX*;
using LPMONITOREX = MONITOREX*;

// The newer table returned by InitializePrintMonitor2. Port functions of a
// MONITOR2 take the monitor's port handle as the spooler gave it.
using PFN_Shutdown = void (*)(HANDLE hMonitor);
struct MONITOR2 {
  DWORD cbSize;
  BOOL (*pfnEnumPorts)(HANDLE hMonitor, LPWSTR pName, DWORD Level, LPBYTE pPorts, DWORD cbBuf, LPDWORD pcbNeeded,
                       LPDWORD pcReturned);
  BOOL (*pfnOpenPort)(HANDLE hMonitor, LPWSTR pName, PHANDLE pHandle);
  BOOL (*pfnOpenPortEx)(HANDLE hMonitor, HANDLE hMonitorPort, LPWSTR pPortName, LPWSTR pPrinterName, PHANDLE pHandle,
                        MONITOR2* pMonitor2);
  PFN_StartDocPort pfnStartDocPort;
  PFN_WritePort pfnWritePort;
  PFN_ReadPort pfnReadPort;
  PFN_EndDocPort pfnEndDocPort;
  PFN_ClosePort pfnClosePort;
  BOOL (*pfnAddPort)(HANDLE hMonitor, LPWSTR pName, HWND hWnd, LPWSTR pMonitorName);
  BOOL (*pfnAddPortEx)(HANDLE hMonitor, LPWSTR pName, DWORD Level, LPBYTE lpBuffer, LPWSTR lpMonitorName);
  BOOL (*pfnConfigurePort)(HANDLE hMonitor, LPWSTR pName, HWND hWnd, LPWSTR pPortName);
  BOOL (*pfnDeletePort)(HANDLE hMonitor, LPWSTR pName, HWND hWnd, LPWSTR pPortName);
  PFN_GetPrinterDataFromPort pfnGetPrinterDataFromPort;
  PFN_SetPortTimeOuts pfnSetPortTimeOuts;
  BOOL (*pfnXcvOpenPort)(HANDLE hMonitor, LPCWSTR pszObject, DWORD GrantedAccess, PHANDLE phXcv);
  PFN_XcvDataPort pfnXcvDataPort;
  PFN_XcvClosePort pfnXcvClosePort;
  PFN_Shutdown pfnShutdown;
};
using PMONITOR2 = MONITOR2*;
using LPMONITOR2 = MONITOR2*;

// The size a monitor reports when its table ends after pfnShutdown (76 bytes
// where pointers are 4 bytes wide), and the size of the older table (136
// bytes where they are 8).
inline constexpr DWORD kMonitor2SizeThroughShutdown = offsetof(MONITOR2, pfnShutdown) + sizeof(void*);
inline constexpr DWORD kMonitorTableSize = sizeof(MONITOR);
static_assert(sizeof(void*) != 8 || (kMonitorTableSize == 136 && kMonitor2SizeThroughShutdown == 152));
static_assert(sizeof(void*) != 4 || (kMonitorTableSize == 68 && kMonitor2SizeThroughShutdown == 76));

// The entry points a monitor library exports.
using PFN_InitializePrintMonitor2 = MONITOR2* (*)(PMONITORINIT pMonitorInit, PHANDLE phMonitor);
using PFN_InitializePrintMonitor = LPMONITOREX (*)(LPWSTR pRegistryRoot);
