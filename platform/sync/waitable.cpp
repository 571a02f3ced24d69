// The shared wait lock, thread tokens and the wait functions.
#include "platform/sync/waitable.h"

#include <atomic>
#include <vector>

#include "platform/sync/sync.h"

namespace k460 {

ThreadToken CurrentThreadToken() {
  static std::atomic<ThreadToken> next{1};
  thread_local const ThreadToken token = next++;
  return token;
}

std::mutex& WaitLock() {
  static auto* lock = new std::mutex();
  return *lock;
}

std::condition_variable& WaitCondition() {
  static auto* condition = new std::condition_variable();
  return *condition;
}

void NotifyWaiters() { WaitCondition().notify_all(); }

namespace {

DWORD WaitForObjects(const char* function, DWORD count, const HANDLE* handles, bool waitAll, DWORD ms) {
  if (CallFailsSetError(function)) return WAIT_FAILED;
  if (!handles || count == 0 || count > MAXIMUM_WAIT_OBJECTS) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return WAIT_FAILED;
  }
  std::vector<std::shared_ptr<Waitable>> objects;
  objects.reserve(count);
  for (DWORD i = 0; i < count; ++i) {
    auto object = LookupHandleAs<Waitable>(handles[i]);
    if (!object) {
      SetLastError(ERROR_INVALID_HANDLE);
      return WAIT_FAILED;
    }
    // Waiting for all of one object twice could never be satisfied in one step.
    if (waitAll) {
      for (auto& earlier : objects) {
        if (earlier == object) {
          SetLastError(ERROR_INVALID_PARAMETER);
          return WAIT_FAILED;
        }
      }
    }
    objects.push_back(std::move(object));
  }

  const ThreadToken self = CurrentThreadToken();
  auto firstSignalled = [&]() -> int {
    for (std::size_t i = 0; i < objects.size(); ++i)
      if (objects[i]->IsSignalledFor(self)) return static_cast<int>(i);
    return -1;
  };
  auto allSignalled = [&] {
    for (auto& object : objects)
      if (!object->IsSignalledFor(self)) return false;
    return true;
  };

  std::unique_lock lock(WaitLock());
  bool ready = waitAll ? WaitOnClock(lock, WaitCondition(), allSignalled, ms)
                       : WaitOnClock(lock, WaitCondition(), [&] { return firstSignalled() >= 0; }, ms);
  if (!ready) return WAIT_TIMEOUT;

  if (!waitAll) {
    int index = firstSignalled();
    bool abandoned = objects[index]->Acquire(self);
    return (abandoned ? WAIT_ABANDONED_0 : WAIT_OBJECT_0) + static_cast<DWORD>(index);
  }
  int abandonedIndex = -1;
  for (std::size_t i = 0; i < objects.size(); ++i)
    if (objects[i]->Acquire(self) && abandonedIndex < 0) abandonedIndex = static_cast<int>(i);
  return abandonedIndex < 0 ? WAIT_OBJECT_0 : WAIT_ABANDONED_0 + static_cast<DWORD>(abandonedIndex);
}

}  // namespace
}  // namespace k460

K460_API DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
  return k460::WaitForObjects("WaitForSingleObject", 1, &hHandle, false, dwMilliseconds);
}

K460_API DWORD WaitForMultipleObjects(DWORD nCount, const HANDLE* lpHandles, BOOL bWaitAll, DWORD dwMilliseconds) {
  return k460::WaitForObjects("WaitForMultipleObjects", nCount, lpHandles, bWaitAll != FALSE, dwMilliseconds);
}
