#include "tools/print/image_reader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "tools/print/document_reader.h"
#include "tools/print/file_kind.h"
#include "tools/print/print_error.h"

namespace k460::print {
namespace {

using ::testing::StartsWith;

const std::string kSamples = K460_SOURCE_DIR "/samples/";
const std::string kData = K460_PRINT_TEST_DATA "/";

std::span<const std::uint8_t> Bytes(const std::string& text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

TEST(ImageReader, BundledPngKeepsItsColours) {
  const auto raster = ReadImageFile(kSamples + "sample.png");
  EXPECT_EQ(raster->width, 64);
  EXPECT_EQ(raster->height, 48);
  EXPECT_EQ(raster->format, PixelFormat::Rgb24);
  EXPECT_EQ(raster->stride, 192u);
  EXPECT_EQ(raster->At(0, 0), Color::Rgb(255, 0, 0));
  EXPECT_EQ(raster->At(63, 0), Color::Rgb(3, 0, 252));
  EXPECT_EQ(raster->At(10, 10), Color::Rgb(0, 0, 0));
  EXPECT_EQ(raster->At(0, 45), Color::Rgb(255, 255, 255));
}

TEST(ImageReader, BundledPgmRamp) {
  const auto raster = ReadImageFile(kSamples + "ramp.pgm");
  EXPECT_EQ(raster->width, 16);
  EXPECT_EQ(raster->height, 8);
  EXPECT_EQ(raster->format, PixelFormat::Gray8);
  for (int x = 0; x < 16; ++x) EXPECT_EQ(raster->At(x, 7), Color::Gray(static_cast<std::uint8_t>(17 * x)));
}

TEST(ImageReader, PngDepthsAndTransparency) {
  // One-bit gray stays one bit: a checkerboard, black where x + y is even.
  const auto bits = ReadImageFile(kData + "gray1.png");
  EXPECT_EQ(bits->format, PixelFormat::Gray1);
  EXPECT_EQ(bits->width, 10);
  EXPECT_EQ(bits->stride, 2u);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 10; ++x) EXPECT_EQ(bits->At(x, y).Level(), (x + y) % 2 == 0 ? 0 : 255) << x << "," << y;

  // 16-bit gray with alpha: 8-bit gray, transparent pixels are white paper.
  const auto alpha = ReadImageFile(kData + "gray16_alpha.png");
  EXPECT_EQ(alpha->format, PixelFormat::Gray8);
  EXPECT_EQ(alpha->At(0, 0), Color::Gray(0));
  EXPECT_EQ(alpha->At(1, 0), Color::Gray(255));
  EXPECT_EQ(alpha->At(2, 0), Color::Gray(128));  // 16-bit samples are gamma-encoded like 8-bit ones

  // A palette becomes RGB.
  const auto palette = ReadImageFile(kData + "palette.png");
  EXPECT_EQ(palette->format, PixelFormat::Rgb24);
  EXPECT_EQ(palette->At(0, 0), Color::Rgb(255, 0, 0));
  EXPECT_EQ(palette->At(1, 0), Color::Rgb(0, 255, 0));
  EXPECT_EQ(palette->At(2, 0), Color::Rgb(0, 0, 255));
}

struct PnmCase {
  std::string bytes;
  PixelFormat format;
  int width, height;
  std::vector<std::pair<int, Color>> pixels;  // x on row 0, colour
};

TEST(ImageReader, EveryPnmVariant) {
  const PnmCase cases[] = {
      {"P1\n# comment\n3 2\n1 0 1\n0 1 0\n", PixelFormat::Gray1, 3, 2, {{0, Color::Black()}, {1, Color::White()}}},
      {"P1 3 1 101", PixelFormat::Gray1, 3, 1, {{0, Color::Black()}, {1, Color::White()}, {2, Color::Black()}}},
      {std::string("P4\n9 1\n") + "\x80\x80",
       PixelFormat::Gray1,
       9,
       1,
       {{0, Color::Black()}, {1, Color::White()}, {8, Color::Black()}}},
      {"P2 2 1 15 0 15", PixelFormat::Gray8, 2, 1, {{0, Color::Gray(0)}, {1, Color::Gray(255)}}},
      {"P2 1 1 255 #comment between samples\n 77", PixelFormat::Gray8, 1, 1, {{0, Color::Gray(77)}}},
      {std::string("P5 2 1 65535\n") + std::string("\x00\x00\x80\x00", 4),
       PixelFormat::Gray8,
       2,
       1,
       {{0, Color::Gray(0)}, {1, Color::Gray(128)}}},
      {"P3 1 1 255 10 20 30", PixelFormat::Rgb24, 1, 1, {{0, Color::Rgb(10, 20, 30)}}},
      {"P6 1 1 255\n\x01\x02\x03", PixelFormat::Rgb24, 1, 1, {{0, Color::Rgb(1, 2, 3)}}},
  };
  for (const PnmCase& c : cases) {
    SCOPED_TRACE(c.bytes);
    const Raster raster = DecodePnm(Bytes(c.bytes), "x.pnm");
    EXPECT_EQ(raster.format, c.format);
    EXPECT_EQ(raster.width, c.width);
    EXPECT_EQ(raster.height, c.height);
    for (const auto& [x, color] : c.pixels) EXPECT_EQ(raster.At(x, 0), color) << "x " << x;
  }
}

TEST(ImageReader, DamagedPnmNamesFileAndFault) {
  const std::pair<std::string, std::string> cases[] = {
      {"P5 2 2 255\n\x01\x02\x03", "x.pnm: the image data ends early: 4 bytes expected, 3 found"},
      {"P5 0 2 255\n", "x.pnm: image of 0 x 2 pixels has no pixels"},
      {"P5 50000 2 255\n", "x.pnm: image of 50000 x 2 pixels is too large (at most 40000 a side)"},
      {"P5 40000 40000 255\n", "x.pnm: image of 40000 x 40000 pixels is too large to print"},
      {"P2 1 1 70000 0", "x.pnm: maximum value 70000 is not within 1..65535"},
      {"P2 1 1 10 11", "x.pnm: sample 11 at row 1 exceeds the maximum value 10"},
      {"P1 2 1 1 2", "x.pnm: a plain PBM pixel must be 0 or 1, found '2'"},
      {"P5 x 1 255", "x.pnm: the width is not a number"},
      {"P5 99999999999 1 255", "x.pnm: the width is too large"},
      {"P6 2 1 255", "x.pnm: no blank after the header"},
      {"P2 2 1 255 0", "x.pnm: the image data ends early at row 1"},
      {"P2 20000 20000 255 0", "x.pnm: the image data ends early: 400000000 samples expected, 2 bytes left"},
      {"P2 2", "x.pnm: the image ends before its height"},
      {"P7 1 1", "x.pnm: not a PNM image (no P1 to P6 signature)"},
  };
  for (const auto& [bytes, message] : cases) {
    SCOPED_TRACE(bytes);
    try {
      DecodePnm(Bytes(bytes), "x.pnm");
      ADD_FAILURE() << "no error";
    } catch (const DocumentError& error) {
      EXPECT_EQ(error.what(), message);
    }
  }
}

TEST(ImageReader, DamagedPngNamesTheFile) {
  const std::vector<std::uint8_t> whole = ReadFileBytes(kSamples + "sample.png");
  std::vector<std::uint8_t> truncated(whole.begin(), whole.begin() + 60);
  EXPECT_THROW(
      try { DecodePng(truncated, "cut.png"); } catch (const DocumentError& error) {
        EXPECT_THAT(error.what(), StartsWith("cut.png: damaged PNG image: "));
        throw;
      },
      DocumentError);
  std::vector<std::uint8_t> badCrc = whole;
  badCrc[45] ^= 0xFF;  // inside the compressed data: the CRC no longer matches
  EXPECT_THROW(DecodePng(badCrc, "crc.png"), DocumentError);
  EXPECT_THROW(
      try {
        DecodePng(std::vector<std::uint8_t>(whole.begin(), whole.begin() + 20), "short.png");
      } catch (const DocumentError& error) {
        EXPECT_STREQ(error.what(), "short.png: not a PNG image (no image header)");
        throw;
      },
      DocumentError);
}

TEST(ImageReader, APngClaimingMorePixelsThanItsDataCouldHoldIsRefused) {
  try {
    ReadImageFile(kData + "claims_too_much.png");
    ADD_FAILURE();
  } catch (const DocumentError& error) {
    EXPECT_EQ(error.what(), kData + "claims_too_much.png: damaged PNG image: too little data for 20000 x 20000 pixels");
  }
}

TEST(ImageReader, MissingOrForeignFiles) {
  try {
    ReadImageFile(kData + "no-such.png");
    ADD_FAILURE();
  } catch (const DocumentError& error) {
    EXPECT_EQ(error.what(), kData + "no-such.png: cannot read: No such file or directory");
  }
  try {
    ReadImageFile(kSamples + "sample.k460");
    ADD_FAILURE();
  } catch (const DocumentError& error) {
    EXPECT_EQ(error.what(), kSamples + "sample.k460: not a PNG or PNM image");
  }
}

TEST(ImageReader, AnImagePageFillsThePrintableAreaKeepingItsShape) {
  ReadOptions portrait;  // A4: printable 4760 x 6814 from (100, 100)
  Document document = ReadImageDocument(kSamples + "sample.png", portrait);
  ASSERT_EQ(document.pages.size(), 1u);
  const auto& image = std::get<ImageOp>(document.pages[0].operations.at(0));
  // 64 x 48 is limited by the width: 4760 x 3570, centred vertically.
  EXPECT_EQ(image.dest, (Rect{100, 1722, 4860, 5292}));

  ReadOptions landscape;
  landscape.geometry = GeometryFor(*FindMediaByName("A4"), true);
  document = ReadImageDocument(kSamples + "sample.png", landscape);
  const auto& wide = std::get<ImageOp>(document.pages[0].operations.at(0));
  // Limited by the height 4760: 6346.67 wide, centred horizontally.
  EXPECT_NEAR(wide.dest.left, 100 + (6814 - 4760 * 64.0 / 48) / 2, 1e-6);
  EXPECT_DOUBLE_EQ(wide.dest.top, 100);
  EXPECT_DOUBLE_EQ(wide.dest.Height(), 4760);
  EXPECT_NEAR(wide.dest.Width() / wide.dest.Height(), 64.0 / 48, 1e-9);
}

TEST(DocumentReader, KindsAreRecognisedByContent) {
  const std::pair<std::string, FileKind> cases[] = {
      {"\x89PNG\r\n\x1a\n....", FileKind::Png},
      {"P5 1 1 255\n", FileKind::Pnm},
      {"P1\n1 1 0", FileKind::Pnm},
      {"%PDF-1.4\n", FileKind::Pdf},
      {"junk\n%PDF-1.7\n", FileKind::Pdf},
      {"Page 1\n", FileKind::PageScript},
      {"page A4\n", FileKind::PageScript},
      {"", FileKind::PageScript},
  };
  for (const auto& [head, kind] : cases) EXPECT_EQ(SniffFileKind(Bytes(head)), kind) << head;

  ReadOptions options;
  EXPECT_EQ(OpenDocument(kSamples + "sample.png", options)->PageCount(), 1);
  EXPECT_EQ(OpenDocument(kSamples + "ramp.pgm", options)->PageCount(), 1);
  EXPECT_EQ(OpenDocument(kSamples + "sample.k460", options)->PageCount(), 2);
  EXPECT_EQ(OpenDocument(kSamples + "sample.pdf", options)->PageCount(), 2);
  try {
    OpenDocument(kSamples + "nothing-here.pdf", options);
    ADD_FAILURE();
  } catch (const DocumentError& error) {
    EXPECT_EQ(error.what(), kSamples + "nothing-here.pdf: cannot read: No such file or directory");
  }
}

}  // namespace
}  // namespace k460::print
