// The paper tables: built-in papers of both drivers, custom papers and the
// free size, lookups with their fallbacks.
#include <gtest/gtest.h>

#include "tests/driver/winnt/printer/src/common/hostsettings_support.h"

namespace k460::testing {
namespace {

struct BuiltInRow {
  std::int16_t deviceCode, windowsCode, width, length, turnPortrait, turnLandscape, regularSize;
};

TEST(PaperTableTest, HostBasedBuiltInPapers) {
  const BuiltInRow rows[] = {
      {3, 1, 2160, 2790, 0, 0, 1},   {12, 6, 1400, 2160, 1, 0, 1}, {4, 5, 2160, 3560, 0, 1, 1},
      {11, 4, 2790, 4320, 0, 1, 1},  {6, 8, 2970, 4200, 0, 1, 1},  {0, 9, 2100, 2970, 0, 0, 1},
      {1, 11, 1480, 2100, 1, 0, 1},  {2, 70, 1050, 1480, 0, 1, 0}, {8, 12, 2570, 3640, 0, 1, 1},
      {9, 13, 1820, 2570, 1, 0, 1},  {14, 60, 2100, 3300, 0, 1, 1}, {13, 7, 1840, 2670, 0, 0, 1},
      {10, 43, 1000, 1480, 0, 1, 0}, {7, 27, 1100, 2200, 0, 1, 0}, {5, 20, 1050, 2410, 0, 1, 0},
  };
  const PaperTable table(HostVariant::kHostBased);
  ASSERT_EQ(table.size(), std::size(rows));
  for (std::size_t i = 0; i < table.size(); ++i) {
    SCOPED_TRACE(i);
    const PaperEntry& e = table[i];
    const BuiltInRow& r = rows[i];
    EXPECT_EQ(e.deviceCode, r.deviceCode);
    EXPECT_EQ(e.windowsCode, r.windowsCode);
    EXPECT_EQ(e.regularSize, r.regularSize);
    EXPECT_EQ(e.alwaysOne, 1);
    EXPECT_EQ(e.nameId, 5120 + static_cast<int>(i));
    EXPECT_EQ(e.portrait, (PaperSide{r.width, r.length, static_cast<std::int16_t>(r.width * 100 / 254),
                                     static_cast<std::int16_t>(r.length * 100 / 254),
                                     static_cast<std::int16_t>(r.width * 100 / 254),
                                     static_cast<std::int16_t>(r.length * 100 / 254), 18, 18, r.turnPortrait}));
    EXPECT_EQ(e.landscape.width, r.length);
    EXPECT_EQ(e.landscape.length, r.width);
    EXPECT_EQ(e.landscape.widthInch, e.portrait.lengthInch);
    EXPECT_EQ(e.landscape.turn, r.turnLandscape);
  }
  EXPECT_EQ(table.customCount(), 0u);
}

TEST(PaperTableTest, FaxPapersCarryFaxRastersAndOffsets) {
  const PaperTable table(HostVariant::kFax);
  ASSERT_EQ(table.size(), 16u);
  const PaperEntry& a4 = table[5];
  EXPECT_EQ(a4.portrait, (PaperSide{2100, 2970, 827, 1170, 864, 1138, 36, 2, 0}));
  EXPECT_EQ(a4.landscape, (PaperSide{2970, 2100, 1170, 827, 1138, 864, 2, 36, 1}));
  // A6's landscape raster is no swap of its portrait raster.
  EXPECT_EQ(table[7].landscape, (PaperSide{1480, 1050, 583, 414, 864, 382, 158, 2, 0}));
  EXPECT_EQ(table[15].deviceCode, 15);
  EXPECT_EQ(table[15].windowsCode, 37);
  EXPECT_EQ(table[15].portrait, (PaperSide{982, 1905, 387, 750, 864, 718, 256, 2, 0}));
  // No custom sizes on the fax driver.
  const CustomPaperRecord custom = MakeCustomPaper(257, 0, 1500, 2000, u"Card");
  EXPECT_EQ(PaperTable::Build(HostVariant::kFax, std::span(&custom, 1), FreeSize{1500, 2000}).size(), 16u);
}

struct CustomCase {
  const char* name;
  std::int32_t unit, width, length;
  PaperSide portrait;
  std::int16_t baseDeviceCode;
};

TEST(PaperTableTest, CustomPaperEntries) {
  const CustomCase cases[] = {
      // 350 x 500 mm is clamped to 297.0 x 432.0 mm and based on A3.
      {"too large", 0, 3500, 5000, {2970, 4320, 1168, 1696, -1, -1, 18, 18, 0}, 6},
      // 4.00 x 6.00 in: 101.6 x 152.4 mm.
      {"inches", 1, 400, 600, {1016, 1524, 400, 600, -1, -1, 18, 18, 0}, 0},
      // Given length first: the short edge becomes the width.
      {"length first", 0, 1500, 1000, {1000, 1500, 392, 584, -1, -1, 18, 18, 0}, 0},
      {"too small", 0, 10, 10, {1000, 1400, 392, 544, -1, -1, 18, 18, 0}, 0},
      {"negative", 0, -5000, -7, {1000, 1400, 392, 544, -1, -1, 18, 18, 0}, 0},
      {"wider than A4", 0, 2300, 3000, {2300, 3000, 904, 1176, -1, -1, 18, 18, 0}, 8},
      {"wider than B4", 0, 2600, 3000, {2600, 3000, 1016, 1176, -1, -1, 18, 18, 0}, 6},
      {"huge inches", 1, 2147483647, 2147483647, {2970, 4320, 1168, 1696, -1, -1, 18, 18, 0}, 6},
  };
  const PaperTable builtIn(HostVariant::kHostBased);
  for (const CustomCase& c : cases) {
    SCOPED_TRACE(c.name);
    const PaperEntry e = MakeCustomPaperEntry(300, c.unit, c.width, c.length);
    EXPECT_EQ(e.deviceCode, 300);
    EXPECT_EQ(e.windowsCode, 300);
    EXPECT_EQ(e.regularSize, 0);
    EXPECT_EQ(e.nameId, 0);
    EXPECT_EQ(e.portrait, c.portrait);
    PaperSide landscape = c.portrait;
    std::swap(landscape.width, landscape.length);
    std::swap(landscape.widthInch, landscape.lengthInch);
    landscape.turn = 1;
    EXPECT_EQ(e.landscape, landscape);
    // The base entry shows in the words a custom entry keeps from it.
    EXPECT_EQ(e.altNameId, builtIn[*builtIn.FindDeviceCode(c.baseDeviceCode)].altNameId);
  }
}

TEST(PaperTableTest, BuildAddsCustomPapersInOrderThenTheFreeSize) {
  std::vector<CustomPaperRecord> papers;
  for (int i = 0; i < 60; ++i) papers.push_back(MakeCustomPaper(257 + i, 0, 1500, 2000, u"P"));
  papers[3].id = 70;   // would shadow a Windows paper code: left out
  papers[4].id = 257;  // given twice: left out
  PaperTable table = PaperTable::Build(HostVariant::kHostBased, papers, FreeSize{2000, 1500});
  EXPECT_EQ(table.customCount(), 50u);
  ASSERT_EQ(table.size(), 15u + 50u + 1u);
  EXPECT_EQ(table[15].windowsCode, 257);
  EXPECT_EQ(table[18].windowsCode, 262);
  const PaperEntry& free = table[table.size() - 1];
  EXPECT_EQ(free.windowsCode, 256);
  EXPECT_EQ(free.deviceCode, 256);
  EXPECT_EQ(free.portrait.width, 1500);
  EXPECT_EQ(free.portrait.length, 2000);

  papers[1].id = 0;  // ends the list
  table = PaperTable::Build(HostVariant::kHostBased, papers);
  EXPECT_EQ(table.customCount(), 1u);
  EXPECT_EQ(table.size(), 16u);
}

TEST(PaperTableTest, LookupsFallBackToA4ThenTheDefaultPaper) {
  const CustomPaperRecord custom = MakeCustomPaper(257, 0, 1500, 2000, u"Card");
  const PaperTable table = PaperTable::Build(HostVariant::kHostBased, std::span(&custom, 1));
  EXPECT_EQ(table.PositionOfWindowsCode(5, 81), 2u);     // Legal
  EXPECT_EQ(table.PositionOfWindowsCode(257, 81), 15u);  // the custom paper
  EXPECT_EQ(table.PositionOfWindowsCode(258, 1), 5u);    // unknown: A4, even in a Letter country
  EXPECT_EQ(table.PositionOfDeviceCode(16, 1), 5u);      // "Custom" ends the built-in list: not a paper
  EXPECT_EQ(table.PositionOfDeviceCode(12, 81), 1u);
  EXPECT_EQ(table.DefaultPosition(1), 0u);
  EXPECT_EQ(table.DefaultPosition(81), 5u);
}

}  // namespace
}  // namespace k460::testing
