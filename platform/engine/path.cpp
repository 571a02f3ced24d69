#include "platform/engine/path.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "platform/base/internal.h"
#include "platform/engine/engine.h"
#include "platform/engine/objects.h"

namespace k460::engine {
namespace {

Registry<EnginePath>& Paths() {
  static Registry<EnginePath> registry;
  return registry;
}

// Paths made by EngCreatePath and CLIPOBJ_ppoGetPath, which EngDeletePath releases.
std::mutex gOwnedMutex;
std::vector<std::unique_ptr<EnginePath>>& Owned() {
  static std::vector<std::unique_ptr<EnginePath>> owned;
  return owned;
}

// Number of lines a curve is cut into so that none strays more than a
// quarter pixel (4 units) from it: the deviation of n uniform pieces is at
// most 3/4 of the control polygon's largest second difference over n^2.
int CurvePieces(POINTFIX a, POINTFIX b, POINTFIX c, POINTFIX d) {
  auto second = [](POINTFIX p, POINTFIX q, POINTFIX r) {
    return std::hypot(double(p.x) - 2.0 * q.x + r.x, double(p.y) - 2.0 * q.y + r.y);
  };
  double dd = std::max(second(a, b, c), second(b, c, d));
  int n = static_cast<int>(std::ceil(std::sqrt(0.75 * dd / 4.0)));
  return std::clamp(n, 1, 1024);
}

}  // namespace

POINTFIX ClampPoint(POINTFIX p) {
  return {std::clamp<FIX>(p.x, -kFixLimit, kFixLimit), std::clamp<FIX>(p.y, -kFixLimit, kFixLimit)};
}

EnginePath::EnginePath() { Paths().Add(&po_, this); }

EnginePath::EnginePath(std::vector<PathFigure> figures) : figures_(std::move(figures)) {
  for (PathFigure& f : figures_) {
    f.start = ClampPoint(f.start);
    for (PathSegment& s : f.segments) {
      for (POINTFIX& p : s.p) p = ClampPoint(p);
    }
  }
  Update();
  Paths().Add(&po_, this);
}

EnginePath::~EnginePath() { Paths().Remove(&po_); }

EnginePath* EnginePath::Find(const PATHOBJ* po) { return Paths().Find(po); }

void EnginePath::Update() {
  ULONG curves = 0;
  bool beziers = false;
  for (const PathFigure& f : figures_) {
    curves += static_cast<ULONG>(f.segments.size());
    for (const PathSegment& s : f.segments) beziers |= s.bezier;
  }
  po_.cCurves = curves;
  po_.fl = beziers ? PO_BEZIERS : 0;
  records_.clear();
  next_ = 0;
}

void EnginePath::MoveTo(POINTFIX p) {
  p = ClampPoint(p);
  if (!figures_.empty() && figures_.back().segments.empty() && !figures_.back().closed) {
    figures_.back().start = p;  // a figure of one point only moves
  } else {
    figures_.push_back(PathFigure{p, {}, false});
  }
  Update();
}

void EnginePath::LineTo(POINTFIX p) {
  if (figures_.empty()) return MoveTo(p);
  if (figures_.back().closed) figures_.push_back(PathFigure{figures_.back().start, {}, false});
  PathSegment s;
  s.p[0] = ClampPoint(p);
  figures_.back().segments.push_back(s);
  Update();
}

void EnginePath::BezierTo(POINTFIX c1, POINTFIX c2, POINTFIX end) {
  if (figures_.empty()) MoveTo(c1);
  if (figures_.back().closed) figures_.push_back(PathFigure{figures_.back().start, {}, false});
  PathSegment s;
  s.bezier = true;
  s.p[0] = ClampPoint(c1);
  s.p[1] = ClampPoint(c2);
  s.p[2] = ClampPoint(end);
  figures_.back().segments.push_back(s);
  Update();
}

void EnginePath::CloseFigure() {
  if (!figures_.empty()) figures_.back().closed = true;
  Update();
}

void EnginePath::EnumStart() {
  records_.clear();
  next_ = 0;
  for (const PathFigure& f : figures_) {
    size_t first = records_.size();
    Record begin;
    begin.flags = PD_BEGINSUBPATH;
    begin.points.push_back(f.start);
    records_.push_back(std::move(begin));
    for (size_t i = 0; i < f.segments.size(); ++i) {
      const PathSegment& s = f.segments[i];
      FLONG kind = s.bezier ? PD_BEZIERS : 0;
      Record& last = records_.back();
      // A record carries one kind; the first takes the kind of the first segment.
      bool fits = (records_.size() - 1 == first && i == 0) || (last.flags & PD_BEZIERS) == kind;
      if (!fits) records_.push_back(Record{});
      Record& r = records_.back();
      r.flags |= kind;
      if (s.bezier) {
        r.points.insert(r.points.end(), s.p, s.p + 3);
      } else {
        r.points.push_back(s.p[0]);
      }
    }
    records_.back().flags |= PD_ENDSUBPATH | (f.closed ? PD_CLOSEFIGURE : 0);
  }
}

bool EnginePath::Enum(PATHDATA* out) {
  if (next_ >= records_.size()) {
    *out = PATHDATA{0, 0, nullptr};
    return false;
  }
  Record& r = records_[next_++];
  out->flags = r.flags;
  out->count = static_cast<ULONG>(r.points.size());
  out->pptfx = r.points.data();
  return next_ < records_.size();
}

RECTFX EnginePath::Bounds() const {
  bool any = false;
  RECTFX b{0, 0, 0, 0};
  auto add = [&](POINTFIX p) {
    if (!any) {
      b = {p.x, p.y, p.x, p.y};
      any = true;
      return;
    }
    b.xLeft = std::min(b.xLeft, p.x);
    b.yTop = std::min(b.yTop, p.y);
    b.xRight = std::max(b.xRight, p.x);
    b.yBottom = std::max(b.yBottom, p.y);
  };
  for (const PathFigure& f : figures_) {
    add(f.start);
    for (const PathSegment& s : f.segments) {
      for (int i = 0; i < (s.bezier ? 3 : 1); ++i) add(s.p[i]);
    }
  }
  return b;
}

std::vector<PathFigure> Flatten(const std::vector<PathFigure>& figures) {
  std::vector<PathFigure> out;
  out.reserve(figures.size());
  for (const PathFigure& f : figures) {
    PathFigure flat{f.start, {}, f.closed};
    POINTFIX current = f.start;
    for (const PathSegment& s : f.segments) {
      if (!s.bezier) {
        flat.segments.push_back(s);
        current = s.p[0];
        continue;
      }
      int n = CurvePieces(current, s.p[0], s.p[1], s.p[2]);
      for (int i = 1; i <= n; ++i) {
        PathSegment line;
        if (i == n) {
          line.p[0] = s.p[2];
        } else {
          double t = double(i) / n, u = 1 - t;
          double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
          line.p[0].x = static_cast<FIX>(std::lround(a * current.x + b * s.p[0].x + c * s.p[1].x + d * s.p[2].x));
          line.p[0].y = static_cast<FIX>(std::lround(a * current.y + b * s.p[0].y + c * s.p[1].y + d * s.p[2].y));
        }
        flat.segments.push_back(line);
      }
      current = s.p[2];
    }
    out.push_back(std::move(flat));
  }
  return out;
}

std::vector<POINTFIX> FigurePoints(const PathFigure& figure) {
  std::vector<POINTFIX> points;
  points.reserve(figure.segments.size() + 1);
  points.push_back(figure.start);
  for (const PathSegment& s : figure.segments) points.push_back(s.End());
  return points;
}

}  // namespace k460::engine

using namespace k460::engine;

K460_API void PATHOBJ_vEnumStart(PATHOBJ* ppo) {
  if (EnginePath* path = EnginePath::Find(ppo)) {
    path->EnumStart();
  } else {
    SetLastError(ERROR_INVALID_PARAMETER);
  }
}

K460_API BOOL PATHOBJ_bEnum(PATHOBJ* ppo, PATHDATA* ppd) {
  EnginePath* path = EnginePath::Find(ppo);
  if (!path || !ppd) {
    if (ppd) *ppd = PATHDATA{0, 0, nullptr};
    return Fail(ERROR_INVALID_PARAMETER, FALSE);
  }
  return path->Enum(ppd) ? TRUE : FALSE;
}

K460_API void PATHOBJ_vGetBounds(PATHOBJ* ppo, RECTFX* prectfx) {
  EnginePath* path = EnginePath::Find(ppo);
  if (!path || !prectfx) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return;
  }
  *prectfx = path->Bounds();
}

K460_API PATHOBJ* EngCreatePath() {
  if (k460::CallFailsSetError("EngCreatePath")) return nullptr;
  auto path = std::make_unique<EnginePath>();
  PATHOBJ* po = path->Object();
  std::lock_guard lock(gOwnedMutex);
  Owned().push_back(std::move(path));
  return po;
}

K460_API void EngDeletePath(PATHOBJ* ppo) {
  std::unique_ptr<EnginePath> doomed;  // destroyed outside the lock
  std::lock_guard lock(gOwnedMutex);
  auto& owned = Owned();
  auto it = std::find_if(owned.begin(), owned.end(), [&](const auto& p) { return p->Object() == ppo; });
  if (it == owned.end()) {
    SetLastError(ERROR_INVALID_PARAMETER);  // not a path the caller was given to delete
    return;
  }
  doomed = std::move(*it);
  owned.erase(it);
}

K460_API BOOL PATHOBJ_bMoveTo(PATHOBJ* ppo, POINTFIX ptfx) {
  EnginePath* path = EnginePath::Find(ppo);
  if (!path) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  path->MoveTo(ptfx);
  return TRUE;
}

K460_API BOOL PATHOBJ_bPolyLineTo(PATHOBJ* ppo, POINTFIX* pptfx, ULONG cptfx) {
  EnginePath* path = EnginePath::Find(ppo);
  if (!path || (!pptfx && cptfx)) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  for (ULONG i = 0; i < cptfx; ++i) path->LineTo(pptfx[i]);
  return TRUE;
}

K460_API BOOL PATHOBJ_bPolyBezierTo(PATHOBJ* ppo, POINTFIX* pptfx, ULONG cptfx) {
  EnginePath* path = EnginePath::Find(ppo);
  if (!path || (!pptfx && cptfx) || cptfx % 3 != 0) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  for (ULONG i = 0; i < cptfx; i += 3) path->BezierTo(pptfx[i], pptfx[i + 1], pptfx[i + 2]);
  return TRUE;
}

K460_API BOOL PATHOBJ_bCloseFigure(PATHOBJ* ppo) {
  EnginePath* path = EnginePath::Find(ppo);
  if (!path) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  path->CloseFigure();
  return TRUE;
}

namespace k460::engine {

// The path of a clip region, owned by the caller (EngDeletePath).
PATHOBJ* NewOwnedPath(std::vector<PathFigure> figures) {
  auto path = std::make_unique<EnginePath>(std::move(figures));
  PATHOBJ* po = path->Object();
  std::lock_guard lock(gOwnedMutex);
  Owned().push_back(std::move(path));
  return po;
}

}  // namespace k460::engine
