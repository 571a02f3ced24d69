// The job settings record of the PCL XL and PCL5e drivers and the printer
// data records that embed parts of it. Every record is a fixed little-endian
// layout: the system's DEVMODEW followed by the driver's private part, the
// fields at the byte offsets the stored format prescribes. Private fields
// are LeValue members (see little_endian.h); the DEVMODEW fields are read and
// written with LeGet/LeSet; wide strings are UTF-16 code units stored
// little-endian (StoreText/LoadText in settings.h).
#pragma once

#include <cstddef>

#include "driver/pcl/printer_common/settings/little_endian.h"
#include "platform/base/devmode.h"
#include "platform/base/types.h"

// ---- Sizes and versions -----------------------------------------------------
inline constexpr WORD kJobSettingsDriverVersion = 0x0500;  // dmDriverVersion
inline constexpr WORD kJobSettingsPublicSize = 220;        // dmSize
inline constexpr WORD kJobSettingsPrivateSize = 3856;      // dmDriverExtra
inline constexpr std::size_t kJobSettingsSize = 4076;
// Private parts of this size or smaller come from the older driver, which
// kept the duplex mode only in dmDuplex; from kDuplexPrivateSize on, the
// private part carries pvForceDuplexField and pvDuplex.
inline constexpr WORD kOldPrivateSizeMax = 3820;
inline constexpr WORD kDuplexPrivateSize = 3824;
// A record must at least hold its header up to and including dmFields.
inline constexpr std::size_t kMinPublicSize = offsetof(DEVMODEW, dmFields) + sizeof(DWORD);

inline constexpr DWORD kPrivSignature = 0x56495250;  // the bytes "PRIV"
inline constexpr DWORD kDefaultFields = DM_ORIENTATION | DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH |
                                        DM_COPIES | DM_DEFAULTSOURCE | DM_PRINTQUALITY | DM_COLOR |
                                        DM_DUPLEX | DM_TTOPTION | DM_FORMNAME;
static_assert(kDefaultFields == 0x00015F0F);

// ---- Codes ------------------------------------------------------------------
// The driver's own paper codes (DMPAPER_USER + 1 to + 4) and the custom ones.
inline constexpr SHORT kPaperHalfLetter = DMPAPER_USER + 1;
inline constexpr SHORT kPaperCom10 = DMPAPER_USER + 2;
inline constexpr SHORT kPaper8K = DMPAPER_USER + 3;
inline constexpr SHORT kPaper16K = DMPAPER_USER + 4;
inline constexpr int kCustomPaperCount = 50;
inline constexpr SHORT kFirstCustomPaperCode = 261;  // custom paper entry 0
inline constexpr SHORT kLastCustomPaperCode = kFirstCustomPaperCode + kCustomPaperCount - 1;

// dmDefaultSource is kSourceBase + pvInputTray.
inline constexpr SHORT kSourceBase = DMBIN_USER + 1;
// pvOutputBin.
inline constexpr int kBinStandard = 1314;
inline constexpr int kBinTwoBinUpper = 1315;
inline constexpr int kBinFinisherUpper = 1316;
inline constexpr int kBinFinisherLower = 1317;
// Units of custom papers and of the margin fields.
inline constexpr int kUnitNone = 0;  // custom paper entry not in use
inline constexpr int kUnitInch = 1;
inline constexpr int kUnitMillimetre = 2;
// pvDuplex.
inline constexpr WORD kDuplexOff = 1;
inline constexpr WORD kDuplexTopEdge = 2;
inline constexpr WORD kDuplexSideEdge = 3;

// ---- WatermarkRecord: the selected watermark, 464 bytes ---------------------
struct WatermarkRecord {
  WCHAR szName[50];
  WCHAR szText[50];
  LeInt32 lGrayLevel;  // 0 black to 255
  WCHAR szFaceName[52];
  LeInt32 lFontSize;  // points
  LeInt32 lBold;      // non-zero: bold
  BYTE bItalic;
  BYTE abPad317[3];
  LeInt32 lAngle;     // degrees
  LeInt32 lPosition;  // 1 centred, 2 user-defined offsets
  LeInt32 lOffsetX;   // 1/97 of half the printable width, positive to the right
  LeInt32 lOffsetY;   // 1/97 of half the printable height, positive upward
  LeInt32 lDiagonal;  // 1 when the list entry's angle mode is diagonal
  LeInt32 alAdvance[31];  // per-character advances of the text, device units
};
static_assert(sizeof(WatermarkRecord) == 464);
static_assert(offsetof(WatermarkRecord, szText) == 100 && offsetof(WatermarkRecord, lGrayLevel) == 200 &&
              offsetof(WatermarkRecord, szFaceName) == 204 && offsetof(WatermarkRecord, lFontSize) == 308 &&
              offsetof(WatermarkRecord, lBold) == 312 && offsetof(WatermarkRecord, bItalic) == 316 &&
              offsetof(WatermarkRecord, lAngle) == 320 && offsetof(WatermarkRecord, lPosition) == 324 &&
              offsetof(WatermarkRecord, lOffsetX) == 328 && offsetof(WatermarkRecord, lOffsetY) == 332 &&
              offsetof(WatermarkRecord, lDiagonal) == 336 && offsetof(WatermarkRecord, alAdvance) == 340);

// ---- CustomPaperEntry: one custom paper size, 56 bytes ----------------------
struct CustomPaperEntry {
  WCHAR szName[22];
  LeFloat fWidth;   // short edge, in lUnit
  LeFloat fLength;  // long edge, in lUnit
  LeInt32 lUnit;    // kUnitNone (entry empty), kUnitInch, kUnitMillimetre
};
static_assert(sizeof(CustomPaperEntry) == 56);
static_assert(offsetof(CustomPaperEntry, fWidth) == 44 && offsetof(CustomPaperEntry, fLength) == 48 &&
              offsetof(CustomPaperEntry, lUnit) == 52);

// ---- PrivateSettings: the private part, 3856 bytes --------------------------
// Field comments give the offset from the start of the whole record.
struct PrivateSettings {
  LeUInt32 pvSignature;          // 220 kPrivSignature
  LeInt32 pvFirstPageSourceOn;   // 224
  LeInt32 pvPaperIndex;          // 228
  LeInt32 pvInputTray;           // 232 0 auto, 1 manual, 2-5 cassettes 1-4, 6 feed cabinet
  LeInt32 pvMediaType;           // 236 0 plain, 1 thick, 2 transparency, 3 envelope/postcard
  LeInt32 pvFirstPageSource;     // 240
  LeInt32 pvOutputBin;           // 244
  LeInt32 lReserved248;          // 248
  WCHAR pvPresetName[16];        // 252
  LeInt32 pvTonerSave;           // 284 1 on, 2 off
  LeInt32 lReserved288;          // 288 (1)
  LeInt32 pvTrueTypeMode;        // 292
  LeInt32 pvDeviceFontSubstitution;  // 296
  LeInt32 alReserved300[3];      // 300
  LeInt32 pvDuplexUnit;          // 312
  LeInt32 pvTwoBinTray;          // 316
  BYTE abReserved320[56];        // 320
  LeInt32 pvPrintToPaper;        // 376
  LeInt32 pvPrintToPaperSize;    // 380
  LeInt32 pvPrintToPaperIndex;   // 384
  LeInt32 pvPrintToPaperWidth;   // 388 tenths of a millimetre
  LeInt32 pvPrintToPaperLength;  // 392
  LeInt32 pvZoom;                // 396 percent
  LeInt32 pvFitToPaper;          // 400
  LeInt32 pvGraphicsMode;        // 404 0 vector, 1 raster
  LeInt32 pvPagesPerSheet;       // 408 1, 2, 4, 8
  LeInt32 pvNupOrder;            // 412 1 to 4
  LeInt32 lReserved416;          // 416
  LeInt32 lReserved420;          // 420 (1)
  LeInt32 pvNupBorder;           // 424
  LeInt32 pvWatermarkIndex;      // 428 0 none
  LeInt32 pvWatermarkFirstPageOnly;  // 432
  LeInt32 pvWatermarkLayer;      // 436 0 over the content, else under it
  LeInt32 lReserved440;          // 440
  WatermarkRecord pvWatermark;   // 444
  LeFloat pvWatermarkSin;        // 908
  LeFloat pvWatermarkCos;        // 912
  LeInt32 lReserved916;          // 916
  LeInt32 pvWatermarkSkipJapaneseFaces;  // 920
  LeInt32 pvBookletBinding;      // 924 0 none, 1 left/top, 2 right/bottom
  LeInt32 pvBookletIndex;        // 928 0 booklet off
  LeInt32 pvBookletPaperSize;    // 932
  LeInt32 pvFinisher;            // 936
  LeInt32 pvPunchKit;            // 940
  LeInt32 pvStapleMarginUnit;    // 944
  LeFloat pvStapleMarginFront;   // 948
  LeFloat pvStapleMarginBack;    // 952
  LeInt32 pvPunchMarginUnit;     // 956
  LeFloat pvPunchMarginFront;    // 960
  LeFloat pvPunchMarginBack;     // 964
  LeInt32 alReserved968[3];      // 968
  LeInt32 pvShift;               // 980
  LeInt32 lReserved984;          // 984
  LeInt32 pvStaple;              // 988
  LeInt32 pvPunch;               // 992
  LeInt32 pvCassette3;           // 996
  LeInt32 pvCassette2;           // 1000
  LeInt32 pvCassette4;           // 1004
  LeInt32 pvFeedCabinet;         // 1008
  LeInt32 lReserved1012;         // 1012
  LeInt32 pvGutterUnit;          // 1016
  LeFloat pvGutterFront;         // 1020
  LeFloat pvGutterBack;          // 1024
  LeInt32 lReserved1028;         // 1028
  LeInt32 pvSort;                // 1032 kept equal to dmCollate
  BYTE abReserved1036[108];      // 1036
  BYTE abReserved1144[3];        // 1144 (0xFF each)
  BYTE abReserved1147[13];       // 1147
  LeInt16 sReserved1160;         // 1160 (-1)
  LeInt16 sReserved1162;         // 1162 (-1)
  BYTE abReserved1164[24];       // 1164
  CustomPaperEntry pvCustomPapers[kCustomPaperCount];  // 1188
  LeInt32 pvDensity;             // 3988 -50 to +50
  LeFloat pvCustomMinimum[4];    // 3992 min width mm, min length mm, min width in, min length in
  LeInt32 pvBindingEdge;         // 4008 0 top, 1 left, 2 right
  LeInt32 pvDuplexBinding;       // 4012
  LeInt32 pvLastPunch;           // 4016
  LeInt32 pvLastStaple;          // 4020
  LeInt32 pvReverseOrder;        // 4024
  LeInt32 pvPjlSent;             // 4028
  LeInt32 pvNewEngine;           // 4032
  LeInt32 lReserved4036;         // 4036
  LeUInt16 pvForceDuplexField;   // 4040
  LeUInt16 pvDuplex;             // 4042 kDuplexOff, kDuplexTopEdge, kDuplexSideEdge
  BYTE abReserved4044[32];       // 4044
};
static_assert(sizeof(PrivateSettings) == kJobSettingsPrivateSize);

// ---- JobSettings: the whole record, 4076 bytes ------------------------------
struct JobSettings {
  DEVMODEW dm;
  PrivateSettings pv;
};
static_assert(sizeof(JobSettings) == kJobSettingsSize && offsetof(JobSettings, pv) == kJobSettingsPublicSize);

// Offsets of the private fields from the start of the record.
#define K460_PV_AT(field, offset) static_assert(offsetof(JobSettings, pv.field) == (offset), #field)
K460_PV_AT(pvSignature, 220);
K460_PV_AT(pvFirstPageSourceOn, 224);
K460_PV_AT(pvPaperIndex, 228);
K460_PV_AT(pvInputTray, 232);
K460_PV_AT(pvMediaType, 236);
K460_PV_AT(pvFirstPageSource, 240);
K460_PV_AT(pvOutputBin, 244);
K460_PV_AT(lReserved248, 248);
K460_PV_AT(pvPresetName, 252);
K460_PV_AT(pvTonerSave, 284);
K460_PV_AT(lReserved288, 288);
K460_PV_AT(pvTrueTypeMode, 292);
K460_PV_AT(pvDeviceFontSubstitution, 296);
K460_PV_AT(alReserved300, 300);
K460_PV_AT(pvDuplexUnit, 312);
K460_PV_AT(pvTwoBinTray, 316);
K460_PV_AT(abReserved320, 320);
K460_PV_AT(pvPrintToPaper, 376);
K460_PV_AT(pvPrintToPaperSize, 380);
K460_PV_AT(pvPrintToPaperIndex, 384);
K460_PV_AT(pvPrintToPaperWidth, 388);
K460_PV_AT(pvPrintToPaperLength, 392);
K460_PV_AT(pvZoom, 396);
K460_PV_AT(pvFitToPaper, 400);
K460_PV_AT(pvGraphicsMode, 404);
K460_PV_AT(pvPagesPerSheet, 408);
K460_PV_AT(pvNupOrder, 412);
K460_PV_AT(lReserved416, 416);
K460_PV_AT(lReserved420, 420);
K460_PV_AT(pvNupBorder, 424);
K460_PV_AT(pvWatermarkIndex, 428);
K460_PV_AT(pvWatermarkFirstPageOnly, 432);
K460_PV_AT(pvWatermarkLayer, 436);
K460_PV_AT(lReserved440, 440);
K460_PV_AT(pvWatermark, 444);
K460_PV_AT(pvWatermarkSin, 908);
K460_PV_AT(pvWatermarkCos, 912);
K460_PV_AT(lReserved916, 916);
K460_PV_AT(pvWatermarkSkipJapaneseFaces, 920);
K460_PV_AT(pvBookletBinding, 924);
K460_PV_AT(pvBookletIndex, 928);
K460_PV_AT(pvBookletPaperSize, 932);
K460_PV_AT(pvFinisher, 936);
K460_PV_AT(pvPunchKit, 940);
K460_PV_AT(pvStapleMarginUnit, 944);
K460_PV_AT(pvStapleMarginFront, 948);
K460_PV_AT(pvStapleMarginBack, 952);
K460_PV_AT(pvPunchMarginUnit, 956);
K460_PV_AT(pvPunchMarginFront, 960);
K460_PV_AT(pvPunchMarginBack, 964);
K460_PV_AT(alReserved968, 968);
K460_PV_AT(pvShift, 980);
K460_PV_AT(lReserved984, 984);
K460_PV_AT(pvStaple, 988);
K460_PV_AT(pvPunch, 992);
K460_PV_AT(pvCassette3, 996);
K460_PV_AT(pvCassette2, 1000);
K460_PV_AT(pvCassette4, 1004);
K460_PV_AT(pvFeedCabinet, 1008);
K460_PV_AT(lReserved1012, 1012);
K460_PV_AT(pvGutterUnit, 1016);
K460_PV_AT(pvGutterFront, 1020);
K460_PV_AT(pvGutterBack, 1024);
K460_PV_AT(lReserved1028, 1028);
K460_PV_AT(pvSort, 1032);
K460_PV_AT(abReserved1036, 1036);
K460_PV_AT(abReserved1144, 1144);
K460_PV_AT(abReserved1147, 1147);
K460_PV_AT(sReserved1160, 1160);
K460_PV_AT(sReserved1162, 1162);
K460_PV_AT(abReserved1164, 1164);
K460_PV_AT(pvCustomPapers, 1188);
K460_PV_AT(pvDensity, 3988);
K460_PV_AT(pvCustomMinimum, 3992);
K460_PV_AT(pvBindingEdge, 4008);
K460_PV_AT(pvDuplexBinding, 4012);
K460_PV_AT(pvLastPunch, 4016);
K460_PV_AT(pvLastStaple, 4020);
K460_PV_AT(pvReverseOrder, 4024);
K460_PV_AT(pvPjlSent, 4028);
K460_PV_AT(pvNewEngine, 4032);
K460_PV_AT(lReserved4036, 4036);
K460_PV_AT(pvForceDuplexField, 4040);
K460_PV_AT(pvDuplex, 4042);
K460_PV_AT(abReserved4044, 4044);
#undef K460_PV_AT

// Fixed offsets of the duplex pair inside a private part (from its start).
inline constexpr std::size_t kForceDuplexFieldPrivateOffset = offsetof(PrivateSettings, pvForceDuplexField);
inline constexpr std::size_t kDuplexPrivateOffset = offsetof(PrivateSettings, pvDuplex);
static_assert(kDuplexPrivateOffset + sizeof(WORD) <= kDuplexPrivateSize);

// ---- WatermarkListEntry: one entry of "Watermarklist", 368 bytes ------------
struct WatermarkListEntry {
  WCHAR szName[31];
  WCHAR szText[31];
  LeInt32 lShading;  // 0 to 4: 10, 25, 50, 75, 100 per cent
  WCHAR szFaceName[100];
  LeInt32 lFontSize;
  LeInt32 lBold;
  BYTE bItalic;
  BYTE abPad337[3];
  LeInt32 lAngle;
  LeInt32 lAngleMode;  // 2 diagonal
  LeInt32 lPosition;   // 1 centred, 2 user-defined
  LeFloat fOffsetX;
  LeFloat fOffsetY;
  BYTE abReserved360[8];
};
static_assert(sizeof(WatermarkListEntry) == 368);
static_assert(offsetof(WatermarkListEntry, szText) == 62 && offsetof(WatermarkListEntry, lShading) == 124 &&
              offsetof(WatermarkListEntry, szFaceName) == 128 && offsetof(WatermarkListEntry, lFontSize) == 328 &&
              offsetof(WatermarkListEntry, lBold) == 332 && offsetof(WatermarkListEntry, bItalic) == 336 &&
              offsetof(WatermarkListEntry, lAngle) == 340 && offsetof(WatermarkListEntry, lAngleMode) == 344 &&
              offsetof(WatermarkListEntry, lPosition) == 348 && offsetof(WatermarkListEntry, fOffsetX) == 352 &&
              offsetof(WatermarkListEntry, fOffsetY) == 356 && offsetof(WatermarkListEntry, abReserved360) == 360);

// ---- PrinterDataRecord: the "PrinterData" value, 4080 bytes -----------------
inline constexpr WORD kPrinterDataVersion = 0x0500;
inline constexpr WORD kPrinterDataSize = 4080;
struct PrinterDataRecord {
  LeUInt16 wVersion;  // kPrinterDataVersion
  LeUInt16 wSize;     // kPrinterDataSize
  JobSettings js;     // printer-wide settings (installed options), dmFields 0
};
static_assert(sizeof(PrinterDataRecord) == kPrinterDataSize && offsetof(PrinterDataRecord, js) == 4);

// Printer data values and their sizes.
inline constexpr const WCHAR* kPrinterDataValue = u"PrinterData";
inline constexpr const WCHAR* kPrinterDataSizeValue = u"PrinterDataSize";
inline constexpr const WCHAR* kCustomPaperListValue = u"CustomPaperList";
inline constexpr const WCHAR* kWatermarkListValue = u"Watermarklist";
inline constexpr int kWatermarkListCount = 21;
inline constexpr std::size_t kCustomPaperListSize = sizeof(CustomPaperEntry) * kCustomPaperCount;
inline constexpr std::size_t kWatermarkListSize = sizeof(WatermarkListEntry) * kWatermarkListCount;
static_assert(kCustomPaperListSize == 2800 && kWatermarkListSize == 7728);
