#include "driver/pcl/printer_common/nt/pclxl/xlemit.h"

#include "driver/pcl/printer_common/nt/pclxl/xlcodes.h"

namespace {

// Operators followed by embedded data check it first: in direct mode the
// operator leaves at once and must not go out without its data.
bool DataOk(XlStream* s, const void* data, DWORD length) {
  if (!s || s->sError != XL_OK) return false;
  if (data || length == 0) return true;
  XlRecordError(s, XL_ERROR_ARGUMENT);
  return false;
}

void UByteAttr(XlStream* s, BYTE value, XlAttribute attr) {
  HP_UByte(s, value);
  HP_Attribute(s, attr);
}

void UInt16Attr(XlStream* s, WORD value, XlAttribute attr) {
  HP_UInt16(s, value);
  HP_Attribute(s, attr);
}

void SInt16Attr(XlStream* s, SHORT value, XlAttribute attr) {
  HP_SInt16(s, value);
  HP_Attribute(s, attr);
}

void SInt16XYAttr(XlStream* s, SHORT x, SHORT y, XlAttribute attr) {
  HP_SInt16XY(s, x, y);
  HP_Attribute(s, attr);
}

void Real32XYAttr(XlStream* s, FLOAT x, FLOAT y, XlAttribute attr) {
  HP_Real32XY(s, x, y);
  HP_Attribute(s, attr);
}

void BoxAttr(XlStream* s, SHORT left, SHORT top, SHORT right, SHORT bottom, XlAttribute attr) {
  HP_SInt16Box(s, left, top, right, bottom);
  HP_Attribute(s, attr);
}

void FontNameAttr(XlStream* s, const BYTE* name, DWORD cbName) {
  HP_UByteArray(s, name, cbName);
  HP_Attribute(s, XL_ATTR_FontName);
}

// X advances as a ubyte_array when every one fits a byte, which halves the
// data of ordinary text; an empty list is an empty ubyte_array.
void XSpacingAttr(XlStream* s, const SHORT* advances, DWORD count) {
  bool fitsByte = advances != nullptr || count == 0;
  for (DWORD i = 0; fitsByte && i < count; ++i) fitsByte = advances[i] >= 0 && advances[i] <= 255;
  if (fitsByte) {
    // SHORT and WORD may alias; the low byte is the value.
    HP_UByteArrayFromWords(s, reinterpret_cast<const WORD*>(advances), count);
  } else {
    HP_SInt16Array(s, advances, count);
  }
  HP_Attribute(s, XL_ATTR_XSpacingData);
}

void XYSpacingAttrs(XlStream* s, const SHORT* xAdvances, const SHORT* yAdvances, DWORD count) {
  HP_SInt16Array(s, xAdvances, count);
  HP_Attribute(s, XL_ATTR_XSpacingData);
  HP_SInt16Array(s, yAdvances, count);
  HP_Attribute(s, XL_ATTR_YSpacingData);
}

void ImageHeaderAttrs(XlStream* s, const XlImageHeader& h) {
  UByteAttr(s, h.colorMapping, XL_ATTR_ColorMapping);
  UByteAttr(s, h.colorDepth, XL_ATTR_ColorDepth);
  UInt16Attr(s, h.sourceWidth, XL_ATTR_SourceWidth);
  UInt16Attr(s, h.sourceHeight, XL_ATTR_SourceHeight);
  HP_UInt16XY(s, h.destinationWidth, h.destinationHeight);
  HP_Attribute(s, XL_ATTR_DestinationSize);
}

void ImageBlock(XlStream* s, const XlImageBlock& b, XlOperator op) {
  if (!DataOk(s, b.pData, b.cbData)) return;
  UInt16Attr(s, b.startLine, XL_ATTR_StartLine);
  UInt16Attr(s, b.blockHeight, XL_ATTR_BlockHeight);
  UByteAttr(s, b.compressMode, XL_ATTR_CompressMode);
  UByteAttr(s, b.padBytesMultiple, XL_ATTR_PadBytesMultiple);
  HP_UInt32(s, b.cbData);
  HP_Attribute(s, XL_ATTR_BlockByteLength);
  HP_Operator(s, op);
  HP_EmbeddedData(s, b.pData, b.cbData);
}

}  // namespace

// ---- Session, page and data source -----------------------------------------

void HP_BeginSession(XlStream* pStream, WORD xUnitsPerMeasure, WORD yUnitsPerMeasure, BYTE measure,
                     BYTE errorReport) {
  HP_UInt16XY(pStream, xUnitsPerMeasure, yUnitsPerMeasure);
  HP_Attribute(pStream, XL_ATTR_UnitsPerMeasure);
  UByteAttr(pStream, measure, XL_ATTR_Measure);
  UByteAttr(pStream, errorReport, XL_ATTR_ErrorReport);
  HP_Operator(pStream, XL_OP_BeginSession);
}

void HP_EndSession(XlStream* pStream) { HP_Operator(pStream, XL_OP_EndSession); }

void HP_BeginPage_MediaSize(XlStream* pStream, BYTE orientation, BYTE mediaSize, BYTE mediaSource) {
  UByteAttr(pStream, orientation, XL_ATTR_Orientation);
  UByteAttr(pStream, mediaSize, XL_ATTR_MediaSize);
  UByteAttr(pStream, mediaSource, XL_ATTR_MediaSource);
  HP_Operator(pStream, XL_OP_BeginPage);
}

void HP_BeginPage_CustomMediaSize(XlStream* pStream, BYTE orientation, WORD width, WORD length, BYTE units,
                                  BYTE mediaSource) {
  UByteAttr(pStream, orientation, XL_ATTR_Orientation);
  HP_UInt16XY(pStream, width, length);
  HP_Attribute(pStream, XL_ATTR_CustomMediaSize);
  UByteAttr(pStream, units, XL_ATTR_CustomMediaSizeUnits);
  UByteAttr(pStream, mediaSource, XL_ATTR_MediaSource);
  HP_Operator(pStream, XL_OP_BeginPage);
}

void HP_EndPage(XlStream* pStream, WORD pageCopies) {
  UInt16Attr(pStream, pageCopies, XL_ATTR_PageCopies);
  HP_Operator(pStream, XL_OP_EndPage);
}

void HP_OpenDataSource(XlStream* pStream, BYTE sourceType, BYTE dataOrg) {
  UByteAttr(pStream, sourceType, XL_ATTR_SourceType);
  UByteAttr(pStream, dataOrg, XL_ATTR_DataOrg);
  HP_Operator(pStream, XL_OP_OpenDataSource);
}

void HP_CloseDataSource(XlStream* pStream) { HP_Operator(pStream, XL_OP_CloseDataSource); }

// ---- Fonts and characters --------------------------------------------------

void HP_BeginFontHeader(XlStream* pStream, const BYTE* pFontName, DWORD cbFontName, BYTE fontFormat) {
  FontNameAttr(pStream, pFontName, cbFontName);
  UByteAttr(pStream, fontFormat, XL_ATTR_FontFormat);
  HP_Operator(pStream, XL_OP_BeginFontHeader);
}

void HP_ReadFontHeader(XlStream* pStream, const BYTE* pHeader, DWORD cbHeader) {
  if (!DataOk(pStream, pHeader, cbHeader)) return;
  if (cbHeader > 0xFFFF) {
    XlRecordError(pStream, XL_ERROR_ARGUMENT);
    return;
  }
  UInt16Attr(pStream, static_cast<WORD>(cbHeader), XL_ATTR_FontHeaderLength);
  HP_Operator(pStream, XL_OP_ReadFontHeader);
  HP_EmbeddedData(pStream, pHeader, cbHeader);
}

void HP_EndFontHeader(XlStream* pStream) { HP_Operator(pStream, XL_OP_EndFontHeader); }

void HP_BeginChar(XlStream* pStream, const BYTE* pFontName, DWORD cbFontName) {
  FontNameAttr(pStream, pFontName, cbFontName);
  HP_Operator(pStream, XL_OP_BeginChar);
}

void HP_ReadChar(XlStream* pStream, WORD charCode, const BYTE* pCharData, DWORD cbCharData) {
  if (!DataOk(pStream, pCharData, cbCharData)) return;
  UInt16Attr(pStream, charCode, XL_ATTR_CharCode);
  HP_UInt32(pStream, cbCharData);
  HP_Attribute(pStream, XL_ATTR_CharDataSize);
  HP_Operator(pStream, XL_OP_ReadChar);
  HP_EmbeddedData(pStream, pCharData, cbCharData);
}

void HP_EndChar(XlStream* pStream) { HP_Operator(pStream, XL_OP_EndChar); }

void HP_RemoveFont(XlStream* pStream, const BYTE* pFontName, DWORD cbFontName) {
  FontNameAttr(pStream, pFontName, cbFontName);
  HP_Operator(pStream, XL_OP_RemoveFont);
}

void HP_SetCharAttributes(XlStream* pStream, BYTE writingMode) {
  UByteAttr(pStream, writingMode, XL_ATTR_WritingMode);
  HP_Operator(pStream, XL_OP_SetCharAttributes);
}

void HP_SetCharAngle(XlStream* pStream, SHORT angle) {
  SInt16Attr(pStream, angle, XL_ATTR_CharAngle);
  HP_Operator(pStream, XL_OP_SetCharAngle);
}

void HP_SetCharScale(XlStream* pStream, FLOAT x, FLOAT y) {
  Real32XYAttr(pStream, x, y, XL_ATTR_CharScale);
  HP_Operator(pStream, XL_OP_SetCharScale);
}

void HP_SetCharShear_SInt16(XlStream* pStream, SHORT x, SHORT y) {
  SInt16XYAttr(pStream, x, y, XL_ATTR_CharShear);
  HP_Operator(pStream, XL_OP_SetCharShear);
}

void HP_SetCharShear_Real32(XlStream* pStream, FLOAT x, FLOAT y) {
  Real32XYAttr(pStream, x, y, XL_ATTR_CharShear);
  HP_Operator(pStream, XL_OP_SetCharShear);
}

void HP_SetCharBoldValue(XlStream* pStream, FLOAT value) {
  HP_Real32(pStream, value);
  HP_Attribute(pStream, XL_ATTR_CharBoldValue);
  HP_Operator(pStream, XL_OP_SetCharBoldValue);
}

void HP_SetFont(XlStream* pStream, const BYTE* pFontName, DWORD cbFontName, FLOAT charSize, WORD symbolSet) {
  FontNameAttr(pStream, pFontName, cbFontName);
  HP_Real32(pStream, charSize);
  HP_Attribute(pStream, XL_ATTR_CharSize);
  UInt16Attr(pStream, symbolSet, XL_ATTR_SymbolSet);
  HP_Operator(pStream, XL_OP_SetFont);
}

void HP_Text_UByte(XlStream* pStream, const BYTE* pText, const SHORT* pXAdvances, DWORD count) {
  HP_UByteArray(pStream, pText, count);
  HP_Attribute(pStream, XL_ATTR_TextData);
  XSpacingAttr(pStream, pXAdvances, count);
  HP_Operator(pStream, XL_OP_Text);
}

void HP_Text_UByteXY(XlStream* pStream, const BYTE* pText, const SHORT* pXAdvances, const SHORT* pYAdvances,
                     DWORD count) {
  HP_UByteArray(pStream, pText, count);
  HP_Attribute(pStream, XL_ATTR_TextData);
  XYSpacingAttrs(pStream, pXAdvances, pYAdvances, count);
  HP_Operator(pStream, XL_OP_Text);
}

void HP_Text_UInt16(XlStream* pStream, const WORD* pText, const SHORT* pXAdvances, DWORD count) {
  HP_UInt16Array(pStream, pText, count);
  HP_Attribute(pStream, XL_ATTR_TextData);
  XSpacingAttr(pStream, pXAdvances, count);
  HP_Operator(pStream, XL_OP_Text);
}

void HP_Text_UInt16XY(XlStream* pStream, const WORD* pText, const SHORT* pXAdvances, const SHORT* pYAdvances,
                      DWORD count) {
  HP_UInt16Array(pStream, pText, count);
  HP_Attribute(pStream, XL_ATTR_TextData);
  XYSpacingAttrs(pStream, pXAdvances, pYAdvances, count);
  HP_Operator(pStream, XL_OP_Text);
}

// ---- Graphics state --------------------------------------------------------

void HP_PopGS(XlStream* pStream) { HP_Operator(pStream, XL_OP_PopGS); }

void HP_PushGS(XlStream* pStream) { HP_Operator(pStream, XL_OP_PushGS); }

void HP_SetClipReplace(XlStream* pStream, BYTE clipRegion) {
  UByteAttr(pStream, clipRegion, XL_ATTR_ClipRegion);
  HP_Operator(pStream, XL_OP_SetClipReplace);
}

void HP_SetClipRectangle(XlStream* pStream, SHORT left, SHORT top, SHORT right, SHORT bottom, BYTE clipRegion) {
  BoxAttr(pStream, left, top, right, bottom, XL_ATTR_BoundingBox);
  UByteAttr(pStream, clipRegion, XL_ATTR_ClipRegion);
  HP_Operator(pStream, XL_OP_SetClipRectangle);
}

void HP_SetClipToPage(XlStream* pStream) { HP_Operator(pStream, XL_OP_SetClipToPage); }

void HP_SetClipMode(XlStream* pStream, BYTE clipMode) {
  UByteAttr(pStream, clipMode, XL_ATTR_ClipMode);
  HP_Operator(pStream, XL_OP_SetClipMode);
}

void HP_SetBrushSource_GrayLevel(XlStream* pStream, BYTE grayLevel) {
  UByteAttr(pStream, grayLevel, XL_ATTR_GrayLevel);
  HP_Operator(pStream, XL_OP_SetBrushSource);
}

void HP_SetBrushSource_NullBrush(XlStream* pStream) {
  UByteAttr(pStream, 0, XL_ATTR_NullBrush);
  HP_Operator(pStream, XL_OP_SetBrushSource);
}

void HP_SetBrushSource_PatternSelectID(XlStream* pStream, SHORT patternId) {
  SInt16Attr(pStream, patternId, XL_ATTR_PatternSelectID);
  HP_Operator(pStream, XL_OP_SetBrushSource);
}

void HP_SetPenSource_GrayLevel(XlStream* pStream, BYTE grayLevel) {
  UByteAttr(pStream, grayLevel, XL_ATTR_GrayLevel);
  HP_Operator(pStream, XL_OP_SetPenSource);
}

void HP_SetPenSource_GrayLevelReal32(XlStream* pStream, FLOAT grayLevel) {
  HP_Real32(pStream, grayLevel);
  HP_Attribute(pStream, XL_ATTR_GrayLevel);
  HP_Operator(pStream, XL_OP_SetPenSource);
}

void HP_SetPenSource_NullPen(XlStream* pStream) {
  UByteAttr(pStream, 0, XL_ATTR_NullPen);
  HP_Operator(pStream, XL_OP_SetPenSource);
}

void HP_SetPenSource_PatternSelectID(XlStream* pStream, SHORT patternId) {
  SInt16Attr(pStream, patternId, XL_ATTR_PatternSelectID);
  HP_Operator(pStream, XL_OP_SetPenSource);
}

void HP_SetColorSpace(XlStream* pStream, BYTE colorSpace) {
  UByteAttr(pStream, colorSpace, XL_ATTR_ColorSpace);
  HP_Operator(pStream, XL_OP_SetColorSpace);
}

void HP_SetColorSpace_PaletteData(XlStream* pStream, BYTE colorSpace, BYTE paletteDepth, const BYTE* pPalette,
                                  DWORD cbPalette) {
  UByteAttr(pStream, colorSpace, XL_ATTR_ColorSpace);
  UByteAttr(pStream, paletteDepth, XL_ATTR_PaletteDepth);
  HP_UByteArray(pStream, pPalette, cbPalette);
  HP_Attribute(pStream, XL_ATTR_PaletteData);
  HP_Operator(pStream, XL_OP_SetColorSpace);
}

void HP_SetCursor(XlStream* pStream, SHORT x, SHORT y) {
  SInt16XYAttr(pStream, x, y, XL_ATTR_Point);
  HP_Operator(pStream, XL_OP_SetCursor);
}

void HP_SetCursorRel(XlStream* pStream, SHORT dx, SHORT dy) {
  SInt16XYAttr(pStream, dx, dy, XL_ATTR_Point);
  HP_Operator(pStream, XL_OP_SetCursorRel);
}

void HP_SetFillMode(XlStream* pStream, BYTE fillMode) {
  UByteAttr(pStream, fillMode, XL_ATTR_FillMode);
  HP_Operator(pStream, XL_OP_SetFillMode);
}

void HP_SetLineDash_LineDashStyle(XlStream* pStream, const WORD* pDashes, DWORD count) {
  HP_UInt16Array(pStream, pDashes, count);
  HP_Attribute(pStream, XL_ATTR_LineDashStyle);
  HP_Operator(pStream, XL_OP_SetLineDash);
}

void HP_SetLineDash_SolidLine(XlStream* pStream) {
  UByteAttr(pStream, 0, XL_ATTR_SolidLine);
  HP_Operator(pStream, XL_OP_SetLineDash);
}

void HP_SetLineCap(XlStream* pStream, BYTE lineCapStyle) {
  UByteAttr(pStream, lineCapStyle, XL_ATTR_LineCapStyle);
  HP_Operator(pStream, XL_OP_SetLineCap);
}

void HP_SetLineJoin(XlStream* pStream, BYTE lineJoinStyle) {
  UByteAttr(pStream, lineJoinStyle, XL_ATTR_LineJoinStyle);
  HP_Operator(pStream, XL_OP_SetLineJoin);
}

void HP_SetMiterLimit(XlStream* pStream, WORD miterLength) {
  UInt16Attr(pStream, miterLength, XL_ATTR_MiterLength);
  HP_Operator(pStream, XL_OP_SetMiterLimit);
}

void HP_SetPageDefaultCTM(XlStream* pStream) { HP_Operator(pStream, XL_OP_SetPageDefaultCTM); }

void HP_SetPageOrigin(XlStream* pStream, SHORT x, SHORT y) {
  SInt16XYAttr(pStream, x, y, XL_ATTR_PageOrigin);
  HP_Operator(pStream, XL_OP_SetPageOrigin);
}

void HP_SetPageScale(XlStream* pStream, FLOAT x, FLOAT y) {
  Real32XYAttr(pStream, x, y, XL_ATTR_PageScale);
  HP_Operator(pStream, XL_OP_SetPageScale);
}

void HP_SetPaintTxMode(XlStream* pStream, BYTE txMode) {
  UByteAttr(pStream, txMode, XL_ATTR_TxMode);
  HP_Operator(pStream, XL_OP_SetPaintTxMode);
}

void HP_SetSourceTxMode(XlStream* pStream, BYTE txMode) {
  UByteAttr(pStream, txMode, XL_ATTR_TxMode);
  HP_Operator(pStream, XL_OP_SetSourceTxMode);
}

void HP_SetPenWidth(XlStream* pStream, WORD penWidth) {
  UInt16Attr(pStream, penWidth, XL_ATTR_PenWidth);
  HP_Operator(pStream, XL_OP_SetPenWidth);
}

void HP_SetROP(XlStream* pStream, BYTE rop3) {
  UByteAttr(pStream, rop3, XL_ATTR_ROP3);
  HP_Operator(pStream, XL_OP_SetROP);
}

// ---- Paths -----------------------------------------------------------------

void HP_CloseSubPath(XlStream* pStream) { HP_Operator(pStream, XL_OP_CloseSubPath); }

void HP_NewPath(XlStream* pStream) { HP_Operator(pStream, XL_OP_NewPath); }

void HP_PaintPath(XlStream* pStream) { HP_Operator(pStream, XL_OP_PaintPath); }

void HP_BezierPath(XlStream* pStream, SHORT x1, SHORT y1, SHORT x2, SHORT y2, SHORT xEnd, SHORT yEnd) {
  SInt16XYAttr(pStream, x1, y1, XL_ATTR_ControlPoint1);
  SInt16XYAttr(pStream, x2, y2, XL_ATTR_ControlPoint2);
  SInt16XYAttr(pStream, xEnd, yEnd, XL_ATTR_EndPoint);
  HP_Operator(pStream, XL_OP_BezierPath);
}

void HP_LinePath(XlStream* pStream, SHORT xEnd, SHORT yEnd) {
  SInt16XYAttr(pStream, xEnd, yEnd, XL_ATTR_EndPoint);
  HP_Operator(pStream, XL_OP_LinePath);
}

void HP_LineRelPath(XlStream* pStream, WORD numberOfPoints, BYTE pointType, const BYTE* pPoints, DWORD cbPoints) {
  if (!DataOk(pStream, pPoints, cbPoints)) return;
  UInt16Attr(pStream, numberOfPoints, XL_ATTR_NumberOfPoints);
  UByteAttr(pStream, pointType, XL_ATTR_PointType);
  HP_Operator(pStream, XL_OP_LineRelPath);
  HP_EmbeddedData(pStream, pPoints, cbPoints);
}

void HP_Rectangle(XlStream* pStream, SHORT left, SHORT top, SHORT right, SHORT bottom) {
  BoxAttr(pStream, left, top, right, bottom, XL_ATTR_BoundingBox);
  HP_Operator(pStream, XL_OP_Rectangle);
}

void HP_RectanglePath(XlStream* pStream, SHORT left, SHORT top, SHORT right, SHORT bottom) {
  BoxAttr(pStream, left, top, right, bottom, XL_ATTR_BoundingBox);
  HP_Operator(pStream, XL_OP_RectanglePath);
}

// ---- Images and raster patterns --------------------------------------------

void HP_BeginImage(XlStream* pStream, const XlImageHeader& header) {
  ImageHeaderAttrs(pStream, header);
  HP_Operator(pStream, XL_OP_BeginImage);
}

void HP_ReadImage(XlStream* pStream, const XlImageBlock& block) { ImageBlock(pStream, block, XL_OP_ReadImage); }

void HP_EndImage(XlStream* pStream) { HP_Operator(pStream, XL_OP_EndImage); }

void HP_BeginRastPattern(XlStream* pStream, const XlImageHeader& header, SHORT patternDefineId, BYTE persistence) {
  ImageHeaderAttrs(pStream, header);
  SInt16Attr(pStream, patternDefineId, XL_ATTR_PatternDefineID);
  UByteAttr(pStream, persistence, XL_ATTR_PatternPersistence);
  HP_Operator(pStream, XL_OP_BeginRastPattern);
}

void HP_ReadRastPattern(XlStream* pStream, const XlImageBlock& block) {
  ImageBlock(pStream, block, XL_OP_ReadRastPattern);
}

void HP_EndRastPattern(XlStream* pStream) { HP_Operator(pStream, XL_OP_EndRastPattern); }
