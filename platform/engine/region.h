// A clip region: a set of pixels kept as non-overlapping rectangles sorted
// top to bottom, then left to right (rows of equal rectangles merged).
#pragma once

#include <span>
#include <utility>
#include <vector>

#include "platform/base/types.h"

namespace k460::engine {

inline bool RectEmpty(const RECTL& r) { return r.right <= r.left || r.bottom <= r.top; }
inline RECTL RectIntersect(const RECTL& a, const RECTL& b) {
  RECTL r{a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top,
          a.right < b.right ? a.right : b.right, a.bottom < b.bottom ? a.bottom : b.bottom};
  if (RectEmpty(r)) return RECTL{0, 0, 0, 0};
  return r;
}
// Left below right and top below bottom.
inline RECTL RectOrdered(const RECTL& r) {
  return {r.left < r.right ? r.left : r.right, r.top < r.bottom ? r.top : r.bottom,
          r.left < r.right ? r.right : r.left, r.top < r.bottom ? r.bottom : r.top};
}

class Region {
 public:
  Region() = default;
  explicit Region(const RECTL& rect);
  // The union of any rectangles (empty ones are ignored).
  static Region FromRects(std::span<const RECTL> rects);
  // Rows of spans [x0, x1), row i at y = top + i, each sorted and without
  // overlaps; equal neighbouring rows become one band.
  using Spans = std::vector<std::pair<LONG, LONG>>;
  static Region FromRows(LONG top, const std::vector<Spans>& rows);

  Region Intersect(const RECTL& rect) const;
  Region Intersect(const Region& other) const;
  Region Offset(LONG dx, LONG dy) const;
  bool Empty() const { return rects_.empty(); }
  // Every pixel of `rect` is in the region.
  bool Covers(const RECTL& rect) const;
  RECTL Bounds() const;
  const std::vector<RECTL>& Rects() const { return rects_; }

 private:
  std::vector<RECTL> rects_;
};

}  // namespace k460::engine
