// Pages written by the page record writer come out of the monitors' reader
// as they went in, whatever pieces the spooler cuts the stream into.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "driver/winnt/printer/src/km/page_record/page_record_writer.h"
#include "monitors/common/page_codes.h"
#include "monitors/common/page_stream_reader.h"
#include "monitors/common/raster_geometry.h"
#include "tests/monitors/common/page_stream_support.h"

namespace k460::hostbased {
namespace {

using namespace pagestream;
using pagestream::testing::FeedInPieces;
using pagestream::testing::MakePage;
using pagestream::testing::RecordingConsumer;
using pagestream::testing::TestPage;

template <std::size_t N>
void SetText(char (&field)[N], std::string_view text) {
  std::copy(text.begin(), text.end(), field);
}

// Copies the job-level fields that the reader takes from page 1, by name.
void TakeJobLevel(PageHeader& to, const PageHeader& from) {
  to.PaperType = from.PaperType;
  to.TonerSaving = from.TonerSaving;
  to.OutputOder = from.OutputOder;
  to.Stack = from.Stack;
  to.Duplex = from.Duplex;
  to.DuplexBinding = from.DuplexBinding;
  to.MultPagePrint = from.MultPagePrint;
  to.MultPageBorder = from.MultPageBorder;
  to.MultPageOrder = from.MultPageOrder;
  to.MultPageView = from.MultPageView;
  to.Punch = from.Punch;
  to.PunchHoles = from.PunchHoles;
  to.Staple = from.Staple;
  to.StaplePoint = from.StaplePoint;
  to.SecurityPrint = from.SecurityPrint;
}

// Sets the job-level fields to code number `k` of each field's list.
void SetJobLevel(PageHeader& h, int k) {
  h.PaperType = static_cast<std::int16_t>(k % 4);
  h.TonerSaving = static_cast<std::int16_t>(k % 2);
  h.OutputOder = static_cast<std::int16_t>(k % 2);
  h.Stack = static_cast<std::int16_t>(k % 3);
  h.Duplex = static_cast<std::int16_t>(k % 2);
  h.DuplexBinding = static_cast<std::int16_t>(k / 2 % 2);
  h.MultPagePrint = static_cast<std::int16_t>(k % 10);  // 0 to 8 and the booklet 9
  h.MultPageBorder = static_cast<std::int16_t>(k % 2);
  h.MultPageOrder = static_cast<std::int16_t>(k % 4);
  h.MultPageView = static_cast<std::int16_t>(k % 3);
  h.Punch = static_cast<std::int16_t>(k % 5);
  h.PunchHoles = static_cast<std::int16_t>(k / 5 % 2);
  h.Staple = static_cast<std::int16_t>((k + 1) % 5);
  h.StaplePoint = static_cast<std::int16_t>(k % 3);
  h.SecurityPrint = static_cast<std::int16_t>(k % 2);
}

struct Job {
  std::vector<TestPage> pages;     // as handed to the writer
  std::vector<TestPage> expected;  // as the reader must hand them out
};

// Job j (0 to 9) of the table: page 1 carries code j of every job-level
// field; its 24 pages run through every code of the per-page fields. Later
// pages ask for other job-level values and another page kind, which the
// reader must override with page 1's.
Job MakeJob(int j) {
  static const std::int32_t kDevIds[] = {205, PI_DEVID_FAX, PI_DEVID_TIF, PI_DEVID_FAX2, 11,
                                         205, PI_DEVID_FAX,  PI_DEVID_FAX2, PI_DEVID_TIF, 205};
  const std::int32_t devId = kDevIds[j];
  Job job;
  for (int i = 0; i < 24; ++i) {
    const std::int16_t width = i % 6 == 5 ? 2480 : static_cast<std::int16_t>(32 * (1 + i % 3));
    const std::uint32_t rowBytes = width == 2480 ? RowBytes16(width) : 0;  // rows padded to 16 bits
    TestPage page = MakePage(i == 0 ? devId : (devId == 205 ? PI_DEVID_FAX : 205), width,
                             static_cast<std::int16_t>(1 + i % 3), static_cast<std::uint32_t>(100 * j + i), rowBytes);
    PageHeader& h = page.header;
    page.info.BmpRotate = static_cast<std::int16_t>(i % 4);
    h.Resolution = static_cast<std::int16_t>(i % 2 ? 200 : 600);
    h.Coding = static_cast<std::int16_t>(i % 4);
    h.CopyNum = static_cast<std::int16_t>(1 + i);
    h.Paper = static_cast<std::int16_t>(i);
    h.Orient = static_cast<std::int16_t>(i % 2);
    h.Casset = static_cast<std::int16_t>(i % 8);
    h.Collated = static_cast<std::int16_t>(i % 2);
    h.Priority = static_cast<std::int16_t>(i % 3);
    h.Outbin = static_cast<std::int16_t>(i / 2 % 2);
    h.Zoom = static_cast<std::int16_t>(i % 2);
    h.ZoomOutputPaper = static_cast<std::int16_t>(i % 5);
    h.ZoomNumber = static_cast<std::int16_t>(25 + i * 10);
    h.Angle = static_cast<std::int16_t>(i % 2 ? 180 : 0);
    SetJobLevel(h, i == 0 ? j : j + 1 + i);
    SetText(h.FaxUserName, "00" + std::to_string(i) + ":Taro");
    SetText(h.FaxPassword, "secret");
    h.FaxAuto = static_cast<std::int16_t>(i % 2);
    h.FaxItem = static_cast<std::int16_t>(i % 5);
    h.FaxTxDocList = static_cast<std::int16_t>(i / 2 % 2);
    job.pages.push_back(page);
  }
  for (const TestPage& page : job.pages) {
    TestPage expected = page;
    expected.info.DevId = devId;
    TakeJobLevel(expected.header, job.pages[0].header);
    expected.header.Length = static_cast<std::uint32_t>(page.raster.size() + kBitmapHeaderBlockSize);
    job.expected.push_back(expected);
  }
  return job;
}

std::vector<std::uint8_t> WriteJob(const Job& job, RecordForm form) {
  std::vector<std::uint8_t> stream;
  const PageWriteFunction collect = [&](std::span<const std::uint8_t> bytes) {
    stream.insert(stream.end(), bytes.begin(), bytes.end());
    return true;
  };
  for (const TestPage& page : job.pages) {
    EXPECT_TRUE(WritePageRecord(page.info, page.header, page.raster, form, collect)) << GetLastError();
  }
  return stream;
}

void ExpectPagesAsWritten(const Job& job, const RecordingConsumer& consumer, RecordForm form) {
  ASSERT_EQ(consumer.pages.size(), job.expected.size());
  for (std::size_t i = 0; i < job.expected.size(); ++i) {
    SCOPED_TRACE("page " + std::to_string(i + 1));
    const auto& got = consumer.pages[i];
    const TestPage& want = job.expected[i];
    EXPECT_TRUE(got.ended);
    std::array<std::uint8_t, kPageInfoSize> info{};
    StorePageInfo(want.info, info);
    EXPECT_TRUE(std::equal(info.begin(), info.end(), got.record.RecordHeaderBytes().begin()));
    std::vector<std::uint8_t> header(PageHeaderSize(form));
    StorePageHeader(want.header, header);
    EXPECT_TRUE(std::ranges::equal(header, got.record.PageHeaderBytes()));
    EXPECT_EQ(got.record.header.Paper, want.header.Paper);
    EXPECT_EQ(got.record.header.Duplex, want.header.Duplex);
    EXPECT_EQ(got.raster, want.raster);
  }
}

TEST(PageRecordRoundTripTest, EveryCodeComesBackWhateverThePieces) {
  std::vector<Job> jobs;
  for (int j = 0; j < 10; ++j) jobs.push_back(MakeJob(j));

  // Every code of every coded field appears in the table.
  for (const CodeTable& table : CodeTables()) {
    for (std::size_t code = 0; code < table.keywords.size(); ++code) {
      bool seen = false;
      for (const Job& job : jobs) {
        for (const TestPage& page : job.expected) seen = seen || page.header.*table.member == static_cast<int>(code);
      }
      EXPECT_TRUE(seen) << table.name << " " << code;
    }
  }

  std::mt19937 random(460);
  std::uniform_int_distribution<std::size_t> randomSize(1, 1500);
  const std::vector<std::pair<std::string, std::function<std::size_t()>>> cuts = {
      {"1", [] { return 1; }},
      {"3", [] { return 3; }},
      {"445", [] { return 445; }},
      {"446", [] { return 446; }},
      {"447", [] { return 447; }},
      {"random", [&] { return randomSize(random); }},
  };
  for (const auto& [name, nextPiece] : cuts) {
    for (std::size_t j = 0; j < jobs.size(); ++j) {
      SCOPED_TRACE("pieces of " + name + ", job " + std::to_string(j));
      const auto stream = WriteJob(jobs[j], RecordForm::kFull);
      PageStreamReader reader;
      RecordingConsumer consumer;
      consumer.delivery = [](const PageRecord& p) { return RasterDelivery::Blocks(BlockBytes(p.rowBytes, 0, p.rasterBytes)); };
      EXPECT_EQ(FeedInPieces(reader, stream, consumer, nextPiece), stream.size());
      EXPECT_FALSE(reader.failed()) << DescribeFailure(reader.failure());
      ExpectPagesAsWritten(jobs[j], consumer, RecordForm::kFull);
      EXPECT_TRUE(reader.Finish(consumer).Clean());
    }
  }
}

TEST(PageRecordRoundTripTest, ShortRecordsCarryEverythingButTheFaxFields) {
  Job job = MakeJob(3);
  for (TestPage& page : job.expected) {
    PageHeader& h = page.header;
    std::fill(std::begin(h.FaxUserName), std::end(h.FaxUserName), '\0');
    std::fill(std::begin(h.FaxPassword), std::end(h.FaxPassword), '\0');
    h.FaxAuto = h.FaxItem = h.FaxTxDocList = 0;
  }
  const auto stream = WriteJob(job, RecordForm::kShort);
  for (std::size_t piece : {std::size_t{1}, std::size_t{269}, std::size_t{270}, std::size_t{271}}) {
    SCOPED_TRACE("pieces of " + std::to_string(piece));
    PageStreamReader reader(RecordForm::kShort);
    RecordingConsumer consumer;
    EXPECT_EQ(FeedInPieces(reader, stream, consumer, piece), stream.size());
    EXPECT_FALSE(reader.failed()) << DescribeFailure(reader.failure());
    ExpectPagesAsWritten(job, consumer, RecordForm::kShort);
    for (const auto& page : consumer.pages) EXPECT_EQ(page.record.header.FaxUserName[0], '\0');
  }
}

}  // namespace
}  // namespace k460::hostbased
