// The stream writer: creation, the wire form of each data type, the space
// rule at the end of the buffer, the per-operator flush, and the rule that a
// stream stops for good at its first error.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "driver/pcl/printer_common/nt/pclxl/xlemit.h"
#include "tests/driver/pcl/printer_common/nt/pclxl/stream_recorder.h"
#include "tests/support/machine_fixture.h"

namespace {

using namespace std::string_literals;
using k460::testing::StreamRecorder;

void Ignore(XlStream*, void*, BYTE*, DWORD) {}

class XlStreamTest : public k460::testing::MachineTest {};

TEST_F(XlStreamTest, CreationRefusesBadArgumentsAndFailedAllocations) {
  struct Case {
    DWORD size;
    XlFlushCallback callback;
    int failAllocation;  // which LocalAlloc fails (0: none)
    DWORD error;
  } cases[] = {
      {4096, nullptr, 0, ERROR_INVALID_PARAMETER},
      {0, Ignore, 0, ERROR_INVALID_PARAMETER},
      {3, Ignore, 0, ERROR_INVALID_PARAMETER},  // no room for a 4-byte value
      {4096, Ignore, 1, ERROR_NOT_ENOUGH_MEMORY},
      {4096, Ignore, 2, ERROR_NOT_ENOUGH_MEMORY},  // the record is freed again
  };
  for (const Case& c : cases) {
    k460::ClearFaults();
    if (c.failAllocation) k460::InjectFault("LocalAlloc", c.failAllocation - 1, 1, ERROR_NOT_ENOUGH_MEMORY);
    SetLastError(0);
    EXPECT_EQ(HP_NewStream(c.size, c.callback, nullptr), nullptr) << c.size;
    EXPECT_EQ(GetLastError(), c.error) << c.size;
  }
  k460::ClearFaults();
  XlStream* stream = HP_NewStream(4, Ignore, nullptr);
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(stream->sError, XL_OK);
  EXPECT_EQ(stream->staging.cbStaged, 0);
  EXPECT_EQ(stream->staging.abData[999], 0);
  HP_CloseStream(stream);
}

struct EncodingCase {
  const char* name;
  std::function<void(XlStream*)> write;
  std::string bytes;
};

const WORD kWords[] = {0x0141, 0xFF02};
const SHORT kShorts[] = {-2, 300};
const BYTE kBytes[] = {'A', 'B', 'C'};

TEST_F(XlStreamTest, EachWriterPutsTagAndPayloadLowByteFirst) {
  const EncodingCase cases[] = {
      {"ubyte", [](XlStream* s) { HP_UByte(s, 0x7F); }, "\xC0\x7F"s},
      {"uint16", [](XlStream* s) { HP_UInt16(s, 0x1234); }, "\xC1\x34\x12"s},
      {"uint32", [](XlStream* s) { HP_UInt32(s, 0x12345678); }, "\xC2\x78\x56\x34\x12"s},
      {"sint16", [](XlStream* s) { HP_SInt16(s, -2); }, "\xC3\xFE\xFF"s},
      {"real32 1.0", [](XlStream* s) { HP_Real32(s, 1.0f); }, "\xC5\x00\x00\x80\x3F"s},
      {"real32 -2.5", [](XlStream* s) { HP_Real32(s, -2.5f); }, "\xC5\x00\x00\x20\xC0"s},
      {"ubyte_array", [](XlStream* s) { HP_UByteArray(s, kBytes, 3); }, "\xC8\xC1\x03\x00" "ABC"s},
      {"empty ubyte_array", [](XlStream* s) { HP_UByteArray(s, nullptr, 0); }, "\xC8\xC1\x00\x00"s},
      {"uint16_array", [](XlStream* s) { HP_UInt16Array(s, kWords, 2); }, "\xC9\xC1\x02\x00\x41\x01\x02\xFF"s},
      {"sint16_array", [](XlStream* s) { HP_SInt16Array(s, kShorts, 2); }, "\xCB\xC1\x02\x00\xFE\xFF\x2C\x01"s},
      {"ubyte_array of low bytes", [](XlStream* s) { HP_UByteArrayFromWords(s, kWords, 2); },
       "\xC8\xC1\x02\x00\x41\x02"s},
      {"uint16_xy", [](XlStream* s) { HP_UInt16XY(s, 600, 1200); }, "\xD1\x58\x02\xB0\x04"s},
      {"sint16_xy", [](XlStream* s) { HP_SInt16XY(s, -1, 2); }, "\xD3\xFF\xFF\x02\x00"s},
      {"real32_xy", [](XlStream* s) { HP_Real32XY(s, 1.0f, 0.5f); }, "\xD5\x00\x00\x80\x3F\x00\x00\x00\x3F"s},
      {"sint16_box", [](XlStream* s) { HP_SInt16Box(s, 1, -2, 3, 4); },
       "\xE3\x01\x00\xFE\xFF\x03\x00\x04\x00"s},
      {"attribute", [](XlStream* s) { HP_Attribute(s, 0x89); }, "\xF8\x89"s},
      {"embedded data", [](XlStream* s) { HP_EmbeddedData(s, kBytes, 3); }, "\xFA\x03\x00\x00\x00" "ABC"s},
      {"embedded words", [](XlStream* s) { HP_EmbeddedWords(s, kWords, 2); },
       "\xFA\x04\x00\x00\x00\x41\x01\x02\xFF"s},
      {"raw bytes", [](XlStream* s) { HP_RawBytes(s, "\x1B%-12345X", 9); }, "\x1B%-12345X"s},
      {"stream header", [](XlStream* s) { HP_StreamHeader(s, 2, 0, " K460", 5); },
       ") HP-PCL XL;2;0;Comment K460\n"s},
  };
  for (const EncodingCase& c : cases) {
    StreamRecorder rec;
    c.write(rec.stream());
    EXPECT_EQ(rec.Bytes(), c.bytes) << c.name;
    EXPECT_EQ(rec.stream()->cbTotal, c.bytes.size()) << c.name;
    EXPECT_EQ(rec.stream()->sError, XL_OK) << c.name;
    EXPECT_TRUE(rec.flushes().empty()) << c.name;
  }
}

// Fills the buffer with `used` raw bytes.
void Prefill(XlStream* s, DWORD used) {
  std::string filler(used, '.');
  HP_RawBytes(s, filler.data(), used);
  ASSERT_EQ(s->cbUsed, used);
}

TEST_F(XlStreamTest, AMultiByteValueNeverStraddlesTwoFlushes) {
  struct Case {
    const char* name;
    DWORD prefill;
    std::function<void(XlStream*)> write;
    DWORD firstFlush;  // bytes of the flush the value forced
    BYTE lastFlushed;  // the byte that ends it
    DWORD leftInBuffer;
  } cases[] = {
      // The tag fits at byte 4092, the 4 value bytes do not: the tag leaves alone.
      {"uint32 at 4093", 4092, [](XlStream* s) { HP_UInt32(s, 7); }, 4093, 0xC2, 4},
      {"uint32 that fits", 4091, [](XlStream* s) { HP_UInt32(s, 7); }, 0, 0, 0},
      {"sint16 at 4095", 4094, [](XlStream* s) { HP_SInt16(s, 7); }, 4095, 0xC3, 2},
      {"tag with a full buffer", 4096, [](XlStream* s) { HP_UByte(s, 7); }, 4096, '.', 2},
      {"second half of a pair", 4090, [](XlStream* s) { HP_Real32XY(s, 1, 2); }, 4095, 0x3F, 4},
      {"array length", 4094, [](XlStream* s) { HP_UByteArray(s, kBytes, 3); }, 4096, 0xC1, 5},
      {"uint16 element at 4095", 4090, [](XlStream* s) { HP_UInt16Array(s, kWords, 2); }, 4096, 0x01, 2},
  };
  for (const Case& c : cases) {
    StreamRecorder rec;
    Prefill(rec.stream(), c.prefill);
    std::string before = rec.Bytes();
    c.write(rec.stream());
    if (c.firstFlush == 0) {
      EXPECT_TRUE(rec.flushes().empty()) << c.name;
      continue;
    }
    ASSERT_EQ(rec.flushes().size(), 1u) << c.name;
    EXPECT_EQ(rec.flushes()[0].size(), c.firstFlush) << c.name;
    EXPECT_EQ(static_cast<BYTE>(rec.flushes()[0].back()), c.lastFlushed) << c.name;
    EXPECT_EQ(rec.stream()->cbUsed, c.leftInBuffer) << c.name;
  }
}

TEST_F(XlStreamTest, LongValuesCrossFlushesWholeAndInOrder) {
  // A 64-byte buffer against a 1 MiB one: the same bytes in the same order.
  std::vector<WORD> words(5000);
  for (std::size_t i = 0; i < words.size(); ++i) words[i] = static_cast<WORD>(i * 7919);
  std::string data(10000, '\0');
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 31);

  StreamRecorder small(64), big(1 << 20);
  for (StreamRecorder* rec : {&small, &big}) {
    HP_RawBytes(rec->stream(), "x", 1);
    HP_UInt16Array(rec->stream(), words.data(), static_cast<DWORD>(words.size()));
    HP_EmbeddedData(rec->stream(), data.data(), static_cast<DWORD>(data.size()));
    HP_EmbeddedWords(rec->stream(), words.data(), static_cast<DWORD>(words.size()));
  }
  EXPECT_EQ(small.Bytes(), big.Bytes());
  EXPECT_EQ(small.stream()->cbTotal, big.stream()->cbTotal);
  // The array's elements start at byte 5, so the first flush stops at 63
  // rather than split an element; none goes past the buffer.
  ASSERT_GT(small.flushes().size(), 3u);
  EXPECT_EQ(small.flushes()[0].size(), 63u);
  for (const std::string& flush : small.flushes()) EXPECT_LE(flush.size(), 64u);
}

TEST_F(XlStreamTest, DirectModeFlushesAfterEveryOperatorAndStoreModeCollects) {
  StreamRecorder direct(4096, false), store(4096, true);
  for (StreamRecorder* rec : {&direct, &store}) {
    HP_RawBytes(rec->stream(), "\x1B%-12345X", 9);
    HP_SetCursor(rec->stream(), 1, 2);
    HP_NewPath(rec->stream());
    HP_EmbeddedData(rec->stream(), kBytes, 3);
  }
  ASSERT_EQ(direct.flushes().size(), 2u);
  EXPECT_EQ(direct.flushes()[0], "\x1B%-12345X\xD3\x01\x00\x02\x00\xF8\x4C\x6B"s);
  EXPECT_EQ(direct.flushes()[1], "\x85"s);
  EXPECT_EQ(direct.stream()->cbUsed, 8u);  // the data waits for the next operator
  EXPECT_TRUE(store.flushes().empty());
  EXPECT_EQ(store.Bytes(), direct.Bytes());
}

TEST_F(XlStreamTest, CloseFlushesOnceAndAnswersTheTotal) {
  std::vector<std::string> flushes;
  auto record = [](XlStream* s, void* user, BYTE* buffer, DWORD used) {
    static_cast<std::vector<std::string>*>(user)->emplace_back(reinterpret_cast<char*>(buffer), used);
    s->cbUsed = 0;
  };
  XlStream* stream = HP_NewStream(16, record, &flushes);
  ASSERT_NE(stream, nullptr);
  stream->devParams.bBooklet = TRUE;
  std::string text(40, 'p');
  HP_RawBytes(stream, text.data(), 40);
  HP_FlushStream(stream);
  HP_PopGS(stream);
  EXPECT_EQ(stream->cbTotal, 41u);
  EXPECT_EQ(HP_CloseStream(stream), 41u);
  ASSERT_EQ(flushes.size(), 4u);
  EXPECT_EQ(flushes[2], "pppppppp");  // the explicit flush
  EXPECT_EQ(flushes[3], "\x60");      // the close
  EXPECT_EQ(HP_CloseStream(nullptr), 0u);
}

TEST_F(XlStreamTest, TheFirstErrorStopsEveryLaterWrite) {
  struct Case {
    const char* name;
    std::function<void(XlStream*)> fault;
    SHORT error;
  } cases[] = {
      {"operator 0x45", [](XlStream* s) { HP_Operator(s, 0x45); }, XL_ERROR_OPERATOR},
      {"operator 0x83", [](XlStream* s) { HP_Operator(s, 0x83); }, XL_ERROR_OPERATOR},
      {"operator 0x141", [](XlStream* s) { HP_Operator(s, 0x141); }, XL_ERROR_OPERATOR},
      {"attribute 0x2E", [](XlStream* s) { HP_Attribute(s, 0x2E); }, XL_ERROR_ATTRIBUTE},
      {"attribute 0x00", [](XlStream* s) { HP_Attribute(s, 0x00); }, XL_ERROR_ATTRIBUTE},
      {"attribute 0x189", [](XlStream* s) { HP_Attribute(s, 0x189); }, XL_ERROR_ATTRIBUTE},
      {"array without data", [](XlStream* s) { HP_UByteArray(s, nullptr, 3); }, XL_ERROR_ARGUMENT},
      {"array too long", [](XlStream* s) { HP_UInt16Array(s, kWords, 0x10000); }, XL_ERROR_ARGUMENT},
      {"raw bytes without data", [](XlStream* s) { HP_RawBytes(s, nullptr, 1); }, XL_ERROR_ARGUMENT},
      {"header with a line feed", [](XlStream* s) { HP_StreamHeader(s, 2, 0, "a\nb", 3); }, XL_ERROR_ARGUMENT},
      {"font header over 64K", [](XlStream* s) { HP_ReadFontHeader(s, kBytes, 0x10000); }, XL_ERROR_ARGUMENT},
  };
  for (const Case& c : cases) {
    StreamRecorder rec(4096, false);
    HP_SetCursor(rec.stream(), 1, 1);
    std::string before = rec.Bytes();
    c.fault(rec.stream());
    EXPECT_EQ(rec.stream()->sError, c.error) << c.name;
    EXPECT_EQ(rec.stream()->wErrorCount, 1) << c.name;
    EXPECT_EQ(rec.Bytes(), before) << c.name;

    DWORD total = rec.stream()->cbTotal;
    HP_RawBytes(rec.stream(), "\x1B%-12345X", 9);
    HP_StreamHeader(rec.stream(), 2, 0, "", 0);
    HP_EndPage(rec.stream(), 1);
    HP_Operator(rec.stream(), 0x45);
    HP_Attribute(rec.stream(), 0x2E);
    HP_EmbeddedWords(rec.stream(), kWords, 2);
    HP_Text_UByte(rec.stream(), kBytes, kShorts, 2);
    EXPECT_EQ(rec.stream()->cbTotal, total) << c.name;
    EXPECT_EQ(rec.Bytes(), before) << c.name;
    EXPECT_EQ(rec.stream()->sError, c.error) << c.name;
    EXPECT_EQ(rec.stream()->wErrorCount, 1) << c.name;
  }
}

TEST_F(XlStreamTest, AnOperatorWithBadDataDoesNotLeaveWithoutIt) {
  StreamRecorder rec(4096, false);
  XlImageBlock block{0, 1, 0, 4, nullptr, 100};
  HP_ReadImage(rec.stream(), block);
  HP_ReadChar(rec.stream(), 65, nullptr, 10);
  EXPECT_EQ(rec.stream()->sError, XL_ERROR_ARGUMENT);
  EXPECT_EQ(rec.stream()->cbTotal, 0u);
  EXPECT_TRUE(rec.flushes().empty());
}

TEST_F(XlStreamTest, NoStreamIsNoCrash) {
  HP_FlushStream(nullptr);
  HP_RawBytes(nullptr, "x", 1);
  HP_StreamHeader(nullptr, 2, 0, "", 0);
  HP_UByte(nullptr, 1);
  HP_Real32XY(nullptr, 1, 2);
  HP_UByteArray(nullptr, kBytes, 3);
  HP_Attribute(nullptr, 0x89);
  HP_Operator(nullptr, 0x41);
  HP_EmbeddedData(nullptr, kBytes, 3);
  HP_BeginSession(nullptr, 600, 600, 0, 3);
  HP_ReadFontHeader(nullptr, kBytes, 0x10000);
  HP_Text_UInt16XY(nullptr, kWords, kShorts, kShorts, 2);
  XlImageBlock block{0, 1, 0, 4, kBytes, 3};
  HP_ReadRastPattern(nullptr, block);
  XlRecordError(nullptr, XL_ERROR_WRITE);
}

}  // namespace
