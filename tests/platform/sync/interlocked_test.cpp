#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/sync/sync.h"

namespace {

TEST(InterlockedTest, CountsExactlyUnderContention) {
  volatile LONG up = 0, down = 0, added = 0;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 50000; ++i) {
        InterlockedIncrement(&up);
        InterlockedDecrement(&down);
        InterlockedExchangeAdd(&added, 3);
      }
    });
  }
  for (auto& t : threads) t.join();
  EXPECT_EQ(up, 200000);
  EXPECT_EQ(down, -200000);
  EXPECT_EQ(added, 600000);
}

TEST(InterlockedTest, ResultsFollowTheSystemConventions) {
  volatile LONG v = 5;
  EXPECT_EQ(InterlockedIncrement(&v), 6);         // new value
  EXPECT_EQ(InterlockedDecrement(&v), 5);         // new value
  EXPECT_EQ(InterlockedExchangeAdd(&v, 10), 5);   // old value
  EXPECT_EQ(InterlockedExchange(&v, 1), 15);      // old value
  EXPECT_EQ(InterlockedCompareExchange(&v, 7, 2), 1);  // no match: unchanged
  EXPECT_EQ(v, 1);
  EXPECT_EQ(InterlockedCompareExchange(&v, 7, 1), 1);  // match: exchanged
  EXPECT_EQ(v, 7);

  int a = 0, b = 0;
  PVOID volatile p = &a;
  EXPECT_EQ(InterlockedCompareExchangePointer(&p, &b, nullptr), &a);
  EXPECT_EQ(p, &a);
  EXPECT_EQ(InterlockedExchangePointer(&p, &b), &a);
  EXPECT_EQ(p, &b);
}

}  // namespace
