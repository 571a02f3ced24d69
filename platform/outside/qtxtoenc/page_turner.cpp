#include "platform/outside/qtxtoenc/page_turner.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "platform/outside/qtxtoenc/bit_transpose.h"

namespace qtxtoenc {

namespace {

// Source rows are read in pieces of about this size.
constexpr DWORD kReadBytes = 256 * 1024;
constexpr DWORD kFileBegin = 0;

DWORD RowBytes32(DWORD width) { return ((width + 31) / 32) * 4; }

}  // namespace

DWORD SourceRowBytes(DWORD sourceWidth, DWORD sourceHeight, DWORD fileSize) {
  std::uint64_t padded16 = ENCODE_ROW_BYTES(static_cast<LONG>(sourceWidth));
  std::uint64_t padded32 = RowBytes32(sourceWidth);
  if (padded32 != padded16 && padded32 * sourceHeight == fileSize) return static_cast<DWORD>(padded32);
  if (padded16 * sourceHeight <= fileSize) return static_cast<DWORD>(padded16);
  return 0;
}

// Turned byte b of every turned row comes from eight source rows ("group b"):
// turned left, rows 8b .. 8b+7 top down; turned right, rows h-1-8b down to
// h-8-8b, so that the first of the eight always lands in the byte's top bit.
// Rows beyond the raster are white.
bool TurnRows(const TurnGeometry& g, bool right, DWORD firstRow, DWORD count, BYTE* dest, CallerFile& file) {
  const DWORD destRowBytes = ENCODE_ROW_BYTES(static_cast<LONG>(g.sourceHeight));
  const DWORD groups = (g.sourceHeight + 7) / 8;
  // Source columns that the asked rows come from, inclusive.
  const DWORD lowColumn = right ? firstRow : g.sourceWidth - firstRow - count;
  const DWORD highColumn = lowColumn + count - 1;
  const DWORD lowByte = lowColumn / 8, highByte = highColumn / 8;

  for (DWORD t = 0; t < count; ++t)  // padding bytes beyond the groups stay white
    std::memset(dest + static_cast<std::size_t>(t) * destRowBytes + groups, 0xFF, destRowBytes - groups);

  const DWORD groupsPerRead = std::max<DWORD>(1, kReadBytes / (8 * g.sourceRowBytes));
  std::unique_ptr<BYTE[]> buffer(new (std::nothrow) BYTE[static_cast<std::size_t>(groupsPerRead) * 8 * g.sourceRowBytes]);
  if (!buffer) return false;

  for (DWORD firstGroup = 0; firstGroup < groups; firstGroup += groupsPerRead) {
    const DWORD endGroup = std::min(groups, firstGroup + groupsPerRead);
    // The source rows of these groups, [top, bottom).
    const std::int64_t h = g.sourceHeight;
    std::int64_t top = right ? h - 8 * static_cast<std::int64_t>(endGroup) : 8 * static_cast<std::int64_t>(firstGroup);
    std::int64_t bottom = right ? h - 8 * static_cast<std::int64_t>(firstGroup) : 8 * static_cast<std::int64_t>(endGroup);
    top = std::max<std::int64_t>(top, 0);
    bottom = std::min<std::int64_t>(bottom, h);
    const auto rows = static_cast<DWORD>(bottom - top);
    if (!file.Seek(static_cast<LONG>(top * g.sourceRowBytes), kFileBegin, nullptr) ||
        !file.ReadExact(buffer.get(), rows * g.sourceRowBytes))
      return false;

    for (DWORD b = firstGroup; b < endGroup; ++b) {
      // The eight source rows of the group, in the order of the turned bits.
      const BYTE* source[8];
      for (int i = 0; i < 8; ++i) {
        std::int64_t y = right ? h - 1 - 8 * static_cast<std::int64_t>(b) - i : 8 * static_cast<std::int64_t>(b) + i;
        source[i] = (y >= top && y < bottom) ? buffer.get() + (y - top) * g.sourceRowBytes : nullptr;
      }
      for (DWORD j = lowByte; j <= highByte; ++j) {
        std::uint64_t block = 0;
        for (int i = 0; i < 8; ++i) block = (block << 8) | (source[i] ? source[i][j] : 0xFF);
        block = Transpose8x8(block);
        const DWORD firstK = j == lowByte ? lowColumn % 8 : 0;
        const DWORD lastK = j == highByte ? highColumn % 8 : 7;
        for (DWORD k = firstK; k <= lastK; ++k) {
          const DWORD column = 8 * j + k;
          const DWORD turnedRow = (right ? column : g.sourceWidth - 1 - column) - firstRow;
          dest[static_cast<std::size_t>(turnedRow) * destRowBytes + b] = static_cast<BYTE>(block >> (56 - 8 * k));
        }
      }
    }
  }
  return true;
}

}  // namespace qtxtoenc
