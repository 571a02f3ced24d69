#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/base/host.h"
#include "platform/sync/sync.h"
#include "tests/platform/sync/sync_test_support.h"
#include "tests/support/machine_fixture.h"

namespace {

using k460::testing::AwaitAtLeast;
using k460::testing::MachineTest;
using EventTest = MachineTest;

struct EventCase {
  const char* name;
  BOOL manualReset;
  BOOL initialState;
  std::vector<DWORD> waitsAtStart;  // results of waits with time-out 0
  std::vector<DWORD> waitsAfterSet;
};

TEST_F(EventTest, ManualEventsStaySignalledAutoEventsLetOneWaitThrough) {
  const EventCase cases[] = {
      {"manual, set", TRUE, TRUE, {WAIT_OBJECT_0, WAIT_OBJECT_0}, {WAIT_OBJECT_0, WAIT_OBJECT_0}},
      {"manual, clear", TRUE, FALSE, {WAIT_TIMEOUT}, {WAIT_OBJECT_0, WAIT_OBJECT_0}},
      {"auto, set", FALSE, TRUE, {WAIT_OBJECT_0, WAIT_TIMEOUT}, {WAIT_OBJECT_0, WAIT_TIMEOUT}},
      {"auto, clear", FALSE, FALSE, {WAIT_TIMEOUT}, {WAIT_OBJECT_0, WAIT_TIMEOUT}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    HANDLE event = CreateEventW(nullptr, c.manualReset, c.initialState, nullptr);
    ASSERT_NE(event, nullptr);
    for (DWORD expected : c.waitsAtStart) EXPECT_EQ(WaitForSingleObject(event, 0), expected);
    ASSERT_TRUE(SetEvent(event));
    ASSERT_TRUE(SetEvent(event));  // setting twice is the same as once
    for (DWORD expected : c.waitsAfterSet) EXPECT_EQ(WaitForSingleObject(event, 0), expected);
    ASSERT_TRUE(SetEvent(event));
    ASSERT_TRUE(ResetEvent(event));
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
    EXPECT_TRUE(CloseHandle(event));
  }
}

// Starts `count` threads that each wait for `event` without a time-out and
// count themselves out in `released`.
std::vector<std::thread> StartWaiters(HANDLE event, int count, std::atomic<int>& released) {
  std::vector<std::thread> waiters;
  for (int i = 0; i < count; ++i) {
    waiters.emplace_back([event, &released] {
      if (WaitForSingleObject(event, INFINITE) == WAIT_OBJECT_0) ++released;
    });
  }
  return waiters;
}

TEST_F(EventTest, EachSetOfAnAutoEventReleasesOneWaitingThread) {
  HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  std::atomic<int> released{0};
  auto waiters = StartWaiters(event, 3, released);
  for (int set = 1; set <= 3; ++set) {
    ASSERT_TRUE(SetEvent(event));
    AwaitAtLeast(released, set);
  }
  for (auto& w : waiters) w.join();
  EXPECT_EQ(released.load(), 3);
  // Had one set released two threads, a set would be left over.
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
  CloseHandle(event);
}

TEST_F(EventTest, OneSetOfAManualEventReleasesEveryWaitingThread) {
  HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::atomic<int> released{0};
  auto waiters = StartWaiters(event, 3, released);
  ASSERT_TRUE(SetEvent(event));
  for (auto& w : waiters) w.join();
  EXPECT_EQ(released.load(), 3);
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
  CloseHandle(event);
}

TEST_F(EventTest, ANameSharesTheObjectWithinTheProcess) {
  HANDLE first = CreateEventW(nullptr, TRUE, FALSE, u"K460JobDone");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
  HANDLE second = CreateEventW(nullptr, FALSE, TRUE, u"K460JobDone");  // settings of the existing event win
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  EXPECT_NE(first, second);
  EXPECT_EQ(WaitForSingleObject(second, 0), WAIT_TIMEOUT);
  SetEvent(first);
  EXPECT_EQ(WaitForSingleObject(second, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(second, 0), WAIT_OBJECT_0);  // still the manual event

  // Names are one namespace for every kind of object.
  EXPECT_EQ(CreateMutexW(nullptr, FALSE, u"K460JobDone"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_EQ(CreateSemaphoreW(nullptr, 0, 1, u"K460JobDone"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);

  // With the last handle closed the name is free again.
  CloseHandle(first);
  CloseHandle(second);
  HANDLE fresh = CreateEventW(nullptr, TRUE, FALSE, u"K460JobDone");
  EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
  EXPECT_EQ(WaitForSingleObject(fresh, 0), WAIT_TIMEOUT);
  CloseHandle(fresh);

  std::u16string tooLong(MAX_PATH, u'x');
  EXPECT_EQ(CreateEventW(nullptr, TRUE, FALSE, tooLong.c_str()), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_FILENAME_EXCED_RANGE);
}

TEST_F(EventTest, CreationCanBeMadeToFail) {
  k460::InjectFault("CreateEventW", 1, 1, ERROR_NOT_ENOUGH_MEMORY);
  HANDLE ok = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  EXPECT_NE(ok, nullptr);
  EXPECT_EQ(CreateEventW(nullptr, TRUE, FALSE, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
  CloseHandle(ok);
}

}  // namespace
