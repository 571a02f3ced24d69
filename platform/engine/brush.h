// Brush objects: a solid colour or a pattern, handed to drivers as
// BRUSHOBJ, realised by the driver on request (DrvRealizeBrush) and turned
// into pattern pixels when the engine draws with it.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "platform/engine/blt.h"
#include "platform/engine/device_context.h"

namespace k460::engine {

class Device;
class Surface;

struct BrushDefinition {
  Brush::Kind kind = Brush::Kind::Solid;
  Rgb colour;       // solid colour; hatch lines
  Rgb background = kWhite;  // between hatch lines
  ULONG hatch = 0;  // HS_HORIZONTAL ... HS_DIAGCROSS
  std::shared_ptr<Surface> pattern;  // pattern brushes; for hatches set by the brush
  PaletteData patternPalette;
  bool halftone = false;  // colours a one-bit bitmap cannot show are dithered
};

class EngineBrush {
 public:
  // iSolidColor is the colour as the device palette expresses it.
  EngineBrush(BrushDefinition definition, std::shared_ptr<Device> device, SURFOBJ* target);
  ~EngineBrush();
  EngineBrush(const EngineBrush&) = delete;
  EngineBrush& operator=(const EngineBrush&) = delete;

  BRUSHOBJ* Object() { return &bo_; }
  const BrushDefinition& Definition() const { return definition_; }
  void* Allocate(ULONG bytes);
  void* Realization();
  static EngineBrush* Find(const BRUSHOBJ* bo);

 private:
  BRUSHOBJ bo_{};
  BrushDefinition definition_;
  std::shared_ptr<Device> device_;
  SURFOBJ* target_;
  std::vector<std::unique_ptr<BYTE[]>> memory_;
  bool realizing_ = false;
  bool tried_ = false;
};

// The engine's own 8 x 8 hatch of a style (HS_HORIZONTAL to HS_DIAGCROSS):
// a one-bit bitmap whose index 0 is the line and index 1 the background.
std::shared_ptr<Surface> EngineHatch(ULONG style);

// The brush's pixels for a destination bitmap, tiled from `origin`; none
// when the brush cannot be drawn by the engine.
std::optional<Pattern> PatternFor(BRUSHOBJ* pbo, const BitmapView& dst, POINTL origin);

}  // namespace k460::engine
