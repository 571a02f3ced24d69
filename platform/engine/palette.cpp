#include "platform/engine/palette.h"

#include <bit>
#include <limits>

#include "platform/base/internal.h"
#include "platform/engine/engine.h"

namespace k460::engine {
namespace {

constexpr ULONG kVga16[16] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
                              0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};

// A mask's field scaled to 8 bits.
BYTE Field(ULONG value, ULONG mask) {
  if (!mask) return 0;
  int shift = std::countr_zero(mask);
  int width = std::popcount(mask);
  ULONG v = (value & mask) >> shift;
  if (width >= 8) return BYTE(v >> (width - 8));
  // Spread the field over 8 bits (a full field becomes 255).
  ULONG max = (1u << width) - 1;
  return BYTE(v * 255 / max);
}

ULONG PutField(BYTE v, ULONG mask) {
  if (!mask) return 0;
  int shift = std::countr_zero(mask);
  int width = std::popcount(mask);
  ULONG f = width >= 8 ? ULONG(v) << (width - 8) : ULONG(v) >> (8 - width);
  return (f << shift) & mask;
}

ULONG Nearest(const std::vector<ULONG>& colors, Rgb c) {
  ULONG best = 0;
  long bestDistance = std::numeric_limits<long>::max();
  for (ULONG i = 0; i < colors.size(); ++i) {
    Rgb e = RgbFromColorref(colors[i]);
    long dr = long(e.r) - c.r, dg = long(e.g) - c.g, db = long(e.b) - c.b;
    long d = dr * dr * 3 + dg * dg * 6 + db * db;
    if (d < bestDistance) {
      bestDistance = d;
      best = i;
      if (d == 0) break;
    }
  }
  return best;
}

const PaletteData& EffectiveIndexed(ULONG format, const PaletteData& palette) {
  if (palette.Indexed() && !palette.colors.empty()) return palette;
  static const PaletteData mono = PaletteData::DefaultFor(BMF_1BPP);
  static const PaletteData vga = PaletteData::DefaultFor(BMF_4BPP);
  static const PaletteData grey = PaletteData::DefaultFor(BMF_8BPP);
  return format == BMF_1BPP ? mono : format == BMF_4BPP ? vga : grey;
}

}  // namespace

PaletteData PaletteData::DefaultFor(ULONG format) {
  PaletteData p;
  switch (format) {
    case BMF_1BPP:
      p.mode = PAL_INDEXED;
      p.colors = {0x000000, 0xFFFFFF};
      break;
    case BMF_4BPP:
      p.mode = PAL_INDEXED;
      p.colors.assign(std::begin(kVga16), std::end(kVga16));
      break;
    case BMF_8BPP:
      p.mode = PAL_INDEXED;
      for (ULONG i = 0; i < 256; ++i) p.colors.push_back(i | (i << 8) | (i << 16));
      break;
    case BMF_16BPP:
      p.mode = PAL_BITFIELDS;
      p.redMask = 0x7C00;
      p.greenMask = 0x03E0;
      p.blueMask = 0x001F;
      break;
    default:
      p.mode = PAL_BGR;
      break;
  }
  return p;
}

Rgb ValueToRgb(const PaletteData& palette, ULONG value) {
  switch (palette.mode) {
    case PAL_INDEXED:
      return value < palette.colors.size() ? RgbFromColorref(palette.colors[value]) : kBlack;
    case PAL_RGB:
      return RgbFromColorref(value);
    case PAL_BITFIELDS:
      return {Field(value, palette.redMask), Field(value, palette.greenMask), Field(value, palette.blueMask)};
    default:  // PAL_BGR
      return {BYTE(value >> 16), BYTE(value >> 8), BYTE(value)};
  }
}

ULONG RgbToValue(const PaletteData& palette, Rgb c) {
  switch (palette.mode) {
    case PAL_INDEXED:
      return Nearest(palette.colors, c);
    case PAL_RGB:
      return ColorrefFromRgb(c);
    case PAL_BITFIELDS:
      return PutField(c.r, palette.redMask) | PutField(c.g, palette.greenMask) | PutField(c.b, palette.blueMask);
    default:
      return c.b | (ULONG(c.g) << 8) | (ULONG(c.r) << 16);
  }
}

Rgb PixelToRgb(ULONG format, const PaletteData& palette, ULONG pixel) {
  switch (format) {
    case BMF_1BPP:
    case BMF_4BPP:
    case BMF_8BPP:
      return ValueToRgb(EffectiveIndexed(format, palette), pixel);
    case BMF_16BPP:
      return ValueToRgb(palette.mode == PAL_BITFIELDS ? palette : PaletteData::DefaultFor(BMF_16BPP), pixel);
    case BMF_32BPP:
      if (palette.mode == PAL_BITFIELDS) return ValueToRgb(palette, pixel);
      [[fallthrough]];
    default:
      return {BYTE(pixel >> 16), BYTE(pixel >> 8), BYTE(pixel)};
  }
}

ULONG RgbToPixel(ULONG format, const PaletteData& palette, Rgb c) {
  switch (format) {
    case BMF_1BPP: {
      const PaletteData& p = EffectiveIndexed(format, palette);
      // Black and white palettes decide by luminance, the way a page is seen.
      if (p.colors.size() == 2 && p.colors[0] == 0 && p.colors[1] == 0xFFFFFF) return Luminance(c) >= 128 ? 1 : 0;
      return Nearest(p.colors, c);
    }
    case BMF_4BPP:
    case BMF_8BPP:
      return Nearest(EffectiveIndexed(format, palette).colors, c);
    case BMF_16BPP:
      return RgbToValue(palette.mode == PAL_BITFIELDS ? palette : PaletteData::DefaultFor(BMF_16BPP), c);
    case BMF_32BPP:
      if (palette.mode == PAL_BITFIELDS) return RgbToValue(palette, c);
      [[fallthrough]];
    default:
      return c.b | (ULONG(c.g) << 8) | (ULONG(c.r) << 16);
  }
}

}  // namespace k460::engine

using namespace k460::engine;

K460_API HPALETTE EngCreatePalette(ULONG iMode, ULONG cColors, ULONG* pulColors, FLONG flRed, FLONG flGreen,
                                   FLONG flBlue) {
  if (k460::CallFailsSetError("EngCreatePalette")) return nullptr;
  PaletteData data;
  data.mode = iMode;
  switch (iMode) {
    case PAL_INDEXED:
      if (cColors == 0 || cColors > 65536 || !pulColors) return Fail(ERROR_INVALID_PARAMETER, HPALETTE{});
      data.colors.assign(pulColors, pulColors + cColors);
      for (auto& c : data.colors) c &= 0x00FFFFFF;
      break;
    case PAL_BITFIELDS:
      if (!flRed || !flGreen || !flBlue) return Fail(ERROR_INVALID_PARAMETER, HPALETTE{});
      data.redMask = flRed;
      data.greenMask = flGreen;
      data.blueMask = flBlue;
      break;
    case PAL_RGB:
    case PAL_BGR:
      break;
    default:
      return Fail(ERROR_INVALID_PARAMETER, HPALETTE{});
  }
  return static_cast<HPALETTE>(InsertObject(std::make_shared<Palette>(std::move(data))));
}

K460_API BOOL EngDeletePalette(HPALETTE hpal) {
  if (!LookupObjectAs<Palette>(hpal)) return Fail(ERROR_INVALID_HANDLE, FALSE);
  RemoveObject(hpal);
  return TRUE;
}
