// Access tokens as handle-table objects (internal to the process facility).
#pragma once

#include "platform/base/internal.h"
#include "platform/process/process.h"

namespace k460::process {

struct TokenObject : KernelObject {
  TokenObject(TOKEN_TYPE type, SECURITY_IMPERSONATION_LEVEL level, DWORD access)
      : type(type), level(level), access(access) {}
  TOKEN_TYPE type;
  SECURITY_IMPERSONATION_LEVEL level;
  DWORD access;
};

inline const HANDLE kCurrentProcessHandle = reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-1));
inline const HANDLE kCurrentThreadHandle = reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-2));

}  // namespace k460::process
