// Threads: a host thread runs the start routine; its handle is signalled
// when the routine returns. The host thread is detached at once and holds
// its shared state itself, so closing the handle or ending the process while
// it runs harms nothing.
#include <functional>
#include <system_error>
#include <thread>

#include "platform/sync/sync.h"
#include "platform/sync/waitable.h"

namespace k460 {
namespace {

// Read and written with WaitLock held.
struct ThreadObject : Waitable {
  explicit ThreadObject(DWORD suspended) : suspendCount(suspended) {}
  bool IsSignalledFor(ThreadToken) const override { return finished; }

  DWORD suspendCount;
  bool finished = false;
  DWORD exitCode = STILL_ACTIVE;
};

void RunThread(const std::shared_ptr<ThreadObject>& thread, LPTHREAD_START_ROUTINE start, LPVOID parameter) {
  {
    std::unique_lock lock(WaitLock());
    WaitCondition().wait(lock, [&] { return thread->suspendCount == 0; });
  }
  DWORD exitCode = start(parameter);
  AbandonOwnedMutexes();
  std::lock_guard lock(WaitLock());
  thread->exitCode = exitCode;
  thread->finished = true;
  NotifyWaiters();
}

// The identifier that GetCurrentThreadId answers inside the thread.
DWORD ThreadIdOf(std::thread::id id) { return static_cast<DWORD>(std::hash<std::thread::id>{}(id) & 0x7FFFFFFF); }

}  // namespace
}  // namespace k460

K460_API HANDLE CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE lpStartAddress, LPVOID lpParameter,
                             DWORD dwCreationFlags, LPDWORD lpThreadId) {
  if (k460::CallFailsSetError("CreateThread")) return nullptr;
  if (!lpStartAddress || (dwCreationFlags & ~(CREATE_SUSPENDED | STACK_SIZE_PARAM_IS_A_RESERVATION)) != 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto thread = std::make_shared<k460::ThreadObject>((dwCreationFlags & CREATE_SUSPENDED) ? 1 : 0);
  DWORD id = 0;
  try {
    std::thread host(k460::RunThread, thread, lpStartAddress, lpParameter);
    id = k460::ThreadIdOf(host.get_id());
    host.detach();
  } catch (const std::system_error&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  if (lpThreadId) *lpThreadId = id;
  return k460::InsertHandle(thread);
}

K460_API DWORD ResumeThread(HANDLE hThread) {
  if (k460::CallFailsSetError("ResumeThread")) return static_cast<DWORD>(-1);
  auto thread = k460::LookupHandleAs<k460::ThreadObject>(hThread);
  if (!thread) {
    SetLastError(ERROR_INVALID_HANDLE);
    return static_cast<DWORD>(-1);
  }
  std::lock_guard lock(k460::WaitLock());
  DWORD previous = thread->suspendCount;
  if (previous > 0 && --thread->suspendCount == 0) k460::NotifyWaiters();
  return previous;
}

K460_API BOOL GetExitCodeThread(HANDLE hThread, LPDWORD lpExitCode) {
  auto thread = k460::LookupHandleAs<k460::ThreadObject>(hThread);
  if (!thread) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (!lpExitCode) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::lock_guard lock(k460::WaitLock());
  *lpExitCode = thread->exitCode;
  return TRUE;
}
