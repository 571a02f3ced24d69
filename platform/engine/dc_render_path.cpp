// Drawing one line, curve or filled shape of the device context on the
// device surface: DrvLineTo, DrvStrokePath, DrvFillPath or
// DrvStrokeAndFillPath when the driver hooks them and its capabilities
// allow; what is not hooked, or refused, becomes the pixels it covers,
// painted by DrvPaint or DrvBitBlt with a clip of those pixels, or by the
// engine (EngBitBlt). The surface's bits are read as they are after the
// driver's refusal (a driver may move its scan pointer before it refuses).
#include <algorithm>

#include "platform/engine/clip.h"
#include "platform/engine/dc_state.h"
#include "platform/engine/path_raster.h"
#include "platform/engine/rop.h"
#include "platform/engine/stroke.h"

namespace k460::engine {
namespace {

bool Result(BOOL ok) {
  if (!ok && GetLastError() == ERROR_SUCCESS) SetLastError(ERROR_GEN_FAILURE);
  return ok != FALSE;
}

// Fore- and background of a mix are the same for lines and shapes.
MIX DriverMix(MIX mix) { return (mix & 0xFF) | ((mix & 0xFF) << 8); }

struct PathCall {
  DeviceState& state;
  Device& device;
  SURFOBJ* so;
  FLONG hooks;
  FLONG caps;
  const Region& region;  // the clip, in band pixels
  EngineClip& clip;      // the clip object of the hooked path calls
  RECTL limit;           // the pixels the call may touch
  POINTL origin;
  MIX mix;
  EngineXform& xform;

  template <class F>
  F Hooked(FLONG hook, ULONG index) const {
    return (hooks & hook) ? device.Function<F>(index) : nullptr;
  }
};

// The path as the driver may see it: with its curves only for a device that draws them.
class Offered {
 public:
  Offered(EnginePath& path, bool beziers) : path_(path) {
    if (!beziers && (path.Object()->fl & PO_BEZIERS)) flat_.emplace(Flatten(path.Figures()));
  }
  PATHOBJ* Object() { return flat_ ? flat_->Object() : path_.Object(); }

 private:
  EnginePath& path_;
  std::optional<EnginePath> flat_;
};

bool Paint(PathCall& c, Region area, EngineBrush& brush) {
  if (area.Empty()) return true;
  RECTL bounds = area.Bounds();
  EngineClip clip(std::move(area), bounds, NewClipUniq());
  SetLastError(ERROR_SUCCESS);
  if (auto paint = c.Hooked<PFN_DrvPaint>(HOOK_PAINT, INDEX_DrvPaint)) {
    return Result(paint(c.so, clip.Object(), brush.Object(), &c.origin, DriverMix(c.mix)));
  }
  BYTE rop = Rop3FromMix(c.mix & 0xFF);
  auto bitBlt = c.Hooked<PFN_DrvBitBlt>(HOOK_BITBLT, INDEX_DrvBitBlt);
  if (!bitBlt) bitBlt = &EngBitBlt;
  return Result(bitBlt(c.so, nullptr, nullptr, clip.Object(), nullptr, &bounds, nullptr, nullptr, brush.Object(),
                       &c.origin, MakeRop4(rop, rop)));
}

bool Fill(PathCall& c, EnginePath& path, EngineBrush& brush, bool winding) {
  FLONG mode = winding ? GCAPS_WINDINGFILL : GCAPS_ALTERNATEFILL;
  auto fillPath = c.Hooked<PFN_DrvFillPath>(HOOK_FILLPATH, INDEX_DrvFillPath);
  if (fillPath && (c.caps & mode)) {
    Offered offered(path, c.caps & GCAPS_BEZIERS);
    SetLastError(ERROR_SUCCESS);
    if (fillPath(c.so, offered.Object(), c.clip.Object(), brush.Object(), &c.origin, DriverMix(c.mix),
                 winding ? FP_WINDINGMODE : FP_ALTERNATEMODE)) {
      return true;
    }
  }
  return Paint(c, FillRegion(path.Figures(), winding, c.limit, &c.region), brush);
}

bool WideForTheEngine(const PathCall& c, const LINEATTRS& la) {
  return (la.fl & LA_GEOMETRIC) && !(c.caps & GCAPS_GEOMETRICWIDE);
}

bool Stroke(PathCall& c, EnginePath& path, EngineBrush& pen, LINEATTRS& la, bool wholeLine) {
  const BrushDefinition& brush = pen.Definition();
  auto lineTo = c.Hooked<PFN_DrvLineTo>(HOOK_LINETO, INDEX_DrvLineTo);
  bool plain = !(la.fl & (LA_GEOMETRIC | LA_STYLED | LA_ALTERNATE)) && brush.kind == Brush::Kind::Solid;
  if (lineTo && wholeLine && plain && path.Figures().size() == 1 && path.Figures()[0].segments.size() == 1) {
    const PathFigure& f = path.Figures()[0];
    POINTFIX a = f.start, b = f.segments[0].End();
    if (((a.x | a.y | b.x | b.y) & 15) == 0) {
      LONG x1 = a.x / 16, y1 = a.y / 16, x2 = b.x / 16, y2 = b.y / 16;
      RECTL bounds{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2) + 1, std::max(y1, y2) + 1};
      SetLastError(ERROR_SUCCESS);
      if (lineTo(c.so, c.clip.Object(), pen.Object(), x1, y1, x2, y2, &bounds, DriverMix(c.mix))) return true;
    }
  }
  auto strokePath = c.Hooked<PFN_DrvStrokePath>(HOOK_STROKEPATH, INDEX_DrvStrokePath);
  if (strokePath && !WideForTheEngine(c, la)) {
    Offered offered(path, c.caps & GCAPS_BEZIERS);
    SetLastError(ERROR_SUCCESS);
    if (strokePath(c.so, offered.Object(), c.clip.Object(), c.xform.Object(), pen.Object(), &c.origin, &la,
                   DriverMix(c.mix))) {
      return true;
    }
  }
  if (la.fl & LA_GEOMETRIC) {
    // The outline of the wide line is filled (offered to the driver's DrvFillPath).
    EnginePath outline(WidenedFigures(path.Figures(), la, c.xform.Matrix()));
    return Fill(c, outline, pen, true);
  }
  StyleSteps steps = path.styleSteps.value_or(StyleSteps{});
  return Paint(c, StrokeRegion(path.Figures(), la, c.xform.Matrix(), steps, c.limit, &c.region), pen);
}

bool StrokeAndFill(PathCall& c, EnginePath& path, EngineBrush& pen, LINEATTRS& la, EngineBrush& fill,
                   bool winding) {
  FLONG mode = winding ? GCAPS_WINDINGFILL : GCAPS_ALTERNATEFILL;
  auto both = c.Hooked<PFN_DrvStrokeAndFillPath>(HOOK_STROKEANDFILLPATH, INDEX_DrvStrokeAndFillPath);
  if (both && (c.caps & mode) && !WideForTheEngine(c, la)) {
    Offered offered(path, c.caps & GCAPS_BEZIERS);
    SetLastError(ERROR_SUCCESS);
    if (both(c.so, offered.Object(), c.clip.Object(), c.xform.Object(), pen.Object(), &la, fill.Object(),
             &c.origin, DriverMix(c.mix), winding ? FP_WINDINGMODE : FP_ALTERNATEMODE)) {
      return true;
    }
  }
  return Fill(c, path, fill, winding) && Stroke(c, path, pen, la, false);
}

LINEATTRS LineAttributes(const PenSpec& pen) {
  LINEATTRS la{};
  la.fl = pen.fl;
  la.iJoin = pen.join;
  la.iEndCap = pen.cap;
  if (pen.fl & LA_GEOMETRIC) {
    la.elWidth.e = pen.width;
  } else {
    la.elWidth.l = 1;
  }
  la.eMiterLimit = pen.miterLimit;
  la.cstyle = static_cast<ULONG>(pen.style.size());
  la.pstyle = pen.style.empty() ? nullptr : const_cast<FLOAT_LONG*>(pen.style.data());
  return la;
}

}  // namespace

bool RenderPath(DeviceState& state, SURFOBJ* so, const Region& region, ULONG uniq, POINTL brushOrigin,
                const PathCommand& command, POINTL bandOrigin) {
  Device& device = *state.device;
  std::vector<PathFigure> figures = command.figures;
  POINTFIX shift{FixFromLong(bandOrigin.x), FixFromLong(bandOrigin.y)};
  for (PathFigure& f : figures) {
    f.start = ClampPoint({f.start.x - shift.x, f.start.y - shift.y});
    for (PathSegment& s : f.segments) {
      for (POINTFIX& p : s.p) p = ClampPoint({p.x - shift.x, p.y - shift.y});
    }
  }
  EnginePath path(std::move(figures));
  path.styleSteps = StyleStepsOf(device.gdiInfo);
  XFORML m = command.xform;
  m.eDx -= static_cast<FLOATL>(bandOrigin.x);
  m.eDy -= static_cast<FLOATL>(bandOrigin.y);
  EngineXform xform(m);
  LINEATTRS la = command.pen ? LineAttributes(*command.pen) : LINEATTRS{};
  LONG reach = command.pen ? StrokeReach(la, XformScale(m)) : 0;
  RECTL bounds = PathPixelBounds(path, reach);
  EngineClip clip(region, bounds, uniq);
  if (clip.Invisible()) return true;

  RECTL surface{0, 0, so->sizlBitmap.cx, so->sizlBitmap.cy};
  PathCall call{state,  device,     so,   state.surface->hooks, device.devInfo.flGraphicsCaps, region, clip,
                RectIntersect(bounds, surface), brushOrigin, command.mix, xform};
  std::optional<EngineBrush> pen, fill;
  if (command.pen) pen.emplace(Definition(device, command.pen->brush), state.device, so);
  if (command.fill) fill.emplace(Definition(device, *command.fill), state.device, so);
  switch (command.op) {
    case PathCommand::Op::Stroke: return pen ? Stroke(call, path, *pen, la, command.wholeLine) : true;
    case PathCommand::Op::Fill: return fill ? Fill(call, path, *fill, command.winding) : true;
    case PathCommand::Op::StrokeAndFill:
      if (!pen || !fill) return Fail(ERROR_INVALID_PARAMETER, false);
      return StrokeAndFill(call, path, *pen, la, *fill, command.winding);
  }
  return Fail(ERROR_INVALID_PARAMETER, false);
}

}  // namespace k460::engine
