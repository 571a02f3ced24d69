// The registry: a tree of keys per hive, each key holding named, typed
// values. Functions return their error code as a LONG (ERROR_SUCCESS on
// success) and leave the thread's last error alone, as the system does.
//
// Names of keys and values are compared without regard to ASCII case and
// kept as they were first written. Value bytes are stored exactly as given:
// no terminator is added to or checked in string values.
#pragma once

#include "platform/base/base.h"

using REGSAM = DWORD;

// A path that begins with a backslash or has an empty component.

// ---- Predefined keys -------------------------------------------------------
// Sign-extended 32-bit values, as the system defines them on 64-bit hosts.
inline const HKEY HKEY_CLASSES_ROOT = reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(0x80000000)));
inline const HKEY HKEY_CURRENT_USER = reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(0x80000001)));
inline const HKEY HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(0x80000002)));
inline const HKEY HKEY_USERS = reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(0x80000003)));

// ---- Value types -----------------------------------------------------------
inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_EXPAND_SZ = 2;
inline constexpr DWORD REG_BINARY = 3;
inline constexpr DWORD REG_DWORD = 4;
inline constexpr DWORD REG_MULTI_SZ = 7;
inline constexpr DWORD REG_QWORD = 11;

// ---- Access rights of a key handle -----------------------------------------
inline constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
inline constexpr REGSAM KEY_SET_VALUE = 0x0002;
inline constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
inline constexpr REGSAM KEY_NOTIFY = 0x0010;
inline constexpr REGSAM KEY_CREATE_LINK = 0x0020;
inline constexpr REGSAM KEY_WOW64_64KEY = 0x0100;
inline constexpr REGSAM KEY_WOW64_32KEY = 0x0200;
// Standard rights (read control 0x20000, delete 0x10000, ...) combined with the above.
inline constexpr REGSAM KEY_READ = 0x00020019;
inline constexpr REGSAM KEY_EXECUTE = KEY_READ;
inline constexpr REGSAM KEY_WRITE = 0x00020006;
inline constexpr REGSAM KEY_ALL_ACCESS = 0x000F003F;

// ---- Key creation ------------------------------------------------------------
inline constexpr DWORD REG_OPTION_NON_VOLATILE = 0x0000;
inline constexpr DWORD REG_CREATED_NEW_KEY = 1;
inline constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// ---- Functions ---------------------------------------------------------------
// Opens lpSubKey below hKey, creating it and any missing keys on the way
// (which needs KEY_CREATE_SUB_KEY on hKey). Only REG_OPTION_NON_VOLATILE keys
// are supported; classes and security attributes are accepted and ignored.
K460_API LONG RegCreateKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD Reserved, LPWSTR lpClass, DWORD dwOptions,
                              REGSAM samDesired, const LPSECURITY_ATTRIBUTES lpSecurityAttributes, PHKEY phkResult,
                              LPDWORD lpdwDisposition);
// A null or empty lpSubKey opens a new handle to hKey's own key.
K460_API LONG RegOpenKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD ulOptions, REGSAM samDesired, PHKEY phkResult);
K460_API LONG RegCloseKey(HKEY hKey);

// A null lpData asks for type and size only; a short buffer gives
// ERROR_MORE_DATA with the required size in *lpcbData.
K460_API LONG RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData,
                               LPDWORD lpcbData);
K460_API LONG RegSetValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD Reserved, DWORD dwType, const BYTE* lpData,
                             DWORD cbData);
K460_API LONG RegDeleteValueW(HKEY hKey, LPCWSTR lpValueName);
// Deletes a key that has no subkeys (a key with subkeys: ERROR_ACCESS_DENIED).
K460_API LONG RegDeleteKeyW(HKEY hKey, LPCWSTR lpSubKey);

// Subkeys enumerate in the order of their upper-cased names, values in the
// order they were created. *lpcchName is the buffer's size in characters on
// the way in and the name's length without terminator on the way out.
K460_API LONG RegEnumKeyExW(HKEY hKey, DWORD dwIndex, LPWSTR lpName, LPDWORD lpcchName, LPDWORD lpReserved,
                            LPWSTR lpClass, LPDWORD lpcchClass, PFILETIME lpftLastWriteTime);
K460_API LONG RegEnumValueW(HKEY hKey, DWORD dwIndex, LPWSTR lpValueName, LPDWORD lpcchValueName,
                            LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData);
K460_API LONG RegQueryInfoKeyW(HKEY hKey, LPWSTR lpClass, LPDWORD lpcchClass, LPDWORD lpReserved,
                               LPDWORD lpcSubKeys, LPDWORD lpcbMaxSubKeyLen, LPDWORD lpcbMaxClassLen,
                               LPDWORD lpcValues, LPDWORD lpcbMaxValueNameLen, LPDWORD lpcbMaxValueLen,
                               LPDWORD lpcbSecurityDescriptor, PFILETIME lpftLastWriteTime);
// Every change is visible to other processes at once; this also forces the
// key's hive onto the disk.
K460_API LONG RegFlushKey(HKEY hKey);
