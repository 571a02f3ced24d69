// Device modes in and out: building one from settings, the validity rule,
// unpacking one (however it lies) into settings, applying edited values.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "tests/driver/winnt/printer/src/common/hostsettings_support.h"

namespace k460::testing {
namespace {

std::u16string Text(const WCHAR* text, std::size_t size) {
  return std::u16string(text, std::find(text, text + size, u'\0'));
}

TEST(DevModeConversionTest, BuiltDeviceModeHasThePublicFieldsOfTheDrivers) {
  HostSettings s = DefaultHostSettings(HostVariant::kHostBased, 81);
  s.hsCopies = 3;
  s.hsCollate = 1;
  s.hsReverseOrder = 1;
  s.hsLandscape = 1;
  s.hsSourceIndex = 4;
  s.hsPriorityIndex = 0;
  s.hsReserved28 = 1;
  const std::vector<FormRecord> forms(6, MakeForm(u"A4 form with a name longer than thirty-one characters"));
  const HostDevMode d = BuildHostDevMode(s, PaperTable(HostVariant::kHostBased), forms, 81);

  EXPECT_EQ(Text(d.dm.dmDeviceName, 32), u"Velkaro Printer");
  EXPECT_EQ(d.dm.dmSpecVersion, 0x0401);
  EXPECT_EQ(d.dm.dmDriverVersion, 0x0400);
  EXPECT_EQ(d.dm.dmSize, 220);
  EXPECT_EQ(d.dm.dmDriverExtra, 452);
  EXPECT_EQ(d.dm.dmFields, 0x00013703u);
  EXPECT_EQ(d.dm.dmOrientation, 2);
  EXPECT_EQ(d.dm.dmPaperSize, 9);
  EXPECT_EQ(d.dm.dmPaperLength, 0);
  EXPECT_EQ(d.dm.dmPaperWidth, 0);
  EXPECT_EQ(d.dm.dmScale, 100);
  EXPECT_EQ(d.dm.dmCopies, 3);
  EXPECT_EQ(d.dm.dmDefaultSource, 257);
  EXPECT_EQ(d.dm.dmPrintQuality, 600);
  EXPECT_EQ(d.dm.dmYResolution, 600);
  EXPECT_EQ(d.dm.dmLogPixels, 600);
  EXPECT_EQ(d.dm.dmColor, 1);
  EXPECT_EQ(d.dm.dmDuplex, 1);
  EXPECT_EQ(d.dm.dmTTOption, 1);
  EXPECT_EQ(d.dm.dmCollate, 1);
  EXPECT_EQ(Text(d.dm.dmFormName, 32), u"A4 form with a name longer than");  // 31 characters and the NUL
  EXPECT_EQ(d.dm.dmICMMethod, 1u);
  EXPECT_EQ(d.dm.dmNup, 0u);
  EXPECT_EQ(d.dpPriority, 2);
  EXPECT_EQ(d.dpReserved228, 1);
  EXPECT_EQ(d.dpCollate, 1);
  EXPECT_EQ(d.dpReverseOrder, 1);
  EXPECT_EQ(d.dpCountryCode, 81);
  EXPECT_EQ(d.blocks, s.blocks);
  EXPECT_TRUE(IsValidHostDevMode(BytesOf(d), HostVariant::kHostBased));
}

TEST(DevModeConversionTest, BuildingWritesOutOfRangeSettingsWithTheirFallbacks) {
  const CustomPaperRecord custom = MakeCustomPaper(257, 0, 1480, 2100, u"Card");
  const PaperTable papers = PaperTable::Build(HostVariant::kHostBased, std::span(&custom, 1), FreeSize{1000, 1400});
  struct Case {
    const char* name;
    std::function<void(HostSettings&)> set;
    std::function<bool(const HostDevMode&)> written;
  } cases[] = {
      {"copies 0", [](HostSettings& s) { s.hsCopies = 0; }, [](const HostDevMode& d) { return d.dm.dmCopies == 1; }},
      {"copies 1500", [](HostSettings& s) { s.hsCopies = 1500; },
       [](const HostDevMode& d) { return d.dm.dmCopies == 999; }},
      {"source index 8 is auto select", [](HostSettings& s) { s.hsSourceIndex = 8; },
       [](const HostDevMode& d) { return d.dm.dmDefaultSource == 7; }},
      {"resolution index 3", [](HostSettings& s) { s.hsResolutionIndex = 3; },
       [](const HostDevMode& d) { return d.dm.dmPrintQuality == 600 && d.dm.dmLogPixels == 600; }},
      {"resolution index 1", [](HostSettings& s) { s.hsResolutionIndex = 1; },
       [](const HostDevMode& d) { return d.dm.dmPrintQuality == 300 && d.dm.dmYResolution == 300; }},
      {"priority index 3", [](HostSettings& s) { s.hsPriorityIndex = 3; },
       [](const HostDevMode& d) { return d.dpPriority == 1; }},
      {"priority index 2", [](HostSettings& s) { s.hsPriorityIndex = 2; },
       [](const HostDevMode& d) { return d.dpPriority == 0; }},
      {"reserved selector above 1", [](HostSettings& s) { s.hsReserved28 = 4; },
       [](const HostDevMode& d) { return d.dpReserved228 == 0; }},
      {"paper beyond the list", [](HostSettings& s) { s.hsPaperIndex = 40; },
       [](const HostDevMode& d) { return d.dm.dmPaperSize == 9; }},
      {"custom paper in landscape gives its portrait size",
       [](HostSettings& s) { s.hsPaperIndex = 15; s.hsLandscape = 1; },
       [](const HostDevMode& d) {
         return d.dm.dmPaperSize == 257 && d.dm.dmPaperWidth == 1480 && d.dm.dmPaperLength == 2100;
       }},
      {"free size", [](HostSettings& s) { s.hsPaperIndex = 16; },
       [](const HostDevMode& d) { return d.dm.dmPaperSize == 256 && d.dm.dmPaperWidth == 1000; }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    HostSettings s = DefaultHostSettings(HostVariant::kHostBased, 81);
    c.set(s);
    EXPECT_TRUE(c.written(BuildHostDevMode(s, papers, {}, 81)));
  }
}

TEST(DevModeConversionTest, ValidityRules) {
  struct Case {
    const char* name;
    HostVariant variant;
    std::function<void(HostDevMode&)> edit;
    std::size_t buffer;
    bool valid;
  } cases[] = {
      {"as built", HostVariant::kHostBased, [](HostDevMode&) {}, 672, true},
      {"fax as built", HostVariant::kFax, [](HostDevMode&) {}, 672, true},
      {"dmSize 219", HostVariant::kHostBased, [](HostDevMode& d) { d.dm.dmSize = 219; }, 672, false},
      {"dmDriverExtra 451", HostVariant::kHostBased, [](HostDevMode& d) { d.dm.dmDriverExtra = 451; }, 672, false},
      {"buffer shorter than its sizes", HostVariant::kHostBased, [](HostDevMode&) {}, 671, false},
      {"driver version", HostVariant::kHostBased, [](HostDevMode& d) { d.dm.dmDriverVersion = 0x0401; }, 672, false},
      {"spec version", HostVariant::kHostBased, [](HostDevMode& d) { d.dm.dmSpecVersion = 0x0400; }, 672, false},
      {"orientation 3", HostVariant::kHostBased, [](HostDevMode& d) { d.dm.dmOrientation = 3; }, 672, false},
      {"paper 2", HostVariant::kHostBased, [](HostDevMode& d) { d.dm.dmPaperSize = 2; }, 672, false},
      {"paper 514", HostVariant::kHostBased, [](HostDevMode& d) { d.dm.dmPaperSize = 514; }, 672, false},
      {"paper 513", HostVariant::kHostBased, [](HostDevMode& d) { d.dm.dmPaperSize = 513; }, 672, true},
      {"paper 120", HostVariant::kHostBased, [](HostDevMode& d) { d.dm.dmPaperSize = 120; }, 672, true},
      {"COM10 of the driver's own list", HostVariant::kHostBased, [](HostDevMode& d) { d.dm.dmPaperSize = 20; }, 672,
       true},
      {"Monarch on the fax driver", HostVariant::kFax, [](HostDevMode& d) { d.dm.dmPaperSize = 37; }, 672, true},
      {"Monarch on the host-based driver", HostVariant::kHostBased, [](HostDevMode& d) { d.dm.dmPaperSize = 37; },
       672, false},
      {"source 5", HostVariant::kHostBased, [](HostDevMode& d) { d.dm.dmDefaultSource = 5; }, 672, false},
      {"source 258", HostVariant::kHostBased, [](HostDevMode& d) { d.dm.dmDefaultSource = 258; }, 672, true},
      {"collate 2", HostVariant::kHostBased, [](HostDevMode& d) { d.dm.dmCollate = 2; }, 672, false},
      {"scale 24", HostVariant::kHostBased, [](HostDevMode& d) { d.dm.dmScale = 24; }, 672, false},
      {"scale 401", HostVariant::kHostBased, [](HostDevMode& d) { d.dm.dmScale = 401; }, 672, false},
      {"copies 0", HostVariant::kHostBased, [](HostDevMode& d) { d.dm.dmCopies = 0; }, 672, false},
      {"copies 1000", HostVariant::kHostBased, [](HostDevMode& d) { d.dm.dmCopies = 1000; }, 672, false},
      {"fax copies 100", HostVariant::kFax, [](HostDevMode& d) { d.dm.dmCopies = 100; }, 672, false},
      {"Y resolution differs", HostVariant::kHostBased, [](HostDevMode& d) { d.dm.dmYResolution = 300; }, 672, false},
      {"log pixels differ", HostVariant::kHostBased, [](HostDevMode& d) { d.dm.dmLogPixels = 300; }, 672, false},
      {"400 dpi", HostVariant::kHostBased,
       [](HostDevMode& d) { d.dm.dmPrintQuality = d.dm.dmYResolution = 400; d.dm.dmLogPixels = 400; }, 672, false},
      {"fax 400 dpi", HostVariant::kFax,
       [](HostDevMode& d) { d.dm.dmPrintQuality = d.dm.dmYResolution = 400; d.dm.dmLogPixels = 400; }, 672, true},
      {"fax 300 dpi", HostVariant::kFax,
       [](HostDevMode& d) { d.dm.dmPrintQuality = d.dm.dmYResolution = 300; d.dm.dmLogPixels = 300; }, 672, false},
      {"colour", HostVariant::kHostBased, [](HostDevMode& d) { d.dm.dmColor = 2; }, 672, false},
      {"duplex", HostVariant::kHostBased, [](HostDevMode& d) { d.dm.dmDuplex = 2; }, 672, false},
      {"TrueType option", HostVariant::kHostBased, [](HostDevMode& d) { d.dm.dmTTOption = 2; }, 672, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    HostDevMode d = DefaultDevMode(c.variant);
    c.edit(d);
    const auto bytes = BytesOf(d);
    EXPECT_EQ(IsValidHostDevMode(std::span(bytes).first(c.buffer), c.variant), c.valid);
  }
}

// A device mode as a caller hands it over, and what it unpacks into.
struct UnpackCase {
  const char* name;
  std::function<void(HostDevMode&)> edit;
  std::function<bool(const HostSettings&)> unpacked;
  HostVariant variant = HostVariant::kHostBased;
  std::size_t buffer = kHostDevModeSize;
  // Raw edits of the stored bytes: for sizes that the record cannot say.
  std::function<void(std::vector<std::uint8_t>&)> editBytes = nullptr;
  bool contributes = true;
};

void SetSizes(std::vector<std::uint8_t>& bytes, std::uint16_t dmSize, std::uint16_t dmDriverExtra) {
  StoreLe(bytes.data() + 68, dmSize);
  StoreLe(bytes.data() + 70, dmDriverExtra);
}

TEST(DevModeConversionTest, IncomingDeviceModesUnpackIntoSettings) {
  const UnpackCase cases[] = {
      {"defaults", [](HostDevMode&) {},
       [](const HostSettings& s) {
         HostSettings expected = DefaultHostSettings(HostVariant::kHostBased, 81);
         expected.blocks.hsCustomPaperCount = 1;  // the table's custom paper
         return s == expected;
       }},
      {"Legal", [](HostDevMode& d) { d.dm.dmPaperSize = 5; },
       [](const HostSettings& s) { return s.hsPaperIndex == 2 && s.blocks.hsPaper == 4; }},
      {"custom paper", [](HostDevMode& d) { d.dm.dmPaperSize = 257; },
       [](const HostSettings& s) { return s.hsPaperIndex == 15 && s.blocks.hsPaper == 257; }},
      {"free size", [](HostDevMode& d) { d.dm.dmPaperSize = 256; d.dm.dmPaperWidth = 1500; d.dm.dmPaperLength = 1000; },
       [](const HostSettings& s) { return s.hsPaperIndex == 16 && s.blocks.hsPaper == 256; }},
      {"unknown paper is A4", [](HostDevMode& d) { d.dm.dmPaperSize = 33; },
       [](const HostSettings& s) { return s.hsPaperIndex == 5; }},
      {"source cassette 3", [](HostDevMode& d) { d.dm.dmDefaultSource = 2; },
       [](const HostSettings& s) { return s.hsSourceIndex == 3 && s.blocks.hsSource == 3; }},
      {"unknown source is auto select", [](HostDevMode& d) { d.dm.dmDefaultSource = 99; },
       [](const HostSettings& s) { return s.hsSourceIndex == 0; }},
      {"landscape", [](HostDevMode& d) { d.dm.dmOrientation = 2; },
       [](const HostSettings& s) { return s.hsLandscape == 1 && s.blocks.hsOrientation == 2; }},
      {"orientation 7 is portrait", [](HostDevMode& d) { d.dm.dmOrientation = 7; },
       [](const HostSettings& s) { return s.hsLandscape == 0; }},
      {"copies 5", [](HostDevMode& d) { d.dm.dmCopies = 5; },
       [](const HostSettings& s) { return s.hsCopies == 5 && s.blocks.hsCopiesUi == 5; }},
      {"copies -3", [](HostDevMode& d) { d.dm.dmCopies = -3; },
       [](const HostSettings& s) { return s.hsCopies == 1; }},
      {"copies 2000", [](HostDevMode& d) { d.dm.dmCopies = 2000; },
       [](const HostSettings& s) { return s.hsCopies == 999; }},
      {"200 dpi", [](HostDevMode& d) { d.dm.dmPrintQuality = 200; },
       [](const HostSettings& s) { return s.hsResolutionIndex == 0 && s.blocks.hsResolutionChoice == 0; }},
      {"300 dpi", [](HostDevMode& d) { d.dm.dmPrintQuality = 300; },
       [](const HostSettings& s) { return s.hsResolutionIndex == 1 && s.blocks.hsResolutionChoice == 1; }},
      {"400 dpi is 600", [](HostDevMode& d) { d.dm.dmPrintQuality = 400; },
       [](const HostSettings& s) { return s.hsResolutionIndex == 2 && s.blocks.hsResolutionChoice == 3; }},
      {"fax 400 dpi", [](HostDevMode& d) { d.dm.dmPrintQuality = 400; },
       [](const HostSettings& s) { return s.hsResolutionIndex == 1 && s.blocks.hsResolutionChoice == 2; },
       HostVariant::kFax},
      {"fax 300 dpi is 200", [](HostDevMode& d) { d.dm.dmPrintQuality = 300; },
       [](const HostSettings& s) { return s.hsResolutionIndex == 0; }, HostVariant::kFax},
      {"priority code 0", [](HostDevMode& d) { d.dpPriority = 0; },
       [](const HostSettings& s) { return s.hsPriorityIndex == 2; }},
      {"priority code 7", [](HostDevMode& d) { d.dpPriority = 7; },
       [](const HostSettings& s) { return s.hsPriorityIndex == 1; }},
      {"selector 11", [](HostDevMode& d) { d.dpReserved228 = 11; },
       [](const HostSettings& s) { return s.hsReserved28 == 4; }},
      {"selector 5", [](HostDevMode& d) { d.dpReserved228 = 5; },
       [](const HostSettings& s) { return s.hsReserved28 == 0; }},
      {"collate and reverse order nonzero", [](HostDevMode& d) { d.dpCollate = 5; d.dpReverseOrder = -1; },
       [](const HostSettings& s) {
         return s.hsCollate == 1 && s.hsReverseOrder == 1 && s.blocks.hsSort == 1 && s.blocks.hsOutputOrder == 1;
       }},
      {"blocks copied", [](HostDevMode& d) { d.blocks.hsNup = 3; d.blocks.hsFinisher = 1; d.blocks.hsFaxItem = 2; },
       [](const HostSettings& s) {
         return s.blocks.hsNup == 3 && s.blocks.hsFinisher == 1 && s.blocks.hsFaxItem == 2;
       }},
      {"zoom 100 is 1000", [](HostDevMode& d) { d.blocks.hsZoom = 100; },
       [](const HostSettings& s) { return s.blocks.hsZoom == 1000; }},
      {"graphics block of 16 bytes",
       [](HostDevMode& d) {
         d.blocks.hsGraphicsSize = 16;
         d.blocks.hsGraphicEnhance = 1;
         d.blocks.hsEnhanceRop = 0x1234;
       },
       [](const HostSettings& s) {
         return s.blocks.hsGraphicEnhance == 1 && s.blocks.hsEnhanceRop == 0xCCCC && s.blocks.hsGraphicsSize == 48;
       }},
      {"graphics block of negative size",
       [](HostDevMode& d) { d.blocks.hsGraphicsSize = -1; d.blocks.hsGraphicEnhance = 1; },
       [](const HostSettings& s) { return s.blocks.hsGraphicEnhance == 0 && s.blocks.hsGraphicsSize == 48; }},
      {"graphics block larger than 48",
       [](HostDevMode& d) { d.blocks.hsGraphicsSize = 4000; d.blocks.hsReductionThreshold = 60; },
       [](const HostSettings& s) { return s.blocks.hsReductionThreshold == 60; }},
      {"fax leaves finishing out", [](HostDevMode& d) { d.blocks.hsStaple = 1; d.blocks.hsStaplePosition = 2; },
       [](const HostSettings& s) { return s.blocks.hsStaple == 0 && s.blocks.hsStaplePosition == 0; },
       HostVariant::kFax},
      // A foreign device mode: only the public fields it marks.
      {"version 3.51 record",
       [](HostDevMode& d) {
         d.dm.dmFields = DM_PAPERSIZE;
         d.dm.dmPaperSize = 5;
         d.dm.dmCopies = 7;
         d.blocks.hsZoom = 2000;
       },
       [](const HostSettings& s) { return s.hsPaperIndex == 2 && s.hsCopies == 1 && s.blocks.hsZoom == 1000; },
       HostVariant::kHostBased, 196, [](std::vector<std::uint8_t>& b) { SetSizes(b, 188, 8); }},
      {"another driver's record",
       [](HostDevMode& d) {
         d.dm.dmFields = DM_COPIES | DM_COLLATE;
         d.dm.dmCopies = 4;
         d.dm.dmCollate = 1;
         d.dpPriority = 0;
       },
       [](const HostSettings& s) { return s.hsCopies == 4 && s.hsCollate == 1 && s.hsPriorityIndex == 1; },
       HostVariant::kHostBased, 672, [](std::vector<std::uint8_t>& b) { SetSizes(b, 220, 0); }},
      {"private part cut short by the buffer", [](HostDevMode& d) { d.dm.dmCopies = 6; d.blocks.hsNup = 1; },
       [](const HostSettings& s) { return s.hsCopies == 6 && s.blocks.hsNup == 0; }, HostVariant::kHostBased, 600},
      {"dmDriverExtra 451", [](HostDevMode& d) { d.blocks.hsNup = 1; },
       [](const HostSettings& s) { return s.blocks.hsNup == 0; }, HostVariant::kHostBased, 672,
       [](std::vector<std::uint8_t>& b) { SetSizes(b, 220, 451); }},
      // Sizes that cannot be a device mode: the record counts for nothing.
      {"dmSize 300", [](HostDevMode&) {}, nullptr, HostVariant::kHostBased, 672,
       [](std::vector<std::uint8_t>& b) { SetSizes(b, 300, 452); }, false},
      {"dmSize 60", [](HostDevMode&) {}, nullptr, HostVariant::kHostBased, 672,
       [](std::vector<std::uint8_t>& b) { SetSizes(b, 60, 452); }, false},
      {"dmSize beyond the buffer", [](HostDevMode&) {}, nullptr, HostVariant::kHostBased, 100, nullptr, false},
      {"buffer without the size words", [](HostDevMode&) {}, nullptr, HostVariant::kHostBased, 70, nullptr, false},
  };
  const CustomPaperRecord custom = MakeCustomPaper(257, 0, 1480, 2100, u"Card");
  for (const UnpackCase& c : cases) {
    SCOPED_TRACE(c.name);
    HostDevMode d = DefaultDevMode(c.variant);
    c.edit(d);
    auto bytes = BytesOf(d);
    if (c.editBytes) c.editBytes(bytes);
    // Exactly the caller's buffer, so that a read beyond it is caught.
    const std::vector<std::uint8_t> buffer(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(c.buffer));
    const auto incoming = ReadIncomingDevMode(buffer);
    ASSERT_EQ(incoming.has_value(), c.contributes);
    if (!incoming) continue;
    const PaperTable papers = PaperTable::Build(c.variant, std::span(&custom, 1), FreeSizeOf(*incoming));
    const HostSettings base = DefaultHostSettings(c.variant, 81);
    EXPECT_TRUE(c.unpacked(SettingsFromDevMode(*incoming, base, papers, 81)));
  }
}

TEST(DevModeConversionTest, IniSwitchReplacesSkipBlankPages) {
  HostDevMode d = DefaultDevMode(HostVariant::kHostBased);
  d.blocks.hsSkipBlankPages = 1;
  const PaperTable papers(HostVariant::kHostBased);
  const HostSettings base = DefaultHostSettings(HostVariant::kHostBased, 81);
  EXPECT_EQ(SettingsFromDevMode(Incoming(d), base, papers, 81).blocks.hsSkipBlankPages, 1);
  EXPECT_EQ(SettingsFromDevMode(Incoming(d), base, papers, 81, 0).blocks.hsSkipBlankPages, 0);
  d.blocks.hsSkipBlankPages = 0;
  EXPECT_EQ(SettingsFromDevMode(Incoming(d), base, papers, 81, 7).blocks.hsSkipBlankPages, 1);
}

TEST(DevModeConversionTest, SettingsSurviveTheirDeviceMode) {
  for (HostVariant variant : {HostVariant::kHostBased, HostVariant::kFax}) {
    SCOPED_TRACE(variant == HostVariant::kFax ? "fax" : "host-based");
    const PaperTable papers(variant);
    HostSettings s = DefaultHostSettings(variant, 1);
    s.hsPaperIndex = 8;
    s.hsLandscape = 1;
    s.hsCopies = 12;
    s.hsCollate = 1;
    s.hsSourceIndex = 6;
    s.hsResolutionIndex = 1;
    s.hsPriorityIndex = 2;
    s.hsReserved28 = 1;
    s.hsReverseOrder = 1;
    s.blocks.hsNup = 5;
    s.blocks.hsDensity = -20;
    s.blocks.hsFaxUserKey = 42;
    std::strcpy(s.blocks.hsFaxPassword, "secret");
    s.blocks.hsReduction = 2;
    if (variant == HostVariant::kHostBased) s.blocks.hsPunch = 1;
    NormaliseSettings(s, papers, 1);
    // The edited values as an apply leaves them.
    s.blocks.hsCopiesUi = s.hsCopies;
    s.blocks.hsSort = 1;
    s.blocks.hsOrientation = 2;
    s.blocks.hsPaper = papers[8].deviceCode;
    s.blocks.hsSource = 6;
    s.blocks.hsOutputOrder = 1;
    s.blocks.hsResolutionChoice = ResolutionChoiceOfIndex(1, variant);

    const HostDevMode d = BuildHostDevMode(s, papers, {}, 1);
    const auto bytes = BytesOf(d);
    ASSERT_TRUE(IsValidHostDevMode(bytes, variant));
    const HostSettings back =
        SettingsFromDevMode(*ReadIncomingDevMode(bytes), DefaultHostSettings(variant, 81), papers, 1);
    EXPECT_EQ(back, s);
  }
}

TEST(DevModeConversionTest, ApplyTakesTheEditedValues) {
  struct Case {
    HostVariant variant;
    std::int32_t choice, before, after;
  } cases[] = {{HostVariant::kHostBased, 0, 2, 0}, {HostVariant::kHostBased, 1, 2, 1},
               {HostVariant::kHostBased, 3, 0, 2}, {HostVariant::kHostBased, 2, 1, 1},
               {HostVariant::kFax, 2, 0, 1},       {HostVariant::kFax, 3, 0, 2},
               {HostVariant::kFax, 1, 0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.choice);
    const PaperTable papers(c.variant);
    HostSettings s = DefaultHostSettings(c.variant, 81);
    s.hsResolutionIndex = c.before;
    s.blocks.hsResolutionChoice = c.choice;
    s.blocks.hsPaper = 8;  // B4
    s.blocks.hsSource = 3;
    s.blocks.hsOrientation = 2;
    s.blocks.hsCopiesUi = 4;
    s.blocks.hsSort = 1;
    s.blocks.hsOutputOrder = 1;
    ApplyEditedValues(s, papers, 81);
    EXPECT_EQ(s.hsResolutionIndex, c.after);
    EXPECT_EQ(s.hsPaperIndex, 8);
    EXPECT_EQ(s.hsSourceIndex, 3);
    EXPECT_EQ(s.hsLandscape, 1);
    EXPECT_EQ(s.hsCopies, 4);
    EXPECT_EQ(s.hsCollate, 1);
    EXPECT_EQ(s.hsReverseOrder, 1);
  }
}

TEST(DevModeConversionTest, DeviceModeBytesNeverReachBeyondTheRecordOrTheBuffer) {
  std::vector<std::uint8_t> buffer(3000, 0);
  SetSizes(buffer, 220, 2000);
  const auto* dm = reinterpret_cast<const DEVMODEW*>(buffer.data());
  EXPECT_EQ(DevModeBytes(dm).size(), 672u);
  EXPECT_EQ(DevModeBytes(dm, 300).size(), 300u);
  SetSizes(buffer, 156, 0);
  EXPECT_EQ(DevModeBytes(dm).size(), 156u);
  EXPECT_TRUE(DevModeBytes(nullptr).empty());
  EXPECT_TRUE(DevModeBytes(dm, 10).empty());
}

}  // namespace
}  // namespace k460::testing
