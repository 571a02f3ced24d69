#include "tests/platform/outside/test_files.h"

#include <algorithm>
#include <cstring>

#include "platform/files/files.h"

namespace k460::testing {

DWORD CALLBACK MemoryFile::Write(HANDLE handle, LPCVOID buffer, DWORD bytes) {
  auto* file = static_cast<MemoryFile*>(handle);
  DWORD allowed = bytes;
  if (file->writeBudget) {
    allowed = static_cast<DWORD>(std::min<std::size_t>(bytes, *file->writeBudget));
    *file->writeBudget -= allowed;
  }
  if (file->position + allowed > file->bytes.size()) file->bytes.resize(file->position + allowed);
  if (allowed) std::memcpy(file->bytes.data() + file->position, buffer, allowed);
  file->position += allowed;
  if (allowed < bytes && file->writeError) SetLastError(file->writeError);
  return allowed;
}

DWORD CALLBACK MemoryFile::Read(HANDLE handle, LPVOID buffer, DWORD bytes) {
  auto* file = static_cast<MemoryFile*>(handle);
  if (file->failReads) {
    SetLastError(ERROR_READ_FAULT);
    return 0;
  }
  DWORD available = file->position < file->bytes.size() ? static_cast<DWORD>(file->bytes.size() - file->position) : 0;
  DWORD done = std::min(bytes, available);
  if (done) std::memcpy(buffer, file->bytes.data() + file->position, done);
  file->position += done;
  return done;
}

DWORD CALLBACK MemoryFile::Seek(HANDLE handle, LONG distance, DWORD method) {
  auto* file = static_cast<MemoryFile*>(handle);
  if (file->failSeeks) {
    SetLastError(ERROR_GEN_FAILURE);
    return INVALID_SET_FILE_POINTER;
  }
  std::int64_t base = method == FILE_BEGIN ? 0 : method == FILE_CURRENT ? file->position : file->bytes.size();
  std::int64_t target = base + distance;
  if (target < 0) {
    SetLastError(ERROR_NEGATIVE_SEEK);
    return INVALID_SET_FILE_POINTER;
  }
  file->position = static_cast<DWORD>(target);
  return file->position;
}

DWORD CALLBACK PlatformWrite(HANDLE file, LPCVOID buffer, DWORD bytes) {
  DWORD done = 0;
  return WriteFile(file, buffer, bytes, &done, nullptr) ? done : 0;
}

DWORD CALLBACK PlatformRead(HANDLE file, LPVOID buffer, DWORD bytes) {
  DWORD done = 0;
  return ReadFile(file, buffer, bytes, &done, nullptr) ? done : 0;
}

DWORD CALLBACK PlatformSeek(HANDLE file, LONG distance, DWORD method) {
  return SetFilePointer(file, distance, nullptr, method);
}

}  // namespace k460::testing
