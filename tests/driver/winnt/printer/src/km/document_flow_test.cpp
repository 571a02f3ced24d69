// Documents through the engine's device context: where drawing lands on
// the sheet, n-up sheets, duplex sides, blank pages, device resets in the
// middle of a document, cancelled jobs and failed writes.
#include <gtest/gtest.h>

#include "driver/winnt/printer/src/common/settings_codes.h"
#include "platform/spooler/capture.h"
#include "tests/driver/winnt/printer/src/km/hbgraph_test_support.h"

namespace k460::testing {
namespace {

using engine::DeviceContext;
using engine::RGB;

constexpr COLORREF kBlack = RGB(0, 0, 0);

// A binding margin in pixels at 600 dpi.
LONG ShiftOf(LONG tenthMm) { return (tenthMm * 600 + 127) / 254; }

bool Inside(const RECTL& inner, const RECTL& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

class DocumentFlowTest : public HbgraphTest {
 protected:
  void PrintFourNupPagesWithReset(JobDevMode changed, std::size_t* sheetsAtReset);
};

TEST_F(DocumentFlowTest, ARectangleLandsAtItsPlaceBehindTheMargins) {
  JobDevMode job;
  auto sheets = PrintPages(job.Build(), 1, [](DeviceContext& dc, int) {
    ASSERT_TRUE(dc.FillRect({0, 0, 100, 50}, kBlack));
  });
  ASSERT_EQ(sheets.size(), 1u);
  // Surface 4992 x 7040 for paper 4960 x 7015: the page is centred on the
  // byte nearest (16, 12), then moved by the 108-pixel margins.
  EXPECT_EQ(sheets[0].BlackCount(), 100u * 50);
  const RECTL bounds = sheets[0].BlackBounds();
  EXPECT_EQ(bounds.left, 124);
  EXPECT_EQ(bounds.top, 120);
  EXPECT_EQ(bounds.right, 224);
  EXPECT_EQ(bounds.bottom, 170);
}

TEST_F(DocumentFlowTest, DrawingBeyondThePageStaysOnTheSheet) {
  JobDevMode job;
  auto sheets = PrintPages(job.Build(), 1, [](DeviceContext& dc, int) {
    // Far beyond the bottom right of the printable page.
    EXPECT_TRUE(dc.FillRect({4000, 6000, 20000, 20000}, kBlack));
  });
  ASSERT_EQ(sheets.size(), 1u);
  const RECTL bounds = sheets[0].BlackBounds();
  EXPECT_LE(bounds.right, 4992 - 108);
  EXPECT_LE(bounds.bottom, 7040 - 108);
}

TEST_F(DocumentFlowTest, FourUpWithSixPagesWritesTheFirstSheetAtTheFourthPageAndTheRestAtTheEnd) {
  JobDevMode job;
  job.settings.blocks.hsNup = 3;
  auto dc = Open(job.Build());
  ASSERT_TRUE(dc);
  EXPECT_LT(dc->Caps().ulHorzRes, 4744u / 2 + 1) << "the application sees a quarter page";
  ASSERT_TRUE(dc->StartDoc(u"Six"));
  std::vector<std::size_t> sheetsAfterPage;
  for (int page = 0; page < 6; ++page) {
    ASSERT_TRUE(dc->StartPage());
    ASSERT_TRUE(dc->FillRect({0, 0, 200, 200}, kBlack));
    ASSERT_TRUE(dc->EndPage());
    sheetsAfterPage.push_back(Sheets().size());
  }
  EXPECT_EQ(sheetsAfterPage, (std::vector<std::size_t>{0, 0, 0, 1, 1, 1}));
  ASSERT_TRUE(dc->EndDoc());
  auto sheets = Sheets();
  ASSERT_EQ(sheets.size(), 2u);
  EXPECT_EQ(sheets[0].BlackCount(), 4u * 200 * 200);
  EXPECT_EQ(sheets[1].BlackCount(), 2u * 200 * 200);
  EXPECT_EQ(sheets[0].header.MultPagePrint, 3);
  // Each page lies in its own quarter of the sheet (behind the 108-pixel margin).
  const LONG w = sheets[0].header.Width, h = sheets[0].header.Height;
  const LONG midX = w / 2 + 108, midY = h / 2 + 108;
  for (const RECTL& quarter : {RECTL{0, 0, midX, midY}, RECTL{midX, 0, w, midY}, RECTL{0, midY, midX, h},
                               RECTL{midX, midY, w, h}}) {
    EXPECT_EQ(sheets[0].BlackIn(quarter), 200u * 200);
  }
  EXPECT_TRUE(Inside(sheets[1].BlackBounds(), RECTL{0, 0, w, midY})) << "pages 5 and 6 fill the upper half";
}

TEST_F(DocumentFlowTest, TwoUpPutsThePagesSideBySideOnALandscapeSheet) {
  JobDevMode job;
  job.settings.blocks.hsNup = 1;
  auto sheets = PrintPages(job.Build(), 2, [](DeviceContext& dc, int page) {
    // The first page gets a tall rectangle, the second a wide one.
    ASSERT_TRUE(dc.FillRect(page == 0 ? RECTL{0, 0, 50, 300} : RECTL{0, 0, 300, 50}, kBlack));
  });
  ASSERT_EQ(sheets.size(), 1u);
  EXPECT_EQ(sheets[0].header.Width, 7040);
  EXPECT_EQ(sheets[0].BlackCount(), 2u * 50 * 300);
  const LONG half = 7040 / 2;
  EXPECT_LT(sheets[0].BlackBounds().left, half);
  EXPECT_GT(sheets[0].BlackBounds().right, half);
  for (LONG y = 0; y < 4992; y += 8) EXPECT_FALSE(sheets[0].Black(half - 1, y) && sheets[0].Black(half, y));
}

TEST_F(DocumentFlowTest, TheBorderFramesEveryPagePlacedOnTheSheet) {
  JobDevMode job;
  job.settings.blocks.hsNup = 3;
  job.settings.blocks.hsNupBorder = 1;
  auto sheets = PrintPages(job.Build(), 3);
  ASSERT_EQ(sheets.size(), 1u);
  EXPECT_GT(sheets[0].BlackCount(), 0u) << "three frames";
  JobDevMode none;
  none.settings.blocks.hsNup = 3;
  CapturedOutputReset();
  auto plain = PrintPages(none.Build(), 3);
  ASSERT_EQ(plain.size(), 1u);
  EXPECT_EQ(plain[0].BlackCount(), 0u);
}

TEST_F(DocumentFlowTest, DuplexMovesFrontAndBackByTheirBindingMargins) {
  JobDevMode job;
  job.settings.hsResolutionIndex = 1;  // 300 dpi
  job.settings.blocks.hsDuplex = 1;
  job.settings.blocks.hsDuplexBinding = 1;  // left
  job.settings.blocks.hsMarginUnit = 0;
  job.settings.blocks.hsMarginFront = 100;  // 10.0 mm: 118 pixels
  job.settings.blocks.hsMarginBack = 100;
  auto sheets = PrintPages(job.Build(), 3, [](DeviceContext& dc, int) {
    ASSERT_TRUE(dc.FillRect({200, 0, 210, 10}, kBlack));
  });
  ASSERT_EQ(sheets.size(), 3u);
  // Page origin 8, margin 54 at 300 dpi.
  EXPECT_EQ(sheets[0].BlackBounds().left, 200 + 8 + 54 + 118);
  EXPECT_EQ(sheets[1].BlackBounds().left, 200 + 8 + 54 - 118);
  EXPECT_EQ(sheets[2].BlackBounds().left, 200 + 8 + 54 + 118);
}

TEST_F(DocumentFlowTest, BlankPagesAreLeftOutOnlyWhenAskedAndTakeNoSide) {
  JobDevMode job;
  job.settings.blocks.hsSkipBlankPages = 1;
  job.settings.blocks.hsDuplex = 1;
  job.settings.blocks.hsDuplexBinding = 1;
  job.settings.blocks.hsMarginFront = 100;
  job.settings.blocks.hsMarginBack = 100;
  auto draw = [](DeviceContext& dc, int page) {
    if (page == 1) {
      ASSERT_TRUE(dc.FillRect({200, 0, 210, 10}, kBlack));
    }
  };
  auto skipped = PrintPages(job.Build(), 3, draw);
  ASSERT_EQ(skipped.size(), 1u);
  // The drawn page is the first sheet that takes paper: a front side.
  EXPECT_EQ(skipped[0].BlackBounds().left, 200 + 16 + 108 + ShiftOf(100));

  job.settings.blocks.hsSkipBlankPages = 0;
  CapturedOutputReset();
  auto all = PrintPages(job.Build(), 3, draw);
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(all[0].BlackCount(), 0u);
  EXPECT_EQ(all[2].BlackCount(), 0u);
}

// Four pages of a black square on 3-up sheets, the device reset to
// `changed` before the third page; *sheetsAtReset: the sheets written by the
// time of the reset.
void DocumentFlowTest::PrintFourNupPagesWithReset(JobDevMode changed, std::size_t* sheetsAtReset) {
  JobDevMode job;
  job.settings.blocks.hsNup = 3;
  changed.settings.blocks.hsNup = 3;
  auto dc = Open(job.Build());
  ASSERT_TRUE(dc);
  ASSERT_TRUE(dc->StartDoc(u"Reset"));
  for (int page = 0; page < 4; ++page) {
    if (page == 2) {
      ASSERT_TRUE(dc->ResetDevice(changed.Build())) << GetLastError();
      *sheetsAtReset = Sheets().size();
    }
    ASSERT_TRUE(dc->StartPage());
    ASSERT_TRUE(dc->FillRect({0, 0, 100, 100}, kBlack));
    ASSERT_TRUE(dc->EndPage());
  }
  ASSERT_TRUE(dc->EndDoc());
}

TEST_F(DocumentFlowTest, AResetDeviceContinuesTheOpenNupSheet) {
  JobDevMode changed;
  changed.settings.hsCopies = 2;
  std::size_t atReset = 99;
  ASSERT_NO_FATAL_FAILURE(PrintFourNupPagesWithReset(changed, &atReset));
  EXPECT_EQ(atReset, 0u) << "the half-filled sheet was handed over, not written";
  auto sheets = Sheets();
  ASSERT_EQ(sheets.size(), 1u);
  EXPECT_EQ(sheets[0].BlackCount(), 4u * 100 * 100);
  EXPECT_EQ(sheets[0].header.CopyNum, 2) << "written by the new device";
}

TEST_F(DocumentFlowTest, AResetToAnotherResolutionWritesTheOpenSheetFirst) {
  JobDevMode changed;
  changed.settings.hsResolutionIndex = 1;
  std::size_t atReset = 99;
  ASSERT_NO_FATAL_FAILURE(PrintFourNupPagesWithReset(changed, &atReset));
  EXPECT_EQ(atReset, 1u) << "a sheet of another size cannot go on";
  auto sheets = Sheets();
  ASSERT_EQ(sheets.size(), 2u);
  EXPECT_EQ(sheets[0].header.Resolution, 600);
  EXPECT_EQ(sheets[0].BlackCount(), 2u * 100 * 100);
  EXPECT_EQ(sheets[1].header.Resolution, 300);
  EXPECT_EQ(sheets[1].BlackCount(), 2u * 100 * 100);
}

TEST_F(DocumentFlowTest, AResetKeepsTheFirstPagesSheetAndTheDuplexSide) {
  JobDevMode job;
  job.settings.blocks.hsDuplex = 1;
  job.settings.blocks.hsDuplexBinding = 1;
  job.settings.blocks.hsMarginFront = 100;
  job.settings.blocks.hsMarginBack = 100;
  auto dc = Open(job.Build());
  ASSERT_TRUE(dc);
  ASSERT_TRUE(dc->StartDoc(u"Reset"));
  for (int page = 0; page < 2; ++page) {
    if (page == 1) {
      JobDevMode landscape = job;
      landscape.settings.hsLandscape = 1;
      landscape.settings.hsPaperIndex = 4;  // A3
      ASSERT_TRUE(dc->ResetDevice(landscape.Build()));
    }
    ASSERT_TRUE(dc->StartPage());
    ASSERT_TRUE(dc->FillRect({400, 0, 410, 10}, kBlack));
    ASSERT_TRUE(dc->EndPage());
  }
  ASSERT_TRUE(dc->EndDoc());
  auto sheets = Sheets();
  ASSERT_EQ(sheets.size(), 2u);
  EXPECT_EQ(sheets[0].BlackBounds().left, 400 + 16 + 108 + ShiftOf(100));
  EXPECT_EQ(sheets[1].header.Width, 4992) << "the sheet keeps the first page's paper and orientation";
  EXPECT_EQ(sheets[1].header.Paper, 0) << "A4, as the raster is";
  EXPECT_EQ(sheets[1].header.Orient, 0);
  // The landscape page is wider than the portrait sheet: it starts at the
  // sheet's left edge, and as a back side it moves left by the back margin.
  EXPECT_EQ(sheets[1].BlackBounds().left, 400 + 108 - ShiftOf(100));
}

TEST_F(DocumentFlowTest, AnAbortedDocumentStillWritesItsPendingSheet) {
  JobDevMode job;
  job.settings.blocks.hsNup = 3;
  auto dc = Open(job.Build());
  ASSERT_TRUE(dc);
  ASSERT_TRUE(dc->StartDoc(u"Abort"));
  for (int page = 0; page < 2; ++page) {
    ASSERT_TRUE(dc->StartPage());
    ASSERT_TRUE(dc->FillRect({0, 0, 10, 10}, kBlack));
    ASSERT_TRUE(dc->EndPage());
  }
  dc->AbortDoc();
  EXPECT_EQ(GetLastError(), ERROR_PRINT_CANCELLED);
  EXPECT_EQ(Sheets().size(), 1u);
}

TEST_F(DocumentFlowTest, ACancelledJobFailsEveryFurtherPageAndDrawing) {
  JobDevMode job;
  auto dc = Open(job.Build());
  ASSERT_TRUE(dc);
  ASSERT_TRUE(dc->StartDoc(u"Cancel"));
  ASSERT_TRUE(dc->StartPage());
  dc->Cancel();
  EXPECT_FALSE(dc->FillRect({0, 0, 10, 10}, kBlack));
  EXPECT_EQ(GetLastError(), ERROR_PRINT_CANCELLED);
  EXPECT_FALSE(dc->EndPage());
  EXPECT_FALSE(dc->StartPage());
  EXPECT_EQ(GetLastError(), ERROR_PRINT_CANCELLED);
}

TEST_F(DocumentFlowTest, AFailedWriteFailsThePage) {
  JobDevMode job;
  auto dc = Open(job.Build());
  ASSERT_TRUE(dc);
  ASSERT_TRUE(dc->StartDoc(u"Fail"));
  ASSERT_TRUE(dc->StartPage());
  CancelCapturePrinter(printer(), ERROR_DISK_FULL);
  EXPECT_FALSE(dc->EndPage());
  EXPECT_EQ(GetLastError(), ERROR_DISK_FULL);
}

TEST_F(DocumentFlowTest, ZoomWithoutFitDrawsInOneBandPerSheet) {
  JobDevMode job;
  job.settings.blocks.hsZoom = 500;
  auto dc = Open(job.Build());
  ASSERT_TRUE(dc);
  EXPECT_TRUE(dc->Banding());
  EXPECT_EQ(dc->Caps().ulHorzRes, 4744u / 2);
  ASSERT_TRUE(dc->StartDoc(u"Bands"));
  for (int page = 0; page < 2; ++page) {
    ASSERT_TRUE(dc->StartPage());
    ASSERT_TRUE(dc->FillRect({0, 0, 64, 64}, kBlack));
    ASSERT_TRUE(dc->EndPage());
  }
  ASSERT_TRUE(dc->EndDoc());
  auto sheets = Sheets();
  ASSERT_EQ(sheets.size(), 2u);
  EXPECT_EQ(sheets[1].BlackCount(), 64u * 64);
  EXPECT_EQ(sheets[1].header.ZoomNumber, 50);
}

TEST_F(DocumentFlowTest, ImagesAreStretchedAndHalftonedOntoTheSheet) {
  JobDevMode job;
  // A 2 x 2 image: black, white / white, black, stretched to 200 x 200.
  const std::uint8_t pixels[2][8] = {{0, 0, 0, 255, 255, 255, 0, 0}, {255, 255, 255, 0, 0, 0, 0, 0}};
  engine::Image image;
  image.width = 2;
  image.height = 2;
  image.format = BMF_24BPP;
  image.bits = pixels;
  image.stride = 8;
  auto sheets = PrintPages(job.Build(), 1, [&](DeviceContext& dc, int) {
    ASSERT_TRUE(dc.DrawImage(image, {0, 0, 200, 200}));
    ASSERT_TRUE(dc.DrawImage(image, {300, 0, 302, 2}));  // unstretched
  });
  ASSERT_EQ(sheets.size(), 1u);
  EXPECT_EQ(sheets[0].BlackCount(), 2u * 100 * 100 + 2);
  EXPECT_TRUE(sheets[0].Black(124, 120));
  EXPECT_FALSE(sheets[0].Black(124 + 150, 120));
  EXPECT_TRUE(sheets[0].Black(124 + 150, 120 + 150));
}

}  // namespace
}  // namespace k460::testing
