// The table of kernel-style objects behind HANDLE values.
#include <mutex>
#include <unordered_map>

#include "platform/base/internal.h"

namespace k460 {
namespace {

std::mutex gMutex;
// Handle values step by 4 from 0x1000 and are never reused.
std::uintptr_t gNext = 0x1000;

std::unordered_map<std::uintptr_t, std::shared_ptr<KernelObject>>& Table() {
  static auto* table = new std::unordered_map<std::uintptr_t, std::shared_ptr<KernelObject>>();
  return *table;
}

}  // namespace

HANDLE InsertHandle(std::shared_ptr<KernelObject> object) {
  std::lock_guard lock(gMutex);
  std::uintptr_t value = gNext;
  gNext += 4;
  Table().emplace(value, std::move(object));
  return reinterpret_cast<HANDLE>(value);
}

std::shared_ptr<KernelObject> LookupHandle(HANDLE handle) {
  std::lock_guard lock(gMutex);
  auto it = Table().find(reinterpret_cast<std::uintptr_t>(handle));
  return it == Table().end() ? nullptr : it->second;
}

bool RemoveHandle(HANDLE handle) {
  std::shared_ptr<KernelObject> doomed;  // destroyed outside the lock
  std::lock_guard lock(gMutex);
  auto it = Table().find(reinterpret_cast<std::uintptr_t>(handle));
  if (it == Table().end()) return false;
  doomed = std::move(it->second);
  Table().erase(it);
  return true;
}

}  // namespace k460

K460_API BOOL CloseHandle(HANDLE hObject) {
  if (!k460::RemoveHandle(hObject)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}
