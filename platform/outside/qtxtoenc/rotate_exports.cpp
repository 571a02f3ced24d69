// RotateInit, RotateOut and LeftRotateOut. The turning reader's state lives
// entirely in the caller's block (there is no Free to release anything):
// the geometry, the callbacks, the file and the next turned row.
#include <cstring>

#include "platform/base/base.h"
#include "platform/outside/qtxtoenc/page_turner.h"
#include "platform/outside/qtxtoenc/qtxtoenc.h"

namespace {

constexpr DWORD kRotateSignature = 0x544F5254;  // "TROT"

struct RotateBlock {
  DWORD signature;
  DWORD nextRow;
  qtxtoenc::TurnGeometry geometry;
  ENCODE_READ_PROC read;
  ENCODE_SEEK_PROC seek;
  HANDLE file;
};
static_assert(sizeof(RotateBlock) <= sizeof(ROTATESTATE));

BOOL Fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

BOOL DeliverRows(ROTATESTATE* state, bool right, BYTE* dest, DWORD count) {
  if (!state) return Fail(ERROR_INVALID_PARAMETER);
  RotateBlock block;
  std::memcpy(&block, state, sizeof block);
  if (block.signature != kRotateSignature) return Fail(ERROR_INVALID_PARAMETER);
  if (count == 0) return TRUE;
  if (!dest || count > block.geometry.sourceWidth - block.nextRow) return Fail(ERROR_INVALID_PARAMETER);
  qtxtoenc::CallerFile file(nullptr, block.read, block.seek, block.file);
  if (!qtxtoenc::TurnRows(block.geometry, right, block.nextRow, count, dest, file))
    return Fail(file.failure() ? file.failure() : ERROR_NOT_ENOUGH_MEMORY);
  block.nextRow += count;
  std::memcpy(state, &block, sizeof block);
  return TRUE;
}

}  // namespace

K460_API BOOL WINAPI RotateInit(ROTATESTATE* pState, LONG lTurnedHeight, LONG lTurnedWidth, ENCODE_READ_PROC pfnRead,
                                ENCODE_SEEK_PROC pfnSeek, HANDLE hFile) {
  if (!pState || !pfnRead || !pfnSeek) return Fail(ERROR_INVALID_PARAMETER);
  if (lTurnedHeight < 1 || lTurnedHeight > ENCODE_MAX_PIXELS || lTurnedWidth < 1 || lTurnedWidth > ENCODE_MAX_PIXELS)
    return Fail(ERROR_INVALID_PARAMETER);
  if (!hFile || hFile == INVALID_HANDLE_VALUE) return Fail(ERROR_INVALID_HANDLE);
  std::memset(pState, 0, sizeof *pState);

  RotateBlock block{};
  block.geometry.sourceWidth = static_cast<DWORD>(lTurnedHeight);
  block.geometry.sourceHeight = static_cast<DWORD>(lTurnedWidth);
  qtxtoenc::CallerFile file(nullptr, pfnRead, pfnSeek, hFile);
  DWORD size = 0;
  if (!file.Size(&size)) return Fail(file.failure());
  block.geometry.sourceRowBytes = qtxtoenc::SourceRowBytes(block.geometry.sourceWidth, block.geometry.sourceHeight, size);
  if (block.geometry.sourceRowBytes == 0) return Fail(ERROR_HANDLE_EOF);  // not the whole raster

  block.signature = kRotateSignature;
  block.read = pfnRead;
  block.seek = pfnSeek;
  block.file = hFile;
  std::memcpy(pState, &block, sizeof block);
  return TRUE;
}

K460_API BOOL WINAPI RotateOut(ROTATESTATE* pState, BYTE* pDest, DWORD cRows) {
  return DeliverRows(pState, true, pDest, cRows);
}

K460_API BOOL WINAPI LeftRotateOut(ROTATESTATE* pState, BYTE* pDest, DWORD cRows) {
  return DeliverRows(pState, false, pDest, cRows);
}
