#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "platform/base/host.h"
#include "platform/base/internal.h"
#include "platform/sync/sync.h"
#include "tests/support/machine_fixture.h"

namespace {

using k460::testing::MachineTest;
using WaitTest = MachineTest;

TEST_F(WaitTest, MinutesOfVirtualTimeOutPassAtOnce) {
  HANDLE never = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE set = CreateEventW(nullptr, TRUE, TRUE, nullptr);
  ULONGLONG start = GetTickCount64();
  EXPECT_EQ(WaitForSingleObject(never, 3 * 60 * 1000), WAIT_TIMEOUT);
  EXPECT_GE(GetTickCount64() - start, 3u * 60 * 1000);

  HANDLE both[] = {set, never};
  start = GetTickCount64();
  EXPECT_EQ(WaitForMultipleObjects(2, both, TRUE, 10 * 60 * 1000), WAIT_TIMEOUT);
  EXPECT_GE(GetTickCount64() - start, 10u * 60 * 1000);

  // A wait that is satisfied costs no time at all.
  start = GetTickCount64();
  EXPECT_EQ(WaitForSingleObject(set, 60 * 1000), WAIT_OBJECT_0);
  EXPECT_EQ(GetTickCount64(), start);
  CloseHandle(never);
  CloseHandle(set);
}

TEST_F(WaitTest, WaitAnyAnswersTheLowestSignalledIndex) {
  struct Case {
    std::vector<int> signalled;
    DWORD expected;
  };
  const Case cases[] = {
      {{1}, WAIT_OBJECT_0 + 1}, {{0, 2}, WAIT_OBJECT_0}, {{2}, WAIT_OBJECT_0 + 2}, {{}, WAIT_TIMEOUT}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.signalled));
    HANDLE events[3];
    for (auto& e : events) e = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    for (int i : c.signalled) SetEvent(events[i]);
    EXPECT_EQ(WaitForMultipleObjects(3, events, FALSE, 1000), c.expected);
    for (auto& e : events) CloseHandle(e);
  }
}

TEST_F(WaitTest, WaitAllTakesEveryObjectAtOnceOrNone) {
  HANDLE a = CreateEventW(nullptr, FALSE, TRUE, nullptr);   // auto, set
  HANDLE b = CreateEventW(nullptr, FALSE, FALSE, nullptr);  // auto, clear
  HANDLE both[] = {a, b};
  EXPECT_EQ(WaitForMultipleObjects(2, both, TRUE, 0), WAIT_TIMEOUT);
  EXPECT_EQ(WaitForSingleObject(a, 0), WAIT_OBJECT_0);  // the failed wait did not take `a`

  SetEvent(a);
  SetEvent(b);
  EXPECT_EQ(WaitForMultipleObjects(2, both, TRUE, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(a, 0), WAIT_TIMEOUT);  // both were taken
  EXPECT_EQ(WaitForSingleObject(b, 0), WAIT_TIMEOUT);

  // Signalled one after the other by another thread.
  std::thread signaller([&] {
    SetEvent(b);
    SetEvent(a);
  });
  EXPECT_EQ(WaitForMultipleObjects(2, both, TRUE, INFINITE), WAIT_OBJECT_0);
  signaller.join();
  CloseHandle(a);
  CloseHandle(b);
}

// A kernel object that cannot be waited for (as a file would be).
struct NotWaitable : k460::KernelObject {};

TEST_F(WaitTest, EveryCallRejectsHandlesThatAreNotItsObjects) {
  HANDLE event = CreateEventW(nullptr, TRUE, TRUE, nullptr);
  HANDLE mutex = CreateMutexW(nullptr, FALSE, nullptr);
  HANDLE closed = CreateEventW(nullptr, TRUE, TRUE, nullptr);
  CloseHandle(closed);
  HANDLE plain = k460::InsertHandle(std::make_shared<NotWaitable>());

  struct Call {
    const char* name;
    std::function<bool(HANDLE)> fails;  // true when the call reported failure
    HANDLE otherKind;                   // a live handle of the wrong kind
  };
  DWORD code = 0;
  const Call calls[] = {
      {"SetEvent", [](HANDLE h) { return !SetEvent(h); }, mutex},
      {"ResetEvent", [](HANDLE h) { return !ResetEvent(h); }, mutex},
      {"ReleaseMutex", [](HANDLE h) { return !ReleaseMutex(h); }, event},
      {"ReleaseSemaphore", [](HANDLE h) { return !ReleaseSemaphore(h, 1, nullptr); }, event},
      {"ResumeThread", [](HANDLE h) { return ResumeThread(h) == static_cast<DWORD>(-1); }, event},
      {"GetExitCodeThread", [&](HANDLE h) { return !GetExitCodeThread(h, &code); }, event},
      {"WaitForSingleObject", [](HANDLE h) { return WaitForSingleObject(h, 0) == WAIT_FAILED; }, plain},
      {"WaitForMultipleObjects",
       [&](HANDLE h) {
         HANDLE pair[] = {event, h};
         return WaitForMultipleObjects(2, pair, FALSE, 0) == WAIT_FAILED;
       },
       plain},
  };
  const std::pair<const char*, HANDLE> badHandles[] = {
      {"null", nullptr},
      {"invented", reinterpret_cast<HANDLE>(0x7654320)},
      {"closed", closed},
      {"INVALID_HANDLE_VALUE", INVALID_HANDLE_VALUE},
  };
  for (const Call& call : calls) {
    SCOPED_TRACE(call.name);
    for (auto [what, handle] : badHandles) {
      SCOPED_TRACE(what);
      SetLastError(0);
      EXPECT_TRUE(call.fails(handle));
      EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    }
    SCOPED_TRACE("other kind");
    SetLastError(0);
    EXPECT_TRUE(call.fails(call.otherKind));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  }
  for (HANDLE h : {event, mutex, plain}) CloseHandle(h);
}

TEST_F(WaitTest, RejectsImpossibleHandleLists) {
  HANDLE event = CreateEventW(nullptr, TRUE, TRUE, nullptr);
  std::vector<HANDLE> many(MAXIMUM_WAIT_OBJECTS + 1, event);
  HANDLE twice[] = {event, event};
  struct Case {
    const char* name;
    DWORD count;
    const HANDLE* handles;
    BOOL waitAll;
  };
  const Case cases[] = {
      {"no handles", 0, twice, FALSE},
      {"too many", MAXIMUM_WAIT_OBJECTS + 1, many.data(), FALSE},
      {"null list", 1, nullptr, FALSE},
      {"one object twice, all", 2, twice, TRUE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(WaitForMultipleObjects(c.count, c.handles, c.waitAll, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  }
  // Waiting for any of one object twice is fine.
  EXPECT_EQ(WaitForMultipleObjects(2, twice, FALSE, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForMultipleObjects(MAXIMUM_WAIT_OBJECTS, many.data(), FALSE, 0), WAIT_OBJECT_0);
  CloseHandle(event);
}

TEST_F(WaitTest, WaitsCanBeMadeToFail) {
  HANDLE event = CreateEventW(nullptr, TRUE, TRUE, nullptr);
  k460::InjectFault("WaitForSingleObject", 0, 1, ERROR_ACCESS_DENIED);
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_FAILED);
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
  CloseHandle(event);
}

}  // namespace
