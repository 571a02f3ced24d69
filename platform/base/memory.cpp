// GlobalAlloc/LocalAlloc: fixed blocks with a small header that records the
// size, and a registry of live blocks so that freeing a pointer twice or one
// that never came from here fails with ERROR_INVALID_HANDLE.
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_set>

#include "platform/base/base.h"
#include "platform/base/internal.h"

namespace {

struct BlockHeader {
  std::size_t size;
  std::size_t pad;  // keeps the caller's block 16-byte aligned
};

std::mutex gLiveMutex;
std::unordered_set<void*>& Live() {
  static auto* live = new std::unordered_set<void*>();
  return *live;
}

void* Allocate(const char* function, UINT flags, SIZE_T bytes) {
  if (k460::CallFailsSetError(function)) return nullptr;
  if (bytes > (SIZE_T(1) << 40)) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  auto* header = static_cast<BlockHeader*>(std::malloc(sizeof(BlockHeader) + (bytes ? bytes : 1)));
  if (!header) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  header->size = bytes;
  void* block = header + 1;
  if (flags & GMEM_ZEROINIT) std::memset(block, 0, bytes);
  std::lock_guard lock(gLiveMutex);
  Live().insert(block);
  return block;
}

bool IsLive(void* block) {
  std::lock_guard lock(gLiveMutex);
  return block && Live().count(block) != 0;
}

// Returns null on success, the block itself on failure, as the system does.
void* Release(void* block) {
  if (!block) return nullptr;
  {
    std::lock_guard lock(gLiveMutex);
    if (Live().erase(block) == 0) {
      SetLastError(ERROR_INVALID_HANDLE);
      return block;
    }
  }
  std::free(static_cast<BlockHeader*>(block) - 1);
  return nullptr;
}

SIZE_T SizeOf(void* block) {
  if (!IsLive(block)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  return (static_cast<BlockHeader*>(block) - 1)->size;
}

}  // namespace

K460_API HGLOBAL GlobalAlloc(UINT uFlags, SIZE_T dwBytes) { return Allocate("GlobalAlloc", uFlags, dwBytes); }
K460_API HGLOBAL GlobalFree(HGLOBAL hMem) { return Release(hMem); }
K460_API LPVOID GlobalLock(HGLOBAL hMem) {
  if (!IsLive(hMem)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return hMem;
}
K460_API BOOL GlobalUnlock(HGLOBAL hMem) {
  // Fixed blocks carry no lock count: the call reports "no longer locked".
  if (!IsLive(hMem)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  SetLastError(NO_ERROR);
  return FALSE;
}
K460_API SIZE_T GlobalSize(HGLOBAL hMem) { return SizeOf(hMem); }
K460_API HLOCAL LocalAlloc(UINT uFlags, SIZE_T uBytes) { return Allocate("LocalAlloc", uFlags, uBytes); }
K460_API HLOCAL LocalFree(HLOCAL hMem) { return Release(hMem); }
K460_API SIZE_T LocalSize(HLOCAL hMem) { return SizeOf(hMem); }
