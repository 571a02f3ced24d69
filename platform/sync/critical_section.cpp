// Critical sections: a lock word in the caller's storage (0 free, 1 held,
// 2 held with waiters) that waiting threads sleep on, plus the owner's
// thread token for recursion. No allocation, so all-zero storage is a free
// section and nothing is left to free.
#include <algorithm>
#include <atomic>

#include "platform/sync/sync.h"
#include "platform/sync/waitable.h"

namespace k460 {
namespace {

// Spinning longer than this before sleeping gains nothing.
constexpr DWORD kMaxSpin = 4000;

using LockWord = std::atomic_ref<LONG>;
using OwnerWord = std::atomic_ref<ULONGLONG>;

bool TryTakeLock(CRITICAL_SECTION* cs) {
  LONG expected = 0;
  return LockWord(cs->LockWord).compare_exchange_strong(expected, 1, std::memory_order_acquire);
}

void TakeLock(CRITICAL_SECTION* cs) {
  for (DWORD spin = std::min(cs->SpinCount, kMaxSpin); spin > 0; --spin) {
    if (TryTakeLock(cs)) return;
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
  }
  LockWord word(cs->LockWord);
  LONG seen = 0;
  if (word.compare_exchange_strong(seen, 1, std::memory_order_acquire)) return;
  // Mark the lock as wanted, then sleep until the holder lets go.
  if (seen != 2) seen = word.exchange(2, std::memory_order_acquire);
  while (seen != 0) {
    word.wait(2, std::memory_order_relaxed);
    seen = word.exchange(2, std::memory_order_acquire);
  }
}

void DropLock(CRITICAL_SECTION* cs) {
  LockWord word(cs->LockWord);
  if (word.fetch_sub(1, std::memory_order_release) != 1) {
    word.store(0, std::memory_order_release);
    word.notify_one();
  }
}

bool OwnedByCaller(CRITICAL_SECTION* cs) {
  return OwnerWord(cs->OwningThread).load(std::memory_order_relaxed) == CurrentThreadToken();
}

void BecomeOwner(CRITICAL_SECTION* cs) {
  OwnerWord(cs->OwningThread).store(CurrentThreadToken(), std::memory_order_relaxed);
  cs->RecursionCount = 1;
}

void Reset(CRITICAL_SECTION* cs, DWORD spinCount) {
  OwnerWord(cs->OwningThread).store(0, std::memory_order_relaxed);
  cs->RecursionCount = 0;
  cs->SpinCount = spinCount;
  cs->Reserved = 0;
  LockWord word(cs->LockWord);
  word.store(0, std::memory_order_release);
  word.notify_all();
}

}  // namespace
}  // namespace k460

K460_API void InitializeCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
  if (lpCriticalSection) k460::Reset(lpCriticalSection, 0);
}

K460_API BOOL InitializeCriticalSectionAndSpinCount(LPCRITICAL_SECTION lpCriticalSection, DWORD dwSpinCount) {
  if (k460::CallFailsSetError("InitializeCriticalSectionAndSpinCount")) return FALSE;
  if (!lpCriticalSection) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  // The high byte holds flags on the original system; only the count matters here.
  k460::Reset(lpCriticalSection, dwSpinCount & 0x00FFFFFF);
  return TRUE;
}

K460_API void EnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
  if (!lpCriticalSection) return;
  if (k460::OwnedByCaller(lpCriticalSection)) {
    ++lpCriticalSection->RecursionCount;
    return;
  }
  k460::TakeLock(lpCriticalSection);
  k460::BecomeOwner(lpCriticalSection);
}

K460_API BOOL TryEnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
  if (!lpCriticalSection) return FALSE;
  if (k460::OwnedByCaller(lpCriticalSection)) {
    ++lpCriticalSection->RecursionCount;
    return TRUE;
  }
  if (!k460::TryTakeLock(lpCriticalSection)) return FALSE;
  k460::BecomeOwner(lpCriticalSection);
  return TRUE;
}

K460_API void LeaveCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
  if (!lpCriticalSection || !k460::OwnedByCaller(lpCriticalSection)) return;
  if (--lpCriticalSection->RecursionCount > 0) return;
  k460::OwnerWord(lpCriticalSection->OwningThread).store(0, std::memory_order_relaxed);
  k460::DropLock(lpCriticalSection);
}

K460_API void DeleteCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
  if (lpCriticalSection) k460::Reset(lpCriticalSection, 0);
}
