#include "platform/spooler/capture.h"

#include <mutex>

#include "platform/base/internal.h"
#include "platform/spooler/spooler.h"

namespace k460 {
namespace {

struct CapturePrinter : KernelObject {
  std::mutex mutex;
  std::string output;
  DWORD failWith = 0;
};

}  // namespace

HANDLE OpenCapturePrinter() { return InsertHandle(std::make_shared<CapturePrinter>()); }

std::string CapturedOutput(HANDLE printer) {
  auto p = LookupHandleAs<CapturePrinter>(printer);
  if (!p) return {};
  std::lock_guard lock(p->mutex);
  return p->output;
}

void CancelCapturePrinter(HANDLE printer, DWORD error) {
  if (auto p = LookupHandleAs<CapturePrinter>(printer)) {
    std::lock_guard lock(p->mutex);
    p->failWith = error;
  }
}

}  // namespace k460

K460_API BOOL WritePrinter(HANDLE hPrinter, LPVOID pBuf, DWORD cbBuf, LPDWORD pcWritten) {
  if (pcWritten) *pcWritten = 0;
  if (!pBuf && cbBuf) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (k460::CallFailsSetError("WritePrinter")) return FALSE;
  auto p = k460::LookupHandleAs<k460::CapturePrinter>(hPrinter);
  if (!p) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  std::lock_guard lock(p->mutex);
  if (p->failWith) {
    SetLastError(p->failWith);
    return FALSE;
  }
  p->output.append(static_cast<const char*>(pBuf), cbBuf);
  if (pcWritten) *pcWritten = cbBuf;
  return TRUE;
}
