// The duplex mode the renderers apply, and the watermark angle.
#include <gtest/gtest.h>

#include <memory>

#include "tests/driver/pcl/printer_common/settings/settings_test_support.h"

namespace {

using namespace settings_test;

TEST(EffectiveDuplexTest, PicksTheFieldThatCarriesTheMode) {
  struct Case {
    WORD privateSize, force;
    SHORT dmDuplex;
    WORD pvDuplex;
    int expected;
  } cases[] = {
      {3856, 0, 1, 3, 3},    // current record: pvDuplex
      {3856, 0, 2, 1, 1},
      {3824, 0, 1, 2, 2},
      {3820, 0, 2, 3, 2},    // old record: dmDuplex whatever pvDuplex holds
      {100, 0, 3, 2, 3},
      {3856, 1, 2, 3, 2},    // force switch: dmDuplex
      {3856, 0x8000, 3, 1, 3},
      {3856, 1, 101, 3, 1},  // dmDuplex values beyond the modes print one-sided
      {3856, 0, 1, 7, 1},
  };
  for (const Case& c : cases) {
    JobSettings record = Defaults(false);
    LeSet(record.dm.dmDriverExtra, c.privateSize);
    record.pv.pvForceDuplexField = c.force;
    LeSet(record.dm.dmDuplex, c.dmDuplex);
    record.pv.pvDuplex = c.pvDuplex;
    EXPECT_EQ(EffectiveDuplex(&record), c.expected) << c.privateSize << " " << c.force << " " << c.dmDuplex;
  }
  EXPECT_EQ(EffectiveDuplex(nullptr), 1);
}

TEST(EffectiveDuplexTest, OldRecordIsNotReadBeyondItsPrivatePart) {
  JobSettings full = Defaults(false);
  LeSet(full.dm.dmDuplex, 2);
  const Bytes old = RecordBytes(full, kOldPrivateSizeMax);  // 4040 bytes, no duplex pair
  std::unique_ptr<BYTE[]> exact(new BYTE[old.size()]);
  std::memcpy(exact.get(), old.data(), old.size());
  EXPECT_EQ(EffectiveDuplex(reinterpret_cast<const JobSettings*>(exact.get())), 2);
}

TEST(WatermarkAngleTest, UsesTheDriversValueOfPi) {
  JobSettings record = Defaults(false);
  struct Case {
    int angle;
    float sin, cos;
  } cases[] = {
      {0, 0.0f, 1.0f},
      {90, 0.9999998f, -0.0006321732f},  // 3.142857 is a little more than pi
      {45, 0.7073303f, 0.7068832f},
      {-45, -0.7073303f, 0.7068832f},
  };
  for (const Case& c : cases) {
    record.pv.pvWatermark.lAngle = c.angle;
    UpdateWatermarkAngle(record);
    EXPECT_NEAR(record.pv.pvWatermarkSin, c.sin, 1e-6) << c.angle;
    EXPECT_NEAR(record.pv.pvWatermarkCos, c.cos, 1e-6) << c.angle;
  }
}

}  // namespace
