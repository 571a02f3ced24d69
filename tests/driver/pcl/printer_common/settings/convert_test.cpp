// Conversion between record sizes: SettingsConvert and SettingsConvertOut.
#include <gtest/gtest.h>

#include "tests/driver/pcl/printer_common/settings/settings_test_support.h"

namespace {

using namespace settings_test;

// A target buffer whose header names its format.
Bytes Target(WORD specVersion, WORD publicSize, WORD driverVersion, WORD privateSize, BYTE fill = 0xAB) {
  Bytes bytes(std::size_t{publicSize} + privateSize, fill);
  StoreLe<WORD>(bytes.data() + offsetof(DEVMODEW, dmSpecVersion), specVersion);
  StoreLe<WORD>(bytes.data() + offsetof(DEVMODEW, dmDriverVersion), driverVersion);
  StoreLe<WORD>(bytes.data() + offsetof(DEVMODEW, dmSize), publicSize);
  StoreLe<WORD>(bytes.data() + offsetof(DEVMODEW, dmDriverExtra), privateSize);
  return bytes;
}

WORD HeaderWord(const Bytes& b, std::size_t offset) { return LoadLe<WORD>(b.data() + offset); }

TEST(ConvertTest, CopiesTheSmallerPartsAndKeepsTheTargetsHeader) {
  JobSettings source = Defaults(false);
  LeSet(source.dm.dmCopies, 42);
  source.pv.pvZoom = 333;
  Bytes target = Target(0x0320, 124, 0x0123, 500);
  const Bytes src = RecordBytes(source);
  EXPECT_EQ(SettingsConvert(src.data(), src.size(), target.data(), target.size()), 124u + 500u);
  EXPECT_EQ(HeaderWord(target, offsetof(DEVMODEW, dmSpecVersion)), 0x0320);
  EXPECT_EQ(HeaderWord(target, offsetof(DEVMODEW, dmDriverVersion)), 0x0123);
  EXPECT_EQ(HeaderWord(target, offsetof(DEVMODEW, dmSize)), 124);
  EXPECT_EQ(HeaderWord(target, offsetof(DEVMODEW, dmDriverExtra)), 500);
  EXPECT_EQ(LoadLe<SHORT>(target.data() + offsetof(DEVMODEW, dmCopies)), 42);
  // The private part lands right behind the target's public part.
  EXPECT_EQ(std::memcmp(target.data() + 124, src.data() + 220, 500), 0);
}

TEST(ConvertTest, ShorterSourceLeavesTheRestOfTheTarget) {
  const JobSettings source = Defaults(false);
  const Bytes src = RecordBytes(source, 100, 124);
  Bytes target = Target(0x0401, 220, 0x0500, 3856, 0xAB);
  EXPECT_EQ(SettingsConvert(src.data(), src.size(), target.data(), target.size()), 124u + 100u);
  EXPECT_EQ(target[123], src[123]);
  EXPECT_EQ(target[124], 0xAB);
  EXPECT_EQ(std::memcmp(target.data() + 220, src.data() + 124, 100), 0);
  EXPECT_EQ(target[320], 0xAB);
}

// The duplex mode moves between old private parts (3820 bytes or less,
// dmDuplex only) and current ones (pvDuplex) in both directions.
TEST(ConvertTest, DuplexMovesBetweenOldAndCurrentPrivateParts) {
  struct Case {
    const char* name;
    WORD sourcePrivate, targetPrivate;
    SHORT sourceDmDuplex;
    WORD sourceForce, sourcePvDuplex;
    SHORT expectedDmDuplex;               // the target's after conversion
    std::optional<WORD> expectedPvDuplex;  // where the target has one
  } cases[] = {
      {"old into current", 3820, 3856, 2, 0, 1, 2, 2},
      {"older into current", 2000, 3856, 3, 0, 1, 3, 3},
      {"old into the smallest current", 3820, 3824, 2, 0, 1, 2, 2},
      {"current into old", 3856, 3820, 1, 0, 3, 3, std::nullopt},
      {"current into old with the force switch", 3856, 3820, 1, 1, 3, 1, std::nullopt},
      {"current into no private part", 3856, 0, 1, 0, 2, 2, std::nullopt},
      {"current into current", 3856, 3856, 1, 0, 3, 1, 3},
      {"between two private parts of 3821 and 3822 bytes", 3821, 3822, 2, 0, 1, 2, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    JobSettings source = Defaults(false);
    LeSet(source.dm.dmDuplex, c.sourceDmDuplex);
    source.pv.pvForceDuplexField = c.sourceForce;
    source.pv.pvDuplex = c.sourcePvDuplex;
    const Bytes src = RecordBytes(source, c.sourcePrivate);
    Bytes target = Target(0x0401, 220, 0x0500, c.targetPrivate, 0);
    ASSERT_EQ(SettingsConvert(src.data(), src.size(), target.data(), target.size()),
              220u + std::min(c.sourcePrivate, c.targetPrivate));
    const JobSettings result = AsRecord(target);
    EXPECT_EQ(LeGet(result.dm.dmDuplex), c.expectedDmDuplex);
    if (c.expectedPvDuplex) {
      EXPECT_EQ(result.pv.pvDuplex, *c.expectedPvDuplex);
    }
  }
}

TEST(ConvertTest, DuplexIsNotMovedThroughAPublicPartThatLacksDmDuplex) {
  JobSettings source = Defaults(false);
  LeSet(source.dm.dmDuplex, 2);
  const Bytes src = RecordBytes(source, 0, 80);  // ends before dmDuplex
  Bytes target = RecordBytes(Defaults(false));
  ASSERT_EQ(SettingsConvert(src.data(), src.size(), target.data(), target.size()), 80u);
  EXPECT_EQ(AsRecord(target).pv.pvDuplex, 1);

  // Nor into one: a current source converted into an 80-byte old record.
  JobSettings current = Defaults(false);
  current.pv.pvDuplex = 3;
  const Bytes src2 = RecordBytes(current);
  Bytes small = Target(0x0401, 80, 0x0500, 0, 0);
  ASSERT_EQ(SettingsConvert(src2.data(), src2.size(), small.data(), small.size()), 80u);
  EXPECT_EQ(small.size(), 80u);
}

TEST(ConvertTest, AbsurdRecordsContributeNothingAndAreNotTouched) {
  const Bytes good = RecordBytes(Defaults(false));
  struct Case {
    const char* name;
    Bytes source, target;
  } cases[] = {
      {"source claims more than its buffer", RecordBytes(Defaults(false), 3856, 220, 4000), good},
      {"source public part below the header", RecordBytes(Defaults(false), 100, 70), good},
      {"source buffer shorter than a header", Bytes(60, 0), good},
      {"target claims more than its buffer", good, RecordBytes(Defaults(false), 3856, 220, 4075)},
      {"target public part below the header", good, Target(0x0401, 40, 0x0500, 100)},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Bytes before = c.target;
    EXPECT_EQ(SettingsConvert(c.source.data(), c.source.size(), c.target.data(), c.target.size()), 0u);
    EXPECT_EQ(c.target, before);
  }
  Bytes target = good;
  EXPECT_EQ(SettingsConvert(nullptr, 4076, target.data(), target.size()), 0u);
  EXPECT_EQ(SettingsConvert(good.data(), good.size(), nullptr, 4076), 0u);
}

TEST(ConvertOutTest, CopiesWithTheSmallerSizes) {
  JobSettings source = Defaults(false);
  source.pv.pvDuplex = 3;
  struct Case {
    const char* name;
    std::optional<Bytes> sizes;
    WORD spec, publicSize, driverVersion, privateSize;
    SHORT dmDuplex;
  } cases[] = {
      {"no sizes record: the whole source", std::nullopt, 0x0401, 220, 0x0500, 3856, 1},
      {"smaller application record", Target(0x0320, 124, 0x0400, 3820), 0x0320, 124, 0x0400, 3820, 3},
      {"only a smaller private part", Target(0x0500, 300, 0x0400, 100), 0x0401, 220, 0x0400, 100, 3},
      {"larger application record", Target(0x0500, 300, 0x0600, 5000), 0x0401, 220, 0x0500, 3856, 1},
      {"sizes record too short to read", Bytes(40, 0), 0x0401, 220, 0x0500, 3856, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes out(std::size_t{c.publicSize} + c.privateSize, 0xEE);
    SetLastError(0);
    ASSERT_TRUE(SettingsConvertOut(source, c.sizes ? c.sizes->data() : nullptr, c.sizes ? c.sizes->size() : 0,
                                   out.data(), out.size()));
    EXPECT_EQ(HeaderWord(out, offsetof(DEVMODEW, dmSpecVersion)), c.spec);
    EXPECT_EQ(HeaderWord(out, offsetof(DEVMODEW, dmSize)), c.publicSize);
    EXPECT_EQ(HeaderWord(out, offsetof(DEVMODEW, dmDriverVersion)), c.driverVersion);
    EXPECT_EQ(HeaderWord(out, offsetof(DEVMODEW, dmDriverExtra)), c.privateSize);
    EXPECT_EQ(LoadLe<SHORT>(out.data() + offsetof(DEVMODEW, dmDuplex)), c.dmDuplex);
    EXPECT_EQ(std::memcmp(out.data() + c.publicSize, &source.pv, std::min<std::size_t>(c.privateSize, 3820)), 0);
  }
}

TEST(ConvertOutTest, FailuresLeaveTheOutputAlone) {
  const JobSettings source = Defaults(false);
  const Bytes sizes = Target(0x0320, 124, 0x0400, 3820);
  const Bytes absurd = Target(0x0320, 10, 0x0400, 3820);
  struct Case {
    const char* name;
    const Bytes* sizes;
    std::size_t outBytes;
    DWORD error;
  } cases[] = {
      {"output shorter than the source", nullptr, 4075, ERROR_INSUFFICIENT_BUFFER},
      {"output shorter than the honoured sizes", &sizes, 124 + 3819, ERROR_INSUFFICIENT_BUFFER},
      {"honoured public size below a header", &absurd, 4076, ERROR_INVALID_PARAMETER},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes out(c.outBytes, 0xEE);
    const Bytes before = out;
    SetLastError(0);
    EXPECT_FALSE(SettingsConvertOut(source, c.sizes ? c.sizes->data() : nullptr, c.sizes ? c.sizes->size() : 0,
                                    out.data(), out.size()));
    EXPECT_EQ(GetLastError(), c.error);
    EXPECT_EQ(out, before);
  }
  SetLastError(0);
  EXPECT_FALSE(SettingsConvertOut(source, nullptr, 0, nullptr, 4076));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

}  // namespace
