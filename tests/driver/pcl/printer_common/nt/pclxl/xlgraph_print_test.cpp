// End to end: the sample image and PDF printed with `k460 print --driver
// xlgraph` on a machine of the test's own; the images of the job decode
// back to the document's pixels after the gray rule.
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "driver/pcl/printer_common/nt/pclxl/xlgray.h"
#include "tests/driver/pcl/printer_common/nt/pclxl/xlimage_decode.h"
#include "tests/support/machine_fixture.h"
#include "tools/print/document_reader.h"
#include "tools/print/image_reader.h"

namespace xltest {
namespace {

using Bytes = std::vector<std::uint8_t>;

class XlPrintTest : public k460::testing::MachineTest {
 protected:
  // The job `k460 print --driver xlgraph` makes of the file.
  std::string Print(const std::string& file) {
    std::filesystem::path output = root() / "job.prn";
    std::string command = std::string("'") + K460_BIN_DIR + "/k460' --root '" + root().string() +
                          "' print --driver xlgraph --output '" + output.string() + "' '" + file + "' >/dev/null 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    std::ifstream in(output, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }

  // Where the job laid its pages out, from the paper it names.
  k460::print::ReadOptions ReadOptionsOf(const std::string& job) {
    k460::print::ReadOptions read;
    for (const char* paper : {"A4", "Letter"}) {
      std::string line = std::string("@PJL SET PAPER = ") + paper;
      for (char& c : line) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      if (job.find(line + "\r\n") != std::string::npos)
        read.geometry = k460::print::GeometryFor(*k460::print::FindMediaByName(paper), false);
    }
    return read;
  }
};

// The gray levels of a raster of the page model, row by row.
Bytes GraysOf(const k460::print::Raster& raster) {
  Bytes grays;
  for (int y = 0; y < raster.height; ++y)
    for (int x = 0; x < raster.width; ++x) {
      k460::print::Color c = raster.At(x, y);
      grays.push_back(GetGray(c.red | (ULONG(c.green) << 8) | (ULONG(c.blue) << 16)));
    }
  return grays;
}

TEST_F(XlPrintTest, SampleImagePrintsAsItsPixelsInGray) {
  const std::string file = std::string(K460_SOURCE_DIR) + "/samples/sample.png";
  std::string job = Print(file);
  auto images = Images(job);
  ASSERT_EQ(images.size(), 1u);
  auto source = k460::print::ReadImageFile(file);
  const XlImage& image = images[0];
  EXPECT_EQ(image.colorMapping, 0) << "colour pixels go as direct gray";
  EXPECT_EQ(image.width, source->width);
  EXPECT_EQ(image.height, source->height);
  EXPECT_EQ(image.rop, 0xCC);
  EXPECT_EQ(image.Grays(), GraysOf(*source));
  // Placed on the printable area as large as it goes, proportions kept.
  EXPECT_NEAR(static_cast<double>(image.destWidth) / image.destHeight,
              static_cast<double>(source->width) / source->height, 0.01);
}

TEST_F(XlPrintTest, SamplePdfPrintsEachPageAsItsRasterInGray) {
  const std::string file = std::string(K460_SOURCE_DIR) + "/samples/sample.pdf";
  std::string job = Print(file);
  auto images = Images(job);
  auto document = k460::print::OpenDocument(file, ReadOptionsOf(job));
  ASSERT_EQ(images.size(), static_cast<size_t>(document->PageCount())) << "one image per page";
  for (int page = 0; page < document->PageCount(); ++page) {
    SCOPED_TRACE(page);
    k460::print::Page content = document->LoadPage(page);
    const k460::print::ImageOp* placed = nullptr;
    for (const auto& op : content.operations)
      if (const auto* image = std::get_if<k460::print::ImageOp>(&op)) placed = image;
    ASSERT_NE(placed, nullptr);
    const XlImage& image = images[static_cast<size_t>(page)];
    EXPECT_EQ(image.colorMapping, 1) << "gray pages go as indices into a gray palette";
    EXPECT_EQ(image.colorDepth, 2);
    ASSERT_EQ(image.width, placed->raster->width);
    ASSERT_EQ(image.height, placed->raster->height);
    EXPECT_TRUE(image.Grays() == GraysOf(*placed->raster));
    EXPECT_EQ(image.compressMode, 1) << "a page of text and white compresses";
    EXPECT_LT(image.blockBytes, image.Stride() * image.height);
  }
}

}  // namespace
}  // namespace xltest
