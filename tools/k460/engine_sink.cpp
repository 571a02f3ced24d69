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

LONG EngineSink::PenPixels() const { return std::max<LONG>(1, std::lround(pen_.width * scaleX_)); }

void EngineSink::StartDocument(const std::string&, int) {}

void EngineSink::StartPage(const print::PageSetup&, int) { Check(dc_.StartPage(), "to start a page"); }

void EngineSink::EndPage() { Check(dc_.EndPage(), "to end a page"); }

void EngineSink::ClipRect(const print::Rect& rect) { dc_.SetClip({ToDevice(rect)}); }

void EngineSink::ClipPath(const print::Path&, print::FillMode) {
  ++skipped_["clip path"];
  dc_.ResetClip();
}

void EngineSink::ResetClip() { dc_.ResetClip(); }

void EngineSink::Fill(const RECTL& rect, const print::Color& color) {
  if (rect.right <= rect.left || rect.bottom <= rect.top) return;
  Check(dc_.FillRect(rect, ToColorRef(color)), "to fill");
}

void EngineSink::Text(const print::Point&, const std::u16string&) { ++skipped_["text"]; }

// Lines along an axis are thin rectangles; others wait for the engine's paths.
void EngineSink::Line(const print::Point& from, const print::Point& to) {
  if (pen_.style == print::PenStyle::None) return;
  if (pen_.style != print::PenStyle::Solid || (from.x != to.x && from.y != to.y)) {
    ++skipped_["line"];
    return;
  }
  const LONG w = PenPixels();
  LONG x0 = std::min(X(from.x), X(to.x)), x1 = std::max(X(from.x), X(to.x));
  LONG y0 = std::min(Y(from.y), Y(to.y)), y1 = std::max(Y(from.y), Y(to.y));
  Fill({x0 - w / 2, y0 - w / 2, x1 - w / 2 + w, y1 - w / 2 + w}, pen_.color);
}

void EngineSink::Polyline(const std::vector<print::Point>& points) {
  for (std::size_t i = 1; i < points.size(); ++i) Line(points[i - 1], points[i]);
}

void EngineSink::Bezier(const std::vector<print::Point>&) { ++skipped_["Bezier"]; }

void EngineSink::Polygon(const std::vector<print::Point>&, print::FillMode) { ++skipped_["polygon"]; }

void EngineSink::Rectangle(const print::Rect& rect) {
  RECTL r = ToDevice(rect);
  switch (brush_.kind) {
    case print::BrushKind::None: break;
    case print::BrushKind::Solid: Fill(r, brush_.color); break;
    case print::BrushKind::Hatch: ++skipped_["hatch brush"]; break;
    case print::BrushKind::Pattern: {
      // The pattern's 1 bits take the brush colour, its 0 bits keep the page.
      std::vector<std::uint8_t> bits(8 * 4, 0);
      for (int y = 0; y < 8; ++y) bits[4 * y] = static_cast<std::uint8_t>(~brush_.pattern[y]);
      engine::Image pattern;
      pattern.width = 8;
      pattern.height = 8;
      pattern.format = BMF_1BPP;
      pattern.bits = bits.data();
      pattern.stride = 4;
      pattern.palette = {ToColorRef(brush_.color), engine::RGB(255, 255, 255)};
      Check(dc_.PatBlt(r, engine::Brush::Pattern(pattern), 0xA0), "to fill with a pattern");  // pattern AND page
      break;
    }
  }
  if (pen_.style == print::PenStyle::None) return;
  if (pen_.style != print::PenStyle::Solid) {
    ++skipped_["dashed outline"];
    return;
  }
  const LONG w = PenPixels();
  Fill({r.left, r.top, r.right, r.top + w}, pen_.color);
  Fill({r.left, r.bottom - w, r.right, r.bottom}, pen_.color);
  Fill({r.left, r.top, r.left + w, r.bottom}, pen_.color);
  Fill({r.right - w, r.top, r.right, r.bottom}, pen_.color);
}

void EngineSink::Image(const print::Raster& raster, const print::Rect& dest) {
  if (raster.width <= 0 || raster.height <= 0) return;
  EngineImage image = ToEngineImage(raster);
  Check(dc_.DrawImage(image.image, ToDevice(dest)), "to draw an image");
}

}  // namespace k460::tool
