// Name resolution: this computer's host name and the IPv4 addresses of a
// name, as the monitors tell the device who sends a job.
#pragma once

#include "platform/base/types.h"

#ifndef AF_INET
#define AF_INET 2
#endif

struct IN_ADDR {
  ULONG S_addr;  // network byte order
};

struct SOCKADDR_IN {
  SHORT sin_family;
  USHORT sin_port;  // network byte order
  IN_ADDR sin_addr;
  CHAR sin_zero[8];
};
static_assert(sizeof(SOCKADDR_IN) == 16);

struct ADDRINFOW {
  INT ai_flags;
  INT ai_family;
  INT ai_socktype;
  INT ai_protocol;
  SIZE_T ai_addrlen;
  PWSTR ai_canonname;
  SOCKADDR_IN* ai_addr;  // IPv4 only here
  ADDRINFOW* ai_next;
};
typedef ADDRINFOW* PADDRINFOW;

// Error codes of the functions below.
inline constexpr INT WSAEFAULT = 10014;
inline constexpr INT WSAEINVAL = 10022;
inline constexpr INT WSAHOST_NOT_FOUND = 11001;
inline constexpr INT WSA_NOT_ENOUGH_MEMORY = 8;

// The machine's computer name; 0, or SOCKET_ERROR (-1) with WSAEFAULT when
// the buffer of `namelen` characters is too small.
K460_API INT WINAPI GetHostNameW(PWSTR name, INT namelen);
// The IPv4 addresses of `nodeName` (the service and hints are not used:
// only IPv4 addresses are answered). This computer's own name resolves to
// the addresses of the host the machine runs on. 0, or an error code.
K460_API INT WINAPI GetAddrInfoW(PCWSTR nodeName, PCWSTR serviceName, const ADDRINFOW* hints, PADDRINFOW* result);
K460_API void WINAPI FreeAddrInfoW(PADDRINFOW info);
