// Pages of every kind coded as bare MMR and as a TIFF page, decoded again by
// Ghostscript (MMR) and libtiff (TIFF) and compared pixel for pixel.
#include <fstream>

#include "tests/platform/outside/encoder_fixture.h"
#include "tests/platform/outside/independent_decoders.h"

namespace k460::testing {
namespace {

struct PageCase {
  PageKind kind;
  LONG width;
  LONG height;
  DWORD portion;  // rows per Out call
};

std::string CaseName(const ::testing::TestParamInfo<PageCase>& info) {
  return PageKindName(info.param.kind) + "_" + std::to_string(info.param.width) + "x" +
         std::to_string(info.param.height) + "_by" + std::to_string(info.param.portion);
}

class PageCodingTest : public EncoderTest, public ::testing::WithParamInterface<PageCase> {};

TEST_P(PageCodingTest, MmrDecodesToThePage) {
  const PageCase& c = GetParam();
  Raster page = MakePage(c.kind, c.width, c.height, 7);
  MemoryFile mmr;
  ASSERT_TRUE(EncodeMmr(page, MemoryCallbacks(mmr), c.portion)) << GetLastError();

  EXPECT_TRUE(EndsWithEofb(mmr.bytes));
  Raster decoded;
  std::string failure = DecodeMmr(mmr.bytes, c.width, c.height, root(), &decoded);
  ASSERT_EQ(failure, "");
  EXPECT_EQ(CompareRasters(page, decoded), "");
}

TEST_P(PageCodingTest, TiffPageDecodesToThePage) {
  const PageCase& c = GetParam();
  Raster page = MakePage(c.kind, c.width, c.height, 11);
  MemoryFile tiff;
  ASSERT_TRUE(EncodeTiffPage(page, MemoryCallbacks(tiff), c.portion, 200)) << GetLastError();

  auto path = root() / "page.tif";
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(tiff.bytes.data()),
                                              static_cast<std::streamsize>(tiff.bytes.size()));
  std::vector<TiffPage> pages;
  ASSERT_EQ(ReadTiffPages(path, &pages), "");
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(pages[0].compression, 4);  // CCITT Group 4
  EXPECT_EQ(pages[0].bitsPerSample, 1);
  EXPECT_EQ(pages[0].photometric, 0);  // white is zero, as fax files are
  EXPECT_EQ(CompareRasters(page, pages[0].pixels), "");
}

INSTANTIATE_TEST_SUITE_P(
    Pages, PageCodingTest,
    ::testing::Values(PageCase{PageKind::Blank, 1728, 100, 100}, PageCase{PageKind::Black, 1728, 64, 10},
                      PageCase{PageKind::Text, 4960, 700, 128}, PageCase{PageKind::Halftone, 2480, 300, 77},
                      PageCase{PageKind::Noise, 1001, 97, 13}, PageCase{PageKind::Stripes, 13, 41, 1},
                      PageCase{PageKind::Noise, 1, 100, 7}, PageCase{PageKind::Halftone, 1, 1, 1},
                      PageCase{PageKind::Text, 17, 32767, 4096}, PageCase{PageKind::Halftone, 32767, 5, 2}),
    CaseName);

}  // namespace
}  // namespace k460::testing
