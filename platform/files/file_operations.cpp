// Files and folders by name: delete, move, copy, attributes, folders.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "platform/base/internal.h"
#include "platform/base/text.h"
#include "platform/files/file_paths.h"
#include "platform/files/file_sharing.h"
#include "platform/files/files.h"

namespace {

namespace fs = std::filesystem;

BOOL Fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

// Deleting or renaming a file that is open without FILE_SHARE_DELETE is a
// sharing violation, as on Windows.
const k460::OpenMode kRemoving{false, false, true, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE};

bool IsReadOnly(const struct stat& st) { return (st.st_mode & S_IWUSR) == 0; }

// The last component of a caller's name as written, for renames that only
// change the case of a name (which resolve to the existing entry).
fs::path LiteralLeaf(LPCWSTR name) {
  std::u16string_view view = k460::WideView(name);
  std::size_t slash = view.find_last_of(u"\\/");
  return fs::path(k460::Utf16ToUtf8(slash == std::u16string_view::npos ? view : view.substr(slash + 1)));
}

BOOL Move(LPCWSTR from, LPCWSTR to, DWORD flags) {
  fs::path source, target;
  DWORD error = ERROR_SUCCESS;
  if (!k460::ResolveFileName(from, &source, &error)) return Fail(error);
  if (!to) {
    // Deletion at the next start of the machine: this machine never restarts,
    // so the request is taken and nothing else happens.
    if (!(flags & MOVEFILE_DELAY_UNTIL_REBOOT)) return Fail(ERROR_INVALID_PARAMETER);
    struct stat st {};
    return ::lstat(source.c_str(), &st) == 0 ? TRUE : Fail(k460::ErrorFromErrno(errno, source));
  }
  if (!k460::ResolveFileName(to, &target, &error)) return Fail(error);

  auto lock = k460::LockSharing();
  struct stat from_st {}, to_st {};
  if (::lstat(source.c_str(), &from_st) != 0) return Fail(k460::ErrorFromErrno(errno, source));
  k460::FileId from_id{from_st.st_dev, from_st.st_ino};
  if (k460::SharingConflict(from_id, kRemoving)) return Fail(ERROR_SHARING_VIOLATION);
  if (::lstat(target.c_str(), &to_st) == 0) {
    k460::FileId to_id{to_st.st_dev, to_st.st_ino};
    if (to_id == from_id) {
      target = target.parent_path() / LiteralLeaf(to);  // only the case changes
    } else {
      if (!(flags & MOVEFILE_REPLACE_EXISTING)) return Fail(ERROR_ALREADY_EXISTS);
      if (S_ISDIR(to_st.st_mode) || IsReadOnly(to_st)) return Fail(ERROR_ACCESS_DENIED);
      if (k460::SharingConflict(to_id, kRemoving)) return Fail(ERROR_SHARING_VIOLATION);
    }
  }
  if (std::rename(source.c_str(), target.c_str()) == 0) return TRUE;
  int err = errno;
  if (err == EXDEV && (flags & MOVEFILE_COPY_ALLOWED) && S_ISREG(from_st.st_mode)) {
    std::error_code ec;
    fs::copy_file(source, target, fs::copy_options::overwrite_existing, ec);
    if (ec) return Fail(k460::ErrorFromErrno(ec.value(), target));
    ::unlink(source.c_str());
    return TRUE;
  }
  return Fail(k460::ErrorFromErrno(err, err == ENOENT ? target : source));
}

}  // namespace

K460_API BOOL DeleteFileW(LPCWSTR lpFileName) {
  if (k460::CallFailsSetError("DeleteFileW", k460::Utf16ToUtf8(k460::WideView(lpFileName)))) return FALSE;
  fs::path path;
  DWORD error = ERROR_SUCCESS;
  if (!k460::ResolveFileName(lpFileName, &path, &error)) return Fail(error);
  auto lock = k460::LockSharing();
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return Fail(k460::ErrorFromErrno(errno, path));
  if (S_ISDIR(st.st_mode) || IsReadOnly(st)) return Fail(ERROR_ACCESS_DENIED);
  if (k460::SharingConflict(k460::FileId{st.st_dev, st.st_ino}, kRemoving)) return Fail(ERROR_SHARING_VIOLATION);
  if (::unlink(path.c_str()) != 0) return Fail(k460::ErrorFromErrno(errno, path));
  return TRUE;
}

// MoveFileW moves across volumes by copying, as on Windows.
K460_API BOOL MoveFileW(LPCWSTR lpExistingFileName, LPCWSTR lpNewFileName) {
  if (k460::CallFailsSetError("MoveFileW", k460::Utf16ToUtf8(k460::WideView(lpExistingFileName)))) return FALSE;
  return Move(lpExistingFileName, lpNewFileName, MOVEFILE_COPY_ALLOWED);
}

K460_API BOOL MoveFileExW(LPCWSTR lpExistingFileName, LPCWSTR lpNewFileName, DWORD dwFlags) {
  if (k460::CallFailsSetError("MoveFileExW", k460::Utf16ToUtf8(k460::WideView(lpExistingFileName)))) return FALSE;
  return Move(lpExistingFileName, lpNewFileName, dwFlags);
}

K460_API BOOL CopyFileW(LPCWSTR lpExistingFileName, LPCWSTR lpNewFileName, BOOL bFailIfExists) {
  if (k460::CallFailsSetError("CopyFileW", k460::Utf16ToUtf8(k460::WideView(lpExistingFileName)))) return FALSE;
  fs::path source, target;
  DWORD error = ERROR_SUCCESS;
  if (!k460::ResolveFileName(lpExistingFileName, &source, &error)) return Fail(error);
  if (!k460::ResolveFileName(lpNewFileName, &target, &error)) return Fail(error);

  auto lock = k460::LockSharing();
  struct stat from_st {}, to_st {};
  if (::stat(source.c_str(), &from_st) != 0) return Fail(k460::ErrorFromErrno(errno, source));
  if (S_ISDIR(from_st.st_mode)) return Fail(ERROR_ACCESS_DENIED);
  // The copy reads the source sharing reading, and writes the target alone.
  if (k460::SharingConflict(k460::FileId{from_st.st_dev, from_st.st_ino}, k460::OpenMode{true, false, false, FILE_SHARE_READ}))
    return Fail(ERROR_SHARING_VIOLATION);
  if (::stat(target.c_str(), &to_st) == 0) {
    if (bFailIfExists) return Fail(ERROR_FILE_EXISTS);
    if (S_ISDIR(to_st.st_mode) || IsReadOnly(to_st)) return Fail(ERROR_ACCESS_DENIED);
    k460::FileId to_id{to_st.st_dev, to_st.st_ino};
    if (to_id == k460::FileId{from_st.st_dev, from_st.st_ino} ||
        k460::SharingConflict(to_id, k460::OpenMode{false, true, false, 0}))
      return Fail(ERROR_SHARING_VIOLATION);
  }
  std::error_code ec;
  fs::copy_file(source, target, fs::copy_options::overwrite_existing, ec);
  if (ec) return Fail(k460::ErrorFromErrno(ec.value(), target));
  return TRUE;
}

// Files report FILE_ATTRIBUTE_ARCHIVE (as freshly written files do on
// Windows), plus FILE_ATTRIBUTE_READONLY when they cannot be written.
K460_API DWORD GetFileAttributesW(LPCWSTR lpFileName) {
  fs::path path;
  DWORD error = ERROR_SUCCESS;
  if (!k460::ResolveFileName(lpFileName, &path, &error)) {
    SetLastError(error);
    return INVALID_FILE_ATTRIBUTES;
  }
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    SetLastError(k460::ErrorFromErrno(errno, path));
    return INVALID_FILE_ATTRIBUTES;
  }
  if (S_ISDIR(st.st_mode)) return FILE_ATTRIBUTE_DIRECTORY;
  return FILE_ATTRIBUTE_ARCHIVE | (IsReadOnly(st) ? FILE_ATTRIBUTE_READONLY : 0);
}

K460_API BOOL CreateDirectoryW(LPCWSTR lpPathName, LPSECURITY_ATTRIBUTES /*lpSecurityAttributes*/) {
  fs::path path;
  DWORD error = ERROR_SUCCESS;
  if (!k460::ResolveFileName(lpPathName, &path, &error)) return Fail(error);
  if (::mkdir(path.c_str(), 0777) == 0) return TRUE;
  int err = errno;
  if (err == EEXIST) return Fail(ERROR_ALREADY_EXISTS);
  if (err == ENOENT) return Fail(ERROR_PATH_NOT_FOUND);
  return Fail(k460::ErrorFromErrno(err, path));
}

K460_API BOOL RemoveDirectoryW(LPCWSTR lpPathName) {
  fs::path path;
  DWORD error = ERROR_SUCCESS;
  if (!k460::ResolveFileName(lpPathName, &path, &error)) return Fail(error);
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return Fail(k460::ErrorFromErrno(errno, path));
  if (!S_ISDIR(st.st_mode)) return Fail(ERROR_DIRECTORY);
  if (::rmdir(path.c_str()) == 0) return TRUE;
  int err = errno;
  return Fail(err == EEXIST ? ERROR_DIR_NOT_EMPTY : k460::ErrorFromErrno(err, path));
}
