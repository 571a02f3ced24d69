// Types of the graphics engine's driver interface: handles, scalar types,
// the records a driver fills when it is enabled (GDIINFO, DEVINFO,
// DRVENABLEDATA) and the function indexes of its function table.
#pragma once

#include <cstddef>

#include "platform/base/devmode.h"
#include "platform/base/types.h"

// ---- Scalar types ----------------------------------------------------------
using FLONG = ULONG;
using ROP4 = ULONG;
using MIX = ULONG;
using HGLYPH = ULONG;
using FIX = LONG;       // 28.4 fixed point
using FWORD = SHORT;    // font design units
using LDECI4 = LONG;    // fixed point with four decimals (1/10000)
using FLOATL = FLOAT;
using PTRDIFF = LONG;   // offsets inside one record (fonts, glyph sets)
using PFN = void (*)();  // an entry of a driver's function table, cast to its real type
using PUSHORT = USHORT*;

// ---- Handles ---------------------------------------------------------------
// The engine's objects (surfaces, palettes, devices) are named by handles of
// its own table; DHPDEV and DHSURF are the driver's pointers, carried opaque.
K460_DECLARE_HANDLE(HSURF);
K460_DECLARE_HANDLE(HBITMAP);
K460_DECLARE_HANDLE(HPALETTE);
K460_DECLARE_HANDLE(HDEV);
K460_DECLARE_HANDLE(DHPDEV);
K460_DECLARE_HANDLE(DHSURF);

// An engine bitmap is a surface: its handle is used as an HSURF.
inline HSURF SurfaceOf(HBITMAP bitmap) { return reinterpret_cast<HSURF>(bitmap); }

// ---- Points and rectangles in 28.4 fixed point --------------------------------
struct POINTFIX {
  FIX x;
  FIX y;
};
struct RECTFX {
  FIX xLeft;
  FIX yTop;
  FIX xRight;
  FIX yBottom;
};
struct POINTE {  // a point in floating point (font directions)
  FLOATL x;
  FLOATL y;
};
static_assert(sizeof(POINTFIX) == 8 && sizeof(RECTFX) == 16 && sizeof(POINTE) == 8);

// ---- Logical font (default fonts of a device) ---------------------------------
inline constexpr int LF_FACESIZE = 32;
struct LOGFONTW {
  LONG lfHeight;
  LONG lfWidth;
  LONG lfEscapement;
  LONG lfOrientation;
  LONG lfWeight;
  BYTE lfItalic;
  BYTE lfUnderline;
  BYTE lfStrikeOut;
  BYTE lfCharSet;
  BYTE lfOutPrecision;
  BYTE lfClipPrecision;
  BYTE lfQuality;
  BYTE lfPitchAndFamily;
  WCHAR lfFaceName[LF_FACESIZE];
};
static_assert(sizeof(LOGFONTW) == 92 && offsetof(LOGFONTW, lfCharSet) == 23 &&
              offsetof(LOGFONTW, lfPitchAndFamily) == 27 && offsetof(LOGFONTW, lfFaceName) == 28);

// ---- Device capabilities -------------------------------------------------------
struct CIECHROMA {
  LDECI4 x;
  LDECI4 y;
  LDECI4 Y;
};
struct COLORINFO {
  CIECHROMA Red;
  CIECHROMA Green;
  CIECHROMA Blue;
  CIECHROMA Cyan;
  CIECHROMA Magenta;
  CIECHROMA Yellow;
  CIECHROMA AlignmentWhite;
  LDECI4 RedGamma;
  LDECI4 GreenGamma;
  LDECI4 BlueGamma;
  LDECI4 MagentaInCyanDye;
  LDECI4 YellowInCyanDye;
  LDECI4 CyanInMagentaDye;
  LDECI4 YellowInMagentaDye;
  LDECI4 CyanInYellowDye;
  LDECI4 MagentaInYellowDye;
};
static_assert(sizeof(CIECHROMA) == 12 && sizeof(COLORINFO) == 120);

// The capabilities record the driver fills in DrvEnablePDEV: 304 bytes on
// every host. The three halftone pattern fields are unused by the engine
// and kept 32 bits wide, so the layout is the same on 64-bit hosts.
struct GDIINFO {
  ULONG ulVersion;
  ULONG ulTechnology;
  ULONG ulHorzSize;
  ULONG ulVertSize;
  ULONG ulHorzRes;
  ULONG ulVertRes;
  ULONG cBitsPixel;
  ULONG cPlanes;
  ULONG ulNumColors;
  FLONG flRaster;
  ULONG ulLogPixelsX;
  ULONG ulLogPixelsY;
  FLONG flTextCaps;
  ULONG ulDACRed;
  ULONG ulDACGreen;
  ULONG ulDACBlue;
  ULONG ulAspectX;
  ULONG ulAspectY;
  ULONG ulAspectXY;
  LONG xStyleStep;
  LONG yStyleStep;
  LONG denStyleStep;
  POINTL ptlPhysOffset;
  SIZEL szlPhysSize;
  ULONG ulNumPalReg;
  COLORINFO ciDevice;
  ULONG ulDevicePelsDPI;
  ULONG ulPrimaryOrder;
  ULONG ulHTPatternSize;
  ULONG ulHTOutputFormat;
  FLONG flHTFlags;
  ULONG ulVRefresh;
  ULONG ulBltAlignment;
  ULONG ulPanningHorzRes;
  ULONG ulPanningVertRes;
  ULONG xPanningAlignment;
  ULONG yPanningAlignment;
  ULONG cxHTPat;
  ULONG cyHTPat;
  ULONG pHTPatA;
  ULONG pHTPatB;
  ULONG pHTPatC;
  ULONG flShadeBlend;
  ULONG ulPhysicalPixelCharacteristics;
  ULONG ulPhysicalPixelGamma;
};
static_assert(sizeof(GDIINFO) == 304);
static_assert(offsetof(GDIINFO, ulLogPixelsX) == 40 && offsetof(GDIINFO, ptlPhysOffset) == 88 &&
              offsetof(GDIINFO, szlPhysSize) == 96 && offsetof(GDIINFO, ulNumPalReg) == 104 &&
              offsetof(GDIINFO, ciDevice) == 108 && offsetof(GDIINFO, ulDevicePelsDPI) == 228 &&
              offsetof(GDIINFO, ulHTPatternSize) == 236 && offsetof(GDIINFO, flHTFlags) == 244 &&
              offsetof(GDIINFO, ulPanningHorzRes) == 256 && offsetof(GDIINFO, ulPhysicalPixelGamma) == 300);

inline constexpr ULONG GDI_DRIVER_VERSION = 0x4000;
inline constexpr ULONG DT_PLOTTER = 0;
inline constexpr ULONG DT_RASDISPLAY = 1;
inline constexpr ULONG DT_RASPRINTER = 2;

// Halftone settings of GDIINFO.
inline constexpr ULONG HT_FORMAT_1BPP = 0;
inline constexpr ULONG HT_FORMAT_4BPP = 2;
inline constexpr ULONG HT_FORMAT_8BPP = 3;
inline constexpr ULONG HT_FORMAT_24BPP = 5;
inline constexpr FLONG HT_FLAG_SQUARE_DEVICE_PEL = 0x00000001;
inline constexpr FLONG HT_FLAG_HAS_BLACK_DYE = 0x00000002;
inline constexpr FLONG HT_FLAG_ADDITIVE_PRIMS = 0x00000004;

// The device information record the driver fills in DrvEnablePDEV.
struct DEVINFO {
  FLONG flGraphicsCaps;
  LOGFONTW lfDefaultFont;
  LOGFONTW lfAnsiVarFont;
  LOGFONTW lfAnsiFixFont;
  ULONG cFonts;
  ULONG iDitherFormat;
  USHORT cxDither;
  USHORT cyDither;
  HPALETTE hpalDefault;
  FLONG flGraphicsCaps2;
};
static_assert(offsetof(DEVINFO, lfDefaultFont) == 4 && offsetof(DEVINFO, cFonts) == 280 &&
              offsetof(DEVINFO, iDitherFormat) == 284 && offsetof(DEVINFO, cxDither) == 288);

// flGraphicsCaps bits.
inline constexpr FLONG GCAPS_BEZIERS = 0x00000001;
inline constexpr FLONG GCAPS_GEOMETRICWIDE = 0x00000002;
inline constexpr FLONG GCAPS_ALTERNATEFILL = 0x00000004;
inline constexpr FLONG GCAPS_WINDINGFILL = 0x00000008;
inline constexpr FLONG GCAPS_HALFTONE = 0x00000010;
inline constexpr FLONG GCAPS_COLOR_DITHER = 0x00000020;
inline constexpr FLONG GCAPS_HORIZSTRIKE = 0x00000040;
inline constexpr FLONG GCAPS_VERTSTRIKE = 0x00000080;
inline constexpr FLONG GCAPS_OPAQUERECT = 0x00000100;
inline constexpr FLONG GCAPS_MONO_DITHER = 0x00000400;
inline constexpr FLONG GCAPS_ARBRUSHOPAQUE = 0x00008000;
inline constexpr FLONG GCAPS_DITHERONREALIZE = 0x00200000;
inline constexpr FLONG GCAPS_SCREENPRECISION = 0x20000000;

// ---- The driver's function table --------------------------------------------
struct DRVFN {
  ULONG iFunc;
  PFN pfn;
};
struct DRVENABLEDATA {
  ULONG iDriverVersion;
  ULONG c;
  DRVFN* pdrvfn;
};
using PDRVENABLEDATA = DRVENABLEDATA*;

// Engine versions passed to DrvEnableDriver and driver versions returned.
inline constexpr ULONG DDI_DRIVER_VERSION_NT4 = 0x00020000;
inline constexpr ULONG DDI_DRIVER_VERSION_NT5 = 0x00030000;
inline constexpr ULONG DDI_DRIVER_VERSION_NT5_01 = 0x00030100;
inline constexpr ULONG ENGINE_VERSION = DDI_DRIVER_VERSION_NT5_01;

// Function indexes: the position of each entry point in the engine's table.
inline constexpr ULONG INDEX_DrvEnablePDEV = 0;
inline constexpr ULONG INDEX_DrvCompletePDEV = 1;
inline constexpr ULONG INDEX_DrvDisablePDEV = 2;
inline constexpr ULONG INDEX_DrvEnableSurface = 3;
inline constexpr ULONG INDEX_DrvDisableSurface = 4;
inline constexpr ULONG INDEX_DrvResetPDEV = 7;
inline constexpr ULONG INDEX_DrvRealizeBrush = 12;
inline constexpr ULONG INDEX_DrvDitherColor = 13;
inline constexpr ULONG INDEX_DrvStrokePath = 14;
inline constexpr ULONG INDEX_DrvFillPath = 15;
inline constexpr ULONG INDEX_DrvStrokeAndFillPath = 16;
inline constexpr ULONG INDEX_DrvPaint = 17;
inline constexpr ULONG INDEX_DrvBitBlt = 18;
inline constexpr ULONG INDEX_DrvCopyBits = 19;
inline constexpr ULONG INDEX_DrvStretchBlt = 20;
inline constexpr ULONG INDEX_DrvSetPalette = 22;
inline constexpr ULONG INDEX_DrvTextOut = 23;
inline constexpr ULONG INDEX_DrvEscape = 24;
inline constexpr ULONG INDEX_DrvDrawEscape = 25;
inline constexpr ULONG INDEX_DrvQueryFont = 26;
inline constexpr ULONG INDEX_DrvQueryFontTree = 27;
inline constexpr ULONG INDEX_DrvQueryFontData = 28;
inline constexpr ULONG INDEX_DrvLineTo = 31;
inline constexpr ULONG INDEX_DrvSendPage = 32;
inline constexpr ULONG INDEX_DrvStartPage = 33;
inline constexpr ULONG INDEX_DrvEndDoc = 34;
inline constexpr ULONG INDEX_DrvStartDoc = 35;
inline constexpr ULONG INDEX_DrvGetGlyphMode = 37;
inline constexpr ULONG INDEX_DrvStartBanding = 57;
inline constexpr ULONG INDEX_DrvNextBand = 58;
// One past the highest index the engine keeps; entries at or above it are ignored.
inline constexpr ULONG INDEX_LAST = 89;

// DrvQueryDriverInfo.
inline constexpr DWORD DRVQUERY_USERMODE = 1;
// DrvDitherColor answers.
inline constexpr ULONG DCR_SOLID = 0;
inline constexpr ULONG DCR_DRIVER = 1;
inline constexpr ULONG DCR_HALFTONE = 2;
// DrvEndDoc flags.
inline constexpr FLONG ED_ABORTDOC = 0x00000001;
// Standard hatch patterns the engine may take from the driver (DrvEnablePDEV).
inline constexpr ULONG HS_HORIZONTAL = 0;
inline constexpr ULONG HS_VERTICAL = 1;
inline constexpr ULONG HS_FDIAGONAL = 2;
inline constexpr ULONG HS_BDIAGONAL = 3;
inline constexpr ULONG HS_CROSS = 4;
inline constexpr ULONG HS_DIAGCROSS = 5;
inline constexpr ULONG HS_DDI_MAX = 6;
