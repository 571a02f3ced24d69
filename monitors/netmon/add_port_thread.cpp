#include "monitors/netmon/add_port_thread.h"

#include <atomic>
#include <mutex>

#include "monitors/netmon/monitor_registry.h"
#include "platform/sync/sync.h"

namespace netmon {
namespace {

constexpr DWORD kPollMs = 10;
// How long a requester waits for the thread before giving up on it.
constexpr DWORD kRequestLimitMs = 30000;
// How long Shutdown waits for the thread to end.
constexpr DWORD kStopLimitMs = 10000;

// A name buffer with a start flag and a done flag.
struct Request {
  std::mutex mutex;
  std::u16string name;
  bool start = false;
  bool done = false;
  bool result = false;
};

Request gAdd;
Request gDelete;
std::mutex gThreadMutex;  // starting and stopping
HANDLE gThread = nullptr;
HANDLE gStop = nullptr;
std::atomic<bool> gRunning{false};

void Serve(Request& request, bool (*work)(const std::u16string&)) {
  std::u16string name;
  {
    std::lock_guard lock(request.mutex);
    if (!request.start) return;
    request.start = false;
    name = request.name;
  }
  bool result = work(name);
  std::lock_guard lock(request.mutex);
  request.result = result;
  request.done = true;
}

DWORD WINAPI AddPortThread(LPVOID stopEvent) {
  while (WaitForSingleObject(static_cast<HANDLE>(stopEvent), kPollMs) == WAIT_TIMEOUT) {
    Serve(gAdd, CreatePortValue);
    Serve(gDelete, DeletePortValue);
  }
  return 0;
}

bool Issue(Request& request, const std::u16string& name, bool (*work)(const std::u16string&)) {
  if (!gRunning) return work(name);
  {
    std::lock_guard lock(request.mutex);
    request.name = name;
    request.done = false;
    request.start = true;
  }
  for (DWORD waited = 0; waited < kRequestLimitMs && gRunning; waited += kPollMs) {
    {
      std::lock_guard lock(request.mutex);
      if (request.done) return request.result;
    }
    Sleep(kPollMs);
  }
  std::lock_guard lock(request.mutex);
  if (request.done) return request.result;
  // Withdrawn if the thread never took it; a request it took and has not
  // finished still ends, unreported.
  request.start = false;
  return false;
}

}  // namespace

bool StartAddPortThread() {
  std::lock_guard lock(gThreadMutex);
  if (gRunning) return true;
  gStop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (!gStop) return false;
  gThread = CreateThread(nullptr, 0, AddPortThread, gStop, 0, nullptr);
  if (!gThread) {
    CloseHandle(gStop);
    gStop = nullptr;
    return false;
  }
  gRunning = true;
  return true;
}

void StopAddPortThread() {
  std::lock_guard lock(gThreadMutex);
  if (!gRunning) return;
  gRunning = false;
  SetEvent(gStop);
  // The thread ends within one poll; the limit only guards against a
  // registry call that never returns.
  for (DWORD waited = 0; waited < kStopLimitMs; waited += 100)
    if (WaitForSingleObject(gThread, 100) != WAIT_TIMEOUT) break;
  CloseHandle(gThread);
  CloseHandle(gStop);
  gThread = gStop = nullptr;
}

bool AddPortThreadRuns() { return gRunning; }

bool RequestCreatePortValue(const std::u16string& portName) { return Issue(gAdd, portName, CreatePortValue); }
bool RequestDeletePortValue(const std::u16string& portName) { return Issue(gDelete, portName, DeletePortValue); }

}  // namespace netmon
