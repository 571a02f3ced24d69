#include "monitors/common/raster_geometry.h"

#include <gtest/gtest.h>

#include <vector>

namespace k460::pagestream {
namespace {

TEST(RasterGeometryTest, RowPitchByEitherRule) {
  struct Case {
    std::int32_t width;
    std::uint32_t rule16, rule32;
  };
  for (const auto& c : std::vector<Case>{{1, 2, 4}, {16, 2, 4}, {17, 4, 4}, {2480, 310, 312}, {4992, 624, 624},
                                         {32767, 4096, 4096}}) {
    EXPECT_EQ(RowBytes16(c.width), c.rule16) << c.width;
    EXPECT_EQ(RowBytes32(c.width), c.rule32) << c.width;
  }
}

TEST(RasterGeometryTest, MatchingRowBytesTakesOnlyAnExactFit) {
  struct Case {
    std::int32_t width, height;
    std::uint64_t rasterBytes;
    std::uint32_t pitch;
  };
  const std::vector<Case> cases = {
      {2480, 10, 3100, 310},                  // network monitor's padding
      {2480, 10, 3120, 312},                  // language monitor's and the drivers' padding
      {2480, 10, 3110, 0},                    // neither
      {4992, 7040, 7040ull * 624, 624},
      {32767, 32767, 4096ull * 32767, 4096},  // the largest page: no overflow
      {32767, 32767, 0xFFFFFFFFull, 0},
      {0, 10, 0, 0},
      {8, -1, 4, 0},
      {-8, 1, 4, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MatchingRowBytes(c.width, c.height, c.rasterBytes), c.pitch) << c.width << "x" << c.height;
  }
}

TEST(RasterGeometryTest, BlockBytesAreWholeRowsAndNeverMoreThanThePage) {
  struct Case {
    std::uint32_t rowBytes;
    std::int16_t coding;
    std::uint32_t rasterBytes, block;
  };
  const std::vector<Case> cases = {
      {624, 0, 7040 * 624, 1680 * 624},       // 1 MiB rule
      {624, 2, 7040 * 624, 13 * 624 * 128},   // 128-row rule for JBIG
      {624, 0, 10 * 624, 10 * 624},           // the page is smaller than a block
      {5000, 2, 400 * 5000, 128 * 5000},
      {2000000, 0, 2 * 2000000, 2000000},     // a row larger than the block: one row
  };
  for (const auto& c : cases) {
    EXPECT_EQ(BlockBytes(c.rowBytes, c.coding, c.rasterBytes), c.block) << c.rowBytes << " coding " << c.coding;
  }
}

TEST(RasterGeometryTest, CountsBlackPixelsInsideTheWidthOnly) {
  // Width 10 in rows of 4 bytes: bits 10 to 31 are padding.
  const std::vector<std::uint8_t> rows = {
      0x00, 0x00, 0x00, 0x00,  // 10 black (padding zeros do not count)
      0xFF, 0x3F, 0xFF, 0xFF,  // bits 8 and 9 black
      0x7F, 0xFF, 0x00, 0x00,  // bit 0 black
      0x00,                    // partial row: ignored
  };
  EXPECT_EQ(CountBlackPixels(rows, 10, 4), 13u);
  EXPECT_EQ(CountBlackPixels(rows, 16, 2), 16u + 16 + 2 + 0 + 1 + 16);  // six rows of 2 bytes
  EXPECT_EQ(CountBlackPixels(rows, 0, 4), 0u);
}

}  // namespace
}  // namespace k460::pagestream
