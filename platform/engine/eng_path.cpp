// EngStrokePath, EngFillPath, EngStrokeAndFillPath, EngLineTo and
// EngPaint: the pixels a path covers are found by the scan converter, then
// painted with the brush as EngBitBlt paints (directly on engine bitmaps,
// through the driver's DrvCopyBits on device-managed surfaces).
#include <algorithm>

#include "platform/base/internal.h"
#include "platform/engine/clip.h"
#include "platform/engine/device.h"
#include "platform/engine/engine.h"
#include "platform/engine/path_raster.h"
#include "platform/engine/rop.h"
#include "platform/engine/scan.h"
#include "platform/engine/stroke.h"
#include "platform/engine/surface.h"
#include "platform/engine/xform.h"

namespace k460::engine {

StyleSteps StyleStepsOf(const GDIINFO& info) {
  if (info.denStyleStep <= 0 || info.xStyleStep <= 0 || info.yStyleStep <= 0) return StyleSteps{};
  return StyleSteps{info.xStyleStep, info.yStyleStep, info.denStyleStep};
}

RECTL PathPixelBounds(const EnginePath& path, LONG reach) {
  RECTFX b = path.Bounds();
  return {FloorPixel(b.xLeft) - reach, FloorPixel(b.yTop) - reach, CeilPixel(b.xRight) + 1 + reach,
          CeilPixel(b.yBottom) + 1 + reach};
}

Region FillRegion(const std::vector<PathFigure>& figures, bool winding, const RECTL& limit, const Region* clip) {
  std::vector<std::vector<POINTFIX>> polygons;
  for (const PathFigure& f : Flatten(figures)) polygons.push_back(FigurePoints(f));
  SpanBuilder spans(clip ? RectIntersect(limit, clip->Bounds()) : limit);
  FillPolygons(polygons, winding, spans);
  return spans.Build(clip);
}

std::vector<PathFigure> WidenedFigures(const std::vector<PathFigure>& figures, const LINEATTRS& la,
                                       const XFORML& xform) {
  std::vector<PathFigure> out;
  for (const auto& polygon : WidenPath(Flatten(figures), la, XformScale(xform))) {
    if (polygon.empty()) continue;
    PathFigure f;
    f.start = polygon[0];
    for (size_t i = 1; i < polygon.size(); ++i) {
      PathSegment s;
      s.p[0] = polygon[i];
      f.segments.push_back(s);
    }
    f.closed = true;
    out.push_back(std::move(f));
  }
  return out;
}

Region StrokeRegion(const std::vector<PathFigure>& figures, const LINEATTRS& la, const XFORML& xform,
                    const StyleSteps& steps, const RECTL& limit, const Region* clip) {
  if (la.fl & LA_GEOMETRIC) return FillRegion(WidenedFigures(figures, la, xform), true, limit, clip);
  RECTL reach = clip ? RectIntersect(limit, clip->Bounds()) : limit;
  PixelMask pixels(reach);
  StrokeCosmetic(Flatten(figures), la, steps, pixels);
  SpanBuilder spans(reach);
  pixels.AddTo(spans);
  return spans.Build(clip);
}

BOOL PaintRegion(SURFOBJ* so, Region region, BRUSHOBJ* pbo, POINTL* pptlBrushOrg, MIX mix) {
  if (region.Empty()) return TRUE;
  RECTL bounds = region.Bounds();
  EngineClip clip(std::move(region), bounds, NewClipUniq());
  BYTE rop = Rop3FromMix(mix & 0xFF);
  return EngBitBlt(so, nullptr, nullptr, clip.Object(), nullptr, &bounds, nullptr, nullptr, pbo, pptlBrushOrg,
                   MakeRop4(rop, rop));
}

}  // namespace k460::engine

using namespace k460::engine;

namespace {

RECTL SurfaceBounds(const SURFOBJ* so) { return {0, 0, so->sizlBitmap.cx, so->sizlBitmap.cy}; }

// A brush is needed unless the mix leaves the pen out.
bool BrushMissing(BRUSHOBJ* pbo, MIX mix) { return !pbo && RopUsesPattern(Rop3FromMix(mix & 0xFF)); }

StyleSteps StepsFor(SURFOBJ* so, const EnginePath* path) {
  if (auto device = DeviceOfSurface(so); device && device->gdiInfo.denStyleStep > 0) {
    return StyleStepsOf(device->gdiInfo);
  }
  if (path && path->styleSteps) return *path->styleSteps;
  return StyleSteps{};
}

BOOL Stroke(SURFOBJ* pso, EnginePath& path, CLIPOBJ* pco, XFORMOBJ* pxo, BRUSHOBJ* pbo, POINTL* org,
            const LINEATTRS& la, MIX mix) {
  RECTL surface = SurfaceBounds(pso);
  Region clip = ClipRegion(pco, surface);
  XFORML xform = MatrixOf(pxo);
  RECTL limit = RectIntersect(PathPixelBounds(path, StrokeReach(la, XformScale(xform))), surface);
  return PaintRegion(pso, StrokeRegion(path.Figures(), la, xform, StepsFor(pso, &path), limit, &clip), pbo, org, mix);
}

BOOL Fill(SURFOBJ* pso, EnginePath& path, CLIPOBJ* pco, BRUSHOBJ* pbo, POINTL* org, MIX mix, FLONG options) {
  RECTL surface = SurfaceBounds(pso);
  Region clip = ClipRegion(pco, surface);
  RECTL limit = RectIntersect(PathPixelBounds(path, 0), surface);
  return PaintRegion(pso, FillRegion(path.Figures(), (options & FP_WINDINGMODE) != 0, limit, &clip), pbo, org, mix);
}

}  // namespace

K460_API BOOL EngStrokePath(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, XFORMOBJ* pxo, BRUSHOBJ* pbo,
                            POINTL* pptlBrushOrg, LINEATTRS* plineattrs, MIX mix) {
  if (k460::CallFailsSetError("EngStrokePath")) return FALSE;
  EnginePath* path = EnginePath::Find(ppo);
  if (!pso || !path || !plineattrs || BrushMissing(pbo, mix)) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  return Stroke(pso, *path, pco, pxo, pbo, pptlBrushOrg, *plineattrs, mix);
}

K460_API BOOL EngFillPath(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, BRUSHOBJ* pbo, POINTL* pptlBrushOrg, MIX mix,
                          FLONG flOptions) {
  if (k460::CallFailsSetError("EngFillPath")) return FALSE;
  EnginePath* path = EnginePath::Find(ppo);
  if (!pso || !path || BrushMissing(pbo, mix)) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  return Fill(pso, *path, pco, pbo, pptlBrushOrg, mix, flOptions);
}

K460_API BOOL EngStrokeAndFillPath(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, XFORMOBJ* pxo, BRUSHOBJ* pboStroke,
                                   LINEATTRS* plineattrs, BRUSHOBJ* pboFill, POINTL* pptlBrushOrg, MIX mixFill,
                                   FLONG flOptions) {
  if (k460::CallFailsSetError("EngStrokeAndFillPath")) return FALSE;
  EnginePath* path = EnginePath::Find(ppo);
  if (!pso || !path || !plineattrs || BrushMissing(pboStroke, mixFill) || BrushMissing(pboFill, mixFill)) {
    return Fail(ERROR_INVALID_PARAMETER, FALSE);
  }
  return Fill(pso, *path, pco, pboFill, pptlBrushOrg, mixFill, flOptions) &&
         Stroke(pso, *path, pco, pxo, pboStroke, pptlBrushOrg, *plineattrs, mixFill);
}

K460_API BOOL EngLineTo(SURFOBJ* pso, CLIPOBJ* pco, BRUSHOBJ* pbo, LONG x1, LONG y1, LONG x2, LONG y2, RECTL*,
                        MIX mix) {
  if (k460::CallFailsSetError("EngLineTo")) return FALSE;
  if (!pso || BrushMissing(pbo, mix)) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  EnginePath path;
  path.MoveTo({FixFromLong(x1), FixFromLong(y1)});
  path.LineTo({FixFromLong(x2), FixFromLong(y2)});
  LINEATTRS la{};
  la.elWidth.l = 1;
  return Stroke(pso, path, pco, nullptr, pbo, nullptr, la, mix);
}

K460_API BOOL EngPaint(SURFOBJ* pso, CLIPOBJ* pco, BRUSHOBJ* pbo, POINTL* pptlBrushOrg, MIX mix) {
  if (k460::CallFailsSetError("EngPaint")) return FALSE;
  if (!pso || !pco || BrushMissing(pbo, mix)) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  return PaintRegion(pso, ClipRegion(pco, SurfaceBounds(pso)), pbo, pptlBrushOrg, mix);
}
