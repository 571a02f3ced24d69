#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>

#include "driver/pcl/printer_common/settings/settings.h"
#include "tests/support/machine_fixture.h"
#include "tools/print/pcl_fields.h"
#include "tools/print/print_error.h"

namespace k460::print {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

class RecordFields : public k460::testing::MachineTest {
 protected:
  void SetUp() override {
    MachineTest::SetUp();
    SettingsDefaults(record_, u"K460", false, nullptr);
  }
  std::span<std::uint8_t> Bytes() { return {reinterpret_cast<std::uint8_t*>(&record_), sizeof record_}; }
  std::string Read(std::string_view name) { return FieldValueText(Bytes(), JobSettingsFields(), name); }
  void Set(std::string_view assignment) {
    ApplyFieldWrite(Bytes(), PrepareFieldWrite(JobSettingsFields(), assignment));
  }

  JobSettings record_{};
};

TEST_F(RecordFields, NamesResolveToTheRecordLayout) {
  const std::pair<const char*, std::size_t> cases[] = {
      {"dmDeviceName", 0},
      {"dmCopies", 86},
      {"dmFormName", 102},
      {"dmPanningHeight", 216},
      {"pvSignature", 220},
      {"pvZoom", 396},
      {"pvWatermark.szText", 444 + 100},
      {"pvWatermark.lAngle", 444 + 320},
      {"pvWatermark.alAdvance[30]", 444 + 340 + 30 * 4},
      {"pvCustomPapers[0].szName", 1188},
      {"pvCustomPapers[2].lUnit", 1188 + 2 * 56 + 52},
      {"pvCustomMinimum[3]", 3992 + 12},
      {"pvDensity", 3988},
      {"pvDuplex", 4042},
      {"abReserved4044[31]", 4075},
  };
  for (const auto& [name, offset] : cases) EXPECT_EQ(ResolveField(JobSettingsFields(), name).offset, offset) << name;
}

TEST_F(RecordFields, AssignmentsAreWrittenLittleEndianAndReadBack) {
  const std::pair<const char*, const char*> cases[] = {
      {"dmCopies=5", "5"},
      {"dmPaperSize=-3", "-3"},
      {"pvZoom=0x64", "100"},
      {"pvDensity=-50", "-50"},
      {"pvGutterFront=0.5", "0.5"},
      {"pvPresetName=My preset", "My preset"},
      {"dmFormName=日本語の用紙", "日本語の用紙"},
      {"pvWatermark.szText=DRAFT", "DRAFT"},
      {"pvWatermark.bItalic=1", "1"},
      {"pvCustomPapers[49].fWidth=210.5", "210.5"},
      {"pvCustomMinimum[3]=+1.5", "1.5"},
      {"pvForceDuplexField=65535", "65535"},
      {"pvSignature=4294967295", "4294967295"},
      {"sReserved1160=-1", "-1"},
  };
  for (const auto& [assignment, value] : cases) {
    SCOPED_TRACE(assignment);
    Set(assignment);
    const std::string_view text(assignment);
    EXPECT_EQ(Read(text.substr(0, text.find('='))), value);
  }
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(&record_);
  EXPECT_EQ(bytes[396], 100);  // pvZoom, least significant byte first
  EXPECT_EQ(bytes[397], 0);
}

TEST_F(RecordFields, ATextIsTerminatedAndTheRestCleared) {
  Set("pvPresetName=abcdefghijklmno");  // 15 characters: the most that fit
  Set("pvPresetName=xy");
  EXPECT_EQ(Read("pvPresetName"), "xy");
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(&record_) + 252;
  for (int i = 4; i < 32; ++i) EXPECT_EQ(bytes[i], 0) << i;
}

TEST_F(RecordFields, DeviceModeFieldsMarkThemselvesValid) {
  ASSERT_EQ(LeGet(record_.dm.dmFields) & DM_COLLATE, 0u);
  Set("dmCollate=1");
  EXPECT_NE(LeGet(record_.dm.dmFields) & DM_COLLATE, 0u);
  Set("dmFields=0");  // the field itself is written as given
  EXPECT_EQ(LeGet(record_.dm.dmFields), 0u);
  Set("pvSort=1");  // private fields have no bit
  EXPECT_EQ(LeGet(record_.dm.dmFields), 0u);
}

TEST_F(RecordFields, BadAssignmentsNameTheFieldAndWhatIsValid) {
  const std::pair<const char*, const char*> cases[] = {
      {"pvZom=1", "unknown field 'pvZom' (did you mean 'pvZoom'?); valid fields: dmDeviceName, dmSpecVersion,"},
      {"colour=1", "unknown field 'colour'; valid fields: dmDeviceName"},
      {"pvZoom", "--set needs FIELD=VALUE, not 'pvZoom'"},
      {"dmCopies=40000", "dmCopies=40000: out of range; valid range is -32768..32767"},
      {"pvForceDuplexField=-1", "pvForceDuplexField=-1: out of range; valid range is 0..65535"},
      {"pvWatermark.bItalic=256", "pvWatermark.bItalic=256: out of range; valid range is 0..255"},
      {"pvZoom=ten", "pvZoom=ten: not a whole number; valid range is -2147483648..2147483647"},
      {"pvZoom=99999999999999999999999", "pvZoom=99999999999999999999999: out of range"},
      {"pvZoom=1e3", "pvZoom=1e3: not a whole number"},
      {"pvGutterFront=abc", "pvGutterFront=abc: not a number"},
      {"pvGutterFront=1e39", "pvGutterFront=1e39: not a number"},
      {"pvPresetName=0123456789abcdef", "pvPresetName=0123456789abcdef: the text is longer than 15 characters"},
      {"pvPresetName=\xc3", "pvPresetName=\xc3: the text is not valid UTF-8"},
      {"pvCustomMinimum=1", "pvCustomMinimum is an array; name an element: pvCustomMinimum[0] to pvCustomMinimum[3]"},
      {"pvCustomMinimum[4]=1",
       "pvCustomMinimum: no such element '[4]'; elements are pvCustomMinimum[0] to pvCustomMinimum[3]"},
      {"pvCustomMinimum[-1]=1", "pvCustomMinimum: no such element '[-1]'"},
      {"pvCustomMinimum[1=1", "pvCustomMinimum: no such element '[1'"},
      {"pvWatermark=1", "pvWatermark is a record; name a member: pvWatermark.szName, pvWatermark.szText,"},
      {"pvWatermark.szTexts=x", "unknown field 'pvWatermark.szTexts' (did you mean 'pvWatermark.szText'?)"},
      {"pvCustomPapers[1].Width=3",
       "unknown field 'pvCustomPapers[1].Width' (did you mean 'pvCustomPapers[1].fWidth'?)"},
      {"pvZoom.x=1", "'pvZoom.x': pvZoom has no parts"},
      {"=5", "'' is not a field name"},
  };
  for (const auto& [assignment, message] : cases) {
    SCOPED_TRACE(assignment);
    try {
      PrepareFieldWrite(JobSettingsFields(), assignment);
      ADD_FAILURE() << "no error";
    } catch (const OptionError& error) {
      EXPECT_THAT(error.what(), StartsWith(message));
    }
  }
}

TEST_F(RecordFields, TheListOfValidFieldsLeavesReservedBytesOut) {
  try {
    PrepareFieldWrite(JobSettingsFields(), "nothing=1");
    ADD_FAILURE();
  } catch (const OptionError& error) {
    EXPECT_THAT(error.what(), HasSubstr("pvDuplex"));
    EXPECT_THAT(error.what(), HasSubstr("pvCustomPapers"));
    EXPECT_THAT(error.what(), Not(HasSubstr("Reserved")));
  }
  // ... though they are fields like any other.
  EXPECT_NO_THROW(PrepareFieldWrite(JobSettingsFields(), "lReserved288=1"));
}

}  // namespace
}  // namespace k460::print
