// A job printed the way the spooler's driver host prints it: the driver
// installed with "hbgraph.dll" as its graphics library, a printer on FILE:
// with its settings in printer data, the engine's device context drawing
// rectangles and an image, and the spooled job's page stream read back from
// the port's output file.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "driver/winnt/printer/src/common/printer_data_records.h"
#include "driver/winnt/printer/src/common/printer_data_values.h"
#include "driver/winnt/printer/src/common/settings_codes.h"
#include "driver/winnt/printer/src/common/settings_defaults.h"
#include "platform/spooler/host.h"
#include "tests/driver/winnt/printer/src/km/hbgraph_test_support.h"

namespace k460::testing {
namespace {

using namespace hostsettings;
using engine::RGB;

constexpr char16_t kDriver[] = u"Velkaro Ar+Vento2 K-410/460";
constexpr char16_t kPrinter[] = u"K460 Office";

class EndToEndTest : public MachineTest {
 protected:
  void SetUp() override {
    MachineTest::SetUp();
    ASSERT_TRUE(InstallDriver({kDriver, u"hbgraph.dll", u"hbui.dll", u"", u"", {u"K460.ini"}, u"", u"RAW"}));
    ASSERT_TRUE(AddPrinter({kPrinter, kDriver, u"FILE:"}));
    ClearFinishedJobs();
    std::u16string name = kPrinter;
    PRINTER_DEFAULTSW defaults{nullptr, nullptr, PRINTER_ALL_ACCESS};
    ASSERT_TRUE(OpenPrinterW(name.data(), &printer_, &defaults));
  }
  void TearDown() override {
    ClosePrinter(printer_);
    ShutdownSpooler();
    MachineTest::TearDown();
  }

  std::string JobOutput(DWORD jobId) {
    std::ifstream in(root() / "output" / ("K460_Office-" + std::to_string(jobId) + ".prn"), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }

  HANDLE printer_ = nullptr;
};

TEST_F(EndToEndTest, AJobThroughTheSpoolerComesOutAsSheetsWithTheDrawingOnThem) {
  // The printer's settings: two pages per sheet, a user for the fax fields.
  HostSettings settings = DefaultHostSettings(HostVariant::kHostBased, kDefaultCountryCode);
  settings.blocks.hsNup = 1;
  settings.blocks.hsFaxUserKey = 7;
  ASSERT_TRUE(WritePrinterSettings(printer_, settings));
  UserInfoSlots users(kUserInfoSlots);
  users[0] = MakeUserInfo(7, "0042", "Aoki");
  ASSERT_TRUE(WriteUserInfo(printer_, users));

  // A 4 x 1 image: black, white, black, white.
  const std::uint8_t pixels[16] = {0, 0, 0, 255, 255, 255, 0, 0, 0, 255, 255, 255};
  engine::Image image;
  image.width = 4;
  image.height = 1;
  image.format = BMF_24BPP;
  image.bits = pixels;
  image.stride = 16;

  // No device mode: the job takes the printer's settings.
  auto dc = engine::DeviceContext::Open(u"hbgraph.dll", printer_, nullptr, {kPrinter, u"FILE:"});
  ASSERT_TRUE(dc) << GetLastError();
  ASSERT_TRUE(dc->StartDoc(u"Report"));
  ASSERT_TRUE(dc->StartPage());
  ASSERT_TRUE(dc->FillRect({0, 0, 100, 100}, RGB(0, 0, 0)));
  ASSERT_TRUE(dc->FillRect({200, 0, 300, 100}, RGB(0, 0, 0)));
  ASSERT_TRUE(dc->EndPage());
  ASSERT_TRUE(dc->StartPage());
  ASSERT_TRUE(dc->DrawImage(image, {0, 0, 400, 100}));
  ASSERT_TRUE(dc->EndPage());
  ASSERT_TRUE(dc->StartPage());
  ASSERT_TRUE(dc->FillRect({0, 0, 10, 10}, RGB(0, 0, 0)));
  ASSERT_TRUE(dc->EndPage());
  ASSERT_TRUE(dc->EndDoc());
  const DWORD jobId = dc->JobId();
  dc->Close();

  auto jobs = FinishedJobs();
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_TRUE(jobs[0].delivered) << jobs[0].error;
  auto sheets = ReadSheets(JobOutput(jobId));
  ASSERT_EQ(sheets.size(), 2u) << "three pages two to a sheet";
  for (const Sheet& sheet : sheets) {
    EXPECT_EQ(sheet.info.DevId, 205);
    EXPECT_EQ(sheet.header.MultPagePrint, 1);
    EXPECT_EQ(sheet.header.Width, 7040) << "two up turns the A4 sheet";
    EXPECT_EQ(sheet.header.Height, 4992);
    EXPECT_EQ(std::string(sheet.header.FaxUserName), "0042:Aoki");
  }
  // Two squares and the image's two black quarters (each 100 x 100).
  EXPECT_EQ(sheets[0].BlackCount(), 4u * 100 * 100);
  const RECTL left = sheets[0].BlackBounds();
  EXPECT_LT(left.left, 7040 / 2);
  EXPECT_GT(left.right, 7040 / 2) << "the second page lies in the right half";
  EXPECT_EQ(sheets[1].BlackCount(), 10u * 10);
}

}  // namespace
}  // namespace k460::testing
