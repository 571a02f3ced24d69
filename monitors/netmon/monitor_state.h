// What the network port monitor keeps for the life of the library: its own
// module, the language library, the spooler semaphore and the system's
// version.
#pragma once

#include "platform/base/base.h"
#include "platform/sync/sync.h"

namespace netmon {

// The one critical section around the port list and job work.
CRITICAL_SECTION& SpoolerSemaphore();

class SpoolerLock {
 public:
  SpoolerLock() { EnterCriticalSection(&SpoolerSemaphore()); }
  ~SpoolerLock() { LeaveCriticalSection(&SpoolerSemaphore()); }
  SpoolerLock(const SpoolerLock&) = delete;
  SpoolerLock& operator=(const SpoolerLock&) = delete;
};

HMODULE SelfModule();
// The language library "qtxlnXXX.dll" from the system directory, or null.
HMODULE LanguageModule();

// Called from the library's entry point.
void OnLibraryLoad(HMODULE self);
void OnLibraryUnload();

// The system generation the monitor runs on (from the machine's version).
bool IsXpOrLater();     // 5.1 and later: programs in the user's session
bool IsVistaOrLater();  // 6.0 and later: registry writes by the add-port thread

}  // namespace netmon
