// The driver frame: enabling the driver, devices and their capabilities,
// the signature checks of every entry point, banding and device resets.
#include <cstring>
#include <functional>

#include "driver/pcl/printer_common/nt/pclxl/xldriver.h"
#include "driver/pcl/printer_common/nt/pclxl/xlpdev.h"
#include "driver/pcl/printer_common/nt/pclxl/xlpool.h"
#include "platform/base/host.h"
#include "tests/driver/pcl/printer_common/nt/pclxl/xlgraph_test_support.h"

namespace xltest {
namespace {

using Lines = std::vector<std::string>;
using Change = std::function<void(JobSettings&)>;

JobSettings With(const Change& change) {
  JobSettings js = JobDefaults();
  if (change) change(js);
  return js;
}

void CustomPaper(JobSettings& js, float width, float length) {
  CustomPaperEntry& entry = js.pv.pvCustomPapers[0];
  entry.fWidth = width;
  entry.fLength = length;
  entry.lUnit = kUnitMillimetre;
  LeSet(js.dm.dmPaperSize, kFirstCustomPaperCode);
}

TEST_F(XlDriverTest, EnableDriverHandsTheFunctionTableInOrder) {
  DRVENABLEDATA data{};
  ASSERT_TRUE(DrvEnableDriver(DDI_DRIVER_VERSION_NT4, sizeof data, &data));
  EXPECT_EQ(data.iDriverVersion, 0x20000u);
  ASSERT_EQ(data.c, 25u);
  const std::pair<ULONG, PFN> expected[] = {
      {0, reinterpret_cast<PFN>(DrvEnablePDEV)},        {7, reinterpret_cast<PFN>(DrvResetPDEV)},
      {1, reinterpret_cast<PFN>(DrvCompletePDEV)},      {2, reinterpret_cast<PFN>(DrvDisablePDEV)},
      {3, reinterpret_cast<PFN>(DrvEnableSurface)},     {4, reinterpret_cast<PFN>(DrvDisableSurface)},
      {23, reinterpret_cast<PFN>(DrvTextOut)},          {26, reinterpret_cast<PFN>(DrvQueryFont)},
      {27, reinterpret_cast<PFN>(DrvQueryFontTree)},    {28, reinterpret_cast<PFN>(DrvQueryFontData)},
      {37, reinterpret_cast<PFN>(DrvGetGlyphMode)},     {32, reinterpret_cast<PFN>(DrvSendPage)},
      {33, reinterpret_cast<PFN>(DrvStartPage)},        {35, reinterpret_cast<PFN>(DrvStartDoc)},
      {34, reinterpret_cast<PFN>(DrvEndDoc)},           {18, reinterpret_cast<PFN>(DrvBitBlt)},
      {20, reinterpret_cast<PFN>(DrvStretchBlt)},       {19, reinterpret_cast<PFN>(DrvCopyBits)},
      {31, reinterpret_cast<PFN>(DrvLineTo)},           {14, reinterpret_cast<PFN>(DrvStrokePath)},
      {15, reinterpret_cast<PFN>(DrvFillPath)},         {16, reinterpret_cast<PFN>(DrvStrokeAndFillPath)},
      {12, reinterpret_cast<PFN>(DrvRealizeBrush)},     {57, reinterpret_cast<PFN>(DrvStartBanding)},
      {58, reinterpret_cast<PFN>(DrvNextBand)},
  };
  for (ULONG i = 0; i < data.c; ++i) {
    EXPECT_EQ(data.pdrvfn[i].iFunc, expected[i].first) << i;
    EXPECT_EQ(data.pdrvfn[i].pfn, expected[i].second) << i;
  }
  EXPECT_TRUE(DriverState().bNewEngine == FALSE);
  ASSERT_TRUE(DrvEnableDriver(ENGINE_VERSION, sizeof data, &data));
  EXPECT_TRUE(DriverState().bNewEngine);
  EXPECT_NE(DriverState().pDefaultGlyphSet, nullptr);
  EXPECT_EQ(DrvGetGlyphMode(nullptr, nullptr), 1u);
}

TEST_F(XlDriverTest, EnableDriverRefusesOldEnginesAndShortTables) {
  struct Case {
    const char* what;
    ULONG version;
    ULONG size;
    bool table;
  } cases[] = {
      {"engine older than 0x20000", 0x1FFFF, sizeof(DRVENABLEDATA), true},
      {"table of 11 bytes", ENGINE_VERSION, 11, true},
      // Shorter than the record the driver writes (12 bytes held it on 32-bit hosts only).
      {"table of 12 bytes", ENGINE_VERSION, 12, true},
      {"no table", ENGINE_VERSION, sizeof(DRVENABLEDATA), false},
  };
  for (const Case& c : cases) {
    DRVENABLEDATA data{};
    SetLastError(0);
    EXPECT_FALSE(DrvEnableDriver(c.version, c.size, c.table ? &data : nullptr)) << c.what;
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER)) << c.what;
    EXPECT_EQ(data.c, 0u) << c.what;
  }
  // Without its glyph set the driver cannot serve fonts: no driver.
  DrvDisableDriver();
  k460::InjectFault("EngComputeGlyphSet", 0, 1, ERROR_NOT_ENOUGH_MEMORY);
  DRVENABLEDATA data{};
  EXPECT_FALSE(DrvEnableDriver(ENGINE_VERSION, sizeof data, &data));
  k460::ClearFaults();
  EXPECT_TRUE(DrvEnableDriver(ENGINE_VERSION, sizeof data, &data));
}

TEST_F(XlDriverTest, QueryDriverInfoAnswersOnlyTheUserModeQuery) {
  struct Case {
    DWORD mode;
    DWORD size;
    BOOL result;
    DWORD needed;
    DWORD error;
  } cases[] = {
      {DRVQUERY_USERMODE, 4, TRUE, 4, 0},
      {DRVQUERY_USERMODE, 8, TRUE, 4, 0},
      {DRVQUERY_USERMODE, 3, FALSE, 4, ERROR_INSUFFICIENT_BUFFER},
      {2, 4, FALSE, 99, ERROR_INVALID_PARAMETER},
  };
  for (const Case& c : cases) {
    DWORD buffer[2] = {0, 0};
    DWORD needed = 99;
    SetLastError(0);
    EXPECT_EQ(DrvQueryDriverInfo(c.mode, buffer, c.size, &needed), c.result) << c.mode << "/" << c.size;
    EXPECT_EQ(needed, c.needed);
    EXPECT_EQ(buffer[0], c.result ? 1u : 0u);
    if (!c.result) {
      EXPECT_EQ(GetLastError(), c.error);
    }
  }
  DWORD buffer = 0;
  EXPECT_FALSE(DrvQueryDriverInfo(DRVQUERY_USERMODE, &buffer, 4, nullptr));
}

TEST_F(XlDriverTest, CapabilitiesFollowPaperOrientationAndResolution) {
  struct Case {
    const char* what;
    Change change;
    LONG dpi;
    ULONG horzMm, vertMm, horzRes, vertRes;
    LONG offset, physWidth, physHeight;
  } cases[] = {
      {"Letter at 600 dpi", [](JobSettings& js) { LeSet(js.dm.dmPaperSize, DMPAPER_LETTER); }, 600,
       208, 272, 4900, 6400, 100, 5100, 6600},
      {"Letter at 300 dpi",
       [](JobSettings& js) {
         LeSet(js.dm.dmPaperSize, DMPAPER_LETTER);
         LeSet(js.dm.dmPrintQuality, 300);
       },
       300, 208, 272, 2450, 3200, 50, 2550, 3300},
      {"Letter at 1200 dpi", [](JobSettings& js) { LeSet(js.dm.dmPaperSize, DMPAPER_LETTER); }, 1200,
       208, 272, 9800, 12800, 200, 10200, 13200},
      {"A4", nullptr, 600, 202, 289, 4760, 6814, 100, 4960, 7014},
      {"A4 in landscape", [](JobSettings& js) { LeSet(js.dm.dmOrientation, DMORIENT_LANDSCAPE); }, 600,
       289, 202, 6814, 4760, 100, 7014, 4960},
      {"custom 210 x 297 mm", [](JobSettings& js) { CustomPaper(js, 210.0f, 297.0f); }, 600,
       202, 289, 4760, 6815, 100, 4960, 7015},
      // The merge hands over a custom size already turned with the page;
      // the landscape row turns it once more.
      {"custom in landscape",
       [](JobSettings& js) {
         CustomPaper(js, 210.0f, 297.0f);
         LeSet(js.dm.dmOrientation, DMORIENT_LANDSCAPE);
       },
       600, 202, 289, 4760, 6815, 100, 4960, 7015},
      // A custom paper without a length is no paper of the table: it is
      // printed as Letter, as the PJL header and BeginPage name it.
      {"unknown paper", [](JobSettings& js) { CustomPaper(js, 100.0f, 0.0f); }, 600,
       208, 272, 4900, 6400, 100, 5100, 6600},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    PDEV* pdev = Enable(With(c.change));
    ASSERT_NE(pdev, nullptr);
    GDIINFO g;
    if (c.dpi == 1200) pdev->resolution = 1200;  // no merged record asks for it
    FillPclDevCaps(pdev, &g);
    if (c.dpi != 1200) {
      EXPECT_EQ(std::memcmp(&g, &caps(), sizeof g), 0) << "DrvEnablePDEV reports the same";
    }
    EXPECT_EQ(g.ulHorzSize, c.horzMm);
    EXPECT_EQ(g.ulVertSize, c.vertMm);
    EXPECT_EQ(g.ulHorzRes, c.horzRes);
    EXPECT_EQ(g.ulVertRes, c.vertRes);
    EXPECT_EQ(g.ptlPhysOffset.x, c.offset);
    EXPECT_EQ(g.ptlPhysOffset.y, c.offset);
    EXPECT_EQ(g.szlPhysSize.cx, c.physWidth);
    EXPECT_EQ(g.szlPhysSize.cy, c.physHeight);
    EXPECT_EQ(g.ulLogPixelsX, static_cast<ULONG>(c.dpi));
    EXPECT_EQ(g.ulLogPixelsY, static_cast<ULONG>(c.dpi));
    EXPECT_EQ(g.ulDevicePelsDPI, static_cast<ULONG>(c.dpi));
    EXPECT_EQ(pdev->surfaceWidth, static_cast<LONG>(c.horzRes));
    EXPECT_EQ(pdev->surfaceHeight, static_cast<LONG>(c.vertRes));
    Disable(pdev);
  }
}

TEST_F(XlDriverTest, CapabilitiesDescribeAMonochromeRasterPrinter) {
  ASSERT_NE(Enable(JobDefaults()), nullptr);
  const GDIINFO& g = caps();
  EXPECT_EQ(g.ulVersion, 0x400u);
  EXPECT_EQ(g.ulTechnology, DT_RASPRINTER);
  EXPECT_EQ(g.cBitsPixel, 1u);
  EXPECT_EQ(g.cPlanes, 1u);
  EXPECT_EQ(g.ulNumColors, 0xFFFFFFu);
  EXPECT_EQ(g.flTextCaps, 0x19EFu);
  EXPECT_EQ(g.ulAspectX, 60u);
  EXPECT_EQ(g.ulAspectY, 60u);
  EXPECT_EQ(g.ulAspectXY, 84u);
  EXPECT_EQ(g.denStyleStep, 24);
  EXPECT_EQ(g.ulNumPalReg, 256u);
  EXPECT_EQ(g.ciDevice.Red.x, 6700);
  EXPECT_EQ(g.ciDevice.Green.y, 7100);
  EXPECT_EQ(g.ciDevice.AlignmentWhite.y, 3290);
  EXPECT_EQ(g.ciDevice.BlueGamma, 20000);
  EXPECT_EQ(g.ulHTPatternSize, 15u);
  EXPECT_EQ(g.ulHTOutputFormat, HT_FORMAT_1BPP);
  EXPECT_EQ(g.flHTFlags, HT_FLAG_ADDITIVE_PRIMS);
}

TEST_F(XlDriverTest, DeviceInformationFollowsGraphicsAndTrueTypeModes) {
  struct Case {
    Change change;
    FLONG caps;
    ULONG fonts;
    LONG height;
  } cases[] = {
      {nullptr, 0x200081DF, 78, -83},
      {[](JobSettings& js) { js.pv.pvGraphicsMode = 1; }, 0x200081DE, 78, -83},
      {[](JobSettings& js) { js.pv.pvTrueTypeMode = 1; }, 0x200081DF, 0, -83},
      {[](JobSettings& js) {  // a watermark needs the printer's fonts
         js.pv.pvTrueTypeMode = 1;
         js.pv.pvWatermarkIndex = 2;
       },
       0x200081DF, 78, -83},
      {[](JobSettings& js) { LeSet(js.dm.dmPrintQuality, 300); }, 0x200081DF, 78, -41},
  };
  for (const Case& c : cases) {
    PDEV* pdev = Enable(With(c.change));
    ASSERT_NE(pdev, nullptr);
    const DEVINFO& d = info();
    EXPECT_EQ(d.flGraphicsCaps, c.caps);
    EXPECT_EQ(d.cFonts, c.fonts);
    EXPECT_EQ(d.lfDefaultFont.lfHeight, c.height);
    EXPECT_EQ(d.lfDefaultFont.lfWeight, 400);
    EXPECT_EQ(d.lfDefaultFont.lfCharSet, 1);
    EXPECT_EQ(d.lfDefaultFont.lfPitchAndFamily, 0x32);
    EXPECT_EQ(d.lfDefaultFont.lfFaceName[0], 0);
    EXPECT_EQ(std::u16string(d.lfAnsiVarFont.lfFaceName), u"CG Times (WN)");
    EXPECT_EQ(d.lfAnsiVarFont.lfPitchAndFamily, 0x22);
    EXPECT_EQ(std::u16string(d.lfAnsiFixFont.lfFaceName), u"CG Times (WN)");
    EXPECT_EQ(d.lfAnsiFixFont.lfPitchAndFamily, 0x32);
    EXPECT_EQ(d.iDitherFormat, BMF_24BPP);
    EXPECT_NE(d.hpalDefault, nullptr);
    EXPECT_EQ(d.hpalDefault, pdev->hpalDefault);
    Disable(pdev);
  }
}

TEST_F(XlDriverTest, DeviceDataTakesTheMergedSettings) {
  struct Case {
    const char* what;
    Change change;
    int paperIndex;
    int pagesPerSheet;
    int duplex;
  } cases[] = {
      {"A4", nullptr, 5, 1, 1},
      {"A3", [](JobSettings& js) { LeSet(js.dm.dmPaperSize, DMPAPER_A3); }, 4, 1, 1},
      {"Executive", [](JobSettings& js) { LeSet(js.dm.dmPaperSize, 7); }, 11, 1, 1},
      {"Kaku-2", [](JobSettings& js) { LeSet(js.dm.dmPaperSize, 71); }, 20, 1, 1},
      {"custom paper", [](JobSettings& js) { CustomPaper(js, 100.0f, 150.0f); }, 5, 1, 1},
      {"booklet", [](JobSettings& js) { js.pv.pvBookletBinding = 2; }, 5, 2, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    PDEV* pdev = Enable(With(c.change));
    ASSERT_NE(pdev, nullptr);
    const JobSettings& js = pdev->settings;
    EXPECT_EQ(js.pv.pvPaperIndex, c.paperIndex);
    EXPECT_EQ(js.pv.pvPagesPerSheet, c.pagesPerSheet);
    EXPECT_EQ(EffectiveDuplex(&js), c.duplex);
    EXPECT_EQ(js.pv.pvNewEngine, 1);
    EXPECT_EQ(pdev->resolution, 600);
    Disable(pdev);
  }
  // Without a device mode the device prints with the defaults of the locale.
  HSURF patterns[HS_DDI_MAX + 2];
  std::memset(patterns, 0xCC, sizeof patterns);
  GDIINFO g;
  DEVINFO d;
  auto* pdev = reinterpret_cast<PDEV*>(
      DrvEnablePDEV(nullptr, nullptr, HS_DDI_MAX + 2, patterns, sizeof g, &g, sizeof d, &d, nullptr, nullptr, printer()));
  ASSERT_NE(pdev, nullptr);
  EXPECT_EQ(LeGet(pdev->settings.dm.dmPaperSize), DMPAPER_A4);
  for (ULONG i = 0; i < HS_DDI_MAX + 2; ++i)
    EXPECT_EQ(patterns[i], reinterpret_cast<HSURF>(static_cast<ULONG_PTR>(i < HS_DDI_MAX ? i : 0))) << i;
  DrvDisablePDEV(reinterpret_cast<DHPDEV>(pdev));
}

TEST_F(XlDriverTest, EnablingThatFailsLeavesNothingBehind) {
  struct Case {
    const char* function;
    int skip;
  } cases[] = {
      {"GlobalAlloc", 0},      // the pool
      {"GlobalAlloc", 1},      // the device record
      {"LocalAlloc", 0},       // the merge's scratch copy
      {"EngCreatePalette", 0},
  };
  for (const Case& c : cases) {
    k460::InjectFault(c.function, c.skip, 1, ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_EQ(Enable(JobDefaults()), nullptr) << c.function << " " << c.skip;
    k460::ClearFaults();
  }
  GDIINFO g;
  DEVINFO d;
  SetLastError(0);
  EXPECT_EQ(DrvEnablePDEV(nullptr, nullptr, 0, nullptr, sizeof g, nullptr, sizeof d, &d, nullptr, nullptr, printer()),
            nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(XlDriverTest, DamagedSignatureIsRefusedByEveryEntryPoint) {
  PDEV* pdev = Enable(JobDefaults());
  ASSERT_NE(pdev, nullptr);
  PDEV* other = Enable(JobDefaults());
  ASSERT_NE(other, nullptr);
  SURFOBJ* so = Surface(pdev);
  DHPDEV dh = reinterpret_cast<DHPDEV>(pdev);
  SURFOBJ bitmap{};
  bitmap.iType = STYPE_BITMAP;
  RECTL rect{0, 0, 10, 10};
  POINTL point{0, 0};
  STROBJ str{};
  FONTOBJ font{};
  using Call = std::function<bool()>;  // true: refused
  const std::pair<const char*, Call> calls[] = {
      {"DrvCompletePDEV", [&] { DrvCompletePDEV(dh, reinterpret_cast<HDEV>(0x99)); return pdev->hEngineDevice == nullptr; }},
      {"DrvResetPDEV", [&] { return !DrvResetPDEV(dh, reinterpret_cast<DHPDEV>(other)); }},
      {"DrvResetPDEV (new)", [&] { return !DrvResetPDEV(reinterpret_cast<DHPDEV>(other), dh); }},
      {"DrvEnableSurface", [&] { return DrvEnableSurface(dh) == nullptr; }},
      {"DrvStartDoc", [&] { return !DrvStartDoc(so, nullptr, 1); }},
      {"DrvStartPage", [&] { return !DrvStartPage(so); }},
      {"DrvSendPage", [&] { return !DrvSendPage(so); }},
      {"DrvEndDoc", [&] { return !DrvEndDoc(so, 0); }},
      {"DrvStartBanding", [&] { return !DrvStartBanding(so, &point); }},
      {"DrvNextBand", [&] { return !DrvNextBand(so, &point); }},
      {"DrvBitBlt", [&] { return !DrvBitBlt(so, nullptr, nullptr, nullptr, nullptr, &rect, nullptr, nullptr, nullptr, nullptr, 0xF0F0); }},
      {"DrvStretchBlt", [&] { return !DrvStretchBlt(so, &bitmap, nullptr, nullptr, nullptr, nullptr, nullptr, &rect, &rect, nullptr, 3); }},
      {"DrvCopyBits", [&] { return !DrvCopyBits(so, &bitmap, nullptr, nullptr, &rect, &point); }},
      {"DrvLineTo", [&] { return !DrvLineTo(so, nullptr, nullptr, 0, 0, 5, 5, &rect, R2_COPYPEN); }},
      {"DrvStrokePath", [&] { return !DrvStrokePath(so, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, R2_COPYPEN); }},
      {"DrvFillPath", [&] { return !DrvFillPath(so, nullptr, nullptr, nullptr, nullptr, R2_COPYPEN, 0); }},
      {"DrvStrokeAndFillPath", [&] { return !DrvStrokeAndFillPath(so, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, R2_COPYPEN, 0); }},
      {"DrvRealizeBrush", [&] { return !DrvRealizeBrush(nullptr, so, nullptr, nullptr, nullptr, 0); }},
      {"DrvTextOut", [&] { return !DrvTextOut(so, &str, &font, nullptr, nullptr, nullptr, nullptr, nullptr, &point, R2_COPYPEN); }},
      {"DrvQueryFont", [&] { return DrvQueryFont(dh, 0, 1, nullptr) == nullptr; }},
      {"DrvQueryFontTree", [&] { return DrvQueryFontTree(dh, 0, 1, QFT_GLYPHSET, nullptr) == nullptr; }},
      {"DrvQueryFontData", [&] { return DrvQueryFontData(dh, &font, QFD_MAXEXTENTS, 0, nullptr, nullptr, 0) == -1; }},
      {"DrvDisableSurface", [&] { DrvDisableSurface(dh); return true; }},
      {"DrvDisablePDEV", [&] { DrvDisablePDEV(dh); return true; }},  // the record must stay
  };
  for (DWORD PDEV::*signature : {&PDEV::dwSignature, &PDEV::dwSignature2}) {
    pdev->*signature = 0x5750434D;
    for (const auto& [name, call] : calls) {
      SetLastError(0);
      EXPECT_TRUE(call()) << name << (signature == &PDEV::dwSignature ? " (leading)" : " (trailing)");
    }
    pdev->*signature = PCL_DEVICE_SIGNATURE;
  }
  // No device at all.
  SURFOBJ none{};
  EXPECT_FALSE(DrvStartDoc(&none, nullptr, 1));
  EXPECT_FALSE(DrvStartDoc(nullptr, nullptr, 1));
  EXPECT_FALSE(DrvResetPDEV(nullptr, dh));
  // The intact device still works.
  EXPECT_EQ(DrvQueryFontTree(dh, 0, 1, QFT_GLYPHSET, nullptr), DriverState().pDefaultGlyphSet);
  EXPECT_TRUE(DrvStartDoc(so, nullptr, 1));
  EXPECT_TRUE(DrvEndDoc(so, 0));
}

TEST_F(XlDriverTest, BandsAre1100LinesUntilThePageEnds) {
  struct Case {
    const char* what;
    Change change;
    LONG height;  // 0: the paper's
    std::vector<LONG> tops;
  } cases[] = {
      {"A4 at 600 dpi", nullptr, 0, {0, 1100, 2200, 3300, 4400, 5500, 6600}},
      {"A4 at 300 dpi", [](JobSettings& js) { LeSet(js.dm.dmPrintQuality, 300); }, 0, {0, 1100, 2200, 3300}},
      {"6800 lines", nullptr, 6800, {0, 1100, 2200, 3300, 4400, 5500, 6600}},
      {"exactly one band", nullptr, 1100, {0}},
      {"one line more", nullptr, 1101, {0, 1100}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    HANDLE printer = k460::OpenCapturePrinter();
    PDEV* pdev = Enable(With([&](JobSettings& js) {
                          js.pv.pvGraphicsMode = 1;
                          if (c.change) c.change(js);
                        }),
                        printer);
    ASSERT_NE(pdev, nullptr);
    if (c.height) pdev->surfaceHeight = c.height;
    SURFOBJ* so = Surface(pdev);
    ASSERT_TRUE(DrvStartDoc(so, nullptr, 1) && DrvStartPage(so));
    POINTL origin{7, 7};
    ASSERT_TRUE(DrvStartBanding(so, &origin));
    std::vector<LONG> tops;
    while (origin.y != -1 && tops.size() < 20) {
      EXPECT_EQ(origin.x, 0);
      tops.push_back(origin.y);
      EXPECT_EQ(pdev->band.top, origin.y);
      EXPECT_EQ(pdev->band.width, pdev->surfaceWidth);
      EXPECT_EQ(pdev->band.height, 1100);
      ASSERT_TRUE(DrvNextBand(so, &origin));
    }
    EXPECT_EQ(tops, c.tops);
    EXPECT_EQ(origin.x, -1);
    EXPECT_EQ(pdev->band.top, 0) << "the next page starts at the first band";
    // After the last band the page was sent.
    EXPECT_EQ(Matching(Items(k460::CapturedOutput(printer), false), "EndPage").size(), 1u);
    ASSERT_TRUE(DrvEndDoc(so, 0));
    Disable(pdev);
    CloseHandle(printer);
  }
}

TEST_F(XlDriverTest, DrawingNotDoneByTheDriverIsLeftToTheEngine) {
  PDEV* pdev = Enable(JobDefaults());
  ASSERT_NE(pdev, nullptr);
  SURFOBJ* so = Surface(pdev);
  SURFOBJ bitmap{};
  bitmap.iType = STYPE_BITMAP;
  RECTL rect{0, 0, 10, 10};
  POINTL point{0, 0};
  auto leftToEngine = [](BOOL result) { return !result && GetLastError() == ERROR_NOT_SUPPORTED; };
  EXPECT_TRUE(leftToEngine(DrvLineTo(so, nullptr, nullptr, 0, 0, 5, 5, &rect, R2_COPYPEN)));
  EXPECT_TRUE(leftToEngine(DrvStrokePath(so, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, R2_COPYPEN)));
  EXPECT_TRUE(leftToEngine(DrvFillPath(so, nullptr, nullptr, nullptr, nullptr, R2_COPYPEN, 0)));
  EXPECT_TRUE(leftToEngine(DrvRealizeBrush(nullptr, so, nullptr, nullptr, nullptr, 0)));
  // Bitmaps go only to the device's surface.
  SetLastError(0);
  EXPECT_FALSE(DrvCopyBits(&bitmap, &bitmap, nullptr, nullptr, &rect, &point));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  // Fonts: the default glyph set only.
  DHPDEV dh = reinterpret_cast<DHPDEV>(pdev);
  ULONG_PTR id = 99;
  EXPECT_EQ(DrvQueryFontTree(dh, 0, 1, QFT_GLYPHSET, &id), DriverState().pDefaultGlyphSet);
  EXPECT_EQ(DrvQueryFontTree(dh, 0, 1, QFT_KERNPAIRS, &id), nullptr);
  EXPECT_EQ(DrvQueryFont(dh, 0, 1, &id), nullptr);
}

// A device that has printed one page of a document, and a new device for
// the same document with other settings.
struct ResetPair {
  PDEV* old = nullptr;
  PDEV* fresh = nullptr;
};

class XlResetTest : public XlDriverTest {
 protected:
  ResetPair StartAndReset(const JobSettings& before, const JobSettings& after) {
    ResetPair pair;
    pair.old = Enable(before);
    EXPECT_NE(pair.old, nullptr);
    SURFOBJ* so = Surface(pair.old);
    EXPECT_TRUE(DrvStartDoc(so, nullptr, 1) && DrvStartPage(so) && DrvSendPage(so));
    pair.fresh = Enable(after);
    EXPECT_NE(pair.fresh, nullptr);
    EXPECT_TRUE(DrvResetPDEV(reinterpret_cast<DHPDEV>(pair.old), reinterpret_cast<DHPDEV>(pair.fresh)));
    return pair;
  }
  // The rest of the document on the new device, as the engine drives it.
  void Finish(ResetPair& pair, int pages) {
    Disable(pair.old);
    SURFOBJ* so = Surface(pair.fresh);
    EXPECT_TRUE(DrvStartDoc(so, nullptr, 1));
    for (int page = 0; page < pages; ++page) EXPECT_TRUE(DrvStartPage(so) && DrvSendPage(so));
    EXPECT_TRUE(DrvEndDoc(so, 0));
  }
};

TEST_F(XlResetTest, PlainLayoutContinuesTheJobOnANewStream) {
  ResetPair pair = StartAndReset(JobDefaults(), With([](JobSettings& js) { LeSet(js.dm.dmPaperSize, DMPAPER_A3); }));
  EXPECT_EQ(pair.fresh->cPages, 1u);
  EXPECT_EQ(pair.fresh->settings.pv.pvPjlSent, 1);
  EXPECT_EQ(pair.fresh->paper.paperId, DMPAPER_A3);
  EXPECT_EQ(pair.fresh->pStream, nullptr);
  EXPECT_NE(pair.old->pStream, nullptr);
  Finish(pair, 1);
  Lines items = Items(Output());
  EXPECT_EQ(Matching(items, "PJL @PJL ENTER").size(), 1u) << "one job header";
  EXPECT_EQ(Matching(items, "BeginPage"),
            (Lines{"BeginPage Orientation=ubyte(0) MediaSize=ubyte(2) MediaSource=ubyte(1)",
                   "BeginPage Orientation=ubyte(0) MediaSize=ubyte(5) MediaSource=ubyte(1)"}));
  EXPECT_EQ(Matching(items, "EndSession").size(), 1u);
}

TEST_F(XlResetTest, StoredJobHandsItsStreamAndCommandOver) {
  auto reverse = With([](JobSettings& js) { js.pv.pvReverseOrder = 1; });
  PDEV* old = Enable(reverse);
  ASSERT_NE(old, nullptr);
  SURFOBJ* so = Surface(old);
  ASSERT_TRUE(DrvStartDoc(so, nullptr, 1) && DrvStartPage(so) && DrvSendPage(so));
  XlStream* stream = old->pStream;
  ResetPair pair{old, Enable(reverse)};
  ASSERT_TRUE(DrvResetPDEV(reinterpret_cast<DHPDEV>(old), reinterpret_cast<DHPDEV>(pair.fresh)));
  EXPECT_EQ(pair.fresh->pStream, stream);
  EXPECT_EQ(old->pStream, nullptr) << "the old device must not close the stream it gave away";
  EXPECT_EQ(pair.fresh->dwStoreCommand, old->dwStoreCommand);
  EXPECT_EQ(stream->devParams.dwStoreCommand, old->dwStoreCommand);
  Finish(pair, 1);
  Lines items = Items(Output());
  EXPECT_EQ(Matching(items, "BeginPage").size(), 2u);
  EXPECT_EQ(Matching(items, "PJL @PJL ENTER").size(), 1u);
}

TEST_F(XlResetTest, SheetUnderConstructionKeepsItsPaper) {
  auto twoUp = [](SHORT paper) {
    return With([paper](JobSettings& js) {
      js.pv.pvPagesPerSheet = 2;
      LeSet(js.dm.dmPaperSize, paper);
    });
  };
  ResetPair pair = StartAndReset(twoUp(DMPAPER_A4), twoUp(DMPAPER_A3));
  EXPECT_EQ(pair.fresh->paper.paperId, DMPAPER_A4);
  Finish(pair, 1);
  Lines items = Items(Output());
  EXPECT_EQ(Matching(items, "BeginPage").size(), 1u) << "the second page shares the first one's sheet";
  EXPECT_EQ(Matching(items, "EndPage").size(), 1u);
}

TEST_F(XlResetTest, DownloadedFontsMoveWithFreshCopiesOfTheirArrays) {
  PDEV* old = Enable(JobDefaults());
  ASSERT_NE(old, nullptr);
  TTDownloadEntry& entry = old->fonts.pDownloads[0];
  entry.cGlyphs = 10;
  entry.phgVector = static_cast<HGLYPH*>(HEAPALLOC(old->pPool, GlyphVectorBytes(10)));
  entry.DefinedGlyphs = static_cast<BYTE*>(HEAPALLOC(old->pPool, DefinedGlyphBytes(10)));
  entry.adwMappedIndex = static_cast<DWORD*>(HEAPALLOC(old->pPool, MappedIndexBytes(10)));
  for (ULONG i = 0; i < 10; ++i) {
    entry.phgVector[i] = 100 + i;
    entry.adwMappedIndex[i] = 200 + i;
  }
  entry.DefinedGlyphs[1] = 0x03;
  old->fonts.cDownloaded = 1;
  old->fonts.iNextDownload = 1;
  PDEV* fresh = Enable(JobDefaults());
  ASSERT_NE(fresh, nullptr);
  ASSERT_TRUE(DrvResetPDEV(reinterpret_cast<DHPDEV>(old), reinterpret_cast<DHPDEV>(fresh)));
  Disable(old);  // its pool, and the old arrays with it, are gone
  const TTDownloadEntry& copy = fresh->fonts.pDownloads[0];
  EXPECT_EQ(fresh->fonts.cDownloaded, 1u);
  EXPECT_EQ(fresh->fonts.iNextDownload, 1u);
  ASSERT_EQ(copy.cGlyphs, 10u);
  EXPECT_EQ(copy.phgVector[9], 109u);
  EXPECT_EQ(copy.adwMappedIndex[9], 209u);
  EXPECT_EQ(copy.DefinedGlyphs[1], 0x03);
}

TEST_F(XlResetTest, ResetOfADamagedDeviceIsRefused) {
  PDEV* old = Enable(JobDefaults());
  PDEV* fresh = Enable(JobDefaults());
  ASSERT_TRUE(old && fresh);
  fresh->dwSignature2 = 0;
  SetLastError(0);
  EXPECT_FALSE(DrvResetPDEV(reinterpret_cast<DHPDEV>(old), reinterpret_cast<DHPDEV>(fresh)));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  fresh->dwSignature2 = PCL_DEVICE_SIGNATURE;
}

}  // namespace
}  // namespace xltest
