// The monitor's entry points, as the spooler calls them through the table
// that InitializePrintMonitor2 returns.
#pragma once

#include "platform/monitor/monitor.h"

namespace netmon {

BOOL EnumPorts(HANDLE hMonitor, LPWSTR pName, DWORD Level, LPBYTE pPorts, DWORD cbBuf, LPDWORD pcbNeeded,
               LPDWORD pcReturned);
BOOL OpenPort(HANDLE hMonitor, LPWSTR pName, PHANDLE pHandle);
BOOL StartDocPort(HANDLE hPort, LPWSTR pPrinterName, DWORD JobId, DWORD Level, LPBYTE pDocInfo);
BOOL WritePort(HANDLE hPort, LPBYTE pBuffer, DWORD cbBuf, LPDWORD pcbWritten);
BOOL ReadPort(HANDLE hPort, LPBYTE pBuffer, DWORD cbBuffer, LPDWORD pcbRead);
BOOL EndDocPort(HANDLE hPort);
BOOL ClosePort(HANDLE hPort);
BOOL AddPort(HANDLE hMonitor, LPWSTR pName, HWND hWnd, LPWSTR pMonitorName);
BOOL AddPortEx(HANDLE hMonitor, LPWSTR pName, DWORD Level, LPBYTE lpBuffer, LPWSTR lpMonitorName);
BOOL ConfigurePort(HANDLE hMonitor, LPWSTR pName, HWND hWnd, LPWSTR pPortName);
BOOL DeletePort(HANDLE hMonitor, LPWSTR pName, HWND hWnd, LPWSTR pPortName);
BOOL GetPrinterDataFromPort(HANDLE hPort, DWORD ControlID, LPWSTR pValueName, LPWSTR lpInBuffer, DWORD cbInBuffer,
                            LPWSTR lpOutBuffer, DWORD cbOutBuffer, LPDWORD lpcbReturned);
BOOL SetPortTimeOuts(HANDLE hPort, LPCOMMTIMEOUTS lpCTO, DWORD reserved);
void Shutdown(HANDLE hMonitor);

// Builds the monitor handle from the Ports key; null when memory runs out.
HANDLE CreateMonitorHandle();

// Frees the spooler library that AddPort loaded (at unload).
void ReleaseSpoolerLibrary();

}  // namespace netmon
