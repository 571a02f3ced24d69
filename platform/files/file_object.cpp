// Reading and writing an open file.
#include "platform/files/file_object.h"

#include <unistd.h>

#include <cerrno>

#include "platform/files/file_paths.h"

namespace k460 {

FileObject::FileObject(int fd, std::filesystem::path path, const OpenMode& mode, FileId id,
                       std::uint64_t shareToken)
    : fd_(fd), path_(std::move(path)), mode_(mode), id_(id), shareToken_(shareToken) {}

FileObject::~FileObject() {
  ::close(fd_);
  ForgetOpen(id_, shareToken_);
}

DWORD FileObject::Read(void* buffer, DWORD bytes, DWORD* done, OVERLAPPED* overlapped) {
  *done = 0;
  if (overlapped) return ERROR_INVALID_PARAMETER;  // files are opened for synchronous use only
  if (!mode_.read) return ERROR_ACCESS_DENIED;
  auto* out = static_cast<char*>(buffer);
  while (*done < bytes) {
    ssize_t n = ::read(fd_, out + *done, bytes - *done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return ErrorFromErrno(errno, path_);
    if (n == 0) break;  // end of file: success with fewer bytes
    *done += static_cast<DWORD>(n);
  }
  return ERROR_SUCCESS;
}

DWORD FileObject::Write(const void* buffer, DWORD bytes, DWORD* done, OVERLAPPED* overlapped) {
  *done = 0;
  if (overlapped) return ERROR_INVALID_PARAMETER;
  if (!mode_.write) return ERROR_ACCESS_DENIED;
  const auto* in = static_cast<const char*>(buffer);
  while (*done < bytes) {
    ssize_t n = ::write(fd_, in + *done, bytes - *done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return ErrorFromErrno(errno, path_);
    if (n == 0) return ERROR_DISK_FULL;
    *done += static_cast<DWORD>(n);
  }
  return ERROR_SUCCESS;
}

DWORD FileObject::Flush() {
  if (!mode_.write) return ERROR_ACCESS_DENIED;
  if (::fdatasync(fd_) != 0 && errno != EINVAL) return ErrorFromErrno(errno, path_);
  return ERROR_SUCCESS;
}

}  // namespace k460
