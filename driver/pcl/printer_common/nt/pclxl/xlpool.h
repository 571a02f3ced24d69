// The allocation pool of one device: every block the device keeps for its
// lifetime (the device record itself, the device-font table, the TrueType
// download table and its arrays) comes from it, and the whole pool is
// released at once when the device is disabled. Nothing is freed singly.
#pragma once

#include <cstddef>

struct XlPool;

// An empty pool, or none when memory runs out (last error from GlobalAlloc).
XlPool* HEAPCREATE();
// cb zero-filled bytes that live as long as the pool; none when memory runs
// out or cb is absurd.
void* HEAPALLOC(XlPool* pool, std::size_t cb);
// Frees every block and the pool itself. Safe with none.
void HEAPDESTROY(XlPool* pool);
