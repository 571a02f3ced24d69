// What DrvConvertDevMode answers for each mode and buffer size.
#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "tests/driver/pcl/printer_common/settings/settings_test_support.h"
#include "tests/support/machine_fixture.h"

namespace {

using namespace settings_test;
using DevModeConvertTest = k460::testing::MachineTest;

struct Header {
  WORD publicSize, privateSize;
};

struct Case {
  const char* name;
  DWORD mode;
  LONG size;                     // the size argument going in: also the output buffer's size
  bool output;                   // whether an output buffer is given
  std::optional<Header> header;  // the output header the caller prepared
  BOOL result;
  DWORD error;  // when the result is FALSE
  LONG sizeAfter;
};

const Case kCases[] = {
    {"convert: exact size", kConvertToOutputFormat, 4076, true, Header{220, 3856}, TRUE, 0, 4076},
    {"convert: larger buffer", kConvertToOutputFormat, 5000, true, Header{220, 3856}, TRUE, 0, 4076},
    {"convert: one byte short", kConvertToOutputFormat, 4075, true, Header{220, 3856}, FALSE,
     ERROR_INSUFFICIENT_BUFFER, 4076},
    {"convert: into an old record", kConvertToOutputFormat, 4040, true, Header{220, 3820}, TRUE, 0, 4040},
    {"convert: no output", kConvertToOutputFormat, 4076, false, std::nullopt, FALSE, ERROR_INSUFFICIENT_BUFFER, 4076},
    {"convert: buffer too short for a header", kConvertToOutputFormat, 40, true, std::nullopt, FALSE,
     ERROR_INSUFFICIENT_BUFFER, 40},
    {"convert: output header below a record", kConvertToOutputFormat, 4076, true, Header{20, 0}, FALSE,
     ERROR_INVALID_PARAMETER, 4076},
    {"oldest: exact size", kConvertToOldest, 124, true, std::nullopt, TRUE, 0, 124},
    {"oldest: larger buffer", kConvertToOldest, 4076, true, std::nullopt, TRUE, 0, 124},
    {"oldest: one byte short", kConvertToOldest, 123, true, std::nullopt, FALSE, ERROR_INSUFFICIENT_BUFFER, 124},
    {"oldest: no output", kConvertToOldest, 4076, false, std::nullopt, FALSE, ERROR_INSUFFICIENT_BUFFER, 124},
    {"oldest: negative size", kConvertToOldest, -5, false, std::nullopt, FALSE, ERROR_INSUFFICIENT_BUFFER, 124},
    {"default: exact size", kConvertDriverDefault, 4076, true, std::nullopt, TRUE, 0, 4076},
    {"default: larger buffer keeps the size", kConvertDriverDefault, 6000, true, std::nullopt, TRUE, 0, 6000},
    {"default: one byte short", kConvertDriverDefault, 4075, true, std::nullopt, FALSE, ERROR_INSUFFICIENT_BUFFER,
     4076},
    {"default: no output", kConvertDriverDefault, 4076, false, std::nullopt, FALSE, ERROR_INSUFFICIENT_BUFFER, 4076},
    {"other mode does nothing", 3, 10, true, std::nullopt, TRUE, 0, 10},
};

TEST_F(DevModeConvertTest, BufferSizeAnswers) {
  JobSettings input = Defaults(false);
  input.pv.pvDuplex = 3;
  LeSet(input.dm.dmCopies, 9);
  const Bytes in = RecordBytes(input);
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const std::size_t bytes = c.size > 0 ? static_cast<std::size_t>(c.size) : 0;
    std::unique_ptr<BYTE[]> out(new BYTE[bytes]);
    std::memset(out.get(), 0xEE, bytes);
    if (c.header) {
      StoreLe<WORD>(out.get() + offsetof(DEVMODEW, dmSize), c.header->publicSize);
      StoreLe<WORD>(out.get() + offsetof(DEVMODEW, dmDriverExtra), c.header->privateSize);
    }
    LONG size = c.size;
    SetLastError(0);
    EXPECT_EQ(ConvertDevModeRecord(in.data(), in.size(), c.output ? out.get() : nullptr, &size, c.mode), c.result);
    if (!c.result) {
      EXPECT_EQ(GetLastError(), c.error);
    }
    EXPECT_EQ(size, c.sizeAfter);
  }
}

TEST_F(DevModeConvertTest, ConversionsWriteTheRecordsTheyAnnounce) {
  JobSettings input = Defaults(false);
  input.pv.pvDuplex = 3;
  LeSet(input.dm.dmCopies, 9);
  const Bytes in = RecordBytes(input);

  // Into the 124-byte record: new header, public values, duplex from pvDuplex.
  Bytes oldest(124, 0xEE);
  LONG size = 124;
  ASSERT_TRUE(ConvertDevModeRecord(in.data(), in.size(), oldest.data(), &size, kConvertToOldest));
  const JobSettings o = AsRecord(oldest);
  EXPECT_EQ(LeGet(o.dm.dmSpecVersion), 0x0320);
  EXPECT_EQ(LeGet(o.dm.dmSize), 124);
  EXPECT_EQ(LeGet(o.dm.dmDriverVersion), 0);
  EXPECT_EQ(LeGet(o.dm.dmDriverExtra), 0);
  EXPECT_EQ(LeGet(o.dm.dmCopies), 9);
  EXPECT_EQ(LeGet(o.dm.dmDuplex), 3);

  // Into an old 3820-byte private part.
  Bytes old = RecordBytes(Defaults(true), kOldPrivateSizeMax);
  size = static_cast<LONG>(old.size());
  ASSERT_TRUE(ConvertDevModeRecord(in.data(), in.size(), old.data(), &size, kConvertToOutputFormat));
  EXPECT_EQ(LeGet(AsRecord(old).dm.dmDuplex), 3);
  EXPECT_EQ(LeGet(AsRecord(old).dm.dmCopies), 9);
}

TEST_F(DevModeConvertTest, MissingSizeArgumentAndBadInput) {
  const Bytes in = RecordBytes(Defaults(false));
  Bytes out = RecordBytes(Defaults(false));
  SetLastError(0);
  EXPECT_FALSE(ConvertDevModeRecord(in.data(), in.size(), out.data(), nullptr, kConvertToOutputFormat));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);

  // An input that claims more than its buffer converts into nothing.
  const Bytes lying = RecordBytes(Defaults(false), 3856, 220, 1000);
  for (DWORD mode : {kConvertToOutputFormat, kConvertToOldest}) {
    LONG size = 4076;
    SetLastError(0);
    EXPECT_FALSE(ConvertDevModeRecord(lying.data(), lying.size(), out.data(), &size, mode));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  }
  LONG size = 4076;
  EXPECT_FALSE(ConvertDevModeRecord(nullptr, 0, out.data(), &size, kConvertToOutputFormat));
}

}  // namespace
