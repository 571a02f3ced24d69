// The engine's record of a surface: the SURFOBJ drivers see (its address
// never changes while the surface lives), the bits the engine owns, the
// device it is associated with, its hooks and its banding mark.
#pragma once

#include <memory>
#include <optional>

#include "platform/engine/palette.h"

namespace k460::engine {

class Device;

class Surface : public EngineObject {
 public:
  Surface();
  ~Surface() override;
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;

  SURFOBJ so{};
  std::unique_ptr<BYTE[]> ownBits;
  FLONG hooks = 0;
  bool banding = false;
  std::weak_ptr<Device> device;
  std::optional<PaletteData> palette;  // the device's, once associated
  int puntDepth = 0;                   // nested hand-overs to the driver's DrvCopyBits
  int locks = 0;

  // The palette its pixels are read with: the device's, else its format's default.
  PaletteData EffectivePalette() const;
};

int BitsPerPixel(ULONG format);  // 0 for formats the engine cannot draw
// Bytes of one row of `width` pixels, padded to 32 bits.
LONG AlignedRowBytes(ULONG format, LONG width);

// Makes an engine bitmap (with a handle) of the given size and format;
// top-down, rows padded to 32 bits, zero-filled unless `zero` is false.
std::shared_ptr<Surface> CreateBitmapSurface(SIZEL size, ULONG format, bool zero = true);
// Removes the surface's handle (the object lives on while referenced).
void ForgetSurface(Surface& surface);

// The engine's surface behind a SURFOBJ, or null for one it never made.
std::shared_ptr<Surface> FindSurface(const SURFOBJ* so);

}  // namespace k460::engine
