// The engine's own drawing of lines, curves and filled shapes, checked by
// counting black pixels: fills by both rules, cosmetic and wide lines with
// their caps, joins and dashes, Bezier curves, hatches and clip paths.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "platform/engine/device_context.h"
#include "tests/platform/engine/pixel_helpers.h"
#include "tests/support/machine_fixture.h"

namespace k460::testing {
namespace {

using engine::Brush;
using engine::DeviceContext;
using engine::FillMode;
using engine::Path;
using engine::Pen;
using engine::RGB;

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// Pixels (x, y) inside a polygon by the rule the engine promises, worked
// out independently: the centre (x, y) counted by its crossings to the left.
long ReferenceCount(const std::vector<POINTL>& polygon, bool winding, LONG width, LONG height) {
  long count = 0;
  for (LONG y = 0; y < height; ++y) {
    for (LONG x = 0; x < width; ++x) {
      int wind = 0, crossings = 0;
      for (size_t i = 0; i < polygon.size(); ++i) {
        POINTL a = polygon[i], b = polygon[(i + 1) % polygon.size()];
        if (a.y == b.y) continue;
        int dir = b.y > a.y ? 1 : -1;
        if (a.y > b.y) std::swap(a, b);
        if (y < a.y || y >= b.y) continue;
        double crossX = a.x + double(y - a.y) * (b.x - a.x) / (b.y - a.y);
        if (crossX <= x) {
          wind += dir;
          ++crossings;
        }
      }
      count += winding ? wind != 0 : crossings % 2;
    }
  }
  return count;
}

class PathRenderTest : public MachineTest {
 protected:
  void SetUp() override {
    MachineTest::SetUp();
    dc_ = DeviceContext::OpenBitmap(256, 200, BMF_1BPP);
    ASSERT_TRUE(dc_);
    Clear();
  }
  void Clear() {
    dc_->ResetClip();
    dc_->ResetWorldTransform();
    dc_->SetMix(R2_COPYPEN);
    ASSERT_TRUE(dc_->FillRect({0, 0, 256, 200}, kWhite));
  }
  bool Black(LONG x, LONG y) const { return SurfacePixel(dc_->Surface(), x, y) == 0; }
  long Count(const RECTL& r) const {
    long n = 0;
    for (LONG y = r.top; y < r.bottom; ++y) {
      for (LONG x = r.left; x < r.right; ++x) n += Black(x, y);
    }
    return n;
  }
  long CountAll() const { return Count({0, 0, 256, 200}); }

  static Path Square(LONG left, LONG top, LONG size, bool clockwise) {
    Path p;
    p.MoveTo(left, top);
    if (clockwise) {
      p.LineTo(left + size, top).LineTo(left + size, top + size).LineTo(left, top + size);
    } else {
      p.LineTo(left, top + size).LineTo(left + size, top + size).LineTo(left + size, top);
    }
    return p.Close();
  }
  // A circle of four Bezier quarters (control points at 0.5523 of the radius).
  static Path Circle(LONG cx, LONG cy, LONG r) {
    LONG k = static_cast<LONG>(std::lround(r * 0.5523));
    Path p;
    p.MoveTo(cx + r, cy);
    p.BezierTo({cx + r, cy + k}, {cx + k, cy + r}, {cx, cy + r});
    p.BezierTo({cx - k, cy + r}, {cx - r, cy + k}, {cx - r, cy});
    p.BezierTo({cx - r, cy - k}, {cx - k, cy - r}, {cx, cy - r});
    p.BezierTo({cx + k, cy - r}, {cx + r, cy - k}, {cx + r, cy});
    return p.Close();
  }
  static Pen Wide(FLOATL width, ULONG cap, ULONG join = JOIN_MITER) {
    Pen pen = Pen::Solid(kBlack, width);
    pen.cap = cap;
    pen.join = join;
    return pen;
  }

  std::unique_ptr<DeviceContext> dc_;
};

// Each shape alone on a white page: how many pixels it blackens.
TEST_F(PathRenderTest, ShapesCoverTheirPixels) {
  Brush black = Brush::Solid(kBlack);
  Pen thin = Pen::Solid(kBlack);
  Pen none = Pen::None();
  // A star of five points drawn in one stroke: its centre pentagon is
  // crossed twice, so the alternate rule leaves it empty.
  std::vector<POINTL> star{{100, 10}, {129, 100}, {53, 44}, {147, 44}, {71, 100}};
  long starAlternate = ReferenceCount(star, false, 256, 200), starWinding = ReferenceCount(star, true, 256, 200);
  struct Case {
    const char* what;
    std::function<bool(DeviceContext&)> draw;
    long low, high;  // the black pixels expected, inclusive
  } cases[] = {
      {"rectangle filled: its left and top edges in, right and bottom out",
       [&](DeviceContext& dc) { return dc.Rectangle({10, 20, 40, 30}, none, black); }, 300, 300},
      {"squares overlapping, alternate: the overlap stays empty",
       [&](DeviceContext& dc) {
         Path both = Square(10, 10, 20, true);
         both.MoveTo(20, 20).LineTo(40, 20).LineTo(40, 40).LineTo(20, 40).Close();
         return dc.FillPath(both, black, FillMode::Alternate);
       },
       600, 600},
      {"squares overlapping the same way round, winding: the overlap is filled",
       [&](DeviceContext& dc) {
         Path both = Square(10, 10, 20, true);
         both.MoveTo(20, 20).LineTo(40, 20).LineTo(40, 40).LineTo(20, 40).Close();
         return dc.FillPath(both, black, FillMode::Winding);
       },
       700, 700},
      {"squares overlapping opposite ways round, winding: the overlap cancels",
       [&](DeviceContext& dc) {
         Path both = Square(10, 10, 20, true);
         both.MoveTo(20, 20).LineTo(20, 40).LineTo(40, 40).LineTo(40, 20).Close();
         return dc.FillPath(both, black, FillMode::Winding);
       },
       600, 600},
      {"cosmetic horizontal line: its last pixel is left out",
       [&](DeviceContext& dc) { return dc.Line({10, 5}, {60, 5}, thin); }, 50, 50},
      {"cosmetic diagonal", [&](DeviceContext& dc) { return dc.Line({10, 10}, {40, 40}, thin); }, 30, 30},
      {"cosmetic outline of a closed figure: every corner once",
       [&](DeviceContext& dc) { return dc.Rectangle({70, 10, 100, 30}, thin, Brush::None()); }, 100, 100},
      {"cosmetic dashes of 3 and 1 units, a unit a pixel on a device without style steps",
       [&](DeviceContext& dc) {
         Pen dash = thin;
         dash.style = Pen::Style::Dash;
         return dc.Line({10, 50}, {50, 50}, dash);
       },
       30, 30},
      {"cosmetic alternate pixels",
       [&](DeviceContext& dc) {
         Pen alternate = thin;
         alternate.style = Pen::Style::Alternate;
         return dc.Line({10, 50}, {50, 50}, alternate);
       },
       20, 20},
      {"wide line, butt caps: 40 by 6",
       [&](DeviceContext& dc) { return dc.Line({10, 100}, {50, 100}, Wide(6, ENDCAP_BUTT)); }, 240, 240},
      {"wide line, square caps: 46 by 6",
       [&](DeviceContext& dc) { return dc.Line({10, 100}, {50, 100}, Wide(6, ENDCAP_SQUARE)); }, 276, 276},
      {"wide line, round caps: two half discs more than butt",
       [&](DeviceContext& dc) { return dc.Line({10, 100}, {50, 100}, Wide(6, ENDCAP_ROUND)); }, 254, 276},
      {"wide corner, miter join: two arms and the corner square",
       [&](DeviceContext& dc) { return dc.Polyline({{20, 100}, {60, 100}, {60, 140}}, Wide(6, ENDCAP_BUTT)); },
       480, 480},
      {"wide corner, bevel join: the corner cut off",
       [&](DeviceContext& dc) {
         return dc.Polyline({{20, 100}, {60, 100}, {60, 140}}, Wide(6, ENDCAP_BUTT, JOIN_BEVEL));
       },
       472, 477},
      {"wide corner, round join: between the two",
       [&](DeviceContext& dc) {
         return dc.Polyline({{20, 100}, {60, 100}, {60, 140}}, Wide(6, ENDCAP_BUTT, JOIN_ROUND));
       },
       474, 479},
      {"wide dashes of 8 on, 8 off: four dashes of 8 by 4",
       [&](DeviceContext& dc) {
         Pen pen = Wide(4, ENDCAP_BUTT);
         pen.style = Pen::Style::Custom;
         pen.dashes = {8, 8};
         return dc.Line({10, 100}, {74, 100}, pen);
       },
       128, 128},
      {"circle of Bezier curves, radius 40: about pi r^2",
       [&](DeviceContext& dc) { return dc.FillPath(Circle(100, 100, 40), black); }, 4950, 5100},
      {"star, alternate: the centre stays empty",
       [&](DeviceContext& dc) { return dc.Polygon(star, none, black, FillMode::Alternate); }, starAlternate,
       starAlternate},
      {"star, winding: the centre is filled",
       [&](DeviceContext& dc) { return dc.Polygon(star, none, black, FillMode::Winding); }, starWinding,
       starWinding},
      {"hatch cross: a line each way every 8 pixels",
       [&](DeviceContext& dc) { return dc.PatBlt({32, 32, 64, 64}, Brush::Hatched(HS_CROSS, kBlack), ROP3_PATCOPY); },
       240, 240},
      {"hatch horizontal", [&](DeviceContext& dc) { return dc.PatBlt({32, 32, 64, 64}, Brush::Hatched(HS_HORIZONTAL, kBlack), ROP3_PATCOPY); },
       128, 128},
      {"hatch diagonal cross, filling a polygon",
       [&](DeviceContext& dc) { return dc.Rectangle({32, 32, 64, 64}, none, Brush::Hatched(HS_DIAGCROSS, kBlack)); },
       256, 256},
  };
  for (const Case& c : cases) {
    Clear();
    ASSERT_TRUE(c.draw(*dc_)) << c.what;
    long n = CountAll();
    EXPECT_GE(n, c.low) << c.what;
    EXPECT_LE(n, c.high) << c.what;
  }
}

TEST_F(PathRenderTest, PixelsLieWhereTheShapeIs) {
  // The filled rectangle's corners.
  ASSERT_TRUE(dc_->Rectangle({10, 20, 40, 30}, Pen::None(), Brush::Solid(kBlack)));
  EXPECT_TRUE(Black(10, 20) && Black(39, 29));
  EXPECT_FALSE(Black(9, 20) || Black(40, 29) || Black(10, 30));
  // The star's centre (100, 65) is empty by the alternate rule, filled by winding.
  Clear();
  std::vector<POINTL> star{{100, 10}, {129, 100}, {53, 44}, {147, 44}, {71, 100}};
  ASSERT_TRUE(dc_->Polygon(star, Pen::None(), Brush::Solid(kBlack), FillMode::Alternate));
  EXPECT_FALSE(Black(100, 65));
  EXPECT_TRUE(Black(100, 20));
  ASSERT_TRUE(dc_->Polygon(star, Pen::None(), Brush::Solid(kBlack), FillMode::Winding));
  EXPECT_TRUE(Black(100, 65));
  // A cosmetic diagonal steps one pixel each way.
  Clear();
  ASSERT_TRUE(dc_->Line({10, 10}, {40, 40}, Pen::Solid(kBlack)));
  for (LONG i = 10; i < 40; ++i) EXPECT_TRUE(Black(i, i)) << i;
  EXPECT_FALSE(Black(40, 40));
  // A Bezier curve passes through its ends and its middle.
  Clear();
  ASSERT_TRUE(dc_->PolyBezier({{10, 100}, {10, 20}, {90, 20}, {90, 100}}, Pen::Solid(kBlack)));
  EXPECT_TRUE(Black(10, 100));
  EXPECT_TRUE(Black(50, 40) || Black(50, 39) || Black(49, 40) || Black(51, 40)) << "B(1/2) = (50, 40)";
  EXPECT_GT(Count({85, 90, 95, 100}), 0);
  EXPECT_EQ(Count({0, 0, 256, 38}), 0) << "the curve stays inside its control points' reach";
}

TEST_F(PathRenderTest, ClipPathsAndTransformsShapeTheDrawing) {
  // A triangle clip: a fill of the whole page fills the triangle only.
  Path triangle;
  triangle.MoveTo(20, 20).LineTo(120, 20).LineTo(20, 120).Close();
  ASSERT_TRUE(dc_->FillPath(triangle, Brush::Solid(kBlack)));
  long triangleArea = CountAll();
  Clear();
  ASSERT_TRUE(dc_->SetClipPath(triangle, FillMode::Alternate));
  ASSERT_TRUE(dc_->FillRect({0, 0, 256, 200}, kBlack));
  EXPECT_EQ(CountAll(), triangleArea);
  ASSERT_TRUE(dc_->Line({0, 30}, {256, 30}, Pen::Solid(kWhite)));
  EXPECT_EQ(Count({0, 30, 256, 31}), 0) << "the line is drawn inside the clip";
  EXPECT_EQ(CountAll(), triangleArea - 90) << "row 30 of the triangle spans x 20..109";

  // A world transform scales shapes, and the widths of geometric pens with them.
  Clear();
  XFORML twice{2, 0, 0, 2, 10, 10};
  dc_->SetWorldTransform(twice);
  ASSERT_TRUE(dc_->Rectangle({0, 0, 20, 10}, Pen::None(), Brush::Solid(kBlack)));
  EXPECT_EQ(Count({10, 10, 50, 30}), 800);
  EXPECT_EQ(CountAll(), 800);
  Clear();
  dc_->SetWorldTransform(twice);
  Pen pen = Pen::Solid(kBlack, 3);
  pen.cap = ENDCAP_BUTT;
  ASSERT_TRUE(dc_->Line({0, 20}, {20, 20}, pen));
  EXPECT_EQ(CountAll(), 40 * 6) << "40 long and 6 wide on the device";
}

TEST_F(PathRenderTest, MixesCombineWithWhatIsThere) {
  ASSERT_TRUE(dc_->FillRect({0, 0, 128, 200}, kBlack));
  dc_->SetMix(R2_NOT);
  ASSERT_TRUE(dc_->Rectangle({100, 10, 160, 20}, Pen::None(), Brush::Solid(kBlack)));
  EXPECT_EQ(Count({100, 10, 128, 20}), 0) << "black turned white";
  EXPECT_EQ(Count({128, 10, 160, 20}), 320) << "white turned black";
  dc_->SetMix(R2_NOP);
  ASSERT_TRUE(dc_->Rectangle({100, 30, 160, 40}, Pen::None(), Brush::Solid(kWhite)));
  EXPECT_EQ(Count({100, 30, 160, 40}), 280);
}

TEST_F(PathRenderTest, BadShapesAreRefused) {
  Pen negative = Pen::Solid(kBlack, -1);
  Pen noDashes = Pen::Solid(kBlack);
  noDashes.style = Pen::Style::Custom;
  Pen badJoin = Pen::Solid(kBlack, 2);
  badJoin.join = 7;
  Pen wideAlternate = Pen::Solid(kBlack, 2);
  wideAlternate.style = Pen::Style::Alternate;
  for (const Pen* pen : {&negative, &noDashes, &badJoin, &wideAlternate}) {
    SetLastError(0);
    EXPECT_FALSE(dc_->Line({0, 0}, {10, 10}, *pen));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  }
  SetLastError(0);
  EXPECT_FALSE(dc_->PolyBezier({{0, 0}, {1, 1}, {2, 2}}, Pen::Solid(kBlack))) << "a curve needs three points";
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_FALSE(dc_->Polyline({{0, 0}}, Pen::Solid(kBlack)));
  EXPECT_FALSE(dc_->Polygon({}, Pen::None(), Brush::Solid(kBlack)));
  // Far outside the page, and enormous: drawn (clipped away), no harm done.
  EXPECT_TRUE(dc_->Line({-2000000000, -5}, {2000000000, 5}, Pen::Solid(kBlack, 1e30f)));
  EXPECT_TRUE(dc_->Polygon({{-100000000, 0}, {100000000, 100}, {0, 100000000}}, Pen::None(), Brush::Solid(kBlack)));
  EXPECT_TRUE(dc_->StrokePath(Path(), Pen::Solid(kBlack))) << "nothing to draw";
}

}  // namespace
}  // namespace k460::testing
