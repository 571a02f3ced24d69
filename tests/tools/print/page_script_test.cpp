#include "tools/print/page_script.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "tools/print/print_error.h"

namespace k460::print {
namespace {

using ::testing::StartsWith;

constexpr double kPt = kUnitsPerPoint;
constexpr double kMm = kUnitsPerMillimetre;

Point Pt(double x, double y) { return {x * kPt, y * kPt}; }

std::vector<Operation> OperationsOf(const std::string& line) {
  const Document document = ParsePageScript("page\n" + line + "\n", "t.k460", "");
  EXPECT_EQ(document.pages.size(), 1u);
  return document.pages.at(0).operations;
}

struct GoodLine {
  std::string line;
  std::vector<Operation> expected;
};

TEST(PageScript, EachCommandBecomesItsOperation) {
  Pen dashed;
  dashed.style = PenStyle::Dash;
  dashed.width = 2 * kPt;
  dashed.color = Color::Rgb(255, 0, 0);
  Pen none;
  none.style = PenStyle::None;
  Pen custom;
  custom.style = PenStyle::Custom;
  custom.width = 1 * kPt;
  custom.color = Color::Gray(128);
  custom.dashes = {3 * kPt, 1 * kMm};
  Brush solid{BrushKind::Solid, Color::Rgb(1, 2, 3)};
  Brush hatch{BrushKind::Hatch, Color::Black(), HatchStyle::BackwardDiagonal};
  Brush pattern{
      BrushKind::Pattern, Color::Gray(10), HatchStyle::Horizontal, {0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF}};
  Font font{"Times New Roman", 12 * kPt, true, true, 45};
  Path path = {{PathSegment::Kind::MoveTo, {Pt(0, 0)}},
               {PathSegment::Kind::LineTo, {Pt(10, 0)}},
               {PathSegment::Kind::BezierTo, {Pt(1, 2), Pt(3, 4), Pt(5, 6)}},
               {PathSegment::Kind::Close, {}}};

  const GoodLine cases[] = {
      {"line 10 20 30 40", {LineOp{Pt(10, 20), Pt(30, 40)}}},
      {"line 1in 2in 10mm 600dot  # units on every number", {LineOp{{600, 1200}, {10 * kMm, 600}}}},
      {"line +1.5cm -2 .5pt 0", {LineOp{{15 * kMm, -2 * kPt}, {0.5 * kPt, 0}}}},
      {"rect 10 20 30 40", {RectangleOp{Rect::FromSize(10 * kPt, 20 * kPt, 30 * kPt, 40 * kPt)}}},
      {"polyline 0 0 10 10 20 0", {PolylineOp{{Pt(0, 0), Pt(10, 10), Pt(20, 0)}}}},
      {"bezier 0 0 1 1 2 2 3 3", {BezierOp{{Pt(0, 0), Pt(1, 1), Pt(2, 2), Pt(3, 3)}}}},
      {"polygon winding 0 0 10 0 5 10", {PolygonOp{{Pt(0, 0), Pt(10, 0), Pt(5, 10)}, FillMode::Winding}}},
      {"polygon alternate 0 0 10 0 5 10", {PolygonOp{{Pt(0, 0), Pt(10, 0), Pt(5, 10)}, FillMode::Alternate}}},
      {R"(text 10 20 "Hello, \"world\" \\ # not a comment")",
       {TextOp{Pt(10, 20), u"Hello, \"world\" \\ # not a comment"}}},
      {"text 1 2 日本語", {TextOp{Pt(1, 2), u"日本語"}}},
      {"pen 2 red dash", {PenOp{dashed}}},
      {"pen none", {PenOp{none}}},
      {"pen 1 gray:128 dash=3,1mm", {PenOp{custom}}},
      {"brush solid rgb:1,2,3", {BrushOp{solid}}},
      {"brush hatch bdiagonal black", {BrushOp{hatch}}},
      {"brush pattern 00FF00FF00FF00ff gray:10", {BrushOp{pattern}}},
      {"brush none", {BrushOp{Brush{}}}},
      {R"(font "Times New Roman" 12 bold italic angle=45)", {FontOp{font}}},
      {"textcolor blue", {TextColorOp{Color::Rgb(0, 0, 255)}}},
      {"clip rect 1 2 3 4", {ClipRectOp{Rect::FromSize(1 * kPt, 2 * kPt, 3 * kPt, 4 * kPt)}}},
      {"clip path alternate M 0 0 L 10 0 C 1 2 3 4 5 6 Z", {ClipPathOp{path, FillMode::Alternate}}},
      {"clip none", {ResetClipOp{}}},
      {"   # only a comment", {}},
  };
  for (const GoodLine& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(OperationsOf(c.line), c.expected);
  }
}

struct BadLine {
  std::string line;
  std::string message;  // the start of the error
};

TEST(PageScript, BadLinesNameFileLineAndFault) {
  const BadLine cases[] = {
      {"rectnagle 1 2 3 4", "unknown command 'rectnagle'"},
      {"Rect 1 2 3 4", "unknown command 'Rect'"},
      {"rect 1 2 3", "rect: missing HEIGHT; usage: rect X Y WIDTH HEIGHT"},
      {"rect 1 2 3 4 5", "rect: unexpected '5'; usage: rect X Y WIDTH HEIGHT"},
      {"rect 1 2 -3 4", "rect: WIDTH must be more than 0"},
      {"line 1 2 3 x", "line: 'x' is not a number (Y)"},
      {"line 1 2 3 4qq", "line: '4qq' has an unknown unit 'qq' (units: pt, mm, cm, in, dot)"},
      {"line 1e9in 0 0 0", "line: '1e9in' is out of range (X)"},
      {"line nan 0 0 0", "line: 'nan' is not a number (X)"},
      {"pen 1 bleu", "pen: unknown colour 'bleu' (black, white,"},
      {"pen 1 rgb:1,2", "pen: unknown colour 'rgb:1,2'"},
      {"pen 1 gray:256", "pen: unknown colour 'gray:256'"},
      {"pen 1 black wiggly", "pen: unknown pen style 'wiggly'"},
      {"pen 1 black dash=0,1", "pen: dash lengths must be more than 0"},
      {"pen -1 black", "pen: WIDTH must not be negative"},
      {"brush hatch plaid black", "brush: unknown hatch style 'plaid'"},
      {"brush pattern 123 black", "brush: a pattern is 16 hexadecimal digits (8 rows of 8 pixels), not '123'"},
      {"brush pattern 00112233445566zz black", "brush: a pattern is 16 hexadecimal digits"},
      {"brush stripes", "brush: unknown brush 'stripes'; usage: brush none |"},
      {"brush solid", "brush: missing COLOUR; usage:"},
      {"polygon evenodd 0 0 1 1 2 0", "polygon: fill mode must be 'alternate' or 'winding', not 'evenodd'"},
      {"polygon winding 0 0 1 1", "polygon: needs at least 3 points; usage:"},
      {"polyline 0 0 1", "polyline: X and Y values come in pairs; usage:"},
      {"bezier 0 0 1 1 2 2", "bezier: needs at least 4 points"},
      {"bezier 0 0 1 1 2 2 3 3 4 4",
       "bezier: needs a start point and three points (two controls and an end) for each curve"},
      {"text 1 2 hello world", "text: unexpected 'world'; put a text that holds blanks in quotes"},
      {"text 1 2 \"open", "quoted text has no closing '\"'"},
      {"text 1 2 \"a\\qb\"", "unknown escape '\\q' in a quoted text"},
      {"text 1 2 \"a\"b", "a blank must follow the closing '\"' of a quoted text"},
      {"text 1 2 \"\xff\"", "the line is not valid UTF-8"},
      {"font Helvetica 0", "font: SIZE must be more than 0"},
      {"font \"\" 12", "font: the face name is empty"},
      {"font AVeryLongFaceNameThatDoesNotFitIntoTheEngine 12",
       "font: face name 'AVeryLongFaceNameThatDoesNotFitIntoTheEngine' is longer than 31 characters"},
      {"font Helvetica 12 underline", "font: unexpected 'underline'"},
      {"font Helvetica 12 angle=400", "font: angle must be a number of degrees within -360..360"},
      {"clip path winding L 1 1", "clip: 'L' needs a current point; start the figure with M X Y"},
      {"clip path winding M 1 1 Q 2 2", "clip: unknown path step 'Q'"},
      {"clip path winding", "clip: the path is empty; usage:"},
      {"clip circle", "clip: unknown clip 'circle'; usage:"},
      {"unit furlong", "unit: unknown unit 'furlong' (units: pt, mm, cm, in, dot)"},
      {"page A7", "page: unknown paper 'A7' (papers: Letter, HalfLetter,"},
      {"page A4 landscape portrait", "page: orientation given twice"},
      {"page A4 100 200", "page: page size given twice"},
      {"image missing.png 0 0 1 1", "image: missing.png: cannot read: No such file or directory"},
  };
  for (const BadLine& c : cases) {
    SCOPED_TRACE(c.line);
    try {
      ParsePageScript("# a comment, then a blank line\n\n" + c.line + "\nline 0 0 1 1\n", "t.k460", "");
      ADD_FAILURE() << "no error";
    } catch (const DocumentError& error) {
      EXPECT_THAT(error.what(), StartsWith("t.k460:3: " + c.message));
    }
  }
}

TEST(PageScript, StateCarriesOverPagesButClipDoesNot) {
  const Document document = ParsePageScript(
      "pen 2 red\nfont Times 10\npage\nclip rect 0 0 10 10\nline 0 0 1 1\ntextcolor gray:50\npage\nline 0 0 1 1\n",
      "t.k460", "");
  ASSERT_EQ(document.pages.size(), 2u);
  Pen red;
  red.width = 2 * kPt;
  red.color = Color::Rgb(255, 0, 0);
  const Font times{"Times", 10 * kPt};
  const std::vector<Operation> first = {PenOp{red}, FontOp{times}, ClipRectOp{Rect::FromSize(0, 0, 10 * kPt, 10 * kPt)},
                                        LineOp{Pt(0, 0), Pt(1, 1)}, TextColorOp{Color::Gray(50)}};
  const std::vector<Operation> second = {PenOp{red}, FontOp{times}, TextColorOp{Color::Gray(50)},
                                         LineOp{Pt(0, 0), Pt(1, 1)}};
  EXPECT_EQ(document.pages[0].operations, first);
  EXPECT_EQ(document.pages[1].operations, second);
}

TEST(PageScript, PagesAndTheirSetup) {
  const Document document = ParsePageScript(
      "line 0 0 1 1\npage A4 landscape\npage\r\nunit mm\r\npage 100 50\npage Letter portrait\n", "t.k460", "");
  ASSERT_EQ(document.pages.size(), 5u);
  EXPECT_EQ(document.pages[0].setup, PageSetup{});  // drawing starts a page of the job's paper
  EXPECT_EQ(document.pages[1].setup, (PageSetup{Size{7014, 4960}, "A4", Orientation::Landscape}));
  EXPECT_TRUE(document.pages[1].operations.empty());
  EXPECT_EQ(document.pages[2].setup, PageSetup{});
  EXPECT_EQ(document.pages[3].setup, (PageSetup{Size{100 * kMm, 50 * kMm}, "", Orientation::Landscape}));
  EXPECT_EQ(document.pages[4].setup, (PageSetup{Size{5100, 6600}, "Letter", Orientation::Portrait}));
}

TEST(PageScript, UnitAppliesToTheLinesAfterIt) {
  const Document document = ParsePageScript("line 1 1 1 1\nunit in\nline 1 1 1 1\nunit dot\nline 1 1 1 1\n", "t", "");
  const std::vector<Operation> expected = {LineOp{Pt(1, 1), Pt(1, 1)}, LineOp{{600, 600}, {600, 600}},
                                           LineOp{{1, 1}, {1, 1}}};
  EXPECT_EQ(document.pages.at(0).operations, expected);
}

TEST(PageScript, AScriptWithoutPagesIsAnError) {
  for (const char* text : {"", "# nothing\n\n", "pen 1 black\nfont Times 12\n"}) {
    SCOPED_TRACE(text);
    try {
      ParsePageScript(text, "empty.k460", "");
      ADD_FAILURE() << "no error";
    } catch (const DocumentError& error) {
      EXPECT_STREQ(error.what(), "empty.k460: nothing to print: the script draws no page");
    }
  }
}

TEST(PageScript, ImagesAreFoundBesideTheScriptAndShared) {
  const Document document =
      ParsePageScript("image sample.png 0 0 64 48\nimage sample.png 10 10 6 4\n", "s.k460", K460_SOURCE_DIR "/samples");
  const auto& ops = document.pages.at(0).operations;
  ASSERT_EQ(ops.size(), 2u);
  const auto& first = std::get<ImageOp>(ops[0]);
  const auto& second = std::get<ImageOp>(ops[1]);
  EXPECT_EQ(first.raster->width, 64);
  EXPECT_EQ(first.raster, second.raster);  // read once
  EXPECT_EQ(second.dest, Rect::FromSize(10 * kPt, 10 * kPt, 6 * kPt, 4 * kPt));
}

TEST(PageScript, TheBundledSampleUsesEveryCommand) {
  const Document document = ReadPageScript(K460_SOURCE_DIR "/samples/sample.k460");
  ASSERT_EQ(document.pages.size(), 2u);
  EXPECT_EQ(document.pages[0].setup.mediaName, "A4");
  EXPECT_EQ(document.pages[1].setup, (PageSetup{Size{4960, 3496}, "A5", Orientation::Landscape}));
  std::set<std::size_t> kinds;
  std::set<int> brushes, penStyles;
  for (const Page& page : document.pages) {
    for (const Operation& op : page.operations) {
      kinds.insert(op.index());
      if (const auto* brush = std::get_if<BrushOp>(&op)) brushes.insert(static_cast<int>(brush->brush.kind));
      if (const auto* pen = std::get_if<PenOp>(&op)) penStyles.insert(static_cast<int>(pen->pen.style));
      if (const auto* image = std::get_if<ImageOp>(&op)) {
        EXPECT_GT(image->raster->width, 0);
      }
    }
  }
  EXPECT_EQ(kinds.size(), std::variant_size_v<Operation>);
  EXPECT_EQ(brushes.size(), 4u);    // none, solid, hatch, pattern
  EXPECT_EQ(penStyles.size(), 7u);  // every pen style
}

}  // namespace
}  // namespace k460::print
