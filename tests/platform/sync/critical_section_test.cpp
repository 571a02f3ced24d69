#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/sync/sync.h"
#include "tests/support/machine_fixture.h"

namespace {

using k460::testing::MachineTest;
using CriticalSectionTest = MachineTest;

// Runs TryEnterCriticalSection on a thread of its own (leaving at once on success).
bool TryFromAnotherThread(CRITICAL_SECTION* cs) {
  bool entered = false;
  std::thread other([&] {
    entered = TryEnterCriticalSection(cs) != FALSE;
    if (entered) LeaveCriticalSection(cs);
  });
  other.join();
  return entered;
}

TEST_F(CriticalSectionTest, KeepsThreadsOutWhileOneIsInsideEvenWhenEnteredRecursively) {
  CRITICAL_SECTION cs;
  ASSERT_TRUE(InitializeCriticalSectionAndSpinCount(&cs, 100));
  constexpr int kThreads = 4, kRounds = 20000;
  long counter = 0;  // deliberately not atomic: only the section protects it
  std::atomic<int> inside{0}, overlaps{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < kRounds; ++i) {
        EnterCriticalSection(&cs);
        EnterCriticalSection(&cs);
        if (++inside != 1) ++overlaps;
        ++counter;
        --inside;
        LeaveCriticalSection(&cs);
        LeaveCriticalSection(&cs);
      }
    });
  }
  for (auto& t : threads) t.join();
  EXPECT_EQ(counter, long{kThreads} * kRounds);
  EXPECT_EQ(overlaps.load(), 0);
  EXPECT_TRUE(TryFromAnotherThread(&cs));
  DeleteCriticalSection(&cs);
}

TEST_F(CriticalSectionTest, OwnerLeavesAsOftenAsItEnteredAndOthersCannotLeaveForIt) {
  CRITICAL_SECTION cs;
  InitializeCriticalSection(&cs);
  EnterCriticalSection(&cs);
  EXPECT_TRUE(TryEnterCriticalSection(&cs));  // the owner enters again
  EXPECT_FALSE(TryFromAnotherThread(&cs));

  std::thread intruder([&] { LeaveCriticalSection(&cs); });  // not the owner: no effect
  intruder.join();
  EXPECT_FALSE(TryFromAnotherThread(&cs));

  LeaveCriticalSection(&cs);
  EXPECT_FALSE(TryFromAnotherThread(&cs));  // entered twice, left once
  LeaveCriticalSection(&cs);
  EXPECT_TRUE(TryFromAnotherThread(&cs));
  DeleteCriticalSection(&cs);
}

TEST_F(CriticalSectionTest, AThreadBlockedInEnterGetsTheSectionWhenTheOwnerLeaves) {
  CRITICAL_SECTION cs;
  InitializeCriticalSection(&cs);
  EnterCriticalSection(&cs);
  std::atomic<int> stage{0};
  std::thread waiter([&] {
    stage = 1;
    EnterCriticalSection(&cs);
    stage = 2;
    LeaveCriticalSection(&cs);
  });
  while (stage.load() == 0) std::this_thread::yield();
  EXPECT_EQ(stage.load(), 1);
  LeaveCriticalSection(&cs);
  waiter.join();
  EXPECT_EQ(stage.load(), 2);
  DeleteCriticalSection(&cs);
}

TEST_F(CriticalSectionTest, ZeroedStorageIsAFreeSectionAndBadPointersAreIgnored) {
  static CRITICAL_SECTION neverInitialised;  // all zero
  EnterCriticalSection(&neverInitialised);
  EXPECT_FALSE(TryFromAnotherThread(&neverInitialised));
  LeaveCriticalSection(&neverInitialised);
  EXPECT_TRUE(TryFromAnotherThread(&neverInitialised));

  // Deleted, then initialised again: usable as new.
  DeleteCriticalSection(&neverInitialised);
  InitializeCriticalSection(&neverInitialised);
  EXPECT_TRUE(TryEnterCriticalSection(&neverInitialised));
  LeaveCriticalSection(&neverInitialised);

  InitializeCriticalSection(nullptr);
  EnterCriticalSection(nullptr);
  EXPECT_FALSE(TryEnterCriticalSection(nullptr));
  LeaveCriticalSection(nullptr);
  DeleteCriticalSection(nullptr);
  SetLastError(0);
  EXPECT_FALSE(InitializeCriticalSectionAndSpinCount(nullptr, 10));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

}  // namespace
