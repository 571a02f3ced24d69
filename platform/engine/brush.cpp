#include "platform/engine/brush.h"

#include <mutex>

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

// Row bits of the hatches, the leftmost pixel in the top bit; 0 is the line.
constexpr BYTE kHatchRows[HS_DDI_MAX][8] = {
    {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00},  // horizontal: the bottom row
    {0xFE, 0xFE, 0xFE, 0xFE, 0xFE, 0xFE, 0xFE, 0xFE},  // vertical: the right column
    {0x7F, 0xBF, 0xDF, 0xEF, 0xF7, 0xFB, 0xFD, 0xFE},  // forward diagonal: row r, column r
    {0xFE, 0xFD, 0xFB, 0xF7, 0xEF, 0xDF, 0xBF, 0x7F},  // backward diagonal: row r, column 7 - r
    {0xFE, 0xFE, 0xFE, 0xFE, 0xFE, 0xFE, 0xFE, 0x00},  // cross
    {0x7E, 0xBD, 0xDB, 0xE7, 0xE7, 0xDB, 0xBD, 0x7E},  // diagonal cross
};

// A hatch surface the device offered in DrvEnablePDEV, if it is one: drivers
// may leave other values there (small numbers that are no handles).
std::shared_ptr<Surface> DeviceHatch(const Device* device, ULONG style) {
  if (!device || style >= HS_DDI_MAX) return nullptr;
  auto surface = LookupObjectAs<Surface>(device->patterns[style]);
  if (!surface || surface->so.iBitmapFormat != BMF_1BPP) return nullptr;
  if (!BitmapViewOf(&surface->so, PaletteData::DefaultFor(BMF_1BPP))) return nullptr;
  return surface;
}

}  // namespace

std::shared_ptr<Surface> EngineHatch(ULONG style) {
  static std::mutex mutex;
  // Kept for the life of the process (never destroyed after the surface table).
  static auto* hatches = new std::shared_ptr<Surface>[HS_DDI_MAX];
  if (style >= HS_DDI_MAX) return nullptr;
  std::lock_guard lock(mutex);
  if (!hatches[style]) {
    auto surface = CreateBitmapSurface({8, 8}, BMF_1BPP);
    if (!surface) return nullptr;
    for (int y = 0; y < 8; ++y) {
      static_cast<BYTE*>(surface->so.pvScan0)[y * surface->so.lDelta] = kHatchRows[style][y];
    }
    ForgetSurface(*surface);  // no handle: nobody can delete it
    hatches[style] = surface;
  }
  return hatches[style];
}

EngineBrush::EngineBrush(BrushDefinition definition, std::shared_ptr<Device> device, SURFOBJ* target)
    : definition_(std::move(definition)), device_(std::move(device)), target_(target) {
  if (definition_.kind == Brush::Kind::Hatch) {
    definition_.pattern = DeviceHatch(device_.get(), definition_.hatch);
    if (!definition_.pattern) definition_.pattern = EngineHatch(definition_.hatch);
    definition_.patternPalette = PaletteData{PAL_INDEXED,
                                             {ColorrefFromRgb(definition_.colour), ColorrefFromRgb(definition_.background)},
                                             0, 0, 0};
  }
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
  bool patterned = definition_.kind == Brush::Kind::Pattern || definition_.kind == Brush::Kind::Hatch;
  if (!realize || !patterned || !definition_.pattern) return nullptr;
  SURFOBJ* pattern = &definition_.pattern->so;
  EngineXlate xlate(definition_.patternPalette, pattern->iBitmapFormat, device_->palette);
  realizing_ = true;
  size_t before = memory_.size();
  ULONG hatch = definition_.kind == Brush::Kind::Hatch ? definition_.hatch : HS_DDI_MAX;
  BOOL ok = realize(&bo_, target_, pattern, nullptr, xlate.Object(), hatch);
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
    case Brush::Kind::Pattern:
    case Brush::Kind::Hatch: {
      auto view = d.pattern ? BitmapViewOf(&d.pattern->so, d.patternPalette) : std::nullopt;
      if (!view) return std::nullopt;
      PixelMap map(view->format, d.patternPalette, dst.format, dst.palette);
      return TiledPattern(dst, *view, map, origin);
    }
    default:
      return std::nullopt;  // a null brush draws nothing
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
