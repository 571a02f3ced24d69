#include "driver/winnt/printer/src/km/page_record/page_record_writer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "monitors/common/page_stream_reader.h"
#include "platform/base/host.h"
#include "platform/spooler/capture.h"
#include "tests/monitors/common/page_stream_support.h"
#include "tests/support/machine_fixture.h"

namespace k460::hostbased {
namespace {

using namespace pagestream;
using pagestream::testing::EncodeRecord;
using pagestream::testing::MakePage;
using pagestream::testing::TestPage;

class PageRecordWriterTest : public k460::testing::MachineTest {
 protected:
  // A write function that keeps each write apart.
  PageWriteFunction Collect() {
    return [this](std::span<const std::uint8_t> bytes) {
      writes.emplace_back(bytes.begin(), bytes.end());
      return true;
    };
  }
  std::vector<std::uint8_t> Written() const {
    std::vector<std::uint8_t> all;
    for (const auto& w : writes) all.insert(all.end(), w.begin(), w.end());
    return all;
  }
  std::vector<std::vector<std::uint8_t>> writes;
};

TEST_F(PageRecordWriterTest, WritesHeaderBlockBitmapHeaderAndRasterInThreeWrites) {
  const TestPage page = MakePage(205, 4992, 3, 7);
  for (RecordForm form : {RecordForm::kFull, RecordForm::kShort}) {
    writes.clear();
    ASSERT_TRUE(WritePageRecord(page.info, page.header, page.raster, form, Collect()));
    ASSERT_EQ(writes.size(), 3u);
    EXPECT_EQ(writes[0].size(), form == RecordForm::kFull ? 384u : 208u);
    EXPECT_EQ(writes[1].size(), 62u);
    EXPECT_EQ(writes[2], page.raster);
    EXPECT_EQ(Written(), EncodeRecord(page, form));
  }
}

TEST_F(PageRecordWriterTest, ThePrinterReceivesTheRecordsThroughWritePrinter) {
  const TestPage first = MakePage(205, 64, 4, 1);
  const TestPage second = MakePage(205, 96, 2, 2);
  HANDLE printer = OpenCapturePrinter();
  const PageWriteFunction write = PrinterWriteFunction(printer);
  ASSERT_TRUE(WritePageRecord(first.info, first.header, first.raster, RecordForm::kFull, write));
  ASSERT_TRUE(WritePageRecord(second.info, second.header, second.raster, RecordForm::kFull, write));

  auto expected = EncodeRecord(first);
  const auto secondBytes = EncodeRecord(second);
  expected.insert(expected.end(), secondBytes.begin(), secondBytes.end());
  EXPECT_EQ(CapturedOutput(printer), std::string(expected.begin(), expected.end()));
  CloseHandle(printer);
}

TEST_F(PageRecordWriterTest, AFailedWriteFailsTheRecordWithItsError) {
  const TestPage page = MakePage(205, 64, 4, 1);
  HANDLE printer = OpenCapturePrinter();

  InjectFault("WritePrinter", 1, 1, ERROR_WRITE_FAULT);  // the bitmap header block
  EXPECT_FALSE(WritePageRecord(page.info, page.header, page.raster, RecordForm::kFull, PrinterWriteFunction(printer)));
  EXPECT_EQ(GetLastError(), ERROR_WRITE_FAULT);
  EXPECT_EQ(CapturedOutput(printer).size(), 384u) << "only the header block went out";

  CancelCapturePrinter(printer, ERROR_PRINT_CANCELLED);
  EXPECT_FALSE(WritePageRecord(page.info, page.header, page.raster, RecordForm::kFull, PrinterWriteFunction(printer)));
  EXPECT_EQ(GetLastError(), ERROR_PRINT_CANCELLED);
  CloseHandle(printer);

  SetLastError(0);
  EXPECT_FALSE(WritePageRecord(page.info, page.header, page.raster, RecordForm::kFull, PrinterWriteFunction(printer)));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST_F(PageRecordWriterTest, ReservedBytesAndTextTailsAreZeroAndLengthFollowsTheRaster) {
  TestPage page = MakePage(PI_DEVID_FAX2, 64, 4, 1);
  page.info.Reserved4[2] = 0x55;
  std::fill(std::begin(page.info.DriverName), std::end(page.info.DriverName), u'x');  // no NUL at all
  page.header.Length = 12345;
  page.header.Reserved52[0] = 1;
  page.header.Reserved68[11] = 2;
  page.header.Reserved158[97] = 3;
  std::fill(std::begin(page.header.FaxUserName), std::end(page.header.FaxUserName), 'u');
  page.header.FaxUserName[3] = '\0';
  std::fill(std::begin(page.header.FaxPassword), std::end(page.header.FaxPassword), 'p');
  page.header.FaxPassword[0] = '\0';
  ASSERT_TRUE(WritePageRecord(page.info, page.header, page.raster, RecordForm::kFull, Collect()));

  const auto bytes = Written();
  const PageInfo info = LoadPageInfo(std::span(bytes).first<kPageInfoSize>());
  const PageHeader header = LoadPageHeader(std::span(bytes).subspan(kPageInfoSize, kPageHeaderSize));
  EXPECT_EQ(info.Reserved4[2], 0);
  EXPECT_EQ(info.DriverName[44], u'x');
  EXPECT_EQ(info.DriverName[45], u'\0') << "the name is always terminated";
  EXPECT_EQ(header.Length, page.raster.size() + 62);
  EXPECT_EQ(header.Reserved52[0], 0);
  EXPECT_EQ(header.Reserved68[11], 0);
  EXPECT_EQ(header.Reserved158[97], 0);
  EXPECT_EQ(std::string(header.FaxUserName, 5), std::string("uuu\0\0", 5));
  EXPECT_EQ(header.FaxPassword[5], '\0');
}

TEST_F(PageRecordWriterTest, RefusesRecordsThatAMonitorWouldRefuse) {
  struct Case {
    std::string name;
    std::function<void(TestPage&)> change;
  };
  const std::vector<Case> cases = {
      {"raster one byte short", [](TestPage& p) { p.raster.pop_back(); }},
      {"raster of another height", [](TestPage& p) { p.header.Height = 5; }},
      {"empty raster", [](TestPage& p) { p.raster.clear(); }},
      {"width 0", [](TestPage& p) { p.header.Width = 0; }},
      {"resolution 0", [](TestPage& p) { p.header.Resolution = 0; }},
      {"DevId 2", [](TestPage& p) { p.info.DevId = 2; }},
      {"Paper outside the list", [](TestPage& p) { p.header.Paper = 24; }},
      {"BmpRotate 4", [](TestPage& p) { p.info.BmpRotate = 4; }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TestPage page = MakePage(205, 64, 4, 1);
    c.change(page);
    writes.clear();
    SetLastError(0);
    EXPECT_FALSE(WritePageRecord(page.info, page.header, page.raster, RecordForm::kFull, Collect()));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_TRUE(writes.empty()) << "nothing is written";
  }
  const TestPage page = MakePage(205, 64, 4, 1);
  EXPECT_FALSE(WritePageRecord(page.info, page.header, page.raster, RecordForm::kFull, PageWriteFunction{}));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

}  // namespace
}  // namespace k460::hostbased
