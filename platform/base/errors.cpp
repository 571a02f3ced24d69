#include "platform/base/base.h"

namespace {
thread_local DWORD tLastError = ERROR_SUCCESS;
}

K460_API DWORD GetLastError() { return tLastError; }
K460_API void SetLastError(DWORD dwErrCode) { tLastError = dwErrCode; }
