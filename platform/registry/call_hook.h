// The call hook of the registry functions: records the call and reports an
// injected fault as the function's result.
#pragma once

#include "platform/base/internal.h"
#include "platform/base/text.h"

namespace k460::registry {

// True when the call is to fail; then *result is the injected error code.
// `name` (a key path or value name) goes into the call log.
inline bool Injected(const char* function, LPCWSTR name, LONG* result) {
  DWORD error = ERROR_SUCCESS;
  if (!CallFails(function, &error, Utf16ToUtf8(WideView(name)))) return false;
  *result = static_cast<LONG>(error);
  return true;
}

}  // namespace k460::registry
