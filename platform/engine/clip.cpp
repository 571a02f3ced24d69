#include "platform/engine/clip.h"

#include <algorithm>
#include <atomic>

#include "platform/base/internal.h"
#include "platform/engine/engine.h"
#include "platform/engine/objects.h"
#include "platform/engine/path.h"

namespace k460::engine {
namespace {

Registry<EngineClip>& Clips() {
  static Registry<EngineClip> registry;
  return registry;
}

}  // namespace

EngineClip::EngineClip(const Region& region, const RECTL& target, ULONG uniq) : region_(region) {
  co_.iUniq = uniq;
  Classify(target);
}

EngineClip::EngineClip(Region&& region, const RECTL& target, ULONG uniq) : region_(std::move(region)) {
  co_.iUniq = uniq;
  Classify(target);
}

void EngineClip::Classify(const RECTL& target) {
  co_.iMode = TC_RECTANGLES;
  RECTL bounds = region_.Bounds();
  bool inside = !RectEmpty(bounds) && bounds.left >= target.left && bounds.top >= target.top && bounds.right <= target.right &&
                bounds.bottom <= target.bottom;
  // A region wholly inside the target is its own visible part: no copy.
  Region cut = inside ? Region() : region_.Intersect(target);
  const Region& visible = inside ? region_ : cut;
  if (visible.Empty()) {
    invisible_ = true;
    co_.iDComplexity = DC_RECT;
    co_.iFComplexity = FC_RECT;
  } else if (region_.Covers(target)) {
    co_.iDComplexity = DC_TRIVIAL;
    co_.rclBounds = target;
  } else if (visible.Rects().size() == 1) {
    co_.iDComplexity = DC_RECT;
    co_.iFComplexity = FC_RECT;
    co_.rclBounds = visible.Rects().front();
  } else {
    co_.iDComplexity = DC_COMPLEX;
    co_.iFComplexity = visible.Rects().size() <= 4 ? FC_RECT4 : FC_COMPLEX;
    co_.rclBounds = visible.Bounds();
  }
  EnumStart(true, CD_ANY, 0);
  Clips().Add(&co_, this);
}

EngineClip::~EngineClip() { Clips().Remove(&co_); }

EngineClip* EngineClip::Find(const CLIPOBJ* co) { return Clips().Find(co); }

std::vector<RECTL> EngineClip::Pieces(const RECTL& bounds) const { return region_.Intersect(bounds).Rects(); }

ULONG EngineClip::EnumStart(bool all, ULONG direction, ULONG limit) {
  ordered_ = true;
  if (co_.iDComplexity != DC_COMPLEX) {
    order_.assign(1, co_.rclBounds);
  } else if (all && direction == CD_ANY) {
    ordered_ = false;  // the region's own order, read in place
    order_.clear();
  } else {
    order_ = all ? region_.Rects() : region_.Intersect(co_.rclBounds).Rects();
  }
  auto byRow = [](bool down, bool right) {
    return [down, right](const RECTL& a, const RECTL& b) {
      if (a.top != b.top) return down ? a.top < b.top : a.top > b.top;
      return right ? a.left < b.left : a.left > b.left;
    };
  };
  switch (direction) {
    case CD_RIGHTDOWN: std::stable_sort(order_.begin(), order_.end(), byRow(true, true)); break;
    case CD_LEFTDOWN: std::stable_sort(order_.begin(), order_.end(), byRow(true, false)); break;
    case CD_RIGHTUP: std::stable_sort(order_.begin(), order_.end(), byRow(false, true)); break;
    case CD_LEFTUP: std::stable_sort(order_.begin(), order_.end(), byRow(false, false)); break;
    default: break;  // CD_ANY: the region's own order
  }
  next_ = 0;
  if (limit != 0 && Order().size() > limit) return 0xFFFFFFFF;
  return static_cast<ULONG>(Order().size());
}

bool EngineClip::Enum(ULONG bytes, ULONG* out) {
  auto* result = reinterpret_cast<ENUMRECTS*>(out);
  size_t room = (bytes - offsetof(ENUMRECTS, arcl)) / sizeof(RECTL);
  const std::vector<RECTL>& order = Order();
  size_t count = std::min(room, order.size() - next_);
  RECTL* rects = result->arcl;  // the record's array runs on past its declared length
  for (size_t i = 0; i < count; ++i) rects[i] = order[next_ + i];
  result->c = static_cast<ULONG>(count);
  next_ += count;
  return next_ < order.size();
}

Region ClipRegion(CLIPOBJ* pco, const RECTL& bounds) {
  if (EngineClip* clip = EngineClip::Find(pco)) return clip->Area().Intersect(bounds);
  if (!pco || pco->iDComplexity == DC_TRIVIAL) return Region(bounds);
  return Region(RectIntersect(pco->rclBounds, bounds));
}

ULONG NewClipUniq() {
  // Above the numbers the device context gives (clip version and band).
  static std::atomic<ULONG> next{0x80000000u};
  ULONG v = next++;
  return v ? v : next++;
}

std::vector<RECTL> ClipPieces(CLIPOBJ* pco, const RECTL& bounds) {
  if (RectEmpty(bounds)) return {};
  if (!pco || pco->iDComplexity == DC_TRIVIAL) return {bounds};
  if (pco->iDComplexity == DC_COMPLEX) {
    if (EngineClip* clip = EngineClip::Find(pco)) return clip->Pieces(bounds);
  }
  RECTL piece = RectIntersect(pco->rclBounds, bounds);
  if (RectEmpty(piece)) return {};
  return {piece};
}

}  // namespace k460::engine

using namespace k460::engine;

K460_API ULONG CLIPOBJ_cEnumStart(CLIPOBJ* pco, BOOL bAll, ULONG iType, ULONG iDirection, ULONG cLimit) {
  EngineClip* clip = EngineClip::Find(pco);
  if (!clip || iType != CT_RECTANGLES || iDirection > CD_ANY) return Fail(ERROR_INVALID_PARAMETER, ULONG{0});
  return clip->EnumStart(bAll != FALSE, iDirection, cLimit);
}

K460_API PATHOBJ* CLIPOBJ_ppoGetPath(CLIPOBJ* pco) {
  if (k460::CallFailsSetError("CLIPOBJ_ppoGetPath")) return nullptr;
  EngineClip* clip = EngineClip::Find(pco);
  if (!clip) return Fail(ERROR_INVALID_PARAMETER, static_cast<PATHOBJ*>(nullptr));
  std::vector<RECTL> rects;
  if (pco->iDComplexity == DC_COMPLEX) {
    rects = clip->Area().Rects();
  } else {
    rects.push_back(pco->rclBounds);
  }
  std::vector<PathFigure> figures;
  for (const RECTL& r : rects) {
    PathFigure f;
    FIX left = FixFromLong(r.left), top = FixFromLong(r.top);
    FIX right = FixFromLong(r.right), bottom = FixFromLong(r.bottom);
    f.start = {left, top};
    for (POINTFIX p : {POINTFIX{right, top}, POINTFIX{right, bottom}, POINTFIX{left, bottom}}) {
      PathSegment s;
      s.p[0] = p;
      f.segments.push_back(s);
    }
    f.closed = true;
    figures.push_back(std::move(f));
  }
  return NewOwnedPath(std::move(figures));
}

K460_API BOOL CLIPOBJ_bEnum(CLIPOBJ* pco, ULONG cj, ULONG* pul) {
  EngineClip* clip = EngineClip::Find(pco);
  if (!clip || !pul) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  if (cj < sizeof(ENUMRECTS)) {
    // No room for one rectangle: a driver looping on TRUE would never end.
    if (cj >= sizeof(ULONG)) *pul = 0;
    return Fail(ERROR_INSUFFICIENT_BUFFER, FALSE);
  }
  return clip->Enum(cj, pul) ? TRUE : FALSE;
}
