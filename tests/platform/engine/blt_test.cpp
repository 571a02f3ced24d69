// The engine's drawing services called directly, as a driver calls them:
// stretching and mirroring, overlapping copies, colour translation between
// formats, halftoning, clip objects from the engine, and the errors of bad
// arguments.
#include <gtest/gtest.h>

#include <vector>

#include "platform/engine/engine.h"
#include "tests/platform/engine/pixel_helpers.h"
#include "tests/support/machine_fixture.h"

namespace k460::testing {
namespace {

// An engine bitmap locked for the test's lifetime.
class Bitmap {
 public:
  Bitmap(LONG width, LONG height, ULONG format, FLONG flags = BMF_TOPDOWN) {
    handle_ = EngCreateBitmap(SIZEL{width, height}, 0, format, flags, nullptr);
    so_ = EngLockSurface(SurfaceOf(handle_));
  }
  ~Bitmap() {
    EngUnlockSurface(so_);
    EngDeleteSurface(SurfaceOf(handle_));
  }
  SURFOBJ* so() { return so_; }
  ULONG At(LONG x, LONG y) { return SurfacePixel(so_, x, y); }
  void Fill(ULONG pixel) {
    RECTL all{0, 0, so_->sizlBitmap.cx, so_->sizlBitmap.cy};
    ASSERT_TRUE(EngEraseSurface(so_, &all, pixel));
  }
  void Set(LONG x, LONG y, ULONG pixel) {
    RECTL one{x, y, x + 1, y + 1};
    ASSERT_TRUE(EngEraseSurface(so_, &one, pixel));
  }

 private:
  HBITMAP handle_ = nullptr;
  SURFOBJ* so_ = nullptr;
};

using EngineBltTest = MachineTest;

TEST_F(EngineBltTest, StretchingPicksTheNearestPixelAndMirrors) {
  Bitmap source(4, 1, BMF_8BPP);
  for (LONG x = 0; x < 4; ++x) source.Set(x, 0, 10 * (x + 1));
  struct Case {
    const char* what;
    RECTL dest;
    RECTL src;
    std::vector<ULONG> row;
  } cases[] = {
      {"twice as wide", {0, 0, 8, 1}, {0, 0, 4, 1}, {10, 10, 20, 20, 30, 30, 40, 40}},
      {"half as wide", {0, 0, 2, 1}, {0, 0, 4, 1}, {20, 40}},
      {"mirrored destination", {4, 0, 0, 1}, {0, 0, 4, 1}, {40, 30, 20, 10}},
      {"mirrored source", {0, 0, 4, 1}, {4, 0, 0, 1}, {40, 30, 20, 10}},
      {"both mirrored", {4, 0, 0, 1}, {4, 0, 0, 1}, {10, 20, 30, 40}},
      {"part of the source", {0, 0, 4, 1}, {1, 0, 3, 1}, {20, 20, 30, 30}},
  };
  for (const Case& c : cases) {
    Bitmap dest(8, 1, BMF_8BPP);
    dest.Fill(0);
    RECTL d = c.dest, s = c.src;
    ASSERT_TRUE(EngStretchBlt(dest.so(), source.so(), nullptr, nullptr, nullptr, nullptr, nullptr, &d, &s, nullptr,
                              COLORONCOLOR))
        << c.what;
    for (size_t x = 0; x < c.row.size(); ++x) EXPECT_EQ(dest.At(LONG(x), 0), c.row[x]) << c.what << " x=" << x;
  }
}

TEST_F(EngineBltTest, OneBitCopiesAtAnyBitOffsetKeepEveryPixel) {
  const LONG width = 300;
  Bitmap source(width, 3, BMF_1BPP);
  auto* bits = static_cast<BYTE*>(source.so()->pvBits);
  for (ULONG i = 0; i < source.so()->cjBits; ++i) bits[i] = static_cast<BYTE>(i * 2654435761u >> 13);
  for (LONG from : {0, 3, 13, 64}) {
    for (LONG to : {0, 2, 7, 9}) {
      Bitmap dest(width, 3, BMF_1BPP);
      dest.Fill(1);
      RECTL rect{to, 0, width - 20 + to, 3};
      POINTL point{from, 0};
      ASSERT_TRUE(EngCopyBits(dest.so(), source.so(), nullptr, nullptr, &rect, &point));
      for (LONG y = 0; y < 3; ++y) {
        for (LONG x = 0; x < width; ++x) {
          bool inside = x >= rect.left && x < rect.right && x - to + from < width;
          ULONG expected = inside ? source.At(x - to + from, y) : 1;
          ASSERT_EQ(dest.At(x, y), expected) << "from " << from << " to " << to << " at " << x;
        }
      }
    }
  }
}

TEST_F(EngineBltTest, OverlappingCopyWithinOneBitmapMovesThePixels) {
  Bitmap bitmap(16, 4, BMF_1BPP);
  bitmap.Fill(1);
  for (LONG x = 0; x < 6; ++x) bitmap.Set(x, 0, 0);  // six black pixels at the left of row 0
  RECTL dest{3, 0, 13, 2};
  POINTL from{0, 0};
  ASSERT_TRUE(EngCopyBits(bitmap.so(), bitmap.so(), nullptr, nullptr, &dest, &from));
  for (LONG x = 0; x < 16; ++x) {
    ULONG expected = (x < 3 || (x >= 3 && x < 9)) ? 0 : 1;
    EXPECT_EQ(bitmap.At(x, 0), expected) << x;
  }
}

TEST_F(EngineBltTest, ColoursCrossFormats) {
  // 24-bit colours onto one bit: nearest of black and white by luminance;
  // onto 4 bits: the nearest of the 16 standard colours; and back.
  Bitmap colours(4, 1, BMF_24BPP);
  ULONG pixels[4] = {0x000000, 0xFFFFFF, 0x202020, 0xE0E0E0};  // stored 0x00RRGGBB
  for (LONG x = 0; x < 4; ++x) colours.Set(x, 0, pixels[x]);
  Bitmap mono(4, 1, BMF_1BPP);
  Bitmap vga(4, 1, BMF_4BPP);
  RECTL rect{0, 0, 4, 1};
  POINTL from{0, 0};
  ASSERT_TRUE(EngCopyBits(mono.so(), colours.so(), nullptr, nullptr, &rect, &from));
  ASSERT_TRUE(EngCopyBits(vga.so(), colours.so(), nullptr, nullptr, &rect, &from));
  EXPECT_EQ(mono.At(0, 0), 0u);
  EXPECT_EQ(mono.At(1, 0), 1u);
  EXPECT_EQ(mono.At(2, 0), 0u);
  EXPECT_EQ(mono.At(3, 0), 1u);
  EXPECT_EQ(vga.At(0, 0), 0u);
  EXPECT_EQ(vga.At(1, 0), 15u);
  Bitmap back(4, 1, BMF_32BPP);
  ASSERT_TRUE(EngCopyBits(back.so(), mono.so(), nullptr, nullptr, &rect, &from));
  EXPECT_EQ(back.At(0, 0) & 0xFFFFFF, 0x000000u);
  EXPECT_EQ(back.At(1, 0) & 0xFFFFFF, 0xFFFFFFu);
}

TEST_F(EngineBltTest, HalftoneStretchGivesTheGreyLevelInBlackDots) {
  for (ULONG grey : {0x40u, 0x80u, 0xC0u}) {
    Bitmap source(1, 1, BMF_24BPP);
    source.Set(0, 0, grey | (grey << 8) | (grey << 16));
    Bitmap page(64, 64, BMF_1BPP);
    RECTL dest{0, 0, 64, 64}, src{0, 0, 1, 1};
    ASSERT_TRUE(EngStretchBlt(page.so(), source.so(), nullptr, nullptr, nullptr, nullptr, nullptr, &dest, &src,
                              nullptr, HALFTONE));
    long black = 0;
    for (LONG y = 0; y < 64; ++y) {
      for (LONG x = 0; x < 64; ++x) black += page.At(x, y) == 0;
    }
    EXPECT_NEAR(double(black) / 4096, 1.0 - grey / 255.0, 0.02) << grey;
  }
}

TEST_F(EngineBltTest, MaskChoosesBetweenForegroundAndBackground) {
  Bitmap dest(8, 1, BMF_8BPP);
  dest.Fill(7);
  Bitmap source(8, 1, BMF_8BPP);
  source.Fill(99);
  Bitmap mask(8, 1, BMF_1BPP);
  mask.Fill(0);
  mask.Set(2, 0, 1);
  mask.Set(5, 0, 1);
  RECTL rect{0, 0, 8, 1};
  POINTL zero{0, 0};
  ASSERT_TRUE(EngBitBlt(dest.so(), source.so(), mask.so(), nullptr, nullptr, &rect, &zero, &zero, nullptr, nullptr,
                        MakeRop4(ROP3_SRCCOPY, ROP3_NOP)));
  for (LONG x = 0; x < 8; ++x) EXPECT_EQ(dest.At(x, 0), (x == 2 || x == 5) ? 99u : 7u) << x;
}

TEST_F(EngineBltTest, BottomUpBitmapsAreDrawnRightWayUp) {
  Bitmap bottomUp(4, 3, BMF_8BPP, 0);
  bottomUp.Fill(0);
  bottomUp.Set(1, 0, 5);  // row 0 is the top row whatever the memory order
  EXPECT_LT(bottomUp.so()->lDelta, 0);
  Bitmap topDown(4, 3, BMF_8BPP);
  RECTL rect{0, 0, 4, 3};
  POINTL from{0, 0};
  ASSERT_TRUE(EngCopyBits(topDown.so(), bottomUp.so(), nullptr, nullptr, &rect, &from));
  EXPECT_EQ(topDown.At(1, 0), 5u);
  EXPECT_EQ(static_cast<BYTE*>(bottomUp.so()->pvBits)[2 * 4 + 1], 5) << "the top row is last in memory";
}

TEST_F(EngineBltTest, TranslationObjectsOnlyFromTheEngine) {
  EXPECT_EQ(XLATEOBJ_iXlate(nullptr, 0x123456), 0x123456u) << "no object: no translation";
  XLATEOBJ stranger{};
  SetLastError(0);
  EXPECT_EQ(XLATEOBJ_cGetPalette(&stranger, XO_SRCPALETTE, 0, nullptr), 0u);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  CLIPOBJ clip{};
  ULONG buffer[8];
  SetLastError(0);
  EXPECT_EQ(CLIPOBJ_cEnumStart(&clip, TRUE, CT_RECTANGLES, CD_ANY, 0), 0u);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_FALSE(CLIPOBJ_bEnum(&clip, sizeof(buffer), buffer));
  BRUSHOBJ brush{};
  brush.iSolidColor = 0x00FF00;
  EXPECT_EQ(BRUSHOBJ_ulGetBrushColor(&brush), 0x00FF00u);
  SetLastError(0);
  EXPECT_EQ(BRUSHOBJ_pvAllocRbrush(&brush, 16), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(BRUSHOBJ_pvGetRbrush(&brush), nullptr);
}

TEST_F(EngineBltTest, BadArgumentsAreRefusedWithoutDrawing) {
  Bitmap dest(8, 8, BMF_8BPP);
  Bitmap source(8, 8, BMF_8BPP);
  Bitmap wide(8, 8, BMF_24BPP);
  dest.Fill(3);
  RECTL rect{0, 0, 8, 8};
  POINTL zero{0, 0};
  BRUSHOBJ noPattern{};
  noPattern.iSolidColor = BRUSHOBJ_NOT_SOLID;
  HSURF device = EngCreateDeviceSurface(nullptr, SIZEL{8, 8}, BMF_8BPP);
  SURFOBJ* deviceSo = EngLockSurface(device);
  struct Case {
    const char* what;
    BOOL result;
  } cases[] = {
      {"no destination", EngBitBlt(nullptr, nullptr, nullptr, nullptr, nullptr, &rect, nullptr, nullptr, nullptr,
                                   nullptr, 0x0000)},
      {"no rectangle", EngBitBlt(dest.so(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                 nullptr, 0x0000)},
      {"copy without a source", EngBitBlt(dest.so(), nullptr, nullptr, nullptr, nullptr, &rect, &zero, nullptr,
                                          nullptr, nullptr, 0xCCCC)},
      {"source without its point", EngBitBlt(dest.so(), source.so(), nullptr, nullptr, nullptr, &rect, nullptr,
                                             nullptr, nullptr, nullptr, 0xCCCC)},
      {"pattern without a brush", EngBitBlt(dest.so(), nullptr, nullptr, nullptr, nullptr, &rect, nullptr, nullptr,
                                            nullptr, nullptr, 0xF0F0)},
      {"pattern brush the engine did not make", EngBitBlt(dest.so(), nullptr, nullptr, nullptr, nullptr, &rect,
                                                          nullptr, nullptr, &noPattern, nullptr, 0xF0F0)},
      {"mask operation without a mask", EngBitBlt(dest.so(), source.so(), nullptr, nullptr, nullptr, &rect, &zero,
                                                  &zero, nullptr, nullptr, 0xAACC)},
      {"mask of more than one bit", EngBitBlt(dest.so(), source.so(), wide.so(), nullptr, nullptr, &rect, &zero,
                                              &zero, nullptr, nullptr, 0xAACC)},
      {"copy without a point", EngCopyBits(dest.so(), source.so(), nullptr, nullptr, &rect, nullptr)},
      {"stretch of an unknown mode", EngStretchBlt(dest.so(), source.so(), nullptr, nullptr, nullptr, nullptr,
                                                   nullptr, &rect, &rect, nullptr, 9)},
      {"stretch without a source", EngStretchBlt(dest.so(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                                 &rect, &rect, nullptr, COLORONCOLOR)},
      {"erase of nothing", EngEraseSurface(nullptr, &rect, 0)},
      {"device surface of no device", EngEraseSurface(deviceSo, &rect, 0)},
  };
  for (const Case& c : cases) EXPECT_FALSE(c.result) << c.what;
  for (LONG y = 0; y < 8; ++y) {
    for (LONG x = 0; x < 8; ++x) ASSERT_EQ(dest.At(x, y), 3u);
  }
  SetLastError(0);
  EXPECT_FALSE(EngEraseSurface(deviceSo, &rect, 0));
  EXPECT_EQ(GetLastError(), ERROR_NOT_SUPPORTED) << "nobody to hand the drawing to";
  EngUnlockSurface(deviceSo);
  EngDeleteSurface(device);
  // Rectangles beyond the bitmap are cut to it.
  RECTL outside{-100, -100, 100, 100};
  EXPECT_TRUE(EngEraseSurface(dest.so(), &outside, 9));
  EXPECT_EQ(dest.At(7, 7), 9u);
  RECTL far{50, 50, 60, 60};
  EXPECT_TRUE(EngCopyBits(dest.so(), source.so(), nullptr, nullptr, &far, &zero));
}

}  // namespace
}  // namespace k460::testing
