// Path objects: figures of lines and Bezier curves in 28.4 fixed point,
// handed to drivers as PATHOBJ and enumerated record by record; flattening
// of the curves for drivers and rasterisers that take lines only.
#pragma once

#include <optional>
#include <vector>

#include "platform/engine/ddi_objects.h"

namespace k460::engine {

struct PathSegment {
  bool bezier = false;
  POINTFIX p[3]{};  // a line ends at p[0]; a curve has two control points and ends at p[2]
  POINTFIX End() const { return bezier ? p[2] : p[0]; }
};

struct PathFigure {
  POINTFIX start{};
  std::vector<PathSegment> segments;
  bool closed = false;
};

// How far a cosmetic line's style advances per pixel: xStep/den along
// x-major lines, yStep/den along y-major ones (the device's GDIINFO values).
struct StyleSteps {
  LONG xStep = 1;
  LONG yStep = 1;
  LONG den = 1;
};

// Coordinates are kept within this many 28.4 units of the origin (about
// four million pixels), so that rasterising never overflows.
inline constexpr FIX kFixLimit = 1 << 26;
POINTFIX ClampPoint(POINTFIX p);
// A whole pixel coordinate in 28.4 fixed point, within the limit.
inline FIX FixFromLong(LONG v) {
  LONGLONG f = LONGLONG(v) * 16;
  return static_cast<FIX>(f < -kFixLimit ? -kFixLimit : f > kFixLimit ? kFixLimit : f);
}

class EnginePath {
 public:
  EnginePath();
  explicit EnginePath(std::vector<PathFigure> figures);
  ~EnginePath();
  EnginePath(const EnginePath&) = delete;
  EnginePath& operator=(const EnginePath&) = delete;

  PATHOBJ* Object() { return &po_; }
  const std::vector<PathFigure>& Figures() const { return figures_; }
  static EnginePath* Find(const PATHOBJ* po);

  // Building (points are clamped to kFixLimit).
  void MoveTo(POINTFIX p);
  void LineTo(POINTFIX p);
  void BezierTo(POINTFIX c1, POINTFIX c2, POINTFIX end);
  void CloseFigure();

  void EnumStart();
  bool Enum(PATHDATA* out);
  RECTFX Bounds() const;

  // The device's style steps, kept by paths the engine makes for a device,
  // for cosmetic lines drawn on surfaces that have no device of their own.
  std::optional<StyleSteps> styleSteps;

 private:
  void Update();
  struct Record {
    FLONG flags = 0;
    std::vector<POINTFIX> points;
  };
  PATHOBJ po_{};
  std::vector<PathFigure> figures_;
  std::vector<Record> records_;
  size_t next_ = 0;
};

// A path handed to a driver to keep until it calls EngDeletePath.
PATHOBJ* NewOwnedPath(std::vector<PathFigure> figures);

// The figures with every curve replaced by lines no farther than a quarter
// of a pixel from it.
std::vector<PathFigure> Flatten(const std::vector<PathFigure>& figures);
// The points of a flattened figure: its start, then each segment's end.
std::vector<POINTFIX> FigurePoints(const PathFigure& figure);

}  // namespace k460::engine
