// The base of the operating-system stand-in: error codes and the thread's
// last error, memory, wide strings, code pages, the machine profile, the
// clock and handle closing. Everything here has C linkage and follows the
// system's conventions: failure is FALSE, NULL or 0 with the reason in the
// thread's last error; nothing throws.
#pragma once

#include "platform/base/types.h"

// ---- Error codes -----------------------------------------------------------
inline constexpr DWORD ERROR_SUCCESS = 0;
inline constexpr DWORD NO_ERROR = 0;
inline constexpr DWORD ERROR_INVALID_FUNCTION = 1;
inline constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
inline constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
inline constexpr DWORD ERROR_TOO_MANY_OPEN_FILES = 4;
inline constexpr DWORD ERROR_ACCESS_DENIED = 5;
inline constexpr DWORD ERROR_INVALID_HANDLE = 6;
inline constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
inline constexpr DWORD ERROR_INVALID_DATA = 13;
inline constexpr DWORD ERROR_OUTOFMEMORY = 14;
inline constexpr DWORD ERROR_NOT_SAME_DEVICE = 17;
inline constexpr DWORD ERROR_NO_MORE_FILES = 18;
inline constexpr DWORD ERROR_NOT_READY = 21;
inline constexpr DWORD ERROR_WRITE_FAULT = 29;
inline constexpr DWORD ERROR_READ_FAULT = 30;
inline constexpr DWORD ERROR_GEN_FAILURE = 31;
inline constexpr DWORD ERROR_SHARING_VIOLATION = 32;
inline constexpr DWORD ERROR_HANDLE_EOF = 38;
inline constexpr DWORD ERROR_NOT_SUPPORTED = 50;
inline constexpr DWORD ERROR_PRINT_CANCELLED = 63;
inline constexpr DWORD ERROR_FILE_EXISTS = 80;
inline constexpr DWORD ERROR_INVALID_PARAMETER = 87;
inline constexpr DWORD ERROR_BROKEN_PIPE = 109;
inline constexpr DWORD ERROR_BUFFER_OVERFLOW = 111;
inline constexpr DWORD ERROR_DISK_FULL = 112;
inline constexpr DWORD ERROR_SEM_TIMEOUT = 121;
inline constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
inline constexpr DWORD ERROR_INVALID_NAME = 123;
inline constexpr DWORD ERROR_INVALID_LEVEL = 124;
inline constexpr DWORD ERROR_MOD_NOT_FOUND = 126;
inline constexpr DWORD ERROR_PROC_NOT_FOUND = 127;
inline constexpr DWORD ERROR_NEGATIVE_SEEK = 131;
inline constexpr DWORD ERROR_DIR_NOT_EMPTY = 145;
inline constexpr DWORD ERROR_BAD_PATHNAME = 161;
inline constexpr DWORD ERROR_BUSY = 170;
inline constexpr DWORD ERROR_ALREADY_EXISTS = 183;
inline constexpr DWORD ERROR_BAD_EXE_FORMAT = 193;
inline constexpr DWORD ERROR_ENVVAR_NOT_FOUND = 203;
inline constexpr DWORD ERROR_FILENAME_EXCED_RANGE = 206;
inline constexpr DWORD ERROR_PIPE_BUSY = 231;
inline constexpr DWORD ERROR_NO_DATA = 232;
inline constexpr DWORD ERROR_PIPE_NOT_CONNECTED = 233;
inline constexpr DWORD ERROR_MORE_DATA = 234;
inline constexpr DWORD WAIT_TIMEOUT = 258;
inline constexpr DWORD ERROR_NO_MORE_ITEMS = 259;
inline constexpr DWORD ERROR_DIRECTORY = 267;
inline constexpr DWORD ERROR_NOT_OWNER = 288;
inline constexpr DWORD ERROR_TOO_MANY_POSTS = 298;
inline constexpr DWORD ERROR_PIPE_CONNECTED = 535;
inline constexpr DWORD ERROR_IO_PENDING = 997;
inline constexpr DWORD ERROR_NOACCESS = 998;
inline constexpr DWORD ERROR_INVALID_FLAGS = 1004;
inline constexpr DWORD ERROR_BADDB = 1009;
inline constexpr DWORD ERROR_BADKEY = 1010;
inline constexpr DWORD ERROR_CANTOPEN = 1011;
inline constexpr DWORD ERROR_CANTREAD = 1012;
inline constexpr DWORD ERROR_CANTWRITE = 1013;
inline constexpr DWORD ERROR_KEY_DELETED = 1018;
inline constexpr DWORD ERROR_NO_UNICODE_TRANSLATION = 1113;
inline constexpr DWORD ERROR_NOT_FOUND = 1168;
inline constexpr DWORD ERROR_CANCELLED = 1223;
inline constexpr DWORD ERROR_INVALID_WINDOW_HANDLE = 1400;
inline constexpr DWORD ERROR_TIMEOUT = 1460;
inline constexpr DWORD ERROR_INVALID_MSGBOX_STYLE = 1582;
inline constexpr DWORD ERROR_INVALID_USER_BUFFER = 1784;
inline constexpr DWORD ERROR_UNKNOWN_PORT = 1796;
inline constexpr DWORD ERROR_UNKNOWN_PRINTER_DRIVER = 1797;
inline constexpr DWORD ERROR_INVALID_PRINTER_NAME = 1801;
inline constexpr DWORD ERROR_SPL_NO_STARTDOC = 3003;
inline constexpr DWORD ERROR_PRINTER_ALREADY_EXISTS = 1802;
inline constexpr DWORD ERROR_INVALID_PRINTER_COMMAND = 1803;
inline constexpr DWORD ERROR_INVALID_DATATYPE = 1804;
inline constexpr DWORD ERROR_INVALID_ENVIRONMENT = 1805;
inline constexpr DWORD ERROR_RESOURCE_DATA_NOT_FOUND = 1812;
inline constexpr DWORD ERROR_RESOURCE_TYPE_NOT_FOUND = 1813;
inline constexpr DWORD ERROR_RESOURCE_NAME_NOT_FOUND = 1814;
inline constexpr DWORD ERROR_RESOURCE_LANG_NOT_FOUND = 1815;
inline constexpr DWORD ERROR_UNKNOWN_PRINT_MONITOR = 3000;
inline constexpr DWORD ERROR_PRINTER_DRIVER_IN_USE = 3001;
inline constexpr DWORD ERROR_PRINT_MONITOR_ALREADY_INSTALLED = 3006;
inline constexpr DWORD ERROR_INVALID_PRINT_MONITOR = 3007;
inline constexpr DWORD ERROR_PRINT_MONITOR_IN_USE = 3008;
inline constexpr DWORD ERROR_PRINTER_HAS_JOBS_QUEUED = 3009;

// COM-style results of the shell functions.
using HRESULT = LONG;
inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005);
inline constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057);
inline constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
inline constexpr bool FAILED(HRESULT hr) { return hr < 0; }

K460_API DWORD GetLastError();
K460_API void SetLastError(DWORD dwErrCode);

// ---- Memory ----------------------------------------------------------------
// Blocks are always fixed; a moveable block's handle is its address, so that
// GlobalLock hands back the same pointer.
inline constexpr UINT GMEM_FIXED = 0x0000;
inline constexpr UINT GMEM_MOVEABLE = 0x0002;
inline constexpr UINT GMEM_ZEROINIT = 0x0040;
inline constexpr UINT GPTR = GMEM_FIXED | GMEM_ZEROINIT;
inline constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;
inline constexpr UINT LMEM_FIXED = 0x0000;
inline constexpr UINT LMEM_MOVEABLE = 0x0002;
inline constexpr UINT LMEM_ZEROINIT = 0x0040;
inline constexpr UINT LPTR = LMEM_FIXED | LMEM_ZEROINIT;
inline constexpr UINT LHND = LMEM_MOVEABLE | LMEM_ZEROINIT;

K460_API HGLOBAL GlobalAlloc(UINT uFlags, SIZE_T dwBytes);
K460_API HGLOBAL GlobalFree(HGLOBAL hMem);
K460_API LPVOID GlobalLock(HGLOBAL hMem);
K460_API BOOL GlobalUnlock(HGLOBAL hMem);
K460_API SIZE_T GlobalSize(HGLOBAL hMem);
K460_API HLOCAL LocalAlloc(UINT uFlags, SIZE_T uBytes);
K460_API HLOCAL LocalFree(HLOCAL hMem);
K460_API SIZE_T LocalSize(HLOCAL hMem);

// ---- Wide strings ----------------------------------------------------------
K460_API int lstrlenW(LPCWSTR lpString);
K460_API int lstrlenA(LPCSTR lpString);
K460_API LPWSTR lstrcpyW(LPWSTR lpDst, LPCWSTR lpSrc);
K460_API LPWSTR lstrcpynW(LPWSTR lpDst, LPCWSTR lpSrc, int iMaxLength);
K460_API LPWSTR lstrcatW(LPWSTR lpDst, LPCWSTR lpSrc);
K460_API int lstrcmpW(LPCWSTR a, LPCWSTR b);
K460_API int lstrcmpiW(LPCWSTR a, LPCWSTR b);

// ---- Code pages ------------------------------------------------------------
inline constexpr UINT CP_ACP = 0;
inline constexpr UINT CP_OEMCP = 1;
inline constexpr UINT CP_THREAD_ACP = 3;
inline constexpr UINT CP_UTF8 = 65001;
inline constexpr DWORD MB_PRECOMPOSED = 0x0001;
inline constexpr DWORD MB_ERR_INVALID_CHARS = 0x0008;
inline constexpr DWORD WC_NO_BEST_FIT_CHARS = 0x0400;
inline constexpr DWORD WC_ERR_INVALID_CHARS = 0x0080;

// Code pages 932 (Japanese), 1252 (Western) and UTF-8. Unmappable characters
// become the default character ("?" unless the caller gives one) and raise
// *lpUsedDefaultChar.
K460_API int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte,
                                 LPWSTR lpWideCharStr, int cchWideChar);
K460_API int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar,
                                 LPSTR lpMultiByteStr, int cbMultiByte, LPCSTR lpDefaultChar,
                                 LPBOOL lpUsedDefaultChar);
K460_API BOOL IsDBCSLeadByteEx(UINT CodePage, BYTE TestChar);

// ---- Machine profile -------------------------------------------------------
struct OSVERSIONINFOW {
  DWORD dwOSVersionInfoSize;
  DWORD dwMajorVersion;
  DWORD dwMinorVersion;
  DWORD dwBuildNumber;
  DWORD dwPlatformId;
  WCHAR szCSDVersion[128];
};
static_assert(sizeof(OSVERSIONINFOW) == 276);
inline constexpr DWORD VER_PLATFORM_WIN32_NT = 2;

K460_API UINT GetACP();
K460_API UINT GetOEMCP();
K460_API LANGID GetUserDefaultLangID();
K460_API LANGID GetSystemDefaultLangID();
K460_API BOOL GetVersionExW(OSVERSIONINFOW* lpVersionInformation);
K460_API BOOL GetUserNameW(LPWSTR lpBuffer, LPDWORD pcbBuffer);
K460_API BOOL GetComputerNameW(LPWSTR lpBuffer, LPDWORD nSize);
K460_API BOOL IsUserAnAdmin();
K460_API DWORD GetEnvironmentVariableW(LPCWSTR lpName, LPWSTR lpBuffer, DWORD nSize);
K460_API DWORD GetCurrentProcessId();
K460_API DWORD GetCurrentThreadId();

// ---- Clock -----------------------------------------------------------------
// Real in hosts; virtual in tests, where Sleep advances time at once.
K460_API void Sleep(DWORD dwMilliseconds);
K460_API DWORD GetTickCount();
K460_API ULONGLONG GetTickCount64();
K460_API void GetSystemTimeAsFileTime(LPFILETIME lpSystemTimeAsFileTime);

// ---- Handles ---------------------------------------------------------------
K460_API BOOL CloseHandle(HANDLE hObject);
