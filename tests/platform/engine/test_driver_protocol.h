// What the engine tests and their recording driver (k460enginetestdrv)
// share: the driver's settings, carried in the private part of the device
// mode the test opens the device with, and the journal in which the driver
// notes every call it receives with what the engine's objects told it.
#pragma once

#include <string>
#include <vector>

#include "platform/engine/engine.h"

namespace k460::testing {

inline constexpr char16_t kTestDriverName[] = u"k460enginetestdrv";

enum class SurfaceKind : DWORD {
  EngineBitmap,   // EngCreateBitmap: the engine draws unhooked calls itself
  DeviceSurface,  // EngCreateDeviceSurface: no bits; the driver keeps its page in a shadow bitmap
  DriverMemory,   // a device surface that the driver turns into a bitmap over its own memory at
                  // its first drawing call, moving pvScan0 down by scanOffsetY during hooked calls
};

// Settings flags.
inline constexpr DWORD kDraw = 0x01;            // hooked calls draw, through the engine's services
inline constexpr DWORD kReadableDevice = 0x02;  // DrvCopyBits from the device surface reads the shadow
inline constexpr DWORD kFailReset = 0x04;       // DrvResetPDEV refuses (flag of the new device)
inline constexpr DWORD kNoAssociate = 0x08;     // the surface is never associated with the device
inline constexpr DWORD kIndexedPalette = 0x10;  // the device palette is black and white, indexed
inline constexpr DWORD kBgrPalette = 0x20;      // the device palette is BGR
inline constexpr DWORD kRefusePaths = 0x40;     // DrvLineTo and the path calls answer FALSE; on driver memory
                                                // DrvFillPath and DrvStrokeAndFillPath first move pvScan0
                                                // down by scanOffsetY and leave it there
inline constexpr DWORD kNumberedPatterns = 0x80;  // DrvEnablePDEV fills the pattern array with 0 to 5
inline constexpr DWORD kOwnHatches = 0x100;       // DrvEnablePDEV gives 16 x 16 hatch bitmaps, all black
inline constexpr DWORD kRefuseText = 0x200;       // DrvTextOut answers FALSE
inline constexpr DWORD kDeviceFont = 0x400;       // one device font, kDeviceFontName, of fixed pitch

// The test driver's device font: characters 0x20 to 0x7E, glyph handle =
// character + 0x100, every advance kDeviceFontAdvance pixels, no bitmaps.
inline constexpr char16_t kDeviceFontName[] = u"K460 Mono";
inline constexpr LONG kDeviceFontAdvance = 12;

struct TestDriverSettings {
  DWORD magic = 0x54445654;
  SurfaceKind surfaceKind = SurfaceKind::EngineBitmap;
  ULONG format = BMF_1BPP;
  LONG width = 64;
  LONG height = 48;
  FLONG hooks = 0;
  LONG bandHeight = 0;  // nonzero: the surface is this high and drawn band by band
  DWORD flags = 0;
  LONG scanOffsetY = 0;
  FLONG graphicsCaps = 0;
  LONG denStyleStep = 0;  // nonzero: style steps 1, 1 and this
};

// A device mode with the settings as its private part.
struct TestDevMode {
  DEVMODEW dm{};
  TestDriverSettings settings;
  TestDevMode() {
    dm.dmSize = sizeof(DEVMODEW);
    dm.dmDriverExtra = sizeof(TestDriverSettings);
    dm.dmSpecVersion = DM_SPECVERSION;
  }
};

// Source colours the driver translates for sources without a palette.
inline constexpr ULONG kProbeColours[] = {0x0000FF, 0x00FF00, 0xFF0000, 0xF800, 0x07E0, 0x001F};

// One record of a path as PATHOBJ_bEnum gave it.
struct PathRecord {
  FLONG flags = 0;
  std::vector<POINTFIX> points;
};

// One drawing call as the driver saw it.
struct DrawRecord {
  std::string call;  // "DrvBitBlt", "DrvCopyBits", "DrvStretchBlt", "DrvRealizeBrush", "DrvPaint",
                     // "DrvLineTo", "DrvStrokePath", "DrvFillPath", "DrvStrokeAndFillPath"
  bool sourceIsDevice = false;  // DrvCopyBits reading the device surface back
  bool targetIsDevice = false;
  ROP4 rop4 = 0;
  RECTL target{};
  RECTL sourceRect{};
  POINTL sourcePoint{};
  bool hasSource = false;
  ULONG sourceFormat = 0;
  SIZEL sourceSize{};
  bool hasClip = false;
  BYTE complexity = 0;
  RECTL clipBounds{};
  std::vector<RECTL> clipRects[5];  // enumerated in each direction, CD_RIGHTDOWN to CD_ANY
  bool hasXlate = false;
  std::vector<ULONG> sourcePalette;  // XLATEOBJ_cGetPalette(XO_SRCPALETTE)
  std::vector<ULONG> translated;     // XLATEOBJ_iXlate of each source palette index
  std::vector<ULONG> sourceFields;   // XLATEOBJ_cGetPalette(XO_SRCBITFIELDS)
  std::vector<ULONG> probes;         // XLATEOBJ_iXlate of kProbeColours, for sources without a palette
  bool hasBrush = false;
  ULONG solidColor = 0;
  ULONG brushColor = 0;
  SIZEL realizedPattern{};  // from the driver's realisation (BRUSHOBJ_pvGetRbrush)
  ULONG hatch = 0;
  ULONG stretchMode = 0;
  LONG bandTop = 0;
  std::vector<BYTE> patternRows;  // DrvRealizeBrush: the pattern's rows (one-bit patterns)
  // Lines and paths.
  MIX mix = 0;
  std::vector<PathRecord> path;
  FLONG pathFlags = 0;  // PATHOBJ::fl
  RECTFX pathBounds{};
  bool hasLineAttrs = false;
  FLONG lineFlags = 0;
  ULONG join = 0;
  ULONG cap = 0;
  FLOAT_LONG width{};
  FLOATL miterLimit = 0;
  std::vector<FLOAT_LONG> style;
  ULONG xformKind = 0xFFFFFFFF;  // XFORMOBJ_iGetXform; none without a transform object
  XFORML xform{};
  FLONG fillOptions = 0;
  ULONG fillColor = 0;  // DrvStrokeAndFillPath: the fill brush's colour
  POINTL lineFrom{};
  POINTL lineTo{};
  RECTL lineBounds{};
  std::vector<PathRecord> clipPath;  // CLIPOBJ_ppoGetPath of a complex clip
  // Text.
  std::u16string text;  // STROBJ::pwszOrg, cGlyphs characters
  std::vector<HGLYPH> glyphHandles;
  std::vector<POINTL> glyphPositions;
  ULONG enumeratedGlyphs = 0;  // STROBJ_bEnum
  RECTL background{};          // STROBJ::rclBkGround
  bool hasOpaque = false;
  RECTL opaque{};
  std::vector<RECTL> extra;  // up to the all-zero rectangle
  FLONG fontType = 0;
  ULONG fontUniq = 0;
  ULONG_PTR ttUniq = 0;
  ULONG fontFace = 0;
  ULONG styleSize = 0;
  SIZE fontResolution{};
  std::u16string fontName;    // FONTOBJ_pifi: face name
  std::u16string familyName;  // FONTOBJ_pifi: family name
  FWORD unitsPerEm = 0;
  ULONG fontXformKind = 0xFFFFFFFF;
  XFORML fontXform{};
  std::vector<BYTE> fontFile;  // FONTOBJ_pvTrueTypeFontFile
  ULONG allGlyphs = 0;         // FONTOBJ_cGetAllGlyphHandles
  bool firstGlyphBits = false;  // FONTOBJ_cGetGlyphs of the first glyph
  SIZEL firstGlyphSize{};
  POINTL firstGlyphOrigin{};
  FIX firstGlyphAdvance = 0;
  size_t firstGlyphOutline = 0;  // records of its outline (FO_PATHOBJ)
};

struct TestJournal {
  std::vector<std::string> calls;  // every entry point in order ("DrvEnablePDEV", ...)
  std::vector<DrawRecord> draws;
  std::vector<POINTL> bandOrigins;  // reported by DrvStartBanding and DrvNextBand
  // Pages as the driver completed them: rows of pageStride bytes, top first.
  std::vector<std::vector<BYTE>> pages;
  LONG pageStride = 0;
  ULONG engineVersion = 0;
  std::u16string deviceName;
  std::u16string logAddress;
  std::u16string documentName;
  DWORD jobId = 0;
  HANDLE printer = nullptr;
  ULONG patternCount = 0;
  bool abortSeen = false;  // EngCheckAbort answered TRUE in a drawing call
  FLONG lastEndDocFlags = 0;

  void Clear() { *this = TestJournal(); }
};

}  // namespace k460::testing

// The journal of the loaded test driver, found with GetProcAddress.
using PFN_EngineTestJournal = k460::testing::TestJournal* (*)();
