// Reading, writing, positioning and sizing open files.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/base/internal.h"
#include "platform/files/file_object.h"
#include "platform/files/file_paths.h"
#include "platform/files/files.h"

namespace {

BOOL Fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

DWORD FailSize(DWORD error) {
  SetLastError(error);
  return INVALID_SET_FILE_POINTER;
}

}  // namespace

K460_API BOOL ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead, LPDWORD lpNumberOfBytesRead,
                       LPOVERLAPPED lpOverlapped) {
  if (lpNumberOfBytesRead) *lpNumberOfBytesRead = 0;
  if (k460::CallFailsSetError("ReadFile", std::to_string(nNumberOfBytesToRead) + " bytes")) return FALSE;
  auto object = k460::LookupHandleAs<k460::IoObject>(hFile);
  if (!object) return Fail(ERROR_INVALID_HANDLE);
  if (!lpNumberOfBytesRead && !lpOverlapped) return Fail(ERROR_INVALID_PARAMETER);
  if (!lpBuffer && nNumberOfBytesToRead) return Fail(ERROR_NOACCESS);
  DWORD done = 0;
  DWORD error = object->Read(lpBuffer, nNumberOfBytesToRead, &done, lpOverlapped);
  if (lpNumberOfBytesRead) *lpNumberOfBytesRead = done;
  return error == ERROR_SUCCESS ? TRUE : Fail(error);
}

K460_API BOOL WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite, LPDWORD lpNumberOfBytesWritten,
                        LPOVERLAPPED lpOverlapped) {
  if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = 0;
  if (k460::CallFailsSetError("WriteFile", std::to_string(nNumberOfBytesToWrite) + " bytes")) return FALSE;
  auto object = k460::LookupHandleAs<k460::IoObject>(hFile);
  if (!object) return Fail(ERROR_INVALID_HANDLE);
  if (!lpNumberOfBytesWritten && !lpOverlapped) return Fail(ERROR_INVALID_PARAMETER);
  if (!lpBuffer && nNumberOfBytesToWrite) return Fail(ERROR_NOACCESS);
  DWORD done = 0;
  DWORD error = object->Write(lpBuffer, nNumberOfBytesToWrite, &done, lpOverlapped);
  if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = done;
  return error == ERROR_SUCCESS ? TRUE : Fail(error);
}

K460_API BOOL FlushFileBuffers(HANDLE hFile) {
  auto object = k460::LookupHandleAs<k460::IoObject>(hFile);
  if (!object) return Fail(ERROR_INVALID_HANDLE);
  DWORD error = object->Flush();
  return error == ERROR_SUCCESS ? TRUE : Fail(error);
}

// Without a high part the distance is a signed 32-bit value and the new
// position must fit in 32 bits; with one, both form a signed 64-bit distance.
// A result of INVALID_SET_FILE_POINTER is a failure only when the last error
// is not NO_ERROR, as callers check it.
K460_API DWORD SetFilePointer(HANDLE hFile, LONG lDistanceToMove, PLONG lpDistanceToMoveHigh, DWORD dwMoveMethod) {
  auto file = k460::LookupHandleAs<k460::FileObject>(hFile);
  if (!file) return FailSize(ERROR_INVALID_HANDLE);
  std::int64_t distance = lDistanceToMove;
  if (lpDistanceToMoveHigh)
    distance = static_cast<std::int64_t>((static_cast<std::uint64_t>(static_cast<DWORD>(*lpDistanceToMoveHigh)) << 32) |
                                         static_cast<DWORD>(lDistanceToMove));
  std::int64_t origin = 0;
  if (dwMoveMethod == FILE_CURRENT) {
    origin = ::lseek(file->fd(), 0, SEEK_CUR);
  } else if (dwMoveMethod == FILE_END) {
    struct stat st {};
    origin = ::fstat(file->fd(), &st) == 0 ? st.st_size : -1;
  } else if (dwMoveMethod != FILE_BEGIN) {
    return FailSize(ERROR_INVALID_PARAMETER);
  }
  if (origin < 0) return FailSize(k460::ErrorFromErrno(errno, file->path()));
  std::int64_t target = 0;
  if (__builtin_add_overflow(origin, distance, &target)) return FailSize(ERROR_INVALID_PARAMETER);
  if (target < 0) return FailSize(ERROR_NEGATIVE_SEEK);
  if (!lpDistanceToMoveHigh && target > 0xFFFFFFFFll) return FailSize(ERROR_INVALID_PARAMETER);
  if (::lseek(file->fd(), target, SEEK_SET) < 0) return FailSize(k460::ErrorFromErrno(errno, file->path()));
  if (lpDistanceToMoveHigh) *lpDistanceToMoveHigh = static_cast<LONG>(static_cast<std::uint64_t>(target) >> 32);
  SetLastError(NO_ERROR);
  return static_cast<DWORD>(target & 0xFFFFFFFF);
}

K460_API BOOL SetEndOfFile(HANDLE hFile) {
  auto file = k460::LookupHandleAs<k460::FileObject>(hFile);
  if (!file) return Fail(ERROR_INVALID_HANDLE);
  if (!file->canWrite()) return Fail(ERROR_ACCESS_DENIED);
  off_t position = ::lseek(file->fd(), 0, SEEK_CUR);
  if (position < 0 || ::ftruncate(file->fd(), position) != 0) return Fail(k460::ErrorFromErrno(errno, file->path()));
  return TRUE;
}

// A size of INVALID_FILE_SIZE is a failure only when the last error is not
// NO_ERROR.
K460_API DWORD GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh) {
  auto file = k460::LookupHandleAs<k460::FileObject>(hFile);
  if (!file) return FailSize(ERROR_INVALID_HANDLE);
  struct stat st {};
  if (::fstat(file->fd(), &st) != 0) return FailSize(k460::ErrorFromErrno(errno, file->path()));
  auto size = static_cast<std::uint64_t>(st.st_size);
  if (lpFileSizeHigh) *lpFileSizeHigh = static_cast<DWORD>(size >> 32);
  SetLastError(NO_ERROR);
  return static_cast<DWORD>(size & 0xFFFFFFFF);
}
