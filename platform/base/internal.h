// Pieces of the base that the other facilities of the platform build on:
// the handle table, the mapping of Windows paths into the machine root,
// waiting on the platform clock and the call hook of every stand-in function.
#pragma once

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/base/base.h"

namespace k460 {

// ---- Handle table ----------------------------------------------------------
// Every kernel-style object (file, event, thread, pipe, ...) sits in one
// table; handle values are never reused, so a stale or invented handle is
// reported as ERROR_INVALID_HANDLE instead of touching another object.
class KernelObject {
 public:
  virtual ~KernelObject() = default;
};

HANDLE InsertHandle(std::shared_ptr<KernelObject> object);
std::shared_ptr<KernelObject> LookupHandle(HANDLE handle);
template <class T>
std::shared_ptr<T> LookupHandleAs(HANDLE handle) {
  return std::dynamic_pointer_cast<T>(LookupHandle(handle));
}
// Removes the handle from the table; false when it was not there.
bool RemoveHandle(HANDLE handle);

// ---- Paths -----------------------------------------------------------------
// "C:\Windows\Temp\x.tmp" lives at <root>/drive_c/Windows/Temp/x.tmp. Path
// components are matched without regard to case against what exists, as on
// the original file system. A path beginning with "/" is a host path and is
// taken as it is; a relative path is relative to the process's folder.
std::filesystem::path HostPath(std::u16string_view windowsPath);
// The reverse: a host path inside the root becomes "C:\...", any other path
// keeps its host form.
std::u16string WindowsPath(const std::filesystem::path& hostPath);

// Well-known folders, in Windows form without a trailing backslash.
std::u16string WindowsDirectory();        // C:\Windows
std::u16string SystemDirectory();         // C:\Windows\System32
std::u16string PrinterDriverDirectory();  // C:\Windows\System32\spool\drivers\w32x86\3
std::u16string TempDirectory();           // C:\Windows\Temp
std::u16string ProfileDirectory();        // C:\Users\<user>
std::u16string AllUsersDirectory();       // C:\ProgramData

// ---- Clock waits -----------------------------------------------------------
// Waits on `cv` until `ready()` or until `timeoutMs` of platform time pass.
// On the virtual clock a wait that nothing ends within a short real grace
// advances the clock to its deadline and times out, so minutes of waiting
// cost milliseconds. Returns ready().
bool WaitOnClock(std::unique_lock<std::mutex>& lock, std::condition_variable& cv,
                 const std::function<bool()>& ready, DWORD timeoutMs);

// ---- Call hook -------------------------------------------------------------
// Records the call in the call log (when on) and answers whether an injected
// fault makes it fail; then *error is the last error to report.
bool CallFails(const char* function, DWORD* error, std::string_view detail = {});
// The same, setting the thread's last error itself when the call fails.
bool CallFailsSetError(const char* function, std::string_view detail = {});

}  // namespace k460
