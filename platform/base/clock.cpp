// The platform clock. Real time in hosts; in tests a virtual clock that only
// moves when somebody sleeps, waits out a timeout or advances it.
#include <atomic>
#include <chrono>
#include <thread>

#include "platform/base/host.h"
#include "platform/base/internal.h"

namespace k460 {
namespace {

std::atomic<ClockMode> gMode{ClockMode::Real};
// Virtual time starts well away from zero so that code that subtracts tick
// counts meets ordinary values.
constexpr std::uint64_t kVirtualStart = 0x100000;
std::atomic<std::uint64_t> gVirtualNow{kVirtualStart};
// How long, in real time, a virtual wait lets other threads end it before it
// times out by moving the clock.
constexpr auto kVirtualGrace = std::chrono::milliseconds(50);

std::uint64_t RealNowMs() {
  return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                        std::chrono::steady_clock::now().time_since_epoch())
                                        .count());
}

void AdvanceTo(std::uint64_t target) {
  std::uint64_t now = gVirtualNow.load();
  while (now < target && !gVirtualNow.compare_exchange_weak(now, target)) {
  }
}

}  // namespace

void SetClockMode(ClockMode mode) {
  gMode = mode;
  if (mode == ClockMode::Virtual) gVirtualNow = kVirtualStart;
}
ClockMode GetClockMode() { return gMode; }

std::uint64_t ClockNowMs() { return gMode == ClockMode::Virtual ? gVirtualNow.load() : RealNowMs(); }

void AdvanceClock(std::uint64_t ms) {
  if (gMode == ClockMode::Virtual) gVirtualNow += ms;
}

bool WaitOnClock(std::unique_lock<std::mutex>& lock, std::condition_variable& cv,
                 const std::function<bool()>& ready, DWORD timeoutMs) {
  if (ready()) return true;
  if (timeoutMs == INFINITE) {
    cv.wait(lock, ready);
    return true;
  }
  if (gMode == ClockMode::Real) return cv.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready);
  const std::uint64_t deadline = gVirtualNow.load() + timeoutMs;
  const auto realGiveUp = std::chrono::steady_clock::now() + kVirtualGrace;
  while (!ready()) {
    if (gVirtualNow.load() >= deadline) return false;
    if (std::chrono::steady_clock::now() >= realGiveUp) {
      AdvanceTo(deadline);
      return ready();
    }
    cv.wait_for(lock, std::chrono::milliseconds(1));
  }
  return true;
}

}  // namespace k460

K460_API void Sleep(DWORD ms) {
  if (k460::GetClockMode() == k460::ClockMode::Virtual) {
    // Time moves at once; a short real pause keeps a thread that polls in
    // a loop from racing the clock ahead of every other thread.
    k460::AdvanceClock(ms == INFINITE ? 0 : ms);
    if (ms == 0)
      std::this_thread::yield();
    else
      std::this_thread::sleep_for(std::chrono::microseconds(500));
    return;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

K460_API DWORD GetTickCount() { return static_cast<DWORD>(k460::ClockNowMs()); }
K460_API ULONGLONG GetTickCount64() { return k460::ClockNowMs(); }

K460_API void GetSystemTimeAsFileTime(LPFILETIME ft) {
  if (!ft) return;
  // 100-ns intervals since 1601-01-01.
  auto since1970 = std::chrono::duration_cast<std::chrono::nanoseconds>(
                       std::chrono::system_clock::now().time_since_epoch())
                       .count();
  ULONGLONG t = static_cast<ULONGLONG>(since1970 / 100) + 116444736000000000ULL;
  ft->dwLowDateTime = static_cast<DWORD>(t);
  ft->dwHighDateTime = static_cast<DWORD>(t >> 32);
}
