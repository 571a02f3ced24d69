// Printer jobs over the whole road: the spooler feeds the page stream to the
// network monitor, which cuts, encodes and sends the pages to the emulated
// device. Faults of the device and of the machine end each job as delivered
// or cancelled once, with no temporary file left and no page lost or sent
// twice.
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "platform/base/host.h"
#include "platform/spooler/host.h"
#include "tests/monitors/netmon/job_fixture.h"

namespace k460::testing {
namespace {

using V = std::vector<std::string>;

int Count(const std::vector<DWORD>& controls, DWORD control) {
  return static_cast<int>(std::count(controls.begin(), controls.end(), control));
}

struct FaultCase {
  const char* name;
  const char* faults;
  std::vector<std::int16_t> papers;
  bool printed;
  V conversation;  // without the status checks
  int devicePages;
  int writeErrorMessages;  // message 316
};

class JobFaultTest : public NetmonJobTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(JobFaultTest, EndsAsDeliveredOrCancelledOnce) {
  const FaultCase& c = GetParam();
  ASSERT_EQ(device().core().faults().AddText(c.faults), "");
  const std::uint64_t start = ClockNowMs();
  EXPECT_EQ(PrintStream(PrinterJob(c.papers)), c.printed);

  EXPECT_EQ(Conversation(), c.conversation);
  const auto jobs = FinishedJobs();
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0].delivered, c.printed) << jobs[0].error;
  EXPECT_EQ(Count(jobs[0].controls, JOB_CONTROL_CANCEL), c.printed ? 0 : 1);
  EXPECT_EQ(Count(jobs[0].controls, JOB_CONTROL_SENT_TO_PRINTER), 1);
  EXPECT_EQ(ProgramMessages(c.writeErrorMessages).size(), static_cast<std::size_t>(c.writeErrorMessages));
  EXPECT_EQ(LeftoverFiles(), V{});

  const auto held = device().core().Jobs();
  int pages = 0;
  for (const auto& job : held) pages += static_cast<int>(job.pages.size());
  EXPECT_EQ(pages, c.devicePages);
  if (c.printed) {
    ASSERT_EQ(held.size(), 1u);
    EXPECT_EQ(held[0].state, device::JobState::Completed) << held[0].outcome;
  }
  if (std::string(c.faults).find("busy=602@GETSTATUS*2") != std::string::npos) {
    EXPECT_GE(ClockNowMs() - start, 20000u);  // ten seconds per busy answer
  }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, JobFaultTest,
    ::testing::Values(
        FaultCase{"SameSettings", "", {0, 0, 0}, true, V{"CREATE", "DATA", "DATA", "DATA", "END"}, 3, 0},
        FaultCase{"PaperChangesOnPage2", "", {0, 9, 9}, true, V{"CREATE", "DATA", "ADD", "DATA", "DATA", "END"}, 3, 0},
        FaultCase{"BusyStatus", "busy=602@GETSTATUS*2", {0, 0}, true, V{"CREATE", "DATA", "DATA", "END"}, 2, 0},
        FaultCase{"CreateAgain", "retry@CREATE", {0}, true, V{"CREATE", "CREATE", "DATA", "END"}, 1, 0},
        FaultCase{"BusyCreate", "busy=603@CREATE", {0}, true, V{"CREATE", "CREATE", "DATA", "END"}, 1, 0},
        FaultCase{"CreateRefused", "refuse@CREATE", {0, 0}, false, V{"CREATE"}, 0, 0},
        FaultCase{"NoServiceId", "noserviceid@CREATE", {0, 0}, false, V{"CREATE", "END"}, 0, 0},
        FaultCase{"NoCodeToUpload", "nocode@DATA", {0, 0}, false, V{"CREATE", "DATA", "END"}, 1, 0},
        FaultCase{"UploadRefused", "refuse@DATA", {0, 0}, false, V{"CREATE", "DATA", "END"}, 0, 0},
        FaultCase{"AddRefused", "refuse@ADD", {0, 9}, false, V{"CREATE", "DATA", "ADD", "END"}, 1, 0},
        FaultCase{"ConnectionDroppedOnPage2", "drop@ADD", {0, 9, 9}, false, V{"CREATE", "DATA", "ADD"}, 1, 1},
        FaultCase{"HttpError", "httperror@CREATE", {0}, false, V{"CREATE"}, 0, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(NetmonJobTest, CreateAnsweredWith604IsSentAgainWithoutAStatusCheck) {
  ASSERT_EQ(device().core().faults().AddText("retry@CREATE"), "");
  EXPECT_TRUE(PrintStream(PrinterJob({0})));
  EXPECT_EQ(Conversation(true), (V{"GETSTATUS", "CREATE", "CREATE", "GETSTATUS", "DATA", "END"}));
}

TEST_F(NetmonJobTest, PagesArriveAsTheyWereDrawn) {
  std::vector<pagestream::testing::TestPage> pages;
  SetDespoolPieceSize(777, 5);  // pieces of random sizes
  ASSERT_TRUE(PrintStream(PrinterJob({0, 0, 9}, &pages), u"Drawn pages"));
  const auto held = device().core().Jobs();
  ASSERT_EQ(held.size(), 1u);
  EXPECT_EQ(held[0].name, "Drawn pages");
  ASSERT_EQ(held[0].pages.size(), pages.size());
  for (std::size_t i = 0; i < pages.size(); ++i) {
    int width = 0, height = 0;
    const auto rows = DevicePageRows(held[0].folder, held[0].pages[i].image, &width, &height);
    EXPECT_EQ(width, pages[i].header.Width);
    EXPECT_EQ(height, pages[i].header.Height);
    EXPECT_EQ(rows, pages[i].raster) << "page " << i + 1;  // 96 pixels: both row rules give 12 bytes
  }
}

TEST_F(NetmonJobTest, ADeviceThatIsOfflineCancelsTheJobWithOneMessage) {
  device().GoOffline(0);
  EXPECT_FALSE(PrintStream(PrinterJob({0, 0})));
  device().GoOnline();
  const auto jobs = FinishedJobs();
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(Count(jobs[0].controls, JOB_CONTROL_CANCEL), 1);
  const auto shown = ProgramMessages(1);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].caption, kJobPrinter);
  EXPECT_NE(shown[0].text.find(u"書き込みエラー"), std::u16string::npos);
  EXPECT_EQ(LeftoverFiles(), V{});
}

TEST_F(NetmonJobTest, AFailingTemporaryFileEndsTheJobWithNothingLeft) {
  InjectFault("WriteFile", 0, 1, ERROR_DISK_FULL);
  EXPECT_FALSE(PrintStream(PrinterJob({0, 0})));
  ClearFaults();
  EXPECT_EQ(Conversation(), V{});
  const auto jobs = FinishedJobs();
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(Count(jobs[0].controls, JOB_CONTROL_CANCEL), 1);
  EXPECT_EQ(LeftoverFiles(), V{});
}

TEST_F(NetmonJobTest, AJobDeletedMidwayStillGetsItsEnd) {
  // The first upload's answer is late; meanwhile the user deletes the job.
  ASSERT_EQ(device().core().faults().AddText("delay=1500@DATA"), "");
  std::thread user([&] {
    for (int i = 0; i < 2000; ++i) {
      const auto got = device().core().Received();
      if (std::any_of(got.begin(), got.end(), [](const auto& r) { return r.path == device::kDataPath; })) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    HANDLE printer = nullptr;
    std::u16string name = kJobPrinter;
    if (OpenPrinterW(name.data(), &printer, nullptr)) {
      SetJobW(printer, lastJobId(), 0, nullptr, JOB_CONTROL_DELETE);
      ClosePrinter(printer);
    }
  });
  EXPECT_FALSE(PrintStream(PrinterJob({0, 0, 0})));
  user.join();
  EXPECT_EQ(Conversation(), (V{"CREATE", "DATA", "END"}));
  EXPECT_EQ(LeftoverFiles(), V{});
}

TEST_F(NetmonJobTest, AfterANetworkFailureTheRestIsSwallowedAndCancelledOnce) {
  // The entry points driven directly, as a spooler that keeps writing does.
  ASSERT_EQ(device().core().faults().AddText("drop@ADD"), "");
  const auto stream = PrinterJob({0, 9, 9, 9});
  const auto& m = Monitor();
  std::u16string portName = u"KP2_127.0.0.1", printer = kJobPrinter, doc = u"Swallowed", type = u"RAW";
  HANDLE port = nullptr;
  ASSERT_TRUE(m.table2->pfnOpenPort(m.hMonitor, portName.data(), &port));
  DOC_INFO_1W info{doc.data(), nullptr, type.data()};
  ASSERT_TRUE(m.table2->pfnStartDocPort(port, printer.data(), 1, 1, reinterpret_cast<LPBYTE>(&info)));
  std::size_t offset = 0;
  int failures = 0;
  while (offset < stream.size()) {
    DWORD written = 0;
    const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(1000, stream.size() - offset));
    if (!m.table2->pfnWritePort(port, const_cast<std::uint8_t*>(stream.data() + offset), piece, &written)) {
      ++failures;
      EXPECT_EQ(written, piece);  // taken, though not printed
    }
    ASSERT_GT(written, 0u);
    offset += written;
  }
  EXPECT_GE(failures, 2);
  EXPECT_FALSE(m.table2->pfnEndDocPort(port));
  EXPECT_TRUE(m.table2->pfnClosePort(port));
  EXPECT_EQ(Conversation(), (V{"CREATE", "DATA", "ADD"}));
  EXPECT_EQ(ProgramMessages(1).size(), 1u);
  EXPECT_EQ(LeftoverFiles(), V{});
}

TEST_F(NetmonJobTest, StartDocPortTwiceKeepsTheFirstJob) {
  const auto& m = Monitor();
  std::u16string portName = u"KP2_127.0.0.1", printer = kJobPrinter, doc = u"Twice", type = u"RAW";
  HANDLE port = nullptr;
  ASSERT_TRUE(m.table2->pfnOpenPort(m.hMonitor, portName.data(), &port));
  DOC_INFO_1W info{doc.data(), nullptr, type.data()};
  ASSERT_TRUE(m.table2->pfnStartDocPort(port, printer.data(), 1, 1, reinterpret_cast<LPBYTE>(&info)));
  ASSERT_TRUE(m.table2->pfnStartDocPort(port, printer.data(), 1, 1, reinterpret_cast<LPBYTE>(&info)));
  auto stream = PrinterJob({0, 0});
  for (std::size_t offset = 0; offset < stream.size();) {
    DWORD written = 0;
    ASSERT_TRUE(m.table2->pfnWritePort(port, stream.data() + offset, static_cast<DWORD>(stream.size() - offset),
                                       &written));
    offset += written;
  }
  EXPECT_TRUE(m.table2->pfnEndDocPort(port));
  EXPECT_TRUE(m.table2->pfnEndDocPort(port));
  EXPECT_TRUE(m.table2->pfnClosePort(port));
  EXPECT_EQ(Conversation(), (V{"CREATE", "DATA", "DATA", "END"}));
}

TEST_F(NetmonJobTest, AFaxJobOnThisPortEndsWithAPrintError) {
  auto fax = pagestream::testing::MakePage(pagestream::PI_DEVID_FAX, 96, 64);
  EXPECT_FALSE(PrintStream(pagestream::testing::EncodeRecord(fax)));
  EXPECT_EQ(Conversation(true), V{});
  const auto jobs = FinishedJobs();
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(Count(jobs[0].controls, JOB_CONTROL_CANCEL), 1);
  const auto shown = ProgramMessages(1);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, u"印刷エラーが発生しました。");
  EXPECT_EQ(LeftoverFiles(), V{});
}

TEST_F(NetmonJobTest, AJobNeverEndedGoesWithItsPortAndLeavesNothing) {
  auto page = pagestream::testing::MakePage(kPrinterDevId, 96, 64);
  page.info.BmpRotate = 1;  // its raster is collected in a file
  auto stream = pagestream::testing::EncodeRecord(page);
  const auto& m = Monitor();
  std::u16string portName = u"KP2_127.0.0.1", printer = kJobPrinter;
  HANDLE port = nullptr;
  ASSERT_TRUE(m.table2->pfnOpenPort(m.hMonitor, portName.data(), &port));
  ASSERT_TRUE(m.table2->pfnStartDocPort(port, printer.data(), 1, 1, nullptr));
  DWORD written = 0;
  ASSERT_TRUE(m.table2->pfnWritePort(port, stream.data(), static_cast<DWORD>(stream.size() / 2), &written));
  EXPECT_EQ(LeftoverFiles().size(), 2u);  // "Rot" and "Mmr"
  ShutdownSpooler();  // the monitor is unloaded with the job still open
  EXPECT_EQ(LeftoverFiles(), V{});
}

TEST_F(NetmonJobTest, ATracedJobKeepsItsPageFilesBehind) {
  WriteMachineFile(u"C:\\Windows\\System32\\spool\\drivers\\w32x86\\3\\K460.ini", "[Monitors]\r\nPortMonitorTraceOut=1\r\n");
  ASSERT_TRUE(InstallDriver({u"K460 Network Test", u"hbgraph.dll", u"", u"", u"", {u"K460.ini"}, u"", u"RAW"}));
  ASSERT_TRUE(PrintStream(PrinterJob({0, 0})));
  int mmr = 0, bitmaps = 0, tiffs = 0;
  for (const std::string& name : LeftoverFiles()) {
    const std::string prefix = name.substr(0, 3), extension = name.substr(name.size() - 3);
    if (prefix == "Mmr" && extension == "tmp") ++mmr;
    if (prefix == "Bmt" && extension == "bmp") ++bitmaps;
    if (prefix == "Prt" && extension == "tif") ++tiffs;
  }
  EXPECT_EQ(mmr, 2);
  EXPECT_EQ(bitmaps, 2);
  EXPECT_EQ(tiffs, 1);
  EXPECT_EQ(LeftoverFiles().size(), 5u);
}

}  // namespace
}  // namespace k460::testing
