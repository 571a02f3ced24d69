#include "platform/engine/region.h"

#include <algorithm>

namespace k460::engine {

Region::Region(const RECTL& rect) {
  if (!RectEmpty(rect)) rects_.push_back(rect);
}

Region Region::FromRects(std::span<const RECTL> rects) {
  std::vector<LONG> edges;
  for (const RECTL& r : rects) {
    if (RectEmpty(r)) continue;
    edges.push_back(r.top);
    edges.push_back(r.bottom);
  }
  std::sort(edges.begin(), edges.end());
  edges.erase(std::unique(edges.begin(), edges.end()), edges.end());

  Region result;
  std::vector<std::pair<LONG, LONG>> previous;  // spans of the slab above
  size_t previousFirst = 0;                     // its rectangles in the result
  LONG previousBottom = 0;
  for (size_t e = 0; e + 1 < edges.size(); ++e) {
    LONG top = edges[e], bottom = edges[e + 1];
    std::vector<std::pair<LONG, LONG>> spans;
    for (const RECTL& r : rects) {
      if (!RectEmpty(r) && r.top <= top && r.bottom >= bottom) spans.emplace_back(r.left, r.right);
    }
    std::sort(spans.begin(), spans.end());
    std::vector<std::pair<LONG, LONG>> merged;
    for (auto s : spans) {
      if (!merged.empty() && s.first <= merged.back().second) {
        merged.back().second = std::max(merged.back().second, s.second);
      } else {
        merged.push_back(s);
      }
    }
    if (!merged.empty() && merged == previous && previousBottom == top) {
      for (size_t i = previousFirst; i < result.rects_.size(); ++i) result.rects_[i].bottom = bottom;
    } else if (!merged.empty()) {
      previousFirst = result.rects_.size();
      for (auto s : merged) result.rects_.push_back(RECTL{s.first, top, s.second, bottom});
    }
    previous = std::move(merged);
    previousBottom = bottom;
  }
  return result;
}

Region Region::FromRows(LONG top, const std::vector<Spans>& rows) {
  Region result;
  size_t bandFirst = 0;  // the rectangles of the band above
  for (size_t i = 0; i < rows.size(); ++i) {
    const Spans& row = rows[i];
    if (row.empty()) continue;
    LONG y = top + static_cast<LONG>(i);
    if (i > 0 && rows[i - 1] == row && !result.rects_.empty() && result.rects_.back().bottom == y) {
      for (size_t r = bandFirst; r < result.rects_.size(); ++r) result.rects_[r].bottom = y + 1;
      continue;
    }
    bandFirst = result.rects_.size();
    for (auto [x0, x1] : row) {
      if (x1 > x0) result.rects_.push_back(RECTL{x0, y, x1, y + 1});
    }
  }
  return result;
}

Region Region::Intersect(const RECTL& rect) const {
  Region result;
  for (const RECTL& r : rects_) {
    RECTL i = RectIntersect(r, rect);
    if (!RectEmpty(i)) result.rects_.push_back(i);
  }
  return result;  // stays sorted and non-overlapping; rows may be unmerged, which is harmless
}

Region Region::Intersect(const Region& other) const {
  std::vector<RECTL> pieces;
  for (const RECTL& a : rects_) {
    for (const RECTL& b : other.rects_) {
      RECTL i = RectIntersect(a, b);
      if (!RectEmpty(i)) pieces.push_back(i);
    }
  }
  return FromRects(pieces);
}

Region Region::Offset(LONG dx, LONG dy) const {
  Region result = *this;
  for (RECTL& r : result.rects_) {
    r.left += dx;
    r.right += dx;
    r.top += dy;
    r.bottom += dy;
  }
  return result;
}

bool Region::Covers(const RECTL& rect) const {
  if (RectEmpty(rect)) return true;
  LONGLONG area = 0;
  for (const RECTL& r : rects_) {
    RECTL i = RectIntersect(r, rect);
    if (!RectEmpty(i)) area += static_cast<LONGLONG>(i.right - i.left) * (i.bottom - i.top);
  }
  return area == static_cast<LONGLONG>(rect.right - rect.left) * (rect.bottom - rect.top);
}

RECTL Region::Bounds() const {
  if (rects_.empty()) return RECTL{0, 0, 0, 0};
  RECTL b = rects_.front();
  for (const RECTL& r : rects_) {
    b.left = std::min(b.left, r.left);
    b.top = std::min(b.top, r.top);
    b.right = std::max(b.right, r.right);
    b.bottom = std::max(b.bottom, r.bottom);
  }
  return b;
}

}  // namespace k460::engine
