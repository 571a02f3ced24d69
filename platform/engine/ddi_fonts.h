// Font and text objects of the driver interface: realised fonts, strings of
// positioned glyphs, glyph data and bitmaps, font metrics and glyph sets.
#pragma once

#include "platform/engine/ddi_objects.h"

struct FONTOBJ {
  ULONG iUniq;
  ULONG iFace;
  ULONG cxMax;
  FLONG flFontType;
  ULONG_PTR iTTUniq;
  ULONG_PTR iFile;
  SIZE sizLogResPpi;
  ULONG ulStyleSize;
  PVOID pvConsumer;
  PVOID pvProducer;
};
// flFontType bits.
inline constexpr FLONG FO_TYPE_RASTER = 0x00000001;
inline constexpr FLONG FO_TYPE_DEVICE = 0x00000002;
inline constexpr FLONG FO_TYPE_TRUETYPE = 0x00000004;
inline constexpr FLONG FO_SIM_BOLD = 0x00002000;
inline constexpr FLONG FO_SIM_ITALIC = 0x00004000;
inline constexpr FLONG FO_EM_HEIGHT = 0x00008000;
inline constexpr FLONG FO_GRAY16 = 0x00010000;
inline constexpr FLONG FO_NOGRAY16 = 0x00020000;
inline constexpr FLONG FO_VERT_FACE = 0x00800000;

struct GLYPHBITS {
  POINTL ptlOrigin;
  SIZEL sizlBitmap;
  BYTE aj[1];  // rows of ceil(width / 8) bytes, the leftmost pixel in the top bit
};

union GLYPHDEF {
  GLYPHBITS* pgb;
  PATHOBJ* ppo;
};

struct POINTQF {
  LONGLONG x;
  LONGLONG y;
};

struct GLYPHDATA {
  GLYPHDEF gdf;
  HGLYPH hg;
  FIX fxD;
  FIX fxA;
  FIX fxAB;
  FIX fxInkTop;
  FIX fxInkBottom;
  RECTL rclInk;
  POINTQF ptqD;
};

struct GLYPHPOS {
  HGLYPH hg;
  GLYPHDEF* pgdf;
  POINTL ptl;
};

struct STROBJ {
  ULONG cGlyphs;
  FLONG flAccel;
  ULONG ulCharInc;
  RECTL rclBkGround;
  GLYPHPOS* pgp;
  LPWSTR pwszOrg;
};
inline constexpr FLONG SO_FLAG_DEFAULT_PLACEMENT = 0x00000001;
inline constexpr FLONG SO_HORIZONTAL = 0x00000002;
inline constexpr FLONG SO_VERTICAL = 0x00000004;
inline constexpr FLONG SO_REVERSED = 0x00000008;

// FONTOBJ_cGetGlyphs and DrvQueryFontData modes.
inline constexpr ULONG FO_HGLYPHS = 0;
inline constexpr ULONG FO_GLYPHBITS = 1;
inline constexpr ULONG FO_PATHOBJ = 2;
inline constexpr ULONG QFD_GLYPHANDBITMAP = 1;
inline constexpr ULONG QFD_GLYPHANDOUTLINE = 2;
inline constexpr ULONG QFD_MAXEXTENTS = 3;
// DrvQueryFontTree modes.
inline constexpr ULONG QFT_LIGATURES = 1;
inline constexpr ULONG QFT_KERNPAIRS = 2;
inline constexpr ULONG QFT_GLYPHSET = 3;
// DrvGetGlyphMode answers.
inline constexpr ULONG FO_GLYPHBITS_MODE = 1;  // glyphs delivered by handle and bitmap
inline constexpr ULONG FO_PATHOBJ_MODE = 2;

struct PANOSE {
  BYTE bFamilyType;
  BYTE bSerifStyle;
  BYTE bWeight;
  BYTE bProportion;
  BYTE bContrast;
  BYTE bStrokeVariation;
  BYTE bArmStyle;
  BYTE bLetterform;
  BYTE bMidline;
  BYTE bXHeight;
};
static_assert(sizeof(PANOSE) == 10);

// Font metrics as a driver reports its device fonts; the dp fields are
// byte offsets from the start of the record to strings or tables behind it.
struct IFIMETRICS {
  ULONG cjThis;
  ULONG cjIfiExtra;
  PTRDIFF dpwszFamilyName;
  PTRDIFF dpwszStyleName;
  PTRDIFF dpwszFaceName;
  PTRDIFF dpwszUniqueName;
  PTRDIFF dpFontSim;
  LONG lEmbedId;
  LONG lItalicAngle;
  LONG lCharBias;
  PTRDIFF dpCharSets;
  BYTE jWinCharSet;
  BYTE jWinPitchAndFamily;
  USHORT usWinWeight;
  FLONG flInfo;
  USHORT fsSelection;
  USHORT fsType;
  FWORD fwdUnitsPerEm;
  FWORD fwdLowestPPEm;
  FWORD fwdWinAscender;
  FWORD fwdWinDescender;
  FWORD fwdMacAscender;
  FWORD fwdMacDescender;
  FWORD fwdMacLineGap;
  FWORD fwdTypoAscender;
  FWORD fwdTypoDescender;
  FWORD fwdTypoLineGap;
  FWORD fwdAveCharWidth;
  FWORD fwdMaxCharInc;
  FWORD fwdCapHeight;
  FWORD fwdXHeight;
  FWORD fwdSubscriptXSize;
  FWORD fwdSubscriptYSize;
  FWORD fwdSubscriptXOffset;
  FWORD fwdSubscriptYOffset;
  FWORD fwdSuperscriptXSize;
  FWORD fwdSuperscriptYSize;
  FWORD fwdSuperscriptXOffset;
  FWORD fwdSuperscriptYOffset;
  FWORD fwdUnderscoreSize;
  FWORD fwdUnderscorePosition;
  FWORD fwdStrikeoutSize;
  FWORD fwdStrikeoutPosition;
  BYTE chFirstChar;
  BYTE chLastChar;
  BYTE chDefaultChar;
  BYTE chBreakChar;
  WCHAR wcFirstChar;
  WCHAR wcLastChar;
  WCHAR wcDefaultChar;
  WCHAR wcBreakChar;
  POINTL ptlBaseline;
  POINTL ptlAspect;
  POINTL ptlCaret;
  RECTL rclFontBox;
  BYTE achVendId[4];
  ULONG cKerningPairs;
  ULONG ulPanoseCulture;
  PANOSE panose;
};
static_assert(offsetof(IFIMETRICS, jWinCharSet) == 44 && offsetof(IFIMETRICS, fwdUnitsPerEm) == 56 &&
              offsetof(IFIMETRICS, chFirstChar) == 108 && offsetof(IFIMETRICS, ptlBaseline) == 120 &&
              offsetof(IFIMETRICS, rclFontBox) == 144 && offsetof(IFIMETRICS, panose) == 172 &&
              sizeof(IFIMETRICS) == 184);

// flInfo bits the suite sets for its device fonts.
inline constexpr FLONG FM_INFO_TECH_BITMAP = 0x00000001;
inline constexpr FLONG FM_INFO_TECH_STROKE = 0x00000002;
inline constexpr FLONG FM_INFO_TECH_OUTLINE_NOT_TRUETYPE = 0x00000004;
inline constexpr FLONG FM_INFO_ARB_XFORMS = 0x00000010;
inline constexpr FLONG FM_INFO_1BPP = 0x00000020;
inline constexpr FLONG FM_INFO_INTEGER_WIDTH = 0x00000100;
inline constexpr FLONG FM_INFO_CONSTANT_WIDTH = 0x00000200;
inline constexpr FLONG FM_INFO_RIGHT_HANDED = 0x00040000;
inline constexpr FLONG FM_INFO_INTEGRAL_SCALING = 0x00080000;
inline constexpr FLONG FM_INFO_90DEGREE_ROTATIONS = 0x00100000;
inline constexpr FLONG FM_INFO_TECH_TRUETYPE = 0x00000008;

// Maximum extents of a realised font (DrvQueryFontData, QFD_MAXEXTENTS).
struct FD_XFORM {
  FLOATL eXX;
  FLOATL eXY;
  FLOATL eYX;
  FLOATL eYY;
};
struct FD_DEVICEMETRICS {
  FLONG flRealizedType;
  POINTE pteBase;
  POINTE pteSide;
  LONG lD;
  FIX fxMaxAscender;
  FIX fxMaxDescender;
  POINTL ptlUnderline1;
  POINTL ptlStrikeOut;
  POINTL ptlULThickness;
  POINTL ptlSOThickness;
  ULONG cxMax;
  ULONG cyMax;
  ULONG cjGlyphMax;
  FD_XFORM fdxQuantized;
  LONG lNonLinearExtLeading;
  LONG lNonLinearIntLeading;
  LONG lNonLinearMaxCharWidth;
  LONG lNonLinearAvgCharWidth;
  LONG lMinA;
  LONG lMinC;
  LONG lMinD;
  LONG alReserved[1];
};
static_assert(sizeof(FD_DEVICEMETRICS) == 124);

struct FD_KERNINGPAIR {
  WCHAR wcFirst;
  WCHAR wcSecond;
  FWORD fwdKern;
};
static_assert(sizeof(FD_KERNINGPAIR) == 6);

// A glyph set: runs of consecutive Unicode characters and their glyph handles.
struct WCRUN {
  WCHAR wcLow;
  USHORT cGlyphs;
  HGLYPH* phg;
};
struct FD_GLYPHSET {
  ULONG cjThis;
  FLONG flAccel;
  ULONG cGlyphsSupported;
  ULONG cRuns;
  WCRUN awcrun[1];
};
inline constexpr FLONG GS_UNICODE_HANDLES = 0x00000001;
inline constexpr FLONG GS_8BIT_HANDLES = 0x00000002;
inline constexpr FLONG GS_16BIT_HANDLES = 0x00000004;
