#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/base/base.h"
#include "platform/base/host.h"
#include "platform/base/internal.h"
#include "tests/support/machine_fixture.h"

namespace {

using k460::testing::MachineTest;
using ClockTest = MachineTest;

TEST_F(ClockTest, VirtualSleepCostsNoRealTime) {
  auto realStart = std::chrono::steady_clock::now();
  DWORD start = GetTickCount();
  for (int i = 0; i < 180; ++i) Sleep(1000);  // three minutes of polling
  EXPECT_EQ(GetTickCount() - start, 180000u);
  EXPECT_LT(std::chrono::steady_clock::now() - realStart, std::chrono::seconds(5));
}

TEST_F(ClockTest, VirtualWaitTimesOutByMovingTheClock) {
  std::mutex m;
  std::condition_variable cv;
  std::unique_lock lock(m);
  ULONGLONG start = GetTickCount64();
  EXPECT_FALSE(k460::WaitOnClock(lock, cv, [] { return false; }, 600000));
  EXPECT_GE(GetTickCount64() - start, 600000u);
}

TEST_F(ClockTest, VirtualWaitEndsWhenAnotherThreadSignals) {
  std::mutex m;
  std::condition_variable cv;
  bool ready = false;
  std::thread signaller([&] {
    std::lock_guard lock(m);
    ready = true;
    cv.notify_all();
  });
  std::unique_lock lock(m);
  EXPECT_TRUE(k460::WaitOnClock(lock, cv, [&] { return ready; }, INFINITE));
  lock.unlock();
  signaller.join();
}

TEST_F(ClockTest, RealClockMoves) {
  k460::SetClockMode(k460::ClockMode::Real);
  ULONGLONG start = GetTickCount64();
  Sleep(20);
  EXPECT_GE(GetTickCount64() - start, 15u);
  k460::SetClockMode(k460::ClockMode::Virtual);
}

}  // namespace
