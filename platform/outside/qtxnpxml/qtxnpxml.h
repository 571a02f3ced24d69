// The network command library "qtxnpxml.dll" (network monitor, fax user
// interface): the command object of mcmd.h, and network objects that post
// a command to the device over HTTP and fill the device's answer into it.
//
// A post sends the command as multipart/form-data (see request_body.h) to
// "http://<address>:<port>/<cgi name>" and takes a 200 answer of type
// text/xml or application/xml, at most 1 MiB, that is an XML document. It
// never waits longer than the network object's time-outs: connecting, and
// the whole exchange (defaults below; ordinal 217 and MnetSetTimeouts change
// them). Proxy settings of the environment are not used.
#pragma once

#include "platform/outside/command/mcmd.h"

// ---- Network errors (MnetGetLastError) -------------------------------------
// Distinct from the device's answer codes (600...) and the monitors' own
// codes (900..., 1000).
inline constexpr DWORD MNET_ERROR_NONE = 0;
inline constexpr DWORD MNET_ERROR_INVALID_ARGUMENT = 12001;   // bad command object, port or cgi name
inline constexpr DWORD MNET_ERROR_CONNECTION_REFUSED = 12002; // nothing takes connections there
inline constexpr DWORD MNET_ERROR_TIMEOUT = 12003;            // no connection or no full answer in time
inline constexpr DWORD MNET_ERROR_CONNECTION_LOST = 12004;    // the connection ended before a full answer
inline constexpr DWORD MNET_ERROR_HTTP_STATUS = 12005;        // an HTTP status other than 200
inline constexpr DWORD MNET_ERROR_BAD_ANSWER = 12006;         // not XML, wrong type, or too large
inline constexpr DWORD MNET_ERROR_FILE = 12007;               // the attached file could not be read
inline constexpr DWORD MNET_ERROR_NETWORK = 12008;            // any other network failure

// Default time-outs of a new network object, in milliseconds.
inline constexpr DWORD MNET_DEFAULT_CONNECT_TIMEOUT = 10000;
inline constexpr DWORD MNET_DEFAULT_TOTAL_TIMEOUT = 60000;

// ---- Ordinals ----------------------------------------------------------------
inline constexpr WORD ORD_MnetCreateNetworkObject = 201;
inline constexpr WORD ORD_MnetDeleteNetworkObject = 202;
inline constexpr WORD ORD_MnetGetLastError = 203;
inline constexpr WORD ORD_MnetPostFile = 206;
inline constexpr WORD ORD_MnetSetProgressWindow = 217;
// For hosts and tests (not bound by the suite).
inline constexpr WORD ORD_MnetSetTimeouts = 250;
inline constexpr WORD ORD_MnetSetDefaultTimeouts = 251;
inline constexpr WORD ORD_MnetGetHttpStatus = 252;

// ---- Function types ------------------------------------------------------------
// A network object for the device at `pszIpAddress`, IPv4 dotted text in
// the ANSI code page; NULL (ERROR_INVALID_PARAMETER) for anything else.
typedef HANDLE(WINAPI* PFN_MnetCreateNetworkObject)(LPCSTR pszIpAddress);
typedef BOOL(WINAPI* PFN_MnetDeleteNetworkObject)(HANDLE hNet);
// The MNET_ERROR_* of the object's last post (0 after a good one);
// MNET_ERROR_INVALID_ARGUMENT for a handle that is no network object.
typedef DWORD(WINAPI* PFN_MnetGetLastError)(HANDLE hNet);
// Posts hCmd's command to "<cgi name>" (letters, digits, '.', '_', '-',
// optionally after one '/') on port nHttpPort (1 to 65535) and fills the
// answer's elements into hCmd. TRUE on an answer; FALSE with the reason in
// MnetGetLastError (and the thread's last error), hCmd then has no answer.
typedef BOOL(WINAPI* PFN_MnetPostFile)(HANDLE hNet, LONG nHttpPort, LPCSTR pszCgiName, HANDLE hCmd);
// The fax user interface's wait: a progress window with a title, a message
// and a cancel button while a post runs, and a limit of nSeconds (1 to 3600)
// for the whole exchange. There is no screen here: the texts are kept and
// the limit applies.
typedef BOOL(WINAPI* PFN_MnetSetProgressWindow)(HANDLE hNet, LONG nSeconds, LPCSTR pszTitle, LPCSTR pszMessage,
                                                LPCSTR pszButton);
// Time-outs of one network object, and the defaults of objects made after
// the call (1 ms to one hour each; 0 keeps the current value).
typedef BOOL(WINAPI* PFN_MnetSetTimeouts)(HANDLE hNet, DWORD dwConnectMs, DWORD dwTotalMs);
typedef BOOL(WINAPI* PFN_MnetSetDefaultTimeouts)(DWORD dwConnectMs, DWORD dwTotalMs);
// The HTTP status of the last post's answer (0 when none came).
typedef LONG(WINAPI* PFN_MnetGetHttpStatus)(HANDLE hNet);

// ---- Exports (by ordinal) --------------------------------------------------
K460_API HANDLE WINAPI MnetCreateNetworkObject(LPCSTR pszIpAddress);
K460_API BOOL WINAPI MnetDeleteNetworkObject(HANDLE hNet);
K460_API DWORD WINAPI MnetGetLastError(HANDLE hNet);
K460_API BOOL WINAPI MnetPostFile(HANDLE hNet, LONG nHttpPort, LPCSTR pszCgiName, HANDLE hCmd);
K460_API BOOL WINAPI MnetSetProgressWindow(HANDLE hNet, LONG nSeconds, LPCSTR pszTitle, LPCSTR pszMessage,
                                           LPCSTR pszButton);
K460_API BOOL WINAPI MnetSetTimeouts(HANDLE hNet, DWORD dwConnectMs, DWORD dwTotalMs);
K460_API BOOL WINAPI MnetSetDefaultTimeouts(DWORD dwConnectMs, DWORD dwTotalMs);
K460_API LONG WINAPI MnetGetHttpStatus(HANDLE hNet);
