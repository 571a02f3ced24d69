#include "platform/engine/brush.h"

#include "platform/base/internal.h"
#include "platform/engine/device.h"
#include "platform/engine/surface.h"
#include "platform/engine/xlate.h"

namespace k460::engine {
namespace {

Registry<EngineBrush>& Brushes() {
  static Registry<EngineBrush> registry;
  return registry;
}

}  // namespace

EngineBrush::EngineBrush(BrushDefinition definition, std::shared_ptr<Device> device, SURFOBJ* target)
    : definition_(std::move(definition)), device_(std::move(device)), target_(target) {
  if (definition_.kind == Brush::Kind::Solid) {
    bo_.iSolidColor = RgbToValue(device_ ? device_->palette : PaletteData::Rgb(), definition_.colour);
  } else {
    bo_.iSolidColor = BRUSHOBJ_NOT_SOLID;
  }
  Brushes().Add(&bo_, this);
}

EngineBrush::~EngineBrush() { Brushes().Remove(&bo_); }

EngineBrush* EngineBrush::Find(const BRUSHOBJ* bo) { return Brushes().Find(bo); }

void* EngineBrush::Allocate(ULONG bytes) {
  auto block = std::unique_ptr<BYTE[]>(new (std::nothrow) BYTE[bytes ? bytes : 1]());
  if (!block) return nullptr;
  memory_.push_back(std::move(block));
  return memory_.back().get();
}

void* EngineBrush::Realization() {
  if (bo_.pvRbrush || tried_ || realizing_) return bo_.pvRbrush;
  tried_ = true;
  auto realize = device_ ? device_->Function<PFN_DrvRealizeBrush>(INDEX_DrvRealizeBrush) : nullptr;
  if (!realize || definition_.kind != Brush::Kind::Pattern || !definition_.pattern) return nullptr;
  SURFOBJ* pattern = &definition_.pattern->so;
  EngineXlate xlate(definition_.patternPalette, pattern->iBitmapFormat, device_->palette);
  realizing_ = true;
  size_t before = memory_.size();
  BOOL ok = realize(&bo_, target_, pattern, nullptr, xlate.Object(), HS_DDI_MAX);
  realizing_ = false;
  // The realisation is the memory the driver asked for while realising.
  if (ok && memory_.size() > before) bo_.pvRbrush = memory_[before].get();
  return bo_.pvRbrush;
}

std::optional<Pattern> PatternFor(BRUSHOBJ* pbo, const BitmapView& dst, POINTL origin) {
  if (!pbo) return std::nullopt;
  EngineBrush* brush = EngineBrush::Find(pbo);
  if (!brush) {
    // A brush the engine did not make: only its solid colour is known.
    if (pbo->iSolidColor == BRUSHOBJ_NOT_SOLID) return std::nullopt;
    return SolidPattern(dst, RgbToPixel(dst.format, dst.palette, ValueToRgb(dst.palette, pbo->iSolidColor)));
  }
  const BrushDefinition& d = brush->Definition();
  switch (d.kind) {
    case Brush::Kind::Solid: {
      ULONG pixel = RgbToPixel(dst.format, dst.palette, d.colour);
      if (d.halftone && dst.bpp == 1 && PixelToRgb(dst.format, dst.palette, pixel) != d.colour) {
        return DitherPattern(dst, d.colour);
      }
      return SolidPattern(dst, pixel);
    }
    case Brush::Kind::Pattern: {
      auto view = d.pattern ? BitmapViewOf(&d.pattern->so, d.patternPalette) : std::nullopt;
      if (!view) return std::nullopt;
      PixelMap map(view->format, d.patternPalette, dst.format, dst.palette);
      return TiledPattern(dst, *view, map, origin);
    }
    default:
      return std::nullopt;  // hatches and null brushes are not drawn by the engine yet
  }
}

}  // namespace k460::engine

using namespace k460::engine;

K460_API ULONG BRUSHOBJ_ulGetBrushColor(BRUSHOBJ* pbo) {
  if (!pbo) return Fail(ERROR_INVALID_PARAMETER, BRUSHOBJ_NOT_SOLID);
  EngineBrush* brush = EngineBrush::Find(pbo);
  if (!brush) return pbo->iSolidColor;
  if (brush->Definition().kind != Brush::Kind::Solid) return BRUSHOBJ_NOT_SOLID;
  return ColorrefFromRgb(brush->Definition().colour);
}

K460_API PVOID BRUSHOBJ_pvAllocRbrush(BRUSHOBJ* pbo, ULONG cj) {
  EngineBrush* brush = EngineBrush::Find(pbo);
  if (!brush || cj == 0) return Fail(ERROR_INVALID_PARAMETER, PVOID{});
  void* p = brush->Allocate(cj);
  if (!p) return Fail(ERROR_NOT_ENOUGH_MEMORY, PVOID{});
  return p;
}

K460_API PVOID BRUSHOBJ_pvGetRbrush(BRUSHOBJ* pbo) {
  EngineBrush* brush = EngineBrush::Find(pbo);
  if (!brush) return Fail(ERROR_INVALID_PARAMETER, PVOID{});
  return brush->Realization();
}
