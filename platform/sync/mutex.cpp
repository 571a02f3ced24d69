// Mutexes: owned by the thread that took them, recursive, and abandoned when
// their owner ends without releasing them.
#include <algorithm>
#include <vector>

#include "platform/sync/sync.h"
#include "platform/sync/waitable.h"

namespace k460 {
namespace {

class MutexObject;

// The mutexes the current thread owns. When the thread ends, whatever it
// still owns is abandoned and handed to the next waiter.
class OwnedMutexes {
 public:
  void Add(const std::shared_ptr<MutexObject>& mutex) { owned_.push_back(mutex); }
  void Remove(const MutexObject* mutex) {
    std::erase_if(owned_, [&](auto& weak) {
      auto strong = weak.lock();
      return !strong || strong.get() == mutex;
    });
  }
  void AbandonAll();
  ~OwnedMutexes() { AbandonAll(); }

 private:
  std::vector<std::weak_ptr<MutexObject>> owned_;
};

OwnedMutexes& ThreadOwnedMutexes() {
  thread_local OwnedMutexes owned;
  return owned;
}

class MutexObject : public Waitable, public std::enable_shared_from_this<MutexObject> {
 public:
  bool IsSignalledFor(ThreadToken self) const override { return owner_ == 0 || owner_ == self; }

  // Called by the thread `self` itself, with WaitLock held.
  bool Acquire(ThreadToken self) override {
    if (owner_ == self) {
      ++recursion_;
      return false;
    }
    owner_ = self;
    recursion_ = 1;
    ThreadOwnedMutexes().Add(shared_from_this());
    bool abandoned = abandoned_;
    abandoned_ = false;
    return abandoned;
  }

  // False when `self` does not own the mutex.
  bool Release(ThreadToken self) {
    if (owner_ != self) return false;
    if (--recursion_ == 0) {
      owner_ = 0;
      ThreadOwnedMutexes().Remove(this);
      NotifyWaiters();
    }
    return true;
  }

  void AbandonIfOwnedBy(ThreadToken self) {
    if (owner_ != self) return;
    owner_ = 0;
    recursion_ = 0;
    abandoned_ = true;
    NotifyWaiters();
  }

 private:
  ThreadToken owner_ = 0;
  LONG recursion_ = 0;
  bool abandoned_ = false;
};

void OwnedMutexes::AbandonAll() {
  if (owned_.empty()) return;
  const ThreadToken self = CurrentThreadToken();
  std::lock_guard lock(WaitLock());
  for (auto& weak : owned_)
    if (auto mutex = weak.lock()) mutex->AbandonIfOwnedBy(self);
  owned_.clear();
}

}  // namespace

void AbandonOwnedMutexes() { ThreadOwnedMutexes().AbandonAll(); }
}  // namespace k460

K460_API HANDLE CreateMutexW(LPSECURITY_ATTRIBUTES, BOOL bInitialOwner, LPCWSTR lpName) {
  if (k460::CallFailsSetError("CreateMutexW")) return nullptr;
  return k460::CreateNamedObject<k460::MutexObject>(lpName, [&] {
    auto mutex = std::make_shared<k460::MutexObject>();
    if (bInitialOwner) {
      std::lock_guard lock(k460::WaitLock());
      mutex->Acquire(k460::CurrentThreadToken());
    }
    return mutex;
  });
}

K460_API BOOL ReleaseMutex(HANDLE hMutex) {
  if (k460::CallFailsSetError("ReleaseMutex")) return FALSE;
  auto mutex = k460::LookupHandleAs<k460::MutexObject>(hMutex);
  if (!mutex) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  std::lock_guard lock(k460::WaitLock());
  if (!mutex->Release(k460::CurrentThreadToken())) {
    SetLastError(ERROR_NOT_OWNER);
    return FALSE;
  }
  return TRUE;
}
