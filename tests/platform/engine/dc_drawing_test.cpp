// Drawing through the device context: the objects a hooking driver
// receives, pages the engine draws for a driver that hooks nothing, bands,
// drawing handed back by a device-managed surface, and drawing into a
// driver's own memory.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/platform/engine/engine_test_support.h"
#include "tests/platform/engine/pixel_helpers.h"

namespace k460::testing {
namespace {

using engine::Brush;
using engine::Image;
using engine::RGB;

constexpr FLONG kAllHooks = HOOK_BITBLT | HOOK_STRETCHBLT | HOOK_COPYBITS;

// An 8-bit image of one index per column band, with a palette.
struct IndexedImage {
  std::vector<BYTE> bits;
  Image image;
  IndexedImage(LONG width, LONG height, std::vector<COLORREF> palette, BYTE (*index)(LONG x, LONG y)) {
    LONG stride = (width + 3) / 4 * 4;
    bits.resize(static_cast<size_t>(stride) * height);
    for (LONG y = 0; y < height; ++y) {
      for (LONG x = 0; x < width; ++x) bits[y * stride + x] = index(x, y);
    }
    image.width = width;
    image.height = height;
    image.format = BMF_8BPP;
    image.bits = bits.data();
    image.palette = std::move(palette);
  }
};

bool SameRect(const RECTL& a, const RECTL& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::vector<RECTL> Sorted(std::vector<RECTL> rects) {
  std::sort(rects.begin(), rects.end(), [](const RECTL& a, const RECTL& b) {
    return a.top != b.top ? a.top < b.top : a.left < b.left;
  });
  return rects;
}

class DrawingTest : public EngineDriverTest {
 protected:
  std::unique_ptr<engine::DeviceContext> OpenPage(const TestDriverSettings& settings) {
    auto dc = Open(settings);
    EXPECT_TRUE(dc && dc->StartDoc(u"doc") && dc->StartPage());
    return dc;
  }
  // The one page the driver completed.
  const std::vector<BYTE>& Page() {
    EXPECT_EQ(journal().pages.size(), 1u);
    return journal().pages.back();
  }
};

TEST_F(DrawingTest, HookedFillGetsItsClipRegionInEveryDirection) {
  TestDriverSettings settings;
  settings.hooks = kAllHooks;
  auto dc = OpenPage(settings);
  // Three rectangles of the clip meet the fill; a fourth lies outside it.
  dc->SetClip({{0, 0, 20, 10}, {30, 0, 40, 10}, {10, 20, 30, 30}, {50, 40, 60, 48}});
  ASSERT_TRUE(dc->FillRect({5, 5, 35, 25}, RGB(0x12, 0x34, 0x56)));
  ASSERT_EQ(journal().draws.size(), 1u);
  const DrawRecord& r = journal().draws[0];
  EXPECT_EQ(r.call, "DrvBitBlt");
  EXPECT_EQ(r.rop4, 0xF0F0u);
  EXPECT_FALSE(r.hasSource);
  EXPECT_EQ(r.complexity, DC_COMPLEX);
  EXPECT_TRUE(SameRect(r.clipBounds, {5, 5, 35, 25}));
  EXPECT_EQ(r.brushColor, RGB(0x12, 0x34, 0x56));
  EXPECT_EQ(r.solidColor, RGB(0x12, 0x34, 0x56)) << "the device palette is RGB";
  // The whole region (bAll), each rectangle once, in the order asked for.
  std::vector<RECTL> expected{{0, 0, 20, 10}, {30, 0, 40, 10}, {10, 20, 30, 30}, {50, 40, 60, 48}};
  for (ULONG direction = CD_RIGHTDOWN; direction <= CD_ANY; ++direction) {
    const auto& rects = r.clipRects[direction];
    ASSERT_EQ(rects.size(), expected.size()) << direction;
    auto sorted = Sorted(rects);
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_TRUE(SameRect(sorted[i], expected[i])) << direction;
    bool down = direction == CD_RIGHTDOWN || direction == CD_LEFTDOWN || direction == CD_ANY;
    bool right = direction == CD_RIGHTDOWN || direction == CD_RIGHTUP || direction == CD_ANY;
    for (size_t i = 1; i < rects.size(); ++i) {
      if (rects[i].top == rects[i - 1].top) {
        EXPECT_EQ(rects[i].left > rects[i - 1].left, right) << direction;
      } else {
        EXPECT_EQ(rects[i].top > rects[i - 1].top, down) << direction;
      }
    }
  }
}

TEST_F(DrawingTest, ClipComplexityFollowsWhatIsLeftOfTheTarget) {
  TestDriverSettings settings;
  settings.hooks = kAllHooks;
  auto dc = OpenPage(settings);
  struct Case {
    const char* what;
    std::vector<RECTL> clip;
    RECTL fill;
    BYTE complexity;
    RECTL bounds;
  } cases[] = {
      {"no clip, inside the page", {}, {2, 2, 10, 10}, DC_TRIVIAL, {2, 2, 10, 10}},
      {"no clip, over the page edge", {}, {60, 40, 80, 60}, DC_RECT, {60, 40, 64, 48}},
      {"clip around the fill", {{0, 0, 30, 30}}, {2, 2, 10, 10}, DC_TRIVIAL, {2, 2, 10, 10}},
      {"clip cutting the fill", {{0, 0, 6, 30}}, {2, 2, 10, 10}, DC_RECT, {2, 2, 6, 10}},
  };
  for (const Case& c : cases) {
    journal().draws.clear();
    if (c.clip.empty()) {
      dc->ResetClip();
    } else {
      dc->SetClip(c.clip);
    }
    ASSERT_TRUE(dc->FillRect(c.fill, 0));
    ASSERT_EQ(journal().draws.size(), 1u) << c.what;
    EXPECT_EQ(journal().draws[0].complexity, c.complexity) << c.what;
    EXPECT_TRUE(SameRect(journal().draws[0].clipBounds, c.bounds)) << c.what;
    ASSERT_EQ(journal().draws[0].clipRects[CD_ANY].size(), 1u) << c.what;
  }
  // A fill the clip hides entirely never reaches the driver.
  journal().draws.clear();
  dc->SetClip({{0, 0, 4, 4}});
  ASSERT_TRUE(dc->FillRect({10, 10, 20, 20}, 0));
  EXPECT_TRUE(journal().draws.empty());
}

TEST_F(DrawingTest, ImagesReachTheHookForTheirKindWithColourTranslation) {
  TestDriverSettings settings;
  settings.hooks = kAllHooks;
  settings.graphicsCaps = GCAPS_HALFTONE;
  auto dc = OpenPage(settings);
  std::vector<COLORREF> palette{RGB(255, 0, 0), RGB(0, 0, 255), RGB(10, 20, 30)};
  IndexedImage picture(6, 4, palette, [](LONG x, LONG) { return BYTE(x % 3); });
  RECTL part{1, 1, 4, 3};
  Brush pattern = Brush::Pattern(picture.image);
  ASSERT_TRUE(dc->DrawImage(picture.image, {10, 10, 16, 14}));                          // copy
  ASSERT_TRUE(dc->DrawImage(picture.image, {20, 20, 23, 22}, &part, ROP3_SRCAND));     // raster operation
  ASSERT_TRUE(dc->DrawImage(picture.image, {0, 0, 12, 8}));                            // stretch
  ASSERT_TRUE(dc->DrawImage(picture.image, {30, 0, 36, 4}, nullptr, 0xB8, &pattern));  // source and pattern
  std::vector<DrawRecord> draws;
  for (const DrawRecord& r : journal().draws) {
    if (r.call != "DrvRealizeBrush") draws.push_back(r);
  }
  ASSERT_EQ(draws.size(), 4u);
  EXPECT_EQ(draws[0].call, "DrvCopyBits");
  EXPECT_EQ(draws[1].call, "DrvBitBlt");
  EXPECT_EQ(draws[1].rop4, 0x8888u);
  EXPECT_EQ(draws[1].sourcePoint.x, 1);
  EXPECT_EQ(draws[1].sourcePoint.y, 1);
  EXPECT_EQ(draws[2].call, "DrvStretchBlt");
  EXPECT_TRUE(SameRect(draws[2].sourceRect, {0, 0, 6, 4}));
  EXPECT_EQ(draws[2].stretchMode, HALFTONE) << "the device halftones";
  EXPECT_EQ(draws[3].call, "DrvBitBlt");
  EXPECT_EQ(draws[3].rop4, 0xB8B8u);
  EXPECT_EQ(draws[3].solidColor, BRUSHOBJ_NOT_SOLID);
  EXPECT_EQ(draws[3].realizedPattern.cx, 6) << "the driver realised the pattern through the engine";
  for (const DrawRecord& r : draws) {
    EXPECT_EQ(r.sourceFormat, BMF_8BPP) << r.call;
    ASSERT_TRUE(r.hasXlate) << r.call;
    // The image's palette (filled to 256 entries) and each entry in the
    // device's RGB palette.
    ASSERT_EQ(r.sourcePalette.size(), 256u) << r.call;
    for (size_t i = 0; i < palette.size(); ++i) {
      EXPECT_EQ(r.sourcePalette[i], palette[i]) << r.call;
      EXPECT_EQ(r.translated[i], palette[i]) << r.call;
    }
  }
}

TEST_F(DrawingTest, ColoursAreTranslatedToAnIndexedDevicePalette) {
  TestDriverSettings settings;
  settings.hooks = kAllHooks;
  settings.flags = kIndexedPalette;
  auto dc = OpenPage(settings);
  IndexedImage picture(4, 1, {RGB(250, 250, 250), RGB(5, 5, 5), RGB(200, 190, 210)},
                       [](LONG x, LONG) { return BYTE(x % 3); });
  ASSERT_TRUE(dc->DrawImage(picture.image, {0, 0, 4, 1}));
  ASSERT_TRUE(dc->FillRect({0, 0, 2, 2}, RGB(255, 255, 255)));
  ASSERT_EQ(journal().draws.size(), 2u);
  const DrawRecord& copy = journal().draws[0];
  EXPECT_EQ(copy.translated[0], 1u);
  EXPECT_EQ(copy.translated[1], 0u);
  EXPECT_EQ(copy.translated[2], 1u);
  EXPECT_EQ(journal().draws[1].solidColor, 1u) << "white is index 1 of the device palette";
  EXPECT_EQ(journal().draws[1].brushColor, RGB(255, 255, 255));
}

TEST_F(DrawingTest, DirectColourSourcesAreTranslatedToTheDevicesForm) {
  std::vector<BYTE> bits(16, 0);
  Image bgr;  // 24-bit: colours 0x00RRGGBB
  bgr.width = 2;
  bgr.height = 1;
  bgr.format = BMF_24BPP;
  bgr.bits = bits.data();
  Image rgb565 = bgr;  // 16-bit with 5-6-5 bit fields
  rgb565.format = BMF_16BPP;
  rgb565.redMask = 0xF800;
  rgb565.greenMask = 0x07E0;
  rgb565.blueMask = 0x001F;
  struct Case {
    const char* what;
    DWORD flags;
    const Image* image;
    std::vector<ULONG> probes;  // translations of kProbeColours
    std::vector<ULONG> fields;
  } cases[] = {
      {"24-bit to RGB", 0, &bgr, {0xFF0000, 0x00FF00, 0x0000FF, 0x00F800, 0xE00700, 0x1F0000}, {}},
      {"24-bit to BGR", kBgrPalette, &bgr, {0x0000FF, 0x00FF00, 0xFF0000, 0x00F800, 0x0007E0, 0x00001F}, {}},
      // 0x00FF as 5-6-5 is blue 31 and green 7 of 63; 0xFF00 red 31 and green 56.
      {"5-6-5 to RGB", 0, &rgb565, {0xFF1C00, 0x00E2FF, 0x000000, 0x0000FF, 0x00FF00, 0xFF0000}, {0xF800, 0x07E0, 0x001F}},
  };
  for (const Case& c : cases) {
    journal().Clear();
    TestDriverSettings settings;
    settings.hooks = kAllHooks;
    settings.flags = c.flags;
    auto dc = OpenPage(settings);
    ASSERT_TRUE(dc->DrawImage(*c.image, {0, 0, 2, 1})) << c.what;
    ASSERT_EQ(journal().draws.size(), 1u) << c.what;
    const DrawRecord& r = journal().draws[0];
    EXPECT_TRUE(r.sourcePalette.empty()) << c.what;
    EXPECT_EQ(r.probes, c.probes) << c.what;
    EXPECT_EQ(r.sourceFields, c.fields) << c.what;
  }
}

// A 1-bit page of 200 x 150 drawn by the engine for a driver that hooks nothing.
TEST_F(DrawingTest, EngineDrawsThePageOfADriverWithoutHooks) {
  TestDriverSettings settings;
  settings.width = 200;
  settings.height = 150;
  settings.graphicsCaps = GCAPS_HALFTONE;
  auto dc = OpenPage(settings);
  RECTL black{10, 10, 60, 40}, gray{100, 10, 180, 90}, stretched{10, 60, 70, 120}, clipped{120, 100, 190, 140};
  ASSERT_TRUE(dc->FillRect(black, RGB(0, 0, 0)));
  ASSERT_TRUE(dc->FillRect(gray, RGB(128, 128, 128)));
  // A 3 x 3 checkerboard of black and white cells stretched 20 times.
  IndexedImage checker(3, 3, {RGB(0, 0, 0), RGB(255, 255, 255)}, [](LONG x, LONG y) { return BYTE((x + y) % 2); });
  ASSERT_TRUE(dc->DrawImage(checker.image, stretched));
  dc->SetClip({{120, 100, 150, 140}});
  ASSERT_TRUE(dc->FillRect(clipped, RGB(0, 0, 0)));
  ASSERT_TRUE(dc->EndPage() && dc->EndDoc());
  EXPECT_TRUE(journal().draws.empty()) << "nothing is hooked";
  const auto& page = Page();
  LONG stride = journal().pageStride;
  EXPECT_EQ(BlackPixels(page, stride, black), Area(black));
  long grayBlack = BlackPixels(page, stride, gray);
  EXPECT_NEAR(double(grayBlack) / Area(gray), 0.5, 0.05) << "mid grey is halftoned";
  // Cells with (column + row) even are black: five of nine, each 20 x 20.
  EXPECT_EQ(BlackPixels(page, stride, stretched), 5 * 400);
  EXPECT_EQ(BlackPixels(page, stride, {10, 60, 30, 80}), 400);
  EXPECT_EQ(BlackPixels(page, stride, {30, 60, 50, 80}), 0);
  EXPECT_EQ(BlackPixels(page, stride, {120, 100, 150, 140}), 30 * 40);
  EXPECT_EQ(BlackPixels(page, stride, {150, 100, 190, 140}), 0) << "outside the clip";
  EXPECT_EQ(BlackPixels(page, stride, {0, 0, 200, 150}),
            Area(black) + grayBlack + 5 * 400 + 30 * 40);
}

TEST_F(DrawingTest, BandsReplayThePageWithTheirOwnClip) {
  TestDriverSettings settings;
  settings.height = 48;
  settings.bandHeight = 10;
  auto dc = OpenPage(settings);
  ASSERT_TRUE(dc->FillRect({8, 5, 40, 25}, RGB(0, 0, 0)));
  ASSERT_TRUE(dc->EndPage());
  // The engine drew each band; the driver assembled the page.
  const auto& page = Page();
  EXPECT_EQ(BlackPixels(page, journal().pageStride, {8, 5, 40, 25}), 32 * 20);
  EXPECT_EQ(BlackPixels(page, journal().pageStride, {0, 0, 64, 48}), 32 * 20);

  // With the fill hooked, each band the fill touches gets one call in band
  // coordinates, clipped to the band.
  journal().Clear();
  settings.hooks = kAllHooks;
  auto hooked = OpenPage(settings);
  ASSERT_TRUE(hooked->FillRect({8, 5, 40, 25}, RGB(0, 0, 0)));
  EXPECT_TRUE(journal().draws.empty()) << "drawing waits for the bands";
  ASSERT_TRUE(hooked->EndPage());
  ASSERT_EQ(journal().draws.size(), 3u);
  RECTL bounds[3] = {{8, 5, 40, 10}, {8, 0, 40, 10}, {8, 0, 40, 5}};
  for (int i = 0; i < 3; ++i) {
    const DrawRecord& r = journal().draws[i];
    EXPECT_EQ(r.bandTop, 10 * i);
    EXPECT_TRUE(SameRect(r.target, {8, 5 - 10 * i, 40, 25 - 10 * i})) << i;
    EXPECT_EQ(r.complexity, DC_RECT) << i;
    EXPECT_TRUE(SameRect(r.clipBounds, bounds[i])) << i;
  }
}

// The same drawing on a device-managed surface (handed back to the engine
// by the driver) and on an engine bitmap gives the same page.
TEST_F(DrawingTest, DrawingHandedBackByADeviceSurfaceMatchesTheEngineBitmap) {
  auto draw = [&](const TestDriverSettings& settings) {
    journal().Clear();
    auto dc = OpenPage(settings);
    IndexedImage stripes(7, 5, {RGB(0, 0, 0), RGB(255, 255, 255)}, [](LONG x, LONG) { return BYTE(x % 2); });
    Brush pattern = Brush::Pattern(stripes.image);
    EXPECT_TRUE(dc->FillRect({4, 4, 50, 30}, RGB(0, 0, 0)));
    EXPECT_TRUE(dc->DrawImage(stripes.image, {10, 10, 17, 15}, nullptr, ROP3_SRCINVERT));
    EXPECT_TRUE(dc->DrawImage(stripes.image, {20, 8, 48, 28}));
    EXPECT_TRUE(dc->PatBlt({30, 25, 60, 45}, pattern, ROP3_PATINVERT));
    EXPECT_TRUE(dc->EndPage() && dc->EndDoc());
    return Page();
  };
  TestDriverSettings plain;
  std::vector<BYTE> expected = draw(plain);
  TestDriverSettings device;
  device.surfaceKind = SurfaceKind::DeviceSurface;
  device.hooks = kAllHooks;
  device.flags = kDraw | kReadableDevice;
  std::vector<BYTE> handedBack = draw(device);
  EXPECT_EQ(handedBack, expected);
  bool readBack = false, delivered = false;
  for (const DrawRecord& r : journal().draws) {
    readBack |= r.call == "DrvCopyBits" && r.sourceIsDevice;
    delivered |= r.call == "DrvCopyBits" && r.targetIsDevice && r.hasSource && !r.sourceIsDevice;
  }
  EXPECT_TRUE(readBack && delivered);
}

TEST_F(DrawingTest, ADeviceThatCannotBeReadBackReadsAsWhite) {
  for (bool readable : {true, false}) {
    journal().Clear();
    TestDriverSettings settings;
    settings.surfaceKind = SurfaceKind::DeviceSurface;
    settings.hooks = kAllHooks;
    settings.flags = kDraw | (readable ? kReadableDevice : 0);
    auto dc = OpenPage(settings);
    ASSERT_TRUE(dc->FillRect({0, 0, 32, 16}, RGB(0, 0, 0)));
    ASSERT_TRUE(dc->PatBlt({0, 0, 16, 16}, Brush::Solid(0), ROP3_DSTINVERT));
    ASSERT_TRUE(dc->EndPage());
    // Inverting black gives white; inverting what reads as white gives black.
    EXPECT_EQ(BlackPixels(Page(), journal().pageStride, {0, 0, 16, 16}), readable ? 0 : 256) << readable;
    EXPECT_EQ(BlackPixels(Page(), journal().pageStride, {16, 0, 32, 16}), 256) << readable;
  }
}

TEST_F(DrawingTest, DriverMemoryIsDrawnWhereTheScanPointerIsAtEachCall) {
  TestDriverSettings settings;
  settings.surfaceKind = SurfaceKind::DriverMemory;
  settings.hooks = HOOK_BITBLT;  // stretching is not hooked
  settings.flags = kDraw;
  settings.scanOffsetY = 10;
  auto dc = OpenPage(settings);
  ASSERT_TRUE(dc->FillRect({0, 0, 8, 4}, RGB(0, 0, 0)));  // hooked: drawn 10 rows down
  IndexedImage black(8, 2, {RGB(0, 0, 0)}, [](LONG, LONG) { return BYTE(0); });
  ASSERT_TRUE(dc->DrawImage(black.image, {16, 0, 24, 4}));  // the engine's own: at the surface's origin
  ASSERT_TRUE(dc->EndPage());
  LONG stride = journal().pageStride;
  EXPECT_EQ(dc->Surface()->iType, STYPE_BITMAP) << "the driver handed its memory over";
  EXPECT_EQ(BlackPixels(Page(), stride, {0, 10, 8, 14}), 32);
  EXPECT_EQ(BlackPixels(Page(), stride, {16, 0, 24, 4}), 32);
  EXPECT_EQ(BlackPixels(Page(), stride, {0, 0, 64, 48}), 64);
}

TEST_F(DrawingTest, BadDrawingArgumentsAreRefused) {
  TestDriverSettings settings;
  auto dc = Open(settings);
  ASSERT_TRUE(dc);
  SetLastError(0);
  EXPECT_FALSE(dc->FillRect({0, 0, 4, 4}, 0)) << "outside a page";
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  ASSERT_TRUE(dc->StartDoc(u"doc") && dc->StartPage());
  BYTE bits[64] = {};
  auto image = [&](LONG w, LONG h, ULONG format, const void* data, LONG stride, size_t colours) {
    Image i;
    i.width = w;
    i.height = h;
    i.format = format;
    i.bits = data;
    i.stride = stride;
    i.palette.assign(colours, 0);
    return i;
  };
  struct Case {
    const char* what;
    Image image;
  } cases[] = {
      {"no bits", image(4, 4, BMF_8BPP, nullptr, 0, 0)},
      {"no width", image(0, 4, BMF_8BPP, bits, 0, 0)},
      {"unknown format", image(4, 4, 42, bits, 0, 0)},
      {"rows shorter than the width", image(16, 2, BMF_8BPP, bits, 8, 0)},
      {"palette larger than the format", image(4, 4, BMF_1BPP, bits, 0, 3)},
  };
  for (const Case& c : cases) {
    SetLastError(0);
    EXPECT_FALSE(dc->DrawImage(c.image, {0, 0, 4, 4})) << c.what;
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER) << c.what;
    Brush brush = Brush::Pattern(c.image);
    EXPECT_FALSE(dc->PatBlt({0, 0, 4, 4}, brush, ROP3_PATCOPY)) << c.what;
  }
  SetLastError(0);
  EXPECT_FALSE(dc->PatBlt({0, 0, 4, 4}, Brush::Hatched(HS_DDI_MAX, 0), ROP3_PATCOPY)) << "no such hatch";
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_TRUE(dc->PatBlt({0, 0, 4, 4}, Brush{Brush::Kind::Null, 0, 0, {}}, ROP3_PATCOPY)) << "draws nothing";
}

}  // namespace
}  // namespace k460::testing
