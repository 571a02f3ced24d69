#include "driver/winnt/printer/src/km/sheet_raster.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace k460::hbgraph {

namespace {

constexpr std::array<std::uint8_t, 256> MakeReversal() {
  std::array<std::uint8_t, 256> table{};
  for (int i = 0; i < 256; ++i) {
    int r = 0;
    for (int b = 0; b < 8; ++b) r |= ((i >> b) & 1) << (7 - b);
    table[i] = static_cast<std::uint8_t>(r);
  }
  return table;
}
constexpr std::array<std::uint8_t, 256> kReversed = MakeReversal();

std::uint8_t* Row(const SheetBits& s, std::int32_t y) {
  return s.bits + static_cast<std::ptrdiff_t>(y) * s.bytesPerRow;
}

// The 8 source bits from `bit` on, in the top of a byte; bits past the row read as white.
std::uint8_t Fetch8(const std::uint8_t* row, std::int64_t rowBytes, std::int64_t bit) {
  const std::int64_t at = bit >> 3;
  const int offset = static_cast<int>(bit & 7);
  const unsigned first = at < rowBytes ? row[at] : 0xFF;
  if (offset == 0) return static_cast<std::uint8_t>(first);
  const unsigned second = at + 1 < rowBytes ? row[at + 1] : 0xFF;
  return static_cast<std::uint8_t>((first << offset) | (second >> (8 - offset)));
}

// Copies `count` pixels from bit `srcBit` of `src` to bit `dstBit` of `dst`.
void CopyBitRun(const std::uint8_t* src, std::int64_t srcBytes, std::int64_t srcBit, std::uint8_t* dst,
                std::int64_t dstBit, std::int64_t count) {
  if (count <= 0) return;
  if ((srcBit & 7) == 0 && (dstBit & 7) == 0) {
    const std::int64_t whole = count / 8;
    std::memcpy(dst + (dstBit >> 3), src + (srcBit >> 3), static_cast<std::size_t>(whole));
    srcBit += whole * 8;
    dstBit += whole * 8;
    count -= whole * 8;
  }
  // Up to the destination's next byte boundary, then whole bytes, each made
  // of two source bytes, then the rest.
  auto partial = [&](std::int64_t limit) {
    const int offset = static_cast<int>(dstBit & 7);
    const int n = static_cast<int>(std::min<std::int64_t>(8 - offset, limit));
    const std::uint8_t mask = static_cast<std::uint8_t>((0xFFu >> offset) & (0xFFu << (8 - offset - n)));
    std::uint8_t& d = dst[dstBit >> 3];
    d = static_cast<std::uint8_t>((d & ~mask) | ((Fetch8(src, srcBytes, srcBit) >> offset) & mask));
    srcBit += n;
    dstBit += n;
    count -= n;
  };
  if (count > 0 && (dstBit & 7) != 0) partial(count);
  if (count >= 8) {
    const int shift = static_cast<int>(srcBit & 7);
    std::int64_t whole = count / 8;
    const std::uint8_t* from = src + (srcBit >> 3);
    std::uint8_t* to = dst + (dstBit >> 3);
    // The last whole byte may need a source byte past the row: Fetch8 reads it safely.
    const std::int64_t safe = shift == 0 ? whole : std::min(whole, srcBytes - (srcBit >> 3) - 1);
    for (std::int64_t i = 0; i < safe; ++i) {
      to[i] = shift == 0 ? from[i] : static_cast<std::uint8_t>((from[i] << shift) | (from[i + 1] >> (8 - shift)));
    }
    srcBit += safe * 8;
    dstBit += safe * 8;
    count -= safe * 8;
  }
  while (count > 0) {
    const int offset = static_cast<int>(dstBit & 7);
    const int n = static_cast<int>(std::min<std::int64_t>(8 - offset, count));
    const std::uint8_t mask = static_cast<std::uint8_t>((0xFFu >> offset) & (0xFFu << (8 - offset - n)));
    std::uint8_t& d = dst[dstBit >> 3];
    d = static_cast<std::uint8_t>((d & ~mask) | ((Fetch8(src, srcBytes, srcBit) >> offset) & mask));
    srcBit += n;
    dstBit += n;
    count -= n;
  }
}

}  // namespace

void FillWhite(const SheetBits& sheet) {
  std::memset(sheet.bits, 0xFF, static_cast<std::size_t>(sheet.bytesPerRow) * sheet.size.height);
}

void FillBlack(const SheetBits& sheet, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, sheet.bytesPerRow * 8);
  bottom = std::min(bottom, sheet.size.height);
  if (left >= right || top >= bottom) return;
  for (std::int32_t y = top; y < bottom; ++y) {
    std::uint8_t* row = Row(sheet, y);
    for (std::int32_t x = left; x < right;) {
      const int offset = x & 7;
      const int n = std::min(8 - offset, right - x);
      const std::uint8_t mask = static_cast<std::uint8_t>((0xFFu >> offset) & (0xFFu << (8 - offset - n)));
      row[x >> 3] = static_cast<std::uint8_t>(row[x >> 3] & ~mask);
      x += n;
    }
  }
}

void DrawFrame(const SheetBits& sheet, std::int32_t x, std::int32_t y, PixelSize extent, std::int32_t width) {
  if (width <= 0) return;
  const std::int32_t left = x - width, top = y - width;
  const std::int32_t right = x + extent.width + width, bottom = y + extent.height + width;
  FillBlack(sheet, left, top, right, y);                        // top
  FillBlack(sheet, left, y + extent.height, right, bottom);     // bottom
  FillBlack(sheet, left, y, x, y + extent.height);              // left
  FillBlack(sheet, x + extent.width, y, right, y + extent.height);  // right
}

void ComposeRaster(const SheetBits& sheet, const SheetBits& out, const Composition& c) {
  FillWhite(out);
  const std::int64_t a = std::int64_t{sheet.bytesPerRow} * 8;
  const std::int64_t b = sheet.size.height;
  const std::int64_t e = c.marginX, l = c.marginY, h = c.shiftX;
  const std::int64_t f = c.shiftY;
  const std::int64_t count = a - 2 * e - std::abs(h);
  const std::int64_t rows = b - std::abs(f) - 2 * l;
  if (count <= 0 || rows <= 0) return;
  const std::int64_t x0 = std::max<std::int64_t>(-h, 0);
  const std::int64_t y0 = c.turned ? std::max<std::int64_t>(f, 0) : std::max<std::int64_t>(-f, 0);
  const std::int64_t outX = c.turned ? a - x0 - count - e - h : x0 + e + h;
  if (outX < 0 || outX + count > a) return;  // cannot happen with the margins above; never write outside
  std::vector<std::uint8_t> reversed(c.turned ? static_cast<std::size_t>(sheet.bytesPerRow) : 0);
  for (std::int64_t y = y0; y < y0 + rows; ++y) {
    const std::int64_t outY = c.turned ? b - 1 - (y + l - f) : y + l + f;
    if (y < 0 || y >= b || outY < 0 || outY >= b) continue;
    const std::uint8_t* src = Row(sheet, static_cast<std::int32_t>(y));
    std::uint8_t* dst = Row(out, static_cast<std::int32_t>(outY));
    if (c.turned) {
      for (std::int32_t i = 0; i < sheet.bytesPerRow; ++i) reversed[i] = kReversed[src[sheet.bytesPerRow - 1 - i]];
      CopyBitRun(reversed.data(), sheet.bytesPerRow, a - x0 - count, dst, outX, count);
    } else {
      CopyBitRun(src, sheet.bytesPerRow, x0, dst, outX, count);
    }
  }
}

std::uint64_t CountBlack(const SheetBits& sheet) {
  std::uint64_t black = 0;
  const std::size_t bytes = static_cast<std::size_t>(sheet.bytesPerRow) * sheet.size.height;
  for (std::size_t i = 0; i < bytes; ++i) black += 8 - std::popcount(sheet.bits[i]);
  return black;
}

}  // namespace k460::hbgraph
