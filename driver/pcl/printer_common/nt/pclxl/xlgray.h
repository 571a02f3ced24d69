// The printer is monochrome: every colour it receives, in images, brushes,
// pens and text, becomes one gray level by the same rule.
#pragma once

#include "platform/base/types.h"

// The gray level (0 black, 255 white) of a colour 0x00BBGGRR: red in the
// low byte, as the device's RGB palette and the engine's brush colours hold
// it. Weights 3:6:1 for red, green and blue, rounded down.
constexpr BYTE GetGray(ULONG color) {
  ULONG red = color & 0xFF;
  ULONG green = (color >> 8) & 0xFF;
  ULONG blue = (color >> 16) & 0xFF;
  return static_cast<BYTE>((3 * red + 6 * green + blue) / 10);
}

// The colour of a pixel stored blue, green, red (24- and 32-bit bitmaps).
constexpr ULONG ColorOfBgr(const BYTE* pixel) { return pixel[2] | (ULONG(pixel[1]) << 8) | (ULONG(pixel[0]) << 16); }

static_assert(GetGray(0x000000) == 0 && GetGray(0xFFFFFF) == 255);
static_assert(GetGray(0x0000FF) == 76 && GetGray(0x00FF00) == 153 && GetGray(0xFF0000) == 25);
