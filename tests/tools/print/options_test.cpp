#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "driver/pcl/printer_common/settings/settings.h"
#include "tests/support/machine_fixture.h"
#include "tools/print/pcl_fields.h"
#include "tools/print/pcl_options.h"

namespace k460::print {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

class PclOptions : public k460::testing::MachineTest {
 protected:
  void SetUp() override {
    MachineTest::SetUp();
    SettingsDefaults(record_, u"K460", false, nullptr);  // an A4 locale's record
  }

  // Applies the -o arguments to the record.
  void Apply(const std::vector<std::string>& arguments) {
    OptionMapper<JobSettings> mapper(PclOptionTable());
    for (const std::string& argument : arguments) mapper.AddOptions(argument);
    mapper.Apply(record_);
  }

  std::string Field(std::string_view name) {
    return FieldValueText({reinterpret_cast<const std::uint8_t*>(&record_), sizeof record_}, JobSettingsFields(), name);
  }

  // The message of the OptionError that the arguments give, from adding or applying them.
  std::string ErrorOf(const std::vector<std::string>& arguments) {
    try {
      Apply(arguments);
    } catch (const OptionError& error) {
      return error.what();
    }
    return "no error";
  }

  JobSettings record_{};
};

struct MappingCase {
  std::vector<std::string> options;
  std::vector<std::pair<std::string, std::string>> fields;  // field, value after the options
};

TEST_F(PclOptions, EachOptionSetsItsFields) {
  const MappingCase cases[] = {
      {{"copies=3"}, {{"dmCopies", "3"}}},
      {{"media=A3"}, {{"dmPaperSize", "8"}, {"pvPaperIndex", "4"}, {"dmFormName", "A3"}}},
      {{"media=na_letter_8.5x11in"}, {{"dmPaperSize", "1"}, {"pvPaperIndex", "0"}, {"dmFormName", "Letter"}}},
      {{"Media=halfletter"}, {{"dmPaperSize", "257"}, {"pvPaperIndex", "1"}}},
      {{"PageSize=Legal"}, {{"dmPaperSize", "5"}}},
      {{"media-type=thick"}, {{"pvMediaType", "1"}}},
      {{"InputSlot=Cassette2"}, {{"pvInputTray", "3"}, {"dmDefaultSource", "260"}}},
      {{"InputSlot=FeedCabinet"}, {{"pvInputTray", "6"}, {"dmDefaultSource", "263"}}},
      {{"orientation-requested=4"}, {{"dmOrientation", "2"}}},
      {{"landscape"}, {{"dmOrientation", "2"}}},
      {{"landscape portrait"}, {{"dmOrientation", "1"}}},  // the last one given counts
      {{"number-up=4 number-up-layout=tbrl page-border=single"},
       {{"pvPagesPerSheet", "4"}, {"pvNupOrder", "4"}, {"pvNupBorder", "1"}}},
      // Long edge binding: a side edge of a portrait page, the top edge of a
      // landscape one; 2-up and 8-up turn the page on the sheet.
      {{"sides=two-sided-long-edge"},
       {{"pvDuplex", "3"}, {"pvBindingEdge", "1"}, {"pvDuplexBinding", "1"}, {"dmDuplex", "1"}}},
      {{"sides=two-sided-short-edge"}, {{"pvDuplex", "2"}, {"pvBindingEdge", "0"}, {"pvDuplexBinding", "0"}}},
      {{"sides=two-sided-long-edge", "landscape"}, {{"pvDuplex", "2"}, {"pvBindingEdge", "0"}}},
      {{"sides=two-sided-long-edge number-up=2"}, {{"pvDuplex", "2"}, {"pvBindingEdge", "0"}}},
      {{"sides=two-sided-long-edge number-up=4"}, {{"pvDuplex", "3"}, {"pvBindingEdge", "1"}}},
      {{"sides=two-sided-short-edge landscape number-up=8"}, {{"pvDuplex", "2"}, {"pvBindingEdge", "0"}}},
      {{"sides=two-sided-long-edge sides=one-sided"}, {{"pvDuplex", "1"}, {"dmDuplex", "1"}}},
      {{"booklet=A4"},
       {{"pvBookletPaperSize", "9"},
        {"pvBookletIndex", "6"},
        {"pvBookletBinding", "1"},
        {"pvPagesPerSheet", "2"},
        {"pvDuplex", "3"}}},
      {{"booklet=A3 booklet-binding=right sides=two-sided-short-edge"},
       {{"pvBookletPaperSize", "8"}, {"pvBookletIndex", "5"}, {"pvBookletBinding", "2"}, {"pvDuplex", "2"}}},
      {{"booklet=A5 InputSlot=Cassette1"}, {{"pvBookletIndex", "6"}}},  // the cassette list has no Half Letter
      {{"booklet=none"}, {{"pvBookletIndex", "0"}, {"pvBookletBinding", "0"}, {"pvPagesPerSheet", "1"}}},
      {{"collate=true"}, {{"dmCollate", "1"}, {"pvSort", "1"}}},
      {{"collate"}, {{"dmCollate", "1"}, {"pvSort", "1"}}},
      {{"collate=off"}, {{"dmCollate", "0"}, {"pvSort", "0"}}},
      // Staples and punches choose the binding edge and collate the copies.
      {{"staple=top-left"},
       {{"pvStaple", "1"}, {"pvLastStaple", "1"}, {"pvBindingEdge", "1"}, {"dmCollate", "1"}, {"pvSort", "1"}}},
      {{"staple=dual-top"}, {{"pvStaple", "4"}, {"pvBindingEdge", "0"}}},
      {{"staple=dual-right"}, {{"pvStaple", "16"}, {"pvBindingEdge", "2"}}},
      {{"staple=top-right sides=two-sided-long-edge"},
       {{"pvStaple", "2"}, {"pvBindingEdge", "2"}, {"pvDuplexBinding", "2"}, {"pvDuplex", "3"}}},
      {{"staple=top-left sides=two-sided-short-edge"}, {{"pvBindingEdge", "0"}, {"pvDuplex", "2"}}},
      {{"punch=left staple=top-left"}, {{"pvPunch", "4"}, {"pvLastPunch", "4"}, {"pvBindingEdge", "1"}}},
      {{"punch=top"}, {{"pvPunch", "1"}, {"pvBindingEdge", "0"}}},
      {{"shift=true"}, {{"pvShift", "1"}}},
      {{"output-bin=finisher-lower"}, {{"pvOutputBin", "1317"}}},
      {{"print-quality=draft"}, {{"dmPrintQuality", "300"}, {"dmYResolution", "300"}}},
      {{"resolution=600dpi print-quality=draft"}, {{"dmPrintQuality", "600"}}},  // resolution is applied last
      {{"resolution=300"}, {{"dmPrintQuality", "300"}}},
      {{"toner-save=true"}, {{"pvTonerSave", "1"}}},
      {{"toner-save=no"}, {{"pvTonerSave", "2"}}},
      {{"density=-5"}, {{"pvDensity", "-5"}}},
      {{"density=+50"}, {{"pvDensity", "50"}}},
      {{"zoom=150"}, {{"pvZoom", "150"}}},
      {{"output-media=A3 fit-to-page"},
       {{"pvPrintToPaper", "1"},
        {"pvPrintToPaperSize", "8"},
        {"pvPrintToPaperIndex", "4"},
        {"pvPrintToPaperWidth", "0"},
        {"pvPrintToPaperLength", "0"},
        {"pvFitToPaper", "1"}}},
      {{"outputorder=reverse"}, {{"pvReverseOrder", "1"}}},
      {{"  media=B5   copies=2  "}, {{"dmPaperSize", "13"}, {"dmCopies", "2"}}},
  };
  for (const MappingCase& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.options));
    SettingsDefaults(record_, u"K460", false, nullptr);
    Apply(c.options);
    for (const auto& [field, value] : c.fields) EXPECT_EQ(Field(field), value) << field;
  }
}

TEST_F(PclOptions, DeviceModeBitsFollowTheFieldsSet) {
  LeSet(record_.dm.dmFields, DWORD{0});
  Apply({"copies=2 media=A5 InputSlot=Manual landscape collate print-quality=high"});
  EXPECT_EQ(LeGet(record_.dm.dmFields),
            DM_COPIES | DM_PAPERSIZE | DM_FORMNAME | DM_DEFAULTSOURCE | DM_ORIENTATION | DM_COLLATE | DM_PRINTQUALITY);
}

TEST_F(PclOptions, ForcedDuplexFieldCarriesTheModeInTheDeviceMode) {
  record_.pv.pvForceDuplexField = 1;
  LeSet(record_.dm.dmFields, DWORD{0});
  Apply({"sides=two-sided-short-edge"});
  EXPECT_EQ(LeGet(record_.dm.dmDuplex), 2);
  EXPECT_EQ(LeGet(record_.dm.dmFields), DM_DUPLEX);
  EXPECT_EQ(EffectiveDuplex(&record_), 2);
}

TEST_F(PclOptions, DuplexFromThePrintersDefaultsFollowsTheStaple) {
  record_.pv.pvDuplex = kDuplexSideEdge;
  record_.pv.pvBindingEdge = 1;
  Apply({"staple=dual-top"});
  EXPECT_EQ(Field("pvBindingEdge"), "0");
  EXPECT_EQ(Field("pvDuplex"), "2");
}

TEST_F(PclOptions, FieldAssignmentsComeAfterTheOptions) {
  OptionMapper<JobSettings> mapper(PclOptionTable());
  mapper.AddFieldAssignment("dmCopies=7");
  mapper.AddOption("copies", "2");  // -n 2
  mapper.AddFieldAssignment("pvGutterFront=0.5");
  mapper.Apply(record_);
  EXPECT_EQ(Field("dmCopies"), "7");
  EXPECT_EQ(Field("pvGutterFront"), "0.5");
  EXPECT_EQ(mapper.Given().Value("copies"), 2);
}

TEST_F(PclOptions, BadOptionsAndValuesSayWhatIsValid) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"colour=red"},
       "unknown option 'colour'; valid options: copies, media, media-type, InputSlot, "
       "orientation-requested, number-up, number-up-layout, page-border, sides, booklet, "
       "booklet-binding, collate, staple, punch, shift, output-bin, print-quality, resolution, "
       "toner-save, density, zoom, output-media, fit-to-page, outputorder, landscape, portrait, "
       "PageSize"},
      {{"media=A7"},
       "media=A7: unknown value 'A7'; valid values: Letter, HalfLetter, Legal, Ledger, A3, A4, A5, A6, "
       "B4, B5, F4, 8K, 16K, Executive, Postcard, DoublePostcard, DL, Com10, Monarch, Chou4, Kaku2"},
      {{"density=60"}, "density=60: out of range; valid range is -50..50"},
      {{"density=-51"}, "density=-51: out of range; valid range is -50..50"},
      {{"zoom=big"}, "zoom=big: not a whole number; valid range is 25..400"},
      {{"zoom=1.5"}, "zoom=1.5: not a whole number; valid range is 25..400"},
      {{"copies=0"}, "copies=0: out of range; valid range is 1..999"},
      {{"copies=99999999999999999999"}, "copies=99999999999999999999: out of range; valid range is 1..999"},
      {{"collate=maybe"}, "collate=maybe: not a boolean; valid values: true, false"},
      {{"media"}, "media: needs a value; valid values: Letter, HalfLetter,"},
      {{"zoom"}, "zoom: needs a value; valid range is 25..400"},
      {{"landscape=yes"}, "landscape takes no value"},
      {{"number-up=3"}, "number-up=3: unknown value '3'; valid values: 1, 2, 4, 8"},
      {{"orientation-requested=5"}, "orientation-requested=5: unknown value '5'; valid values: 3, 4"},
      {{"sides=duplex"},
       "sides=duplex: unknown value 'duplex'; valid values: one-sided, two-sided-long-edge, "
       "two-sided-short-edge"},
      {{"staple=left"},
       "staple=left: unknown value 'left'; valid values: none, top-left, top-right, dual-top, "
       "dual-left, dual-right"},
      {{"output-bin=tray-9"},
       "output-bin=tray-9: unknown value 'tray-9'; valid values: standard, two-bin-upper, "
       "finisher-upper, finisher-lower"},
      {{"InputSlot=Cassette5"},
       "InputSlot=Cassette5: unknown value 'Cassette5'; valid values: Auto, Manual, "
       "Cassette1, Cassette2, Cassette3, Cassette4, FeedCabinet"},
      {{"booklet=A6"},
       "booklet=A6: unknown value 'A6'; valid values: none, Letter, HalfLetter, Legal, Ledger, A3, "
       "A4, A5, B4, B5, F4, Executive"},
      // Combinations that cannot be printed.
      {{"zoom=150 number-up=2"}, "zoom=150 needs one page a sheet (number-up=1, no booklet)"},
      {{"zoom=150 booklet=A4"}, "zoom=150 needs one page a sheet (number-up=1, no booklet)"},
      {{"booklet=A4 number-up=4"}, "booklet=A4 needs number-up=2, not number-up=4"},
      {{"booklet=A4 sides=one-sided"}, "booklet=A4 prints on both sides; it cannot be combined with sides=one-sided"},
      {{"booklet=HalfLetter InputSlot=Cassette1"}, "booklet=HalfLetter is not available from InputSlot=Cassette1"},
      {{"booklet=A3 InputSlot=FeedCabinet"}, "booklet=A3 is not available from InputSlot=FeedCabinet"},
      {{"booklet-binding=right"}, "booklet-binding=right needs booklet=PAPER"},
      {{"staple=top-left booklet=A4"}, "staple=top-left cannot be combined with booklet=A4"},
      {{"punch=top booklet=A4"}, "punch=top cannot be combined with booklet=A4"},
      {{"staple=top-left collate=false"},
       "staple=top-left needs collated copies; it cannot be combined with collate=false"},
      {{"staple=dual-top sides=two-sided-long-edge"},
       "staple=dual-top cannot be combined with sides=two-sided-long-edge in portrait: they need different binding "
       "edges"},
      {{"staple=dual-left sides=two-sided-long-edge landscape"},
       "staple=dual-left cannot be combined with sides=two-sided-long-edge in landscape: they need different binding "
       "edges"},
      {{"punch=right staple=top-left"}, "punch=right cannot be combined with staple=top-left"},
      {{"punch=top staple=dual-left"}, "punch=top cannot be combined with staple=dual-left"},
      {{"shift=true staple=top-left"}, "shift=true cannot be combined with staple=top-left"},
      {{"page-border=single"}, "page-border=single needs number-up=2, 4 or 8"},
      {{"fit-to-page=true"}, "fit-to-page=true needs output-media=PAPER: the page is scaled from media onto it"},
      {{"fit-to-page output-media=A3 zoom=50"}, "fit-to-page cannot be combined with zoom=50"},
      {{"output-media=A3 number-up=2"}, "output-media=A3 needs one page a sheet (number-up=1, no booklet)"},
      {{"media-type=thick InputSlot=Cassette1"},
       "media-type=thick needs InputSlot=Auto or InputSlot=Manual, not InputSlot=Cassette1"},
  };
  for (const auto& [options, message] : cases) {
    SCOPED_TRACE(::testing::PrintToString(options));
    SettingsDefaults(record_, u"K460", false, nullptr);
    EXPECT_THAT(ErrorOf(options), StartsWith(message));
  }
}

TEST_F(PclOptions, PlainPaperOnlyFromCassettes) {
  record_.pv.pvMediaType = 2;  // transparency in the printer's defaults
  Apply({"InputSlot=Cassette1"});
  EXPECT_EQ(Field("pvMediaType"), "0");
}

TEST_F(PclOptions, BookletSheetsDependOnTheLocale) {
  MachineProfile profile = GetMachineProfile();
  profile.userLanguage = 0x0409;  // English (United States): Letter
  SetMachineProfile(profile);
  SettingsDefaults(record_, u"K460", true, nullptr);
  EXPECT_THAT(ErrorOf({"booklet=A5 InputSlot=Cassette1"}), StartsWith("booklet=A5 is not available"));
  SettingsDefaults(record_, u"K460", true, nullptr);
  Apply({"booklet=Letter InputSlot=FeedCabinet"});
  EXPECT_EQ(Field("pvBookletIndex"), "1");
}

TEST_F(PclOptions, PageGeometryFollowsPaperAndOrientation) {
  Apply({"media=A4"});
  EXPECT_EQ(PclPageGeometry(record_), (PageGeometry{{4960, 7014}, {100, 100, 4860, 6914}}));
  Apply({"media=Letter landscape"});
  EXPECT_EQ(PclPageGeometry(record_), (PageGeometry{{6600, 5100}, {100, 100, 6500, 5000}}));
  // A custom paper: 100 x 148 mm in tenths of a millimetre.
  LeSet(record_.dm.dmPaperSize, SHORT{261});
  LeSet(record_.dm.dmPaperWidth, SHORT{1000});
  LeSet(record_.dm.dmPaperLength, SHORT{1480});
  LeSet(record_.dm.dmOrientation, DMORIENT_PORTRAIT);
  const PageGeometry custom = PclPageGeometry(record_);
  EXPECT_NEAR(custom.paper.width, 100 * kUnitsPerMillimetre, 1e-9);
  EXPECT_NEAR(custom.printable.Height(), 148 * kUnitsPerMillimetre - 200, 1e-9);
}

TEST(OptionHelp, EveryOptionHasHelp) {
  for (const auto& rule : PclOptionTable().rules) EXPECT_FALSE(rule.help.empty()) << rule.name;
}

}  // namespace
}  // namespace k460::print
