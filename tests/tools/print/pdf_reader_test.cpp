#include "tools/print/pdf_reader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/machine_fixture.h"
#include "tools/print/file_kind.h"
#include "tools/print/print_error.h"

namespace k460::print {
namespace {

using ::testing::AllOf;
using ::testing::Each;
using ::testing::Ge;
using ::testing::Le;
using ::testing::StartsWith;

const std::string kSample = K460_SOURCE_DIR "/samples/sample.pdf";

const Raster& ImageOf(const Page& page) {
  EXPECT_EQ(page.operations.size(), 1u);
  return *std::get<ImageOp>(page.operations.at(0)).raster;
}

// samples/sample.pdf page 1 is A4 (595 x 842 pt); at 300 dpi of its placed
// width (4760 dots) a PDF point is 4 pixels and y counts from the top.
TEST(PdfReader, PagesAreRasterisedAndPlaced) {
  ReadOptions options;  // A4 portrait, 300 dpi, gray
  auto source = OpenPdfDocument(kSample, options);
  ASSERT_EQ(source->PageCount(), 2);
  EXPECT_EQ(source->Source(), kSample);

  const Page first = source->LoadPage(0);
  EXPECT_TRUE(first.warnings.empty());
  EXPECT_EQ(first.setup.orientation, Orientation::Portrait);
  EXPECT_NEAR(first.setup.size->width, 595 * kUnitsPerPoint, 1e-9);
  const Raster& page1 = ImageOf(first);
  EXPECT_EQ(page1.format, PixelFormat::Gray8);
  EXPECT_EQ(page1.width, 2380);
  EXPECT_NEAR(page1.height, 3368, 1);
  EXPECT_LT(page1.At(1190, 300).Level(), 16);                                            // the black bar
  EXPECT_THAT(static_cast<int>(page1.At(1188, 1168).Level()), AllOf(Ge(120), Le(136)));  // the 50% square
  EXPECT_THAT(static_cast<int>(page1.At(1188, 2368).Level()), AllOf(Ge(60), Le(90)));    // the red disc, in gray
  EXPECT_EQ(page1.At(40, 3000).Level(), 255);                                            // paper
  const Rect dest = std::get<ImageOp>(first.operations[0]).dest;
  EXPECT_DOUBLE_EQ(dest.left, 100);
  EXPECT_DOUBLE_EQ(dest.Width(), 4760);
  EXPECT_NEAR(dest.Height(), 4760 * 842.0 / 595, 1e-6);

  // Page 2 is A5 landscape: as wide as the printable area, centred in its height.
  const Page second = source->LoadPage(1);
  EXPECT_EQ(second.setup.orientation, Orientation::Landscape);
  const Raster& page2 = ImageOf(second);
  EXPECT_EQ(page2.width, 2380);
  EXPECT_NEAR(page2.height, 1680, 1);
  const Rect dest2 = std::get<ImageOp>(second.operations[0]).dest;
  EXPECT_NEAR(dest2.top, 100 + (6814 - 4760 * 420.0 / 595) / 2, 1e-6);
}

TEST(PdfReader, ColourAndResolutionFollowTheOptions) {
  ReadOptions options;
  options.color = true;
  options.rasterDpi = 150;
  auto source = OpenPdfDocument(kSample, options);
  const Page page = source->LoadPage(0);
  const Raster& raster = ImageOf(page);
  EXPECT_EQ(raster.format, PixelFormat::Rgb24);
  EXPECT_EQ(raster.width, 1190);
  const Color disc = raster.At(594, 1184);
  EXPECT_GT(disc.red, 240);
  EXPECT_LT(disc.green, 16);
  EXPECT_LT(disc.blue, 16);
}

TEST(PdfReader, ARasterResolutionOutOfRangeIsAnOptionError) {
  for (double dpi : {0.0, 9.5, 2401.0}) {
    ReadOptions options;
    options.rasterDpi = dpi;
    EXPECT_THROW(OpenPdfDocument(kSample, options), OptionError) << dpi;
  }
  ReadOptions options;
  options.rasterDpi = 0;
  try {
    OpenPdfDocument(kSample, options);
  } catch (const OptionError& error) {
    EXPECT_STREQ(error.what(), "PDF raster resolution 0 dpi is not within 10..2400");
  }
}

class DamagedPdf : public ::testing::Test {
 protected:
  void SetUp() override { folder_ = k460::testing::MakeTempFolder("printhost-pdf"); }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  // The sample with `from` replaced by `to`, written to a file of its own.
  std::string Variant(const std::string& name, const std::string& from, const std::string& to) {
    const std::vector<std::uint8_t> bytes = ReadFileBytes(kSample);
    std::string text(bytes.begin(), bytes.end());
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    const std::string path = (folder_ / name).string();
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }

  std::filesystem::path folder_;
};

TEST_F(DamagedPdf, AFileThatIsNoPdfIsAnErrorNamingIt) {
  const std::string path = (folder_ / "garbage.pdf").string();
  std::ofstream(path, std::ios::binary) << "%PDF-1.4\nthis is not a document\n";
  try {
    OpenPdfDocument(path, {});
    ADD_FAILURE();
  } catch (const DocumentError& error) {
    EXPECT_THAT(error.what(), StartsWith(path + ": not a readable PDF document"));
  }
}

TEST_F(DamagedPdf, AnUnreadablePageIsAnErrorNamingFileAndPage) {
  // Page 2's page object is blanked out; page 1 still prints.
  const std::vector<std::uint8_t> bytes = ReadFileBytes(kSample);
  std::string text(bytes.begin(), bytes.end());
  const std::size_t page2 = text.find("/Type /Page /Parent", text.find("/Type /Page /Parent") + 1);
  const std::size_t start = text.rfind("\n", text.rfind(" obj", page2)) + 1;
  const std::size_t end = text.find("endobj", page2) + 6;
  text.replace(start, end - start, std::string(end - start, ' '));
  const std::string path = (folder_ / "nopage2.pdf").string();
  std::ofstream(path, std::ios::binary) << text;

  auto source = OpenPdfDocument(path, {});
  EXPECT_NO_THROW(source->LoadPage(0));
  try {
    source->LoadPage(1);
    ADD_FAILURE();
  } catch (const DocumentError& error) {
    EXPECT_THAT(error.what(), StartsWith(path + ": page 2: cannot be read"));
  }
  try {
    source->LoadPage(2);
    ADD_FAILURE();
  } catch (const DocumentError& error) {
    EXPECT_EQ(error.what(), path + ": page 3: no such page");
  }
}

TEST_F(DamagedPdf, DamagedContentPrintsWithWarningsNamingThePage) {
  const std::string path = Variant("content.pdf", "50 742 495 50 re f", "50 742 495 50 re ff (((");
  auto source = OpenPdfDocument(path, {});
  const Page page = source->LoadPage(0);
  EXPECT_FALSE(page.warnings.empty());
  EXPECT_THAT(page.warnings, Each(StartsWith(path + ": page 1: ")));
  EXPECT_EQ(ImageOf(page).width, 2380);
  EXPECT_TRUE(source->LoadPage(1).warnings.empty());
}

}  // namespace
}  // namespace k460::print
