#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/sync/sync.h"
#include "tests/platform/sync/sync_test_support.h"
#include "tests/support/machine_fixture.h"

namespace {

using k460::testing::AwaitAtLeast;
using k460::testing::MachineTest;
using SemaphoreTest = MachineTest;

TEST_F(SemaphoreTest, WaitsCountDownAndReleasesCountUpToTheMaximum) {
  HANDLE semaphore = CreateSemaphoreW(nullptr, 2, 3, nullptr);
  ASSERT_NE(semaphore, nullptr);
  EXPECT_EQ(WaitForSingleObject(semaphore, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(semaphore, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(semaphore, 0), WAIT_TIMEOUT);

  LONG previous = -1;
  EXPECT_TRUE(ReleaseSemaphore(semaphore, 2, &previous));
  EXPECT_EQ(previous, 0);
  previous = -1;
  EXPECT_FALSE(ReleaseSemaphore(semaphore, 2, &previous));  // 2 + 2 > 3: nothing changes
  EXPECT_EQ(GetLastError(), ERROR_TOO_MANY_POSTS);
  EXPECT_EQ(previous, -1);
  EXPECT_TRUE(ReleaseSemaphore(semaphore, 1, &previous));
  EXPECT_EQ(previous, 2);
  EXPECT_FALSE(ReleaseSemaphore(semaphore, 0x7FFFFFFF, nullptr));  // no overflow either
  EXPECT_EQ(GetLastError(), ERROR_TOO_MANY_POSTS);
  CloseHandle(semaphore);
}

TEST_F(SemaphoreTest, AReleaseOfNLetsNWaitingThreadsThrough) {
  HANDLE semaphore = CreateSemaphoreW(nullptr, 0, 10, nullptr);
  std::atomic<int> released{0};
  std::vector<std::thread> waiters;
  for (int i = 0; i < 3; ++i)
    waiters.emplace_back([&] {
      if (WaitForSingleObject(semaphore, INFINITE) == WAIT_OBJECT_0) ++released;
    });
  ASSERT_TRUE(ReleaseSemaphore(semaphore, 2, nullptr));
  AwaitAtLeast(released, 2);
  ASSERT_TRUE(ReleaseSemaphore(semaphore, 1, nullptr));
  for (auto& w : waiters) w.join();
  EXPECT_EQ(released.load(), 3);
  EXPECT_EQ(WaitForSingleObject(semaphore, 0), WAIT_TIMEOUT);
  CloseHandle(semaphore);
}

TEST_F(SemaphoreTest, RejectsImpossibleCounts) {
  struct Case {
    LONG initial, maximum;
  };
  for (const Case& c : {Case{-1, 1}, Case{2, 1}, Case{0, 0}, Case{0, -5}}) {
    SCOPED_TRACE(testing::Message() << c.initial << "/" << c.maximum);
    EXPECT_EQ(CreateSemaphoreW(nullptr, c.initial, c.maximum, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  }
  HANDLE semaphore = CreateSemaphoreW(nullptr, 0, 1, nullptr);
  for (LONG count : {0, -1}) {
    EXPECT_FALSE(ReleaseSemaphore(semaphore, count, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  }
  CloseHandle(semaphore);
}

}  // namespace
