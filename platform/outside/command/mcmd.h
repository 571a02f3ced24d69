// The command object of the command libraries "qtxnpxml.dll" and
// "qtxupxml.dll": a device command built as a tree of elements named by
// indexes into a key table, with named request parameters and one attached
// file; and, after a post, the device's answer as a list of elements in
// document order that are read back by key. Callers bind the functions by
// ordinal.
//
// Texts go in and come out in the ANSI code page; on the wire they are
// UTF-8. A command object is used by one thread at a time.
//
// Failures answer FALSE / NULL / -1 with the reason in the thread's last
// error: ERROR_INVALID_HANDLE for a command object that is not one (never
// created, or deleted); ERROR_INVALID_PARAMETER for a key outside the table
// or naming an empty entry, a null text, a bad name or digit count, an
// element call with no element open; ERROR_BUFFER_OVERFLOW when the
// command grows past its limits; ERROR_FILE_NOT_FOUND for a file to attach
// that does not exist; ERROR_NOT_FOUND when the answer has no such element.
#pragma once

#include "platform/base/types.h"

// Limits of one command object; beyond them the call fails with
// ERROR_BUFFER_OVERFLOW and the object stays as it was.
inline constexpr DWORD MCMD_MAX_KEYS = 1024;         // entries of a key table
inline constexpr DWORD MCMD_MAX_NAME = 255;          // bytes of a key or parameter name
inline constexpr DWORD MCMD_MAX_TEXT = 65535;        // bytes of one value
inline constexpr DWORD MCMD_MAX_ELEMENTS = 4096;     // elements of one tree
inline constexpr DWORD MCMD_MAX_DEPTH = 32;          // open elements at once
inline constexpr DWORD MCMD_MAX_PARAMS = 256;        // parameters of one command
inline constexpr DWORD MCMD_MAX_FILE = 256u << 20;   // bytes of the attached file

// The modes of McmdSetMode: what kind of command the tree is. The device
// takes server queries (the fax user list) in mode 1 and job commands in
// mode 2; the mode travels with the tree.
inline constexpr LONG MCMD_MODE_SERVER = 1;
inline constexpr LONG MCMD_MODE_JOB = 2;

// The key of McmdGetAnswer and McmdGetNextAnswer that matches any element.
inline constexpr LONG MCMD_ANY_ELEMENT = -1;

// ---- Ordinals ----------------------------------------------------------------
inline constexpr WORD ORD_McmdCreateCommandObject = 101;
inline constexpr WORD ORD_McmdDeleteCommandObject = 102;
inline constexpr WORD ORD_McmdClear = 103;
inline constexpr WORD ORD_McmdAttachFile = 110;
inline constexpr WORD ORD_McmdSetMode = 111;
inline constexpr WORD ORD_McmdAddParamString = 112;
inline constexpr WORD ORD_McmdAddParamNumber = 113;
inline constexpr WORD ORD_McmdAddParamHex = 114;
inline constexpr WORD ORD_McmdBeginElement = 116;
inline constexpr WORD ORD_McmdEndElement = 117;
inline constexpr WORD ORD_McmdAddString = 118;
inline constexpr WORD ORD_McmdAddNumber = 119;
inline constexpr WORD ORD_McmdAddHex = 120;
inline constexpr WORD ORD_McmdGetAnswer = 121;
inline constexpr WORD ORD_McmdGetNextAnswer = 122;
inline constexpr WORD ORD_McmdGetAnswerKey = 126;
inline constexpr WORD ORD_McmdGetAnswerText = 128;
inline constexpr WORD ORD_McmdStringToNumber = 130;
inline constexpr WORD ORD_McmdHexToNumber = 132;

// ---- Function types (what GetProcAddress by ordinal is cast to) ------------
// A new, empty command object (mode 2) over a copy of `keyTable`: names
// indexed by key, "" for an unused entry, ended by a null pointer.
typedef HANDLE(WINAPI* PFN_McmdCreateCommandObject)(const LPCSTR* keyTable);
typedef BOOL(WINAPI* PFN_McmdDeleteCommandObject)(HANDLE hCmd);
// Empties the tree, the parameters, the attached file and the answer; the
// mode stays.
typedef BOOL(WINAPI* PFN_McmdClear)(HANDLE hCmd);
// The file (a path in the ANSI code page) that the next post uploads; it is
// read when the command is posted. Sent under its file name, without folder.
typedef BOOL(WINAPI* PFN_McmdAttachFile)(HANDLE hCmd, LPCSTR pszPath);
typedef BOOL(WINAPI* PFN_McmdSetMode)(HANDLE hCmd, LONG nMode);
// Named request parameters, sent in the order they were added. Names are
// letters, digits, '_' and '-'; a name added again replaces its value.
typedef BOOL(WINAPI* PFN_McmdAddParamString)(HANDLE hCmd, LPCSTR pszName, LPCSTR pszValue);
typedef BOOL(WINAPI* PFN_McmdAddParamNumber)(HANDLE hCmd, LPCSTR pszName, LONG nValue);
// Upper-case hexadecimal, at least `nDigits` (1 to 8) digits, zero-padded.
typedef BOOL(WINAPI* PFN_McmdAddParamHex)(HANDLE hCmd, LPCSTR pszName, DWORD nValue, LONG nDigits);
// Opens an element inside the innermost open one (or as the tree's root).
// A tree has one root: a second one is refused. Nonzero when opened.
typedef BOOL(WINAPI* PFN_McmdBeginElement)(HANDLE hCmd, LONG nKey);
// Closes the innermost open element; FALSE when none is open.
typedef BOOL(WINAPI* PFN_McmdEndElement)(HANDLE hCmd);
// Value elements inside the innermost open element.
typedef BOOL(WINAPI* PFN_McmdAddString)(HANDLE hCmd, LONG nKey, LPCSTR pszText);
typedef BOOL(WINAPI* PFN_McmdAddNumber)(HANDLE hCmd, LONG nKey, LONG nValue);
typedef BOOL(WINAPI* PFN_McmdAddHex)(HANDLE hCmd, LONG nKey, DWORD nValue, LONG nDigits);
// The answer of the last post, element by element in document order (the
// root first). GetAnswer: the first element with the key's name, or the
// root for MCMD_ANY_ELEMENT; GetNextAnswer: the next one after the element
// last returned, with that name or of any name. The result is the element's
// text ("" for an element that holds only elements) and stands for the
// element in GetAnswerKey and GetAnswerText; it stays valid until the next
// post, McmdClear or McmdDeleteCommandObject. NULL when there is none.
typedef LPCSTR(WINAPI* PFN_McmdGetAnswer)(HANDLE hCmd, LONG nKey);
typedef LPCSTR(WINAPI* PFN_McmdGetNextAnswer)(HANDLE hCmd, LONG nKey);
// The key of an answer element: the index of its name in the key table, or
// -1 (last error ERROR_NOT_FOUND) for a name the table lacks, and -1
// (ERROR_INVALID_PARAMETER) for a pointer that is no answer element.
typedef LONG(WINAPI* PFN_McmdGetAnswerKey)(HANDLE hCmd, LPCSTR pszElement);
typedef LPCSTR(WINAPI* PFN_McmdGetAnswerText)(HANDLE hCmd, LPCSTR pszElement);
// Decimal (optional sign) and hexadecimal (at most 8 digits) texts, with
// nothing else but surrounding blanks; FALSE for anything else or overflow.
typedef BOOL(WINAPI* PFN_McmdStringToNumber)(LPCSTR pszText, LONG* pnValue);
typedef BOOL(WINAPI* PFN_McmdHexToNumber)(LPCSTR pszText, DWORD* pnValue);

// ---- Exports (by ordinal) --------------------------------------------------
K460_API HANDLE WINAPI McmdCreateCommandObject(const LPCSTR* keyTable);
K460_API BOOL WINAPI McmdDeleteCommandObject(HANDLE hCmd);
K460_API BOOL WINAPI McmdClear(HANDLE hCmd);
K460_API BOOL WINAPI McmdAttachFile(HANDLE hCmd, LPCSTR pszPath);
K460_API BOOL WINAPI McmdSetMode(HANDLE hCmd, LONG nMode);
K460_API BOOL WINAPI McmdAddParamString(HANDLE hCmd, LPCSTR pszName, LPCSTR pszValue);
K460_API BOOL WINAPI McmdAddParamNumber(HANDLE hCmd, LPCSTR pszName, LONG nValue);
K460_API BOOL WINAPI McmdAddParamHex(HANDLE hCmd, LPCSTR pszName, DWORD nValue, LONG nDigits);
K460_API BOOL WINAPI McmdBeginElement(HANDLE hCmd, LONG nKey);
K460_API BOOL WINAPI McmdEndElement(HANDLE hCmd);
K460_API BOOL WINAPI McmdAddString(HANDLE hCmd, LONG nKey, LPCSTR pszText);
K460_API BOOL WINAPI McmdAddNumber(HANDLE hCmd, LONG nKey, LONG nValue);
K460_API BOOL WINAPI McmdAddHex(HANDLE hCmd, LONG nKey, DWORD nValue, LONG nDigits);
K460_API LPCSTR WINAPI McmdGetAnswer(HANDLE hCmd, LONG nKey);
K460_API LPCSTR WINAPI McmdGetNextAnswer(HANDLE hCmd, LONG nKey);
K460_API LONG WINAPI McmdGetAnswerKey(HANDLE hCmd, LPCSTR pszElement);
K460_API LPCSTR WINAPI McmdGetAnswerText(HANDLE hCmd, LPCSTR pszElement);
K460_API BOOL WINAPI McmdStringToNumber(LPCSTR pszText, LONG* pnValue);
K460_API BOOL WINAPI McmdHexToNumber(LPCSTR pszText, DWORD* pnValue);
