// Drawing one recorded call on the device surface: the clip, brush and
// colour-translation objects are built for the call (and the band), and
// the call goes to the driver's hooked function or to the engine's own.
#include <cstdlib>

#include "platform/engine/brush.h"
#include "platform/engine/clip.h"
#include "platform/engine/dc_state.h"
#include "platform/engine/xlate.h"

namespace k460::engine {
namespace {

struct Target {
  DeviceState& state;
  SURFOBJ* so;
  const Region& region;
  ULONG uniq;
  POINTL brushOrigin;
};

bool Result(BOOL ok) {
  if (!ok && GetLastError() == ERROR_SUCCESS) SetLastError(ERROR_GEN_FAILURE);
  return ok != FALSE;
}

RECTL Offset(RECTL r, POINTL by) { return {r.left - by.x, r.top - by.y, r.right - by.x, r.bottom - by.y}; }

bool RenderFill(Target& t, const FillCommand& fill, POINTL bandOrigin) {
  RECTL rect = Offset(fill.rect, bandOrigin);
  EngineClip clip(t.region, rect, t.uniq);
  if (clip.Invisible()) return true;
  Device& device = *t.state.device;
  EngineBrush brush(Definition(device, fill.brush), t.state.device, t.so);
  ROP4 rop4 = MakeRop4(fill.rop3, fill.rop3);
  SetLastError(ERROR_SUCCESS);
  if (t.state.surface->hooks & HOOK_BITBLT) {
    auto bitBlt = device.Function<PFN_DrvBitBlt>(INDEX_DrvBitBlt);
    if (bitBlt) {
      return Result(bitBlt(t.so, nullptr, nullptr, clip.Object(), nullptr, &rect, nullptr, nullptr, brush.Object(),
                           &t.brushOrigin, rop4));
    }
  }
  return Result(EngBitBlt(t.so, nullptr, nullptr, clip.Object(), nullptr, &rect, nullptr, nullptr, brush.Object(),
                          &t.brushOrigin, rop4));
}

bool SameSize(const RECTL& a, const RECTL& b) {
  return a.right - a.left == b.right - b.left && a.bottom - a.top == b.bottom - b.top;
}

bool RenderImage(Target& t, const ImageCommand& draw, POINTL bandOrigin) {
  RECTL dest = Offset(draw.dest, bandOrigin);
  RECTL ordered = RectOrdered(dest);
  EngineClip clip(t.region, ordered, t.uniq);
  if (clip.Invisible()) return true;
  Device& device = *t.state.device;
  FLONG hooks = t.state.surface->hooks;
  SURFOBJ* source = &draw.source->so;
  EngineXlate xlate(draw.sourcePalette, source->iBitmapFormat, device.palette);
  std::optional<EngineBrush> brush;
  if (draw.brush) brush.emplace(Definition(device, *draw.brush), t.state.device, t.so);
  BRUSHOBJ* bo = brush ? brush->Object() : nullptr;
  bool copy = draw.rop3 == ROP3_SRCCOPY && !draw.brush;
  RECTL src = draw.src;
  std::shared_ptr<Surface> stretched;

  SetLastError(ERROR_SUCCESS);
  if (!SameSize(dest, src)) {
    if (copy) {
      COLORADJUSTMENT ca{sizeof(COLORADJUSTMENT), 0, 0, 10000, 10000, 10000, 0, 10000, 0, 0, 0, 0};
      POINTL htOrigin{0, 0};
      auto stretch = (hooks & HOOK_STRETCHBLT) ? device.Function<PFN_DrvStretchBlt>(INDEX_DrvStretchBlt) : nullptr;
      if (!stretch) stretch = &EngStretchBlt;
      return Result(stretch(t.so, source, nullptr, clip.Object(), xlate.Object(), &ca, &htOrigin, &dest, &src,
                            nullptr, draw.stretchMode));
    }
    // A raster operation on a stretched image: stretch it first to the
    // destination's size, in its own format, then combine.
    SIZEL size{ordered.right - ordered.left, ordered.bottom - ordered.top};
    stretched = CreateBitmapSurface(size, source->iBitmapFormat);
    if (!stretched) return false;
    stretched->palette = draw.sourcePalette;
    RECTL into{0, 0, size.cx, size.cy};
    if (dest.right < dest.left) std::swap(into.left, into.right);
    if (dest.bottom < dest.top) std::swap(into.top, into.bottom);
    BOOL ok = EngStretchBlt(&stretched->so, source, nullptr, nullptr, nullptr, nullptr, nullptr, &into, &src,
                            nullptr, COLORONCOLOR);
    ForgetSurface(*stretched);
    if (!ok) return false;
    source = &stretched->so;
    src = {0, 0, size.cx, size.cy};
  }
  POINTL from{std::min(src.left, src.right), std::min(src.top, src.bottom)};
  if (copy && (hooks & HOOK_COPYBITS)) {
    if (auto copyBits = device.Function<PFN_DrvCopyBits>(INDEX_DrvCopyBits)) {
      return Result(copyBits(t.so, source, clip.Object(), xlate.Object(), &ordered, &from));
    }
  }
  ROP4 rop4 = MakeRop4(draw.rop3, draw.rop3);
  auto bitBlt = (hooks & HOOK_BITBLT) ? device.Function<PFN_DrvBitBlt>(INDEX_DrvBitBlt) : nullptr;
  if (!bitBlt) {
    if (copy) return Result(EngCopyBits(t.so, source, clip.Object(), xlate.Object(), &ordered, &from));
    bitBlt = &EngBitBlt;
  }
  return Result(bitBlt(t.so, source, nullptr, clip.Object(), xlate.Object(), &ordered, &from, nullptr, bo,
                       &t.brushOrigin, rop4));
}

}  // namespace

// Whether the device wants colours it cannot show halftoned.
static bool Halftone(const Device& device, COLORREF color) {
  if (auto dither = device.Function<PFN_DrvDitherColor>(INDEX_DrvDitherColor)) {
    ULONG pattern[256] = {};
    return dither(device.dhpdev, 0, color, pattern) != DCR_SOLID;
  }
  return (device.devInfo.flGraphicsCaps & GCAPS_HALFTONE) != 0;
}

BrushDefinition Definition(const Device& device, const BrushSpec& spec) {
  BrushDefinition d;
  d.kind = spec.kind;
  d.colour = RgbFromColorref(spec.color);
  d.background = RgbFromColorref(spec.background);
  d.hatch = spec.hatch;
  d.pattern = spec.pattern;
  d.patternPalette = spec.patternPalette;
  d.halftone = spec.kind == Brush::Kind::Solid && device.driver && Halftone(device, spec.color);
  return d;
}

bool RenderCommand(DeviceState& state, const RecordedCommand& command, POINTL bandOrigin, ULONG band) {
  if (!state.surface || !state.device) return Fail(ERROR_INVALID_PARAMETER, false);
  SURFOBJ* so = &state.surface->so;
  RECTL bandRect{0, 0, so->sizlBitmap.cx, so->sizlBitmap.cy};
  Region region = command.clip ? command.clip->Offset(-bandOrigin.x, -bandOrigin.y).Intersect(bandRect)
                               : Region(bandRect);
  Target target{state, so, region, (command.clipVersion << 12) | (band & 0xFFF),
                {command.brushOrigin.x - bandOrigin.x, command.brushOrigin.y - bandOrigin.y}};
  if (auto* fill = std::get_if<FillCommand>(&command.command)) return RenderFill(target, *fill, bandOrigin);
  if (auto* image = std::get_if<ImageCommand>(&command.command)) return RenderImage(target, *image, bandOrigin);
  if (auto* text = std::get_if<TextCommand>(&command.command)) {
    return RenderText(state, so, region, target.uniq, target.brushOrigin, *text, bandOrigin);
  }
  if (auto* path = std::get_if<PathCommand>(&command.command)) {
    return RenderPath(state, so, region, target.uniq, target.brushOrigin, *path, bandOrigin);
  }
  return Fail(ERROR_NOT_SUPPORTED, false);
}

}  // namespace k460::engine
