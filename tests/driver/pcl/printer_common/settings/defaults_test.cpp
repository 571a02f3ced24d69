// Defaults in a Letter and an A4 locale, compared byte for byte with the
// stored format.
#include <gtest/gtest.h>

#include "tests/driver/pcl/printer_common/settings/byte_image.h"
#include "tests/driver/pcl/printer_common/settings/settings_test_support.h"
#include "tests/support/machine_fixture.h"

namespace {

using namespace settings_test;
using DefaultsTest = k460::testing::MachineTest;

// Every non-zero byte of the default record, from the tables of the format.
std::vector<std::uint8_t> ExpectedDefaults(bool letter, std::u16string_view deviceName, std::uint16_t forceDuplex) {
  const std::uint16_t paper = letter ? 1 : 9;
  const std::uint32_t index = letter ? 0 : 5;
  const std::uint32_t unit = letter ? 1 : 2;
  ByteImage image(4076);
  image.Text(0, deviceName)
      .U16(64, 0x0401).U16(66, 0x0500).U16(68, 220).U16(70, 3856).U32(72, 0x00015F0F)
      .U16(76, 1)      // dmOrientation
      .U16(78, paper)  // dmPaperSize
      .U16(84, 100)    // dmScale
      .U16(86, 1)      // dmCopies
      .U16(88, 257)    // dmDefaultSource
      .U16(90, 600)    // dmPrintQuality
      .U16(92, 1)      // dmColor
      .U16(94, 1)      // dmDuplex
      .U16(98, 3)      // dmTTOption
      .Text(102, letter ? u"Letter" : u"A4")
      .U8(220, 'P').U8(221, 'R').U8(222, 'I').U8(223, 'V')
      .U32(228, index)  // pvPaperIndex
      .U32(244, 1314)   // pvOutputBin
      .Text(252, u"Factory Default")
      .U32(284, 2).U32(288, 1).U32(296, 1)
      .U32(380, paper).U32(384, index).U32(388, 216).U32(392, 280)
      .U32(396, 100).U32(408, 1).U32(412, 1).U32(420, 1)
      .Text(444 + 204, u"Albertus (WN)")
      .U32(444 + 308, 72).U32(444 + 312, 1).U32(444 + 320, 45).U32(444 + 324, 1)
      .U32(944, unit).U32(956, unit).U32(1016, unit)
      .U8(1144, 0xFF).U8(1145, 0xFF).U8(1146, 0xFF)
      .U16(1160, 0xFFFF).U16(1162, 0xFFFF)
      .U32(4008, 1).U32(4012, 1).U32(4016, 4).U32(4020, 1)
      .U16(4040, forceDuplex).U16(4042, 1);
  return image.bytes();
}

TEST_F(DefaultsTest, LetterAndA4RecordsMatchTheStoredFormat) {
  for (bool letter : {true, false}) {
    SCOPED_TRACE(letter ? "Letter" : "A4");
    JobSettings record;
    std::memset(&record, 0xCD, sizeof record);  // nothing may survive from before
    SettingsDefaults(record, u"K-460 PCL XL", letter, nullptr);
    EXPECT_EQ(Raw(record), ExpectedDefaults(letter, u"K-460 PCL XL", 0));
  }
}

TEST_F(DefaultsTest, DeviceNameIsBoundedAndOptional) {
  JobSettings record;
  SettingsDefaults(record, nullptr, false, nullptr);
  EXPECT_EQ(Raw(record), ExpectedDefaults(false, u"", 0));
  const std::u16string longName(40, u'x');
  SettingsDefaults(record, longName.c_str(), false, nullptr);
  EXPECT_EQ(LoadText(record.dm.dmDeviceName, CCHDEVICENAME), longName.substr(0, 31));
  EXPECT_EQ(record.dm.dmDeviceName[31], 0);
}

TEST_F(DefaultsTest, ForceDuplexSwitchComesFromTheDriverIniTruncatedTo16Bits) {
  TableIni ini;
  JobSettings record;
  SettingsDefaults(record, nullptr, true, &ini);
  EXPECT_EQ(record.pv.pvForceDuplexField, 0);  // key missing: the default 0
  ini.Set(u"Devmode", u"FDuplex", 0x10003);
  ini.Set(u"Devmode", u"Other", 7);
  SettingsDefaults(record, nullptr, true, &ini);
  EXPECT_EQ(record.pv.pvForceDuplexField, 3);
  EXPECT_EQ(record.pv.pvDuplex, 1);
}

TEST_F(DefaultsTest, LetterLocalesAreTheUsAndCanadianOnes) {
  struct Case {
    LANGID language;
    bool letter;
  } cases[] = {
      {MAKELANGID(LANG_ENGLISH, 1), true},   // United States
      {MAKELANGID(LANG_ENGLISH, 4), true},   // Canada
      {MAKELANGID(LANG_FRENCH, 3), true},    // Canada
      {MAKELANGID(LANG_ENGLISH, 2), false},  // United Kingdom
      {MAKELANGID(LANG_ENGLISH, 3), false},  // Australia
      {MAKELANGID(LANG_FRENCH, 1), false},   // France
      {MAKELANGID(LANG_FRENCH, 4), false},   // Switzerland
      {MAKELANGID(LANG_JAPANESE, 1), false},
      {MAKELANGID(0x0A, 3), false},  // Spanish: sublanguage 3 alone is not enough
  };
  for (const Case& c : cases) {
    SetUserLanguage(c.language);
    EXPECT_EQ(UsesLetterPaper(), c.letter) << std::hex << c.language;
  }
}

TEST_F(DefaultsTest, DriverDefaultFollowsTheMachineLocale) {
  for (auto [language, letter] : {std::pair{MAKELANGID(LANG_ENGLISH, 1), true},
                                  std::pair{MAKELANGID(LANG_JAPANESE, 1), false}}) {
    SetUserLanguage(language);
    Bytes out(4076, 0xEE);
    LONG size = 4076;
    ASSERT_TRUE(ConvertDevModeRecord(nullptr, 0, out.data(), &size, kConvertDriverDefault));
    EXPECT_EQ(out, ExpectedDefaults(letter, u"Tessaly 4000", 0));
  }
}

TEST(WatermarkDefaultsTest, DefaultWatermarkRecord) {
  WatermarkRecord watermark;
  std::memset(&watermark, 0x77, sizeof watermark);
  DefaultWatermarkRecord(watermark);
  ByteImage image(464);
  image.Text(204, u"Albertus (WN)").U32(308, 72).U32(312, 1).U32(320, 45).U32(324, 1);
  const auto* p = reinterpret_cast<const std::uint8_t*>(&watermark);
  EXPECT_EQ(std::vector<std::uint8_t>(p, p + 464), image.bytes());
}

}  // namespace
