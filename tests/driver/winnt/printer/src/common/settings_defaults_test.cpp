// Defaults by country and driver, the scopes of a reset, and the repair of
// out-of-range settings.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "tests/driver/winnt/printer/src/common/hostsettings_support.h"

namespace k460::testing {
namespace {

TEST(SettingsDefaultsTest, CountryChoosesPaperAndMarginUnit) {
  struct Case {
    std::int32_t country;
    std::int32_t paperIndex, paperCode, unit;
  } cases[] = {{1, 0, 3, 1}, {2, 0, 3, 1}, {55, 0, 3, 1}, {599, 0, 3, 1},
               {81, 5, 0, 0}, {49, 5, 0, 0}, {60, 5, 0, 0}, {-1, 5, 0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.country);
    const HostSettings s = DefaultHostSettings(HostVariant::kHostBased, c.country);
    EXPECT_EQ(s.hsPaperIndex, c.paperIndex);
    EXPECT_EQ(s.blocks.hsPaper, c.paperCode);
    EXPECT_EQ(s.blocks.hsMarginUnit, c.unit);
    EXPECT_EQ(s.blocks.hsStapleMarginUnit, c.unit);
    EXPECT_EQ(s.blocks.hsPunchMarginUnit, c.unit);
  }
}

TEST(SettingsDefaultsTest, HostBasedAndFaxDefaults) {
  const HostSettings host = DefaultHostSettings(HostVariant::kHostBased, 81);
  EXPECT_EQ(host.hsCopies, 1);
  EXPECT_EQ(host.hsResolutionIndex, 2);
  EXPECT_EQ(host.hsPriorityIndex, 1);
  EXPECT_EQ(host.blocks.hsCopiesUi, 1);
  EXPECT_EQ(host.blocks.hsOrientation, 1);
  EXPECT_EQ(host.blocks.hsZoom, 1000);
  EXPECT_EQ(host.blocks.hsDuplexBinding, 1);
  EXPECT_EQ(host.blocks.hsResolutionChoice, 3);
  EXPECT_EQ(host.blocks.hsManualTray, 1);
  EXPECT_EQ(host.blocks.hsCassette2, 1);
  EXPECT_EQ(host.blocks.hsMemoryMb, 16);
  EXPECT_EQ(host.blocks.hsStaplePosition, 1);
  EXPECT_EQ(host.blocks.hsPunchPosition, 1);
  EXPECT_EQ(host.blocks.hsGraphicsSize, 48);
  EXPECT_EQ(host.blocks.hsEnhanceRop, 0xCCCC);
  EXPECT_EQ(host.blocks.hsReductionThreshold, 75);

  HostSettings fax = DefaultHostSettings(HostVariant::kFax, 81);
  EXPECT_EQ(fax.hsResolutionIndex, 0);
  EXPECT_EQ(fax.blocks.hsResolutionChoice, 0);
  EXPECT_EQ(fax.hsPriorityIndex, 1);
  EXPECT_EQ(fax.blocks.hsManualTray, 0);
  EXPECT_EQ(fax.blocks.hsCassette2, 0);
  EXPECT_EQ(fax.blocks.hsMemoryMb, 16);
  // Block E stays zero.
  const auto bytes = BytesOf(fax);
  EXPECT_TRUE(std::all_of(bytes.begin() + 288, bytes.begin() + 352, [](std::uint8_t b) { return b == 0; }));
}

TEST(SettingsDefaultsTest, DocumentResetKeepsOptionsDensityAndCustomPaperCount) {
  HostSettings s = DefaultHostSettings(HostVariant::kHostBased, 81);
  s.blocks.hsFinisher = 1;
  s.blocks.hsMemoryMb = 64;
  s.blocks.hsDensity = -7;
  s.blocks.hsCustomPaperCount = 3;
  s.blocks.hsZoom = 2000;
  s.hsCopies = 9;

  HostSettings document = s;
  RestoreDefaults(document, HostVariant::kHostBased, 81, ResetScope::kDocument);
  EXPECT_EQ(document.blocks.hsFinisher, 1);
  EXPECT_EQ(document.blocks.hsMemoryMb, 64);
  EXPECT_EQ(document.blocks.hsDensity, -7);
  EXPECT_EQ(document.blocks.hsCustomPaperCount, 3);
  EXPECT_EQ(document.blocks.hsZoom, 1000);
  EXPECT_EQ(document.hsCopies, 1);

  HostSettings full = s;
  RestoreDefaults(full, HostVariant::kHostBased, 81, ResetScope::kFull);
  EXPECT_EQ(full, DefaultHostSettings(HostVariant::kHostBased, 81));
}

struct RepairCase {
  const char* name;
  std::function<void(HostSettings&)> damage;
  std::function<bool(const HostSettings&)> repaired;
};

TEST(SettingsDefaultsTest, OutOfRangeSettingsTakeTheirFallbacks) {
  const RepairCase cases[] = {
      {"paper index beyond the table", [](HostSettings& s) { s.hsPaperIndex = 15; },
       [](const HostSettings& s) { return s.hsPaperIndex == 5; }},
      {"negative paper index", [](HostSettings& s) { s.hsPaperIndex = -1; },
       [](const HostSettings& s) { return s.hsPaperIndex == 5; }},
      {"source index 8", [](HostSettings& s) { s.hsSourceIndex = 8; },
       [](const HostSettings& s) { return s.hsSourceIndex == 0; }},
      {"copies 0", [](HostSettings& s) { s.hsCopies = 0; }, [](const HostSettings& s) { return s.hsCopies == 1; }},
      {"copies 5000", [](HostSettings& s) { s.blocks.hsCopiesUi = 5000; },
       [](const HostSettings& s) { return s.blocks.hsCopiesUi == 999; }},
      {"resolution index 3", [](HostSettings& s) { s.hsResolutionIndex = 3; },
       [](const HostSettings& s) { return s.hsResolutionIndex == 2; }},
      {"negative resolution index", [](HostSettings& s) { s.hsResolutionIndex = -4; },
       [](const HostSettings& s) { return s.hsResolutionIndex == 2; }},
      {"priority index 3", [](HostSettings& s) { s.hsPriorityIndex = 3; },
       [](const HostSettings& s) { return s.hsPriorityIndex == 1; }},
      {"reserved selector 5", [](HostSettings& s) { s.hsReserved28 = 5; },
       [](const HostSettings& s) { return s.hsReserved28 == 0; }},
      {"zoom 100", [](HostSettings& s) { s.blocks.hsZoom = 100; },
       [](const HostSettings& s) { return s.blocks.hsZoom == 1000; }},
      {"zoom 4001", [](HostSettings& s) { s.blocks.hsZoom = 4001; },
       [](const HostSettings& s) { return s.blocks.hsZoom == 1000; }},
      {"switch of 2", [](HostSettings& s) { s.blocks.hsDuplex = 2; },
       [](const HostSettings& s) { return s.blocks.hsDuplex == 0; }},
      {"option on by default", [](HostSettings& s) { s.blocks.hsManualTray = -1; },
       [](const HostSettings& s) { return s.blocks.hsManualTray == 1; }},
      {"pages per sheet 2", [](HostSettings& s) { s.blocks.hsNup = 2; },
       [](const HostSettings& s) { return s.blocks.hsNup == 0; }},
      {"duplex binding 3", [](HostSettings& s) { s.blocks.hsDuplexBinding = 3; },
       [](const HostSettings& s) { return s.blocks.hsDuplexBinding == 1; }},
      {"orientation 0", [](HostSettings& s) { s.blocks.hsOrientation = 0; },
       [](const HostSettings& s) { return s.blocks.hsOrientation == 1; }},
      {"booklet 17", [](HostSettings& s) { s.blocks.hsBooklet = 17; },
       [](const HostSettings& s) { return s.blocks.hsBooklet == 0; }},
      {"inch margin of 2 in", [](HostSettings& s) { s.blocks.hsMarginUnit = 1; s.blocks.hsMarginFront = 200; },
       [](const HostSettings& s) { return s.blocks.hsMarginFront == 118; }},
      {"negative margin", [](HostSettings& s) { s.blocks.hsPunchMarginBack = -1; },
       [](const HostSettings& s) { return s.blocks.hsPunchMarginBack == 0; }},
      {"margin unit 2", [](HostSettings& s) { s.blocks.hsStapleMarginUnit = 2; },
       [](const HostSettings& s) { return s.blocks.hsStapleMarginUnit == 0; }},
      {"density -80", [](HostSettings& s) { s.blocks.hsDensity = -80; },
       [](const HostSettings& s) { return s.blocks.hsDensity == -50; }},
      {"resolution choice 2", [](HostSettings& s) { s.blocks.hsResolutionChoice = 2; },
       [](const HostSettings& s) { return s.blocks.hsResolutionChoice == 3; }},
      {"automatic options", [](HostSettings& s) { s.blocks.hsAutoConfig = 1; },
       [](const HostSettings& s) { return s.blocks.hsAutoConfig == 0; }},
      {"memory 300", [](HostSettings& s) { s.blocks.hsMemoryMb = 300; },
       [](const HostSettings& s) { return s.blocks.hsMemoryMb == 144; }},
      {"staple position 6", [](HostSettings& s) { s.blocks.hsStaplePosition = 6; },
       [](const HostSettings& s) { return s.blocks.hsStaplePosition == 1; }},
      {"punch position 0", [](HostSettings& s) { s.blocks.hsPunchPosition = 0; },
       [](const HostSettings& s) { return s.blocks.hsPunchPosition == 1; }},
      {"unterminated password", [](HostSettings& s) { std::memset(s.blocks.hsFaxPassword, 'x', 32); },
       [](const HostSettings& s) { return std::strlen(s.blocks.hsFaxPassword) == 31; }},
      {"fax service 5", [](HostSettings& s) { s.blocks.hsFaxItem = 5; },
       [](const HostSettings& s) { return s.blocks.hsFaxItem == 0; }},
      {"graphics block size", [](HostSettings& s) { s.blocks.hsGraphicsSize = 12; },
       [](const HostSettings& s) { return s.blocks.hsGraphicsSize == 48; }},
      {"raster operation beyond 16 bits", [](HostSettings& s) { s.blocks.hsEnhanceRop = 0x10000; },
       [](const HostSettings& s) { return s.blocks.hsEnhanceRop == 0xCCCC; }},
      {"reduction 4", [](HostSettings& s) { s.blocks.hsReduction = 4; },
       [](const HostSettings& s) { return s.blocks.hsReduction == 0; }},
      {"threshold 101 %", [](HostSettings& s) { s.blocks.hsReductionThreshold = 101; },
       [](const HostSettings& s) { return s.blocks.hsReductionThreshold == 75; }},
      {"custom paper count", [](HostSettings& s) { s.blocks.hsCustomPaperCount = 9; },
       [](const HostSettings& s) { return s.blocks.hsCustomPaperCount == 0; }},
      {"carried field kept", [](HostSettings& s) { s.blocks.hsReserved144 = 12345; },
       [](const HostSettings& s) { return s.blocks.hsReserved144 == 12345; }},
  };
  const PaperTable papers(HostVariant::kHostBased);
  for (const RepairCase& c : cases) {
    SCOPED_TRACE(c.name);
    HostSettings s = DefaultHostSettings(HostVariant::kHostBased, 81);
    c.damage(s);
    NormaliseSettings(s, papers, 81);
    EXPECT_TRUE(c.repaired(s));
  }
}

TEST(SettingsDefaultsTest, FaxRepairClearsFinishingAndKeepsFaxResolutionChoices) {
  const PaperTable papers(HostVariant::kFax);
  HostSettings s = DefaultHostSettings(HostVariant::kFax, 81);
  s.blocks.hsStaple = 1;
  s.blocks.hsStaplePosition = 3;
  s.blocks.hsResolutionChoice = 2;  // 400 dpi on the fax page
  s.hsCopies = 150;
  NormaliseSettings(s, papers, 81);
  EXPECT_EQ(s.blocks.hsStaple, 0);
  EXPECT_EQ(s.blocks.hsStaplePosition, 0);
  EXPECT_EQ(s.blocks.hsResolutionChoice, 2);
  EXPECT_EQ(s.hsCopies, 99);
  s.blocks.hsResolutionChoice = 1;  // a host-based choice only
  NormaliseSettings(s, papers, 81);
  EXPECT_EQ(s.blocks.hsResolutionChoice, 0);
}

}  // namespace
}  // namespace k460::testing

namespace k460::testing {
namespace {

TEST(SettingsCodesTest, TablesAndConversions) {
  // Sources: index <-> Windows bin, unknown bins are auto select.
  const std::int32_t bins[] = {7, 1, 3, 2, 257, 258, 4, 11};
  for (std::int32_t i = 0; i < 8; ++i) {
    EXPECT_EQ(SourceBinOfIndex(i), bins[i]);
    EXPECT_EQ(SourceIndexOfBin(bins[i]), i);
  }
  EXPECT_EQ(SourceIndexOfBin(15), 0);
  EXPECT_EQ(SourceBinOfIndex(8), 7);
  // Booklets.
  EXPECT_EQ(BookletPaperCode(1), 3);
  EXPECT_EQ(BookletPaperCode(6), 0);
  EXPECT_EQ(BookletPaperCode(16), 21);
  EXPECT_FALSE(BookletPaperCode(0).has_value());
  EXPECT_FALSE(BookletPaperCode(17).has_value());
  // Reserved selector.
  EXPECT_EQ(ReservedSelectorValueOfIndex(4), 11);
  EXPECT_EQ(ReservedSelectorIndexOfValue(11), 4);
  EXPECT_EQ(ReservedSelectorIndexOfValue(4), 0);
  // Margins: 10.0 mm stays, 0.50 in is 12.7 mm, 2 in is cut to 30.0 mm.
  EXPECT_EQ(MarginInTenthMm(0, 100), 100);
  EXPECT_EQ(MarginInTenthMm(1, 50), 127);
  EXPECT_EQ(MarginInTenthMm(1, 200), 300);
  EXPECT_EQ(MarginInTenthMm(0, -5), 0);
  // The locale's country text.
  EXPECT_EQ(CountryCodeFromLocaleText(u"81"), 81);
  EXPECT_EQ(CountryCodeFromLocaleText(u"1"), 1);
  EXPECT_EQ(CountryCodeFromLocaleText(u""), -1);
  EXPECT_EQ(CountryCodeFromLocaleText(u"8a"), -1);
  EXPECT_EQ(CountryCodeFromLocaleText(u"99999999999"), -1);
}

}  // namespace
}  // namespace k460::testing
