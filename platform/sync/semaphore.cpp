// Counting semaphores: each wait takes one from the count, ReleaseSemaphore
// gives back up to the maximum.
#include "platform/sync/sync.h"
#include "platform/sync/waitable.h"

namespace k460 {
namespace {

class SemaphoreObject : public Waitable {
 public:
  SemaphoreObject(LONG count, LONG maximum) : count_(count), maximum_(maximum) {}
  bool IsSignalledFor(ThreadToken) const override { return count_ > 0; }
  bool Acquire(ThreadToken) override {
    --count_;
    return false;
  }
  // False when the count would pass the maximum; then nothing changes.
  bool Release(LONG release, LONG* previous) {
    if (release > maximum_ - count_) return false;
    if (previous) *previous = count_;
    count_ += release;
    return true;
  }

 private:
  LONG count_;
  const LONG maximum_;
};

}  // namespace
}  // namespace k460

K460_API HANDLE CreateSemaphoreW(LPSECURITY_ATTRIBUTES, LONG lInitialCount, LONG lMaximumCount, LPCWSTR lpName) {
  if (k460::CallFailsSetError("CreateSemaphoreW")) return nullptr;
  if (lMaximumCount <= 0 || lInitialCount < 0 || lInitialCount > lMaximumCount) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return k460::CreateNamedObject<k460::SemaphoreObject>(
      lpName, [&] { return std::make_shared<k460::SemaphoreObject>(lInitialCount, lMaximumCount); });
}

K460_API BOOL ReleaseSemaphore(HANDLE hSemaphore, LONG lReleaseCount, LPLONG lpPreviousCount) {
  if (k460::CallFailsSetError("ReleaseSemaphore")) return FALSE;
  auto semaphore = k460::LookupHandleAs<k460::SemaphoreObject>(hSemaphore);
  if (!semaphore) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (lReleaseCount <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::lock_guard lock(k460::WaitLock());
  if (!semaphore->Release(lReleaseCount, lpPreviousCount)) {
    SetLastError(ERROR_TOO_MANY_POSTS);
    return FALSE;
  }
  k460::NotifyWaiters();
  return TRUE;
}
