// The driver's sink: the 1000-byte staging buffer in front of WritePrinter,
// a whole job through a direct-mode stream to a capture printer, the hand-off
// to the page store in store mode, and what a failing spooler leaves behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "driver/pcl/printer_common/nt/pclxl/xlemit.h"
#include "driver/pcl/printer_common/nt/pclxl/xlpagestore.h"
#include "driver/pcl/printer_common/nt/pclxl/xlsink.h"
#include "platform/spooler/capture.h"
#include "tests/support/machine_fixture.h"
#include "tools/pclxl_reader/pclxl_reader.h"

namespace {

using namespace std::string_literals;
namespace xl = k460::pclxl;

std::string Pattern(std::size_t length, char seed) {
  std::string s(length, '\0');
  for (std::size_t i = 0; i < length; ++i) s[i] = static_cast<char>(seed + i % 251);
  return s;
}

const BYTE* Bytes(const std::string& s) { return reinterpret_cast<const BYTE*>(s.data()); }

class XlSinkTest : public k460::testing::MachineTest {
 protected:
  void SetUp() override {
    MachineTest::SetUp();
    printer_ = k460::OpenCapturePrinter();
    k460::EnableCallLog(true);
    k460::ClearCallLog();
  }
  void TearDown() override {
    k460::EnableCallLog(false);
    CloseHandle(printer_);
    MachineTest::TearDown();
  }

  std::size_t WritePrinterCalls() const {
    auto log = k460::CallLog();
    return std::count_if(log.begin(), log.end(), [](const auto& r) { return r.function == "WritePrinter"; });
  }
  std::string Output() const { return k460::CapturedOutput(printer_); }

  HANDLE printer_ = nullptr;
};

TEST_F(XlSinkTest, StagingKeepsSpoolerWritesLarge) {
  struct Case {
    LONG staged;         // bytes already waiting
    DWORD length;        // bytes handed on
    std::size_t calls;   // WritePrinter calls it causes
    LONG stagedAfter;
  } cases[] = {
      {0, 1000, 0, 1000},     // exactly full stays staged
      {1000, 0, 0, 1000},     // and an empty write does not flush it
      {1000, 1, 1, 1},
      {0, 2500, 2, 0},        // 1000 through the staging buffer, 1500 straight
      {400, 1600, 1, 1000},   // the rest (1000) fits the emptied buffer
      {400, 1601, 2, 0},      // the rest (1001) does not
      {999, 2, 1, 1},
  };
  for (const Case& c : cases) {
    StagingBuffer staging{};
    std::string waiting = Pattern(c.staged, 'a');
    ASSERT_TRUE(AddToStream(&staging, Bytes(waiting), c.staged));
    std::string before = Output();
    k460::ClearCallLog();

    std::string bytes = Pattern(c.length, 'k');
    DWORD taken = 0;
    EXPECT_TRUE(StreamWritePrinter(&staging, printer_, Bytes(bytes), c.length, &taken));
    EXPECT_EQ(taken, c.length);
    EXPECT_EQ(WritePrinterCalls(), c.calls) << c.staged << "+" << c.length;
    EXPECT_EQ(staging.cbStaged, c.stagedAfter) << c.staged << "+" << c.length;
    // Written and staged bytes together are the input, in order.
    std::string sent = Output().substr(before.size()) +
                       std::string(reinterpret_cast<char*>(staging.abData), staging.cbStaged);
    EXPECT_EQ(sent, waiting + bytes);
  }
}

TEST_F(XlSinkTest, FlushStreamWritesOnceAndEmptiesTheStagingBuffer) {
  StagingBuffer staging{};
  ASSERT_TRUE(AddToStream(&staging, Bytes("abc"s), 3));
  EXPECT_TRUE(FlushStream(&staging, printer_));
  EXPECT_EQ(Output(), "abc");
  EXPECT_EQ(staging.cbStaged, 0);

  ASSERT_TRUE(AddToStream(&staging, Bytes("def"s), 3));
  k460::CancelCapturePrinter(printer_, ERROR_PRINT_CANCELLED);
  EXPECT_FALSE(FlushStream(&staging, printer_));
  EXPECT_EQ(GetLastError(), ERROR_PRINT_CANCELLED);
  EXPECT_EQ(staging.cbStaged, 0);
}

TEST_F(XlSinkTest, BadArgumentsAreRefused) {
  StagingBuffer staging{};
  std::string big(1001, 'x');
  struct Case {
    const char* name;
    BOOL result;
    DWORD error;
  };
  std::vector<Case> cases;
  auto check = [&](const char* name, BOOL result) {
    cases.push_back({name, result, GetLastError()});
    SetLastError(0);
  };
  check("add past the end", AddToStream(&staging, Bytes(big), 1001));
  check("add without data", AddToStream(&staging, nullptr, 1));
  check("add to no buffer", AddToStream(nullptr, Bytes(big), 1));
  check("write without data", StreamWritePrinter(&staging, printer_, nullptr, 5, nullptr));
  check("write to no buffer", StreamWritePrinter(nullptr, printer_, Bytes(big), 5, nullptr));
  check("flush no buffer", FlushStream(nullptr, printer_));
  staging.cbStaged = 1001;
  check("damaged count", StreamWritePrinter(&staging, printer_, Bytes(big), 5, nullptr));
  staging.cbStaged = -1;
  check("negative count", AddToStream(&staging, Bytes(big), 1));
  check("flush damaged", FlushStream(&staging, printer_));
  check("driver stream without parameters", XlNewDriverStream(nullptr) != nullptr);
  for (const Case& c : cases) {
    EXPECT_FALSE(c.result) << c.name;
    EXPECT_EQ(c.error, ERROR_INVALID_PARAMETER) << c.name;
  }
  staging.cbStaged = 0;
  ASSERT_TRUE(AddToStream(&staging, Bytes(big), 10));
  EXPECT_FALSE(FlushStream(&staging, reinterpret_cast<HANDLE>(0x4321)));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_EQ(Output(), "");
}

DevParams Params(HANDLE printer) {
  DevParams params{};
  params.hPrinter = printer;
  params.wDuplex = 1;
  params.wPagesPerSheet = 1;
  return params;
}

void WriteJob(XlStream* s, const std::string& image) {
  HP_RawBytes(s, "\x1B%-12345X", 9);
  const std::string pjl = "@PJL SET DUPLEX = OFF\r\n@PJL ENTER LANGUAGE=PCLXL\n";
  HP_RawBytes(s, pjl.data(), static_cast<DWORD>(pjl.size()));
  HP_StreamHeader(s, 2, 0, " K460", 5);
  HP_BeginSession(s, 600, 600, 0, 3);
  HP_OpenDataSource(s, 0, 1);
  HP_BeginPage_MediaSize(s, 0, 2, 1);
  HP_SetPageDefaultCTM(s);
  HP_SetPageOrigin(s, 100, 100);
  HP_SetPageScale(s, 1.0f, 1.0f);
  HP_BeginImage(s, XlImageHeader{0, 8, 100, 30, 100, 30});
  HP_ReadImage(s, XlImageBlock{0, 30, 0, 4, Bytes(image), static_cast<DWORD>(image.size())});
  HP_EndImage(s);
  HP_EndPage(s, 1);
  HP_CloseDataSource(s);
  HP_EndSession(s);
  HP_RawBytes(s, "\x1B%-12345X", 9);
}

TEST_F(XlSinkTest, ADirectModeJobReachesTheSpoolerWholeAndInOrder) {
  DevParams params = Params(printer_);
  XlStream* stream = XlNewDriverStream(&params);
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(stream->cbCapacity, XL_DRIVER_BUFFER_SIZE);
  EXPECT_EQ(stream->devParams.hPrinter, printer_);

  // Every operator moves on to the staging buffer at once.
  HP_BeginSession(stream, 600, 600, 0, 3);
  EXPECT_EQ(stream->cbUsed, 0u);
  EXPECT_EQ(stream->staging.cbStaged, 16);
  EXPECT_EQ(WritePrinterCalls(), 0u);

  std::string image = Pattern(3000, 'i');
  WriteJob(stream, image);
  HP_FlushStream(stream);
  EXPECT_TRUE(FlushStream(&stream->staging, printer_));
  EXPECT_EQ(stream->sError, XL_OK);
  DWORD total = stream->cbTotal;
  EXPECT_EQ(HP_CloseStream(stream), total);

  std::string out = Output();
  EXPECT_EQ(out.size(), total);
  xl::Job job = xl::ParseJob(out.substr(16));
  ASSERT_FALSE(job.error) << xl::FormatError(*job.error);
  std::vector<std::string> names;
  for (const auto& item : job.items) {
    if (const auto* op = std::get_if<xl::Operator>(&item)) names.emplace_back(xl::OperatorName(op->code));
  }
  EXPECT_EQ(names, (std::vector<std::string>{"BeginSession", "OpenDataSource", "BeginPage", "SetPageDefaultCTM",
                                             "SetPageOrigin", "SetPageScale", "BeginImage", "ReadImage", "EndImage",
                                             "EndPage", "CloseDataSource", "EndSession"}));
  const auto& readImage = std::get<xl::Operator>(job.items[11]);
  EXPECT_EQ(out.substr(16).substr(readImage.dataOffset, readImage.dataLength), image);
}

class RecordingPageStore : public XlPageStore {
 public:
  struct Filing {
    DWORD command;
    std::string bytes;
  };
  BOOL Booklet_Reverse_StoreData(DevParams* pdevparams, DWORD command, const BYTE* pData, DWORD cbData,
                                 DWORD reserved) override {
    EXPECT_EQ(reserved, 0u);
    EXPECT_NE(pdevparams, nullptr);
    filings.push_back({command, std::string(reinterpret_cast<const char*>(pData), cbData)});
    return FALSE;  // the sink does not look at the answer
  }
  std::vector<Filing> filings;
};

TEST_F(XlSinkTest, StoreModeFilesEveryFlushUnderTheCommandInForce) {
  for (bool booklet : {true, false}) {
    RecordingPageStore store;
    DevParams params = Params(printer_);
    params.bBooklet = booklet;
    params.bReverse = !booklet;
    params.pPageStore = &store;
    XlStream* stream = XlNewDriverStream(&params);
    ASSERT_NE(stream, nullptr);

    stream->devParams.dwStoreCommand = BOOKLET_REVERSE_START_DOC;
    HP_RawBytes(stream, "\x1B%-12345X", 9);
    HP_BeginSession(stream, 600, 600, 0, 3);
    EXPECT_TRUE(store.filings.empty());  // operators do not flush in store mode
    HP_FlushStream(stream);
    stream->devParams.dwStoreCommand = BOOKLET_REVERSE_PAGE_DATA;
    std::string image = Pattern(5000, 'p');
    HP_ReadImage(stream, XlImageBlock{0, 50, 0, 4, Bytes(image), static_cast<DWORD>(image.size())});
    stream->devParams.dwStoreCommand = BOOKLET_REVERSE_END_PAGE;
    HP_EndPage(stream, 1);
    DWORD total = stream->cbTotal;
    HP_CloseStream(stream);

    ASSERT_EQ(store.filings.size(), 3u);
    EXPECT_EQ(store.filings[0].command, BOOKLET_REVERSE_START_DOC);
    EXPECT_EQ(store.filings[0].bytes.substr(0, 9), "\x1B%-12345X");
    EXPECT_EQ(store.filings[0].bytes.size(), 25u);
    EXPECT_EQ(store.filings[1].command, BOOKLET_REVERSE_PAGE_DATA);  // the full buffer
    EXPECT_EQ(store.filings[1].bytes.size(), XL_DRIVER_BUFFER_SIZE);
    // The close files the rest, image data and EndPage, under the last command.
    EXPECT_EQ(store.filings[2].command, BOOKLET_REVERSE_END_PAGE);
    EXPECT_TRUE(store.filings[2].bytes.ends_with("\xC1\x01\x00\xF8\x31\x44"s));
    EXPECT_EQ(store.filings[0].bytes.size() + store.filings[1].bytes.size() + store.filings[2].bytes.size(), total);
    EXPECT_EQ(Output(), "");
    EXPECT_EQ(WritePrinterCalls(), 0u);
  }
}

TEST_F(XlSinkTest, StoreModeWithoutAPageStoreDropsTheFlush) {
  DevParams params = Params(printer_);
  params.bBooklet = TRUE;
  XlStream* stream = XlNewDriverStream(&params);
  ASSERT_NE(stream, nullptr);
  HP_PushGS(stream);
  HP_FlushStream(stream);
  EXPECT_EQ(stream->cbUsed, 0u);
  EXPECT_EQ(stream->sError, XL_OK);
  HP_CloseStream(stream);
  EXPECT_EQ(Output(), "");
}

TEST_F(XlSinkTest, AFailedWriteStopsTheStreamAndNothingIsSentTwice) {
  DevParams params = Params(printer_);
  XlStream* stream = XlNewDriverStream(&params);
  ASSERT_NE(stream, nullptr);
  HP_BeginSession(stream, 600, 600, 0, 3);
  k460::CancelCapturePrinter(printer_, ERROR_PRINT_CANCELLED);

  std::string image = Pattern(3000, 'f');
  HP_ReadImage(stream, XlImageBlock{0, 30, 0, 4, Bytes(image), static_cast<DWORD>(image.size())});
  HP_EndImage(stream);  // its flush carries the data: more than the staging buffer holds
  EXPECT_EQ(stream->sError, XL_ERROR_WRITE);
  EXPECT_EQ(stream->wErrorCount, 1);
  EXPECT_EQ(stream->cbUsed, 0u);
  DWORD total = stream->cbTotal;

  HP_EndSession(stream);
  EXPECT_EQ(stream->cbTotal, total);

  // The spooler would take bytes again: the undelivered ones are not resent.
  k460::CancelCapturePrinter(printer_, 0);
  HP_FlushStream(stream);
  FlushStream(&stream->staging, printer_);
  HP_CloseStream(stream);
  EXPECT_EQ(Output(), "");
}

TEST_F(XlSinkTest, AWriteFailureAfterAnotherErrorKeepsTheFirstCode) {
  DevParams params = Params(printer_);
  XlStream* stream = XlNewDriverStream(&params);
  ASSERT_NE(stream, nullptr);
  std::string text = Pattern(1500, 't');
  HP_RawBytes(stream, text.data(), 1500);
  HP_Operator(stream, 0x45);
  EXPECT_EQ(stream->sError, XL_ERROR_OPERATOR);
  k460::CancelCapturePrinter(printer_, ERROR_PRINT_CANCELLED);
  HP_FlushStream(stream);
  EXPECT_EQ(stream->sError, XL_ERROR_OPERATOR);
  EXPECT_EQ(stream->wErrorCount, 2);
  HP_CloseStream(stream);
}

}  // namespace
