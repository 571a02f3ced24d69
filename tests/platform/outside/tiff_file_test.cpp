// A fax job's TIFF file: one file opened with the platform's CreateFileW,
// one Init/Out/Free round per page, read back by libtiff and its tools.
#include <regex>

#include "platform/base/internal.h"
#include "platform/files/files.h"
#include "tests/platform/outside/encoder_fixture.h"
#include "tests/platform/outside/independent_decoders.h"

namespace k460::testing {
namespace {

using TiffFileTest = EncoderTest;

constexpr const char16_t* kFaxFile = u"C:\\Windows\\Temp\\Fax1.tif";

HANDLE CreateJobFile(const char16_t* name) {
  return CreateFileW(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

TEST_F(TiffFileTest, ThreeRoundsOnOneOpenFileMakeThreePages) {
  struct {
    Raster page;
    LONG resolution;
  } rounds[] = {{MakePage(PageKind::Text, 1728, 1100, 1), 200},
                {MakePage(PageKind::Halftone, 2432, 300, 2), 400},
                {MakePage(PageKind::Noise, 101, 77, 3), 600}};
  HANDLE file = CreateJobFile(kFaxFile);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  for (auto& round : rounds)
    ASSERT_TRUE(EncodeTiffPage(round.page, PlatformCallbacks(file), 256, round.resolution)) << GetLastError();
  ASSERT_TRUE(CloseHandle(file));

  auto path = HostPath(kFaxFile);
  std::vector<TiffPage> pages;
  ASSERT_EQ(ReadTiffPages(path, &pages), "");
  ASSERT_EQ(pages.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(pages[i].width, rounds[i].page.width);
    EXPECT_EQ(pages[i].height, rounds[i].page.height);
    EXPECT_EQ(pages[i].xResolution, static_cast<float>(rounds[i].resolution));
    EXPECT_EQ(pages[i].yResolution, static_cast<float>(rounds[i].resolution));
    EXPECT_EQ(pages[i].resolutionUnit, 2);  // inches
    EXPECT_EQ(CompareRasters(rounds[i].page, pages[i].pixels), "");
  }

  // Debian's tiffinfo sees the same three pages, numbered, without complaint.
  int status = 0;
  std::string info = RunCommand("tiffinfo '" + path.string() + "'", &status);
  EXPECT_EQ(status, 0) << info;
  auto count = [&](const std::string& pattern) {
    std::regex re(pattern);
    return std::distance(std::sregex_iterator(info.begin(), info.end(), re), std::sregex_iterator());
  };
  EXPECT_EQ(count("TIFF Directory at offset"), 3) << info;
  EXPECT_EQ(count("Compression Scheme: CCITT Group 4"), 3) << info;
  EXPECT_EQ(count("Page Number: 2-0"), 1) << info;
  EXPECT_EQ(count("Resolution: 400, 400 pixels/inch"), 1) << info;
  EXPECT_EQ(count("(Error|Warning)"), 0) << info;
}

TEST_F(TiffFileTest, AFileThatIsNoTiffFileIsRefusedAndLeftAlone) {
  WriteMachineFile(kFaxFile, "not a TIFF file at all");
  HANDLE file = CreateFileW(kFaxFile, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  TIFFENCODESTATE state{};
  Callbacks to = PlatformCallbacks(file);
  EXPECT_FALSE(enc.TiffEncodeInit(&state, 100, 10, ENCODE_ROW_FORMAT, ENCODE_CODING_MMR, 200, to.write, to.read,
                                  to.seek, to.file));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_DATA);
  EXPECT_FALSE(enc.TiffEncodeFree(&state));
  CloseHandle(file);
  EXPECT_EQ(ReadHostFile(HostPath(kFaxFile)), "not a TIFF file at all");
}

}  // namespace
}  // namespace k460::testing
