#include "driver/pcl/printer_common/nt/pclxl/xlpool.h"

#include <cstddef>

#include "platform/base/base.h"

namespace {

// Every block starts with the link to the block allocated before it; the
// caller's memory follows, aligned for any type.
struct alignas(std::max_align_t) BlockLink {
  BlockLink* pNext;
};

}  // namespace

struct XlPool {
  BlockLink* pFirst;
};

XlPool* HEAPCREATE() { return static_cast<XlPool*>(GlobalAlloc(GPTR, sizeof(XlPool))); }

void* HEAPALLOC(XlPool* pool, std::size_t cb) {
  if (!pool || cb > static_cast<std::size_t>(0x7FFFFFFF)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto* block = static_cast<BlockLink*>(GlobalAlloc(GPTR, sizeof(BlockLink) + cb));
  if (!block) return nullptr;
  block->pNext = pool->pFirst;
  pool->pFirst = block;
  return block + 1;
}

void HEAPDESTROY(XlPool* pool) {
  if (!pool) return;
  for (BlockLink* block = pool->pFirst; block;) {
    BlockLink* next = block->pNext;
    GlobalFree(block);
    block = next;
  }
  GlobalFree(pool);
}
