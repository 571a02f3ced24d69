// Lines, curves and filled shapes of the device context: the caller's path
// is taken through the world transform into page pixels (28.4), pens and
// brushes become the records the device context keeps, and the shape is
// drawn at once or kept for the bands.
#include <algorithm>
#include <cmath>

#include "platform/engine/dc_state.h"
#include "platform/engine/path_raster.h"

namespace k460::engine {
namespace {

POINTFIX ToDevice(const XFORML& m, POINTFIX p) {
  double x, y;
  ApplyXform(m, p.x / 16.0, p.y / 16.0, x, y);
  auto fix = [](double v) {
    if (!std::isfinite(v)) return FIX{0};
    double f = std::round(v * 16);
    return static_cast<FIX>(std::fmax(-double(kFixLimit), std::fmin(double(kFixLimit), f)));
  };
  return {fix(x), fix(y)};
}

std::vector<PathFigure> DeviceFigures(const Path& path, const XFORML& m) {
  EnginePath built;
  for (const Path::Op& op : path.Ops()) {
    switch (op.kind) {
      case Path::Op::Kind::Move: built.MoveTo(ToDevice(m, op.p[0])); break;
      case Path::Op::Kind::Line: built.LineTo(ToDevice(m, op.p[0])); break;
      case Path::Op::Kind::Bezier:
        built.BezierTo(ToDevice(m, op.p[0]), ToDevice(m, op.p[1]), ToDevice(m, op.p[2]));
        break;
      case Path::Op::Kind::Close: built.CloseFigure(); break;
    }
  }
  return built.Figures();
}

bool Usable(FLOATL v) { return std::isfinite(v) && v >= 0; }

bool DrawPath(DeviceState& s, const Path& path, const Pen* pen, const Brush* brush, FillMode mode,
              bool wholeLine = false) {
  PathCommand command;
  if (pen) {
    command.pen.emplace();
    if (!MakePen(*pen, *command.pen)) return false;
    if (pen->style == Pen::Style::Null || pen->brush.kind == Brush::Kind::Null) command.pen.reset();
  }
  if (brush) {
    command.fill.emplace();
    if (!MakeBrush(*brush, *command.fill)) return false;
    if (brush->kind == Brush::Kind::Null) command.fill.reset();
  }
  if (!command.pen && !command.fill) return true;
  command.op = !command.fill ? PathCommand::Op::Stroke
               : command.pen ? PathCommand::Op::StrokeAndFill
                             : PathCommand::Op::Fill;
  command.figures = DeviceFigures(path, s.xform);
  command.winding = mode == FillMode::Winding;
  command.mix = s.mix;
  command.xform = s.xform;
  command.wholeLine = wholeLine;
  if (command.figures.empty()) return true;
  return Draw(s, std::move(command));
}

}  // namespace

bool MakePen(const Pen& pen, PenSpec& out) {
  if (!Usable(pen.width) || !Usable(pen.miterLimit) || pen.join > JOIN_MITER || pen.cap > ENDCAP_BUTT) {
    return Fail(ERROR_INVALID_PARAMETER, false);
  }
  if (!MakeBrush(pen.brush, out.brush)) return false;
  bool geometric = pen.width > 0;
  out.fl = geometric ? LA_GEOMETRIC : 0;
  out.width = geometric ? pen.width : 1;
  out.join = pen.join;
  out.cap = pen.cap;
  out.miterLimit = pen.miterLimit;
  std::vector<FLOATL> lengths;
  switch (pen.style) {
    case Pen::Style::Solid:
    case Pen::Style::Null: break;
    case Pen::Style::Dash: lengths = {3, 1}; break;
    case Pen::Style::Dot: lengths = {1, 1}; break;
    case Pen::Style::DashDot: lengths = {3, 1, 1, 1}; break;
    case Pen::Style::DashDotDot: lengths = {3, 1, 1, 1, 1, 1}; break;
    case Pen::Style::Alternate:
      if (geometric) return Fail(ERROR_INVALID_PARAMETER, false);  // a cosmetic style only
      out.fl |= LA_ALTERNATE;
      break;
    case Pen::Style::Custom:
      if (pen.dashes.empty() || pen.dashes.size() > 16) return Fail(ERROR_INVALID_PARAMETER, false);
      for (FLOATL d : pen.dashes) {
        if (!Usable(d)) return Fail(ERROR_INVALID_PARAMETER, false);
      }
      lengths = pen.dashes;
      break;
    default: return Fail(ERROR_INVALID_PARAMETER, false);
  }
  bool predefined = pen.style != Pen::Style::Custom;
  for (FLOATL length : lengths) {
    FLOAT_LONG entry{};
    if (geometric) {
      entry.e = predefined ? length * pen.width : length;
    } else {
      entry.l = static_cast<LONG>(std::lround(std::fmin(length, 1 << 20)));
    }
    out.style.push_back(entry);
  }
  if (!out.style.empty()) out.fl |= LA_STYLED;
  return true;
}

RECTL PageBounds(const DeviceState& s) {
  LONG width = s.surface ? s.surface->so.sizlBitmap.cx : 0;
  LONG height = s.surface ? s.surface->so.sizlBitmap.cy : 0;
  if (s.device) {
    const GDIINFO& info = s.device->gdiInfo;
    width = std::max({width, static_cast<LONG>(std::min<ULONG>(info.ulHorzRes, 1 << 20)), info.szlPhysSize.cx});
    height = std::max({height, static_cast<LONG>(std::min<ULONG>(info.ulVertRes, 1 << 20)), info.szlPhysSize.cy});
  }
  return {0, 0, std::min<LONG>(width, 1 << 20), std::min<LONG>(height, 1 << 20)};
}

void DeviceContext::SetMix(MIX mix) { state_->mix = mix; }

void DeviceContext::SetWorldTransform(const XFORML& xform) { state_->xform = xform; }

void DeviceContext::ResetWorldTransform() { state_->xform = kIdentity; }

bool DeviceContext::SetClipPath(const Path& path, FillMode mode) {
  std::vector<PathFigure> figures = DeviceFigures(path, state_->xform);
  state_->clip = FillRegion(figures, mode == FillMode::Winding, PageBounds(*state_), nullptr);
  ++state_->clipVersion;
  return true;
}

bool DeviceContext::StrokePath(const Path& path, const Pen& pen) {
  return DrawPath(*state_, path, &pen, nullptr, FillMode::Alternate);
}

bool DeviceContext::FillPath(const Path& path, const Brush& brush, FillMode mode) {
  return DrawPath(*state_, path, nullptr, &brush, mode);
}

bool DeviceContext::StrokeAndFillPath(const Path& path, const Pen& pen, const Brush& brush, FillMode mode) {
  return DrawPath(*state_, path, &pen, &brush, mode);
}

bool DeviceContext::Line(POINTL from, POINTL to, const Pen& pen) {
  Path path;
  path.MoveTo(from.x, from.y).LineTo(to.x, to.y);
  // Whole pixels stay whole under a transform of whole offsets only.
  XFORML m = state_->xform;
  bool whole = XformKind(m) <= GX_OFFSET && m.eDx == std::floor(m.eDx) && m.eDy == std::floor(m.eDy);
  return DrawPath(*state_, path, &pen, nullptr, FillMode::Alternate, whole);
}

bool DeviceContext::Polyline(const std::vector<POINTL>& points, const Pen& pen) {
  if (points.size() < 2) return Fail(ERROR_INVALID_PARAMETER, false);
  Path path;
  path.MoveTo(points[0].x, points[0].y);
  for (size_t i = 1; i < points.size(); ++i) path.LineTo(points[i].x, points[i].y);
  return StrokePath(path, pen);
}

bool DeviceContext::PolyBezier(const std::vector<POINTL>& points, const Pen& pen) {
  if (points.size() < 4 || (points.size() - 1) % 3 != 0) return Fail(ERROR_INVALID_PARAMETER, false);
  Path path;
  path.MoveTo(points[0].x, points[0].y);
  for (size_t i = 1; i + 2 < points.size(); i += 3) path.BezierTo(points[i], points[i + 1], points[i + 2]);
  return StrokePath(path, pen);
}

bool DeviceContext::Rectangle(const RECTL& rect, const Pen& pen, const Brush& brush) {
  Path path;
  path.MoveTo(rect.left, rect.top).LineTo(rect.right, rect.top).LineTo(rect.right, rect.bottom);
  path.LineTo(rect.left, rect.bottom).Close();
  return DrawPath(*state_, path, &pen, &brush, FillMode::Alternate);
}

bool DeviceContext::Polygon(const std::vector<POINTL>& points, const Pen& pen, const Brush& brush, FillMode mode) {
  if (points.size() < 2) return Fail(ERROR_INVALID_PARAMETER, false);
  Path path;
  path.MoveTo(points[0].x, points[0].y);
  for (size_t i = 1; i < points.size(); ++i) path.LineTo(points[i].x, points[i].y);
  path.Close();
  return DrawPath(*state_, path, &pen, &brush, mode);
}

}  // namespace k460::engine
