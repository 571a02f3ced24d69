// Plays documents into a graphics driver: the print host's page sink over a
// device context of the engine stand-in. Page units (1/600 inch from the
// physical page's top-left corner) become device pixels of the driver's
// resolution, less the printable area's offset.
#pragma once

#include <array>
#include <map>
#include <string>

#include "platform/engine/device_context.h"
#include "tools/print/page_sink.h"

namespace k460::tool {

class EngineSink : public print::PageSink {
 public:
  // `dc` stays the caller's; each page becomes one StartPage/EndPage.
  explicit EngineSink(engine::DeviceContext& dc);

  void StartDocument(const std::string& source, int pageCount) override;
  void StartPage(const print::PageSetup& setup, int pageNumber) override;
  void SetPen(const print::Pen& pen) override { pen_ = pen; }
  void SetBrush(const print::Brush& brush) override;
  void SetFont(const print::Font&) override {}
  void SetTextColor(const print::Color&) override {}
  void ClipRect(const print::Rect& rect) override;
  void ClipPath(const print::Path& path, print::FillMode mode) override;
  void ResetClip() override;
  void Text(const print::Point& origin, const std::u16string& text) override;
  void Line(const print::Point& from, const print::Point& to) override;
  void Polyline(const std::vector<print::Point>& points) override;
  void Bezier(const std::vector<print::Point>& points) override;
  void Rectangle(const print::Rect& rect) override;
  void Polygon(const std::vector<print::Point>& points, print::FillMode mode) override;
  void Image(const print::Raster& raster, const print::Rect& dest) override;
  void EndPage() override;
  void EndDocument() override {}

  // Operations this engine cannot draw yet, by kind, over all pages.
  const std::map<std::string, int>& Skipped() const { return skipped_; }

 private:
  RECTL ToDevice(const print::Rect& rect) const;
  POINTL ToDevice(const print::Point& point) const;
  std::vector<POINTL> ToDevice(const std::vector<print::Point>& points) const;
  LONG X(double x) const;
  LONG Y(double y) const;
  engine::Pen DevicePen() const;
  engine::Brush DeviceBrush(bool* overPage) const;
  // Draws a filled shape with the current brush, combined with the page
  // where the brush lets it show through.
  template <class Draw>
  void Filled(Draw draw, const char* what);
  void Check(bool ok, const char* what);

  engine::DeviceContext& dc_;
  double scaleX_ = 1, scaleY_ = 1;
  POINTL offset_{0, 0};
  print::Pen pen_;
  print::Brush brush_;
  std::array<std::uint8_t, 32> patternBits_{};  // the brush pattern as 1-bit rows of 4 bytes
  std::map<std::string, int> skipped_;
};

}  // namespace k460::tool
