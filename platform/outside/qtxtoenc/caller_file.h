// The caller's file as the encoder sees it: the three callbacks over the
// caller's handle, with the first failure remembered so that it can be
// reported to the caller once the coder behind has given up.
#pragma once

#include "platform/outside/qtxtoenc/qtxtoenc.h"

namespace qtxtoenc {

class CallerFile {
 public:
  CallerFile(ENCODE_WRITE_PROC write, ENCODE_READ_PROC read, ENCODE_SEEK_PROC seek, HANDLE file)
      : write_(write), read_(read), seek_(seek), file_(file) {}

  bool Write(const void* buffer, DWORD bytes);
  // Bytes read; fewer than asked at the end of the file.
  DWORD Read(void* buffer, DWORD bytes);
  bool ReadExact(void* buffer, DWORD bytes);
  bool Seek(LONG distance, DWORD method, DWORD* position);
  // The file's size; the position is left where it was.
  bool Size(DWORD* size);

  // The last error of the first failed callback (ERROR_WRITE_FAULT or
  // ERROR_READ_FAULT when the callback set none); 0 while none failed.
  DWORD failure() const { return failure_; }

 private:
  void Fail(DWORD fallback);

  ENCODE_WRITE_PROC write_;
  ENCODE_READ_PROC read_;
  ENCODE_SEEK_PROC seek_;
  HANDLE file_;
  DWORD failure_ = 0;
};

}  // namespace qtxtoenc
