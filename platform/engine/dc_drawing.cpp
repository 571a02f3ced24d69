// Drawing calls of the device context: the caller's images and brushes are
// copied into engine objects, then each call is drawn at once, or kept for
// replay band by band on a banding surface.
#include <cstring>

#include "platform/engine/dc_state.h"

namespace k460::engine {
namespace {

// The image's palette as the engine keeps it.
PaletteData ImagePalette(const Image& image) {
  PaletteData p;
  int bpp = BitsPerPixel(image.format);
  if (bpp <= 8) {
    if (image.palette.empty()) return PaletteData::DefaultFor(image.format);
    p.mode = PAL_INDEXED;
    for (COLORREF c : image.palette) p.colors.push_back(c & 0x00FFFFFF);
    p.colors.resize(size_t{1} << bpp, 0);
    return p;
  }
  if ((image.format == BMF_16BPP || image.format == BMF_32BPP) && image.redMask && image.greenMask &&
      image.blueMask) {
    p.mode = PAL_BITFIELDS;
    p.redMask = image.redMask;
    p.greenMask = image.greenMask;
    p.blueMask = image.blueMask;
    return p;
  }
  return PaletteData::DefaultFor(image.format);
}

// A top-down engine copy of the caller's image, or null.
std::shared_ptr<Surface> CopyImage(const Image& image, PaletteData& palette) {
  int bpp = BitsPerPixel(image.format);
  if (bpp == 0 || image.width <= 0 || image.height <= 0 || !image.bits) return Fail(ERROR_INVALID_PARAMETER, nullptr);
  if (static_cast<LONGLONG>(image.width) * image.height > (1LL << 28)) return Fail(ERROR_INVALID_PARAMETER, nullptr);
  LONG rowBytes = static_cast<LONG>((static_cast<LONGLONG>(image.width) * bpp + 7) / 8);
  LONG stride = image.stride ? image.stride : AlignedRowBytes(image.format, image.width);
  if (stride < rowBytes) return Fail(ERROR_INVALID_PARAMETER, nullptr);
  if (bpp <= 8 && image.palette.size() > (size_t{1} << bpp)) return Fail(ERROR_INVALID_PARAMETER, nullptr);
  palette = ImagePalette(image);
  auto surface = CreateBitmapSurface({image.width, image.height}, image.format);
  if (!surface) return nullptr;
  surface->palette = palette;
  const BYTE* bits = static_cast<const BYTE*>(image.bits);
  for (LONG y = 0; y < image.height; ++y) {
    LONG from = image.topDown ? y : image.height - 1 - y;
    std::memcpy(static_cast<BYTE*>(surface->so.pvScan0) + static_cast<ptrdiff_t>(y) * surface->so.lDelta,
                bits + static_cast<ptrdiff_t>(from) * stride, rowBytes);
  }
  ForgetSurface(*surface);  // held by the command only
  return surface;
}

}  // namespace

bool MakeBrush(const Brush& brush, BrushSpec& spec) {
  spec.kind = brush.kind;
  spec.color = brush.color & 0x00FFFFFF;
  spec.hatch = brush.hatch;
  spec.background = brush.background & 0x00FFFFFF;
  switch (brush.kind) {
    case Brush::Kind::Solid:
    case Brush::Kind::Null:
      return true;
    case Brush::Kind::Pattern:
      spec.pattern = CopyImage(brush.pattern, spec.patternPalette);
      return spec.pattern != nullptr;
    case Brush::Kind::Hatch:
      return brush.hatch < HS_DDI_MAX ? true : Fail(ERROR_INVALID_PARAMETER, false);
  }
  return Fail(ERROR_INVALID_PARAMETER, false);
}

bool Draw(DeviceState& s, DrawCommand command) {
  if (!s.surface || (s.driver && s.doc != DocState::InPage)) return Fail(ERROR_INVALID_PARAMETER, false);
  RecordedCommand recorded{std::move(command), s.clip, s.clipVersion, s.brushOrigin};
  if (s.Banding()) {
    s.page.push_back(std::move(recorded));
    return true;
  }
  return RenderCommand(s, recorded, POINTL{0, 0}, 0);
}

bool DeviceContext::FillRect(const RECTL& rect, COLORREF color) {
  return PatBlt(rect, Brush::Solid(color), ROP3_PATCOPY);
}

bool DeviceContext::PatBlt(const RECTL& rect, const Brush& brush, BYTE rop3) {
  FillCommand fill;
  fill.rect = RectOrdered(rect);
  fill.rop3 = rop3;
  if (!MakeBrush(brush, fill.brush)) return false;
  if (brush.kind == Brush::Kind::Null) return true;
  return Draw(*state_, std::move(fill));
}

bool DeviceContext::DrawImage(const Image& image, const RECTL& dest, const RECTL* source, BYTE rop3,
                              const Brush* brush) {
  ImageCommand draw;
  draw.source = CopyImage(image, draw.sourcePalette);
  if (!draw.source) return false;
  draw.dest = dest;
  draw.src = source ? *source : RECTL{0, 0, image.width, image.height};
  draw.rop3 = rop3;
  draw.stretchMode = static_cast<ULONG>(state_->stretchMode);
  if (brush) {
    draw.brush.emplace();
    if (!MakeBrush(*brush, *draw.brush)) return false;
  }
  if (RectEmpty(RectOrdered(draw.dest)) || RectEmpty(RectOrdered(draw.src))) return true;
  return Draw(*state_, std::move(draw));
}

}  // namespace k460::engine
