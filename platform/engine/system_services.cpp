// Engine services that only pass through to the platform: memory and the
// code pages of the machine.
#include <cstdlib>
#include <cstring>

#include "platform/base/internal.h"
#include "platform/engine/engine.h"
#include "platform/engine/objects.h"

using k460::engine::Fail;

K460_API PVOID EngAllocMem(ULONG fl, ULONG cjMemSize, ULONG) {
  if (k460::CallFailsSetError("EngAllocMem")) return nullptr;
  if (cjMemSize == 0) return Fail(ERROR_INVALID_PARAMETER, PVOID{});
  void* p = (fl & FL_ZERO_MEMORY) ? std::calloc(1, cjMemSize) : std::malloc(cjMemSize);
  if (!p) return Fail(ERROR_NOT_ENOUGH_MEMORY, PVOID{});
  return p;
}

K460_API void EngFreeMem(PVOID pv) { std::free(pv); }

K460_API void EngGetCurrentCodePage(PUSHORT OemCodePage, PUSHORT AnsiCodePage) {
  if (OemCodePage) *OemCodePage = static_cast<USHORT>(GetOEMCP());
  if (AnsiCodePage) *AnsiCodePage = static_cast<USHORT>(GetACP());
}
