#include "platform/engine/stroke.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace k460::engine {
namespace {

// ---- Cosmetic lines ------------------------------------------------------------
// The on/off state along a cosmetic line: positions in 1/den style units.
class CosmeticStyle {
 public:
  CosmeticStyle(const LINEATTRS& la, const StyleSteps& steps) : steps_(steps) {
    if (steps_.den <= 0 || steps_.xStep <= 0 || steps_.yStep <= 0) steps_ = StyleSteps{};
    alternate_ = (la.fl & LA_ALTERNATE) != 0;
    startGap_ = (la.fl & LA_STARTGAP) != 0;
    if ((la.fl & LA_STYLED) && la.pstyle && la.cstyle > 0) {
      for (ULONG i = 0; i < la.cstyle && i < 64; ++i) {
        LONGLONG units = std::clamp<LONGLONG>(la.pstyle[i].l, 0, 1 << 20);
        entries_.push_back(units * steps_.den);
        total_ += units * steps_.den;
      }
      if (total_ == 0) entries_.clear();
    }
  }
  bool On() const {
    if (alternate_) return (pixel_ % 2 == 0) != startGap_;
    if (entries_.empty()) return true;
    LONGLONG pos = position_;
    size_t i = 0;
    while (pos >= entries_[i]) {
      pos -= entries_[i];
      i = (i + 1) % entries_.size();
    }
    return (i % 2 == 0) != startGap_;
  }
  void Advance(bool xMajor) {
    ++pixel_;
    if (!entries_.empty()) position_ = (position_ + (xMajor ? steps_.xStep : steps_.yStep)) % total_;
  }

 private:
  StyleSteps steps_;
  bool alternate_ = false;
  bool startGap_ = false;
  std::vector<LONGLONG> entries_;
  LONGLONG total_ = 0;
  LONGLONG position_ = 0;
  LONGLONG pixel_ = 0;
};

POINTL PixelOf(POINTFIX p) { return {FloorPixel(LONGLONG(p.x) + 8), FloorPixel(LONGLONG(p.y) + 8)}; }

void CosmeticSegment(POINTL a, POINTL b, CosmeticStyle& style, PixelMask& out) {
  LONGLONG dx = LONGLONG(b.x) - a.x, dy = LONGLONG(b.y) - a.y;
  LONGLONG adx = std::llabs(dx), ady = std::llabs(dy);
  bool xMajor = adx >= ady;
  LONGLONG steps = std::max(adx, ady);
  // Only the pixels within reach of the limit are visited.
  const RECTL& limit = out.Limit();
  LONGLONG sx = dx > 0 ? 1 : -1, sy = dy > 0 ? 1 : -1;
  LONGLONG x = a.x, y = a.y;
  LONGLONG err = xMajor ? 2 * ady - adx : 2 * adx - ady;
  for (LONGLONG i = 0; i < steps; ++i) {
    if (style.On() && x >= limit.left && x < limit.right && y >= limit.top && y < limit.bottom) {
      out.Set(static_cast<LONG>(x), static_cast<LONG>(y));
    }
    style.Advance(xMajor);
    if (xMajor) {
      x += sx;
      if (err > 0) {
        y += sy;
        err -= 2 * adx;
      }
      err += 2 * ady;
    } else {
      y += sy;
      if (err > 0) {
        x += sx;
        err -= 2 * ady;
      }
      err += 2 * adx;
    }
  }
}

// ---- Geometric lines ---------------------------------------------------------------
struct Vec {
  double x, y;
  Vec operator+(Vec o) const { return {x + o.x, y + o.y}; }
  Vec operator-(Vec o) const { return {x - o.x, y - o.y}; }
  Vec operator*(double k) const { return {x * k, y * k}; }
  double Length() const { return std::hypot(x, y); }
};
double Cross(Vec a, Vec b) { return a.x * b.y - a.y * b.x; }
double Dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y; }

using Polygon = std::vector<Vec>;

class Widener {
 public:
  Widener(const LINEATTRS& la, double width) : la_(la), half_(width / 2) {
    miterLimit_ = std::max<double>(la.eMiterLimit, 1.0);
  }

  void Figure(std::vector<Vec> pts, bool closed) {
    pts.erase(std::unique(pts.begin(), pts.end(), [](Vec a, Vec b) { return a.x == b.x && a.y == b.y; }),
              pts.end());
    if (closed && pts.size() > 1 && pts.front().x == pts.back().x && pts.front().y == pts.back().y) pts.pop_back();
    if (pts.empty()) return;
    if (pts.size() == 1) {
      if (la_.iEndCap == ENDCAP_ROUND) Circle(pts[0]);
      if (la_.iEndCap == ENDCAP_SQUARE) {
        Vec c = pts[0];
        Add({{c.x - half_, c.y - half_}, {c.x + half_, c.y - half_}, {c.x + half_, c.y + half_}, {c.x - half_, c.y + half_}});
      }
      return;
    }
    if (closed && pts.size() < 3) closed = false;  // a closed figure of two points is a line there and back
    size_t n = pts.size();
    size_t segments = closed ? n : n - 1;
    for (size_t i = 0; i < segments; ++i) Segment(pts[i], pts[(i + 1) % n]);
    if (closed) {
      for (size_t i = 0; i < n; ++i) Join(pts[(i + n - 1) % n], pts[i], pts[(i + 1) % n]);
    } else {
      for (size_t i = 1; i + 1 < n; ++i) Join(pts[i - 1], pts[i], pts[i + 1]);
      Cap(pts[1], pts[0]);
      Cap(pts[n - 2], pts[n - 1]);
    }
  }

  std::vector<std::vector<POINTFIX>> Result() const {
    std::vector<std::vector<POINTFIX>> out;
    out.reserve(polygons_.size());
    for (const Polygon& p : polygons_) {
      std::vector<POINTFIX> fix;
      fix.reserve(p.size());
      for (Vec v : p) {
        fix.push_back(ClampPoint({static_cast<FIX>(std::clamp(std::lround(v.x * 16), -long(kFixLimit), long(kFixLimit))),
                                  static_cast<FIX>(std::clamp(std::lround(v.y * 16), -long(kFixLimit), long(kFixLimit)))}));
      }
      out.push_back(std::move(fix));
    }
    return out;
  }

 private:
  Vec Normal(Vec a, Vec b) const {
    Vec d = b - a;
    double len = d.Length();
    return {-d.y / len * half_, d.x / len * half_};
  }

  // Every piece goes in with the same orientation, so that overlaps add up
  // under the winding rule instead of cancelling.
  void Add(Polygon p) {
    double area = 0;
    for (size_t i = 0; i < p.size(); ++i) area += Cross(p[i], p[(i + 1) % p.size()]);
    if (area < 0) std::reverse(p.begin(), p.end());
    polygons_.push_back(std::move(p));
  }

  void Segment(Vec a, Vec b) {
    Vec n = Normal(a, b);
    Add({a + n, b + n, b - n, a - n});
  }

  void Circle(Vec c) {
    int count = std::clamp(static_cast<int>(std::ceil(half_ * 2.5)) * 4, 8, 256);
    Polygon p;
    for (int i = 0; i < count; ++i) {
      double t = 2 * std::numbers::pi * i / count;
      p.push_back({c.x + half_ * std::cos(t), c.y + half_ * std::sin(t)});
    }
    Add(std::move(p));
  }

  void Join(Vec prev, Vec v, Vec next) {
    if (la_.iJoin == JOIN_ROUND) return Circle(v);
    Vec n1 = Normal(prev, v), n2 = Normal(v, next);
    double turn = Cross(v - prev, next - v);
    if (turn == 0 && Dot(v - prev, next - v) > 0) return;  // straight on: the segments meet exactly
    // The outer side of the turn is away from the direction it turns to.
    double side = turn > 0 ? -1 : 1;
    Vec a = v + n1 * side, b = v + n2 * side;
    if (la_.iJoin == JOIN_MITER) {
      Vec sum = n1 + n2;
      double s2 = Dot(sum, sum);
      // The miter's length over the line's width is 1 / cos(half the angle between the normals).
      if (s2 > 1e-12) {
        double ratio = 2 * half_ / std::sqrt(s2);
        if (ratio <= miterLimit_) {
          Vec m = v + sum * (side * 2 * half_ * half_ / s2);
          Add({v, a, m, b});
          return;
        }
      }
    }
    Add({v, a, b});
  }

  void Cap(Vec from, Vec end) {
    if (la_.iEndCap == ENDCAP_ROUND) return Circle(end);
    if (la_.iEndCap != ENDCAP_SQUARE) return;
    Vec d = end - from;
    d = d * (half_ / d.Length());
    Vec n = Normal(from, end);
    Add({end + n, end + n + d, end - n + d, end - n});
  }

  const LINEATTRS& la_;
  double half_;
  double miterLimit_;
  std::vector<Polygon> polygons_;
};

// A stroke is not cut into more dashes than this; the rest of it is not dashed.
constexpr size_t kMaxDashes = size_t{1} << 18;

// Cuts a polyline into its dashes (lengths in pixels, on first unless startGap).
void Dashes(const std::vector<Vec>& pts, bool closed, const std::vector<double>& style, bool startGap,
            std::vector<std::vector<Vec>>& out) {
  std::vector<Vec> path = pts;
  if (closed && !pts.empty()) path.push_back(pts.front());
  size_t entry = 0;
  double left = style[0];
  bool on = !startGap;
  std::vector<Vec> dash;
  if (on && !path.empty()) dash.push_back(path[0]);
  for (size_t i = 0; i + 1 < path.size(); ++i) {
    Vec a = path[i], b = path[i + 1];
    double len = (b - a).Length(), at = 0;
    while (len - at > left && out.size() < kMaxDashes) {
      at += left;
      Vec p = a + (b - a) * (at / len);
      if (on) {
        dash.push_back(p);
        out.push_back(std::move(dash));
        dash.clear();
      } else {
        dash.push_back(p);
      }
      on = !on;
      entry = (entry + 1) % style.size();
      left = style[entry];
    }
    left -= len - at;
    if (on) dash.push_back(b);
  }
  if (on && dash.size() > 1) out.push_back(std::move(dash));
}

}  // namespace

void StrokeCosmetic(const std::vector<PathFigure>& figures, const LINEATTRS& la, const StyleSteps& steps,
                    PixelMask& out) {
  CosmeticStyle style(la, steps);
  for (const PathFigure& f : figures) {
    std::vector<POINTFIX> points = FigurePoints(f);
    if (f.closed && points.size() > 1) points.push_back(points.front());
    for (size_t i = 0; i + 1 < points.size(); ++i) CosmeticSegment(PixelOf(points[i]), PixelOf(points[i + 1]), style, out);
  }
}

std::vector<std::vector<POINTFIX>> WidenPath(const std::vector<PathFigure>& figures, const LINEATTRS& la,
                                             double scale) {
  double width = std::max(1.0, std::fabs(double(la.elWidth.e) * scale));
  if (!std::isfinite(width)) width = 1;
  width = std::min(width, double(kFixLimit / 16));
  std::vector<double> style;
  if ((la.fl & LA_STYLED) && la.pstyle && la.cstyle > 0) {
    double total = 0;
    for (ULONG i = 0; i < la.cstyle && i < 64; ++i) {
      double length = std::fabs(double(la.pstyle[i].e) * scale);
      if (!std::isfinite(length)) length = 0;
      style.push_back(length);
      total += length;
    }
    // A style shorter than a pixel in all cannot be seen: the line is solid.
    if (total < 1) style.clear();
  }
  Widener widener(la, width);
  for (const PathFigure& f : figures) {
    std::vector<Vec> pts;
    for (POINTFIX p : FigurePoints(f)) pts.push_back({p.x / 16.0, p.y / 16.0});
    if (style.empty()) {
      widener.Figure(std::move(pts), f.closed);
      continue;
    }
    std::vector<std::vector<Vec>> dashes;
    Dashes(pts, f.closed, style, (la.fl & LA_STARTGAP) != 0, dashes);
    for (auto& dash : dashes) widener.Figure(std::move(dash), false);
  }
  return widener.Result();
}

LONG StrokeReach(const LINEATTRS& la, double scale) {
  if (!(la.fl & LA_GEOMETRIC)) return 1;
  double width = std::fabs(double(la.elWidth.e) * scale);
  if (!std::isfinite(width)) return kFixLimit / 16;
  double reach = width / 2;
  if (la.iJoin == JOIN_MITER) reach *= std::max<double>(la.eMiterLimit, 1.0);
  if (la.iEndCap == ENDCAP_SQUARE) reach *= std::numbers::sqrt2;
  return static_cast<LONG>(std::min(reach, double(kFixLimit / 16))) + 2;
}

}  // namespace k460::engine
