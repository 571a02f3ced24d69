// The turning reader against a plain pixel-by-pixel turn: pages of several
// shapes, turned right and left, delivered in portions of several sizes.
#include <cstring>

#include "tests/platform/outside/encoder_fixture.h"
#include "tests/platform/outside/independent_decoders.h"

namespace k460::testing {
namespace {

struct TurnCase {
  LONG width;   // of the unturned page
  LONG height;
  DWORD portion;  // turned rows per Out call
  DWORD sourcePitch;  // 0: the 16-bit rule; else rows padded this far
};

std::string CaseName(const ::testing::TestParamInfo<TurnCase>& info) {
  const TurnCase& c = info.param;
  return std::to_string(c.width) + "x" + std::to_string(c.height) + "_by" + std::to_string(c.portion) +
         (c.sourcePitch ? "_pitch" + std::to_string(c.sourcePitch) : "");
}

class PageTurningTest : public EncoderTest, public ::testing::WithParamInterface<TurnCase> {
 protected:
  // The unturned page written to a file as the monitors write their "Rot" file.
  MemoryFile SourceFile(const Raster& page) {
    MemoryFile file;
    file.bytes = page.bits;
    file.position = static_cast<DWORD>(file.bytes.size());
    return file;
  }

  Raster Turn(MemoryFile& source, LONG width, LONG height, bool right, DWORD portion) {
    ROTATESTATE state{};
    Raster turned(height, width);
    EXPECT_TRUE(enc.RotateInit(&state, width, height, MemoryFile::Read, MemoryFile::Seek, source.handle()));
    for (LONG y = 0; y < turned.height; y += static_cast<LONG>(portion)) {
      DWORD rows = std::min<DWORD>(portion, static_cast<DWORD>(turned.height - y));
      BOOL ok = right ? enc.RotateOut(&state, turned.Row(y), rows) : enc.LeftRotateOut(&state, turned.Row(y), rows);
      EXPECT_TRUE(ok) << GetLastError();
    }
    return turned;
  }
};

TEST_P(PageTurningTest, RowsAgreeWithAPlainTurn) {
  const TurnCase& c = GetParam();
  Raster page = MakePage(PageKind::Noise, c.width, c.height, 5);
  if (c.sourcePitch) {  // the same pixels with rows padded further
    Raster wide(c.width, c.height, c.sourcePitch);
    for (LONG y = 0; y < c.height; ++y) std::memcpy(wide.Row(y), page.Row(y), page.rowBytes);
    page = wide;
  }
  for (bool right : {true, false}) {
    SCOPED_TRACE(right ? "right" : "left");
    MemoryFile source = SourceFile(page);
    Raster turned = Turn(source, c.width, c.height, right, c.portion);
    EXPECT_EQ(CompareRasters(ReferenceTurn(page, right), turned), "");
    // Padding bits beyond the turned width are white.
    for (LONG y = 0; y < turned.height; ++y)
      for (LONG x = turned.width; x < static_cast<LONG>(turned.rowBytes * 8); ++x)
        ASSERT_FALSE(turned.Black(x, y)) << x << "," << y;
  }
}

INSTANTIATE_TEST_SUITE_P(Shapes, PageTurningTest,
                         ::testing::Values(TurnCase{13, 7, 1, 0}, TurnCase{1, 9, 1, 0}, TurnCase{9, 1, 4, 0},
                                           TurnCase{64, 64, 64, 0}, TurnCase{333, 517, 37, 0},
                                           TurnCase{100, 2001, 100, 0}, TurnCase{48, 19, 5, 8},
                                           TurnCase{4960, 41, 4960, 0}, TurnCase{40, 7016, 8, 0}),
                         CaseName);

using TurnThenEncodeTest = EncoderTest;

// As the monitors do with a page whose header asks for a turn: the raster
// goes to a file, comes back turned in block-sized portions and is coded.
TEST_F(TurnThenEncodeTest, ATurnedPageCodesToTheTurnedImage) {
  Raster page = MakePage(PageKind::Text, 2400, 1700, 3);
  MemoryFile source;
  source.bytes = page.bits;
  ROTATESTATE turn{};
  ASSERT_TRUE(enc.RotateInit(&turn, page.width, page.height, MemoryFile::Read, MemoryFile::Seek, source.handle()));
  Raster expected = ReferenceTurn(page, false);
  MemoryFile mmr;
  FAXENCODESTATE code{};
  ASSERT_TRUE(enc.FaxEncodeInit(&code, expected.width, expected.height, ENCODE_ROW_FORMAT, ENCODE_CODING_MMR, 600,
                                MemoryFile::Write, MemoryFile::Read, MemoryFile::Seek, mmr.handle()));
  const DWORD portion = 500;
  std::vector<BYTE> block(portion * expected.rowBytes);
  for (LONG y = 0; y < expected.height; y += static_cast<LONG>(portion)) {
    DWORD rows = std::min<DWORD>(portion, static_cast<DWORD>(expected.height - y));
    ASSERT_TRUE(enc.LeftRotateOut(&turn, block.data(), rows));
    ASSERT_TRUE(enc.FaxEncodeOut(&code, block.data(), rows));
  }
  ASSERT_TRUE(enc.FaxEncodeFree(&code));

  Raster decoded;
  ASSERT_EQ(DecodeMmr(mmr.bytes, expected.width, expected.height, root(), &decoded), "");
  EXPECT_EQ(CompareRasters(expected, decoded), "");
}

}  // namespace
}  // namespace k460::testing
