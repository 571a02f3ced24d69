// Lines, curves and shapes as a driver receives them: path records, line
// attributes and transforms, DrvLineTo for plain lines, the fill modes and
// curves offered per the device's capabilities, brush realisation of
// hatches, and what the engine does when the driver refuses a path.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

#include "tests/platform/engine/engine_test_support.h"
#include "tests/platform/engine/pixel_helpers.h"

namespace k460::testing {
namespace {

using engine::Brush;
using engine::FillMode;
using engine::Path;
using engine::Pen;
using engine::RGB;

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr FLONG kPathHooks = HOOK_STROKEPATH | HOOK_FILLPATH | HOOK_STROKEANDFILLPATH | HOOK_LINETO;
constexpr FLONG kBothFills = GCAPS_ALTERNATEFILL | GCAPS_WINDINGFILL;
constexpr MIX kCopyPen = R2_COPYPEN | (R2_COPYPEN << 8);

POINTFIX Fix(LONG x, LONG y) { return {x * 16, y * 16}; }
bool Same(POINTFIX a, POINTFIX b) { return a.x == b.x && a.y == b.y; }
bool SameRect(const RECTL& a, const RECTL& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

class PathDriverTest : public EngineDriverTest {
 protected:
  std::unique_ptr<engine::DeviceContext> OpenPage(const TestDriverSettings& settings) {
    auto dc = Open(settings);
    EXPECT_TRUE(dc && dc->StartDoc(u"doc") && dc->StartPage());
    return dc;
  }
  std::vector<DrawRecord> Calls(const std::string& name) {
    std::vector<DrawRecord> out;
    for (const DrawRecord& r : journal().draws) {
      if (r.call == name) out.push_back(r);
    }
    return out;
  }
  std::vector<std::string> CallNames() {
    std::vector<std::string> names;
    for (const DrawRecord& r : journal().draws) names.push_back(r.call);
    return names;
  }
  // The black pixels of the same drawing done by the engine on a memory device.
  static long EngineCount(LONG width, LONG height, const std::function<void(engine::DeviceContext&)>& draw) {
    auto dc = engine::DeviceContext::OpenBitmap(width, height, BMF_1BPP);
    dc->FillRect({0, 0, width, height}, RGB(255, 255, 255));
    draw(*dc);
    long n = 0;
    for (LONG y = 0; y < height; ++y) {
      for (LONG x = 0; x < width; ++x) n += SurfacePixel(dc->Surface(), x, y) == 0;
    }
    return n;
  }
};

TEST_F(PathDriverTest, StrokesReachTheDriverAsRecordsWithTheirLineAttributes) {
  TestDriverSettings settings;
  settings.hooks = kPathHooks;
  settings.graphicsCaps = GCAPS_BEZIERS | GCAPS_GEOMETRICWIDE | kBothFills;
  auto dc = OpenPage(settings);
  // Two figures: a line and a curve, then a closed triangle.
  Path path;
  path.MoveTo(2, 3).LineTo(10, 3).BezierTo({12, 3}, {14, 5}, {14, 8}).LineTo(14, 12);
  path.MoveTo(20, 20).LineTo(30, 20).LineTo(25, 28).Close();
  Pen pen = Pen::Solid(RGB(0x10, 0x20, 0x30), 2.5f);
  pen.join = JOIN_BEVEL;
  pen.cap = ENDCAP_SQUARE;
  pen.miterLimit = 4;
  pen.style = Pen::Style::Dash;
  ASSERT_TRUE(dc->StrokePath(path, pen));
  ASSERT_EQ(journal().draws.size(), 1u);
  const DrawRecord& r = journal().draws[0];
  EXPECT_EQ(r.call, "DrvStrokePath");
  EXPECT_EQ(r.pathFlags, PO_BEZIERS);
  // A record per run of lines or curves; the triangle's lines share the
  // record that begins, ends and closes its figure.
  ASSERT_EQ(r.path.size(), 4u);
  struct Expected {
    FLONG flags;
    std::vector<POINTFIX> points;
  } expected[] = {
      {PD_BEGINSUBPATH, {Fix(2, 3), Fix(10, 3)}},
      {PD_BEZIERS, {Fix(12, 3), Fix(14, 5), Fix(14, 8)}},
      {PD_ENDSUBPATH, {Fix(14, 12)}},
      {PD_BEGINSUBPATH | PD_ENDSUBPATH | PD_CLOSEFIGURE, {Fix(20, 20), Fix(30, 20), Fix(25, 28)}},
  };
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(r.path[i].flags, expected[i].flags) << i;
    ASSERT_EQ(r.path[i].points.size(), expected[i].points.size()) << i;
    for (size_t k = 0; k < expected[i].points.size(); ++k) EXPECT_TRUE(Same(r.path[i].points[k], expected[i].points[k]));
  }
  EXPECT_EQ(r.pathBounds.xLeft, 2 * 16);
  EXPECT_EQ(r.pathBounds.yBottom, 28 * 16);
  ASSERT_TRUE(r.hasLineAttrs);
  EXPECT_EQ(r.lineFlags, LA_GEOMETRIC | LA_STYLED);
  EXPECT_EQ(r.width.e, 2.5f);
  EXPECT_EQ(r.join, JOIN_BEVEL);
  EXPECT_EQ(r.cap, ENDCAP_SQUARE);
  EXPECT_EQ(r.miterLimit, 4.0f);
  ASSERT_EQ(r.style.size(), 2u);
  EXPECT_EQ(r.style[0].e, 7.5f) << "a dash of three widths";
  EXPECT_EQ(r.style[1].e, 2.5f);
  EXPECT_EQ(r.xformKind, GX_IDENTITY);
  EXPECT_EQ(r.brushColor, RGB(0x10, 0x20, 0x30));
  EXPECT_EQ(r.mix, kCopyPen);
  EXPECT_EQ(r.complexity, DC_RECT) << "the square caps reach past the page's left edge";
  EXPECT_EQ(r.clipBounds.left, 0);

  // A cosmetic styled pen under a world transform.
  journal().draws.clear();
  XFORML m{2, 0, 0, 3, 5, 7};
  dc->SetWorldTransform(m);
  Pen dots = Pen::Solid(kBlack);
  dots.style = Pen::Style::DashDot;
  ASSERT_TRUE(dc->Polyline({{0, 0}, {4, 0}, {4, 2}}, dots));
  ASSERT_EQ(journal().draws.size(), 1u);
  const DrawRecord& t = journal().draws[0];
  EXPECT_EQ(t.lineFlags, LA_STYLED);
  EXPECT_EQ(t.width.l, 1);
  ASSERT_EQ(t.style.size(), 4u);
  EXPECT_EQ(t.style[0].l, 3);
  EXPECT_EQ(t.style[3].l, 1);
  EXPECT_EQ(t.xformKind, GX_SCALE);
  EXPECT_EQ(t.xform.eM22, 3.0f);
  EXPECT_EQ(t.xform.eDy, 7.0f);
  ASSERT_EQ(t.path.size(), 1u);
  ASSERT_EQ(t.path[0].points.size(), 3u);
  EXPECT_TRUE(Same(t.path[0].points[1], Fix(13, 7)));
  EXPECT_TRUE(Same(t.path[0].points[2], Fix(13, 13)));
}

TEST_F(PathDriverTest, CurvesAreFlattenedForDevicesThatCannotDrawThem) {
  TestDriverSettings settings;
  settings.hooks = kPathHooks;
  settings.graphicsCaps = kBothFills;
  auto dc = OpenPage(settings);
  POINTL p0{0, 40}, p1{0, 0}, p2{60, 0}, p3{60, 40};
  ASSERT_TRUE(dc->PolyBezier({p0, p1, p2, p3}, Pen::Solid(kBlack)));
  ASSERT_EQ(journal().draws.size(), 1u);
  const DrawRecord& r = journal().draws[0];
  EXPECT_EQ(r.pathFlags, 0u);
  ASSERT_EQ(r.path.size(), 1u);
  EXPECT_EQ(r.path[0].flags, PD_BEGINSUBPATH | PD_ENDSUBPATH);
  const auto& points = r.path[0].points;
  ASSERT_GT(points.size(), 8u);
  EXPECT_TRUE(Same(points.front(), Fix(0, 40)));
  EXPECT_TRUE(Same(points.back(), Fix(60, 40)));
  // Every point lies on the curve: near the curve point of its own x.
  for (POINTFIX p : points) {
    double best = 1e9;
    for (int i = 0; i <= 2000; ++i) {
      double t = i / 2000.0, u = 1 - t;
      double x = 3 * u * t * t * 60 + t * t * t * 60;
      double y = u * u * u * 40 + t * t * t * 40;
      best = std::min(best, std::hypot(x - p.x / 16.0, y - p.y / 16.0));
    }
    EXPECT_LT(best, 0.3) << p.x << "," << p.y;
  }
}

TEST_F(PathDriverTest, EachShapeGoesToTheCallItsHooksAndCapabilitiesAllow) {
  Path triangle;
  triangle.MoveTo(4, 4).LineTo(30, 4).LineTo(4, 30).Close();
  Pen styled = Pen::Solid(kBlack);
  styled.style = Pen::Style::Dot;
  struct Case {
    const char* what;
    FLONG hooks;
    FLONG caps;
    std::function<bool(engine::DeviceContext&)> draw;
    std::vector<std::string> calls;
    FLONG fillOptions = 0;
  } cases[] = {
      {"a plain line", kPathHooks, 0, [](auto& dc) { return dc.Line({1, 2}, {20, 9}, Pen::Solid(kBlack)); },
       {"DrvLineTo"}},
      {"a styled line", kPathHooks, 0, [&](auto& dc) { return dc.Line({1, 2}, {20, 9}, styled); },
       {"DrvStrokePath"}},
      {"a line without DrvLineTo", HOOK_STROKEPATH, 0,
       [](auto& dc) { return dc.Line({1, 2}, {20, 9}, Pen::Solid(kBlack)); }, {"DrvStrokePath"}},
      {"a wide line on a device that leaves widening to the engine", kPathHooks, kBothFills,
       [](auto& dc) { return dc.Line({1, 2}, {20, 9}, Pen::Solid(kBlack, 3)); }, {"DrvFillPath"}, FP_WINDINGMODE},
      {"a wide line on a device that widens", kPathHooks, kBothFills | GCAPS_GEOMETRICWIDE,
       [](auto& dc) { return dc.Line({1, 2}, {20, 9}, Pen::Solid(kBlack, 3)); }, {"DrvStrokePath"}},
      {"alternate fill", kPathHooks, GCAPS_ALTERNATEFILL,
       [&](auto& dc) { return dc.FillPath(triangle, Brush::Solid(kBlack), FillMode::Alternate); }, {"DrvFillPath"},
       FP_ALTERNATEMODE},
      {"winding fill on a device without it", kPathHooks | HOOK_PAINT, GCAPS_ALTERNATEFILL,
       [&](auto& dc) { return dc.FillPath(triangle, Brush::Solid(kBlack), FillMode::Winding); }, {"DrvPaint"}},
      {"winding fill", kPathHooks, kBothFills,
       [&](auto& dc) { return dc.FillPath(triangle, Brush::Solid(kBlack), FillMode::Winding); }, {"DrvFillPath"},
       FP_WINDINGMODE},
      {"outline and inside", kPathHooks, kBothFills,
       [&](auto& dc) { return dc.StrokeAndFillPath(triangle, Pen::Solid(kBlack), Brush::Solid(kBlack)); },
       {"DrvStrokeAndFillPath"}, FP_ALTERNATEMODE},
      {"outline and inside, taken apart", HOOK_STROKEPATH | HOOK_FILLPATH, kBothFills,
       [&](auto& dc) { return dc.StrokeAndFillPath(triangle, Pen::Solid(kBlack), Brush::Solid(kBlack)); },
       {"DrvFillPath", "DrvStrokePath"}, FP_ALTERNATEMODE},
      {"a fill without path hooks", HOOK_BITBLT, kBothFills,
       [&](auto& dc) { return dc.FillPath(triangle, Brush::Solid(kBlack)); }, {"DrvBitBlt"}},
      {"nothing of it hooked", 0, kBothFills,
       [&](auto& dc) { return dc.StrokeAndFillPath(triangle, Pen::Solid(kBlack), Brush::Solid(kBlack)); }, {}},
  };
  for (const Case& c : cases) {
    journal().Clear();
    TestDriverSettings settings;
    settings.hooks = c.hooks;
    settings.graphicsCaps = c.caps;
    auto dc = OpenPage(settings);
    ASSERT_TRUE(c.draw(*dc)) << c.what;
    EXPECT_EQ(CallNames(), c.calls) << c.what;
    for (const DrawRecord& r : journal().draws) {
      if (r.call == "DrvFillPath" || r.call == "DrvStrokeAndFillPath") {
        EXPECT_EQ(r.fillOptions, c.fillOptions) << c.what;
      }
    }
  }
}

TEST_F(PathDriverTest, PlainLinesComeAsDrvLineToWithTheirMix) {
  TestDriverSettings settings;
  settings.hooks = kPathHooks;
  settings.graphicsCaps = GCAPS_GEOMETRICWIDE;
  auto dc = OpenPage(settings);
  dc->SetClip({{0, 0, 10, 48}, {20, 0, 64, 48}});
  dc->SetMix(R2_XORPEN);
  ASSERT_TRUE(dc->Line({30, 12}, {3, 5}, Pen::Solid(RGB(1, 2, 3))));
  ASSERT_EQ(journal().draws.size(), 1u);
  const DrawRecord& r = journal().draws[0];
  EXPECT_EQ(r.call, "DrvLineTo");
  EXPECT_EQ(r.lineFrom.x, 30);
  EXPECT_EQ(r.lineFrom.y, 12);
  EXPECT_EQ(r.lineTo.x, 3);
  EXPECT_EQ(r.lineTo.y, 5);
  EXPECT_TRUE(SameRect(r.lineBounds, {3, 5, 31, 13}));
  EXPECT_EQ(r.mix, R2_XORPEN | (R2_XORPEN << 8));
  EXPECT_EQ(r.solidColor, RGB(1, 2, 3));
  EXPECT_EQ(r.complexity, DC_COMPLEX) << "the gap in the clip crosses the line";
  // The complex clip as a path: one closed rectangle per piece.
  ASSERT_EQ(r.clipPath.size(), 0u) << "DrvLineTo does not ask for it";
  journal().draws.clear();
  ASSERT_TRUE(dc->StrokePath(Path().MoveTo(0, 1).LineTo(40, 1), Pen::Solid(kBlack, 2)));
  ASSERT_FALSE(journal().draws.empty());
  const DrawRecord& fill = journal().draws[0];
  ASSERT_EQ(fill.clipPath.size(), fill.clipRects[CD_ANY].size());
  for (size_t i = 0; i < fill.clipPath.size(); ++i) {
    const RECTL& rect = fill.clipRects[CD_ANY][i];
    const PathRecord& piece = fill.clipPath[i];
    EXPECT_EQ(piece.flags, PD_BEGINSUBPATH | PD_ENDSUBPATH | PD_CLOSEFIGURE);
    ASSERT_EQ(piece.points.size(), 4u);
    EXPECT_TRUE(Same(piece.points[0], Fix(rect.left, rect.top)));
    EXPECT_TRUE(Same(piece.points[2], Fix(rect.right, rect.bottom)));
  }
}

TEST_F(PathDriverTest, RefusedFillsArePaintedThroughAClipOfTheirPixels) {
  std::vector<POINTL> star{{32, 2}, {50, 46}, {4, 16}, {60, 16}, {14, 46}};
  long expected = EngineCount(64, 48, [&](auto& dc) {
    dc.Polygon(star, Pen::None(), Brush::Solid(kBlack), FillMode::Winding);
  });
  ASSERT_GT(expected, 500);
  struct Case {
    FLONG hooks;
    std::vector<std::string> calls;
  } cases[] = {
      {HOOK_FILLPATH | HOOK_PAINT | HOOK_BITBLT, {"DrvFillPath", "DrvPaint"}},
      {HOOK_FILLPATH | HOOK_BITBLT, {"DrvFillPath", "DrvBitBlt"}},
  };
  for (const Case& c : cases) {
    journal().Clear();
    TestDriverSettings settings;
    settings.hooks = c.hooks;
    settings.graphicsCaps = kBothFills;
    settings.flags = kRefusePaths | kDraw;
    auto dc = OpenPage(settings);
    ASSERT_TRUE(dc->Polygon(star, Pen::None(), Brush::Solid(kBlack), FillMode::Winding));
    ASSERT_EQ(CallNames(), c.calls);
    const DrawRecord& paint = journal().draws[1];
    EXPECT_EQ(paint.complexity, DC_COMPLEX);
    long area = 0;
    for (const RECTL& rect : paint.clipRects[CD_RIGHTDOWN]) area += Area(rect);
    EXPECT_EQ(area, expected) << "the clip is the fill's pixels";
    if (paint.call == "DrvBitBlt") {
      EXPECT_EQ(paint.rop4, 0xF0F0u);
    } else {
      EXPECT_EQ(paint.mix, kCopyPen);
    }
    ASSERT_TRUE(dc->EndPage());
    EXPECT_EQ(BlackPixels(journal().pages.back(), journal().pageStride, {0, 0, 64, 48}), expected);
  }
}

TEST_F(PathDriverTest, RefusedStrokeAndFillIsDrawnWhereTheDriverLeftItsScanPointer) {
  TestDriverSettings settings;
  settings.surfaceKind = SurfaceKind::DriverMemory;
  settings.hooks = HOOK_STROKEANDFILLPATH;
  settings.graphicsCaps = kBothFills;
  settings.flags = kRefusePaths;
  settings.scanOffsetY = 10;
  auto dc = OpenPage(settings);
  ASSERT_TRUE(dc->Rectangle({4, 4, 20, 12}, Pen::Solid(kBlack), Brush::Solid(kBlack)));
  ASSERT_TRUE(dc->EndPage());
  EXPECT_EQ(CallNames(), std::vector<std::string>{"DrvStrokeAndFillPath"});
  // Inside and outline: 17 x 9 pixels, 10 rows further down the memory.
  LONG stride = journal().pageStride;
  EXPECT_EQ(BlackPixels(journal().pages.back(), stride, {4, 14, 21, 23}), 17 * 9);
  EXPECT_EQ(BlackPixels(journal().pages.back(), stride, {0, 0, 64, 48}), 17 * 9);
}

TEST_F(PathDriverTest, HatchBrushesAreRealisedWithTheirStyle) {
  struct Case {
    const char* what;
    DWORD flags;
    SIZEL size;
    BYTE firstRow;
  } cases[] = {
      {"the engine's hatches", 0, {8, 8}, 0x7E},
      {"numbers where the driver's hatches would be", kNumberedPatterns, {8, 8}, 0x7E},
      {"the driver's own hatches", kOwnHatches, {16, 16}, 0x00},
  };
  for (const Case& c : cases) {
    journal().Clear();
    TestDriverSettings settings;
    settings.hooks = HOOK_BITBLT;
    settings.flags = c.flags;
    auto dc = OpenPage(settings);
    ASSERT_TRUE(dc->PatBlt({0, 0, 16, 16}, Brush::Hatched(HS_DIAGCROSS, RGB(200, 0, 0), RGB(0, 0, 90)),
                           ROP3_PATCOPY)) << c.what;
    // The driver asks for the realisation while it looks at the brush.
    ASSERT_EQ(CallNames(), (std::vector<std::string>{"DrvRealizeBrush", "DrvBitBlt"})) << c.what;
    const DrawRecord& realize = journal().draws[0];
    const DrawRecord& blt = journal().draws[1];
    EXPECT_EQ(blt.solidColor, BRUSHOBJ_NOT_SOLID) << c.what;
    EXPECT_EQ(blt.brushColor, BRUSHOBJ_NOT_SOLID) << c.what;
    EXPECT_EQ(blt.realizedPattern.cx, c.size.cx) << c.what;
    EXPECT_EQ(realize.hatch, HS_DIAGCROSS) << c.what;
    EXPECT_EQ(realize.sourceFormat, BMF_1BPP) << c.what;
    ASSERT_FALSE(realize.patternRows.empty()) << c.what;
    EXPECT_EQ(realize.patternRows[0], c.firstRow) << c.what;
    // Index 0 is the line colour, index 1 the background, in the device's RGB palette.
    ASSERT_GE(realize.translated.size(), 2u) << c.what;
    EXPECT_EQ(realize.translated[0], RGB(200, 0, 0)) << c.what;
    EXPECT_EQ(realize.translated[1], RGB(0, 0, 90)) << c.what;
  }
  // A pattern brush is realised as a pattern.
  journal().Clear();
  TestDriverSettings settings;
  settings.hooks = kPathHooks;
  settings.graphicsCaps = kBothFills;
  auto dc = OpenPage(settings);
  BYTE bits[8 * 4] = {};
  engine::Image image;
  image.width = image.height = 8;
  image.format = BMF_1BPP;
  image.bits = bits;
  image.stride = 4;
  ASSERT_TRUE(dc->FillPath(Path().MoveTo(0, 0).LineTo(10, 0).LineTo(0, 10).Close(), Brush::Pattern(image)));
  ASSERT_EQ(CallNames(), (std::vector<std::string>{"DrvRealizeBrush", "DrvFillPath"}));
  EXPECT_EQ(journal().draws[0].hatch, HS_DDI_MAX);
  EXPECT_EQ(journal().draws[1].realizedPattern.cx, 8);
}

TEST_F(PathDriverTest, BandsGetThePathInBandCoordinates) {
  TestDriverSettings settings;
  settings.hooks = kPathHooks;
  settings.graphicsCaps = kBothFills;
  settings.height = 48;
  settings.bandHeight = 16;
  auto dc = OpenPage(settings);
  ASSERT_TRUE(dc->FillPath(Path().MoveTo(4, 10).LineTo(40, 10).LineTo(40, 20).Close(), Brush::Solid(kBlack)));
  ASSERT_TRUE(dc->EndPage());
  // The shape reaches bands 0 and 1 only.
  auto fills = Calls("DrvFillPath");
  ASSERT_EQ(fills.size(), 2u);
  for (int band = 0; band < 2; ++band) {
    EXPECT_EQ(fills[band].bandTop, 16 * band);
    EXPECT_TRUE(Same(fills[band].path[0].points[0], Fix(4, 10 - 16 * band)));
  }
  // Drawn by the engine, the banded page is the page drawn at once.
  auto draw = [](engine::DeviceContext& dc) {
    Pen pen = Pen::Solid(kBlack, 5);
    pen.style = Pen::Style::Dash;
    dc.StrokePath(Path().MoveTo(2, 2).BezierTo({60, 0}, {0, 60}, {60, 45}), pen);
    dc.Line({0, 47}, {63, 0}, Pen::Solid(kBlack));
  };
  journal().Clear();
  TestDriverSettings plain;
  plain.height = 48;
  auto whole = OpenPage(plain);
  draw(*whole);
  ASSERT_TRUE(whole->EndPage());
  std::vector<BYTE> expected = journal().pages.back();
  plain.bandHeight = 16;
  auto banded = OpenPage(plain);
  draw(*banded);
  ASSERT_TRUE(banded->EndPage());
  EXPECT_EQ(journal().pages.back(), expected);
  EXPECT_GT(BlackPixels(expected, journal().pageStride, {0, 0, 64, 48}), 300);
}

// A driver that strokes and fills through the engine on its device-managed
// surface gets the page the engine draws on its own bitmap.
TEST_F(PathDriverTest, PathsHandedBackByADeviceSurfaceMatchTheEngineBitmap) {
  auto draw = [&](const TestDriverSettings& settings) {
    journal().Clear();
    auto dc = OpenPage(settings);
    std::vector<POINTL> star{{32, 2}, {50, 46}, {4, 16}, {60, 16}, {14, 46}};
    EXPECT_TRUE(dc->Polygon(star, Pen::Solid(kBlack), Brush::Hatched(HS_FDIAGONAL, kBlack), FillMode::Winding));
    EXPECT_TRUE(dc->Line({0, 0}, {63, 40}, Pen::Solid(kBlack)));
    dc->SetMix(R2_NOT);
    EXPECT_TRUE(dc->FillPath(Path().MoveTo(10, 10).LineTo(30, 10).LineTo(30, 30).Close(), Brush::Solid(kBlack)));
    EXPECT_TRUE(dc->EndPage() && dc->EndDoc());
    return journal().pages.back();
  };
  TestDriverSettings plain;
  std::vector<BYTE> expected = draw(plain);
  TestDriverSettings device;
  device.surfaceKind = SurfaceKind::DeviceSurface;
  device.hooks = kPathHooks | HOOK_BITBLT | HOOK_COPYBITS;
  device.graphicsCaps = kBothFills;
  device.flags = kDraw | kReadableDevice;
  EXPECT_EQ(draw(device), expected);
  EXPECT_FALSE(Calls("DrvStrokeAndFillPath").empty());
  EXPECT_FALSE(Calls("DrvLineTo").empty());
}

}  // namespace
}  // namespace k460::testing
