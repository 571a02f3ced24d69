// The arithmetic of the frame: geometry, scale, placement, finishing and
// shifts, raster composition, the own-port rule and the capabilities.
#include <gtest/gtest.h>

#include <vector>

#include "driver/winnt/printer/src/common/paper_table.h"
#include "driver/winnt/printer/src/common/settings_defaults.h"
#include "driver/winnt/printer/src/km/device_caps.h"
#include "driver/winnt/printer/src/km/finishing.h"
#include "driver/winnt/printer/src/km/job_values.h"
#include "driver/winnt/printer/src/km/own_port.h"
#include "driver/winnt/printer/src/km/page_placement.h"
#include "driver/winnt/printer/src/km/sheet_raster.h"

namespace k460::hbgraph {
namespace {

using hostsettings::HostVariant;

const hostsettings::PaperEntry& A4() { return hostsettings::BuiltInPapers(HostVariant::kHostBased)[5]; }

TEST(SheetGeometry, A4At600DpiRoundsTheSurfaceUpTo32Pixels) {
  EXPECT_EQ(PaperSize(A4().portrait, 6), (PixelSize{4960, 7015}));
  EXPECT_EQ(SurfaceSize(A4().portrait, 6), (PixelSize{4992, 7040}));
  EXPECT_EQ(SurfaceSize(A4().landscape, 6), (PixelSize{7040, 4992}));
  EXPECT_EQ(MarginPixels(6), 108);
  EXPECT_EQ(SurfaceSize(A4().portrait, 2).width % 32, 0);
  EXPECT_EQ(SurfaceSize(A4().portrait, 3).width % 32, 0);
}

TEST(SheetGeometry, GridsByPagesPerSheetAndOrientation) {
  struct Case {
    int pages;
    bool landscape;
    Grid grid;
  } cases[] = {{1, false, {1, 1}}, {2, false, {2, 1}}, {2, true, {1, 2}}, {4, false, {2, 2}},
               {8, false, {4, 2}}, {8, true, {2, 4}},  {9, false, {3, 3}}, {3, false, {1, 1}}};
  for (const Case& c : cases) EXPECT_EQ(GridOf(c.pages, c.landscape), c.grid) << c.pages << " " << c.landscape;
}

ScaleInputs A4Scale(int pages) {
  ScaleInputs in;
  in.pagesPerSheet = pages;
  in.margin = 108;
  in.sheetPaper = in.firstSheetPaper = PaperSize(A4().portrait, 6);
  in.pagePrintable = {4960 - 216, 7015 - 216};
  return in;
}

TEST(SheetScale, OnePageFitsWholeAndZoomReplacesItWithoutFit) {
  EXPECT_EQ(ComputeScale(A4Scale(1)), 1000);
  ScaleInputs zoomed = A4Scale(1);
  zoomed.fit = false;
  zoomed.zoom = 500;
  EXPECT_EQ(ComputeScale(zoomed), 500);
}

TEST(SheetScale, TwoUpOnAPortraitJobFitsEachPageIntoHalfTheTurnedSheet) {
  ScaleInputs in = A4Scale(2);
  // The sheet lies landscape: 7015 x 4960, two cells of (7015 - 432) / 2 x (4960 - 216).
  const std::int32_t s = ComputeScale(in);
  EXPECT_EQ(s, std::min((4960 - 216) * 1000 / (7015 - 216), ((7015 - 2 * 108 * 2) / 2) * 1000 / (4960 - 216)));
  EXPECT_LT(s, 1000);
  EXPECT_EQ(PlacementGrid(in), (Grid{2, 1}));
}

TEST(SheetScale, ADeviceResetToLandscapeInsideATwoUpDocumentKeepsTheFirstPagesSheet) {
  ScaleInputs in = A4Scale(2);
  in.inDocument = true;
  in.firstLandscape = false;
  in.jobLandscape = true;
  in.pagePrintable = {7015 - 216, 4960 - 216};
  EXPECT_EQ(PlacementGrid(in), (Grid{2, 1})) << "the grid follows the first page";
  EXPECT_GT(ComputeScale(in), 0);
  EXPECT_LE(ComputeScale(in), 1000);
}

TEST(PagePlacement, CellIndexFollowsThePlacementOrder) {
  const Grid grid{2, 2};
  struct Case {
    int order;
    std::vector<int> cells;
  } cases[] = {{kOrderAcross, {0, 1, 2, 3}},
               {kOrderDown, {0, 2, 1, 3}},
               {kOrderAcrossFromRight, {1, 0, 3, 2}},
               {kOrderDownFromRight, {1, 3, 0, 2}},
               {kOrderReverse, {3, 2, 1, 0}}};
  for (const Case& c : cases) {
    std::vector<int> cells;
    for (int k = 0; k < 4; ++k) cells.push_back(CellIndex(k, c.order, grid, 4));
    EXPECT_EQ(cells, c.cells) << "order " << c.order;
  }
}

TEST(PagePlacement, FourUpPagesLieInTheirQuartersAndNeverReachBeyondThem) {
  PlacementInputs in;
  in.pagesPerSheet = 4;
  in.grid = {2, 2};
  in.scale = 480;
  in.pagePrintable = {4744, 6799};
  in.margin = 108;
  in.surface = {4992, 7040};
  for (int page = 1; page <= 8; ++page) {
    const PageView view = LogicalPageView(page, in);
    const int cell = (page - 1) % 4;
    EXPECT_EQ(view.x % 8, 0);
    EXPECT_GE(view.x, (cell % 2) * 2496) << page;
    EXPECT_LE(view.x + view.size.width, (cell % 2 + 1) * 2496) << page;
    EXPECT_GE(view.y, (cell / 2) * 3520) << page;
    EXPECT_LE(view.y + view.size.height, (cell / 2 + 1) * 3520) << page;
  }
}

TEST(PagePlacement, AnEnlargedPageIsCutAtTheSheet) {
  PlacementInputs in;
  in.scale = 4000;
  in.fit = true;
  in.pagePrintable = {4744, 6799};
  in.margin = 108;
  in.surface = {4992, 7040};
  const PageView view = LogicalPageView(1, in);
  EXPECT_LE(view.x + view.size.width, 4992);
  EXPECT_LE(view.y + view.size.height, 7040);
}

TEST(Finishing, RowsArePickedByStapleAndPunchAndPart) {
  EXPECT_EQ(FindFinishing(0, 0, 0), FinishingPart{});
  EXPECT_EQ(FindFinishing(1, 0, 1), (FinishingPart{0, 0, 0, 0, 1, 0, 0, 1}));
  EXPECT_EQ(FindFinishing(4, 4, 3), (FinishingPart{1, 0, 3, 1, 3, 1, 1, 1}));
  EXPECT_EQ(FindFinishing(2, 6, 1), (FinishingPart{-1, 0, 4, 1, 4, 0, 0, 1}));
  EXPECT_EQ(FindFinishing(1, 3, 0), FinishingPart{}) << "a row without finishing";
  EXPECT_FALSE(FindFinishing(-1, 0, 0));
  EXPECT_FALSE(FindFinishing(6, 0, 0));
}

TEST(Finishing, DuplexWithLeftBindingShiftsTheFrontRightAndTheBackLeft) {
  hostsettings::HostBlocks b = hostsettings::DefaultHostSettings(HostVariant::kHostBased, 81).blocks;
  b.hsDuplex = 1;
  b.hsDuplexBinding = 1;
  b.hsMarginUnit = 0;
  b.hsMarginFront = 100;  // 10.0 mm
  b.hsMarginBack = 100;
  FinishingInputs in;
  in.duplex = true;
  in.resolution = 300;
  const Finishing f = ComputeFinishing(b, in);
  EXPECT_EQ(f.shifts.frontX, 118);
  EXPECT_EQ(f.shifts.backX, -118);
  EXPECT_EQ(f.shifts.frontY, 0);
  EXPECT_EQ(f.shifts.backY, 0);
  EXPECT_FALSE(f.shifts.backTurn);
  EXPECT_FALSE(f.active);
}

TEST(Finishing, MarginsInInchesAreConvertedAndClamped) {
  hostsettings::HostBlocks b = hostsettings::DefaultHostSettings(HostVariant::kHostBased, 81).blocks;
  b.hsDuplex = 1;
  b.hsDuplexBinding = 0;
  b.hsMarginUnit = 1;
  b.hsMarginFront = 200;  // 2 inches: above the 30.0 mm limit
  b.hsMarginBack = 50;    // 0.5 inch = 12.7 mm
  FinishingInputs in;
  in.duplex = true;
  in.resolution = 600;
  const Finishing f = ComputeFinishing(b, in);
  EXPECT_EQ(f.shifts.frontY, ShiftPixels(300, 600));
  EXPECT_EQ(f.shifts.backY, -ShiftPixels(127, 600));
  EXPECT_TRUE(f.shifts.backTurn) << "top binding turns the back page";
}

TEST(Finishing, StapleTurnsTheBackSideFlagWhenItsRowTurnsTheSheet) {
  hostsettings::HostBlocks b = hostsettings::DefaultHostSettings(HostVariant::kHostBased, 81).blocks;
  b.hsStaple = 1;
  b.hsStaplePosition = 1;
  b.hsDuplex = 1;
  b.hsDuplexBinding = 1;
  FinishingInputs in;
  in.duplex = true;
  const Finishing portrait = ComputeFinishing(b, in);  // part 0: turn 1
  EXPECT_TRUE(portrait.active);
  EXPECT_EQ(portrait.codes.staple, 3);
  EXPECT_TRUE(portrait.shifts.backTurn);
  in.booklet = true;
  const Finishing booklet = ComputeFinishing(b, in);
  EXPECT_FALSE(booklet.active);
  EXPECT_EQ(booklet.codes, FinishingPart{});
  in.booklet = false;
  in.enabled = false;  // the fax driver
  EXPECT_FALSE(ComputeFinishing(b, in).active);
}

TEST(JobValues, SettingsBecomeTheDerivedValues) {
  hostsettings::HostSettings s = hostsettings::DefaultHostSettings(HostVariant::kHostBased, 81);
  JobValues v = DeriveJobValues(s, 0, 600);
  EXPECT_EQ(v.pagesPerSheet, 1);
  EXPECT_TRUE(v.fit);
  EXPECT_EQ(v.borderWidth, 3);
  s.blocks.hsZoom = 100;
  EXPECT_EQ(DeriveJobValues(s, 0, 600).zoom, 1000);
  EXPECT_TRUE(DeriveJobValues(s, 0, 600).fit);
  s.blocks.hsZoom = 500;
  EXPECT_FALSE(DeriveJobValues(s, 0, 600).fit);
  s.blocks.hsZoomToPaper = 1;
  s.blocks.hsZoomPaper = 6;
  s.blocks.hsFitToPaper = 1;
  v = DeriveJobValues(s, 0, 600);
  EXPECT_TRUE(v.fit);
  EXPECT_EQ(v.outputPaper, 6);
  s.blocks.hsNup = 3;
  s.blocks.hsNupOrder = 2;
  v = DeriveJobValues(s, 0, 600);
  EXPECT_EQ(v.pagesPerSheet, 4);
  EXPECT_EQ(v.placementOrder, kOrderAcrossFromRight);
  EXPECT_TRUE(v.nupContinuation);
  s.blocks.hsBooklet = 5;
  s.blocks.hsBookletBinding = 2;
  v = DeriveJobValues(s, 0, 600);
  EXPECT_EQ(v.outputPaper, 6) << "A3 from the booklet table";
  EXPECT_EQ(v.placementOrder, kOrderReverse);
}

TEST(OwnPort, WhereTheDeviceCountsAsPrintingToThePrintersPort) {
  struct Case {
    const char* what;
    OwnPortInputs in;
    bool own;
  } cases[] = {
      {"port in the address", {u"IP_10", u"IP_10", u"K460", 6}, true},
      {"address of another target", {u"IP_10", u"C:\\out.prn", u"K460", 6}, false},
      {"unknown port is found nowhere", {u"", u"C:\\out.prn", u"K460", 6}, false},
      {"FILE: on an old system", {u"FILE:", u"", u"K460", 5}, true},
      {"FILE: on a newer system", {u"FILE:", u"", u"K460", 6}, false},
      {"document started, plain address", {u"IP_10", u"K460", u"K460", 6, true}, true},
      {"Port in the address", {u"IP_10", u"LPT1Port", u"K460", 6}, true},
      {"empty address after a page", {u"IP_10", u"", u"K460", 6, false, true, true}, true},
  };
  for (const Case& c : cases) EXPECT_EQ(PrintsToOwnPort(c.in), c.own) << c.what;
}

TEST(DeviceCaps, ScaledModeShrinksTheLogicalPage) {
  CapsInputs in;
  in.printableWidth = 4744;
  in.printableHeight = 6799;
  GDIINFO plain = MakeGdiInfo(in);
  EXPECT_EQ(plain.ulHorzRes, 4744u);
  EXPECT_EQ(plain.ulLogPixelsX, 600u);
  EXPECT_EQ(plain.ulHorzSize, 4744u * 2539 / 60000);
  EXPECT_EQ(plain.ptlPhysOffset.x, 108);
  EXPECT_EQ(plain.szlPhysSize.cx, 4744 + 216);
  EXPECT_EQ(plain.cBitsPixel, 24u);
  EXPECT_EQ(plain.ulAspectXY, 848u);
  in.scaledMode = true;
  in.scale = 500;
  in.pagesPerSheet = 8;
  GDIINFO scaled = MakeGdiInfo(in);
  EXPECT_EQ(scaled.ulHorzRes, 2372u);
  EXPECT_EQ(scaled.ulLogPixelsY, 300u);
  EXPECT_EQ(scaled.ptlPhysOffset.y, 53) << "one less with eight pages per sheet";
  DEVINFO info = MakeDevInfo(in);
  EXPECT_EQ(info.flGraphicsCaps, 0x811Cu);
  EXPECT_EQ(info.lfDefaultFont.lfHeight, -83);
  in.enhance = true;
  EXPECT_EQ(MakeDevInfo(in).flGraphicsCaps, 0x11Cu);
  EXPECT_EQ(MakeGdiInfo(in).flHTFlags, 0x28Au);
  EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(MakeDevInfo(in).lfAnsiVarFont.lfFaceName)),
            u"CG Times (WN)");
}

// A small sheet of 64 x 8 pixels with one black pixel.
struct SmallSheet {
  std::vector<std::uint8_t> in = std::vector<std::uint8_t>(64, 0xFF);
  std::vector<std::uint8_t> out = std::vector<std::uint8_t>(64, 0x00);
  SheetBits Bits(std::vector<std::uint8_t>& v) { return {v.data(), 8, {64, 8}}; }
  std::vector<std::pair<int, int>> BlackOut() {
    std::vector<std::pair<int, int>> black;
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 64; ++x)
        if (!(out[y * 8 + x / 8] & (0x80 >> (x % 8)))) black.push_back({x, y});
    return black;
  }
};

TEST(SheetRaster, CompositionMovesByMarginAndShiftOrTurnsTheSheet) {
  struct Case {
    const char* what;
    Composition c;
    std::pair<int, int> black;
  } cases[] = {
      {"margins", {3, 1, 0, 0, false}, {2 + 3, 1 + 1}},
      {"shift right and down", {3, 1, 5, 2, false}, {2 + 3 + 5, 1 + 1 + 2}},
      {"shift left", {3, 1, -2, 0, false}, {2 + 3 - 2, 1 + 1}},
      {"turned", {3, 1, 0, 0, true}, {64 - 1 - (2 + 3), 8 - 1 - (1 + 1)}},
      {"turned and shifted", {3, 1, 4, -1, true}, {64 - 1 - (2 + 3 + 4), 8 - 1 - (1 + 1 + 1)}},
  };
  for (const Case& c : cases) {
    SmallSheet s;
    s.in[1 * 8 + 0] = 0xDF;  // pixel (2, 1)
    ComposeRaster(s.Bits(s.in), s.Bits(s.out), c.c);
    EXPECT_EQ(s.BlackOut(), (std::vector<std::pair<int, int>>{c.black})) << c.what;
  }
}

TEST(SheetRaster, WhatLiesBeyondThePaperIsCutAway) {
  SmallSheet s;
  std::fill(s.in.begin(), s.in.end(), 0x00);  // all black
  ComposeRaster(s.Bits(s.in), s.Bits(s.out), {3, 1, 0, 0, false});
  // Rows 1..6, columns 3..60 are black; the rest white.
  EXPECT_EQ(s.BlackOut().size(), std::size_t{(64 - 6) * (8 - 2)});
  EXPECT_EQ(s.BlackOut().front(), (std::pair<int, int>{3, 1}));
  EXPECT_EQ(s.BlackOut().back(), (std::pair<int, int>{60, 6}));
}

TEST(SheetRaster, FramesStayOnTheSheet) {
  SmallSheet s;
  SheetBits bits = s.Bits(s.in);
  DrawFrame(bits, 2, 2, {4, 3}, 1);
  EXPECT_EQ(CountBlack(bits), std::uint64_t{6 * 5 - 4 * 3});
  DrawFrame(bits, 62, 7, {10, 10}, 3);  // reaching far beyond the sheet
  EXPECT_LE(CountBlack(bits), std::uint64_t{64 * 8});
}

}  // namespace
}  // namespace k460::hbgraph
