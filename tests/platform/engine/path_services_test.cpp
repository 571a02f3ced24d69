// The path, transform and drawing services a driver calls itself: paths it
// builds, EngFillPath/EngStrokePath/EngLineTo/EngPaint on its own bitmap
// (as the host-based driver strokes into its scratch memory), transforms
// applied to points, and the refusal of what the engine did not make.
#include <gtest/gtest.h>

#include <vector>

#include "platform/engine/engine.h"
#include "platform/engine/xform.h"
#include "tests/platform/engine/pixel_helpers.h"
#include "tests/support/machine_fixture.h"

namespace k460::testing {
namespace {

// A white one-bit bitmap over memory the test owns, like a driver's scratch sheet.
struct ScratchBitmap {
  std::vector<BYTE> memory;
  HBITMAP handle = nullptr;
  SURFOBJ* so = nullptr;
  ScratchBitmap(LONG width, LONG height) : memory(static_cast<size_t>((width + 31) / 32 * 4) * height, 0xFF) {
    handle = EngCreateBitmap(SIZEL{width, height}, (width + 31) / 32 * 4, BMF_1BPP, BMF_TOPDOWN, memory.data());
    so = EngLockSurface(SurfaceOf(handle));
  }
  ~ScratchBitmap() {
    EngUnlockSurface(so);
    EngDeleteSurface(SurfaceOf(handle));
  }
  long Black() const {
    long n = 0;
    for (LONG y = 0; y < so->sizlBitmap.cy; ++y) {
      for (LONG x = 0; x < so->sizlBitmap.cx; ++x) n += SurfacePixel(so, x, y) == 0;
    }
    return n;
  }
};

POINTFIX Fix(LONG x, LONG y) { return {x * 16, y * 16}; }

class PathServicesTest : public MachineTest {};

TEST_F(PathServicesTest, ADriversOwnPathIsEnumeratedAndDrawn) {
  PATHOBJ* path = EngCreatePath();
  ASSERT_NE(path, nullptr);
  POINTFIX lines[] = {Fix(30, 4), Fix(30, 20)};
  POINTFIX curve[] = {Fix(30, 30), Fix(4, 30), Fix(4, 20)};
  ASSERT_TRUE(PATHOBJ_bMoveTo(path, Fix(4, 4)));
  ASSERT_TRUE(PATHOBJ_bPolyLineTo(path, lines, 2));
  ASSERT_TRUE(PATHOBJ_bPolyBezierTo(path, curve, 3));
  ASSERT_TRUE(PATHOBJ_bCloseFigure(path));
  EXPECT_EQ(path->fl, PO_BEZIERS);
  EXPECT_EQ(path->cCurves, 3u);
  PATHOBJ_vEnumStart(path);
  PATHDATA data;
  ASSERT_TRUE(PATHOBJ_bEnum(path, &data));
  EXPECT_EQ(data.flags, PD_BEGINSUBPATH);
  EXPECT_EQ(data.count, 3u);
  ASSERT_FALSE(PATHOBJ_bEnum(path, &data));
  EXPECT_EQ(data.flags, PD_BEZIERS | PD_ENDSUBPATH | PD_CLOSEFIGURE);
  EXPECT_EQ(data.count, 3u);
  RECTFX bounds;
  PATHOBJ_vGetBounds(path, &bounds);
  EXPECT_EQ(bounds.xLeft, 4 * 16);
  EXPECT_EQ(bounds.yBottom, 30 * 16);

  // Filled and stroked on a driver's own bitmap with a brush the driver made.
  ScratchBitmap scratch(40, 40);
  BRUSHOBJ black{};
  black.iSolidColor = 0;
  ASSERT_TRUE(EngFillPath(scratch.so, path, nullptr, &black, nullptr, R2_COPYPEN, FP_ALTERNATEMODE));
  long filled = scratch.Black();
  // The 26 x 16 rectangle and the curve's bulge of up to 7.5 rows below it.
  EXPECT_GT(filled, 26 * 16 + 100);
  EXPECT_LT(filled, 26 * 16 + 26 * 8);
  LINEATTRS cosmetic{};
  cosmetic.elWidth.l = 1;
  ASSERT_TRUE(EngStrokePath(scratch.so, path, nullptr, nullptr, &black, nullptr, &cosmetic, R2_COPYPEN));
  EXPECT_GT(scratch.Black(), filled) << "the outline's right and bottom edges are outside the fill";
  EngDeletePath(path);

  // A line and a paint of a clip rectangle.
  ScratchBitmap lines2(40, 40);
  ASSERT_TRUE(EngLineTo(lines2.so, nullptr, &black, 0, 10, 40, 10, nullptr, R2_COPYPEN));
  EXPECT_EQ(lines2.Black(), 40);
  CLIPOBJ rect{};
  rect.iDComplexity = DC_RECT;
  rect.rclBounds = {5, 20, 15, 25};
  ASSERT_TRUE(EngPaint(lines2.so, &rect, &black, nullptr, R2_COPYPEN));
  EXPECT_EQ(lines2.Black(), 40 + 50);
  ASSERT_TRUE(EngPaint(lines2.so, &rect, nullptr, nullptr, R2_NOT)) << "a mix without the pen needs no brush";
  EXPECT_EQ(lines2.Black(), 40);
}

TEST_F(PathServicesTest, TransformsMapPointsBothWays) {
  k460::engine::EngineXform xform(XFORML{2, 0, 0, 4, 10, -20});
  XFORML matrix;
  EXPECT_EQ(XFORMOBJ_iGetXform(xform.Object(), &matrix), GX_SCALE);
  EXPECT_EQ(matrix.eM22, 4.0f);
  POINTL world[2] = {{1, 2}, {-3, 5}};
  POINTFIX device[2];
  ASSERT_TRUE(XFORMOBJ_bApplyXform(xform.Object(), XF_LTOFX, 2, world, device));
  EXPECT_EQ(device[0].x, 12 * 16);
  EXPECT_EQ(device[0].y, -12 * 16);
  EXPECT_EQ(device[1].x, 4 * 16);
  POINTL back[2];
  ASSERT_TRUE(XFORMOBJ_bApplyXform(xform.Object(), XF_INV_FXTOL, 2, device, back));
  EXPECT_EQ(back[1].x, -3);
  EXPECT_EQ(back[1].y, 5);
  k460::engine::EngineXform rotation(XFORML{0, 1, -1, 0, 0, 0});
  EXPECT_EQ(XFORMOBJ_iGetXform(rotation.Object(), nullptr), GX_GENERAL);
  k460::engine::EngineXform flat(XFORML{1, 0, 0, 0, 0, 0});
  SetLastError(0);
  EXPECT_FALSE(XFORMOBJ_bApplyXform(flat.Object(), XF_INV_LTOL, 1, world, back)) << "nothing maps back";
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_FALSE(XFORMOBJ_bApplyXform(xform.Object(), 9, 1, world, back));
}

TEST_F(PathServicesTest, ObjectsTheEngineDidNotMakeAreRefused) {
  PATHOBJ fakePath{};
  XFORMOBJ fakeXform{};
  CLIPOBJ fakeClip{};
  PATHDATA data{PD_BEZIERS, 7, nullptr};
  SetLastError(0);
  EXPECT_FALSE(PATHOBJ_bEnum(&fakePath, &data));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(data.count, 0u) << "a loop on the record ends";
  EXPECT_EQ(XFORMOBJ_iGetXform(&fakeXform, nullptr), 0xFFFFFFFFu);
  EXPECT_EQ(CLIPOBJ_ppoGetPath(&fakeClip), nullptr);
  EXPECT_FALSE(PATHOBJ_bMoveTo(&fakePath, Fix(1, 1)));
  SetLastError(0);
  EngDeletePath(&fakePath);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);

  ScratchBitmap scratch(16, 16);
  BRUSHOBJ black{};
  LINEATTRS la{};
  PATHOBJ* path = EngCreatePath();
  POINTFIX four[4] = {};
  EXPECT_FALSE(PATHOBJ_bPolyBezierTo(path, four, 4)) << "curves come in threes";
  EXPECT_FALSE(PATHOBJ_bPolyLineTo(path, nullptr, 2));
  EXPECT_FALSE(EngStrokePath(scratch.so, &fakePath, nullptr, nullptr, &black, nullptr, &la, R2_COPYPEN));
  EXPECT_FALSE(EngStrokePath(scratch.so, path, nullptr, nullptr, &black, nullptr, nullptr, R2_COPYPEN));
  EXPECT_FALSE(EngFillPath(nullptr, path, nullptr, &black, nullptr, R2_COPYPEN, FP_ALTERNATEMODE));
  EXPECT_FALSE(EngFillPath(scratch.so, path, nullptr, nullptr, nullptr, R2_COPYPEN, FP_ALTERNATEMODE))
      << "the pen's colour is needed";
  EXPECT_FALSE(EngPaint(scratch.so, nullptr, &black, nullptr, R2_COPYPEN));
  EXPECT_TRUE(EngFillPath(scratch.so, path, nullptr, &black, nullptr, R2_COPYPEN, FP_ALTERNATEMODE))
      << "an empty path fills nothing";
  EXPECT_EQ(scratch.Black(), 0);
  EngDeletePath(path);
}

}  // namespace
}  // namespace k460::testing
