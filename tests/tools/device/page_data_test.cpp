// The device's reading of uploaded pages: MMR data from the page encoder
// decodes to exactly the page that was coded; data that does not hold the
// announced page is refused with the row where it went wrong.
#include "platform/outside/device/mmr_decoder.h"
#include "tests/tools/device/device_fixture.h"

namespace k460::testing {
namespace {

// The decoded rows as a raster of the encoder's convention; "" or the error.
std::string Decode(const std::vector<BYTE>& mmr, LONG width, LONG height, Raster* page) {
  *page = Raster(width, height);
  return device::DecodeMmr(mmr, width, height, [&](const std::uint8_t* row, int y) {
    for (LONG x = 0; x < width; ++x) page->Set(x, y, !((row[x / 8] >> (7 - x % 8)) & 1));
    return true;
  });
}

struct PageCase {
  PageKind kind;
  LONG width, height;
};

class MmrDecodingTest : public DeviceTest, public ::testing::WithParamInterface<PageCase> {};

TEST_P(MmrDecodingTest, DecodesTheCodedPage) {
  const PageCase& c = GetParam();
  Raster page = MakePage(c.kind, c.width, c.height, static_cast<std::uint32_t>(c.width));
  Raster decoded;
  ASSERT_EQ(Decode(EncodeMmr(page), c.width, c.height, &decoded), "");
  EXPECT_EQ(CompareRasters(page, decoded), "");
}

// Widths with every run length: single pixels, runs beyond 2560 (the
// extended make-up codes), rows that are not whole bytes.
INSTANTIATE_TEST_SUITE_P(Pages, MmrDecodingTest,
                         ::testing::Values(PageCase{PageKind::Blank, 1, 1}, PageCase{PageKind::Black, 9, 5},
                                           PageCase{PageKind::Blank, 5000, 3}, PageCase{PageKind::Black, 7000, 4},
                                           PageCase{PageKind::Stripes, 4961, 40}, PageCase{PageKind::Text, 1728, 90},
                                           PageCase{PageKind::Halftone, 1003, 77}, PageCase{PageKind::Noise, 3001, 60}),
                         [](const auto& info) {
                           return PageKindName(info.param.kind) + "_" + std::to_string(info.param.width) + "x" +
                                  std::to_string(info.param.height);
                         });

TEST_F(DeviceTest, DataThatDoesNotHoldTheAnnouncedPageIsRefused) {
  const LONG width = 300, height = 40;
  std::vector<BYTE> mmr = EncodeMmr(MakePage(PageKind::Text, width, height));
  Raster ignored;
  struct Case {
    const char* name;
    std::vector<BYTE> data;
    LONG width, height;
    const char* says;
  };
  std::vector<BYTE> cut(mmr.begin(), mmr.begin() + static_cast<std::ptrdiff_t>(mmr.size() / 2));
  std::vector<BYTE> trailing = mmr;
  trailing.insert(trailing.end(), {0x12, 0x34});
  std::vector<Case> cases = {
      {"fewer rows than announced", mmr, width, height + 1, "the page ends after 40 rows"},
      {"more rows than announced", mmr, width, height - 1, "goes on after the 39 announced rows"},
      {"other width", mmr, width + 8, height, "row"},
      {"cut short", cut, width, height, "ends"},
      {"bytes after the page", trailing, width, height, "goes on"},
      {"nothing", {}, width, height, "ends after 0 rows"},
      {"no codes at all", std::vector<BYTE>(64, 0xFF), width, height, "row"},
  };
  for (const Case& c : cases) {
    std::string failure = Decode(c.data, c.width, c.height, &ignored);
    EXPECT_NE(failure.find(c.says), std::string::npos) << c.name << ": " << failure;
  }
}

// Uploads over the network: the page out of sequence, data that does not
// decode, and an upload for no job are refused, and no page is kept.
TEST_F(DeviceTest, BadUploadsAreRefused) {
  PageSetup page;
  page.width = 200;
  page.height = 30;
  DWORD job = Create(page);
  std::vector<BYTE> good = EncodeMmr(MakePage(PageKind::Halftone, 200, 30));
  std::vector<BYTE> wrongSize = EncodeMmr(MakePage(PageKind::Halftone, 200, 31));
  EXPECT_EQ(Upload(job, 2, good).code, "615");
  EXPECT_EQ(Upload(job, 1, wrongSize).code, "616");
  EXPECT_EQ(Upload(job ^ 1, 1, good).code, "614");
  EXPECT_TRUE(device().core().Jobs()[0].pages.empty());
  EXPECT_EQ(Upload(job, 1, good).code, "600");
  EXPECT_EQ(Upload(job, 2, good).code, "600");
  EXPECT_EQ(SendPrint("END", job, 2, page).code, "600");
  // The job is over: nothing more is taken for it.
  EXPECT_EQ(Upload(job, 3, good).code, "614");
  auto files = std::distance(std::filesystem::directory_iterator(root() / "jobs" / device().core().Jobs()[0].folder),
                             std::filesystem::directory_iterator());
  EXPECT_EQ(files, 5);  // two pages, two thumbnails, the log
}

// A fax whose TIFF file is not of the announced size, or not TIFF at all.
TEST_F(DeviceTest, BadFaxUploadsAreRefused) {
  std::vector<BYTE> tiff = EncodeFaxTiff({MakePage(PageKind::Text, 1728, 100)});
  const LONG kilobytes = static_cast<LONG>(std::max<std::size_t>(tiff.size(), 1000) / 1000 + 1);
  for (auto [announced, data, code] : {std::tuple{kilobytes + 1, tiff, "613"},
                                       std::tuple{LONG{2}, std::vector<BYTE>(999, 'x'), "616"}}) {
    HANDLE hCmd = NewCommand();
    BuildCreateFax(lib, hCmd, announced, false, "tx");
    Exchange created = Post(hCmd, "upcmd.cgi");
    lib.Delete(hCmd);
    DWORD job = 0;
    ASSERT_TRUE(created.serviceId && lib.HexToNumber(created.serviceId->c_str(), &job));
    EXPECT_EQ(Upload(job, 1, data).code, code);
    EXPECT_EQ(device().core().Jobs()[0].state, device::JobState::Failed);
  }
}

}  // namespace
}  // namespace k460::testing
