// What the platform's waitable objects share: one lock over the state of
// all of them, so that a wait on several objects sees and takes them in one
// step, and the identity of threads as owners. Other facilities make their
// own objects waitable (a started process, say) by deriving from Waitable
// and calling NotifyWaiters after changing the state under WaitLock.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string_view>

#include "platform/base/internal.h"
#include "platform/sync/sync.h"

namespace k460 {

// A number for the calling thread, unique for the life of the process and
// never 0 (thread ids of the host may be reused).
using ThreadToken = std::uint64_t;
ThreadToken CurrentThreadToken();

// The lock over every waitable object's state and the condition that waits
// sleep on. Both live until the process ends, so that threads still running
// at exit find them.
std::mutex& WaitLock();
std::condition_variable& WaitCondition();
// Wakes every waiting thread to look again; call with WaitLock held after a
// state change that may satisfy a wait.
void NotifyWaiters();

// Abandons every mutex that the calling thread owns; a thread does this as
// it ends, before its handle is signalled.
void AbandonOwnedMutexes();

class Waitable : public KernelObject {
 public:
  // Both called with WaitLock held.
  // Whether a wait by thread `self` would be satisfied now.
  virtual bool IsSignalledFor(ThreadToken self) const = 0;
  // Takes the object for `self` once a wait is satisfied (an auto-reset
  // event resets, a semaphore counts down, a mutex gets its owner). Answers
  // whether the object was abandoned.
  virtual bool Acquire(ThreadToken /*self*/) { return false; }
};

// Hands out a handle to a new object, or with a name to the object of that
// name when one exists (ERROR_ALREADY_EXISTS). Sets the last error; NULL on
// failure. `make` builds the new object.
template <class T, class Make>
HANDLE CreateNamedObject(LPCWSTR name, Make make);

// The process's table of object names (not for direct use).
std::shared_ptr<Waitable> FindNamedObject(std::u16string_view name);
void AddNamedObject(std::u16string_view name, const std::shared_ptr<Waitable>& object);
std::mutex& NamedObjectLock();

template <class T, class Make>
HANDLE CreateNamedObject(LPCWSTR name, Make make) {
  if (!name || !*name) {
    HANDLE handle = InsertHandle(make());
    SetLastError(ERROR_SUCCESS);
    return handle;
  }
  std::u16string_view key(name);
  if (key.size() >= MAX_PATH) {
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return nullptr;
  }
  std::lock_guard lock(NamedObjectLock());
  if (auto existing = FindNamedObject(key)) {
    auto same = std::dynamic_pointer_cast<T>(existing);
    if (!same) {
      SetLastError(ERROR_INVALID_HANDLE);
      return nullptr;
    }
    HANDLE handle = InsertHandle(same);
    SetLastError(ERROR_ALREADY_EXISTS);
    return handle;
  }
  std::shared_ptr<T> created = make();
  AddNamedObject(key, created);
  HANDLE handle = InsertHandle(created);
  SetLastError(ERROR_SUCCESS);
  return handle;
}

}  // namespace k460
