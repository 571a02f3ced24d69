// The PCL XL reader on hand-made jobs: every data type of class 2.0, both
// attribute and data length forms, the PJL frame, and a table of malformed
// streams with the offset each must be reported at.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/pclxl_reader/pclxl_reader.h"

namespace k460::pclxl {
namespace {

using namespace std::string_literals;

const std::string kUel = "\x1B%-12345X";
const std::string kHeader = ") HP-PCL XL;2;0;Comment test\n";

std::vector<std::string> Lines(const Job& job) {
  std::vector<std::string> lines;
  for (const Item& item : job.items) lines.push_back(FormatItem(item));
  return lines;
}

TEST(PclXlReader, ReadsAWholeJobWithEveryDataType) {
  std::string job = kUel + "@PJL SET DUPLEX = OFF\r\n@PJL SET COPIES = 2\n@PJL ENTER LANGUAGE=PCLXL\n" + kHeader;
  job +=
      // BeginSession with a uint16_xy, a ubyte and an identifier in the uint16 form.
      "\xD1\x58\x02\x58\x02\xF8\x89"  "\xC0\x00\xF8\x86"  "\xC0\x03\xF9\x8F\x00"  "\x41"s +
      // Whitespace between tokens is skipped.
      " \r\n\t"s +
      // Scalars: uint32, sint16, sint32, real32 (1.0 and -2.5).
      "\xC2\x78\x56\x34\x12\xF8\x6F"  "\xC3\xFE\xFF\xF8\x08"  "\xC4\xFF\xFF\xFF\xFF\xF8\x43"
      "\xC5\x00\x00\x80\x3F\xF8\xA6"  "\xC5\x00\x00\x20\xC0\xF8\xB1"  "\x60"s +
      // Arrays with a ubyte length and with a uint16 length.
      "\xC8\xC0\x03" "Ari\xF8\xA8"  "\xC9\xC1\x02\x00\x01\x00\xFF\xFF\xF8\x4A"  "\xCA\xC0\x01\x01\x00\x00\x80\xF8\x0E"
      "\xCB\xC0\x02\xFF\xFF\x02\x00\xF8\xAF"  "\xCC\xC0\x01\xFE\xFF\xFF\xFF\xF8\xB0"
      "\xCD\xC0\x01\x00\x00\x00\x3F\xF8\x0B"  "\x61"s +
      // Pairs of every element type.
      "\xD0\x01\x02\xF8\x4C"  "\xD2\x01\x00\x00\x00\x02\x00\x00\x00\xF8\x0C"  "\xD3\xFF\xFF\x05\x00\xF8\x2A"
      "\xD4\xFF\xFF\xFF\xFF\x01\x00\x00\x00\xF8\x45"  "\xD5\x00\x00\x80\x3F\x00\x00\x00\x40\xF8\x2B"  "\x6B"s +
      // Boxes of every element type.
      "\xE0\x01\x02\x03\x04\xF8\x42"  "\xE1\x01\x00\x02\x00\x03\x00\x04\x00\xF8\x66"
      "\xE2\x01\x00\x00\x00\x02\x00\x00\x00\x03\x00\x00\x00\x04\x00\x00\x00\xF8\x44"  "\xA0"s +
      "\xE3\xFF\xFF\x02\x00\x03\x00\x04\x00\xF8\x42"  "\xA1"s +
      "\xE4\xFF\xFF\xFF\xFF\x00\x00\x00\x00\x01\x00\x00\x00\x02\x00\x00\x00\xF8\x42"  "\xA1"s +
      "\xE5\x00\x00\x80\x3F\x00\x00\x00\x40\x00\x00\x40\x40\x00\x00\x80\x40\xF8\x42"  "\xA1"s +
      // Embedded data with a uint32 length and with a byte length.
      "\xB1\xFA\x03\x00\x00\x00xyz"  "\xB4\xFB\x02hi"  "\x42"s + kUel + "@PJL EOJ\r\n";

  Job parsed = ParseJob(job);
  ASSERT_FALSE(parsed.error) << FormatError(*parsed.error);
  std::vector<std::string> expected = {
      "       0  UEL",
      "       9  PJL @PJL SET DUPLEX = OFF",
      "      32  PJL @PJL SET COPIES = 2",
      "      52  PJL @PJL ENTER LANGUAGE=PCLXL",
      "      78  HEADER ) HP-PCL XL class 2.0 comment \"Comment test\"",
      "     123  BeginSession UnitsPerMeasure=uint16_xy(600, 600) Measure=ubyte(0) ErrorReport=ubyte(3)",
      "     161  PopGS BlockByteLength=uint32(305419896) PatternSelectID=sint16(-2) DashOffset=sint32(-1) "
      "CharSize=real32(1) CharBoldValue=real32(-2.5)",
      "     216  PushGS FontName=ubyte_array[3] \"Ari\" LineDashStyle=uint16_array[2](1, 65535) "
      "PrimaryArray=uint32_array[1](2147483649) XSpacingData=sint16_array[2](-1, 2) "
      "YSpacingData=sint32_array[1](-2) RGBColor=real32_array[1](0.5)",
      "     262  SetCursor Point=ubyte_xy(1, 2) PatternOrigin=uint32_xy(1, 2) PageOrigin=sint16_xy(-1, 5) "
      "EndPoint=sint32_xy(-1, 1) PageScale=real32_xy(1, 2)",
      "     300  Rectangle BoundingBox=ubyte_box(1, 2, 3, 4) DestinationBox=uint16_box(1, 2, 3, 4) "
      "EllipseDimension=uint32_box(1, 2, 3, 4)",
      "     312  RectanglePath BoundingBox=sint16_box(-1, 2, 3, 4)",
      "     332  RectanglePath BoundingBox=sint32_box(-1, 0, 1, 2)",
      "     352  RectanglePath BoundingBox=real32_box(1, 2, 3, 4)",
      "     353  ReadImage data[3]",
      "     362  ReadRastPattern data[2]",
      "     367  EndSession",
      "     368  UEL",
      "     377  PJL @PJL EOJ",
  };
  EXPECT_EQ(Lines(parsed), expected);

  const auto& readImage = std::get<Operator>(parsed.items[13]);
  EXPECT_EQ(job.substr(readImage.dataOffset, readImage.dataLength), "xyz");
  const auto& header = std::get<StreamHeader>(parsed.items[4]);
  EXPECT_EQ(header.protocolClass, 2u);
  EXPECT_EQ(header.revision, 0u);
}

TEST(PclXlReader, ReadsABareStreamAndLongArraysInFull) {
  std::string stream = kHeader + "\xC8\xC1\x14\x00"s + std::string(20, '\x01') + "\xF8\xAB\xA8";
  Job parsed = ParseJob(stream);
  ASSERT_FALSE(parsed.error) << FormatError(*parsed.error);
  ASSERT_EQ(parsed.items.size(), 2u);
  const auto& text = std::get<Operator>(parsed.items[1]);
  ASSERT_EQ(text.attributes.size(), 1u);
  EXPECT_EQ(text.attributes[0].value.numbers.size(), 20u);
  EXPECT_EQ(FormatItem(parsed.items[1]),
            "      55  Text TextData=ubyte_array[20](1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, ... 4 more)");
}

struct MalformedCase {
  const char* name;
  std::string stream;  // binary part, behind the stream header
  ErrorKind kind;
  std::size_t offset;  // within the binary part
};

void PrintTo(const MalformedCase& c, std::ostream* os) { *os << c.name; }

class PclXlReaderMalformed : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(PclXlReaderMalformed, ReportsKindAndOffset) {
  const MalformedCase& c = GetParam();
  Job parsed = ParseJob(kHeader + c.stream);
  ASSERT_TRUE(parsed.error);
  EXPECT_EQ(parsed.error->kind, c.kind) << FormatError(*parsed.error);
  EXPECT_EQ(parsed.error->offset, kHeader.size() + c.offset) << FormatError(*parsed.error);
}

INSTANTIATE_TEST_SUITE_P(
    Streams, PclXlReaderMalformed,
    ::testing::Values(
        MalformedCase{"UnknownOperator", "\x42\x45"s, ErrorKind::UnknownTag, 1},
        MalformedCase{"UnknownDataType", "\xC6\x00\xF8\x03\x6A"s, ErrorKind::UnknownTag, 0},
        MalformedCase{"StrayEscape", "\x42\x1B%-1234"s, ErrorKind::UnknownTag, 1},
        MalformedCase{"UnknownAttribute", "\xC0\x01\xF8\x07\x6A"s, ErrorKind::UnknownAttribute, 2},
        MalformedCase{"TruncatedScalar", "\x42\xC1\x34"s, ErrorKind::TruncatedValue, 1},
        MalformedCase{"TruncatedReal32XY", "\xD5\x00\x00\x80\x3F\x00\x00\x00"s, ErrorKind::TruncatedValue, 0},
        MalformedCase{"TruncatedArrayBody", "\xC8\xC1\x05\x00\x01\x02"s, ErrorKind::TruncatedValue, 0},
        MalformedCase{"TruncatedArrayLength", "\xC9\xC1\x05"s, ErrorKind::TruncatedValue, 0},
        MalformedCase{"TruncatedIdentifier", "\xC0\x01\xF8"s, ErrorKind::TruncatedValue, 2},
        MalformedCase{"TruncatedDataLength", "\xB1\xFA\x01\x00"s, ErrorKind::TruncatedValue, 1},
        MalformedCase{"AttributeWithoutValue", "\xF8\x03\x6A"s, ErrorKind::AttributeWithoutValue, 0},
        MalformedCase{"SecondAttributeWithoutValue", "\xC0\x01\xF8\x03\xF8\x02\x6A"s,
                      ErrorKind::AttributeWithoutValue, 4},
        MalformedCase{"ValueBeforeValue", "\xC0\x01\xC0\x02\xF8\x03\x6A"s, ErrorKind::ValueWithoutAttribute, 0},
        MalformedCase{"ValueBeforeOperator", "\x41\xC0\x01\x6A"s, ErrorKind::ValueWithoutAttribute, 1},
        MalformedCase{"AttributesAtTheEnd", "\x41\xC0\x01\xF8\x03"s, ErrorKind::AttributesWithoutOperator, 3},
        MalformedCase{"ArrayLengthNotUByteOrUInt16", "\xC8\xC2\x01\x00\x00\x00\x41\xF8\xAB\xA8"s,
                      ErrorKind::BadArrayLength, 1},
        MalformedCase{"DataFirst", "\xFA\x00\x00\x00\x00"s, ErrorKind::DataWithoutOperator, 0},
        MalformedCase{"DataTwice", "\xB1\xFB\x01x\xFB\x01y"s, ErrorKind::DataWithoutOperator, 4},
        MalformedCase{"DataAfterAttributes", "\xB1\xC0\x01\xF8\x03\xFB\x00"s, ErrorKind::DataWithoutOperator, 5},
        MalformedCase{"DataPastTheEnd", "\x41\xB1\xFA\x10\x00\x00\x00\x01\x02"s, ErrorKind::DataPastEnd, 2},
        MalformedCase{"ByteDataPastTheEnd", "\xB4\xFB\x05xy"s, ErrorKind::DataPastEnd, 1},
        MalformedCase{"HugeDataLength", "\xB1\xFA\xFF\xFF\xFF\xFF"s, ErrorKind::DataPastEnd, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PclXlReader, ReportsABrokenFrame) {
  struct Case {
    std::string job;
    ErrorKind kind;
    std::size_t offset;
  } cases[] = {
      {kUel + "hello", ErrorKind::UnexpectedText, 9},
      {kUel + "@PJL ENTER LANGUAGE=PCLXL\r\n\x41", ErrorKind::BadHeader, 36},
      {") HP-PCL XL;x;0;Comment\n", ErrorKind::BadHeader, 0},
      {") HP-PCL XL;2\n", ErrorKind::BadHeader, 0},
      {") HP-PCL XL;2;0;no line end", ErrorKind::BadHeader, 0},
      {"( HP-PCL XL;2;0;\n", ErrorKind::UnsupportedBinding, 0},
      {kUel + "@PJL enter language = pclxl\n' HP-PCL XL;2;0\n", ErrorKind::UnsupportedBinding, 37},
  };
  for (const Case& c : cases) {
    Job parsed = ParseJob(c.job);
    ASSERT_TRUE(parsed.error) << c.job;
    EXPECT_EQ(parsed.error->kind, c.kind) << FormatError(*parsed.error);
    EXPECT_EQ(parsed.error->offset, c.offset) << FormatError(*parsed.error);
  }
}

TEST(PclXlReader, KeepsWhatItReadBeforeAnError) {
  Job parsed = ParseJob(kUel + "@PJL ENTER LANGUAGE=PCLXL\n" + kHeader + "\x41\x42\x45");
  ASSERT_TRUE(parsed.error);
  EXPECT_EQ(parsed.items.size(), 5u);
  EXPECT_EQ(FormatError(*parsed.error),
            "malformed PCL XL job at byte 66: unknown tag (unknown tag 0x45)");
}

}  // namespace
}  // namespace k460::pclxl
