#include "platform/outside/qtxtoenc/caller_file.h"

#include "platform/base/base.h"

namespace qtxtoenc {

namespace {
constexpr DWORD kFileBegin = 0;
constexpr DWORD kFileEnd = 2;
constexpr DWORD kFileCurrent = 1;
constexpr DWORD kInvalidPosition = 0xFFFFFFFF;
}  // namespace

void CallerFile::Fail(DWORD fallback) {
  DWORD error = GetLastError();
  if (failure_ == 0) failure_ = error != 0 ? error : fallback;
}

bool CallerFile::Write(const void* buffer, DWORD bytes) {
  if (bytes == 0) return true;
  SetLastError(0);
  if (write_(file_, buffer, bytes) == bytes) return true;
  Fail(ERROR_WRITE_FAULT);
  return false;
}

DWORD CallerFile::Read(void* buffer, DWORD bytes) {
  if (bytes == 0) return 0;
  SetLastError(0);
  DWORD done = read_(file_, buffer, bytes);
  if (done > bytes) {  // a callback that claims more than it was given room for
    Fail(ERROR_READ_FAULT);
    return 0;
  }
  return done;
}

bool CallerFile::ReadExact(void* buffer, DWORD bytes) {
  if (Read(buffer, bytes) == bytes) return true;
  Fail(ERROR_READ_FAULT);
  return false;
}

bool CallerFile::Seek(LONG distance, DWORD method, DWORD* position) {
  SetLastError(0);
  DWORD at = seek_(file_, distance, method);
  if (at == kInvalidPosition) {
    Fail(ERROR_READ_FAULT);
    return false;
  }
  if (position) *position = at;
  return true;
}

bool CallerFile::Size(DWORD* size) {
  DWORD here = 0;
  return Seek(0, kFileCurrent, &here) && Seek(0, kFileEnd, size) &&
         Seek(static_cast<LONG>(here), kFileBegin, nullptr);
}

}  // namespace qtxtoenc
