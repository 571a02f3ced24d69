// One emitter per PCL XL operator form: each writes its attributes in the
// order the operator lists them, then the operator, then any embedded data.
// Forms of one operator are named after the attribute that sets them apart.
#pragma once

#include "driver/pcl/printer_common/nt/pclxl/xlstream.h"

// ---- Session, page and data source -----------------------------------------
void HP_BeginSession(XlStream* pStream, WORD xUnitsPerMeasure, WORD yUnitsPerMeasure, BYTE measure,
                     BYTE errorReport);
void HP_EndSession(XlStream* pStream);
void HP_BeginPage_MediaSize(XlStream* pStream, BYTE orientation, BYTE mediaSize, BYTE mediaSource);
void HP_BeginPage_CustomMediaSize(XlStream* pStream, BYTE orientation, WORD width, WORD length, BYTE units,
                                  BYTE mediaSource);
void HP_EndPage(XlStream* pStream, WORD pageCopies);
void HP_OpenDataSource(XlStream* pStream, BYTE sourceType, BYTE dataOrg);
void HP_CloseDataSource(XlStream* pStream);

// ---- Fonts and characters --------------------------------------------------
void HP_BeginFontHeader(XlStream* pStream, const BYTE* pFontName, DWORD cbFontName, BYTE fontFormat);
// FontHeaderLength is a uint16: a header over 65535 bytes stops the stream.
void HP_ReadFontHeader(XlStream* pStream, const BYTE* pHeader, DWORD cbHeader);
void HP_EndFontHeader(XlStream* pStream);
void HP_BeginChar(XlStream* pStream, const BYTE* pFontName, DWORD cbFontName);
void HP_ReadChar(XlStream* pStream, WORD charCode, const BYTE* pCharData, DWORD cbCharData);
void HP_EndChar(XlStream* pStream);
void HP_RemoveFont(XlStream* pStream, const BYTE* pFontName, DWORD cbFontName);
void HP_SetCharAttributes(XlStream* pStream, BYTE writingMode);
void HP_SetCharAngle(XlStream* pStream, SHORT angle);
void HP_SetCharScale(XlStream* pStream, FLOAT x, FLOAT y);
void HP_SetCharShear_SInt16(XlStream* pStream, SHORT x, SHORT y);
void HP_SetCharShear_Real32(XlStream* pStream, FLOAT x, FLOAT y);
void HP_SetCharBoldValue(XlStream* pStream, FLOAT value);
void HP_SetFont(XlStream* pStream, const BYTE* pFontName, DWORD cbFontName, FLOAT charSize, WORD symbolSet);

// Text: the characters and one advance per character. X advances that all
// lie in 0..255 go as a ubyte_array, otherwise as a sint16_array.
void HP_Text_UByte(XlStream* pStream, const BYTE* pText, const SHORT* pXAdvances, DWORD count);
void HP_Text_UByteXY(XlStream* pStream, const BYTE* pText, const SHORT* pXAdvances, const SHORT* pYAdvances,
                     DWORD count);
void HP_Text_UInt16(XlStream* pStream, const WORD* pText, const SHORT* pXAdvances, DWORD count);
void HP_Text_UInt16XY(XlStream* pStream, const WORD* pText, const SHORT* pXAdvances, const SHORT* pYAdvances,
                      DWORD count);

// ---- Graphics state --------------------------------------------------------
void HP_PopGS(XlStream* pStream);
void HP_PushGS(XlStream* pStream);
void HP_SetClipReplace(XlStream* pStream, BYTE clipRegion);
void HP_SetClipRectangle(XlStream* pStream, SHORT left, SHORT top, SHORT right, SHORT bottom, BYTE clipRegion);
void HP_SetClipToPage(XlStream* pStream);
void HP_SetClipMode(XlStream* pStream, BYTE clipMode);
void HP_SetBrushSource_GrayLevel(XlStream* pStream, BYTE grayLevel);
void HP_SetBrushSource_NullBrush(XlStream* pStream);
void HP_SetBrushSource_PatternSelectID(XlStream* pStream, SHORT patternId);
void HP_SetPenSource_GrayLevel(XlStream* pStream, BYTE grayLevel);
void HP_SetPenSource_GrayLevelReal32(XlStream* pStream, FLOAT grayLevel);
void HP_SetPenSource_NullPen(XlStream* pStream);
void HP_SetPenSource_PatternSelectID(XlStream* pStream, SHORT patternId);
void HP_SetColorSpace(XlStream* pStream, BYTE colorSpace);
void HP_SetColorSpace_PaletteData(XlStream* pStream, BYTE colorSpace, BYTE paletteDepth, const BYTE* pPalette,
                                  DWORD cbPalette);
void HP_SetCursor(XlStream* pStream, SHORT x, SHORT y);
void HP_SetCursorRel(XlStream* pStream, SHORT dx, SHORT dy);
void HP_SetFillMode(XlStream* pStream, BYTE fillMode);
void HP_SetLineDash_LineDashStyle(XlStream* pStream, const WORD* pDashes, DWORD count);
void HP_SetLineDash_SolidLine(XlStream* pStream);
void HP_SetLineCap(XlStream* pStream, BYTE lineCapStyle);
void HP_SetLineJoin(XlStream* pStream, BYTE lineJoinStyle);
void HP_SetMiterLimit(XlStream* pStream, WORD miterLength);
void HP_SetPageDefaultCTM(XlStream* pStream);
void HP_SetPageOrigin(XlStream* pStream, SHORT x, SHORT y);
void HP_SetPageScale(XlStream* pStream, FLOAT x, FLOAT y);
void HP_SetPaintTxMode(XlStream* pStream, BYTE txMode);
void HP_SetSourceTxMode(XlStream* pStream, BYTE txMode);
void HP_SetPenWidth(XlStream* pStream, WORD penWidth);
void HP_SetROP(XlStream* pStream, BYTE rop3);

// ---- Paths -----------------------------------------------------------------
void HP_CloseSubPath(XlStream* pStream);
void HP_NewPath(XlStream* pStream);
void HP_PaintPath(XlStream* pStream);
void HP_BezierPath(XlStream* pStream, SHORT x1, SHORT y1, SHORT x2, SHORT y2, SHORT xEnd, SHORT yEnd);
void HP_LinePath(XlStream* pStream, SHORT xEnd, SHORT yEnd);
// The points follow as embedded data, already encoded as pointType says.
void HP_LineRelPath(XlStream* pStream, WORD numberOfPoints, BYTE pointType, const BYTE* pPoints, DWORD cbPoints);
void HP_Rectangle(XlStream* pStream, SHORT left, SHORT top, SHORT right, SHORT bottom);
void HP_RectanglePath(XlStream* pStream, SHORT left, SHORT top, SHORT right, SHORT bottom);

// ---- Images and raster patterns --------------------------------------------
struct XlImageHeader {
  BYTE colorMapping;
  BYTE colorDepth;
  WORD sourceWidth;
  WORD sourceHeight;
  WORD destinationWidth;
  WORD destinationHeight;
};

struct XlImageBlock {
  WORD startLine;
  WORD blockHeight;
  BYTE compressMode;
  BYTE padBytesMultiple;
  const BYTE* pData;  // BlockByteLength bytes
  DWORD cbData;
};

void HP_BeginImage(XlStream* pStream, const XlImageHeader& header);
void HP_ReadImage(XlStream* pStream, const XlImageBlock& block);
void HP_EndImage(XlStream* pStream);
void HP_BeginRastPattern(XlStream* pStream, const XlImageHeader& header, SHORT patternDefineId, BYTE persistence);
void HP_ReadRastPattern(XlStream* pStream, const XlImageBlock& block);
void HP_EndRastPattern(XlStream* pStream);
