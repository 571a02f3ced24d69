// The wide-character device mode of the system (the 220-byte layout), which
// heads every driver's job settings record.
#pragma once

#include <cstddef>

#include "platform/base/types.h"

inline constexpr int CCHDEVICENAME = 32;
inline constexpr int CCHFORMNAME = 32;

struct DEVMODEW {
  WCHAR dmDeviceName[CCHDEVICENAME];
  WORD dmSpecVersion;
  WORD dmDriverVersion;
  WORD dmSize;
  WORD dmDriverExtra;
  DWORD dmFields;
  SHORT dmOrientation;
  SHORT dmPaperSize;
  SHORT dmPaperLength;
  SHORT dmPaperWidth;
  SHORT dmScale;
  SHORT dmCopies;
  SHORT dmDefaultSource;
  SHORT dmPrintQuality;
  SHORT dmColor;
  SHORT dmDuplex;
  SHORT dmYResolution;
  SHORT dmTTOption;
  SHORT dmCollate;
  WCHAR dmFormName[CCHFORMNAME];
  WORD dmLogPixels;
  DWORD dmBitsPerPel;
  DWORD dmPelsWidth;
  DWORD dmPelsHeight;
  DWORD dmNup;  // dmDisplayFlags on displays
  DWORD dmDisplayFrequency;
  DWORD dmICMMethod;
  DWORD dmICMIntent;
  DWORD dmMediaType;
  DWORD dmDitherType;
  DWORD dmReserved1;
  DWORD dmReserved2;
  DWORD dmPanningWidth;
  DWORD dmPanningHeight;
};
using PDEVMODEW = DEVMODEW*;
using LPDEVMODEW = DEVMODEW*;

static_assert(sizeof(DEVMODEW) == 220);
static_assert(offsetof(DEVMODEW, dmSpecVersion) == 64 && offsetof(DEVMODEW, dmSize) == 68 &&
              offsetof(DEVMODEW, dmDriverExtra) == 70 && offsetof(DEVMODEW, dmFields) == 72 &&
              offsetof(DEVMODEW, dmOrientation) == 76 && offsetof(DEVMODEW, dmPaperSize) == 78 &&
              offsetof(DEVMODEW, dmCopies) == 86 && offsetof(DEVMODEW, dmPrintQuality) == 90 &&
              offsetof(DEVMODEW, dmDuplex) == 94 && offsetof(DEVMODEW, dmCollate) == 100 &&
              offsetof(DEVMODEW, dmFormName) == 102 && offsetof(DEVMODEW, dmLogPixels) == 166 &&
              offsetof(DEVMODEW, dmNup) == 180 && offsetof(DEVMODEW, dmMediaType) == 196 &&
              offsetof(DEVMODEW, dmPanningHeight) == 216);

inline constexpr WORD DM_SPECVERSION = 0x0401;

// dmFields bits.
inline constexpr DWORD DM_ORIENTATION = 0x00000001;
inline constexpr DWORD DM_PAPERSIZE = 0x00000002;
inline constexpr DWORD DM_PAPERLENGTH = 0x00000004;
inline constexpr DWORD DM_PAPERWIDTH = 0x00000008;
inline constexpr DWORD DM_SCALE = 0x00000010;
inline constexpr DWORD DM_COPIES = 0x00000100;
inline constexpr DWORD DM_DEFAULTSOURCE = 0x00000200;
inline constexpr DWORD DM_PRINTQUALITY = 0x00000400;
inline constexpr DWORD DM_COLOR = 0x00000800;
inline constexpr DWORD DM_DUPLEX = 0x00001000;
inline constexpr DWORD DM_YRESOLUTION = 0x00002000;
inline constexpr DWORD DM_TTOPTION = 0x00004000;
inline constexpr DWORD DM_COLLATE = 0x00008000;
inline constexpr DWORD DM_FORMNAME = 0x00010000;
inline constexpr DWORD DM_LOGPIXELS = 0x00020000;
inline constexpr DWORD DM_BITSPERPEL = 0x00040000;
inline constexpr DWORD DM_PELSWIDTH = 0x00080000;
inline constexpr DWORD DM_PELSHEIGHT = 0x00100000;
inline constexpr DWORD DM_DISPLAYFLAGS = 0x00200000;
inline constexpr DWORD DM_NUP = 0x00000040;
inline constexpr DWORD DM_DISPLAYFREQUENCY = 0x00400000;
inline constexpr DWORD DM_ICMMETHOD = 0x00800000;
inline constexpr DWORD DM_ICMINTENT = 0x01000000;
inline constexpr DWORD DM_MEDIATYPE = 0x02000000;
inline constexpr DWORD DM_DITHERTYPE = 0x04000000;

// Field values.
inline constexpr SHORT DMORIENT_PORTRAIT = 1;
inline constexpr SHORT DMORIENT_LANDSCAPE = 2;
inline constexpr SHORT DMCOLOR_MONOCHROME = 1;
inline constexpr SHORT DMCOLOR_COLOR = 2;
inline constexpr SHORT DMDUP_SIMPLEX = 1;
inline constexpr SHORT DMDUP_VERTICAL = 2;
inline constexpr SHORT DMDUP_HORIZONTAL = 3;
inline constexpr SHORT DMTT_BITMAP = 1;
inline constexpr SHORT DMTT_DOWNLOAD = 2;
inline constexpr SHORT DMTT_SUBDEV = 3;
inline constexpr SHORT DMTT_DOWNLOAD_OUTLINE = 4;
inline constexpr SHORT DMCOLLATE_FALSE = 0;
inline constexpr SHORT DMCOLLATE_TRUE = 1;
inline constexpr SHORT DMRES_DRAFT = -1;
inline constexpr SHORT DMRES_LOW = -2;
inline constexpr SHORT DMRES_MEDIUM = -3;
inline constexpr SHORT DMRES_HIGH = -4;

// Paper codes the suite names.
inline constexpr SHORT DMPAPER_LETTER = 1;
inline constexpr SHORT DMPAPER_LEGAL = 5;
inline constexpr SHORT DMPAPER_A3 = 8;
inline constexpr SHORT DMPAPER_A4 = 9;
inline constexpr SHORT DMPAPER_A5 = 11;
inline constexpr SHORT DMPAPER_B4 = 12;
inline constexpr SHORT DMPAPER_B5 = 13;
inline constexpr SHORT DMPAPER_USER = 256;

// Paper sources.
inline constexpr SHORT DMBIN_UPPER = 1;
inline constexpr SHORT DMBIN_MANUAL = 4;
inline constexpr SHORT DMBIN_AUTO = 7;
inline constexpr SHORT DMBIN_USER = 256;
