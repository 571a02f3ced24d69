// xlgraph as the print host meets it: loaded by name and driven through the
// engine's device context, printing into the spooler stand-in, whose file
// port keeps the job the printer would receive.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "driver/pcl/printer_common/settings/printer_data.h"
#include "driver/pcl/printer_common/settings/settings.h"
#include "platform/engine/device_context.h"
#include "platform/spooler/host.h"
#include "tests/support/machine_fixture.h"
#include "tools/pclxl_reader/pclxl_reader.h"

namespace {

using k460::engine::DeviceContext;
using Lines = std::vector<std::string>;

constexpr char16_t kDriver[] = u"Velkaro K-410/460 PCL XL";
constexpr char16_t kPrinter[] = u"K460 PCL XL";

JobSettings JobDefaults() {
  JobSettings js;
  SettingsDefaults(js, kPrinter, false, nullptr);
  return js;
}

Lines Items(const std::string& bytes) {
  k460::pclxl::Job job = k460::pclxl::ParseJob(bytes);
  if (job.error) ADD_FAILURE() << k460::pclxl::FormatError(*job.error);
  Lines items;
  for (const auto& item : job.items) items.push_back(k460::pclxl::FormatItem(item).substr(10));
  return items;
}

Lines Matching(const Lines& items, const std::string& prefix) {
  Lines found;
  for (const auto& item : items)
    if (item.starts_with(prefix)) found.push_back(item);
  return found;
}

class XlGraphModuleTest : public k460::testing::MachineTest {
 protected:
  void SetUp() override {
    MachineTest::SetUp();
    ASSERT_TRUE(k460::InstallDriver({kDriver, u"xlgraph.dll", u"xlui.dll", u"xlres.dll", u"xlhelp.hlp", {}, u"", u"RAW"}));
    ASSERT_TRUE(k460::AddPrinter({kPrinter, kDriver, u"FILE:"}));
    k460::ClearFinishedJobs();
    printer_ = Open(PRINTER_ACCESS_USE);
    ASSERT_NE(printer_, nullptr);
  }
  void TearDown() override {
    ClosePrinter(printer_);
    k460::ShutdownSpooler();
    MachineTest::TearDown();
  }

  HANDLE Open(DWORD access) {
    PRINTER_DEFAULTSW defaults{nullptr, nullptr, access};
    std::u16string name = kPrinter;
    HANDLE h = nullptr;
    return OpenPrinterW(name.data(), &h, &defaults) ? h : nullptr;
  }

  std::unique_ptr<DeviceContext> OpenDevice(const JobSettings& js) {
    return DeviceContext::Open(u"xlgraph", printer_, &js.dm, {kPrinter, u"FILE:"});
  }

  // What the file port received for the last job.
  std::string LastJobOutput() {
    auto jobs = k460::FinishedJobs();
    if (jobs.empty()) return {};
    const auto& job = jobs.back();
    EXPECT_TRUE(job.delivered) << job.error;
    auto path = root() / "output" / ("K460_PCL_XL-" + std::to_string(job.jobId) + ".prn");
    std::ifstream file(path, std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
  }

  // A document of `pages` empty pages.
  std::string Print(const JobSettings& js, int pages) {
    auto dc = OpenDevice(js);
    EXPECT_TRUE(dc) << GetLastError();
    if (!dc) return {};
    EXPECT_TRUE(dc->StartDoc(u"Module test"));
    for (int page = 0; page < pages; ++page) EXPECT_TRUE(dc->StartPage() && dc->EndPage()) << GetLastError();
    EXPECT_TRUE(dc->EndDoc());
    dc->Close();
    return LastJobOutput();
  }

  HANDLE printer_ = nullptr;
};

TEST_F(XlGraphModuleTest, WholeJobReachesTheFilePortAsAValidPclXlJob) {
  auto dc = OpenDevice(JobDefaults());
  ASSERT_TRUE(dc) << GetLastError();
  EXPECT_EQ(dc->Caps().ulHorzRes, 4760u);
  EXPECT_EQ(dc->Caps().ulVertRes, 6814u);
  EXPECT_FALSE(dc->Banding());
  EXPECT_EQ(dc->Surface()->sizlBitmap.cx, 4760);
  EXPECT_EQ(dc->Surface()->sizlBitmap.cy, 6814);
  ASSERT_TRUE(dc->StartDoc(u"Report"));
  for (int page = 0; page < 2; ++page) ASSERT_TRUE(dc->StartPage() && dc->EndPage());
  ASSERT_TRUE(dc->EndDoc());
  dc->Close();

  std::string bytes = LastJobOutput();
  ASSERT_FALSE(bytes.empty());
  Lines items = Items(bytes);
  EXPECT_EQ(items.front(), "UEL");
  EXPECT_EQ(Matching(items, "PJL @PJL SET PAPER"), Lines{"PJL @PJL SET PAPER = A4"});
  EXPECT_EQ(Matching(items, "BeginPage").size(), 2u);
  EXPECT_EQ(Matching(items, "EndPage").size(), 2u);
  EXPECT_EQ(items.back(), "UEL");
}

TEST_F(XlGraphModuleTest, RasterGraphicsModeDrawsInBandsAndSendsEachPageOnce) {
  JobSettings js = JobDefaults();
  js.pv.pvGraphicsMode = 1;
  auto dc = OpenDevice(js);
  ASSERT_TRUE(dc) << GetLastError();
  EXPECT_TRUE(dc->Banding());
  EXPECT_EQ(dc->Surface()->sizlBitmap.cy, 1100);
  EXPECT_EQ(dc->Info().flGraphicsCaps, 0x200081DEu);
  ASSERT_TRUE(dc->StartDoc(u"Bands"));
  for (int page = 0; page < 2; ++page) ASSERT_TRUE(dc->StartPage() && dc->EndPage());
  ASSERT_TRUE(dc->EndDoc());
  dc->Close();
  Lines items = Items(LastJobOutput());
  EXPECT_EQ(Matching(items, "BeginPage").size(), 2u);
  EXPECT_EQ(Matching(items, "EndPage").size(), 2u);
}

TEST_F(XlGraphModuleTest, ResetBetweenPagesKeepsOneJob) {
  auto dc = OpenDevice(JobDefaults());
  ASSERT_TRUE(dc);
  ASSERT_TRUE(dc->StartDoc(u"Reset") && dc->StartPage() && dc->EndPage());
  JobSettings a3 = JobDefaults();
  LeSet(a3.dm.dmPaperSize, DMPAPER_A3);
  ASSERT_TRUE(dc->ResetDevice(&a3.dm)) << GetLastError();
  EXPECT_EQ(dc->Caps().ulHorzRes, 6814u);
  ASSERT_TRUE(dc->StartPage() && dc->EndPage() && dc->EndDoc());
  dc->Close();
  Lines items = Items(LastJobOutput());
  EXPECT_EQ(Matching(items, "PJL @PJL ENTER").size(), 1u);
  EXPECT_EQ(Matching(items, "BeginPage"),
            (Lines{"BeginPage Orientation=ubyte(0) MediaSize=ubyte(2) MediaSource=ubyte(1)",
                   "BeginPage Orientation=ubyte(0) MediaSize=ubyte(5) MediaSource=ubyte(1)"}));
  EXPECT_EQ(Matching(items, "EndSession").size(), 1u);
}

TEST_F(XlGraphModuleTest, InstalledOptionsOfThePrinterDecideTheTray) {
  JobSettings js = JobDefaults();
  LeSet(js.dm.dmDefaultSource, static_cast<SHORT>(kSourceBase + 4));  // cassette 3
  EXPECT_EQ(Matching(Items(Print(js, 1)), "BeginPage"),
            Lines{"BeginPage Orientation=ubyte(0) MediaSize=ubyte(2) MediaSource=ubyte(1)"})
      << "not installed: the printer chooses";

  PrinterDataRecord stored{};
  stored.wVersion = kPrinterDataVersion;
  stored.wSize = kPrinterDataSize;
  stored.js.pv.pvCassette3 = 1;
  HANDLE admin = Open(PRINTER_ALL_ACCESS);
  ASSERT_TRUE(StorePrinterData(admin, stored));
  ClosePrinter(admin);
  EXPECT_EQ(Matching(Items(Print(js, 1)), "BeginPage"),
            Lines{"BeginPage Orientation=ubyte(0) MediaSize=ubyte(2) MediaSource=ubyte(6)"});
}

TEST_F(XlGraphModuleTest, BookletAndReverseJobsPrintThroughThePageStore) {
  for (auto change : {+[](JobSettings& js) { js.pv.pvReverseOrder = 1; },
                      +[](JobSettings& js) { js.pv.pvBookletBinding = 1; }}) {
    JobSettings js = JobDefaults();
    change(js);
    Lines items = Items(Print(js, 3));
    EXPECT_EQ(items.back(), "UEL");
    EXPECT_EQ(Matching(items, "PJL @PJL ENTER").size(), 1u);
    EXPECT_FALSE(Matching(items, "BeginPage").empty());
    EXPECT_EQ(Matching(items, "BeginPage").size(), Matching(items, "EndPage").size());
  }
}

}  // namespace
