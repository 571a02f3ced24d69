#include "monitors/common/page_stream_reader.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "monitors/common/page_codes.h"
#include "monitors/common/raster_geometry.h"
#include "platform/base/base.h"
#include "tests/monitors/common/page_stream_support.h"

namespace k460::pagestream {
namespace {

using testing::EncodeRaw;
using testing::EncodeRecord;
using testing::FeedInPieces;
using testing::MakePage;
using testing::RecordingConsumer;
using testing::TestPage;

constexpr std::size_t kFullHeader = kFullRecordHeaderSize;

std::vector<std::uint8_t> Concat(const std::vector<std::vector<std::uint8_t>>& records) {
  std::vector<std::uint8_t> stream;
  for (const auto& r : records) stream.insert(stream.end(), r.begin(), r.end());
  return stream;
}

// Three pages of different geometry; the second has rows padded to 16 bits
// only, as a writer for the network monitor may pad them.
std::vector<TestPage> ThreePages() {
  std::vector<TestPage> pages = {MakePage(205, 64, 5, 1), MakePage(205, 2480, 3, 2, RowBytes16(2480)),
                                 MakePage(205, 100, 7, 3)};
  pages[1].header.Paper = 3;
  pages[2].info.BmpRotate = 1;
  return pages;
}

TEST(PageStreamReaderTest, PagesComeOutTheSameWhateverThePieceSizes) {
  const auto pages = ThreePages();
  const auto stream = Concat({EncodeRecord(pages[0]), EncodeRecord(pages[1]), EncodeRecord(pages[2])});

  struct Delivery {
    std::string name;
    std::function<RasterDelivery(const PageRecord&)> choose;
  };
  const std::vector<Delivery> deliveries = {
      {"pieces", [](const PageRecord&) { return RasterDelivery::Pieces(); }},
      {"blocks of two rows and a bit", [](const PageRecord& p) { return RasterDelivery::Blocks(2 * p.rowBytes + 1); }},
      {"whole pages", [](const PageRecord& p) { return RasterDelivery::WholePage(p); }},
  };
  for (std::size_t pieceSize : {std::size_t{1}, std::size_t{3}, std::size_t{445}, kFullHeader, kFullHeader + 1,
                                std::size_t{4096}, stream.size()}) {
    for (const auto& delivery : deliveries) {
      SCOPED_TRACE("pieces of " + std::to_string(pieceSize) + ", " + delivery.name);
      PageStreamReader reader;
      RecordingConsumer consumer;
      consumer.delivery = delivery.choose;
      EXPECT_EQ(FeedInPieces(reader, stream, consumer, pieceSize), stream.size());
      EXPECT_FALSE(reader.failed()) << DescribeFailure(reader.failure());
      ASSERT_EQ(consumer.pages.size(), 3u);
      for (std::size_t i = 0; i < 3; ++i) {
        const auto& got = consumer.pages[i];
        EXPECT_TRUE(got.ended);
        EXPECT_FALSE(got.dropped);
        EXPECT_EQ(got.record.number, i + 1);
        EXPECT_EQ(got.record.header.Width, pages[i].header.Width);
        EXPECT_EQ(got.record.header.Paper, pages[i].header.Paper);
        EXPECT_EQ(got.record.info.BmpRotate, pages[i].info.BmpRotate);
        EXPECT_EQ(got.record.rowBytes, pages[i].raster.size() / static_cast<std::size_t>(pages[i].header.Height));
        EXPECT_EQ(got.raster, pages[i].raster);
        if (delivery.name != "pieces") {
          // Whole rows in every block but possibly the last.
          const std::size_t block = got.pieces.front();
          EXPECT_EQ(block % got.record.rowBytes, 0u);
          for (std::size_t k = 0; k + 1 < got.pieces.size(); ++k) EXPECT_EQ(got.pieces[k], block);
        }
      }
      EXPECT_TRUE(reader.Finish(consumer).Clean());
    }
  }
}

TEST(PageStreamReaderTest, StopsAtTheEndOfAPageAndLeavesTheNextRecord) {
  const auto pages = ThreePages();
  const auto first = EncodeRecord(pages[0]);
  const auto stream = Concat({first, EncodeRecord(pages[1])});
  PageStreamReader reader;
  RecordingConsumer consumer;

  FeedResult result = reader.Feed(stream, consumer);
  EXPECT_EQ(result.status, FeedStatus::kPageEnded);
  EXPECT_EQ(result.consumed, first.size());
  ASSERT_EQ(consumer.pages.size(), 1u);
  EXPECT_TRUE(consumer.pages[0].ended);

  result = reader.Feed(std::span(stream).subspan(first.size()), consumer);
  EXPECT_EQ(result.status, FeedStatus::kPageEnded);
  EXPECT_EQ(result.consumed, stream.size() - first.size());
  EXPECT_EQ(consumer.pages.size(), 2u);
  EXPECT_EQ(reader.pagesCompleted(), 2u);
}

TEST(PageStreamReaderTest, LaterPagesTakeKindAndJobLevelFieldsFromTheFirst) {
  TestPage first = MakePage(205, 64, 2, 1);
  first.header.Paper = 0;
  TestPage second = MakePage(PI_DEVID_FAX, 64, 2, 2);
  second.header.Paper = 3;                              // per page: kept
  second.header.Angle = 180;                            // per page: kept
  second.header.Duplex = 1;                             // job-level: from page 1
  second.header.DuplexBinding = 1;
  second.header.Staple = 2;
  second.header.StaplePoint = 1;
  second.header.MultPagePrint = kMultPageBooklet;
  second.header.SecurityPrint = 1;
  second.header.Punch = 9;                              // invalid, but replaced before it is judged
  const auto stream = Concat({EncodeRecord(first), EncodeRecord(second)});

  PageStreamReader reader;
  RecordingConsumer consumer;
  FeedInPieces(reader, stream, consumer, 7);
  ASSERT_FALSE(reader.failed()) << DescribeFailure(reader.failure());
  ASSERT_EQ(consumer.pages.size(), 2u);
  const PageRecord& page = consumer.pages[1].record;
  EXPECT_EQ(page.info.DevId, 205);
  EXPECT_EQ(page.kind, PageKind::kPrinter);
  EXPECT_EQ(page.header.Paper, 3);
  EXPECT_EQ(page.header.Angle, 180);
  EXPECT_EQ(page.header.Duplex, 0);
  EXPECT_EQ(page.header.DuplexBinding, 0);
  EXPECT_EQ(page.header.Staple, 0);
  EXPECT_EQ(page.header.StaplePoint, 0);
  EXPECT_EQ(page.header.MultPagePrint, 0);
  EXPECT_EQ(page.header.SecurityPrint, 0);
  EXPECT_EQ(page.header.Punch, 0);
  // The bytes a monitor compares and copies say the same.
  EXPECT_EQ(LoadPageHeader(page.PageHeaderBytes()).Duplex, 0);
  EXPECT_EQ(LoadPageHeader(page.PageHeaderBytes()).Paper, 3);
  ASSERT_NE(reader.firstPage(), nullptr);
  EXPECT_EQ(reader.firstPage()->header.Paper, 0);
}

TEST(PageStreamReaderTest, ANewJobTakesItsJobLevelFieldsAfresh) {
  TestPage duplexPage = MakePage(205, 64, 2, 1);
  duplexPage.header.Duplex = 1;
  const TestPage simplexFax = MakePage(PI_DEVID_FAX2, 64, 2, 2);
  PageStreamReader reader;
  RecordingConsumer consumer;
  FeedInPieces(reader, EncodeRecord(duplexPage), consumer, 100);
  EXPECT_EQ(reader.Finish(consumer).pages, 1u);
  FeedInPieces(reader, EncodeRecord(simplexFax), consumer, 100);
  ASSERT_EQ(consumer.pages.size(), 2u);
  EXPECT_EQ(consumer.pages[1].record.number, 1u);
  EXPECT_EQ(consumer.pages[1].record.kind, PageKind::kFax2);
  EXPECT_EQ(consumer.pages[1].record.header.Duplex, 0);
}

// A record built from a valid page of 64 x 4 pixels, then changed.
struct Parts {
  PageInfo info;
  PageHeader header;
  BitmapHeaderBlock bitmap;
  std::vector<std::uint8_t> raster;
};

Parts ValidParts(std::int32_t devId = 205) {
  TestPage page = MakePage(devId, 64, 4, 9);
  Parts parts{page.info, page.header, {}, page.raster};
  parts.header.Length = static_cast<std::uint32_t>(page.raster.size() + kBitmapHeaderBlockSize);
  parts.bitmap = MakeBitmapHeaderBlock(64, 4, static_cast<std::uint32_t>(page.raster.size()));
  return parts;
}

struct MalformedCase {
  std::string name;
  std::function<void(Parts&)> change;
  PageStreamError error;
  std::string_view field;
};

TEST(PageStreamReaderTest, MalformedHeadersEndTheStreamWithAReason) {
  using E = PageStreamError;
  const auto header = [](auto member, std::int16_t value) {
    return [member, value](Parts& p) { p.header.*member = value; };
  };
  const std::vector<MalformedCase> cases = {
      {"DevId 0", [](Parts& p) { p.info.DevId = 0; }, E::kUnknownPageKind, "DevId"},
      {"DevId 2", [](Parts& p) { p.info.DevId = 2; }, E::kUnknownPageKind, "DevId"},
      {"DevId 7", [](Parts& p) { p.info.DevId = 7; }, E::kUnknownPageKind, "DevId"},
      {"DevId negative", [](Parts& p) { p.info.DevId = -205; }, E::kUnknownPageKind, "DevId"},
      {"Width 0", header(&PageHeader::Width, 0), E::kBadGeometry, "Width"},
      {"Height negative", header(&PageHeader::Height, -4), E::kBadGeometry, "Height"},
      {"Resolution 0", header(&PageHeader::Resolution, 0), E::kBadGeometry, "Resolution"},
      {"Length 0", [](Parts& p) { p.header.Length = 0; }, E::kLengthTooShort, "Length"},
      {"Length 61", [](Parts& p) { p.header.Length = 61; }, E::kLengthTooShort, "Length"},
      {"zero-length raster", [](Parts& p) { p.header.Length = 62; }, E::kEmptyRaster, "Length"},
      {"Length one more", [](Parts& p) { p.header.Length += 1; }, E::kRasterSizeMismatch, "Length"},
      {"Length one less", [](Parts& p) { p.header.Length -= 1; }, E::kRasterSizeMismatch, "Length"},
      {"absurd page and Length",
       [](Parts& p) {
         p.header.Width = 32767;
         p.header.Height = 32767;
         p.header.Length = 0xFFFFFFFF;
       },
       E::kRasterSizeMismatch, "Length"},
      {"rows padded to neither rule",
       [](Parts& p) {
         p.header.Width = 2480;
         p.header.Length = 4 * 311 + 62;
       },
       E::kRasterSizeMismatch, "Length"},
      {"no BM signature", [](Parts& p) { p.bitmap.bfType = 0x4D43; }, E::kBadBitmapHeader, "bitmap header"},
      {"file size differs from Length", [](Parts& p) { p.bitmap.bfSize += 4; }, E::kBadBitmapHeader, "bitmap header"},
      {"raster offset not 62", [](Parts& p) { p.bitmap.bfOffBits = 54; }, E::kBadBitmapHeader, "bitmap header"},
      {"top-down bitmap", [](Parts& p) { p.bitmap.biHeight = -4; }, E::kBadBitmapHeader, "bitmap header"},
      {"width differs", [](Parts& p) { p.bitmap.biWidth = 32; }, E::kBadBitmapHeader, "bitmap header"},
      {"8 bits per pixel", [](Parts& p) { p.bitmap.biBitCount = 8; }, E::kBadBitmapHeader, "bitmap header"},
      {"compressed", [](Parts& p) { p.bitmap.biCompression = 1; }, E::kBadBitmapHeader, "bitmap header"},
      {"image size differs", [](Parts& p) { p.bitmap.biSizeImage = 0; }, E::kBadBitmapHeader, "bitmap header"},
      {"colours swapped",
       [](Parts& p) {
         p.bitmap.bmiColors[0] = kColourWhite;
         p.bitmap.bmiColors[1] = kColourBlack;
       },
       E::kBadBitmapHeader, "bitmap header"},
      {"BmpRotate 4", [](Parts& p) { p.info.BmpRotate = 4; }, E::kUnknownCode, "BmpRotate"},
      {"BmpRotate negative", [](Parts& p) { p.info.BmpRotate = -1; }, E::kUnknownCode, "BmpRotate"},
      {"Coding 4", header(&PageHeader::Coding, 4), E::kUnknownCode, "Coding"},
      {"Orient 2", header(&PageHeader::Orient, 2), E::kUnknownCode, "Orient"},
      {"Paper 24", header(&PageHeader::Paper, 24), E::kUnknownCode, "Paper"},
      {"Paper negative", header(&PageHeader::Paper, -1), E::kUnknownCode, "Paper"},
      {"Casset 8", header(&PageHeader::Casset, 8), E::kUnknownCode, "Casset"},
      {"Outbin 2", header(&PageHeader::Outbin, 2), E::kUnknownCode, "Outbin"},
      {"PaperType 4", header(&PageHeader::PaperType, 4), E::kUnknownCode, "PaperType"},
      {"TonerSaving 2", header(&PageHeader::TonerSaving, 2), E::kUnknownCode, "TonerSaving"},
      {"OutputOder -1", header(&PageHeader::OutputOder, -1), E::kUnknownCode, "OutputOder"},
      {"Stack 3", header(&PageHeader::Stack, 3), E::kUnknownCode, "Stack"},
      {"Duplex 2", header(&PageHeader::Duplex, 2), E::kUnknownCode, "Duplex"},
      {"DuplexBinding 2 with duplex",
       [](Parts& p) {
         p.header.Duplex = 1;
         p.header.DuplexBinding = 2;
       },
       E::kUnknownCode, "DuplexBinding"},
      {"MultPagePrint 10", header(&PageHeader::MultPagePrint, 10), E::kUnknownCode, "MultPagePrint"},
      {"MultPageBorder 2", header(&PageHeader::MultPageBorder, 2), E::kUnknownCode, "MultPageBorder"},
      {"MultPageOrder 4", header(&PageHeader::MultPageOrder, 4), E::kUnknownCode, "MultPageOrder"},
      {"MultPageView 3", header(&PageHeader::MultPageView, 3), E::kUnknownCode, "MultPageView"},
      {"Punch 5", header(&PageHeader::Punch, 5), E::kUnknownCode, "Punch"},
      {"PunchHoles 2 with punch",
       [](Parts& p) {
         p.header.Punch = 1;
         p.header.PunchHoles = 2;
       },
       E::kUnknownCode, "PunchHoles"},
      {"Staple 5", header(&PageHeader::Staple, 5), E::kUnknownCode, "Staple"},
      {"StaplePoint 3 with staple",
       [](Parts& p) {
         p.header.Staple = 1;
         p.header.StaplePoint = 3;
       },
       E::kUnknownCode, "StaplePoint"},
      {"SecurityPrint 2", header(&PageHeader::SecurityPrint, 2), E::kUnknownCode, "SecurityPrint"},
      {"FaxItem 5 on an automatic fax",
       [](Parts& p) {
         p.info.DevId = PI_DEVID_FAX2;
         p.header.FaxAuto = 1;
         p.header.FaxItem = 5;
       },
       E::kUnknownCode, "FaxItem"},
      // Fields that no command of the page carries are not judged.
      {"PunchHoles without punch", header(&PageHeader::PunchHoles, 7), E::kNone, {}},
      {"StaplePoint without staple", header(&PageHeader::StaplePoint, -2), E::kNone, {}},
      {"DuplexBinding without duplex", header(&PageHeader::DuplexBinding, 5), E::kNone, {}},
      {"fax binding edge unmapped",
       [](Parts& p) {
         p.info.DevId = PI_DEVID_FAX;
         p.header.Duplex = 1;
         p.header.DuplexBinding = 2;
       },
       E::kNone, {}},
      {"FaxItem without automatic fax",
       [](Parts& p) {
         p.info.DevId = PI_DEVID_FAX2;
         p.header.FaxItem = 9;
       },
       E::kNone, {}},
      {"booklet", header(&PageHeader::MultPagePrint, kMultPageBooklet), E::kNone, {}},
      {"BmpRotate 3", [](Parts& p) { p.info.BmpRotate = 3; }, E::kNone, {}},
      {"DevId 11", [](Parts& p) { p.info.DevId = 11; }, E::kNone, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Parts parts = ValidParts();
    c.change(parts);
    const auto stream = EncodeRaw(parts.info, parts.header, parts.bitmap, parts.raster);
    PageStreamReader reader;
    RecordingConsumer consumer;
    const FeedResult result = reader.Feed(stream, consumer);
    EXPECT_EQ(reader.failure().error, c.error) << DescribeFailure(reader.failure());
    if (c.error == E::kNone) {
      EXPECT_EQ(result.status, FeedStatus::kPageEnded);
      ASSERT_EQ(consumer.pages.size(), 1u);
      EXPECT_EQ(consumer.pages[0].raster, parts.raster);
      continue;
    }
    EXPECT_EQ(result.status, FeedStatus::kFailed);
    EXPECT_EQ(result.consumed, kFullHeader);
    EXPECT_EQ(reader.failure().field, c.field);
    EXPECT_EQ(reader.failure().page, 1u);
    EXPECT_TRUE(consumer.pages.empty()) << "a refused record reached the consumer";
    // The failure sticks: nothing more is taken.
    EXPECT_EQ(reader.Feed(std::span(stream).subspan(result.consumed), consumer).consumed, 0u);
    EXPECT_EQ(LastErrorFor(c.error), c.error == E::kOutOfMemory ? ERROR_NOT_ENOUGH_MEMORY : ERROR_INVALID_DATA);
  }
}

TEST(PageStreamReaderTest, AFaultyLaterRecordNamesItsPageAndOffset) {
  const auto first = EncodeRecord(MakePage(205, 64, 4, 1));
  Parts second = ValidParts();
  second.bitmap.bfSize = 7;
  const auto stream = Concat({first, EncodeRaw(second.info, second.header, second.bitmap, second.raster)});
  PageStreamReader reader;
  RecordingConsumer consumer;
  FeedInPieces(reader, stream, consumer, 1);
  EXPECT_EQ(reader.failure().error, PageStreamError::kBadBitmapHeader);
  EXPECT_EQ(reader.failure().page, 2u);
  EXPECT_EQ(reader.failure().recordOffset, first.size());
  EXPECT_EQ(DescribeFailure(reader.failure()),
            "bitmap header does not match the page header (bitmap header) in page 2 at byte " +
                std::to_string(first.size()));
  ASSERT_EQ(consumer.pages.size(), 1u);
  EXPECT_TRUE(consumer.pages[0].ended);
}

TEST(PageStreamReaderTest, TruncatedStreamsDropTheUnfinishedPage) {
  const auto pages = ThreePages();
  const auto first = EncodeRecord(pages[0]);
  const auto stream = Concat({first, EncodeRecord(pages[1])});
  struct Case {
    std::size_t cut;
    std::uint32_t pages, headerBytes, rasterBytes;
    bool dropped;
  };
  const std::vector<Case> cases = {
      {0, 0, 0, 0, false},
      {100, 0, 100, 0, false},
      {kFullHeader, 0, 0, 0, true},  // header complete, no raster yet
      {kFullHeader + 10, 0, 0, 10, true},
      {first.size(), 1, 0, 0, false},
      {first.size() + 445, 1, 445, 0, false},
      {stream.size() - 1, 1, 0, static_cast<std::uint32_t>(pages[1].raster.size() - 1), true},
      {stream.size(), 2, 0, 0, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("cut at " + std::to_string(c.cut));
    for (bool wholePages : {false, true}) {
      PageStreamReader reader;
      RecordingConsumer consumer;
      if (wholePages) consumer.delivery = [](const PageRecord& p) { return RasterDelivery::WholePage(p); };
      FeedInPieces(reader, std::span(stream).first(c.cut), consumer, 64);
      const EndOfStream end = reader.Finish(consumer);
      EXPECT_EQ(end.pages, c.pages);
      EXPECT_EQ(end.partialHeaderBytes, c.headerBytes);
      EXPECT_EQ(end.partialRasterBytes, c.rasterBytes);
      EXPECT_EQ(end.pageDropped, c.dropped);
      EXPECT_EQ(end.Clean(), !c.dropped && c.headerBytes == 0);
      EXPECT_EQ(!consumer.pages.empty() && consumer.pages.back().dropped, c.dropped);
      EXPECT_EQ(reader.pagesStarted(), 0u) << "Finish leaves the reader ready for a new job";
    }
  }
}

TEST(PageStreamReaderTest, TrailingGarbageIsARecordThatFailsOrADroppedRemnant) {
  const auto first = EncodeRecord(MakePage(205, 64, 4, 1));
  auto longGarbage = first;
  longGarbage.insert(longGarbage.end(), 600, 0xAB);
  auto shortGarbage = first;
  shortGarbage.insert(shortGarbage.end(), 20, 0xAB);

  PageStreamReader reader;
  RecordingConsumer consumer;
  FeedInPieces(reader, longGarbage, consumer, 333);
  EXPECT_TRUE(reader.failed());
  EXPECT_EQ(reader.failure().page, 2u);
  EXPECT_EQ(reader.failure().recordOffset, first.size());
  EXPECT_EQ(reader.pagesCompleted(), 1u);

  PageStreamReader other;
  FeedInPieces(other, shortGarbage, consumer, 333);
  EXPECT_FALSE(other.failed());
  const EndOfStream end = other.Finish(consumer);
  EXPECT_EQ(end.pages, 1u);
  EXPECT_EQ(end.partialHeaderBytes, 20u);
}

TEST(PageStreamReaderTest, ConsumerFailuresEndTheStream) {
  const auto pages = ThreePages();
  const auto stream = Concat({EncodeRecord(pages[0]), EncodeRecord(pages[1])});
  struct Case {
    std::string name;
    std::function<void(RecordingConsumer&)> arrange;
    PageStreamError error;
    std::uint32_t failedPage;
    bool droppedLast;
  };
  const std::vector<Case> cases = {
      {"page 2 refused", [](RecordingConsumer& c) { c.refusePage = 2; }, PageStreamError::kPageRefused, 2, false},
      {"raster of page 2 fails", [](RecordingConsumer& c) { c.failRasterCall = 6; }, PageStreamError::kConsumerFailed,
       2, true},
      {"end of page 1 fails", [](RecordingConsumer& c) { c.failPageEnd = 1; }, PageStreamError::kConsumerFailed, 1,
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    PageStreamReader reader;
    RecordingConsumer consumer;
    c.arrange(consumer);
    FeedInPieces(reader, stream, consumer, 64);
    EXPECT_EQ(reader.failure().error, c.error);
    EXPECT_EQ(reader.failure().page, c.failedPage);
    EXPECT_EQ(LastErrorFor(c.error), 0u) << "the consumer sets its own last error";
    ASSERT_FALSE(consumer.pages.empty());
    EXPECT_EQ(consumer.pages.back().dropped, c.droppedLast);
    EXPECT_TRUE(reader.Finish(consumer).Clean()) << "a failed page is dropped once, at the failure";
  }
}

TEST(PageStreamReaderTest, ShortRecordsNeedTheShortReader) {
  TestPage page = MakePage(205, 64, 4, 3);
  page.header.Staple = 3;
  page.header.StaplePoint = 2;
  const auto shortRecord = EncodeRecord(page, RecordForm::kShort);
  ASSERT_EQ(shortRecord.size(), RecordHeaderSize(RecordForm::kShort) + page.raster.size());

  PageStreamReader shortReader(RecordForm::kShort);
  RecordingConsumer consumer;
  EXPECT_EQ(FeedInPieces(shortReader, shortRecord, consumer, 3), shortRecord.size());
  ASSERT_EQ(consumer.pages.size(), 1u);
  EXPECT_EQ(consumer.pages[0].record.header.StaplePoint, 2);
  EXPECT_EQ(consumer.pages[0].record.BitmapHeaderBytes()[0], 'B');
  EXPECT_EQ(consumer.pages[0].raster, page.raster);

  // A full record read as a short one finds fax fields where the bitmap
  // header should be: refused, not misread.
  PageStreamReader wrongForm(RecordForm::kShort);
  FeedInPieces(wrongForm, EncodeRecord(page), consumer, 3);
  EXPECT_EQ(wrongForm.failure().error, PageStreamError::kBadBitmapHeader);
}

}  // namespace
}  // namespace k460::pagestream
