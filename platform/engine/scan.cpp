#include "platform/engine/scan.h"

#include <algorithm>

namespace k460::engine {
namespace {

void SortAndMerge(Region::Spans& spans) {
  if (!std::is_sorted(spans.begin(), spans.end())) std::sort(spans.begin(), spans.end());
  size_t out = 0;
  for (size_t i = 0; i < spans.size(); ++i) {
    if (out > 0 && spans[i].first <= spans[out - 1].second) {
      spans[out - 1].second = std::max(spans[out - 1].second, spans[i].second);
    } else {
      spans[out++] = spans[i];
    }
  }
  spans.resize(out);
}

// Both sorted, without overlaps.
Region::Spans IntersectSpans(const Region::Spans& a, const Region::Spans& b) {
  Region::Spans out;
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    LONG lo = std::max(a[i].first, b[j].first), hi = std::min(a[i].second, b[j].second);
    if (lo < hi) out.emplace_back(lo, hi);
    if (a[i].second < b[j].second) {
      ++i;
    } else {
      ++j;
    }
  }
  return out;
}

LONGLONG CeilDiv(LONGLONG num, LONGLONG den) {  // den > 0
  LONGLONG q = num / den;
  return (num % den > 0) ? q + 1 : q;
}

struct Edge {
  LONGLONG xa, ya, xb, yb;  // ya < yb
  int dir;
  LONG rowFirst, rowEnd;
  // The first pixel whose centre is at or right of the edge on row y.
  LONG Crossing(LONG y) const {
    LONGLONG dy = yb - ya;
    LONGLONG num = xa * dy + (16LL * y - ya) * (xb - xa);
    return static_cast<LONG>(CeilDiv(num, 16 * dy));
  }
};

}  // namespace

SpanBuilder::SpanBuilder(const RECTL& limit) : limit_(RectEmpty(limit) ? RECTL{0, 0, 0, 0} : limit) {
  rows_.resize(static_cast<size_t>(limit_.bottom - limit_.top));
}

void SpanBuilder::Add(LONG y, LONG x0, LONG x1) {
  if (y < limit_.top || y >= limit_.bottom) return;
  x0 = std::max(x0, limit_.left);
  x1 = std::min(x1, limit_.right);
  if (x0 >= x1) return;
  rows_[static_cast<size_t>(y - limit_.top)].emplace_back(x0, x1);
}

Region SpanBuilder::Build(const Region* clip) {
  std::vector<Region::Spans> rows = std::move(rows_);
  rows_.assign(rows.size(), {});
  std::vector<Region::Spans> clipRows;
  if (clip) {
    clipRows.resize(rows.size());
    for (const RECTL& r : clip->Rects()) {
      LONG top = std::max(r.top, limit_.top), bottom = std::min(r.bottom, limit_.bottom);
      for (LONG y = top; y < bottom; ++y) clipRows[static_cast<size_t>(y - limit_.top)].emplace_back(r.left, r.right);
    }
  }
  for (size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].empty()) continue;
    SortAndMerge(rows[i]);
    if (clip) {
      SortAndMerge(clipRows[i]);
      rows[i] = IntersectSpans(rows[i], clipRows[i]);
    }
  }
  return Region::FromRows(limit_.top, rows);
}

PixelMask::PixelMask(const RECTL& limit) : limit_(RectEmpty(limit) ? RECTL{0, 0, 0, 0} : limit) {
  words_ = static_cast<size_t>((LONGLONG(limit_.right) - limit_.left + 63) / 64);
  bits_.assign(words_ * static_cast<size_t>(limit_.bottom - limit_.top), 0);
}

void PixelMask::AddTo(SpanBuilder& out) const {
  LONG rows = limit_.bottom - limit_.top;
  for (LONG r = 0; r < rows; ++r) {
    const uint64_t* row = bits_.data() + static_cast<size_t>(r) * words_;
    LONG start = -1;
    for (size_t w = 0; w < words_; ++w) {
      uint64_t word = row[w];
      if (start < 0 && word == 0) continue;
      if (start >= 0 && word == ~uint64_t{0}) continue;
      for (int b = 0; b < 64; ++b) {
        bool on = (word >> b) & 1;
        LONG x = static_cast<LONG>(w * 64 + b);
        if (on && start < 0) start = x;
        if (!on && start >= 0) {
          out.Add(limit_.top + r, limit_.left + start, limit_.left + x);
          start = -1;
        }
      }
    }
    if (start >= 0) out.Add(limit_.top + r, limit_.left + start, limit_.left + static_cast<LONG>(words_ * 64));
  }
}

void FillPolygons(const std::vector<std::vector<POINTFIX>>& polygons, bool winding, SpanBuilder& out) {
  const RECTL& limit = out.Limit();
  std::vector<Edge> edges;
  for (const auto& poly : polygons) {
    size_t n = poly.size();
    if (n < 2) continue;
    for (size_t i = 0; i < n; ++i) {
      POINTFIX a = poly[i], b = poly[(i + 1) % n];
      if (a.y == b.y) continue;
      int dir = b.y > a.y ? 1 : -1;
      if (a.y > b.y) std::swap(a, b);
      Edge e{a.x, a.y, b.x, b.y, dir, CeilPixel(a.y), CeilPixel(b.y)};
      e.rowFirst = std::max(e.rowFirst, limit.top);
      e.rowEnd = std::min(e.rowEnd, limit.bottom);
      if (e.rowFirst < e.rowEnd) edges.push_back(e);
    }
  }
  if (edges.empty()) return;
  std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.rowFirst < b.rowFirst; });
  std::vector<const Edge*> active;
  std::vector<std::pair<LONG, int>> crossings;
  size_t next = 0;
  LONG y = edges.front().rowFirst;
  while (next < edges.size() || !active.empty()) {
    if (active.empty() && next < edges.size()) y = std::max(y, edges[next].rowFirst);
    while (next < edges.size() && edges[next].rowFirst <= y) active.push_back(&edges[next++]);
    active.erase(std::remove_if(active.begin(), active.end(), [y](const Edge* e) { return e->rowEnd <= y; }),
                 active.end());
    if (active.empty()) continue;
    crossings.clear();
    for (const Edge* e : active) crossings.emplace_back(e->Crossing(y), e->dir);
    std::sort(crossings.begin(), crossings.end());
    if (winding) {
      int count = 0;
      LONG start = 0;
      for (auto [x, dir] : crossings) {
        int before = count;
        count += dir;
        if (before == 0 && count != 0) start = x;
        if (before != 0 && count == 0) out.Add(y, start, x);
      }
    } else {
      for (size_t i = 0; i + 1 < crossings.size(); i += 2) out.Add(y, crossings[i].first, crossings[i + 1].first);
    }
    ++y;
  }
}

}  // namespace k460::engine
