#include "tools/k460/engine_sink.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "platform/base/base.h"

namespace k460::tool {
namespace {

COLORREF ToColorRef(const print::Color& c) { return engine::RGB(c.red, c.green, c.blue); }

// The rows of a raster in a format the engine takes: gray as 8-bit indexed
// with a gray palette, RGB as 24-bit blue-green-red, one bit as 1-bit with
// 0 black and 1 white.
struct EngineImage {
  engine::Image image;
  std::vector<std::uint8_t> bgr;
};

EngineImage ToEngineImage(const print::Raster& raster) {
  EngineImage out;
  engine::Image& image = out.image;
  image.width = raster.width;
  image.height = raster.height;
  image.stride = static_cast<LONG>(raster.stride);
  image.bits = raster.pixels.data();
  switch (raster.format) {
    case print::PixelFormat::Gray1:
      image.format = BMF_1BPP;
      image.palette = {engine::RGB(0, 0, 0), engine::RGB(255, 255, 255)};
      break;
    case print::PixelFormat::Gray8:
      image.format = BMF_8BPP;
      for (int i = 0; i < 256; ++i)
        image.palette.push_back(engine::RGB(static_cast<BYTE>(i), static_cast<BYTE>(i), static_cast<BYTE>(i)));
      break;
    case print::PixelFormat::Rgb24:
      image.format = BMF_24BPP;
      out.bgr = raster.pixels;
      for (int y = 0; y < raster.height; ++y) {
        std::uint8_t* row = out.bgr.data() + static_cast<std::size_t>(y) * raster.stride;
        for (int x = 0; x < raster.width; ++x) std::swap(row[3 * x], row[3 * x + 2]);
      }
      image.bits = out.bgr.data();
      break;
  }
  return out;
}

}  // namespace

EngineSink::EngineSink(engine::DeviceContext& dc) : dc_(dc) {
  const GDIINFO& caps = dc.Caps();
  scaleX_ = caps.ulLogPixelsX / print::kUnitsPerInch;
  scaleY_ = caps.ulLogPixelsY / print::kUnitsPerInch;
  offset_ = caps.ptlPhysOffset;
}

void EngineSink::Check(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(std::string("the driver failed ") + what + " (error " +
                                    std::to_string(GetLastError()) + ")");
}

LONG EngineSink::X(double x) const { return static_cast<LONG>(std::lround(x * scaleX_)) - offset_.x; }
LONG EngineSink::Y(double y) const { return static_cast<LONG>(std::lround(y * scaleY_)) - offset_.y; }

RECTL EngineSink::ToDevice(const print::Rect& r) const { return {X(r.left), Y(r.top), X(r.right), Y(r.bottom)}; }

void EngineSink::StartDocument(const std::string&, int) {}

void EngineSink::StartPage(const print::PageSetup&, int) { Check(dc_.StartPage(), "to start a page"); }

void EngineSink::EndPage() { Check(dc_.EndPage(), "to end a page"); }

void EngineSink::ClipRect(const print::Rect& rect) { dc_.SetClip({ToDevice(rect)}); }

void EngineSink::ClipPath(const print::Path& outline, print::FillMode mode) {
  engine::Path path;
  for (const auto& segment : outline) {
    POINTL a = ToDevice(segment.points[0]);
    switch (segment.kind) {
      case print::PathSegment::Kind::MoveTo: path.MoveTo(a.x, a.y); break;
      case print::PathSegment::Kind::LineTo: path.LineTo(a.x, a.y); break;
      case print::PathSegment::Kind::BezierTo:
        path.BezierTo(a, ToDevice(segment.points[1]), ToDevice(segment.points[2]));
        break;
      case print::PathSegment::Kind::Close: path.Close(); break;
    }
  }
  auto fill = mode == print::FillMode::Winding ? engine::FillMode::Winding : engine::FillMode::Alternate;
  Check(dc_.SetClipPath(path, fill), "to clip to a path");
}

void EngineSink::ResetClip() { dc_.ResetClip(); }

void EngineSink::Text(const print::Point&, const std::u16string&) { ++skipped_["text"]; }

POINTL EngineSink::ToDevice(const print::Point& p) const { return {X(p.x), Y(p.y)}; }

std::vector<POINTL> EngineSink::ToDevice(const std::vector<print::Point>& points) const {
  std::vector<POINTL> out;
  out.reserve(points.size());
  for (const auto& p : points) out.push_back(ToDevice(p));
  return out;
}

engine::Pen EngineSink::DevicePen() const {
  using Style = engine::Pen::Style;
  engine::Pen pen = engine::Pen::Solid(ToColorRef(pen_.color), static_cast<FLOATL>(pen_.width * scaleX_));
  switch (pen_.style) {
    case print::PenStyle::None: return engine::Pen::None();
    case print::PenStyle::Solid: break;
    case print::PenStyle::Dash: pen.style = Style::Dash; break;
    case print::PenStyle::Dot: pen.style = Style::Dot; break;
    case print::PenStyle::DashDot: pen.style = Style::DashDot; break;
    case print::PenStyle::DashDotDot: pen.style = Style::DashDotDot; break;
    case print::PenStyle::Custom:
      pen.style = Style::Custom;
      for (double d : pen_.dashes) pen.dashes.push_back(static_cast<FLOATL>(d * scaleX_));
      break;
  }
  return pen;
}

// Hatch lines and pattern bits are painted over the page, which shows
// between them: such fills are combined with the page by "pen AND page".
engine::Brush EngineSink::DeviceBrush(bool* overPage) const {
  *overPage = false;
  switch (brush_.kind) {
    case print::BrushKind::None: return engine::Brush::None();
    case print::BrushKind::Solid: return engine::Brush::Solid(ToColorRef(brush_.color));
    case print::BrushKind::Hatch: {
      static constexpr ULONG kStyles[] = {HS_HORIZONTAL, HS_VERTICAL, HS_FDIAGONAL, HS_BDIAGONAL, HS_CROSS, HS_DIAGCROSS};
      *overPage = true;
      return engine::Brush::Hatched(kStyles[static_cast<int>(brush_.hatch)], ToColorRef(brush_.color));
    }
    case print::BrushKind::Pattern: {
      // Index 0 is the brush colour (the pattern's 1 bits), 1 is white.
      engine::Image pattern;
      pattern.width = 8;
      pattern.height = 8;
      pattern.format = BMF_1BPP;
      pattern.bits = patternBits_.data();
      pattern.stride = 4;
      pattern.palette = {ToColorRef(brush_.color), engine::RGB(255, 255, 255)};
      *overPage = true;
      return engine::Brush::Pattern(pattern);
    }
  }
  return engine::Brush::None();
}

void EngineSink::SetBrush(const print::Brush& brush) {
  brush_ = brush;
  patternBits_.fill(0);
  for (int y = 0; y < 8; ++y) patternBits_[4 * y] = static_cast<std::uint8_t>(~brush.pattern[y]);
}

template <class Draw>
void EngineSink::Filled(Draw draw, const char* what) {
  bool overPage = false;
  engine::Brush brush = DeviceBrush(&overPage);
  if (overPage) dc_.SetMix(R2_MASKPEN);
  bool ok = draw(brush);
  if (overPage) dc_.SetMix(R2_COPYPEN);
  Check(ok, what);
}

void EngineSink::Line(const print::Point& from, const print::Point& to) {
  if (pen_.style == print::PenStyle::None) return;
  Check(dc_.Line(ToDevice(from), ToDevice(to), DevicePen()), "to draw a line");
}

void EngineSink::Polyline(const std::vector<print::Point>& points) {
  if (pen_.style == print::PenStyle::None || points.size() < 2) return;
  Check(dc_.Polyline(ToDevice(points), DevicePen()), "to draw a polyline");
}

// A start point and then three points a curve.
void EngineSink::Bezier(const std::vector<print::Point>& points) {
  if (pen_.style == print::PenStyle::None || points.size() < 4) return;
  engine::Path path;
  POINTL start = ToDevice(points[0]);
  path.MoveTo(start.x, start.y);
  for (std::size_t i = 1; i + 2 < points.size(); i += 3)
    path.BezierTo(ToDevice(points[i]), ToDevice(points[i + 1]), ToDevice(points[i + 2]));
  Check(dc_.StrokePath(path, DevicePen()), "to draw a curve");
}

void EngineSink::Polygon(const std::vector<print::Point>& points, print::FillMode mode) {
  if (points.size() < 2) return;
  auto fill = mode == print::FillMode::Winding ? engine::FillMode::Winding : engine::FillMode::Alternate;
  Filled([&](const engine::Brush& brush) { return dc_.Polygon(ToDevice(points), DevicePen(), brush, fill); },
         "to draw a polygon");
}

void EngineSink::Rectangle(const print::Rect& rect) {
  Filled([&](const engine::Brush& brush) { return dc_.Rectangle(ToDevice(rect), DevicePen(), brush); },
         "to draw a rectangle");
}

void EngineSink::Image(const print::Raster& raster, const print::Rect& dest) {
  if (raster.width <= 0 || raster.height <= 0) return;
  EngineImage image = ToEngineImage(raster);
  Check(dc_.DrawImage(image.image, ToDevice(dest)), "to draw an image");
}

}  // namespace k460::tool
