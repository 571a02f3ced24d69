#include "monitors/common/raster_geometry.h"

#include <algorithm>
#include <bit>

#include "monitors/common/page_codes.h"

namespace k460::pagestream {

std::uint32_t RowBytes16(std::int32_t width) {
  return static_cast<std::uint32_t>((static_cast<std::int64_t>(width) + 15) / 16 * 2);
}

std::uint32_t RowBytes32(std::int32_t width) {
  return static_cast<std::uint32_t>((static_cast<std::int64_t>(width) + 31) / 32 * 4);
}

std::uint32_t MatchingRowBytes(std::int32_t width, std::int32_t height, std::uint64_t rasterBytes) {
  if (width <= 0 || height <= 0) return 0;
  for (std::uint32_t pitch : {RowBytes32(width), RowBytes16(width)}) {
    if (static_cast<std::uint64_t>(pitch) * static_cast<std::uint64_t>(height) == rasterBytes) return pitch;
  }
  return 0;
}

std::uint32_t BlockBytes(std::uint32_t rowBytes, std::int16_t coding, std::uint32_t rasterBytes) {
  if (rowBytes == 0) return 0;
  std::uint64_t block = coding == kCodingJBG ? std::uint64_t{8192 / rowBytes} * rowBytes * 128
                                             : std::uint64_t{1048576 / rowBytes} * rowBytes;
  block = std::max<std::uint64_t>(block, rowBytes);
  return static_cast<std::uint32_t>(std::min<std::uint64_t>(block, rasterBytes));
}

std::uint64_t CountBlackPixels(std::span<const std::uint8_t> rows, std::int32_t width, std::uint32_t rowBytes) {
  if (width <= 0 || rowBytes == 0) return 0;
  const std::uint32_t fullBytes = std::min<std::uint32_t>(static_cast<std::uint32_t>(width) / 8, rowBytes);
  const std::uint32_t restBits = fullBytes < rowBytes ? static_cast<std::uint32_t>(width) % 8 : 0;
  const std::uint8_t restMask = static_cast<std::uint8_t>(0xFF00u >> restBits);  // the top `restBits` bits
  std::uint64_t black = 0;
  for (std::size_t row = 0; row + rowBytes <= rows.size(); row += rowBytes) {
    for (std::uint32_t i = 0; i < fullBytes; ++i) black += 8 - std::popcount(rows[row + i]);
    if (restBits) black += std::popcount(static_cast<std::uint8_t>(~rows[row + fullBytes] & restMask));
  }
  return black;
}

}  // namespace k460::pagestream
