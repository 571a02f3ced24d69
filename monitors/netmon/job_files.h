// The temporary files of a job, made in the monitor's temporary folder by
// GetTempFileName with a three-letter prefix. A file is closed and deleted
// when its owner lets it go, unless it is kept (the debug trace keeps them).
#pragma once

#include <string>

#include "platform/base/base.h"

namespace netmon {

class TempFile {
 public:
  TempFile() = default;
  ~TempFile() { Discard(); }
  TempFile(TempFile&& other) noexcept;
  TempFile& operator=(TempFile&& other) noexcept;
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  // Makes "<prefix>XXXX.tmp" in the temporary folder (made again if it has
  // gone), open for reading and writing. With `extension` the name ends in
  // that instead: the empty ".tmp" file is deleted and the last three
  // characters of its name replaced. False with the last error set.
  bool Create(const char16_t* prefix, const char16_t* extension = nullptr);

  bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE handle() const { return handle_; }
  const std::u16string& name() const { return name_; }
  // Appends all of `bytes`; false on a short or failed write.
  bool Append(const void* bytes, DWORD count);
  // Closes the file and keeps it under its name.
  void Close();
  // Closes and deletes it, unless it was kept.
  void Discard();
  // From now on Discard leaves the file where it is.
  void Keep() { keep_ = true; }
  // Closes the file and hands its name on: the file is the caller's now.
  std::u16string Release();

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
  std::u16string name_;
  bool keep_ = false;
};

// Deletes a file that was handed on by name, unless tracing keeps it.
void DeleteJobFile(const std::u16string& name, bool keep);

}  // namespace netmon
