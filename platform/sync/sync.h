// Threads and the objects they synchronise with: critical sections, events,
// mutexes, semaphores, waits and interlocked arithmetic. Kernel-style
// objects are handles closed with CloseHandle; failures answer FALSE, NULL
// or WAIT_FAILED with the reason in the thread's last error.
//
// Timed waits run on the platform clock: in tests (virtual clock) a timeout
// of minutes passes in milliseconds of real time, while INFINITE waits are
// real waits that only another thread ends.
#pragma once

#include "platform/base/base.h"

// ---- Codes -----------------------------------------------------------------

inline constexpr DWORD WAIT_OBJECT_0 = 0x00000000;
inline constexpr DWORD WAIT_ABANDONED = 0x00000080;
inline constexpr DWORD WAIT_ABANDONED_0 = 0x00000080;
inline constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;
// WAIT_TIMEOUT (258) comes with the error codes of the base.
inline constexpr DWORD MAXIMUM_WAIT_OBJECTS = 64;

inline constexpr DWORD STILL_ACTIVE = 259;
inline constexpr DWORD CREATE_SUSPENDED = 0x00000004;
inline constexpr DWORD STACK_SIZE_PARAM_IS_A_RESERVATION = 0x00010000;

// ---- Critical sections -------------------------------------------------------
// Fixed storage owned by the caller. All-zero storage is a valid free
// section, so a section in static storage works even before it is
// initialised; a deleted section may be initialised again.
struct alignas(8) CRITICAL_SECTION {
  LONG LockWord;        // 0 free, 1 held, 2 held with threads waiting
  LONG RecursionCount;  // how often the owner has entered
  ULONGLONG OwningThread;  // the owner's thread token, 0 when free
  DWORD SpinCount;
  DWORD Reserved;
};
static_assert(sizeof(CRITICAL_SECTION) == 24);
static_assert(offsetof(CRITICAL_SECTION, LockWord) == 0 && offsetof(CRITICAL_SECTION, RecursionCount) == 4 &&
              offsetof(CRITICAL_SECTION, OwningThread) == 8 && offsetof(CRITICAL_SECTION, SpinCount) == 16);
using LPCRITICAL_SECTION = CRITICAL_SECTION*;
using PCRITICAL_SECTION = CRITICAL_SECTION*;

K460_API void InitializeCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
K460_API BOOL InitializeCriticalSectionAndSpinCount(LPCRITICAL_SECTION lpCriticalSection, DWORD dwSpinCount);
// Recursive: the owner may enter again and leaves as often as it entered.
K460_API void EnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
K460_API BOOL TryEnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
// A thread that does not own the section leaves nothing.
K460_API void LeaveCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
K460_API void DeleteCriticalSection(LPCRITICAL_SECTION lpCriticalSection);

// ---- Events, mutexes, semaphores -------------------------------------------
// A name makes the object shared within the process: creating it again
// hands out a new handle to the same object with ERROR_ALREADY_EXISTS; a name
// held by an object of another kind fails with ERROR_INVALID_HANDLE.
K460_API HANDLE CreateEventW(LPSECURITY_ATTRIBUTES lpEventAttributes, BOOL bManualReset, BOOL bInitialState,
                             LPCWSTR lpName);
K460_API BOOL SetEvent(HANDLE hEvent);
K460_API BOOL ResetEvent(HANDLE hEvent);

// Owned by the thread that waited for it; recursive. A mutex whose owner
// ends without releasing it is abandoned: the next wait takes it and reports
// WAIT_ABANDONED (once).
K460_API HANDLE CreateMutexW(LPSECURITY_ATTRIBUTES lpMutexAttributes, BOOL bInitialOwner, LPCWSTR lpName);
K460_API BOOL ReleaseMutex(HANDLE hMutex);

K460_API HANDLE CreateSemaphoreW(LPSECURITY_ATTRIBUTES lpSemaphoreAttributes, LONG lInitialCount, LONG lMaximumCount,
                                 LPCWSTR lpName);
K460_API BOOL ReleaseSemaphore(HANDLE hSemaphore, LONG lReleaseCount, LPLONG lpPreviousCount);

// ---- Threads -----------------------------------------------------------------
using THREAD_START_ROUTINE = DWORD(WINAPI*)(LPVOID lpThreadParameter);
using LPTHREAD_START_ROUTINE = THREAD_START_ROUTINE;

// The handle becomes signalled when the start routine returns; its result is
// the exit code. A thread still running when the process ends is left to the
// end of the process. The stack size is left to the host.
K460_API HANDLE CreateThread(LPSECURITY_ATTRIBUTES lpThreadAttributes, SIZE_T dwStackSize,
                             LPTHREAD_START_ROUTINE lpStartAddress, LPVOID lpParameter, DWORD dwCreationFlags,
                             LPDWORD lpThreadId);
// Returns the previous suspend count, or (DWORD)-1 on failure.
K460_API DWORD ResumeThread(HANDLE hThread);
// STILL_ACTIVE while the thread runs.
K460_API BOOL GetExitCodeThread(HANDLE hThread, LPDWORD lpExitCode);

// ---- Waits -------------------------------------------------------------------
// Events, mutexes, semaphores and threads can be waited for.
K460_API DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds);
// Wait-any answers WAIT_OBJECT_0 + the lowest index of a signalled object;
// wait-all takes all objects at once or none of them.
K460_API DWORD WaitForMultipleObjects(DWORD nCount, const HANDLE* lpHandles, BOOL bWaitAll, DWORD dwMilliseconds);

// ---- Interlocked arithmetic ---------------------------------------------------
// Full barriers, as on the original system. Increment and decrement answer
// the new value; the others the value before.
inline LONG InterlockedIncrement(LONG volatile* addend) { return __atomic_add_fetch(addend, 1, __ATOMIC_SEQ_CST); }
inline LONG InterlockedDecrement(LONG volatile* addend) { return __atomic_sub_fetch(addend, 1, __ATOMIC_SEQ_CST); }
inline LONG InterlockedExchange(LONG volatile* target, LONG value) {
  return __atomic_exchange_n(target, value, __ATOMIC_SEQ_CST);
}
inline LONG InterlockedExchangeAdd(LONG volatile* addend, LONG value) {
  return __atomic_fetch_add(addend, value, __ATOMIC_SEQ_CST);
}
inline LONG InterlockedCompareExchange(LONG volatile* destination, LONG exchange, LONG comparand) {
  __atomic_compare_exchange_n(destination, &comparand, exchange, false, __ATOMIC_SEQ_CST, __ATOMIC_SEQ_CST);
  return comparand;
}
inline PVOID InterlockedExchangePointer(PVOID volatile* target, PVOID value) {
  return __atomic_exchange_n(target, value, __ATOMIC_SEQ_CST);
}
inline PVOID InterlockedCompareExchangePointer(PVOID volatile* destination, PVOID exchange, PVOID comparand) {
  __atomic_compare_exchange_n(destination, &comparand, exchange, false, __ATOMIC_SEQ_CST, __ATOMIC_SEQ_CST);
  return comparand;
}
