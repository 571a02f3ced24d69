// The image path called directly: the gray rule, run-length coding and its
// fallback, the conversion of source rows (bit offsets, mirroring, palettes)
// and what SendBitmap and the bit-block calls refuse.
#include "driver/pcl/printer_common/nt/pclxl/xlimage.h"

#include <cstring>

#include "driver/pcl/printer_common/nt/pclxl/xlgray.h"
#include "driver/pcl/printer_common/nt/pclxl/xlrle.h"
#include "tests/driver/pcl/printer_common/nt/pclxl/xlgraph_test_support.h"
#include "tests/driver/pcl/printer_common/nt/pclxl/xlimage_decode.h"

namespace xltest {
namespace {

using Bytes = std::vector<BYTE>;

Bytes Rle(const Bytes& row, DWORD room) {
  Bytes out(room + 8, 0xEE);
  LONG n = CompressRle(row.data(), out.data(), static_cast<DWORD>(row.size()), room);
  if (n < 0) return {};
  EXPECT_TRUE(std::all_of(out.begin() + n, out.end(), [](BYTE b) { return b == 0xEE; })) << "wrote past its result";
  out.resize(static_cast<size_t>(n));
  return out;
}

TEST(XlGrayTest, GrayRuleWeighsRedGreenAndBlueThreeSixOne) {
  struct Case {
    ULONG color;
    BYTE gray;
  } cases[] = {
      {0x000000, 0},   {0xFFFFFF, 255}, {0x0000FF, 76}, {0x00FF00, 153}, {0xFF0000, 25},
      {0x808080, 128}, {0x102030, 35},  {0x0000FE, 76}, {0x000001, 0},   {0x00FFFF, 229},
  };
  for (const Case& c : cases) EXPECT_EQ(GetGray(c.color), c.gray) << std::hex << c.color;
  const BYTE bgr[3] = {0x10, 0x20, 0x30};  // blue, green, red as a pixel stores them
  EXPECT_EQ(ColorOfBgr(bgr), 0x102030u);
}

TEST(XlRleTest, RowsBecomeRepeatPackets) {
  struct Case {
    const char* name;
    Bytes row;
    Bytes packets;
  } cases[] = {
      {"one byte", {7}, {0x00, 7}},
      {"eight alike", Bytes(8, 0x41), {0xF9, 0x41}},
      {"three different", {1, 2, 3}, {0x00, 1, 0x00, 2, 0x00, 3}},
      {"127 alike fill one packet", Bytes(127, 9), {0x82, 9}},
      {"128 alike need two", Bytes(128, 9), {0x82, 9, 0x00, 9}},
      {"mixed runs", {5, 5, 6, 5, 5, 5}, {0xFF, 5, 0x00, 6, 0xFE, 5}},
  };
  for (const Case& c : cases) EXPECT_EQ(Rle(c.row, 1000), c.packets) << c.name;
  Bytes row130(130, 0x33);
  EXPECT_EQ(Rle(row130, 1000), (Bytes{0x82, 0x33, 0xFE, 0x33}));
  // Every packet decodes back to its row.
  for (const Case& c : cases) {
    Bytes packets = Rle(c.row, 1000);
    EXPECT_EQ(DecodePackBits(packets.data(), packets.size()), c.row) << c.name;
  }
}

TEST(XlRleTest, PacketsThatDoNotFitTheRoomFail) {
  Bytes row{1, 2, 3};
  EXPECT_EQ(Rle(row, 6).size(), 6u) << "exactly room for three packets";
  Bytes out(16);
  EXPECT_EQ(CompressRle(row.data(), out.data(), 3, 5), -1);
  EXPECT_EQ(CompressRle(row.data(), out.data(), 3, 4), -1);
  EXPECT_EQ(CompressRle(row.data(), out.data(), 1, 2), -1) << "a room of two bytes is refused";
  EXPECT_EQ(CompressRle(nullptr, out.data(), 1, 8), -1);
}

TEST(XlRleTest, ImageRowsAreCodedEachOnItsOwn) {
  Bytes image(8, 0x41);  // two rows of four alike bytes
  Bytes out(16);
  ASSERT_EQ(CompressImage(image.data(), out.data(), 16, 4, 2), 4) << "a packet never crosses a row end";
  EXPECT_EQ(Bytes(out.begin(), out.begin() + 4), (Bytes{0xFD, 0x41, 0xFD, 0x41}));
  Bytes rows{1, 2, 3, 4, 5, 5, 5, 5};
  EXPECT_EQ(CompressImage(rows.data(), out.data(), 8, 4, 2), -1) << "the first row alone takes the whole room";
  EXPECT_EQ(CompressImage(rows.data(), out.data(), 11, 4, 2), 10);
}

// A device with a page started, and engine bitmaps to send from it.
class XlImageTest : public XlDriverTest {
 protected:
  void SetUp() override {
    XlDriverTest::SetUp();
    pdev_ = Enable(JobDefaults());
    ASSERT_NE(pdev_, nullptr);
    so_ = Surface(pdev_);
    ASSERT_TRUE(DrvStartDoc(so_, nullptr, 1));
    ASSERT_TRUE(DrvStartPage(so_));
  }
  void TearDown() override {
    for (SURFOBJ* so : bitmaps_) {
      HSURF h = so->hsurf;
      EngUnlockSurface(so);
      EngDeleteSurface(h);
    }
    XlDriverTest::TearDown();
  }

  // An engine bitmap, top row first, rows as given (each padded to 32 bits).
  SURFOBJ* Bitmap(ULONG format, LONG width, const std::vector<Bytes>& rows) {
    HBITMAP hbm = EngCreateBitmap({width, static_cast<LONG>(rows.size())}, 0, format, BMF_TOPDOWN, nullptr);
    EXPECT_NE(hbm, nullptr);
    SURFOBJ* so = EngLockSurface(reinterpret_cast<HSURF>(hbm));
    for (size_t y = 0; y < rows.size(); ++y)
      std::memcpy(static_cast<BYTE*>(so->pvScan0) + y * so->lDelta, rows[y].data(), rows[y].size());
    bitmaps_.push_back(so);
    return so;
  }

  // The images the page sent, once the document is ended.
  std::vector<XlImage> Finish() {
    EXPECT_TRUE(DrvSendPage(so_) && DrvEndDoc(so_, 0));
    return Images(Output());
  }

  PDEV* pdev_ = nullptr;
  SURFOBJ* so_ = nullptr;
  std::vector<SURFOBJ*> bitmaps_;
};

XLATEOBJ TableXlate(std::vector<ULONG>& colors) {
  XLATEOBJ xo{};
  xo.flXlate = XO_TABLE;
  xo.iSrcType = PAL_INDEXED;
  xo.iDstType = PAL_RGB;
  xo.cEntries = static_cast<ULONG>(colors.size());
  xo.pulXlate = colors.data();
  return xo;
}

TEST_F(XlImageTest, OneBitRowsStartingInsideAByteAreShiftedToTheTopBit) {
  // 20 pixels a row; the source rectangle starts at x = 3 and is 13 wide.
  SURFOBJ* src = Bitmap(BMF_1BPP, 20, {{0b10110011, 0b10001111, 0b01010000}, {0b00011111, 0b11100000, 0b11110000}});
  std::vector<ULONG> colors{0x000000, 0xFFFFFF};
  XLATEOBJ xo = TableXlate(colors);
  RECTL trg{100, 200, 113, 202};
  RECTL from{3, 0, 16, 2};
  ASSERT_TRUE(SendBitmap(src, &xo, &trg, &from, pdev_));
  auto images = Finish();
  ASSERT_EQ(images.size(), 1u);
  const XlImage& image = images[0];
  EXPECT_EQ(image.colorMapping, 1);
  EXPECT_EQ(image.colorDepth, 0);
  EXPECT_EQ(image.width, 13);
  EXPECT_EQ(image.Stride(), 4u);
  // Shifted left by 3; bits past the 13th pixel are zero.
  EXPECT_EQ(Bytes(image.rows.begin(), image.rows.begin() + 4), (Bytes{0b10011100, 0b01111000, 0, 0}));
  EXPECT_EQ(Bytes(image.rows.begin() + 4, image.rows.end()), (Bytes{0b11111111, 0b00000000, 0, 0}));
  EXPECT_EQ(image.palette, (Bytes{0, 255}));
  EXPECT_EQ(image.cursorX, 100);
  EXPECT_EQ(image.cursorY, 200);
}

TEST_F(XlImageTest, MirroredTargetsReverseRowsAndPixels) {
  struct Case {
    ULONG format;
    LONG width;
    std::vector<Bytes> rows;
    RECTL trg;
    std::vector<BYTE> grays;  // as the printer draws them, top row first
  } cases[] = {
      // 1 bit, 10 pixels: indices 1 = white.
      {BMF_1BPP, 10, {{0b11000000, 0b01000000}, {0, 0}}, {20, 0, 10, 2}, {255, 0, 0, 0, 0, 0, 0, 0, 255, 255,
                                                                          0,   0, 0, 0, 0, 0, 0, 0, 0,   0}},
      // 4 bits, 3 pixels, upside down.
      {BMF_4BPP, 3, {{0x01, 0x20}, {0x22, 0x10}}, {0, 2, 3, 0}, {34, 34, 17, 0, 17, 34}},
      // 8 bits, both ways.
      {BMF_8BPP, 3, {{0, 1, 2}, {3, 4, 5}}, {3, 2, 0, 0}, {85, 68, 51, 34, 17, 0}},
      // 24 bits, left to right: blue, green, red pixels become 25, 153, 76.
      {BMF_24BPP, 3, {{255, 0, 0, 0, 255, 0, 0, 0, 255}}, {3, 0, 0, 1}, {76, 153, 25}},
  };
  std::vector<ULONG> colors;
  for (ULONG i = 0; i < 16; ++i) colors.push_back(i * 0x111111);
  XLATEOBJ xo = TableXlate(colors);
  std::vector<ULONG> mono{0x000000, 0xFFFFFF};
  XLATEOBJ monoXo = TableXlate(mono);
  for (Case& c : cases) {
    SURFOBJ* src = Bitmap(c.format, c.width, c.rows);
    RECTL from{0, 0, c.width, static_cast<LONG>(c.rows.size())};
    ASSERT_TRUE(SendBitmap(src, c.format == BMF_1BPP ? &monoXo : &xo, &c.trg, &from, pdev_));
  }
  auto images = Finish();
  ASSERT_EQ(images.size(), std::size(cases));
  for (size_t i = 0; i < images.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(images[i].Grays(), cases[i].grays);
    const RECTL& t = cases[i].trg;
    EXPECT_EQ(images[i].cursorX, std::min(t.left, t.right));
    EXPECT_EQ(images[i].cursorY, std::min(t.top, t.bottom));
    EXPECT_EQ(images[i].destWidth, std::abs(t.right - t.left));
    EXPECT_EQ(images[i].destHeight, std::abs(t.bottom - t.top));
  }
}

TEST_F(XlImageTest, RowsThatCompressToTheirRawSizeAreSentUncompressed) {
  // 4 bits, 8 pixels: 4 bytes a row with no padding; two runs of two bytes
  // code to exactly 4 bytes.
  SURFOBJ* src = Bitmap(BMF_4BPP, 8, {{0x11, 0x11, 0x22, 0x22}, {0x33, 0x33, 0x44, 0x44}});
  RECTL trg{0, 0, 8, 2};
  RECTL from{0, 0, 8, 2};
  ASSERT_TRUE(SendBitmap(src, nullptr, &trg, &from, pdev_));
  // The same with a third byte alike: smaller coded.
  SURFOBJ* small = Bitmap(BMF_8BPP, 8, {Bytes(8, 7), {1, 1, 1, 1, 2, 2, 2, 2}});
  ASSERT_TRUE(SendBitmap(small, nullptr, &trg, &from, pdev_));
  auto images = Finish();
  ASSERT_EQ(images.size(), 2u);
  EXPECT_EQ(images[0].compressMode, 0);
  EXPECT_EQ(images[0].blockBytes, 8u);
  EXPECT_EQ(images[0].rows, (Bytes{0x11, 0x11, 0x22, 0x22, 0x33, 0x33, 0x44, 0x44}));
  EXPECT_EQ(images[1].compressMode, 1);
  EXPECT_EQ(images[1].blockBytes, 6u);
  EXPECT_EQ(images[1].padBytes, 4);
  EXPECT_EQ(images[1].Grays(), (Bytes{7, 7, 7, 7, 7, 7, 7, 7, 1, 1, 1, 1, 2, 2, 2, 2}));
}

TEST_F(XlImageTest, PaletteHoldsAnEntryForEveryIndexTheDepthCanHold) {
  SURFOBJ* src = Bitmap(BMF_8BPP, 2, {{0, 3}});
  std::vector<ULONG> four{0x0000FF, 0x00FF00, 0xFF0000, 0xFFFFFF};
  XLATEOBJ xo = TableXlate(four);
  RECTL trg{0, 0, 2, 1};
  RECTL from{0, 0, 2, 1};
  ASSERT_TRUE(SendBitmap(src, &xo, &trg, &from, pdev_));
  SURFOBJ* src4 = Bitmap(BMF_4BPP, 2, {{0x0F}});
  ASSERT_TRUE(SendBitmap(src4, nullptr, &trg, &from, pdev_));
  auto images = Finish();
  ASSERT_EQ(images.size(), 2u);
  ASSERT_EQ(images[0].palette.size(), 256u);
  EXPECT_EQ(Bytes(images[0].palette.begin(), images[0].palette.begin() + 5), (Bytes{76, 153, 25, 255, 0}))
      << "indices the source lacks are black";
  EXPECT_EQ(images[0].Grays(), (Bytes{76, 255}));
  // Without a translation each index is the gray level it spans.
  ASSERT_EQ(images[1].palette.size(), 16u);
  EXPECT_EQ(images[1].palette[1], 17);
  EXPECT_EQ(images[1].Grays(), (Bytes{0, 255}));
}

TEST_F(XlImageTest, ImagesThePrinterCannotTakeAreRefused) {
  SURFOBJ* src = Bitmap(BMF_8BPP, 4, {{1, 2, 3, 4}, {1, 2, 3, 4}});
  RECTL trg{0, 0, 4, 2};
  struct Case {
    const char* name;
    RECTL from;
  } outside[] = {{"right of the bitmap", {1, 0, 5, 2}}, {"below it", {0, 1, 4, 3}}, {"left of it", {-1, 0, 3, 2}}};
  for (const Case& c : outside) {
    SetLastError(0);
    EXPECT_FALSE(SendBitmap(src, nullptr, &trg, &c.from, pdev_)) << c.name;
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER)) << c.name;
  }
  RECTL from{0, 0, 4, 2};
  SURFOBJ rle = *src;
  rle.iBitmapFormat = BMF_8RLE;
  EXPECT_FALSE(SendBitmap(&rle, nullptr, &trg, &from, pdev_)) << "no run-length coded sources";
  EXPECT_TRUE(SendBitmap(nullptr, nullptr, &trg, &from, pdev_)) << "no source: nothing to draw";
  RECTL empty{0, 0, 0, 2};
  EXPECT_TRUE(SendBitmap(src, nullptr, &trg, &empty, pdev_));
  EXPECT_TRUE(SendBitmap(src, nullptr, &empty, &from, pdev_));
  EXPECT_TRUE(Finish().empty());
}

TEST_F(XlImageTest, MaskedOperationsGoToTheEngineWithoutAByteSent) {
  DWORD before = pdev_->pStream->cbTotal;
  RECTL trg{0, 0, 10, 10};
  POINTL at{0, 0};
  DrvBitBlt(so_, nullptr, nullptr, nullptr, nullptr, &trg, &at, &at, nullptr, nullptr, MakeRop4(0xCC, 0xAA));
  EXPECT_EQ(pdev_->pStream->cbTotal, before);
}

TEST_F(XlImageTest, CopyFromTheDeviceIntoABitmapGivesWhite) {
  SURFOBJ* dst = Bitmap(BMF_24BPP, 4, {Bytes(12, 0), Bytes(12, 0)});
  RECTL rect{1, 0, 3, 2};
  POINTL from{0, 0};
  ASSERT_TRUE(DrvCopyBits(dst, so_, nullptr, nullptr, &rect, &from));
  const BYTE* row = static_cast<const BYTE*>(dst->pvScan0);
  EXPECT_EQ(Bytes(row, row + 12), (Bytes{0, 0, 0, 255, 255, 255, 255, 255, 255, 0, 0, 0}));
}

}  // namespace
}  // namespace xltest
