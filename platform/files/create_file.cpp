// CreateFileW: opening and creating files with Windows dispositions and
// share modes.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "platform/base/internal.h"
#include "platform/base/text.h"
#include "platform/files/file_object.h"
#include "platform/files/file_paths.h"
#include "platform/files/files.h"

namespace {

HANDLE Fail(DWORD error) {
  SetLastError(error);
  return INVALID_HANDLE_VALUE;
}

int OpenFlags(DWORD disposition, bool read, bool write, bool truncates) {
  int flags = O_CLOEXEC;
  // Truncating needs a writable descriptor even when the caller asked only
  // to read; what the handle may do is checked by the access bits.
  if (write || truncates) flags |= read || truncates ? O_RDWR : O_WRONLY;
  else flags |= O_RDONLY;
  switch (disposition) {
    case CREATE_NEW: flags |= O_CREAT | O_EXCL; break;
    case CREATE_ALWAYS: flags |= O_CREAT | O_TRUNC; break;
    case OPEN_ALWAYS: flags |= O_CREAT; break;
    case TRUNCATE_EXISTING: flags |= O_TRUNC; break;
    default: break;
  }
  return flags;
}

}  // namespace

K460_API HANDLE CreateFileW(LPCWSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                            LPSECURITY_ATTRIBUTES /*lpSecurityAttributes*/, DWORD dwCreationDisposition,
                            DWORD dwFlagsAndAttributes, HANDLE /*hTemplateFile*/) {
  std::u16string_view name = k460::WideView(lpFileName);
  if (k460::CallFailsSetError("CreateFileW", k460::Utf16ToUtf8(name))) return INVALID_HANDLE_VALUE;
  if (dwCreationDisposition < CREATE_NEW || dwCreationDisposition > TRUNCATE_EXISTING)
    return Fail(ERROR_INVALID_PARAMETER);

  k460::OpenMode mode;
  mode.read = (dwDesiredAccess & (GENERIC_READ | GENERIC_ALL)) != 0;
  mode.write = (dwDesiredAccess & (GENERIC_WRITE | GENERIC_ALL)) != 0;
  mode.remove = (dwFlagsAndAttributes & FILE_FLAG_DELETE_ON_CLOSE) != 0;
  mode.share = dwShareMode & (FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
  if (dwCreationDisposition == TRUNCATE_EXISTING && !mode.write) return Fail(ERROR_INVALID_PARAMETER);

  if (name.substr(0, 4) == u"\\\\.\\") {
    auto opener = k460::FindDeviceOpener(name);
    if (!opener) return Fail(ERROR_FILE_NOT_FOUND);
    return opener(name, dwDesiredAccess, dwShareMode, dwCreationDisposition, dwFlagsAndAttributes);
  }

  std::filesystem::path path;
  DWORD error = ERROR_SUCCESS;
  if (!k460::ResolveFileName(lpFileName, &path, &error)) return Fail(error);

  auto lock = k460::LockSharing();
  struct stat st {};
  bool existed = ::stat(path.c_str(), &st) == 0;
  if (existed) {
    if (S_ISDIR(st.st_mode)) return Fail(ERROR_ACCESS_DENIED);
    if (dwCreationDisposition == CREATE_NEW) return Fail(ERROR_FILE_EXISTS);
    if (k460::SharingConflict(k460::FileId{st.st_dev, st.st_ino}, mode)) return Fail(ERROR_SHARING_VIOLATION);
  } else if (dwCreationDisposition == OPEN_EXISTING || dwCreationDisposition == TRUNCATE_EXISTING) {
    return Fail(k460::ErrorFromErrno(ENOENT, path));
  }

  bool truncates = existed && (dwCreationDisposition == CREATE_ALWAYS || dwCreationDisposition == TRUNCATE_EXISTING);
  mode_t permissions = (dwFlagsAndAttributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
  int fd = ::open(path.c_str(), OpenFlags(dwCreationDisposition, mode.read, mode.write, truncates), permissions);
  if (fd < 0) return Fail(k460::ErrorFromErrno(errno, path));
  if (::fstat(fd, &st) != 0) {
    int err = errno;
    ::close(fd);
    return Fail(k460::ErrorFromErrno(err, path));
  }

  k460::FileId id{st.st_dev, st.st_ino};
  std::uint64_t token = k460::RecordOpen(id, mode, mode.remove, path);
  HANDLE handle = k460::InsertHandle(std::make_shared<k460::FileObject>(fd, path, mode, id, token));
  bool opensExisting = dwCreationDisposition == CREATE_ALWAYS || dwCreationDisposition == OPEN_ALWAYS;
  SetLastError(existed && opensExisting ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return handle;
}
