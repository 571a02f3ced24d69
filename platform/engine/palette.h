// Palettes and the colour model of the engine. A colour *value* is a colour
// as a palette expresses it (an index, 0x00BBGGRR for RGB palettes,
// 0x00RRGGBB for BGR ones, or bit fields); a *pixel* is the bits stored in
// a bitmap of some format. 24- and 32-bit pixels are always stored blue,
// green, red (pixel value 0x00RRGGBB) whatever the palette's kind.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/engine/ddi_objects.h"
#include "platform/engine/objects.h"

namespace k460::engine {

struct Rgb {
  BYTE r = 0;
  BYTE g = 0;
  BYTE b = 0;
  bool operator==(const Rgb&) const = default;
};
inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kWhite{255, 255, 255};

inline Rgb RgbFromColorref(ULONG c) { return {BYTE(c), BYTE(c >> 8), BYTE(c >> 16)}; }
inline ULONG ColorrefFromRgb(Rgb c) { return c.r | (ULONG(c.g) << 8) | (ULONG(c.b) << 16); }
// Luminance, 0 (black) to 255 (white).
inline int Luminance(Rgb c) { return (c.r * 30 + c.g * 59 + c.b * 11) / 100; }

struct PaletteData {
  ULONG mode = PAL_BGR;
  std::vector<ULONG> colors;  // indexed: 0x00BBGGRR of each index
  ULONG redMask = 0;
  ULONG greenMask = 0;
  ULONG blueMask = 0;

  bool Indexed() const { return mode == PAL_INDEXED; }
  bool operator==(const PaletteData&) const = default;

  // The palette a bitmap of `format` has when nobody gave it one: black and
  // white, the 16 standard colours, a 256-step grey ramp, 5-5-5 or BGR.
  static PaletteData DefaultFor(ULONG format);
  static PaletteData Rgb() { return {PAL_RGB, {}, 0, 0, 0}; }
};

Rgb ValueToRgb(const PaletteData& palette, ULONG value);
// Nearest index for an indexed palette.
ULONG RgbToValue(const PaletteData& palette, Rgb colour);

// A bitmap's pixels with the palette that describes them. Bitmaps of up to
// 8 bits whose palette is not indexed use their format's default palette.
Rgb PixelToRgb(ULONG format, const PaletteData& palette, ULONG pixel);
ULONG RgbToPixel(ULONG format, const PaletteData& palette, Rgb colour);

class Palette : public EngineObject {
 public:
  explicit Palette(PaletteData data) : data(std::move(data)) {}
  PaletteData data;
};

}  // namespace k460::engine
