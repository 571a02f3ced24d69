// What the graphics libraries and the user interfaces read from a printer
// at once, and the INI switch.
#include <gtest/gtest.h>

#include "driver/winnt/printer/src/common/ini_switches.h"
#include "driver/winnt/printer/src/common/printer_data.h"
#include "driver/winnt/printer/src/common/printer_data_values.h"
#include "driver/winnt/printer/src/common/settings_loading.h"
#include "tests/driver/winnt/printer/src/common/hostsettings_support.h"

namespace k460::testing {
namespace {

class SettingsLoadingTest : public PrinterDataTest {
 protected:
  void StoreCountry(std::int32_t country) {
    ASSERT_TRUE(WritePrinterDataValue(printer_, PrinterDataValue::kCountryCode, SerializeCountryCode(country)));
  }
  void StoreCustomPapers() {
    const std::vector<CustomPaperRecord> papers = {MakeCustomPaper(257, 0, 1000, 1480, u"Card"),
                                                   MakeCustomPaper(258, 0, 2000, 3000, u"Poster")};
    ASSERT_TRUE(WriteCustomPapers(printer_, kPrinter, papers));
  }
};

TEST_F(SettingsLoadingTest, NoPrinterDataGivesTheDefaultsOfTheCountry) {
  RendererSettings loaded = LoadRendererSettings(printer_, {}, HostVariant::kHostBased);
  EXPECT_EQ(loaded.countryCode, 81);
  EXPECT_EQ(loaded.settings, DefaultHostSettings(HostVariant::kHostBased, 81));
  EXPECT_EQ(loaded.papers.size(), 15u);
  EXPECT_FALSE(loaded.jobDevMode.has_value());
  EXPECT_FALSE(loaded.ditherBase.has_value());
  EXPECT_EQ(loaded.users.size(), 100u);

  StoreCountry(1);
  loaded = LoadRendererSettings(printer_, {}, HostVariant::kHostBased);
  EXPECT_EQ(loaded.countryCode, 1);
  EXPECT_EQ(loaded.settings.hsPaperIndex, 0);  // Letter
  EXPECT_EQ(loaded.settings.blocks.hsMarginUnit, 1);

  StoreCountry(-1);
  EXPECT_EQ(LoadRendererSettings(printer_, {}, HostVariant::kHostBased).countryCode, 81);
}

TEST_F(SettingsLoadingTest, JobDeviceModeOverridesThePrinterSettings) {
  HostSettings printer = DefaultHostSettings(HostVariant::kHostBased, 81);
  printer.blocks.hsFinisher = 1;
  printer.blocks.hsZoom = 2000;
  ASSERT_TRUE(WritePrinterSettings(printer_, printer));

  HostDevMode job = DefaultDevMode(HostVariant::kHostBased);
  job.dm.dmPaperSize = 8;  // A3
  job.dpCountryCode = 1;
  job.blocks.hsNup = 1;
  const auto bytes = BytesOf(job);
  const RendererSettings loaded = LoadRendererSettings(printer_, bytes, HostVariant::kHostBased);
  ASSERT_TRUE(loaded.jobDevMode.has_value());
  EXPECT_EQ(loaded.countryCode, 1);  // the job's
  EXPECT_EQ(loaded.settings.hsPaperIndex, 4);
  EXPECT_EQ(loaded.settings.blocks.hsNup, 1);
  EXPECT_EQ(loaded.settings.blocks.hsZoom, 1000);  // the job's blocks, not the printer's

  // A job device mode of another driver changes only what it marks.
  job.dm.dmDriverExtra = 0;
  job.dm.dmFields = DM_PAPERSIZE;
  const auto foreign = BytesOf(job);
  const RendererSettings fromForeign =
      LoadRendererSettings(printer_, std::span(foreign).first(220), HostVariant::kHostBased);
  EXPECT_EQ(fromForeign.settings.hsPaperIndex, 4);
  EXPECT_EQ(fromForeign.settings.blocks.hsZoom, 2000);
  EXPECT_EQ(fromForeign.settings.blocks.hsFinisher, 1);
  EXPECT_EQ(fromForeign.countryCode, 81);  // no country in a foreign record
}

TEST_F(SettingsLoadingTest, JobOnACustomPaperOrItsOwnSizeFindsItInTheTable) {
  StoreCustomPapers();
  HostDevMode job = DefaultDevMode(HostVariant::kHostBased);
  job.dm.dmPaperSize = 258;
  auto bytes = BytesOf(job);
  RendererSettings loaded = LoadRendererSettings(printer_, bytes, HostVariant::kHostBased);
  ASSERT_EQ(loaded.papers.size(), 17u);
  EXPECT_EQ(loaded.settings.hsPaperIndex, 16);
  EXPECT_EQ(loaded.settings.blocks.hsCustomPaperCount, 2);
  EXPECT_EQ(loaded.papers[16].portrait.width, 2000);

  job.dm.dmPaperSize = 256;
  job.dm.dmPaperWidth = 1200;
  job.dm.dmPaperLength = 1800;
  bytes = BytesOf(job);
  loaded = LoadRendererSettings(printer_, bytes, HostVariant::kHostBased);
  ASSERT_EQ(loaded.papers.size(), 18u);
  EXPECT_EQ(loaded.settings.hsPaperIndex, 17);
  EXPECT_EQ(loaded.papers[17].portrait.length, 1800);
}

TEST_F(SettingsLoadingTest, JobWithoutCountryFallsBackToThePrinters) {
  StoreCountry(1);
  HostDevMode job = DefaultDevMode(HostVariant::kHostBased);
  job.dpCountryCode = kNoCountryCode;
  const auto bytes = BytesOf(job);
  EXPECT_EQ(LoadRendererSettings(printer_, bytes, HostVariant::kHostBased).countryCode, 1);
}

TEST_F(SettingsLoadingTest, FaxReadsNoCustomPapersNorDitherValues) {
  StoreCustomPapers();
  std::vector<std::uint8_t> contrast = {0x85};
  ASSERT_TRUE(WritePrinterDataValue(printer_, PrinterDataValue::kDitherContrast, contrast));
  std::vector<FormRecord> forms(30, MakeForm(u"F"));
  ASSERT_TRUE(WriteForms(printer_, forms));
  ASSERT_TRUE(WritePrinterSettings(printer_, DefaultHostSettings(HostVariant::kHostBased, 81)));

  const RendererSettings fax = LoadRendererSettings(printer_, {}, HostVariant::kFax);
  EXPECT_EQ(fax.papers.size(), 16u);
  EXPECT_EQ(fax.settings.blocks.hsCustomPaperCount, 0);
  EXPECT_FALSE(fax.ditherContrast.has_value());
  EXPECT_EQ(fax.forms.size(), 16u);
  // A host-based record stored on a fax printer loses its finishing block.
  EXPECT_EQ(fax.settings.blocks.hsStaplePosition, 0);

  const RendererSettings host = LoadRendererSettings(printer_, {}, HostVariant::kHostBased);
  EXPECT_EQ(host.ditherContrast, -5);
  EXPECT_EQ(host.forms.size(), 30u);
}

TEST_F(SettingsLoadingTest, SheetTakesTheDensityFromTheRegistry) {
  struct Case {
    std::uint8_t contrast;
    std::int32_t density;
  } cases[] = {{0x85, -5}, {0x05, 5}, {0x7F, 50}, {0xFF, -50}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.contrast);
    ASSERT_TRUE(WritePrinterDataValue(printer_, PrinterDataValue::kDitherContrast, std::vector<std::uint8_t>{c.contrast}));
    EXPECT_EQ(LoadSheetSettings(printer_, HostVariant::kHostBased, 81).settings.blocks.hsDensity, c.density);
    EXPECT_EQ(LoadSheetSettings(printer_, HostVariant::kFax, 81).settings.blocks.hsDensity, 0);
  }
}

TEST_F(SettingsLoadingTest, SheetRepairsStoredSettings) {
  StoreCustomPapers();
  HostSettings stored = DefaultHostSettings(HostVariant::kHostBased, 1);
  stored.hsPaperIndex = 16;  // the second custom paper
  stored.blocks.hsZoom = 100;
  ASSERT_TRUE(WritePrinterSettings(printer_, stored));
  SheetSettings sheet = LoadSheetSettings(printer_, HostVariant::kHostBased, 1);
  EXPECT_EQ(sheet.settings.hsPaperIndex, 16);
  EXPECT_EQ(sheet.settings.blocks.hsZoom, 1000);
  EXPECT_EQ(sheet.settings.blocks.hsCustomPaperCount, 2);

  std::u16string name = u"CustomPaperData";
  ASSERT_EQ(DeletePrinterDataW(printer_, name.data()), ERROR_SUCCESS);
  sheet = LoadSheetSettings(printer_, HostVariant::kHostBased, 1);
  EXPECT_EQ(sheet.settings.hsPaperIndex, 0);  // the paper is gone: Letter for country 1
}

TEST_F(SettingsLoadingTest, NotBlankPaperPrintingIsReadOnlyFromAnExistingFile) {
  EXPECT_FALSE(ReadNotBlankPaperPrinting(u"C:\\Drivers\\K460.ini").has_value());
  WriteMachineFile(u"C:\\Drivers\\K460.ini", "[RegEntry]\r\nNotBlankPaperPrinting=1\r\n");
  EXPECT_EQ(ReadNotBlankPaperPrinting(u"C:\\Drivers\\K460.ini"), 1);
  WriteMachineFile(u"C:\\Drivers\\K460F.ini", "[Graphic]\r\nShowGraphicEnhanceMode=1\r\n");
  EXPECT_EQ(ReadNotBlankPaperPrinting(u"C:\\Drivers\\K460F.ini"), 0);
  EXPECT_FALSE(ReadNotBlankPaperPrinting(u"C:\\Drivers").has_value());
  EXPECT_FALSE(ReadNotBlankPaperPrinting(u"").has_value());
}

}  // namespace
}  // namespace k460::testing
