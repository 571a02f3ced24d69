// Where the compiler cannot say it: that typed fields land in the stored
// bytes at the tabled offsets in little-endian order, and nowhere else.
#include <gtest/gtest.h>

#include <functional>

#include "tests/driver/pcl/printer_common/settings/byte_image.h"
#include "tests/driver/pcl/printer_common/settings/settings_test_support.h"

namespace {

using namespace settings_test;

template <typename Record>
std::vector<std::uint8_t> BytesOf(const Record& record) {
  const auto* p = reinterpret_cast<const std::uint8_t*>(&record);
  return std::vector<std::uint8_t>(p, p + sizeof record);
}

TEST(LayoutTest, JobSettingsFieldsLandAtTheirTabledBytes) {
  struct Case {
    const char* field;
    std::function<void(JobSettings&)> set;
    std::function<void(ByteImage&)> expect;
  } cases[] = {
      {"dmPaperSize", [](JobSettings& r) { LeSet(r.dm.dmPaperSize, 0x0102); }, [](ByteImage& i) { i.U16(78, 0x0102); }},
      {"dmFields", [](JobSettings& r) { LeSet(r.dm.dmFields, 0x00015F0F); }, [](ByteImage& i) { i.U32(72, 0x00015F0F); }},
      {"pvSignature", [](JobSettings& r) { r.pv.pvSignature = kPrivSignature; },
       [](ByteImage& i) { i.U8(220, 'P').U8(221, 'R').U8(222, 'I').U8(223, 'V'); }},
      {"pvOutputBin", [](JobSettings& r) { r.pv.pvOutputBin = kBinFinisherLower; }, [](ByteImage& i) { i.U32(244, 1317); }},
      {"pvPresetName", [](JobSettings& r) { StoreText(r.pv.pvPresetName, 16, u"Ab"); },
       [](ByteImage& i) { i.Text(252, u"Ab"); }},
      {"pvWatermark.bItalic", [](JobSettings& r) { r.pv.pvWatermark.bItalic = 1; }, [](ByteImage& i) { i.U8(444 + 316, 1); }},
      {"pvWatermark.lOffsetY", [](JobSettings& r) { r.pv.pvWatermark.lOffsetY = -97; },
       [](ByteImage& i) { i.U32(444 + 332, static_cast<std::uint32_t>(-97)); }},
      {"pvWatermark.alAdvance[30]", [](JobSettings& r) { r.pv.pvWatermark.alAdvance[30] = 0x01020304; },
       [](ByteImage& i) { i.U32(904, 0x01020304); }},
      {"pvWatermarkSin", [](JobSettings& r) { r.pv.pvWatermarkSin = 0.5f; }, [](ByteImage& i) { i.F32(908, 0.5f); }},
      {"pvStapleMarginBack", [](JobSettings& r) { r.pv.pvStapleMarginBack = 1.25f; }, [](ByteImage& i) { i.F32(952, 1.25f); }},
      {"sReserved1162", [](JobSettings& r) { r.pv.sReserved1162 = -1; }, [](ByteImage& i) { i.U16(1162, 0xFFFF); }},
      {"pvCustomPapers[39].fLength", [](JobSettings& r) { r.pv.pvCustomPapers[39].fLength = 148.0f; },
       [](ByteImage& i) { i.F32(1188 + 39 * 56 + 48, 148.0f); }},
      {"pvCustomPapers[49].lUnit", [](JobSettings& r) { r.pv.pvCustomPapers[49].lUnit = kUnitMillimetre; },
       [](ByteImage& i) { i.U32(3984, 2); }},
      {"pvDensity", [](JobSettings& r) { r.pv.pvDensity = -50; },
       [](ByteImage& i) { i.U32(3988, static_cast<std::uint32_t>(-50)); }},
      {"pvCustomMinimum[3]", [](JobSettings& r) { r.pv.pvCustomMinimum[3] = 8.5f; }, [](ByteImage& i) { i.F32(4004, 8.5f); }},
      {"pvForceDuplexField", [](JobSettings& r) { r.pv.pvForceDuplexField = 0xABCD; }, [](ByteImage& i) { i.U16(4040, 0xABCD); }},
      {"pvDuplex", [](JobSettings& r) { r.pv.pvDuplex = kDuplexSideEdge; }, [](ByteImage& i) { i.U16(4042, 3); }},
  };
  for (const Case& c : cases) {
    JobSettings record;
    std::memset(&record, 0, sizeof record);
    c.set(record);
    ByteImage expected(sizeof record);
    c.expect(expected);
    EXPECT_EQ(BytesOf(record), expected.bytes()) << c.field;
  }
}

TEST(LayoutTest, PrinterDataAndWatermarkListRecords) {
  PrinterDataRecord data;
  std::memset(&data, 0, sizeof data);
  data.wVersion = kPrinterDataVersion;
  data.wSize = kPrinterDataSize;
  data.js.pv.pvFinisher = 1;
  EXPECT_EQ(BytesOf(data), ByteImage(4080).U16(0, 0x0500).U16(2, 4080).U32(4 + 936, 1).bytes());

  WatermarkListEntry entry;
  std::memset(&entry, 0, sizeof entry);
  StoreText(entry.szText, 31, u"T");
  entry.lShading = 4;
  entry.lAngleMode = 2;
  entry.fOffsetX = -1.5f;
  entry.fOffsetY = 2.0f;
  EXPECT_EQ(BytesOf(entry),
            ByteImage(368).Text(62, u"T").U32(124, 4).U32(344, 2).F32(352, -1.5f).F32(356, 2.0f).bytes());
}

TEST(LayoutTest, LittleEndianValuesReadBackWhatWasStored) {
  const BYTE bytes[] = {0x01, 0x02, 0x03, 0x04};
  EXPECT_EQ(LoadLe<std::uint32_t>(bytes), 0x04030201u);
  EXPECT_EQ(LoadLe<std::int16_t>(bytes + 2), 0x0403);
  LeFloat f;
  f = -0.0625f;
  EXPECT_EQ(f.value(), -0.0625f);
  LeInt16 s;
  s = -2;
  EXPECT_EQ(static_cast<int>(s), -2);
}

TEST(StringsTest, CopyBoundedStringCopiesAtMostCapacityLessOneAndZeroFills) {
  struct Case {
    const char16_t* source;
    std::size_t capacity;
    std::u16string expected;  // the whole destination afterwards (8 units)
  } cases[] = {
      {u"abcdef", 3, std::u16string(u"ab\0xxxxx", 8)},
      {u"ab", 6, std::u16string(u"ab\0\0\0\0xx", 8)},
      {u"abc", 0, std::u16string(u"xxxxxxxx", 8)},
      {nullptr, 4, std::u16string(u"\0\0\0\0xxxx", 8)},
      {u"abcdefghij", 8, std::u16string(u"abcdefg\0", 8)},
  };
  for (const Case& c : cases) {
    char16_t dest[8];
    std::fill(std::begin(dest), std::end(dest), u'x');
    CopyBoundedString(dest, c.source, c.capacity);
    EXPECT_EQ(std::u16string(dest, 8), c.expected) << c.capacity;
  }
}

TEST(StringsTest, LoadTextStopsAtTheCapacityOfAnUnterminatedField) {
  const char16_t field[4] = {u'a', u'b', u'c', u'd'};
  EXPECT_EQ(LoadText(field, 4), u"abcd");
  EXPECT_EQ(LoadText(field, 2), u"ab");
}

}  // namespace
