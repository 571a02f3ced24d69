// Every operator emitter, read back through the independent PCL XL reader:
// the operator, its attributes by name with their types and values in the
// order written, and the embedded data.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "driver/pcl/printer_common/nt/pclxl/xlemit.h"
#include "tests/driver/pcl/printer_common/nt/pclxl/stream_recorder.h"
#include "tools/pclxl_reader/pclxl_reader.h"

namespace {

using namespace std::string_literals;
using k460::testing::StreamRecorder;
namespace xl = k460::pclxl;

struct EmitterCase {
  const char* name;
  std::function<void(XlStream*)> emit;
  const char* op;
  std::vector<std::string> attributes;
  std::optional<std::string> data;
};

const BYTE kFont[] = {'F', '1'};
const BYTE kArial[] = {'A', 'r', 'i', 'a', 'l'};
const BYTE kHi[] = {'H', 'i'};
const WORD kKana[] = {0x3042, 0x3044};
const SHORT kByteAdvances[] = {30, 255};
const SHORT kWideAdvance[] = {30, 256};
const SHORT kNegativeAdvance[] = {-1, 20};
const SHORT kLargeAdvance[] = {1000, 40};
const SHORT kYAdvances[] = {0, -5};
const BYTE kPalette[] = {0, 255};
const WORD kDashes[] = {10, 20};
const BYTE kPoints[] = {1, 0, 2, 0, 0xFF, 0xFF, 3, 0};
const std::string kImageData(300, '\x5A');
const XlImageHeader kImage{0, 0, 100, 50, 200, 100};

std::vector<EmitterCase> Cases() {
  XlImageBlock block{0, 50, 0, 4, reinterpret_cast<const BYTE*>(kImageData.data()),
                     static_cast<DWORD>(kImageData.size())};
  return {
      {"BeginSession", [](XlStream* s) { HP_BeginSession(s, 600, 600, 0, 3); }, "BeginSession",
       {"UnitsPerMeasure=uint16_xy(600, 600)", "Measure=ubyte(0)", "ErrorReport=ubyte(3)"}, {}},
      {"EndSession", HP_EndSession, "EndSession", {}, {}},
      {"BeginPage MediaSize", [](XlStream* s) { HP_BeginPage_MediaSize(s, 0, 2, 1); }, "BeginPage",
       {"Orientation=ubyte(0)", "MediaSize=ubyte(2)", "MediaSource=ubyte(1)"}, {}},
      {"BeginPage CustomMediaSize", [](XlStream* s) { HP_BeginPage_CustomMediaSize(s, 1, 210, 297, 1, 4); },
       "BeginPage",
       {"Orientation=ubyte(1)", "CustomMediaSize=uint16_xy(210, 297)", "CustomMediaSizeUnits=ubyte(1)",
        "MediaSource=ubyte(4)"},
       {}},
      {"EndPage", [](XlStream* s) { HP_EndPage(s, 3); }, "EndPage", {"PageCopies=uint16(3)"}, {}},
      {"OpenDataSource", [](XlStream* s) { HP_OpenDataSource(s, 0, 1); }, "OpenDataSource",
       {"SourceType=ubyte(0)", "DataOrg=ubyte(1)"}, {}},
      {"CloseDataSource", HP_CloseDataSource, "CloseDataSource", {}, {}},
      {"BeginFontHeader", [](XlStream* s) { HP_BeginFontHeader(s, kFont, 2, 0); }, "BeginFontHeader",
       {"FontName=ubyte_array[2] \"F1\"", "FontFormat=ubyte(0)"}, {}},
      {"ReadFontHeader", [](XlStream* s) { HP_ReadFontHeader(s, reinterpret_cast<const BYTE*>("HEAD1"), 5); },
       "ReadFontHeader", {"FontHeaderLength=uint16(5)"}, "HEAD1"},
      {"EndFontHeader", HP_EndFontHeader, "EndFontHeader", {}, {}},
      {"BeginChar", [](XlStream* s) { HP_BeginChar(s, kFont, 2); }, "BeginChar", {"FontName=ubyte_array[2] \"F1\""},
       {}},
      {"ReadChar", [](XlStream* s) { HP_ReadChar(s, 65, reinterpret_cast<const BYTE*>("\x01\x00\x02\x03"), 4); },
       "ReadChar", {"CharCode=uint16(65)", "CharDataSize=uint32(4)"}, "\x01\x00\x02\x03"s},
      {"EndChar", HP_EndChar, "EndChar", {}, {}},
      {"RemoveFont", [](XlStream* s) { HP_RemoveFont(s, kFont, 2); }, "RemoveFont", {"FontName=ubyte_array[2] \"F1\""},
       {}},
      {"SetCharAttributes", [](XlStream* s) { HP_SetCharAttributes(s, 1); }, "SetCharAttributes",
       {"WritingMode=ubyte(1)"}, {}},
      {"SetCharAngle", [](XlStream* s) { HP_SetCharAngle(s, -90); }, "SetCharAngle", {"CharAngle=sint16(-90)"}, {}},
      {"SetCharScale", [](XlStream* s) { HP_SetCharScale(s, 1.5f, 0.5f); }, "SetCharScale",
       {"CharScale=real32_xy(1.5, 0.5)"}, {}},
      {"SetCharShear sint16", [](XlStream* s) { HP_SetCharShear_SInt16(s, 1, -1); }, "SetCharShear",
       {"CharShear=sint16_xy(1, -1)"}, {}},
      {"SetCharShear real32", [](XlStream* s) { HP_SetCharShear_Real32(s, 0.25f, 0); }, "SetCharShear",
       {"CharShear=real32_xy(0.25, 0)"}, {}},
      {"SetCharBoldValue", [](XlStream* s) { HP_SetCharBoldValue(s, 0.125f); }, "SetCharBoldValue",
       {"CharBoldValue=real32(0.125)"}, {}},
      {"SetFont", [](XlStream* s) { HP_SetFont(s, kArial, 5, 12.5f, 629); }, "SetFont",
       {"FontName=ubyte_array[5] \"Arial\"", "CharSize=real32(12.5)", "SymbolSet=uint16(629)"}, {}},
      {"Text ubyte, byte advances", [](XlStream* s) { HP_Text_UByte(s, kHi, kByteAdvances, 2); }, "Text",
       {"TextData=ubyte_array[2] \"Hi\"", "XSpacingData=ubyte_array[2](30, 255)"}, {}},
      {"Text ubyte, advance of 256", [](XlStream* s) { HP_Text_UByte(s, kHi, kWideAdvance, 2); }, "Text",
       {"TextData=ubyte_array[2] \"Hi\"", "XSpacingData=sint16_array[2](30, 256)"}, {}},
      {"Text ubyte, negative advance", [](XlStream* s) { HP_Text_UByte(s, kHi, kNegativeAdvance, 2); }, "Text",
       {"TextData=ubyte_array[2] \"Hi\"", "XSpacingData=sint16_array[2](-1, 20)"}, {}},
      {"Text ubyte, empty", [](XlStream* s) { HP_Text_UByte(s, nullptr, nullptr, 0); }, "Text",
       {"TextData=ubyte_array[0]()", "XSpacingData=ubyte_array[0]()"}, {}},
      {"Text ubyte with Y", [](XlStream* s) { HP_Text_UByteXY(s, kHi, kByteAdvances, kYAdvances, 2); }, "Text",
       {"TextData=ubyte_array[2] \"Hi\"", "XSpacingData=sint16_array[2](30, 255)",
        "YSpacingData=sint16_array[2](0, -5)"},
       {}},
      {"Text uint16, byte advances", [](XlStream* s) { HP_Text_UInt16(s, kKana, kByteAdvances, 2); }, "Text",
       {"TextData=uint16_array[2](12354, 12356)", "XSpacingData=ubyte_array[2](30, 255)"}, {}},
      {"Text uint16, large advance", [](XlStream* s) { HP_Text_UInt16(s, kKana, kLargeAdvance, 2); }, "Text",
       {"TextData=uint16_array[2](12354, 12356)", "XSpacingData=sint16_array[2](1000, 40)"}, {}},
      {"Text uint16 with Y", [](XlStream* s) { HP_Text_UInt16XY(s, kKana, kLargeAdvance, kYAdvances, 2); }, "Text",
       {"TextData=uint16_array[2](12354, 12356)", "XSpacingData=sint16_array[2](1000, 40)",
        "YSpacingData=sint16_array[2](0, -5)"},
       {}},
      {"PopGS", HP_PopGS, "PopGS", {}, {}},
      {"PushGS", HP_PushGS, "PushGS", {}, {}},
      {"SetClipReplace", [](XlStream* s) { HP_SetClipReplace(s, 1); }, "SetClipReplace", {"ClipRegion=ubyte(1)"}, {}},
      {"SetClipRectangle", [](XlStream* s) { HP_SetClipRectangle(s, 0, -1, 100, 200, 0); }, "SetClipRectangle",
       {"BoundingBox=sint16_box(0, -1, 100, 200)", "ClipRegion=ubyte(0)"}, {}},
      {"SetClipToPage", HP_SetClipToPage, "SetClipToPage", {}, {}},
      {"SetClipMode", [](XlStream* s) { HP_SetClipMode(s, 1); }, "SetClipMode", {"ClipMode=ubyte(1)"}, {}},
      {"SetBrushSource gray", [](XlStream* s) { HP_SetBrushSource_GrayLevel(s, 128); }, "SetBrushSource",
       {"GrayLevel=ubyte(128)"}, {}},
      {"SetBrushSource none", HP_SetBrushSource_NullBrush, "SetBrushSource", {"NullBrush=ubyte(0)"}, {}},
      {"SetBrushSource pattern", [](XlStream* s) { HP_SetBrushSource_PatternSelectID(s, -3); }, "SetBrushSource",
       {"PatternSelectID=sint16(-3)"}, {}},
      {"SetPenSource gray", [](XlStream* s) { HP_SetPenSource_GrayLevel(s, 7); }, "SetPenSource",
       {"GrayLevel=ubyte(7)"}, {}},
      {"SetPenSource gray real32", [](XlStream* s) { HP_SetPenSource_GrayLevelReal32(s, 0.0f); }, "SetPenSource",
       {"GrayLevel=real32(0)"}, {}},
      {"SetPenSource none", HP_SetPenSource_NullPen, "SetPenSource", {"NullPen=ubyte(0)"}, {}},
      {"SetPenSource pattern", [](XlStream* s) { HP_SetPenSource_PatternSelectID(s, 7); }, "SetPenSource",
       {"PatternSelectID=sint16(7)"}, {}},
      {"SetColorSpace", [](XlStream* s) { HP_SetColorSpace(s, 1); }, "SetColorSpace", {"ColorSpace=ubyte(1)"}, {}},
      {"SetColorSpace palette", [](XlStream* s) { HP_SetColorSpace_PaletteData(s, 1, 0, kPalette, 2); },
       "SetColorSpace", {"ColorSpace=ubyte(1)", "PaletteDepth=ubyte(0)", "PaletteData=ubyte_array[2](0, 255)"}, {}},
      {"SetCursor", [](XlStream* s) { HP_SetCursor(s, 100, -100); }, "SetCursor", {"Point=sint16_xy(100, -100)"}, {}},
      {"SetCursorRel", [](XlStream* s) { HP_SetCursorRel(s, 5, 6); }, "SetCursorRel", {"Point=sint16_xy(5, 6)"}, {}},
      {"SetFillMode", [](XlStream* s) { HP_SetFillMode(s, 1); }, "SetFillMode", {"FillMode=ubyte(1)"}, {}},
      {"SetLineDash dashed", [](XlStream* s) { HP_SetLineDash_LineDashStyle(s, kDashes, 2); }, "SetLineDash",
       {"LineDashStyle=uint16_array[2](10, 20)"}, {}},
      {"SetLineDash solid", HP_SetLineDash_SolidLine, "SetLineDash", {"SolidLine=ubyte(0)"}, {}},
      {"SetLineCap", [](XlStream* s) { HP_SetLineCap(s, 2); }, "SetLineCap", {"LineCapStyle=ubyte(2)"}, {}},
      {"SetLineJoin", [](XlStream* s) { HP_SetLineJoin(s, 1); }, "SetLineJoin", {"LineJoinStyle=ubyte(1)"}, {}},
      {"SetMiterLimit", [](XlStream* s) { HP_SetMiterLimit(s, 10); }, "SetMiterLimit", {"MiterLength=uint16(10)"},
       {}},
      {"SetPageDefaultCTM", HP_SetPageDefaultCTM, "SetPageDefaultCTM", {}, {}},
      {"SetPageOrigin", [](XlStream* s) { HP_SetPageOrigin(s, 100, 100); }, "SetPageOrigin",
       {"PageOrigin=sint16_xy(100, 100)"}, {}},
      {"SetPageScale", [](XlStream* s) { HP_SetPageScale(s, 1.0f, 0.69475f); }, "SetPageScale",
       {"PageScale=real32_xy(1, 0.69475)"}, {}},
      {"SetPaintTxMode", [](XlStream* s) { HP_SetPaintTxMode(s, 1); }, "SetPaintTxMode", {"TxMode=ubyte(1)"}, {}},
      {"SetSourceTxMode", [](XlStream* s) { HP_SetSourceTxMode(s, 0); }, "SetSourceTxMode", {"TxMode=ubyte(0)"}, {}},
      {"SetPenWidth", [](XlStream* s) { HP_SetPenWidth(s, 2); }, "SetPenWidth", {"PenWidth=uint16(2)"}, {}},
      {"SetROP", [](XlStream* s) { HP_SetROP(s, 252); }, "SetROP", {"ROP3=ubyte(252)"}, {}},
      {"CloseSubPath", HP_CloseSubPath, "CloseSubPath", {}, {}},
      {"NewPath", HP_NewPath, "NewPath", {}, {}},
      {"PaintPath", HP_PaintPath, "PaintPath", {}, {}},
      {"BezierPath", [](XlStream* s) { HP_BezierPath(s, 1, 2, 3, 4, 5, 6); }, "BezierPath",
       {"ControlPoint1=sint16_xy(1, 2)", "ControlPoint2=sint16_xy(3, 4)", "EndPoint=sint16_xy(5, 6)"}, {}},
      {"LinePath", [](XlStream* s) { HP_LinePath(s, 7, -8); }, "LinePath", {"EndPoint=sint16_xy(7, -8)"}, {}},
      {"LineRelPath", [](XlStream* s) { HP_LineRelPath(s, 2, 3, kPoints, sizeof kPoints); }, "LineRelPath",
       {"NumberOfPoints=uint16(2)", "PointType=ubyte(3)"},
       std::string(reinterpret_cast<const char*>(kPoints), sizeof kPoints)},
      {"Rectangle", [](XlStream* s) { HP_Rectangle(s, 1, 2, 3, 4); }, "Rectangle",
       {"BoundingBox=sint16_box(1, 2, 3, 4)"}, {}},
      {"RectanglePath", [](XlStream* s) { HP_RectanglePath(s, 1, 2, 3, 4); }, "RectanglePath",
       {"BoundingBox=sint16_box(1, 2, 3, 4)"}, {}},
      {"BeginImage", [](XlStream* s) { HP_BeginImage(s, kImage); }, "BeginImage",
       {"ColorMapping=ubyte(0)", "ColorDepth=ubyte(0)", "SourceWidth=uint16(100)", "SourceHeight=uint16(50)",
        "DestinationSize=uint16_xy(200, 100)"},
       {}},
      {"ReadImage", [block](XlStream* s) { HP_ReadImage(s, block); }, "ReadImage",
       {"StartLine=uint16(0)", "BlockHeight=uint16(50)", "CompressMode=ubyte(0)", "PadBytesMultiple=ubyte(4)",
        "BlockByteLength=uint32(300)"},
       kImageData},
      {"EndImage", HP_EndImage, "EndImage", {}, {}},
      {"BeginRastPattern", [](XlStream* s) { HP_BeginRastPattern(s, kImage, 5, 1); }, "BeginRastPattern",
       {"ColorMapping=ubyte(0)", "ColorDepth=ubyte(0)", "SourceWidth=uint16(100)", "SourceHeight=uint16(50)",
        "DestinationSize=uint16_xy(200, 100)", "PatternDefineID=sint16(5)", "PatternPersistence=ubyte(1)"},
       {}},
      {"ReadRastPattern", [block](XlStream* s) { HP_ReadRastPattern(s, block); }, "ReadRastPattern",
       {"StartLine=uint16(0)", "BlockHeight=uint16(50)", "CompressMode=ubyte(0)", "PadBytesMultiple=ubyte(4)",
        "BlockByteLength=uint32(300)"},
       kImageData},
      {"EndRastPattern", HP_EndRastPattern, "EndRastPattern", {}, {}},
  };
}

TEST(XlEmitters, EachReadsBackAsItsOperatorWithItsAttributes) {
  for (const EmitterCase& c : Cases()) {
    StreamRecorder rec;
    HP_StreamHeader(rec.stream(), 2, 0, "", 0);
    c.emit(rec.stream());
    ASSERT_EQ(rec.stream()->sError, XL_OK) << c.name;
    std::string bytes = rec.Bytes();

    xl::Job job = xl::ParseJob(bytes);
    ASSERT_FALSE(job.error) << c.name << ": " << xl::FormatError(*job.error);
    ASSERT_EQ(job.items.size(), 2u) << c.name;
    const auto* op = std::get_if<xl::Operator>(&job.items[1]);
    ASSERT_NE(op, nullptr) << c.name;
    EXPECT_EQ(xl::OperatorName(op->code), c.op) << c.name;
    std::vector<std::string> attributes;
    for (const xl::Attribute& a : op->attributes) {
      attributes.push_back(std::string(xl::AttributeName(a.id)) + "=" + xl::FormatValue(a.value));
    }
    EXPECT_EQ(attributes, c.attributes) << c.name;
    EXPECT_EQ(op->hasData, c.data.has_value()) << c.name;
    if (c.data) {
      EXPECT_EQ(bytes.substr(op->dataOffset, op->dataLength), *c.data) << c.name;
    }
  }
}

TEST(XlEmitters, AnEmptyAdvanceListIsAnEmptyUByteArray) {
  StreamRecorder rec;
  HP_Text_UByte(rec.stream(), nullptr, nullptr, 0);
  EXPECT_EQ(rec.Bytes(), "\xC8\xC1\x00\x00\xF8\xAB" "\xC8\xC1\x00\x00\xF8\xAF" "\xA8"s);
}

TEST(XlEmitters, AdvancesWithoutDataStopTheStream) {
  StreamRecorder rec;
  HP_Text_UByte(rec.stream(), kHi, nullptr, 2);
  EXPECT_EQ(rec.stream()->sError, XL_ERROR_ARGUMENT);
}

}  // namespace
