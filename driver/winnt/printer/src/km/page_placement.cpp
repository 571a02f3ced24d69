#include "driver/winnt/printer/src/km/page_placement.h"

#include <algorithm>

namespace k460::hbgraph {

std::int32_t CellIndex(std::int32_t k, std::int32_t order, Grid grid, std::int32_t pagesPerSheet) {
  const std::int32_t v = std::max(1, grid.columns);
  const std::int32_t w = std::max(1, grid.rows);
  std::int32_t b = k;
  switch (order) {
    case 2: b = v * (k % w) + k / w; break;
    case 3: b = v * (k / v + 1) - k % v - 1; break;
    case 4: b = v * (k % w + 1) - k / w - 1; break;
    case 7: b = pagesPerSheet - k - 1; break;
    default: break;
  }
  return std::clamp(b, 0, v * w - 1);
}

PageView LogicalPageView(std::int32_t logicalPage, const PlacementInputs& in) {
  const PixelSize surface = in.surface;
  const std::int32_t m = static_cast<std::int32_t>(std::int64_t{in.scale} * in.pagePrintable.width / 1000);
  const std::int32_t t = static_cast<std::int32_t>(std::int64_t{in.scale} * in.pagePrintable.height / 1000);
  PageView view;
  view.extent = {m, t};
  if (!in.fit) {
    view.size = surface;
    return view;
  }
  const std::int32_t v = std::max(1, in.grid.columns);
  const std::int32_t w = std::max(1, in.grid.rows);
  const std::int32_t pages = std::max(1, in.pagesPerSheet);
  const std::int32_t k = (std::max(1, logicalPage) - 1) % pages;
  const std::int32_t b = CellIndex(k, in.order, in.grid, pages);
  const std::int64_t cellWidth = surface.width / v;
  const std::int64_t cellHeight = surface.height / w;
  std::int64_t x = (surface.width - std::int64_t{v} * (m + 2 * in.margin)) / v / 2 + cellWidth * (b % v);
  std::int64_t y = (surface.height - std::int64_t{w} * (t + 2 * in.margin)) / w / 2 + cellHeight * (b / v);
  x = std::clamp<std::int64_t>(x, 0, surface.width);
  y = std::clamp<std::int64_t>(y, 0, surface.height);
  // The first scan line starts on the byte nearest the origin.
  view.x = static_cast<std::int32_t>(std::min<std::int64_t>((x + 4) / 8 * 8, surface.width / 8 * 8));
  view.y = static_cast<std::int32_t>(y);
  view.size = {std::min(m, surface.width - view.x), std::min(t, surface.height - view.y)};
  return view;
}

}  // namespace k460::hbgraph
