#include "monitors/netmon/job_files.h"

#include <utility>

#include "monitors/netmon/temp_folder.h"
#include "platform/files/files.h"

namespace netmon {

TempFile::TempFile(TempFile&& other) noexcept
    : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)),
      name_(std::move(other.name_)),
      keep_(other.keep_) {
  other.name_.clear();
}

TempFile& TempFile::operator=(TempFile&& other) noexcept {
  if (this != &other) {
    Discard();
    handle_ = std::exchange(other.handle_, INVALID_HANDLE_VALUE);
    name_ = std::move(other.name_);
    other.name_.clear();
    keep_ = other.keep_;
  }
  return *this;
}

bool TempFile::Create(const char16_t* prefix, const char16_t* extension) {
  Discard();
  std::u16string folder = MonitorTempPath();
  if (GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES) {
    folder = PrepareTempFolder();
    SetMonitorTempPath(folder);
  }
  WCHAR path[MAX_PATH] = {};
  if (GetTempFileNameW(folder.c_str(), prefix, 0, path) == 0) return false;
  std::u16string name(path);
  if (extension) {
    DeleteFileW(name.c_str());
    if (name.size() < 3) return false;
    name.replace(name.size() - 3, 3, extension);
  }
  HANDLE handle = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    DeleteFileW(name.c_str());
    SetLastError(error);
    return false;
  }
  handle_ = handle;
  name_ = std::move(name);
  keep_ = false;
  return true;
}

bool TempFile::Append(const void* bytes, DWORD count) {
  DWORD written = 0;
  if (!WriteFile(handle_, bytes, count, &written, nullptr)) return false;
  if (written != count) {
    SetLastError(ERROR_WRITE_FAULT);
    return false;
  }
  return true;
}

void TempFile::Close() {
  if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  handle_ = INVALID_HANDLE_VALUE;
}

void TempFile::Discard() {
  Close();
  if (!name_.empty() && !keep_) DeleteFileW(name_.c_str());
  name_.clear();
  keep_ = false;
}

std::u16string TempFile::Release() {
  Close();
  keep_ = false;
  return std::exchange(name_, std::u16string());
}

void DeleteJobFile(const std::u16string& name, bool keep) {
  if (!keep && !name.empty()) DeleteFileW(name.c_str());
}

}  // namespace netmon
