// Caller's names to host paths; host errors to Windows errors.
#include "platform/files/file_paths.h"

#include <cerrno>
#include <system_error>

#include "platform/base/internal.h"
#include "platform/base/text.h"
#include "platform/files/files.h"
#include "platform/files/standard_folders.h"

namespace k460 {
namespace {

bool IsValidWindowsName(std::u16string_view name) {
  std::size_t start = 0;
  if (name.size() >= 2 && name[1] == u':') start = 2;
  for (std::size_t i = start; i < name.size(); ++i) {
    char16_t c = name[i];
    if (c < 0x20 || c == u'<' || c == u'>' || c == u'"' || c == u'|' || c == u'?' || c == u'*' || c == u':')
      return false;
  }
  return true;
}

}  // namespace

bool ResolveFileName(LPCWSTR name, std::filesystem::path* hostPath, DWORD* error) {
  std::u16string_view view = WideView(name);
  if (view.empty()) {
    *error = ERROR_PATH_NOT_FOUND;
    return false;
  }
  // "\\?\C:\..." is the long form of "C:\...".
  if (view.substr(0, 4) == u"\\\\?\\") view.remove_prefix(4);
  if (view.front() != u'/' && !IsValidWindowsName(view)) {
    *error = ERROR_INVALID_NAME;
    return false;
  }
  EnsureStandardFolders();
  *hostPath = HostPath(view);
  return true;
}

DWORD ErrorFromErrno(int err, const std::filesystem::path& path) {
  switch (err) {
    case ENOENT: {
      std::error_code ec;
      return std::filesystem::is_directory(path.parent_path(), ec) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
    }
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
      return ERROR_PATH_NOT_FOUND;
    case EEXIST:
      return ERROR_FILE_EXISTS;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
    case ETXTBSY:
      return ERROR_ACCESS_DENIED;
    case ENOTEMPTY:
      return ERROR_DIR_NOT_EMPTY;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return ERROR_DISK_FULL;
    case EMFILE:
    case ENFILE:
      return ERROR_TOO_MANY_OPEN_FILES;
    case EXDEV:
      return ERROR_NOT_SAME_DEVICE;
    case EBADF:
      return ERROR_INVALID_HANDLE;
    case EINVAL:
      return ERROR_INVALID_PARAMETER;
    case ENOMEM:
      return ERROR_NOT_ENOUGH_MEMORY;
    case EBUSY:
      return ERROR_BUSY;
    default:
      return ERROR_GEN_FAILURE;
  }
}

DWORD CopyOutString(std::u16string_view text, LPWSTR buffer, DWORD size) {
  if (!buffer || size < text.size() + 1) return static_cast<DWORD>(text.size() + 1);
  text.copy(buffer, text.size());
  buffer[text.size()] = 0;
  return static_cast<DWORD>(text.size());
}

}  // namespace k460
