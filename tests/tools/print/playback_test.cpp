#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "tools/print/page_sink.h"

namespace k460::print {
namespace {

// Writes one line per call, with what identifies it.
class RecordingSink : public PageSink {
 public:
  std::vector<std::string> calls;
  int failOnPage = 0;

  void StartDocument(const std::string& source, int pageCount) override {
    calls.push_back("StartDocument " + source + " " + std::to_string(pageCount));
  }
  void StartPage(const PageSetup& setup, int pageNumber) override {
    if (pageNumber == failOnPage) throw std::runtime_error("driver failed");
    calls.push_back("StartPage " + std::to_string(pageNumber) + " " + setup.mediaName);
  }
  void SetPen(const Pen& pen) override { calls.push_back(pen == kDefaultPen ? "SetPen default" : "SetPen"); }
  void SetBrush(const Brush& brush) override {
    calls.push_back(brush == kDefaultBrush ? "SetBrush default" : "SetBrush");
  }
  void SetFont(const Font& font) override { calls.push_back(font == kDefaultFont ? "SetFont default" : "SetFont"); }
  void SetTextColor(const Color& color) override {
    calls.push_back(color == kDefaultTextColor ? "SetTextColor default" : "SetTextColor");
  }
  void ClipRect(const Rect&) override { calls.push_back("ClipRect"); }
  void ClipPath(const Path& path, FillMode) override { calls.push_back("ClipPath " + std::to_string(path.size())); }
  void ResetClip() override { calls.push_back("ResetClip"); }
  void Text(const Point&, const std::u16string& text) override {
    calls.push_back("Text " + std::to_string(text.size()));
  }
  void Line(const Point&, const Point&) override { calls.push_back("Line"); }
  void Polyline(const std::vector<Point>& points) override {
    calls.push_back("Polyline " + std::to_string(points.size()));
  }
  void Bezier(const std::vector<Point>& points) override { calls.push_back("Bezier " + std::to_string(points.size())); }
  void Rectangle(const Rect&) override { calls.push_back("Rectangle"); }
  void Polygon(const std::vector<Point>& points, FillMode mode) override {
    calls.push_back("Polygon " + std::to_string(points.size()) +
                    (mode == FillMode::Winding ? " winding" : " alternate"));
  }
  void Image(const Raster& raster, const Rect&) override {
    calls.push_back("Image " + std::to_string(raster.width) + "x" + std::to_string(raster.height));
  }
  void EndPage() override { calls.push_back("EndPage"); }
  void EndDocument() override { calls.push_back("EndDocument"); }
};

const std::vector<std::string> kPageStart = {"SetPen default", "SetBrush default", "SetFont default",
                                             "SetTextColor default", "ResetClip"};

TEST(Playback, EveryOperationReachesItsCallAfterTheDefaults) {
  Pen dashed;
  dashed.style = PenStyle::Dash;
  Brush solid;
  solid.kind = BrushKind::Solid;
  Font times;
  times.face = "Times";
  Page page;
  page.setup.mediaName = "A4";
  page.operations = {
      PenOp{dashed},
      BrushOp{solid},
      FontOp{times},
      TextColorOp{Color::Gray(9)},
      ClipRectOp{},
      ClipPathOp{Path(2), FillMode::Winding},
      ResetClipOp{},
      TextOp{{}, u"abc"},
      LineOp{},
      PolylineOp{{{0, 0}, {1, 1}, {2, 2}}},
      BezierOp{std::vector<Point>(7)},
      RectangleOp{},
      PolygonOp{std::vector<Point>(3), FillMode::Winding},
      ImageOp{std::make_shared<const Raster>(Raster::White(3, 2, PixelFormat::Gray1)), {}},
  };
  RecordingSink sink;
  PlayPage(page, 4, sink);
  std::vector<std::string> expected = {"StartPage 4 A4"};
  expected.insert(expected.end(), kPageStart.begin(), kPageStart.end());
  const std::vector<std::string> operations = {
      "SetPen", "SetBrush",   "SetFont",  "SetTextColor", "ClipRect",          "ClipPath 2", "ResetClip", "Text 3",
      "Line",   "Polyline 3", "Bezier 7", "Rectangle",    "Polygon 3 winding", "Image 3x2",  "EndPage"};
  expected.insert(expected.end(), operations.begin(), operations.end());
  EXPECT_EQ(sink.calls, expected);
}

Document TwoPages() {
  Document document{"two.k460", {}};
  document.pages.resize(2);
  document.pages[0].operations.push_back(LineOp{});
  document.pages[1].setup.mediaName = "A5";
  return document;
}

TEST(Playback, EachPageStartsAfreshBetweenStartAndEndOfTheDocument) {
  auto source = MakeMemorySource(TwoPages());
  RecordingSink sink;
  PlayDocument(*source, sink);
  std::vector<std::string> expected = {"StartDocument two.k460 2", "StartPage 1 "};
  expected.insert(expected.end(), kPageStart.begin(), kPageStart.end());
  expected.insert(expected.end(), {"Line", "EndPage", "StartPage 2 A5"});
  expected.insert(expected.end(), kPageStart.begin(), kPageStart.end());
  expected.insert(expected.end(), {"EndPage", "EndDocument"});
  EXPECT_EQ(sink.calls, expected);
}

TEST(Playback, ASinkFailureStopsThePlayback) {
  auto source = MakeMemorySource(TwoPages());
  RecordingSink sink;
  sink.failOnPage = 2;
  EXPECT_THROW(PlayDocument(*source, sink), std::runtime_error);
  EXPECT_EQ(sink.calls.back(), "EndPage");  // page 1 ended; no EndDocument
}

TEST(Playback, LoadAllPagesCopiesTheSource) {
  auto source = MakeMemorySource(TwoPages());
  const Document document = LoadAllPages(*source);
  EXPECT_EQ(document.source, "two.k460");
  ASSERT_EQ(document.pages.size(), 2u);
  EXPECT_EQ(document.pages[1].setup.mediaName, "A5");
}

}  // namespace
}  // namespace k460::print
