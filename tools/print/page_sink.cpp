#include "tools/print/page_sink.h"

#include <type_traits>
#include <utility>

namespace k460::print {
namespace {

class MemorySource final : public PageSource {
 public:
  explicit MemorySource(Document document) : document_(std::move(document)) {}
  const std::string& Source() const override { return document_.source; }
  int PageCount() const override { return static_cast<int>(document_.pages.size()); }
  Page LoadPage(int index) override { return document_.pages.at(static_cast<std::size_t>(index)); }

 private:
  Document document_;
};

void PlayOperation(const Operation& operation, PageSink& sink) {
  std::visit(
      [&sink](const auto& op) {
        using T = std::decay_t<decltype(op)>;
        if constexpr (std::is_same_v<T, PenOp>) sink.SetPen(op.pen);
        else if constexpr (std::is_same_v<T, BrushOp>) sink.SetBrush(op.brush);
        else if constexpr (std::is_same_v<T, FontOp>) sink.SetFont(op.font);
        else if constexpr (std::is_same_v<T, TextColorOp>) sink.SetTextColor(op.color);
        else if constexpr (std::is_same_v<T, ClipRectOp>) sink.ClipRect(op.rect);
        else if constexpr (std::is_same_v<T, ClipPathOp>) sink.ClipPath(op.path, op.mode);
        else if constexpr (std::is_same_v<T, ResetClipOp>) sink.ResetClip();
        else if constexpr (std::is_same_v<T, TextOp>) sink.Text(op.origin, op.text);
        else if constexpr (std::is_same_v<T, LineOp>) sink.Line(op.from, op.to);
        else if constexpr (std::is_same_v<T, PolylineOp>) sink.Polyline(op.points);
        else if constexpr (std::is_same_v<T, BezierOp>) sink.Bezier(op.points);
        else if constexpr (std::is_same_v<T, RectangleOp>) sink.Rectangle(op.rect);
        else if constexpr (std::is_same_v<T, PolygonOp>) sink.Polygon(op.points, op.mode);
        else if constexpr (std::is_same_v<T, ImageOp>) {
          if (op.raster) sink.Image(*op.raster, op.dest);
        } else static_assert(!sizeof(T), "every operation is played");
      },
      operation);
}

}  // namespace

std::unique_ptr<PageSource> MakeMemorySource(Document document) {
  return std::make_unique<MemorySource>(std::move(document));
}

void PlayPage(const Page& page, int pageNumber, PageSink& sink) {
  sink.StartPage(page.setup, pageNumber);
  sink.SetPen(kDefaultPen);
  sink.SetBrush(kDefaultBrush);
  sink.SetFont(kDefaultFont);
  sink.SetTextColor(kDefaultTextColor);
  sink.ResetClip();
  for (const Operation& operation : page.operations) PlayOperation(operation, sink);
  sink.EndPage();
}

void PlayDocument(PageSource& source, PageSink& sink) {
  const int count = source.PageCount();
  sink.StartDocument(source.Source(), count);
  for (int i = 0; i < count; ++i) PlayPage(source.LoadPage(i), i + 1, sink);
  sink.EndDocument();
}

Document LoadAllPages(PageSource& source) {
  Document document{source.Source(), {}};
  const int count = source.PageCount();
  document.pages.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) document.pages.push_back(source.LoadPage(i));
  return document;
}

}  // namespace k460::print
