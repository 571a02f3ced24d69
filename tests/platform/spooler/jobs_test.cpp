#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>

#include "platform/base/internal.h"
#include "platform/base/text.h"
#include "tests/platform/spooler/spooler_fixture.h"

namespace k460::testing {
namespace {

using JobTest = SpoolerTest;

std::string Sample(std::size_t size) {
  std::string data(size, '\0');
  std::mt19937 random(42);
  for (auto& c : data) c = static_cast<char>(random());
  return data;
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Every combination of the application's write sizes and the port's piece
// sizes delivers the job byte for byte, to a file and to a monitor.
TEST_F(JobTest, JobArrivesByteIdenticalWhateverThePieceSizes) {
  const std::string data = Sample(50000);
  const DWORD pieces[] = {1, 7, 4096, 0};
  int n = 0;
  for (DWORD writePiece : pieces) {
    for (DWORD portPiece : pieces) {
      SCOPED_TRACE("write " + PieceName(writePiece) + ", port " + PieceName(portPiece));
      SetDespoolPieceSize(portPiece ? portPiece : 5000, portPiece ? std::nullopt : std::optional<std::uint32_t>(9));
      const std::u16string out = u"C:\\out\\job" + Utf8ToUtf16(std::to_string(n++)) + u".prn";
      ASSERT_TRUE(PrintJob(kFilePrinter, data, writePiece, out));
      EXPECT_EQ(ReadFile(HostPath(out)), data);
      PortMonitor().data.clear();
      ASSERT_TRUE(PrintJob(kMonitorPrinter, data, writePiece));
      EXPECT_EQ(PortMonitor().data, data);
    }
  }
}

TEST_F(JobTest, FilePortWithoutOutputFileWritesIntoTheRoot) {
  ASSERT_TRUE(PrintJob(kFilePrinter, "hello", 5));
  auto jobs = FinishedJobs();
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_TRUE(jobs[0].delivered);
  EXPECT_EQ(ReadFile(root() / "output" / ("File_Printer-" + std::to_string(jobs[0].jobId) + ".prn")), "hello");
}

TEST_F(JobTest, PortThatTakesPartOfEachPieceGetsTheRestOfferedAgain) {
  PortMonitor().writeLimit = 3;
  const std::string data = Sample(10000);
  ASSERT_TRUE(PrintJob(kMonitorPrinter, data, 4096));
  EXPECT_EQ(PortMonitor().data, data);
}

TEST_F(JobTest, JobDeletedWhilePrintingIsSeenByTheMonitorAndStops) {
  PortMonitor().deleteJobAfterWrites = 2;
  SetDespoolPieceSize(100);
  EXPECT_FALSE(PrintJob(kMonitorPrinter, Sample(10000), 1000));
  EXPECT_EQ(GetLastError(), ERROR_PRINT_CANCELLED);
  EXPECT_TRUE(PortMonitor().sawDeleting);
  EXPECT_EQ(PortMonitor().data.size(), 200u);  // nothing more after the delete
  EXPECT_NE(PortMonitor().events.find("EndDocPort TEST1:"), std::string::npos);
  auto jobs = FinishedJobs();
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_TRUE(jobs[0].status & JOB_STATUS_DELETED);
  EXPECT_EQ(jobs[0].controls, std::vector<DWORD>{JOB_CONTROL_DELETE});
}

TEST_F(JobTest, FailedWriteStopsTheJobAndSaysWhy) {
  PortMonitor().failWrites = true;
  EXPECT_FALSE(PrintJob(kMonitorPrinter, "data", 4));
  EXPECT_EQ(GetLastError(), ERROR_NOT_READY);
  auto jobs = FinishedJobs();
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_FALSE(jobs[0].delivered);
  EXPECT_NE(jobs[0].error.find("WritePort"), std::string::npos);
  EXPECT_NE(PortMonitor().events.find("EndDocPort"), std::string::npos);
}

TEST_F(JobTest, LanguageMonitorSeesEveryByteBeforeThePortMonitor) {
  EnableCallLog(true);
  const std::string data = Sample(20000);
  ASSERT_TRUE(PrintJob(kStackedPrinter, data, 3000));
  EXPECT_EQ(LanguageMonitor().data, data);
  EXPECT_EQ(PortMonitor().data, data);
  std::string seenByLanguage;
  std::size_t checked = 0;
  for (const auto& call : CallLog()) {
    if (call.function == "TestLanguageMonitor.WritePort") seenByLanguage += call.detail;
    if (call.function == "TestPortMonitor.WritePort") {
      checked += call.detail.size();
      ASSERT_GE(seenByLanguage.size(), checked);
      EXPECT_EQ(seenByLanguage.substr(checked - call.detail.size(), call.detail.size()), call.detail);
    }
  }
  EXPECT_EQ(checked, data.size());
  EXPECT_NE(LanguageMonitor().events.find("OpenPortEx TEST2: for Stacked Printer"), std::string::npos);
}

TEST_F(JobTest, MonitorReadsTheJobWhilePrinting) {
  HANDLE h = Open(kMonitorPrinter);
  std::u16string doc = u"report.pdf";
  DOC_INFO_1W info{doc.data(), nullptr, nullptr};
  DWORD jobId = StartDocPrinterW(h, 1, reinterpret_cast<LPBYTE>(&info));
  ASSERT_NE(jobId, 0u);
  DWORD written;
  ASSERT_TRUE(WritePrinter(h, const_cast<char*>("abc"), 3, &written));
  DWORD needed = 0;
  EXPECT_FALSE(GetJobW(h, jobId, 2, nullptr, 0, &needed));
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  std::vector<BYTE> buffer(needed);
  ASSERT_TRUE(GetJobW(h, jobId, 2, buffer.data(), needed, &needed));
  auto* job = reinterpret_cast<JOB_INFO_2W*>(buffer.data());
  EXPECT_EQ(std::u16string(job->pDocument), u"report.pdf");
  EXPECT_EQ(std::u16string(job->pPrinterName), kMonitorPrinter);
  EXPECT_EQ(std::u16string(job->pDriverName), kDriver);
  EXPECT_TRUE(job->Status & JOB_STATUS_SPOOLING);
  EXPECT_EQ(job->Size, 3u);
  ASSERT_TRUE(SetJobW(h, jobId, 0, nullptr, JOB_CONTROL_SENT_TO_PRINTER));
  EXPECT_FALSE(SetJobW(h, jobId, 0, nullptr, 99));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_FALSE(GetJobW(h, jobId + 1000, 1, buffer.data(), needed, &needed));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_FALSE(GetJobW(h, jobId, 3, buffer.data(), needed, &needed));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_LEVEL);
  ASSERT_TRUE(EndDocPrinter(h));
  ClosePrinter(h);
}

TEST_F(JobTest, WritingWithoutADocumentOrAfterCloseFails) {
  HANDLE h = Open(kFilePrinter);
  DWORD written;
  EXPECT_FALSE(WritePrinter(h, const_cast<char*>("x"), 1, &written));
  EXPECT_EQ(GetLastError(), ERROR_SPL_NO_STARTDOC);
  EXPECT_FALSE(EndDocPrinter(h));
  ClosePrinter(h);
  EXPECT_FALSE(WritePrinter(h, const_cast<char*>("x"), 1, &written));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_FALSE(ClosePrinter(h));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST_F(JobTest, ApplicationThatClosesMidDocumentAbortsTheJob) {
  HANDLE h = Open(kMonitorPrinter);
  std::u16string doc = u"x";
  DOC_INFO_1W info{doc.data(), nullptr, nullptr};
  ASSERT_NE(StartDocPrinterW(h, 1, reinterpret_cast<LPBYTE>(&info)), 0u);
  ASSERT_TRUE(ClosePrinter(h));
  auto jobs = FinishedJobs();
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_FALSE(jobs[0].delivered);
  EXPECT_TRUE(PortMonitor().data.empty());
}

}  // namespace
}  // namespace k460::testing
