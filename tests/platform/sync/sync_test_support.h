// Small helpers shared by the tests of threads and synchronisation objects.
#pragma once

#include <atomic>
#include <thread>

namespace k460::testing {

// Waits (in real time, without a limit: the test's own time-out ends a hang)
// until `value` reaches at least `target`.
inline void AwaitAtLeast(const std::atomic<int>& value, int target) {
  while (value.load() < target) std::this_thread::yield();
}

}  // namespace k460::testing
