// Images and bit-block transfers as an application draws them: xlgraph
// loaded by name and driven through the engine's device context onto a
// capture printer, its output read back with the PCL XL reader and the
// image data decoded to gray levels.
#include <functional>

#include "driver/pcl/printer_common/nt/pclxl/xlgray.h"
#include "driver/pcl/printer_common/settings/settings.h"
#include "platform/engine/device_context.h"
#include "platform/spooler/capture.h"
#include "tests/driver/pcl/printer_common/nt/pclxl/xlimage_decode.h"
#include "tests/support/machine_fixture.h"

namespace xltest {
namespace {

using k460::engine::Brush;
using k460::engine::DeviceContext;
using k460::engine::Image;
using k460::engine::RGB;
using Bytes = std::vector<std::uint8_t>;
using Lines = std::vector<std::string>;

JobSettings Defaults(bool rasterGraphics = false) {
  JobSettings js;
  SettingsDefaults(js, u"K-460 PCL XL", false, nullptr);
  js.pv.pvGraphicsMode = rasterGraphics ? 1 : 0;
  return js;
}

// An application's bitmap with the colour of every pixel it should print.
struct TestImage {
  Image image;
  std::vector<std::uint8_t> bits;
  std::vector<COLORREF> colors;  // row by row

  std::vector<std::uint8_t> Grays() const {
    std::vector<std::uint8_t> grays;
    for (COLORREF c : colors) grays.push_back(GetGray(c));
    return grays;
  }
};

LONG Stride(ULONG bpp, LONG width) { return static_cast<LONG>((width * bpp + 31) / 32 * 4); }

// Indexed pixels (x * 3 + y) modulo the palette size: neighbouring rows
// differ whatever the palette's size.
TestImage Indexed(ULONG format, ULONG bpp, LONG width, LONG height, std::vector<COLORREF> palette) {
  TestImage t;
  LONG stride = Stride(bpp, width);
  t.bits.assign(static_cast<size_t>(stride * height), 0);
  for (LONG y = 0; y < height; ++y)
    for (LONG x = 0; x < width; ++x) {
      ULONG index = static_cast<ULONG>(x * 3 + y) % palette.size();
      std::uint8_t* row = t.bits.data() + y * stride;
      if (bpp == 1) row[x / 8] |= static_cast<std::uint8_t>(index << (7 - x % 8));
      if (bpp == 4) row[x / 2] |= static_cast<std::uint8_t>(x % 2 ? index : index << 4);
      if (bpp == 8) row[x] = static_cast<std::uint8_t>(index);
      t.colors.push_back(palette[index]);
    }
  t.image = {width, height, format, t.bits.data(), stride, true, palette};
  return t;
}

// Direct pixels: 16-bit 5-5-5 of full or no channels, 24- and 32-bit colours.
TestImage Direct(ULONG format, ULONG bpp, LONG width, LONG height) {
  TestImage t;
  LONG stride = Stride(bpp, width);
  t.bits.assign(static_cast<size_t>(stride * height), 0);
  for (LONG y = 0; y < height; ++y)
    for (LONG x = 0; x < width; ++x) {
      std::uint8_t* p = t.bits.data() + y * stride + x * (bpp / 8);
      if (bpp == 16) {
        unsigned k = static_cast<unsigned>(x + 2 * y) % 8;  // which channels are on
        unsigned r = k & 4 ? 31 : 0, g = k & 2 ? 31 : 0, b = k & 1 ? 31 : 0;
        unsigned v = (r << 10) | (g << 5) | b;
        p[0] = static_cast<std::uint8_t>(v);
        p[1] = static_cast<std::uint8_t>(v >> 8);
        t.colors.push_back(RGB(r ? 255 : 0, g ? 255 : 0, b ? 255 : 0));
      } else {
        auto r = static_cast<BYTE>(x * 37 + y * 11), g = static_cast<BYTE>(255 - x * 23),
             b = static_cast<BYTE>(y * 70 + x);
        p[0] = b;
        p[1] = g;
        p[2] = r;
        if (bpp == 32) p[3] = 0xA5;  // not a colour
        t.colors.push_back(RGB(r, g, b));
      }
    }
  t.image = {width, height, format, t.bits.data(), stride, true, {}};
  return t;
}

std::vector<COLORREF> Palette(size_t n) {
  std::vector<COLORREF> p;
  for (size_t i = 0; i < n; ++i)
    p.push_back(RGB(static_cast<BYTE>(i * 97), static_cast<BYTE>(255 - i * 13), static_cast<BYTE>(i * 7 + 30)));
  return p;
}

// One image of every format the engine has, 13 x 4 pixels.
struct FormatCase {
  const char* name;
  std::function<TestImage()> make;
  int colorMapping;
  int colorDepth;
};
const FormatCase kFormats[] = {
    {"1 bit",
     [] {
       return Indexed(BMF_1BPP, 1, 13, 4, {RGB(255, 0, 0), RGB(0, 0, 255)});
     },
     1, 0},
    {"4 bits", [] { return Indexed(BMF_4BPP, 4, 13, 4, Palette(16)); }, 1, 1},
    {"4 bits, short palette", [] { return Indexed(BMF_4BPP, 4, 13, 4, Palette(5)); }, 1, 1},
    {"8 bits", [] { return Indexed(BMF_8BPP, 8, 13, 4, Palette(256)); }, 1, 2},
    {"8 bits, short palette", [] { return Indexed(BMF_8BPP, 8, 13, 4, Palette(7)); }, 1, 2},
    {"16 bits", [] { return Direct(BMF_16BPP, 16, 13, 4); }, 0, 2},
    {"24 bits", [] { return Direct(BMF_24BPP, 24, 13, 4); }, 0, 2},
    {"32 bits", [] { return Direct(BMF_32BPP, 32, 13, 4); }, 0, 2},
};

// The result of a ternary operation, channel by channel, on a white page.
COLORREF RopOnWhite(BYTE rop, COLORREF source, COLORREF pattern) {
  COLORREF out = 0;
  for (int bit = 0; bit < 24; ++bit) {
    unsigned p = (pattern >> bit) & 1, s = (source >> bit) & 1, d = 1;
    out |= static_cast<COLORREF>((rop >> (4 * p + 2 * s + d)) & 1) << bit;
  }
  return out;
}

// Operator names of the page's drawing: from the first operator after the
// page's set-up to the one before EndPage.
Lines DrawingOperators(const std::string& bytes) {
  using namespace k460::pclxl;
  Job job = ParseJob(bytes);
  if (job.error) ADD_FAILURE() << FormatError(*job.error);
  Lines names;
  bool inPage = false;
  int setup = 0;
  for (const auto& item : job.items) {
    const auto* op = std::get_if<Operator>(&item);
    if (!op) continue;
    std::string name(OperatorName(op->code));
    if (name == "BeginPage") {
      inPage = true;
      setup = 0;
      continue;
    }
    if (name == "EndPage") inPage = false;
    // SetPageDefaultCTM, SetPageOrigin, SetPageScale, SetClipMode, SetCursor, SetColorSpace.
    if (!inPage || ++setup <= 6) continue;
    names.push_back(name);
  }
  return names;
}

// The formatted drawing items whose operator is `name`.
Lines ItemsNamed(const std::string& bytes, const std::string& name) {
  using namespace k460::pclxl;
  Lines found;
  for (const auto& item : ParseJob(bytes).items) {
    std::string text = FormatItem(item).substr(10);
    if (text == name || text.starts_with(name + " ")) found.push_back(text);
  }
  return found;
}

class XlRasterTest : public k460::testing::MachineTest {
 protected:
  // A one-page document drawn by `draw`, as the printer receives it.
  std::string PrintPage(const JobSettings& js, const std::function<void(DeviceContext&)>& draw) {
    HANDLE printer = k460::OpenCapturePrinter();
    k460::engine::DeviceOptions options;
    options.deviceName = u"K-460 PCL XL";
    auto dc = DeviceContext::Open(u"xlgraph", printer, &js.dm, options);
    EXPECT_TRUE(dc) << GetLastError();
    std::string bytes;
    if (dc) {
      EXPECT_TRUE(dc->StartDoc(u"Images") && dc->StartPage());
      draw(*dc);
      EXPECT_TRUE(dc->EndPage()) << GetLastError();
      EXPECT_TRUE(dc->EndDoc());
      dc->Close();
      bytes = k460::CapturedOutput(printer);
    }
    CloseHandle(printer);
    return bytes;
  }
};

// ---- Formats and raster operations -----------------------------------------

TEST_F(XlRasterTest, EverySourceFormatPrintsItsPixelsInGrayWithEachOperation) {
  const COLORREF brushColor = RGB(0, 128, 255);
  struct RopCase {
    BYTE rop;
    bool brush;
    bool engine;  // drawn by the engine and handed back as 24-bit pixels
  } rops[] = {
      {ROP3_SRCCOPY, false, false},
      {ROP3_SRCAND, false, false},
      {ROP3_NOTSRCCOPY, false, false},
      {ROP3_SRCINVERT, false, false},
      {ROP3_MERGECOPY, true, false},
      {ROP3_DSTINVERT, false, true},
      {0xB8, true, true},
  };
  for (const FormatCase& f : kFormats) {
    for (const RopCase& r : rops) {
      SCOPED_TRACE(std::string(f.name) + ", ROP " + std::to_string(r.rop));
      TestImage t = f.make();
      Brush brush = Brush::Solid(brushColor);
      RECTL dest{300, 400, 313, 404};
      std::string bytes = PrintPage(Defaults(), [&](DeviceContext& dc) {
        EXPECT_TRUE(dc.DrawImage(t.image, dest, nullptr, r.rop, r.brush ? &brush : nullptr)) << GetLastError();
      });
      auto images = Images(bytes);
      ASSERT_EQ(images.size(), 1u);
      const XlImage& image = images[0];
      EXPECT_EQ(image.cursorX, 300);
      EXPECT_EQ(image.cursorY, 400);
      EXPECT_EQ(image.destWidth, 13);
      EXPECT_EQ(image.destHeight, 4);
      EXPECT_EQ(image.padBytes, 4);
      if (!r.engine) {
        EXPECT_EQ(image.rop, r.rop);
        EXPECT_EQ(image.colorMapping, f.colorMapping);
        EXPECT_EQ(image.colorDepth, f.colorDepth);
        EXPECT_EQ(image.width, 13);
        EXPECT_EQ(image.height, 4);
        if (image.colorMapping == 1) {
          EXPECT_EQ(image.palette.size(), 1u << (f.colorDepth == 0 ? 1 : f.colorDepth == 1 ? 4 : 8));
        }
        EXPECT_EQ(image.Grays(), t.Grays());
        if (r.brush) {
          EXPECT_EQ(ItemsNamed(bytes, "SetBrushSource"),
                    Lines{"SetBrushSource GrayLevel=ubyte(" + std::to_string(GetGray(brushColor)) + ")"});
        }
        continue;
      }
      // The engine's result on a white page comes back as finished pixels.
      EXPECT_EQ(image.rop, ROP3_SRCCOPY);
      EXPECT_EQ(image.colorMapping, 0);
      EXPECT_EQ(image.colorDepth, 2);
      std::vector<std::uint8_t> expected;
      for (COLORREF c : t.colors) expected.push_back(GetGray(RopOnWhite(r.rop, c, brushColor)));
      bool alike = std::equal(expected.begin(), expected.end() - 13, expected.begin() + 13);
      if (alike) expected.resize(13);
      EXPECT_EQ(image.height, alike ? 1 : 4);
      EXPECT_EQ(image.Grays(), expected);
    }
  }
}

TEST_F(XlRasterTest, AnImageCallSendsItsStateThenTheImage) {
  TestImage t = Indexed(BMF_8BPP, 8, 13, 4, Palette(256));
  std::string bytes = PrintPage(Defaults(), [&](DeviceContext& dc) {
    EXPECT_TRUE(dc.DrawImage(t.image, {0, 0, 13, 4}, nullptr, ROP3_SRCAND));
    EXPECT_TRUE(dc.DrawImage(t.image, {0, 10, 13, 14}, nullptr, ROP3_SRCAND));
  });
  const Lines image{"SetColorSpace", "SetCursor", "BeginImage", "ReadImage", "EndImage"};
  Lines expected{"SetROP", "SetSourceTxMode", "SetPaintTxMode", "SetClipToPage"};
  expected.insert(expected.end(), image.begin(), image.end());
  // The second call finds ROP and clip in place.
  expected.insert(expected.end(), {"SetSourceTxMode", "SetPaintTxMode"});
  expected.insert(expected.end(), image.begin(), image.end());
  EXPECT_EQ(DrawingOperators(bytes), expected);
}

TEST_F(XlRasterTest, FillsArePaintedByThePrinterOrLeftToTheEngine) {
  struct Case {
    const char* name;
    Brush brush;
    BYTE rop;
    Lines operators;
    Lines brushes;
  } cases[] = {
      {"blackness",
       Brush::Solid(RGB(9, 9, 9)),
       ROP3_BLACKNESS,
       {"SetROP", "SetSourceTxMode", "SetPaintTxMode", "SetClipToPage", "SetPenSource", "SetPenWidth", "SetBrushSource",
        "NewPath", "RectanglePath", "PaintPath"},
       {"SetBrushSource GrayLevel=ubyte(0)"}},
      {"whiteness",
       Brush::Solid(RGB(9, 9, 9)),
       ROP3_WHITENESS,
       {"SetROP", "SetSourceTxMode", "SetPaintTxMode", "SetClipToPage", "SetPenSource", "SetPenWidth", "SetBrushSource",
        "NewPath", "RectanglePath", "PaintPath"},
       {"SetBrushSource GrayLevel=ubyte(255)"}},
      {"a solid colour",
       Brush::Solid(RGB(0, 0, 255)),
       ROP3_PATCOPY,
       {"SetROP", "SetSourceTxMode", "SetPaintTxMode", "SetClipToPage", "SetPenSource", "SetPenWidth", "SetBrushSource",
        "NewPath", "RectanglePath", "PaintPath"},
       {"SetBrushSource GrayLevel=ubyte(25)"}},
      {"brush and destination",
       Brush::Solid(RGB(0, 255, 0)),
       ROP3_PATINVERT,
       {"SetROP", "SetSourceTxMode", "SetPaintTxMode", "SetClipToPage", "SetBrushSource", "SetPenSource", "Rectangle"},
       {"SetBrushSource GrayLevel=ubyte(153)"}},
      {"no operation", Brush::Solid(0), ROP3_NOP, {"SetROP", "SetSourceTxMode", "SetPaintTxMode", "SetClipToPage"}, {}},
      // A hatch is no brush the printer has: the engine paints it, and its
      // pixels come back as an image drawn as it is.
      {"a hatch",
       Brush::Hatched(HS_CROSS, 0),
       ROP3_PATCOPY,
       {"SetROP", "SetSourceTxMode", "SetPaintTxMode", "SetClipToPage", "SetPenSource", "SetPenWidth", "SetROP",
        "SetColorSpace", "SetCursor", "BeginImage", "ReadImage", "EndImage"},
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string bytes = PrintPage(Defaults(), [&](DeviceContext& dc) {
      EXPECT_TRUE(dc.PatBlt({100, 200, 150, 260}, c.brush, c.rop)) << GetLastError();
    });
    EXPECT_EQ(DrawingOperators(bytes), c.operators);
    EXPECT_EQ(ItemsNamed(bytes, "SetBrushSource"), c.brushes);
    for (const auto& path : ItemsNamed(bytes, "RectanglePath"))
      EXPECT_EQ(path, "RectanglePath BoundingBox=sint16_box(100, 200, 150, 260)");
  }
}

TEST_F(XlRasterTest, AFlatImageIsSentAsOneRowStretchedToItsHeight) {
  std::vector<std::uint8_t> flat(100 * 3 * 50);
  for (size_t i = 0; i < flat.size(); i += 3) flat[i] = 200, flat[i + 1] = 100, flat[i + 2] = 50;
  Image image{100, 50, BMF_24BPP, flat.data(), 300, true, {}};
  auto images = Images(PrintPage(Defaults(), [&](DeviceContext& dc) {
    EXPECT_TRUE(dc.DrawImage(image, {10, 20, 110, 70}));
  }));
  ASSERT_EQ(images.size(), 1u);
  EXPECT_EQ(images[0].width, 100);
  EXPECT_EQ(images[0].height, 1);
  EXPECT_EQ(images[0].destWidth, 100);
  EXPECT_EQ(images[0].destHeight, 50);
  EXPECT_EQ(images[0].Grays(), Bytes(100, GetGray(RGB(50, 100, 200))));
  EXPECT_EQ(images[0].compressMode, 1);
}

// ---- Stretching ---------------------------------------------------------------

TEST_F(XlRasterTest, StretchedImagesKeepTheirPixelsAndTakeTheDestinationSize) {
  TestImage t = Indexed(BMF_8BPP, 8, 10, 6, Palette(256));
  auto grays = [&](RECTL from, bool mirrorX, bool mirrorY) {
    Bytes out;
    for (LONG y = 0; y < from.bottom - from.top; ++y)
      for (LONG x = 0; x < from.right - from.left; ++x) {
        LONG sx = mirrorX ? from.right - 1 - x : from.left + x;
        LONG sy = mirrorY ? from.bottom - 1 - y : from.top + y;
        out.push_back(GetGray(t.colors[static_cast<size_t>(sy * 10 + sx)]));
      }
    return out;
  };
  const RECTL whole{0, 0, 10, 6};
  struct Case {
    const char* name;
    RECTL dest;
    RECTL from;
    bool mirrorX, mirrorY;
  } cases[] = {
      {"enlarged", {100, 200, 125, 260}, whole, false, false},
      {"reduced", {100, 200, 105, 203}, whole, false, false},
      {"mirrored left to right", {125, 200, 100, 260}, whole, true, false},
      {"upside down", {100, 260, 125, 200}, whole, false, true},
      {"a part of it", {100, 200, 150, 240}, {2, 1, 7, 5}, false, false},
      {"a part, turned", {150, 240, 100, 200}, {2, 1, 7, 5}, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto images = Images(PrintPage(
        Defaults(), [&](DeviceContext& dc) { EXPECT_TRUE(dc.DrawImage(t.image, c.dest, &c.from)) << GetLastError(); }));
    ASSERT_EQ(images.size(), 1u);
    const XlImage& image = images[0];
    EXPECT_EQ(image.rop, ROP3_SRCCOPY);
    EXPECT_EQ(image.cursorX, std::min(c.dest.left, c.dest.right));
    EXPECT_EQ(image.cursorY, std::min(c.dest.top, c.dest.bottom));
    EXPECT_EQ(image.destWidth, std::abs(c.dest.right - c.dest.left));
    EXPECT_EQ(image.destHeight, std::abs(c.dest.bottom - c.dest.top));
    EXPECT_EQ(image.width, c.from.right - c.from.left);
    EXPECT_EQ(image.height, c.from.bottom - c.from.top);
    EXPECT_EQ(image.Grays(), grays(c.from, c.mirrorX, c.mirrorY));
  }
}

// ---- Clipping -------------------------------------------------------------------

TEST_F(XlRasterTest, RectangularClipIsSentAsAClipRectangle) {
  TestImage t = Indexed(BMF_8BPP, 8, 60, 60, Palette(256));
  std::string bytes = PrintPage(Defaults(), [&](DeviceContext& dc) {
    dc.SetClip({{50, 50, 80, 80}});
    EXPECT_TRUE(dc.DrawImage(t.image, {40, 40, 100, 100}));
  });
  EXPECT_EQ(ItemsNamed(bytes, "SetClipRectangle"),
            Lines{"SetClipRectangle BoundingBox=sint16_box(50, 50, 80, 80) ClipRegion=ubyte(0)"});
  auto images = Images(bytes);
  ASSERT_EQ(images.size(), 1u);
  EXPECT_EQ(images[0].Grays(), t.Grays()) << "the whole image, for the printer to clip";
}

TEST_F(XlRasterTest, ComplexClipIsSentAsTheOutlineOfItsRectangles) {
  TestImage t = Indexed(BMF_8BPP, 8, 60, 60, Palette(256));
  std::string bytes = PrintPage(Defaults(), [&](DeviceContext& dc) {
    dc.SetClip({{0, 0, 20, 20}, {40, 40, 60, 60}});
    EXPECT_TRUE(dc.DrawImage(t.image, {0, 0, 60, 60}));
    EXPECT_TRUE(dc.DrawImage(t.image, {0, 0, 60, 60}));
  });
  Lines path{"SetCursor", "LineRelPath", "CloseSubPath"};
  Lines expected{"SetROP", "SetClipReplace"};  // (filled in below)
  Lines ops = DrawingOperators(bytes);
  Lines clip{"NewPath", "SetColorSpace", "SetBrushSource", "SetPenSource", "SetPenWidth"};
  clip.insert(clip.end(), path.begin(), path.end());
  clip.insert(clip.end(), path.begin(), path.end());
  clip.push_back("SetClipReplace");
  auto at = std::search(ops.begin(), ops.end(), clip.begin(), clip.end());
  EXPECT_NE(at, ops.end()) << "the clip path";
  EXPECT_EQ(std::count(ops.begin(), ops.end(), "SetClipReplace"), 1) << "sent once for both calls";
  EXPECT_EQ(ItemsNamed(bytes, "SetCursor").at(1), "SetCursor Point=sint16_xy(0, 0)");
  EXPECT_EQ(ItemsNamed(bytes, "SetCursor").at(2), "SetCursor Point=sint16_xy(40, 40)");
  // Each rectangle: three steps from its corner, in signed bytes.
  auto job = k460::pclxl::ParseJob(bytes);
  for (const auto& item : job.items) {
    const auto* op = std::get_if<k460::pclxl::Operator>(&item);
    if (!op || op->code != 0x9D) continue;
    EXPECT_EQ(Num(*op, 0x4D), 3);
    EXPECT_EQ(Num(*op, 0x50), 1);
    ASSERT_EQ(op->dataLength, 6u);
    Bytes steps(bytes.begin() + static_cast<std::ptrdiff_t>(op->dataOffset),
                bytes.begin() + static_cast<std::ptrdiff_t>(op->dataOffset + 6));
    EXPECT_EQ(steps, (Bytes{20, 0, 0, 20, 0xEC, 0}));
  }
  EXPECT_EQ(Images(bytes).size(), 2u);
}

// ---- Raster graphics mode: bands -------------------------------------------------

TEST_F(XlRasterTest, BandedImagesAreSentInPageCoordinatesClippedToEachBand) {
  TestImage t = Indexed(BMF_8BPP, 8, 40, 300, Palette(256));
  std::string bytes = PrintPage(Defaults(true), [&](DeviceContext& dc) {
    EXPECT_TRUE(dc.DrawImage(t.image, {100, 1000, 140, 1300}));
  });
  auto images = Images(bytes);
  ASSERT_EQ(images.size(), 2u) << "the image touches two bands";
  EXPECT_EQ(images[0].clip, "SetClipRectangle BoundingBox=sint16_box(100, 1000, 140, 1100) ClipRegion=ubyte(0)");
  EXPECT_EQ(images[1].clip, "SetClipRectangle BoundingBox=sint16_box(100, 1100, 140, 1300) ClipRegion=ubyte(0)");
  for (const XlImage& image : images) {
    EXPECT_EQ(image.cursorX, 100);
    EXPECT_EQ(image.cursorY, 1000);
    EXPECT_EQ(image.Grays(), t.Grays());
  }
}

TEST_F(XlRasterTest, BandedComplexClipSendsEachVisiblePieceOnItsOwn) {
  TestImage t = Indexed(BMF_8BPP, 8, 30, 30, Palette(256));
  struct Case {
    const char* name;
    RECTL dest;
    RECTL piece1Source, piece2Source;
  } cases[] = {
      {"at its own size", {0, 1200, 30, 1230}, {0, 0, 10, 10}, {20, 20, 30, 30}},
      {"stretched twice", {0, 1200, 60, 1260}, {0, 0, 5, 5}, {10, 10, 15, 15}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string bytes = PrintPage(Defaults(true), [&](DeviceContext& dc) {
      dc.SetClip({{0, 1200, 10, 1210}, {20, 1220, 30, 1230}});
      EXPECT_TRUE(dc.DrawImage(t.image, c.dest));
    });
    EXPECT_TRUE(ItemsNamed(bytes, "SetClipReplace").empty());
    auto images = Images(bytes);
    ASSERT_EQ(images.size(), 2u);
    const RECTL pieces[] = {{0, 1200, 10, 1210}, {20, 1220, 30, 1230}};
    const RECTL sources[] = {c.piece1Source, c.piece2Source};
    for (int i = 0; i < 2; ++i) {
      const XlImage& image = images[static_cast<size_t>(i)];
      EXPECT_EQ(image.clip, "SetClipToPage") << "no older clip cuts the pieces";
      EXPECT_EQ(image.cursorX, pieces[i].left);
      EXPECT_EQ(image.cursorY, pieces[i].top);
      EXPECT_EQ(image.destWidth, 10);
      EXPECT_EQ(image.destHeight, 10);
      const RECTL& s = sources[i];
      ASSERT_EQ(image.width, s.right - s.left);
      ASSERT_EQ(image.height, s.bottom - s.top);
      Bytes expected;
      for (LONG y = s.top; y < s.bottom; ++y)
        for (LONG x = s.left; x < s.right; ++x) expected.push_back(GetGray(t.colors[static_cast<size_t>(y * 30 + x)]));
      EXPECT_EQ(image.Grays(), expected);
    }
  }
}

TEST_F(XlRasterTest, BandedFillsAndEngineResultsLandOnThePage) {
  std::string bytes = PrintPage(Defaults(true), [&](DeviceContext& dc) {
    EXPECT_TRUE(dc.PatBlt({0, 1050, 100, 1150}, Brush::Solid(0), ROP3_BLACKNESS));
    EXPECT_TRUE(dc.PatBlt({0, 2300, 8, 2302}, Brush::Solid(0), ROP3_DSTINVERT));
  });
  EXPECT_EQ(ItemsNamed(bytes, "RectanglePath"), Lines(2, "RectanglePath BoundingBox=sint16_box(0, 1050, 100, 1150)"));
  EXPECT_EQ(ItemsNamed(bytes, "SetClipRectangle"),
            (Lines{"SetClipRectangle BoundingBox=sint16_box(0, 1050, 100, 1100) ClipRegion=ubyte(0)",
                   "SetClipRectangle BoundingBox=sint16_box(0, 1100, 100, 1150) ClipRegion=ubyte(0)"}));
  // The inverted white page comes back from the engine: black, drawn as it is.
  auto images = Images(bytes);
  ASSERT_EQ(images.size(), 1u);
  EXPECT_EQ(images[0].rop, ROP3_SRCCOPY);
  EXPECT_EQ(images[0].cursorY, 2300);
  EXPECT_EQ(images[0].clip, "SetClipToPage") << "the call lies inside its band";
  EXPECT_EQ(images[0].Grays(), Bytes(8, 0));
}

}  // namespace
}  // namespace xltest
