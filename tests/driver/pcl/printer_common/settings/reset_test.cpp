// The standard-settings reset touches exactly the editable fields.
#include <gtest/gtest.h>

#include <set>

#include "tests/driver/pcl/printer_common/settings/byte_image.h"
#include "tests/driver/pcl/printer_common/settings/settings_test_support.h"
#include "tests/support/machine_fixture.h"

namespace {

using namespace settings_test;
using ResetTest = k460::testing::MachineTest;

struct Field {
  std::size_t offset, width;
  std::uint32_t a4, letter;  // stored value (floats as bits)
};

// Every field the reset sets, at its offset in the record.
const Field kResetFields[] = {
    {948, 4, 0, 0}, {952, 4, 0, 0}, {960, 4, 0, 0}, {964, 4, 0, 0}, {1020, 4, 0, 0}, {1024, 4, 0, 0},  // margins
    {78, 2, 9, 1},      // dmPaperSize
    {228, 4, 5, 0},     // pvPaperIndex
    {380, 4, 9, 1},     // pvPrintToPaperSize
    {384, 4, 5, 0},     // pvPrintToPaperIndex
    {944, 4, 2, 1}, {956, 4, 2, 1}, {1016, 4, 2, 1},  // units
    {84, 2, 100, 100},  // dmScale
    {396, 4, 100, 100},  // pvZoom
    {284, 4, 2, 2},      // pvTonerSave
    {82, 2, 0, 0}, {80, 2, 0, 0},  // dmPaperWidth, dmPaperLength
    {232, 4, 0, 0}, {236, 4, 0, 0}, {388, 4, 0, 0}, {392, 4, 0, 0}, {400, 4, 0, 0}, {376, 4, 0, 0},
    {4024, 4, 0, 0}, {424, 4, 0, 0}, {428, 4, 0, 0}, {432, 4, 0, 0}, {928, 4, 0, 0}, {924, 4, 0, 0},
    {932, 4, 0, 0}, {980, 4, 0, 0}, {100, 2, 0, 0} /* dmCollate */, {1032, 4, 0, 0}, {988, 4, 0, 0},
    {992, 4, 0, 0}, {292, 4, 0, 0}, {404, 4, 0, 0}, {4036, 4, 0, 0},
    {76, 2, 1, 1}, {86, 2, 1, 1}, {408, 4, 1, 1}, {94, 2, 1, 1}, {4008, 4, 1, 1}, {4012, 4, 1, 1},
    {412, 4, 1, 1}, {4020, 4, 1, 1}, {4042, 2, 1, 1},  // the ones
    {4016, 4, 4, 4},      // pvLastPunch
    {90, 2, 600, 600},    // dmPrintQuality
    {96, 2, 600, 600},    // dmYResolution
    {88, 2, 257, 257},    // dmDefaultSource
    {244, 4, 1314, 1314},  // pvOutputBin without finisher
};

TEST_F(ResetTest, SetsTheEditableFieldsAndNothingElse) {
  for (auto [language, letter] : {std::pair{MAKELANGID(LANG_ENGLISH, 4), true},
                                  std::pair{MAKELANGID(LANG_JAPANESE, 1), false}}) {
    SCOPED_TRACE(letter ? "Letter" : "A4");
    SetUserLanguage(language);
    JobSettings record;
    std::memset(&record, 0x5A, sizeof record);
    SettingsReset(record);

    Bytes expected(sizeof record, 0x5A);
    ByteImage values(sizeof record);
    std::set<std::size_t> touched;
    for (const Field& f : kResetFields) {
      const std::uint32_t v = letter ? f.letter : f.a4;
      for (std::size_t i = 0; i < f.width; ++i) {
        expected[f.offset + i] = static_cast<BYTE>(v >> (8 * i));
        EXPECT_TRUE(touched.insert(f.offset + i).second) << "listed twice: " << f.offset;
      }
    }
    EXPECT_EQ(Raw(record), expected);
  }
}

TEST_F(ResetTest, OutputBinIsTheFinishersWhenOneIsInstalled) {
  JobSettings record = Defaults(false);
  record.pv.pvOutputBin = kBinFinisherLower;
  record.pv.pvFinisher = 1;
  SettingsReset(record);
  EXPECT_EQ(record.pv.pvOutputBin, kBinFinisherUpper);
  record.pv.pvFinisher = 0;
  SettingsReset(record);
  EXPECT_EQ(record.pv.pvOutputBin, kBinStandard);
}

}  // namespace
