// Files, folders and temporary names of the operating-system stand-in.
// Windows paths ("C:\Windows\Temp\Mmr1A.tmp") live inside the machine root;
// every function answers like its Windows counterpart: FALSE, 0,
// INVALID_HANDLE_VALUE or an all-ones value on failure with the reason in the
// thread's last error.
#pragma once

#include "platform/base/base.h"

// ---- Errors met only by the file functions ---------------------------------

// ---- Opening -----------------------------------------------------------------
inline constexpr DWORD GENERIC_READ = 0x80000000;
inline constexpr DWORD GENERIC_WRITE = 0x40000000;
inline constexpr DWORD GENERIC_EXECUTE = 0x20000000;
inline constexpr DWORD GENERIC_ALL = 0x10000000;

inline constexpr DWORD FILE_SHARE_READ = 0x1;
inline constexpr DWORD FILE_SHARE_WRITE = 0x2;
inline constexpr DWORD FILE_SHARE_DELETE = 0x4;

inline constexpr DWORD CREATE_NEW = 1;
inline constexpr DWORD CREATE_ALWAYS = 2;
inline constexpr DWORD OPEN_EXISTING = 3;
inline constexpr DWORD OPEN_ALWAYS = 4;
inline constexpr DWORD TRUNCATE_EXISTING = 5;

inline constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x1;
inline constexpr DWORD FILE_ATTRIBUTE_HIDDEN = 0x2;
inline constexpr DWORD FILE_ATTRIBUTE_SYSTEM = 0x4;
inline constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
inline constexpr DWORD FILE_ATTRIBUTE_ARCHIVE = 0x20;
inline constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
inline constexpr DWORD FILE_ATTRIBUTE_TEMPORARY = 0x100;
inline constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;

inline constexpr DWORD FILE_FLAG_WRITE_THROUGH = 0x80000000;
inline constexpr DWORD FILE_FLAG_OVERLAPPED = 0x40000000;
inline constexpr DWORD FILE_FLAG_NO_BUFFERING = 0x20000000;
inline constexpr DWORD FILE_FLAG_RANDOM_ACCESS = 0x10000000;
inline constexpr DWORD FILE_FLAG_SEQUENTIAL_SCAN = 0x08000000;
inline constexpr DWORD FILE_FLAG_DELETE_ON_CLOSE = 0x04000000;

// Asynchronous input and output is not offered for files; the record is only
// named here so that ReadFile and WriteFile have their usual signatures.
struct OVERLAPPED;
using LPOVERLAPPED = OVERLAPPED*;

K460_API HANDLE CreateFileW(LPCWSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                            LPSECURITY_ATTRIBUTES lpSecurityAttributes, DWORD dwCreationDisposition,
                            DWORD dwFlagsAndAttributes, HANDLE hTemplateFile);

// ---- Reading and writing -----------------------------------------------------
inline constexpr DWORD FILE_BEGIN = 0;
inline constexpr DWORD FILE_CURRENT = 1;
inline constexpr DWORD FILE_END = 2;
inline constexpr DWORD INVALID_SET_FILE_POINTER = 0xFFFFFFFF;
inline constexpr DWORD INVALID_FILE_SIZE = 0xFFFFFFFF;

// ReadFile and WriteFile also serve the other readable objects of the
// platform (pipes); the remaining functions serve files only.
K460_API BOOL ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead, LPDWORD lpNumberOfBytesRead,
                       LPOVERLAPPED lpOverlapped);
K460_API BOOL WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite, LPDWORD lpNumberOfBytesWritten,
                        LPOVERLAPPED lpOverlapped);
K460_API BOOL FlushFileBuffers(HANDLE hFile);
K460_API DWORD SetFilePointer(HANDLE hFile, LONG lDistanceToMove, PLONG lpDistanceToMoveHigh, DWORD dwMoveMethod);
K460_API BOOL SetEndOfFile(HANDLE hFile);
K460_API DWORD GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh);

// ---- Files and folders by name -------------------------------------------------
inline constexpr DWORD MOVEFILE_REPLACE_EXISTING = 0x1;
inline constexpr DWORD MOVEFILE_COPY_ALLOWED = 0x2;
inline constexpr DWORD MOVEFILE_DELAY_UNTIL_REBOOT = 0x4;
inline constexpr DWORD MOVEFILE_WRITE_THROUGH = 0x8;

K460_API BOOL DeleteFileW(LPCWSTR lpFileName);
K460_API BOOL MoveFileW(LPCWSTR lpExistingFileName, LPCWSTR lpNewFileName);
K460_API BOOL MoveFileExW(LPCWSTR lpExistingFileName, LPCWSTR lpNewFileName, DWORD dwFlags);
K460_API BOOL CopyFileW(LPCWSTR lpExistingFileName, LPCWSTR lpNewFileName, BOOL bFailIfExists);
K460_API DWORD GetFileAttributesW(LPCWSTR lpFileName);
K460_API BOOL CreateDirectoryW(LPCWSTR lpPathName, LPSECURITY_ATTRIBUTES lpSecurityAttributes);
K460_API BOOL RemoveDirectoryW(LPCWSTR lpPathName);

// ---- Temporary files -----------------------------------------------------------
// The temporary folder with a trailing backslash. Both return the length
// without the terminator, or the size needed (terminator included) when the
// buffer is too short.
K460_API DWORD GetTempPathW(DWORD nBufferLength, LPWSTR lpBuffer);
// <path>\<up to 3 prefix characters><hexadecimal number>.tmp into a buffer of
// MAX_PATH characters. With uUnique 0 a number is chosen and the empty file
// is created; otherwise only the name is formed. Returns the number used.
K460_API UINT GetTempFileNameW(LPCWSTR lpPathName, LPCWSTR lpPrefixString, UINT uUnique, LPWSTR lpTempFileName);

// ---- Well-known folders --------------------------------------------------------
// Length without the terminator, or the size needed when uSize is too short.
K460_API UINT GetSystemDirectoryW(LPWSTR lpBuffer, UINT uSize);
K460_API UINT GetWindowsDirectoryW(LPWSTR lpBuffer, UINT uSize);
// The all-users profile folder ("C:\ProgramData"); *lpcchSize is the buffer
// size in, the length with its terminator out (also when it is too short).
K460_API BOOL GetAllUsersProfileDirectoryW(LPWSTR lpProfileDir, LPDWORD lpcchSize);


inline constexpr int CSIDL_PERSONAL = 0x0005;
inline constexpr int CSIDL_DESKTOPDIRECTORY = 0x0010;
inline constexpr int CSIDL_APPDATA = 0x001A;
inline constexpr int CSIDL_LOCAL_APPDATA = 0x001C;
inline constexpr int CSIDL_COMMON_APPDATA = 0x0023;
inline constexpr int CSIDL_WINDOWS = 0x0024;
inline constexpr int CSIDL_SYSTEM = 0x0025;
inline constexpr int CSIDL_PROFILE = 0x0028;
inline constexpr int CSIDL_COMMON_DOCUMENTS = 0x002E;
inline constexpr int CSIDL_FLAG_CREATE = 0x8000;
inline constexpr int CSIDL_FLAG_MASK = 0xFF00;
inline constexpr DWORD SHGFP_TYPE_CURRENT = 0;
inline constexpr DWORD SHGFP_TYPE_DEFAULT = 1;

// The folder into pszPath (MAX_PATH characters). Every folder that Windows
// keeps for a user or the machine always exists here: it is created when
// missing, with or without CSIDL_FLAG_CREATE.
K460_API HRESULT SHGetFolderPathW(HWND hwnd, int csidl, HANDLE hToken, DWORD dwFlags, LPWSTR pszPath);
