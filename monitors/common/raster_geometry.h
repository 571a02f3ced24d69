// Row pitch, block size and pixel counts of the one-bit page raster: rows of
// `Width` pixels, leftmost pixel in the top bit, a 0 bit is black.
#pragma once

#include <cstdint>
#include <span>

namespace k460::pagestream {

// Bytes per row with rows padded to 16 bits (the network monitor's rule) and
// to 32 bits (the language monitor's and the drivers' rule). `width` > 0.
std::uint32_t RowBytes16(std::int32_t width);
std::uint32_t RowBytes32(std::int32_t width);

// The row pitch of a raster of `rasterBytes` bytes holding `height` rows of
// `width` pixels padded by either rule (when both fit they agree); 0 when
// neither fits or the geometry is not positive. Computed in 64 bits, so no
// product can overflow.
std::uint32_t MatchingRowBytes(std::int32_t width, std::int32_t height, std::uint64_t rasterBytes);

// Bytes of raster handed to the encoder at a time: whole rows, about 1 MiB
// (`Coding` 2: whole multiples of 128 rows within 8 KiB per row block), never
// more than the page. At least one row.
std::uint32_t BlockBytes(std::uint32_t rowBytes, std::int16_t coding, std::uint32_t rasterBytes);

// Black (0) pixels in whole rows of `rowBytes` bytes, counting only the first
// `width` pixels of each row (padding bits are ignored). A trailing partial
// row is ignored.
std::uint64_t CountBlackPixels(std::span<const std::uint8_t> rows, std::int32_t width, std::uint32_t rowBytes);

}  // namespace k460::pagestream
