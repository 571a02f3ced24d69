// Whole jobs through the network library to the running device: the pages
// arrive as real MMR data, are decoded to the announced size, and appear on
// the device's status page as PNG images of exactly the pages sent.
#include <cstdlib>
#include <regex>

#include "platform/outside/device/page_images.h"
#include "tests/platform/outside/independent_decoders.h"
#include "tests/tools/device/device_fixture.h"

namespace k460::testing {
namespace {

class ConversationTest : public DeviceTest {
 protected:
  // The job's page images as the status page links them, newest job first.
  std::vector<std::string> ThumbnailsOfNewestJob(const std::string& html) {
    std::size_t first = html.find("<section class=\"job\"");
    std::size_t second = html.find("<section class=\"job\"", first + 1);
    std::string section = html.substr(first, second == std::string::npos ? std::string::npos : second - first);
    std::vector<std::string> sources;
    std::regex image("<img class=\"thumbnail\" src=\"([^\"]+)\"");
    for (auto match = std::sregex_iterator(section.begin(), section.end(), image); match != std::sregex_iterator();
         ++match)
      sources.push_back((*match)[1]);
    return sources;
  }

  void ExpectPageImage(const std::string& url, const Raster& sent) {
    int status = 0;
    std::string png = Get(url, &status);
    ASSERT_EQ(status, 200) << url;
    Raster shown;
    ASSERT_EQ(ReadPng(png, &shown), "");
    EXPECT_EQ(CompareRasters(sent, shown), "") << url;
  }
};

// CREATE, page 1, ADD (new paper), page 2, page 3, END: the job is complete
// and its three pages are on the status page, pixel for pixel.
TEST_F(ConversationTest, JobPagesAppearOnTheStatusPage) {
  PageSetup first;
  first.width = 1000;
  first.height = 300;
  PageSetup second = first;
  second.paper = "B5";
  second.width = 640;
  second.height = 420;
  std::vector<Raster> pages = {MakePage(PageKind::Text, first.width, first.height, 1),
                               MakePage(PageKind::Halftone, second.width, second.height, 2),
                               MakePage(PageKind::Noise, second.width, second.height, 3)};

  DWORD job = Create(first);
  EXPECT_EQ(Upload(job, 1, EncodeMmr(pages[0])).code, "600");
  EXPECT_EQ(SendPrint("ADD", job, 1, second).code, "600");
  EXPECT_EQ(Upload(job, 2, EncodeMmr(pages[1])).code, "600");
  EXPECT_EQ(Upload(job, 3, EncodeMmr(pages[2])).code, "600");
  Exchange end = SendPrint("END", job, 3, second);
  EXPECT_EQ(end.code, "600");

  auto jobs = device().core().Jobs();
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0].state, device::JobState::Completed);
  ASSERT_EQ(jobs[0].settings.size(), 2u);
  EXPECT_EQ(jobs[0].settings[1].fromPage, 2);

  int status = 0;
  std::string html = Get("/", &status);
  ASSERT_EQ(status, 200);
  std::vector<std::string> thumbnails = ThumbnailsOfNewestJob(html);
  ASSERT_EQ(thumbnails.size(), 3u);
  EXPECT_NE(html.find("data-state=\"COMPLETED\""), std::string::npos);
  EXPECT_NE(html.find("Quarterly report"), std::string::npos);
  EXPECT_NE(html.find("<td>SETPAGESIZE</td><td>B5</td>"), std::string::npos);
  for (std::size_t i = 0; i < pages.size(); ++i) {
    // The thumbnail links to the page image.
    std::string image = std::regex_replace(thumbnails[i], std::regex("thumb-"), "page-");
    EXPECT_NE(html.find("href=\"" + image + "\""), std::string::npos);
    ExpectPageImage(image, pages[i]);
    Get(thumbnails[i], &status);
    EXPECT_EQ(status, 200);
  }
  // The job's log tells its commands and settings.
  std::string log = Get("/jobs/" + jobs[0].folder + "/job.log", &status);
  EXPECT_NE(log.find("<SETPAGESIZE>B5</SETPAGESIZE>"), std::string::npos);
  EXPECT_NE(log.find("-> 600"), std::string::npos);
}

// The newest job comes first, and a headless browser shows its thumbnails:
// every image of the last job loads with the thumbnail's width.
TEST_F(ConversationTest, BrowserShowsTheLastJobsThumbnails) {
  int status = 0;
  RunCommand("command -v chromium", &status);
  if (status != 0) GTEST_SKIP() << "chromium is not installed";
  PageSetup setup;
  setup.width = 800;
  setup.height = 400;
  DWORD older = Create(setup);
  EXPECT_EQ(Upload(older, 1, EncodeMmr(MakePage(PageKind::Stripes, 800, 400, 9))).code, "600");
  EXPECT_EQ(SendPrint("END", older, 1, setup).code, "600");
  DWORD newest = Create(setup);
  for (LONG page = 1; page <= 2; ++page)
    EXPECT_EQ(Upload(newest, page, EncodeMmr(MakePage(PageKind::Text, 800, 400, page))).code, "600");
  EXPECT_EQ(SendPrint("END", newest, 2, setup).code, "600");

  std::filesystem::path profile = root() / "chromium-profile";
  std::string command = "timeout 90 chromium --headless --no-sandbox --disable-gpu --disable-background-networking "
                        "--disable-component-update --disable-sync --no-first-run --disable-dev-shm-usage "
                        "--user-data-dir=" + profile.string() + " --dump-dom " + device().url() + " 2>/dev/null";
  std::string dom = RunCommand(command, &status);
  ASSERT_EQ(status, 0) << dom;
  std::size_t first = dom.find("<section class=\"job\"");
  ASSERT_NE(first, std::string::npos) << dom;
  std::string section = dom.substr(first, dom.find("</section>", first) - first);
  char id[9];
  std::snprintf(id, sizeof id, "%08X", newest);
  EXPECT_NE(section.find(std::string("data-service-id=\"") + id + "\""), std::string::npos);
  std::regex loaded("<img class=\"thumbnail\"[^>]*data-loaded=\"([0-9]+)\"");
  int images = 0;
  for (auto match = std::sregex_iterator(section.begin(), section.end(), loaded); match != std::sregex_iterator();
       ++match) {
    ++images;
    EXPECT_EQ(std::stoi((*match)[1]), device::PageImages::kThumbnailSide);
  }
  EXPECT_EQ(images, 2) << section;
}

// A fax job: CREATE FAX announces the TIFF file's size, the upload brings
// the file, every page of it is kept, and the fax login page shows it.
TEST_F(ConversationTest, FaxJobKeepsItsTiffAndPages) {
  std::vector<Raster> pages = {MakePage(PageKind::Text, 1728, 200, 4), MakePage(PageKind::Halftone, 1728, 150, 5)};
  std::vector<BYTE> tiff = EncodeFaxTiff(pages);
  const LONG kilobytes = static_cast<LONG>(std::max<std::size_t>(tiff.size(), 1000) / 1000 + 1);
  HANDLE hCmd = NewCommand();
  BuildCreateFax(lib, hCmd, kilobytes, true, "tmp");
  Exchange created = Post(hCmd, "upcmd.cgi");
  lib.Delete(hCmd);
  ASSERT_EQ(created.code, "600");
  DWORD job = 0;
  ASSERT_TRUE(lib.HexToNumber(created.serviceId->c_str(), &job));
  EXPECT_EQ(Upload(job, 1, tiff).code, "600");

  auto jobs = device().core().Jobs();
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_TRUE(jobs[0].fax);
  EXPECT_EQ(jobs[0].state, device::JobState::Completed);
  ASSERT_EQ(jobs[0].pages.size(), 2u);
  int status = 0;
  std::string kept = Get("/jobs/" + jobs[0].folder + "/fax.tif", &status);
  EXPECT_EQ(kept, std::string(tiff.begin(), tiff.end()));
  for (std::size_t i = 0; i < pages.size(); ++i)
    ExpectPageImage("/jobs/" + jobs[0].folder + "/" + jobs[0].pages[i].image, pages[i]);
  char address[64];
  std::snprintf(address, sizeof address, "/FAXLOGIN.HTM?SERVICE=%08x", job);
  std::string login = Get(address, &status);
  EXPECT_EQ(status, 200);
  EXPECT_NE(login.find("Fax to head office"), std::string::npos);
  EXPECT_NE(login.find("<td>item</td><td>tmp</td>"), std::string::npos);
}

}  // namespace
}  // namespace k460::testing
