// Scan conversion: pixel spans gathered row by row within a limit, and
// the polygon fill that produces them exactly from 28.4 fixed-point
// coordinates. A pixel belongs to a polygon when its centre, the integer
// point (x, y), lies inside it; points on a left or top edge are inside,
// on a right or bottom edge outside.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/engine/ddi_types.h"
#include "platform/engine/region.h"

namespace k460::engine {

class SpanBuilder {
 public:
  // Only pixels within `limit` are kept.
  explicit SpanBuilder(const RECTL& limit);
  const RECTL& Limit() const { return limit_; }
  void Add(LONG y, LONG x0, LONG x1);
  void AddPixel(LONG x, LONG y) { Add(y, x, x + 1); }
  // Everything added (each pixel once), within `clip` when given; the
  // builder is emptied.
  Region Build(const Region* clip);

 private:
  RECTL limit_;
  std::vector<Region::Spans> rows_;
};

// Single pixels gathered as bits over a limit (cosmetic lines), then
// handed to a SpanBuilder as runs: no sorting of pixels.
class PixelMask {
 public:
  explicit PixelMask(const RECTL& limit);
  const RECTL& Limit() const { return limit_; }
  void Set(LONG x, LONG y) {
    if (x < limit_.left || x >= limit_.right || y < limit_.top || y >= limit_.bottom) return;
    size_t bit = static_cast<size_t>(y - limit_.top) * words_ * 64 + static_cast<size_t>(x - limit_.left);
    bits_[bit / 64] |= uint64_t{1} << (bit % 64);
  }
  void AddTo(SpanBuilder& out) const;

 private:
  RECTL limit_;
  size_t words_ = 0;  // per row
  std::vector<uint64_t> bits_;
};

// Fills polygons given by their corners (each closed from its last corner
// back to its first) by the alternate (even-odd) or winding (non-zero) rule.
void FillPolygons(const std::vector<std::vector<POINTFIX>>& polygons, bool winding, SpanBuilder& out);

// The pixels (x, y) with FIX coordinates in [lo, hi): the first is ceil(lo / 16).
inline LONG CeilPixel(LONGLONG fix) { return static_cast<LONG>(fix >= 0 ? (fix + 15) / 16 : -((-fix) / 16)); }
inline LONG FloorPixel(LONGLONG fix) { return static_cast<LONG>(fix >= 0 ? fix / 16 : -((-fix + 15) / 16)); }

}  // namespace k460::engine
