// The engine's objects as drivers see them: surfaces, clip regions,
// brushes, colour translations, palettes, transforms and paths, with the
// constants that describe them (bitmap formats, hook flags, clip
// complexities, enumeration directions, raster operations and mixes).
#pragma once

#include "platform/engine/ddi_types.h"

// ---- Surfaces ----------------------------------------------------------------
struct SURFOBJ {
  DHSURF dhsurf;
  HSURF hsurf;
  DHPDEV dhpdev;
  HDEV hdev;
  SIZEL sizlBitmap;
  ULONG cjBits;
  PVOID pvBits;
  PVOID pvScan0;  // first scan line (the top one); drawing reads it at every call
  LONG lDelta;    // bytes from one scan line to the next below it (negative: bottom-up)
  ULONG iUniq;
  ULONG iBitmapFormat;
  USHORT iType;
  USHORT fjBitmap;
};

// Surface types.
inline constexpr USHORT STYPE_BITMAP = 0;     // engine-managed bitmap
inline constexpr USHORT STYPE_DEVICE = 1;     // device-managed surface
inline constexpr USHORT STYPE_DEVBITMAP = 3;  // device-managed bitmap

// Bitmap formats.
inline constexpr ULONG BMF_1BPP = 1;
inline constexpr ULONG BMF_4BPP = 2;
inline constexpr ULONG BMF_8BPP = 3;
inline constexpr ULONG BMF_16BPP = 4;
inline constexpr ULONG BMF_24BPP = 5;
inline constexpr ULONG BMF_32BPP = 6;
inline constexpr ULONG BMF_4RLE = 7;
inline constexpr ULONG BMF_8RLE = 8;

// fjBitmap and EngCreateBitmap flags.
inline constexpr USHORT BMF_TOPDOWN = 0x0001;
inline constexpr USHORT BMF_NOZEROINIT = 0x0002;
inline constexpr USHORT BMF_DONTCACHE = 0x0004;
inline constexpr USHORT BMF_USERMEM = 0x0008;

// Hook flags: the drawing calls a driver takes over on its surface.
inline constexpr FLONG HOOK_BITBLT = 0x00000001;
inline constexpr FLONG HOOK_STRETCHBLT = 0x00000002;
inline constexpr FLONG HOOK_PLGBLT = 0x00000004;
inline constexpr FLONG HOOK_TEXTOUT = 0x00000008;
inline constexpr FLONG HOOK_PAINT = 0x00000010;
inline constexpr FLONG HOOK_STROKEPATH = 0x00000020;
inline constexpr FLONG HOOK_FILLPATH = 0x00000040;
inline constexpr FLONG HOOK_STROKEANDFILLPATH = 0x00000080;
inline constexpr FLONG HOOK_LINETO = 0x00000100;
inline constexpr FLONG HOOK_COPYBITS = 0x00000400;
inline constexpr FLONG HOOK_FLAGS = 0x000005FF;

// ---- Clip regions ----------------------------------------------------------------
struct CLIPOBJ {
  ULONG iUniq;
  RECTL rclBounds;
  BYTE iDComplexity;
  BYTE iFComplexity;
  BYTE iMode;
  BYTE fjOptions;
};

inline constexpr BYTE DC_TRIVIAL = 0;  // nothing to clip within the call's bounds
inline constexpr BYTE DC_RECT = 1;     // one rectangle: rclBounds
inline constexpr BYTE DC_COMPLEX = 3;  // enumerate the rectangles
inline constexpr BYTE FC_RECT = 1;
inline constexpr BYTE FC_RECT4 = 2;
inline constexpr BYTE FC_COMPLEX = 3;
inline constexpr BYTE TC_RECTANGLES = 0;
inline constexpr BYTE TC_PATHOBJ = 2;
inline constexpr BYTE OC_BANK_CLIP = 1;

// CLIPOBJ_cEnumStart.
inline constexpr ULONG CT_RECTANGLES = 0;
inline constexpr ULONG CD_RIGHTDOWN = 0;
inline constexpr ULONG CD_LEFTDOWN = 1;
inline constexpr ULONG CD_RIGHTUP = 2;
inline constexpr ULONG CD_LEFTUP = 3;
inline constexpr ULONG CD_ANY = 4;
inline constexpr ULONG CLIPOBJ_ENUM_LIMIT = 20;  // a count no longer known in advance is reported as ~0

struct ENUMRECTS {
  ULONG c;
  RECTL arcl[1];
};

// ---- Brushes -------------------------------------------------------------------
struct BRUSHOBJ {
  ULONG iSolidColor;  // the colour in the device palette's form; 0xFFFFFFFF: not solid
  PVOID pvRbrush;     // the driver's realisation, once made
  FLONG flColorType;
};
inline constexpr ULONG BRUSHOBJ_NOT_SOLID = 0xFFFFFFFF;

// ---- Colour translation and palettes ------------------------------------------
struct XLATEOBJ {
  ULONG iUniq;
  FLONG flXlate;
  USHORT iSrcType;
  USHORT iDstType;
  ULONG cEntries;
  ULONG* pulXlate;  // for an indexed source: the destination colour of each index
};

inline constexpr FLONG XO_TRIVIAL = 0x00000001;
inline constexpr FLONG XO_TABLE = 0x00000002;
inline constexpr FLONG XO_TO_MONO = 0x00000004;
// XLATEOBJ_cGetPalette.
inline constexpr ULONG XO_SRCPALETTE = 1;
inline constexpr ULONG XO_DESTPALETTE = 2;
inline constexpr ULONG XO_DESTDCPALETTE = 3;
inline constexpr ULONG XO_SRCBITFIELDS = 4;
inline constexpr ULONG XO_DESTBITFIELDS = 5;

struct PALOBJ {
  ULONG ulReserved;
};

// Palette kinds (EngCreatePalette). Colours of an RGB palette hold red in
// the low byte (0x00BBGGRR); of a BGR palette blue (0x00RRGGBB).
inline constexpr ULONG PAL_INDEXED = 0x00000001;
inline constexpr ULONG PAL_BITFIELDS = 0x00000002;
inline constexpr ULONG PAL_RGB = 0x00000004;
inline constexpr ULONG PAL_BGR = 0x00000008;

// ---- Transforms ---------------------------------------------------------------
struct XFORMOBJ {
  ULONG ulReserved;
};
struct XFORML {
  FLOATL eM11;
  FLOATL eM12;
  FLOATL eM21;
  FLOATL eM22;
  FLOATL eDx;
  FLOATL eDy;
};
// XFORMOBJ_iGetXform answers.
inline constexpr ULONG GX_IDENTITY = 0;
inline constexpr ULONG GX_OFFSET = 1;
inline constexpr ULONG GX_SCALE = 2;
inline constexpr ULONG GX_GENERAL = 3;
// XFORMOBJ_bApplyXform modes: world points (POINTL) to world points, the
// inverse, world points to device points in 28.4 fixed point (POINTFIX),
// and device POINTFIX back to world POINTL.
inline constexpr ULONG XF_LTOL = 0;
inline constexpr ULONG XF_INV_LTOL = 1;
inline constexpr ULONG XF_LTOFX = 2;
inline constexpr ULONG XF_INV_FXTOL = 3;

// ---- Paths and line attributes ---------------------------------------------------
struct PATHOBJ {
  FLONG fl;
  ULONG cCurves;
};
struct PATHDATA {
  FLONG flags;
  ULONG count;
  POINTFIX* pptfx;
};
inline constexpr FLONG PD_BEGINSUBPATH = 0x00000001;
inline constexpr FLONG PD_ENDSUBPATH = 0x00000002;
inline constexpr FLONG PD_RESETSTYLE = 0x00000004;
inline constexpr FLONG PD_CLOSEFIGURE = 0x00000008;
inline constexpr FLONG PD_BEZIERS = 0x00000010;
inline constexpr FLONG PO_BEZIERS = 0x00000001;
inline constexpr FLONG PO_ELLIPSE = 0x00000002;
// Fill options.
inline constexpr FLONG FP_ALTERNATEMODE = 0x00000001;
inline constexpr FLONG FP_WINDINGMODE = 0x00000002;

union FLOAT_LONG {
  FLOATL e;
  LONG l;
};
struct LINEATTRS {
  FLONG fl;
  ULONG iJoin;
  ULONG iEndCap;
  FLOAT_LONG elWidth;
  FLOATL eMiterLimit;
  ULONG cstyle;
  FLOAT_LONG* pstyle;
  FLOAT_LONG elStyleState;
};
inline constexpr FLONG LA_GEOMETRIC = 0x00000001;
inline constexpr FLONG LA_ALTERNATE = 0x00000002;
inline constexpr FLONG LA_STARTGAP = 0x00000004;
inline constexpr FLONG LA_STYLED = 0x00000008;
inline constexpr ULONG JOIN_ROUND = 0;
inline constexpr ULONG JOIN_BEVEL = 1;
inline constexpr ULONG JOIN_MITER = 2;
inline constexpr ULONG ENDCAP_ROUND = 0;
inline constexpr ULONG ENDCAP_SQUARE = 1;
inline constexpr ULONG ENDCAP_BUTT = 2;

// ---- Colour adjustment and stretch modes -------------------------------------------
struct COLORADJUSTMENT {
  WORD caSize;
  WORD caFlags;
  WORD caIlluminantIndex;
  WORD caRedGamma;
  WORD caGreenGamma;
  WORD caBlueGamma;
  WORD caReferenceBlack;
  WORD caReferenceWhite;
  SHORT caContrast;
  SHORT caBrightness;
  SHORT caColorfulness;
  SHORT caRedGreenTint;
};
static_assert(sizeof(COLORADJUSTMENT) == 24);

inline constexpr ULONG BLACKONWHITE = 1;
inline constexpr ULONG WHITEONBLACK = 2;
inline constexpr ULONG COLORONCOLOR = 3;
inline constexpr ULONG HALFTONE = 4;

// ---- Raster operations and mixes ---------------------------------------------------
// A ROP4 holds the foreground ternary operation in its low byte and the
// background one (where the mask is 0) in the next. The result bit of a
// ternary operation for pattern P, source S and destination D is bit
// 4P + 2S + D of the code.
inline constexpr BYTE ROP3_BLACKNESS = 0x00;
inline constexpr BYTE ROP3_NOTSRCERASE = 0x11;
inline constexpr BYTE ROP3_NOTSRCCOPY = 0x33;
inline constexpr BYTE ROP3_SRCERASE = 0x44;
inline constexpr BYTE ROP3_DSTINVERT = 0x55;
inline constexpr BYTE ROP3_PATINVERT = 0x5A;
inline constexpr BYTE ROP3_SRCINVERT = 0x66;
inline constexpr BYTE ROP3_SRCAND = 0x88;
inline constexpr BYTE ROP3_NOP = 0xAA;
inline constexpr BYTE ROP3_MERGEPAINT = 0xBB;
inline constexpr BYTE ROP3_MERGECOPY = 0xC0;
inline constexpr BYTE ROP3_SRCCOPY = 0xCC;
inline constexpr BYTE ROP3_SRCPAINT = 0xEE;
inline constexpr BYTE ROP3_PATCOPY = 0xF0;
inline constexpr BYTE ROP3_PATPAINT = 0xFB;
inline constexpr BYTE ROP3_WHITENESS = 0xFF;
inline constexpr ROP4 MakeRop4(BYTE foreground, BYTE background) { return foreground | (ROP4(background) << 8); }

// Binary mixes (R2 codes, 1 to 16): the foreground in the low byte of a MIX,
// the background in the next.
inline constexpr MIX R2_BLACK = 1;
inline constexpr MIX R2_NOTMERGEPEN = 2;
inline constexpr MIX R2_MASKNOTPEN = 3;
inline constexpr MIX R2_NOTCOPYPEN = 4;
inline constexpr MIX R2_MASKPENNOT = 5;
inline constexpr MIX R2_NOT = 6;
inline constexpr MIX R2_XORPEN = 7;
inline constexpr MIX R2_NOTMASKPEN = 8;
inline constexpr MIX R2_MASKPEN = 9;
inline constexpr MIX R2_NOTXORPEN = 10;
inline constexpr MIX R2_NOP = 11;
inline constexpr MIX R2_MERGENOTPEN = 12;
inline constexpr MIX R2_COPYPEN = 13;
inline constexpr MIX R2_MERGEPENNOT = 14;
inline constexpr MIX R2_MERGEPEN = 15;
inline constexpr MIX R2_WHITE = 16;

// The ternary operation of a binary mix: the pen acts as the pattern.
inline constexpr BYTE Rop3FromMix(MIX mix) {
  constexpr BYTE table[16] = {0xFF, 0x00, 0x05, 0x0A, 0x0F, 0x50, 0x55, 0x5A,
                              0x5F, 0xA0, 0xA5, 0xAA, 0xAF, 0xF0, 0xF5, 0xFA};
  return table[mix & 0x0F];
}
