// The page cutter alone, between a recording encoder and a recording sender:
// what each printer page's rows become (repacked to 16-bit rows, turned),
// which pages the port refuses, and that nothing is left behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "monitors/common/encoder_library.h"
#include "monitors/common/page_codes.h"
#include "monitors/netmon/page_cutter.h"
#include "monitors/netmon/temp_folder.h"
#include "tests/monitors/common/page_stream_support.h"
#include "tests/monitors/netmon/netmon_fixture.h"

namespace k460::testing {
namespace {

using netmon::EncodedPage;
using netmon::PageGeometry;
using pagestream::PageStreamReader;
using pagestream::testing::EncodeRecord;
using pagestream::testing::FeedInPieces;
using pagestream::testing::MakePage;
using pagestream::testing::TestPage;

constexpr std::int32_t kPrinterDevId = 205;

struct RecordedPage {
  PageGeometry geometry;
  std::vector<std::uint8_t> rows;
  bool ended = false;
};

class RecordingEncoder : public netmon::PageEncoder {
 public:
  std::vector<RecordedPage> pages;
  int dropped = 0;
  int failOnPage = 0;  // EncodeRows fails on this page (1-based)

  bool BeginPage(const PageGeometry& page) override {
    pages.push_back({page, {}, false});
    return true;
  }
  bool EncodeRows(const std::uint8_t* rows, std::uint32_t count) override {
    if (static_cast<int>(pages.size()) == failOnPage) {
      SetLastError(ERROR_DISK_FULL);
      return false;
    }
    const std::size_t bytes = std::size_t{count} * ENCODE_ROW_BYTES(pages.back().geometry.width);
    pages.back().rows.insert(pages.back().rows.end(), rows, rows + bytes);
    return true;
  }
  bool EndPage(std::u16string* file) override {
    pages.back().ended = true;
    *file = u"page" + std::u16string(1, static_cast<char16_t>(u'0' + pages.size()));
    return true;
  }
  void DropPage() override { ++dropped; }
};

class RecordingSender : public netmon::PageSender {
 public:
  std::vector<EncodedPage> pages;
  bool SendPage(const EncodedPage& page) override {
    pages.push_back(page);
    return true;
  }
  bool SendEnd(std::uint32_t) override { return true; }
};

// The rows of `page` as the encoder takes them: 16-bit rows.
std::vector<std::uint8_t> Rows16(const TestPage& page) {
  const std::uint32_t from = static_cast<std::uint32_t>(page.raster.size()) / page.header.Height;
  const std::uint32_t to = ENCODE_ROW_BYTES(page.header.Width);
  std::vector<std::uint8_t> rows;
  for (int y = 0; y < page.header.Height; ++y)
    rows.insert(rows.end(), page.raster.begin() + y * from, page.raster.begin() + y * from + to);
  return rows;
}

bool Black(const std::vector<std::uint8_t>& rows, std::uint32_t rowBytes, int x, int y) {
  return !(rows[std::size_t(y) * rowBytes + x / 8] & (0x80 >> (x % 8)));
}

class PageCutterTest : public NetmonTest {
 protected:
  void SetUp() override {
    NetmonTest::SetUp();
    library = encoder::LoadEncoderLibrary();
    ASSERT_TRUE(library);
    netmon::SetMonitorTempPath(netmon::PrepareTempFolder());
  }
  void TearDown() override {
    if (library) encoder::FreeEncoderLibrary(*library);
    NetmonTest::TearDown();
  }
  // Files left in the monitor's temporary folder.
  int LeftoverFiles() {
    int count = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root()))
      if (entry.is_regular_file() && entry.path().parent_path().filename() == "qtxport") ++count;
    return count;
  }
  std::size_t Feed(const std::vector<std::uint8_t>& stream, std::size_t piece) {
    netmon::PageCutter cutter(encoder, sender, *library, false);
    PageStreamReader reader;
    const std::size_t used = FeedInPieces(reader, stream, cutter, piece);
    reader.Finish(cutter);
    error = cutter.error();
    return used;
  }

  std::optional<encoder::EncoderLibrary> library;
  RecordingEncoder encoder;
  RecordingSender sender;
  DWORD error = 0;
};

TEST_F(PageCutterTest, PrinterPagesReachTheEncoderAs16BitRowsAndTheSenderInOrder) {
  // 40 pixels: rows padded to 32 bits arrive 8 bytes wide, the encoder takes 6.
  std::vector<TestPage> pages = {MakePage(kPrinterDevId, 40, 30, 1), MakePage(kPrinterDevId, 40, 30, 2, 6),
                                 MakePage(kPrinterDevId, 64, 9, 3)};
  std::vector<std::uint8_t> stream;
  for (const auto& page : pages) {
    auto bytes = EncodeRecord(page);
    stream.insert(stream.end(), bytes.begin(), bytes.end());
  }
  for (std::size_t piece : {std::size_t{1}, std::size_t{7}, std::size_t{4096}}) {
    SCOPED_TRACE(piece);
    encoder = {};
    sender = {};
    EXPECT_EQ(Feed(stream, piece), stream.size());
    ASSERT_EQ(encoder.pages.size(), 3u);
    ASSERT_EQ(sender.pages.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
      EXPECT_EQ(encoder.pages[i].geometry.width, pages[i].header.Width);
      EXPECT_EQ(encoder.pages[i].geometry.height, pages[i].header.Height);
      EXPECT_EQ(encoder.pages[i].rows, Rows16(pages[i])) << "page " << i + 1;
      EXPECT_EQ(sender.pages[i].number, i + 1);
      EXPECT_EQ(sender.pages[i].header.Coding, pagestream::kCodingMMR);
    }
  }
  EXPECT_EQ(LeftoverFiles(), 0);
}

TEST_F(PageCutterTest, TurnedPagesAreToldTheTurnedSizeAndTurnedByDirection) {
  struct Case {
    std::int16_t bmpRotate, paper;
    bool right;
  };
  for (const Case& c : {Case{1, 0, false}, Case{1, 9, true}, Case{2, 0, false}, Case{3, 0, true}}) {
    SCOPED_TRACE(::testing::Message() << "BmpRotate " << c.bmpRotate << " paper " << c.paper);
    TestPage page = MakePage(kPrinterDevId, 48, 20, 7);
    page.info.BmpRotate = c.bmpRotate;
    page.header.Paper = c.paper;
    encoder = {};
    sender = {};
    const auto stream = EncodeRecord(page);
    EXPECT_EQ(Feed(stream, 1000), stream.size());
    ASSERT_EQ(sender.pages.size(), 1u);
    EXPECT_EQ(sender.pages[0].header.Width, 20);
    EXPECT_EQ(sender.pages[0].header.Height, 48);
    ASSERT_EQ(encoder.pages.size(), 1u);
    const auto& turned = encoder.pages[0].rows;
    ASSERT_EQ(turned.size(), ENCODE_ROW_BYTES(20) * 48u);
    const auto source = Rows16(page);
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 48; ++x) {
        // Right (clockwise): (x, y) goes to (H-1-y, x); left: to (y, W-1-x).
        const int tx = c.right ? 19 - y : y, ty = c.right ? x : 47 - x;
        ASSERT_EQ(Black(turned, ENCODE_ROW_BYTES(20), tx, ty), Black(source, ENCODE_ROW_BYTES(48), x, y))
            << "pixel " << x << "," << y;
      }
  }
  EXPECT_EQ(LeftoverFiles(), 0);
}

TEST_F(PageCutterTest, PagesThisPortCannotTakeEndTheStream) {
  TestPage fax = MakePage(pagestream::PI_DEVID_FAX, 40, 10);
  TestPage tiff = MakePage(pagestream::PI_DEVID_TIF, 40, 10);
  TestPage booklet = MakePage(kPrinterDevId, 40, 10);
  booklet.header.MultPagePrint = pagestream::kMultPageBooklet;
  for (const TestPage* page : {&fax, &tiff, &booklet}) {
    encoder = {};
    sender = {};
    const auto stream = EncodeRecord(*page);
    EXPECT_LT(Feed(stream, 4096), stream.size());
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_NOT_SUPPORTED));
    EXPECT_TRUE(encoder.pages.empty());
    EXPECT_TRUE(sender.pages.empty());
  }
}

TEST_F(PageCutterTest, AFailedEncodeDropsThePageAndSendsNothing) {
  encoder.failOnPage = 2;
  std::vector<std::uint8_t> stream;
  for (std::uint32_t seed : {1u, 2u, 3u}) {
    TestPage page = MakePage(kPrinterDevId, 40, 30, seed);
    if (seed == 2) page.info.BmpRotate = 1;  // the turned road fails too
    auto bytes = EncodeRecord(page);
    stream.insert(stream.end(), bytes.begin(), bytes.end());
  }
  Feed(stream, 100);
  EXPECT_EQ(sender.pages.size(), 1u);
  EXPECT_EQ(encoder.dropped, 1);
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_DISK_FULL));
  EXPECT_EQ(LeftoverFiles(), 0);
}

}  // namespace
}  // namespace k460::testing
