// The profile (INI file) functions of the operating-system stand-in.
// Sections and keys are compared without regard to case; a file name without
// a folder means the Windows folder ("C:\Windows\<name>"). Files in UTF-16LE
// (FF FE), UTF-8 (EF BB BF) or the machine's ANSI code page are read, and
// written back in the encoding they had; new files are written in the ANSI
// code page. Every write replaces the file at once (a new file renamed over
// the old one), so readers never see half a file.
#pragma once

#include "platform/base/base.h"

// The value's leading decimal digits with an optional sign ("42abc" is 42,
// "-7" is (UINT)-7, "x" is 0); nDefault when the key is missing or empty.
K460_API UINT GetPrivateProfileIntW(LPCWSTR lpAppName, LPCWSTR lpKeyName, INT nDefault, LPCWSTR lpFileName);

// The value, blanks trimmed and one pair of enclosing quotes removed, or
// lpDefault (trailing blanks removed) when the key is missing. A null
// section lists the section names, a null key the keys of the section: each
// name ends in a null character and the list in one more. A value that does
// not fit is cut to nSize - 1 characters and nSize - 1 is returned; a list
// that does not fit is cut, ended with two nulls, and nSize - 2 is returned.
K460_API DWORD GetPrivateProfileStringW(LPCWSTR lpAppName, LPCWSTR lpKeyName, LPCWSTR lpDefault,
                                        LPWSTR lpReturnedString, DWORD nSize, LPCWSTR lpFileName);

// Sets a value, creating the section and the file as needed. A null value
// deletes the key, a null key the whole section.
K460_API BOOL WritePrivateProfileStringW(LPCWSTR lpAppName, LPCWSTR lpKeyName, LPCWSTR lpString,
                                         LPCWSTR lpFileName);

// The section's "key=value" lines as a list like the name lists above.
K460_API DWORD GetPrivateProfileSectionW(LPCWSTR lpAppName, LPWSTR lpReturnedString, DWORD nSize,
                                         LPCWSTR lpFileName);

// Replaces the section's lines by the "key=value" list lpString (each ended
// by a null character, the list by one more); a null list deletes the section.
K460_API BOOL WritePrivateProfileSectionW(LPCWSTR lpAppName, LPCWSTR lpString, LPCWSTR lpFileName);
