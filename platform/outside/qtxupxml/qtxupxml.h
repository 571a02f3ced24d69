// The port command library "qtxupxml.dll" (language monitor): the command
// object of mcmd.h, turned into a complete HTTP request that the caller
// takes in pieces and writes to the printer's port itself. The device
// answers through the port's own channel, so this library parses no answer.
//
// The request is an HTTP/1.1 POST of the command in the same form as the
// network library sends it (multipart/form-data, see request_body.h), with
// a Content-Length.
#pragma once

#include "platform/outside/command/mcmd.h"

// The form argument of McmdOpenRequest: a complete HTTP/1.1 request.
inline constexpr DWORD MCMD_REQUEST_HTTP = 1;

// ---- Ordinals ----------------------------------------------------------------
inline constexpr WORD ORD_McmdAbortRequest = 104;
inline constexpr WORD ORD_McmdGetRequestSize = 105;
inline constexpr WORD ORD_McmdOpenRequest = 106;
inline constexpr WORD ORD_McmdCloseRequest = 107;
inline constexpr WORD ORD_McmdReadRequest = 108;

// ---- Function types ------------------------------------------------------------
// Builds the request for the path ("/upcmd.cgi", "/updata.cgi": '/' then
// letters, digits, '.', '_', '-'); dwReserved must be 0 and dwForm
// MCMD_REQUEST_HTTP. The attached file is read now (ERROR_FILE_NOT_FOUND,
// ERROR_READ_FAULT). A request already open is replaced.
typedef BOOL(WINAPI* PFN_McmdOpenRequest)(HANDLE hCmd, DWORD dwReserved, LPCSTR pszPath, DWORD dwForm);
// The request's total size in bytes; 0 (ERROR_INVALID_FUNCTION) when none
// is open.
typedef DWORD(WINAPI* PFN_McmdGetRequestSize)(HANDLE hCmd);
// Copies the next at most `cbBuffer` bytes to pBuffer; *pcbRead gets the
// count: cbBuffer, fewer for the last piece, 0 once all was taken.
typedef BOOL(WINAPI* PFN_McmdReadRequest)(HANDLE hCmd, LPVOID pBuffer, DWORD cbBuffer, LPDWORD pcbRead);
// Abort drops the request at any point; Close ends it after it was taken.
// Both free its bytes; FALSE (ERROR_INVALID_FUNCTION) when none is open.
typedef BOOL(WINAPI* PFN_McmdAbortRequest)(HANDLE hCmd);
typedef BOOL(WINAPI* PFN_McmdCloseRequest)(HANDLE hCmd);

K460_API BOOL WINAPI McmdOpenRequest(HANDLE hCmd, DWORD dwReserved, LPCSTR pszPath, DWORD dwForm);
K460_API DWORD WINAPI McmdGetRequestSize(HANDLE hCmd);
K460_API BOOL WINAPI McmdReadRequest(HANDLE hCmd, LPVOID pBuffer, DWORD cbBuffer, LPDWORD pcbRead);
K460_API BOOL WINAPI McmdAbortRequest(HANDLE hCmd);
K460_API BOOL WINAPI McmdCloseRequest(HANDLE hCmd);
