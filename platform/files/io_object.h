// What other facilities plug into the file functions: objects that ReadFile
// and WriteFile serve (files, pipes), and openers for the names below "\\.\"
// that CreateFileW hands to the facility owning them.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/base/internal.h"
#include "platform/files/files.h"

namespace k460 {

// A handle-table object that can be read and written. Each call answers
// ERROR_SUCCESS or the Windows error to report; *done holds the bytes moved,
// also on failure (a pipe reports ERROR_MORE_DATA with a filled buffer).
class IoObject : public KernelObject {
 public:
  virtual DWORD Read(void* buffer, DWORD bytes, DWORD* done, OVERLAPPED* overlapped) = 0;
  virtual DWORD Write(const void* buffer, DWORD bytes, DWORD* done, OVERLAPPED* overlapped) = 0;
  virtual DWORD Flush() { return ERROR_SUCCESS; }
};

// Opens a device name such as "\\.\pipe\qtxSSearch"; returns a handle, or
// INVALID_HANDLE_VALUE with the thread's last error set.
using DeviceOpener = std::function<HANDLE(std::u16string_view name, DWORD access, DWORD share,
                                          DWORD disposition, DWORD flagsAndAttributes)>;
// Names beginning with `prefix` (compared without regard to case, e.g.
// u"\\\\.\\pipe\\") go to `opener`. A later registration of the same prefix
// replaces the earlier one.
void RegisterDeviceOpener(std::u16string prefix, DeviceOpener opener);
// The opener for `name`, or an empty function.
DeviceOpener FindDeviceOpener(std::u16string_view name);

}  // namespace k460
