#include "platform/spooler/capture.h"

#include <mutex>
#include <optional>

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

namespace k460::spooler {

// Writes to a capture printer; no answer when the handle is none.
std::optional<BOOL> WriteToCapturePrinter(HANDLE printer, const void* data, DWORD size, LPDWORD written) {
  auto p = LookupHandleAs<CapturePrinter>(printer);
  if (!p) return std::nullopt;
  std::lock_guard lock(p->mutex);
  if (p->failWith) {
    SetLastError(p->failWith);
    return FALSE;
  }
  p->output.append(static_cast<const char*>(data), size);
  if (written) *written = size;
  return TRUE;
}

}  // namespace k460::spooler
