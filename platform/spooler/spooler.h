// The print spooler's interface as the drivers, their user interfaces and
// the monitors call it: printers, printer data, drivers, jobs and ports.
#pragma once

#include "platform/base/base.h"
#include "platform/base/devmode.h"
#include "platform/monitor/monitor.h"
#include "platform/registry/registry.h"

using PSECURITY_DESCRIPTOR = void*;

struct SYSTEMTIME {
  WORD wYear;
  WORD wMonth;
  WORD wDayOfWeek;
  WORD wDay;
  WORD wHour;
  WORD wMinute;
  WORD wSecond;
  WORD wMilliseconds;
};

// ---- Printers --------------------------------------------------------------
inline constexpr DWORD PRINTER_ACCESS_ADMINISTER = 0x00000004;
inline constexpr DWORD PRINTER_ACCESS_USE = 0x00000008;
inline constexpr DWORD STANDARD_RIGHTS_REQUIRED = 0x000F0000;
inline constexpr DWORD PRINTER_ALL_ACCESS = STANDARD_RIGHTS_REQUIRED | PRINTER_ACCESS_ADMINISTER | PRINTER_ACCESS_USE;
inline constexpr DWORD PRINTER_READ = 0x00020008;

struct PRINTER_DEFAULTSW {
  LPWSTR pDatatype;
  LPDEVMODEW pDevMode;
  DWORD DesiredAccess;
};
using PPRINTER_DEFAULTSW = PRINTER_DEFAULTSW*;
using LPPRINTER_DEFAULTSW = PRINTER_DEFAULTSW*;

struct PRINTER_INFO_1W {
  DWORD Flags;
  LPWSTR pDescription;
  LPWSTR pName;
  LPWSTR pComment;
};

struct PRINTER_INFO_2W {
  LPWSTR pServerName;
  LPWSTR pPrinterName;
  LPWSTR pShareName;
  LPWSTR pPortName;
  LPWSTR pDriverName;
  LPWSTR pComment;
  LPWSTR pLocation;
  LPDEVMODEW pDevMode;
  LPWSTR pSepFile;
  LPWSTR pPrintProcessor;
  LPWSTR pDatatype;
  LPWSTR pParameters;
  PSECURITY_DESCRIPTOR pSecurityDescriptor;
  DWORD Attributes;
  DWORD Priority;
  DWORD DefaultPriority;
  DWORD StartTime;
  DWORD UntilTime;
  DWORD Status;
  DWORD cJobs;
  DWORD AveragePPM;
};
using PPRINTER_INFO_2W = PRINTER_INFO_2W*;

struct PRINTER_INFO_5W {
  LPWSTR pPrinterName;
  LPWSTR pPortName;
  DWORD Attributes;
  DWORD DeviceNotSelectedTimeout;
  DWORD TransmissionRetryTimeout;
};

// The per-printer default device mode (level 8: everyone's, level 9: the user's).
struct PRINTER_INFO_8W {
  LPDEVMODEW pDevMode;
};
using PRINTER_INFO_9W = PRINTER_INFO_8W;

inline constexpr DWORD PRINTER_ATTRIBUTE_QUEUED = 0x00000001;
inline constexpr DWORD PRINTER_ATTRIBUTE_DIRECT = 0x00000002;
inline constexpr DWORD PRINTER_ATTRIBUTE_DEFAULT = 0x00000004;
inline constexpr DWORD PRINTER_ATTRIBUTE_SHARED = 0x00000008;
inline constexpr DWORD PRINTER_ATTRIBUTE_NETWORK = 0x00000010;
inline constexpr DWORD PRINTER_ATTRIBUTE_HIDDEN = 0x00000020;
inline constexpr DWORD PRINTER_ATTRIBUTE_LOCAL = 0x00000040;
inline constexpr DWORD PRINTER_ATTRIBUTE_WORK_OFFLINE = 0x00000400;
inline constexpr DWORD PRINTER_ATTRIBUTE_ENABLE_BIDI = 0x00000800;
inline constexpr DWORD PRINTER_ATTRIBUTE_RAW_ONLY = 0x00001000;

inline constexpr DWORD PRINTER_STATUS_PAUSED = 0x00000001;
inline constexpr DWORD PRINTER_STATUS_ERROR = 0x00000002;
inline constexpr DWORD PRINTER_STATUS_PENDING_DELETION = 0x00000004;
inline constexpr DWORD PRINTER_STATUS_PAPER_JAM = 0x00000008;
inline constexpr DWORD PRINTER_STATUS_PAPER_OUT = 0x00000010;
inline constexpr DWORD PRINTER_STATUS_MANUAL_FEED = 0x00000020;
inline constexpr DWORD PRINTER_STATUS_PAPER_PROBLEM = 0x00000040;
inline constexpr DWORD PRINTER_STATUS_OFFLINE = 0x00000080;
inline constexpr DWORD PRINTER_STATUS_BUSY = 0x00000200;
inline constexpr DWORD PRINTER_STATUS_PRINTING = 0x00000400;
inline constexpr DWORD PRINTER_STATUS_NOT_AVAILABLE = 0x00001000;
inline constexpr DWORD PRINTER_STATUS_DOOR_OPEN = 0x00400000;

// SetPrinterW level 0 commands.
inline constexpr DWORD PRINTER_CONTROL_PAUSE = 1;
inline constexpr DWORD PRINTER_CONTROL_RESUME = 2;
inline constexpr DWORD PRINTER_CONTROL_PURGE = 3;
inline constexpr DWORD PRINTER_CONTROL_SET_STATUS = 4;

K460_API BOOL OpenPrinterW(LPWSTR pPrinterName, LPHANDLE phPrinter, LPPRINTER_DEFAULTSW pDefault);
K460_API BOOL ClosePrinter(HANDLE hPrinter);
K460_API BOOL GetPrinterW(HANDLE hPrinter, DWORD Level, LPBYTE pPrinter, DWORD cbBuf, LPDWORD pcbNeeded);
K460_API BOOL SetPrinterW(HANDLE hPrinter, DWORD Level, LPBYTE pPrinter, DWORD Command);

// Printer data: values kept with the printer. Results are error codes.
K460_API DWORD GetPrinterDataW(HANDLE hPrinter, LPWSTR pValueName, LPDWORD pType, LPBYTE pData, DWORD nSize,
                               LPDWORD pcbNeeded);
K460_API DWORD SetPrinterDataW(HANDLE hPrinter, LPWSTR pValueName, DWORD Type, LPBYTE pData, DWORD cbData);
K460_API DWORD DeletePrinterDataW(HANDLE hPrinter, LPWSTR pValueName);

// ---- Drivers ---------------------------------------------------------------
struct DRIVER_INFO_1W {
  LPWSTR pName;
};

struct DRIVER_INFO_2W {
  DWORD cVersion;
  LPWSTR pName;
  LPWSTR pEnvironment;
  LPWSTR pDriverPath;
  LPWSTR pDataFile;
  LPWSTR pConfigFile;
};

struct DRIVER_INFO_3W {
  DWORD cVersion;
  LPWSTR pName;
  LPWSTR pEnvironment;
  LPWSTR pDriverPath;
  LPWSTR pDataFile;
  LPWSTR pConfigFile;
  LPWSTR pHelpFile;
  LPWSTR pDependentFiles;  // a multi-string: each path NUL-terminated, an empty one last
  LPWSTR pMonitorName;
  LPWSTR pDefaultDataType;
};
using PDRIVER_INFO_3W = DRIVER_INFO_3W*;

K460_API BOOL GetPrinterDriverW(HANDLE hPrinter, LPWSTR pEnvironment, DWORD Level, LPBYTE pDriverInfo, DWORD cbBuf,
                                LPDWORD pcbNeeded);
K460_API BOOL GetPrinterDriverDirectoryW(LPWSTR pName, LPWSTR pEnvironment, DWORD Level, LPBYTE pDriverDirectory,
                                         DWORD cbBuf, LPDWORD pcbNeeded);

// ---- Jobs ------------------------------------------------------------------
struct JOB_INFO_1W {
  DWORD JobId;
  LPWSTR pPrinterName;
  LPWSTR pMachineName;
  LPWSTR pUserName;
  LPWSTR pDocument;
  LPWSTR pDatatype;
  LPWSTR pStatus;
  DWORD Status;
  DWORD Priority;
  DWORD Position;
  DWORD TotalPages;
  DWORD PagesPrinted;
  SYSTEMTIME Submitted;
};
using PJOB_INFO_1W = JOB_INFO_1W*;

struct JOB_INFO_2W {
  DWORD JobId;
  LPWSTR pPrinterName;
  LPWSTR pMachineName;
  LPWSTR pUserName;
  LPWSTR pDocument;
  LPWSTR pNotifyName;
  LPWSTR pDatatype;
  LPWSTR pPrintProcessor;
  LPWSTR pParameters;
  LPWSTR pDriverName;
  LPDEVMODEW pDevMode;
  LPWSTR pStatus;
  PSECURITY_DESCRIPTOR pSecurityDescriptor;
  DWORD Status;
  DWORD Priority;
  DWORD Position;
  DWORD StartTime;
  DWORD UntilTime;
  DWORD TotalPages;
  DWORD Size;
  SYSTEMTIME Submitted;
  DWORD Time;
  DWORD PagesPrinted;
};
using PJOB_INFO_2W = JOB_INFO_2W*;

inline constexpr DWORD JOB_CONTROL_PAUSE = 1;
inline constexpr DWORD JOB_CONTROL_RESUME = 2;
inline constexpr DWORD JOB_CONTROL_CANCEL = 3;
inline constexpr DWORD JOB_CONTROL_RESTART = 4;
inline constexpr DWORD JOB_CONTROL_DELETE = 5;
inline constexpr DWORD JOB_CONTROL_SENT_TO_PRINTER = 6;
inline constexpr DWORD JOB_CONTROL_LAST_PAGE_EJECTED = 7;

inline constexpr DWORD JOB_STATUS_PAUSED = 0x00000001;
inline constexpr DWORD JOB_STATUS_ERROR = 0x00000002;
inline constexpr DWORD JOB_STATUS_DELETING = 0x00000004;
inline constexpr DWORD JOB_STATUS_SPOOLING = 0x00000008;
inline constexpr DWORD JOB_STATUS_PRINTING = 0x00000010;
inline constexpr DWORD JOB_STATUS_OFFLINE = 0x00000020;
inline constexpr DWORD JOB_STATUS_PAPEROUT = 0x00000040;
inline constexpr DWORD JOB_STATUS_PRINTED = 0x00000080;
inline constexpr DWORD JOB_STATUS_DELETED = 0x00000100;
inline constexpr DWORD JOB_STATUS_BLOCKED_DEVQ = 0x00000200;
inline constexpr DWORD JOB_STATUS_USER_INTERVENTION = 0x00000400;
inline constexpr DWORD JOB_STATUS_RESTART = 0x00000800;
inline constexpr DWORD JOB_STATUS_COMPLETE = 0x00001000;

K460_API DWORD StartDocPrinterW(HANDLE hPrinter, DWORD Level, LPBYTE pDocInfo);
K460_API BOOL StartPagePrinter(HANDLE hPrinter);
// Hands printer output of the job to the spooler. *pcWritten receives the
// bytes taken; a cancelled job answers FALSE with ERROR_PRINT_CANCELLED.
K460_API BOOL WritePrinter(HANDLE hPrinter, LPVOID pBuf, DWORD cbBuf, LPDWORD pcWritten);
K460_API BOOL EndPagePrinter(HANDLE hPrinter);
K460_API BOOL EndDocPrinter(HANDLE hPrinter);
K460_API BOOL AbortPrinter(HANDLE hPrinter);
K460_API BOOL GetJobW(HANDLE hPrinter, DWORD JobId, DWORD Level, LPBYTE pJob, DWORD cbBuf, LPDWORD pcbNeeded);
K460_API BOOL SetJobW(HANDLE hPrinter, DWORD JobId, DWORD Level, LPBYTE pJob, DWORD Command);

// ---- Ports -----------------------------------------------------------------
K460_API BOOL EnumPortsW(LPWSTR pName, DWORD Level, LPBYTE pPorts, DWORD cbBuf, LPDWORD pcbNeeded,
                         LPDWORD pcReturned);
K460_API BOOL AddPortW(LPWSTR pName, HWND hWnd, LPWSTR pMonitorName);
K460_API BOOL ConfigurePortW(LPWSTR pName, HWND hWnd, LPWSTR pPortName);
K460_API BOOL DeletePortW(LPWSTR pName, HWND hWnd, LPWSTR pPortName);
K460_API BOOL SetPortW(LPWSTR pName, LPWSTR pPortName, DWORD dwLevel, LPBYTE pPortInfo);

// ---- Identity of the spooler's caller ---------------------------------------
// A monitor runs as the spooler; these switch between the spooler's own
// identity and the client's. Only recorded here.
K460_API HANDLE RevertToPrinterSelf();
K460_API BOOL ImpersonatePrinterClient(HANDLE hToken);
