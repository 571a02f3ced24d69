// Text: the engine's own drawing of glyphs, and the string, font and
// glyph objects a driver receives (glyph handles and positions checked
// against the font file read with FreeType independently), opaque and
// extra rectangles, refusals drawn by the engine, and device fonts.
#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>

#include "tests/platform/engine/engine_test_support.h"
#include "tests/platform/engine/pixel_helpers.h"

namespace k460::testing {
namespace {

using engine::Font;
using engine::RGB;
using engine::TextOptions;

Font Face(const char16_t* face, FLOATL points) {
  Font f;
  f.face = face;
  f.points = points;
  return f;
}

bool SameRect(const RECTL& a, const RECTL& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// The engine's text on a 72-dpi memory device (points are pixels).
class EngineTextTest : public MachineTest {
 protected:
  void SetUp() override {
    MachineTest::SetUp();
    dc_ = engine::DeviceContext::OpenBitmap(400, 200, BMF_1BPP);
    ASSERT_TRUE(dc_);
  }
  void Clear() { ASSERT_TRUE(dc_->FillRect({0, 0, 400, 200}, RGB(255, 255, 255))); }
  // Black pixels within `r`, and the box around all of them.
  long Count(const RECTL& r, RECTL* box = nullptr) const {
    long n = 0;
    RECTL b{r.right, r.bottom, r.left, r.top};
    for (LONG y = r.top; y < r.bottom; ++y) {
      for (LONG x = r.left; x < r.right; ++x) {
        if (SurfacePixel(dc_->Surface(), x, y) != 0) continue;
        ++n;
        b = {std::min(b.left, x), std::min(b.top, y), std::max(b.right, x + 1), std::max(b.bottom, y + 1)};
      }
    }
    if (box) *box = b;
    return n;
  }
  static constexpr RECTL kPage{0, 0, 400, 200};
  std::unique_ptr<engine::DeviceContext> dc_;
};

TEST_F(EngineTextTest, GlyphsAreDrawnOnTheBaselineWithinTheirSize) {
  Clear();
  ASSERT_TRUE(dc_->TextOut({20, 100}, u"Hxg", Face(u"Arial", 40)));
  RECTL box;
  long ink = Count(kPage, &box);
  EXPECT_GT(ink, 300);
  // Capitals stand on the baseline, a descender goes below it; all within the em.
  EXPECT_GE(box.left, 20);
  EXPECT_LE(box.left, 24);
  EXPECT_GE(box.top, 100 - 40);
  EXPECT_GT(box.bottom, 101) << "the g descends";
  EXPECT_LE(box.bottom, 100 + 12);
  EXPECT_GT(Count({20, 60, 400, 100}), Count({20, 100, 400, 200})) << "most ink above the baseline";
  EXPECT_EQ(Count({0, 0, 400, 55}) + Count({0, 0, 19, 200}), 0);

  struct Case {
    const char* what;
    Font narrow, wide;
    const char16_t* narrowText;
    const char16_t* wideText;
  } widths[] = {
      {"i is narrower than W", Face(u"Arial", 30), Face(u"Arial", 30), u"iiii", u"WWWW"},
      {"a larger size is wider", Face(u"Times New Roman", 20), Face(u"Times New Roman", 40), u"Text", u"Text"},
  };
  for (const Case& c : widths) {
    Clear();
    RECTL a, b;
    ASSERT_TRUE(dc_->TextOut({10, 50}, c.narrowText, c.narrow));
    Count({0, 0, 400, 100}, &a);
    ASSERT_TRUE(dc_->TextOut({10, 150}, c.wideText, c.wide));
    Count({0, 100, 400, 200}, &b);
    EXPECT_LT(a.right - a.left, b.right - b.left) << c.what;
  }
}

TEST_F(EngineTextTest, StylesSimulationsAndAnglesChangeTheInk) {
  auto ink = [&](const Font& font, const char16_t* text, const TextOptions& options = {}, RECTL* box = nullptr) {
    Clear();
    EXPECT_TRUE(dc_->TextOut({100, 120}, text, font, options));
    return Count(kPage, box);
  };
  Font gothic = Face(u"MS Gothic", 30);
  Font bold = gothic;
  bold.bold = true;  // the IPA family has no bold face: simulated
  EXPECT_GT(ink(bold, u"ABC"), ink(gothic, u"ABC") * 11 / 10);
  Font italic = Face(u"DejaVu Sans", 30);
  italic.italic = true;
  EXPECT_GT(ink(italic, u"AB"), 0);
  long plain = ink(Face(u"Arial", 30), u"Underline");
  TextOptions underline;
  underline.underline = true;
  RECTL box;
  long underlined = ink(Face(u"Arial", 30), u"Underline", underline, &box);
  EXPECT_GT(underlined, plain + 100) << "a line the text's length";
  EXPECT_GT(Count({box.left, 122, box.right, 130}), 100) << "below the baseline";
  // Rotated by 90 degrees: the text runs up the page.
  Font up = Face(u"Arial", 24);
  up.escapement = 900;
  ink(up, u"Rotated", {}, &box);
  EXPECT_GT(box.bottom - box.top, 2 * (box.right - box.left));
  EXPECT_LE(box.bottom, 122);
  // Japanese text in a Japanese face, under both of its names.
  long mincho = ink(Face(u"MS Mincho", 30), u"\u65E5\u672C\u8A9E");
  EXPECT_GT(mincho, 200);
  EXPECT_EQ(ink(Face(u"\uFF2D\uFF33 \u660E\u671D", 30), u"\u65E5\u672C\u8A9E"), mincho);
  // A face the engine does not have is drawn in the stand-in face.
  EXPECT_EQ(ink(Face(u"No Such Face", 30), u"Text"), ink(Face(u"DejaVu Sans", 30), u"Text"));
}

TEST_F(EngineTextTest, BadTextArgumentsAreRefused) {
  SetLastError(0);
  EXPECT_FALSE(dc_->TextOut({0, 0}, u"x", Face(u"Arial", 0)));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_FALSE(dc_->TextOut({0, 0}, u"x", Face(u"Arial", std::nanf(""))));
  EXPECT_TRUE(dc_->TextOut({0, 0}, u"", Face(u"Arial", 10))) << "nothing to draw";
  EXPECT_TRUE(dc_->TextOut({-100000, 5000000}, u"far away", Face(u"Arial", 10)));
  EXPECT_TRUE(dc_->TextOut({10, 10}, u"\xD800 lone surrogate \xDFFF", Face(u"Arial", 10)));
  // The engine's text services refuse objects it did not make.
  STROBJ fakeString{};
  FONTOBJ fakeFont{};
  ULONG count = 7;
  GLYPHPOS* glyphs = nullptr;
  EXPECT_FALSE(STROBJ_bEnum(&fakeString, &count, &glyphs));
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(FONTOBJ_pifi(&fakeFont), nullptr);
  EXPECT_EQ(FONTOBJ_cGetAllGlyphHandles(&fakeFont, nullptr), 0u);
  ULONG size = 5;
  EXPECT_EQ(FONTOBJ_pvTrueTypeFontFile(&fakeFont, &size), nullptr);
  EXPECT_EQ(size, 0u);
  EXPECT_FALSE(EngTextOut(dc_->Surface(), &fakeString, &fakeFont, nullptr, nullptr, nullptr, nullptr, nullptr,
                          nullptr, R2_COPYPEN));
}

class DriverTextTest : public EngineDriverTest {
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
};

TEST_F(DriverTextTest, TheDriverGetsGlyphsOfTheFontFileAtTheirAdvances) {
  TestDriverSettings settings;  // 600 dpi
  settings.width = 2000;
  settings.height = 400;
  settings.hooks = HOOK_TEXTOUT;
  auto dc = OpenPage(settings);
  const std::u16string text = u"Kern Ty";
  ASSERT_TRUE(dc->TextOut({100, 300}, text, Face(u"Arial", 24)));
  auto calls = Calls("DrvTextOut");
  ASSERT_EQ(calls.size(), 1u);
  const DrawRecord r = calls[0];  // a copy: calls is filled anew below
  EXPECT_EQ(r.text, text);
  EXPECT_EQ(r.fontType & (FO_TYPE_TRUETYPE | FO_TYPE_DEVICE), FO_TYPE_TRUETYPE);
  EXPECT_EQ(r.styleSize, 24u);
  EXPECT_EQ(r.fontResolution.cy, 600);
  EXPECT_EQ(r.fontName, u"Arial");
  EXPECT_EQ(r.familyName, u"Liberation Sans");
  EXPECT_EQ(r.enumeratedGlyphs, text.size());
  EXPECT_EQ(r.brushColor, RGB(0, 0, 0));
  // 24 points at 600 dpi: an em of 200 pixels.
  const double em = 200;
  EXPECT_EQ(r.fontXformKind, GX_SCALE);
  EXPECT_NEAR(r.fontXform.eM11, em / r.unitsPerEm, 1e-6);
  EXPECT_NEAR(r.fontXform.eM22, -em / r.unitsPerEm, 1e-6);
  ASSERT_GT(r.fontFile.size(), 1000u);
  EXPECT_EQ(r.fontFile[0], 0x00);
  EXPECT_EQ(r.fontFile[1], 0x01) << "a TrueType file";

  // The same file read independently: handles are the cmap's glyph indices,
  // each glyph stands at the previous one's advance.
  FT_Library library;
  ASSERT_EQ(FT_Init_FreeType(&library), 0);
  FT_Face face;
  ASSERT_EQ(FT_New_Memory_Face(library, r.fontFile.data(), static_cast<FT_Long>(r.fontFile.size()), 0, &face), 0);
  EXPECT_EQ(r.allGlyphs, static_cast<ULONG>(face->num_glyphs));
  FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(em * 64), 72, 72);
  ASSERT_EQ(r.glyphHandles.size(), text.size());
  double x = 100;
  for (size_t i = 0; i < text.size(); ++i) {
    FT_UInt index = FT_Get_Char_Index(face, text[i]);
    EXPECT_EQ(r.glyphHandles[i], index) << i;
    EXPECT_NEAR(r.glyphPositions[i].x, x, 1.0) << i;
    EXPECT_EQ(r.glyphPositions[i].y, 300) << i;
    ASSERT_EQ(FT_Load_Glyph(face, index, FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_MONO), 0);
    x += face->glyph->advance.x / 64.0;
  }
  // The first glyph, K: its bits reach from the baseline up about a cap height.
  ASSERT_TRUE(r.firstGlyphBits);
  EXPECT_NEAR(r.firstGlyphSize.cy, em * 0.72, em * 0.05);
  EXPECT_NEAR(r.firstGlyphOrigin.y, -r.firstGlyphSize.cy, 1);
  FT_Load_Glyph(face, r.glyphHandles[0], FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_MONO);
  EXPECT_EQ(r.firstGlyphAdvance, face->glyph->advance.x / 4);
  EXPECT_GT(r.firstGlyphOutline, 0u) << "its outline as a path";
  FT_Done_Face(face);
  FT_Done_FreeType(library);

  // The same font again is the same realisation; another size is another,
  // of the same file.
  journal().draws.clear();
  ASSERT_TRUE(dc->TextOut({100, 100}, u"again", Face(u"Arial", 24)));
  ASSERT_TRUE(dc->TextOut({100, 200}, u"larger", Face(u"Arial", 30)));
  calls = Calls("DrvTextOut");
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].fontUniq, r.fontUniq);
  EXPECT_NE(calls[1].fontUniq, r.fontUniq);
  EXPECT_EQ(calls[1].ttUniq, r.ttUniq);
}

TEST_F(DriverTextTest, FontsOfEveryKindReachTheDriver) {
  TestDriverSettings settings;
  settings.width = 1000;
  settings.height = 200;
  settings.hooks = HOOK_TEXTOUT;
  settings.flags = kDeviceFont;
  auto dc = OpenPage(settings);
  Font gothicBold = Face(u"MS Gothic", 10);
  gothicBold.bold = true;
  Font courierUrw = Face(u"Courier", 10);
  Font vertical = Face(u"@MS Mincho", 10);
  Font device = Face(kDeviceFontName, 10);
  ASSERT_TRUE(dc->TextOut({10, 100}, u"\u3042\u3044", gothicBold));
  ASSERT_TRUE(dc->TextOut({10, 100}, u"PS", courierUrw));
  ASSERT_TRUE(dc->TextOut({10, 100}, u"\u7E26", vertical));
  ASSERT_TRUE(dc->TextOut({10, 100}, u"AB?", device));
  auto calls = Calls("DrvTextOut");
  ASSERT_EQ(calls.size(), 4u);
  // A Japanese face without a bold file: simulated bold, real glyphs.
  EXPECT_EQ(calls[0].fontType, FO_TYPE_TRUETYPE | FO_SIM_BOLD);
  EXPECT_EQ(calls[0].familyName, u"IPAGothic");
  EXPECT_NE(calls[0].glyphHandles[0], 0u);
  // A PostScript face: an outline font that is not TrueType, without a file to download.
  EXPECT_EQ(calls[1].fontType & (FO_TYPE_TRUETYPE | FO_TYPE_DEVICE), 0u);
  EXPECT_TRUE(calls[1].fontFile.empty());
  EXPECT_TRUE(calls[1].firstGlyphBits);
  EXPECT_EQ(calls[2].fontType & FO_VERT_FACE, FO_VERT_FACE);
  EXPECT_EQ(calls[2].fontName, u"MS Mincho");
  // The driver's device font: its glyph set's handles and its advances.
  const DrawRecord& d = calls[3];
  EXPECT_EQ(d.fontType, FO_TYPE_DEVICE);
  EXPECT_EQ(d.fontFace, 1u);
  EXPECT_EQ(d.fontName, kDeviceFontName);
  EXPECT_TRUE(d.fontFile.empty());
  EXPECT_EQ(d.allGlyphs, 0x7Fu - 0x20u);
  ASSERT_EQ(d.glyphHandles.size(), 3u);
  EXPECT_EQ(d.glyphHandles[0], HGLYPH(u'A' + 0x100));
  EXPECT_EQ(d.glyphHandles[2], HGLYPH(u'?' + 0x100));
  for (size_t i = 0; i < 3; ++i) EXPECT_EQ(d.glyphPositions[i].x, 10 + kDeviceFontAdvance * LONG(i));
  EXPECT_FALSE(d.firstGlyphBits) << "the driver gives no bitmaps";
  auto noted = CallsSince(0);
  EXPECT_EQ(std::count(noted.begin(), noted.end(), "DrvQueryFont"), 1) << "asked once per device";
  EXPECT_EQ(std::count(noted.begin(), noted.end(), "DrvQueryFontTree"), 1);
}

TEST_F(DriverTextTest, OpaqueAndExtraRectanglesFollowTheCapabilities) {
  TextOptions options;
  options.background = RGB(255, 255, 255);
  options.underline = true;
  options.strikeOut = true;
  for (FLONG caps : {FLONG{GCAPS_OPAQUERECT}, FLONG{0}}) {
    journal().Clear();
    TestDriverSettings settings;
    settings.width = 1000;
    settings.height = 200;
    settings.hooks = HOOK_TEXTOUT | HOOK_BITBLT;
    settings.graphicsCaps = caps;
    auto dc = OpenPage(settings);
    ASSERT_TRUE(dc->TextOut({10, 100}, u"Boxed", Face(u"Arial", 6), options));
    auto text = Calls("DrvTextOut");
    ASSERT_EQ(text.size(), 1u);
    auto fills = Calls("DrvBitBlt");
    if (caps) {
      ASSERT_TRUE(text[0].hasOpaque);
      EXPECT_TRUE(SameRect(text[0].opaque, text[0].background));
      EXPECT_TRUE(fills.empty());
    } else {
      EXPECT_FALSE(text[0].hasOpaque) << "the engine filled the cell first";
      ASSERT_EQ(fills.size(), 1u);
      EXPECT_TRUE(SameRect(fills[0].target, text[0].background));
      EXPECT_EQ(fills[0].brushColor, RGB(255, 255, 255));
    }
    // 6 points at 600 dpi: an em of 50 pixels; the cell spans ascent and descent.
    EXPECT_LT(text[0].background.top, 100 - 40);
    EXPECT_GT(text[0].background.bottom, 100 + 8);
    ASSERT_EQ(text[0].extra.size(), 2u);
    EXPECT_GT(text[0].extra[0].top, 100) << "the underline below the baseline";
    EXPECT_LT(text[0].extra[1].bottom, 100) << "the strike-out above it";
    EXPECT_EQ(text[0].extra[0].left, 10);
  }
}

// A driver that refuses text gets the glyphs from the engine, as a driver
// that does not hook text does.
TEST_F(DriverTextTest, RefusedTextIsDrawnByTheEngine) {
  auto draw = [&](FLONG hooks, DWORD flags) {
    journal().Clear();
    TestDriverSettings settings;
    settings.width = 400;
    settings.height = 120;
    settings.hooks = hooks;
    settings.flags = flags;
    auto dc = OpenPage(settings);
    TextOptions options;
    options.underline = true;
    EXPECT_TRUE(dc->TextOut({10, 80}, u"Engine", Face(u"DejaVu Serif", 6), options));
    EXPECT_TRUE(dc->EndPage());
    return journal().pages.back();
  };
  std::vector<BYTE> expected = draw(0, 0);
  EXPECT_GT(BlackPixels(expected, journal().pageStride, {0, 0, 400, 120}), 500);
  EXPECT_EQ(draw(HOOK_TEXTOUT, kRefuseText), expected);
  EXPECT_EQ(Calls("DrvTextOut").size(), 1u);
  EXPECT_EQ(draw(HOOK_TEXTOUT, kDraw), expected) << "the driver drawing through EngTextOut";
}

}  // namespace
}  // namespace k460::testing
