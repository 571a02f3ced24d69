// Printer data through the spooler stand-in: the size-first convention,
// round trips of every value the drivers write, and the fallbacks for what
// is missing, damaged or cannot be written.
#include <gtest/gtest.h>

#include <functional>

#include "driver/winnt/printer/src/common/printer_data.h"
#include "driver/winnt/printer/src/common/printer_data_values.h"
#include "platform/base/host.h"
#include "tests/driver/winnt/printer/src/common/hostsettings_support.h"

namespace k460::testing {
namespace {

struct Entry {
  DWORD type = 0;
  std::vector<std::uint8_t> bytes;
};

class PrinterDataValuesTest : public PrinterDataTest {
 protected:
  std::optional<Entry> Get(const char16_t* name) {
    std::u16string value = name;
    DWORD type = 0, needed = 0;
    if (GetPrinterDataW(printer_, value.data(), &type, nullptr, 0, &needed) == ERROR_FILE_NOT_FOUND) return std::nullopt;
    Entry entry{0, std::vector<std::uint8_t>(needed)};
    EXPECT_EQ(GetPrinterDataW(printer_, value.data(), &entry.type, entry.bytes.data(), needed, &needed), ERROR_SUCCESS);
    return entry;
  }
};

TEST_F(PrinterDataValuesTest, ValuesAreStoredSizeFirst) {
  HostSettings settings = DefaultHostSettings(HostVariant::kHostBased, 81);
  settings.blocks.hsZoom = 1500;
  ASSERT_TRUE(WritePrinterSettings(printer_, settings));

  const auto size = Get(u"PrinterDataSize");
  ASSERT_TRUE(size);
  EXPECT_EQ(size->type, REG_DWORD);
  EXPECT_EQ(size->bytes, (std::vector<std::uint8_t>{0xD0, 0x01, 0, 0}));  // 464
  const auto data = Get(u"PrinterData");
  ASSERT_TRUE(data);
  EXPECT_EQ(data->type, REG_BINARY);
  EXPECT_EQ(data->bytes, BytesOf(settings));
  EXPECT_EQ(ReadPrinterSettings(printer_), settings);
}

TEST_F(PrinterDataValuesTest, EveryValueTheDriversWriteComesBack) {
  const std::vector<CustomPaperRecord> papers = {MakeCustomPaper(257, 0, 1000, 1480, u"Card"),
                                                 MakeCustomPaper(258, 1, 400, 600, u"Photo")};
  ASSERT_TRUE(WriteCustomPapers(printer_, kPrinter, papers));
  const auto readPapers = ReadCustomPapers(printer_);
  ASSERT_EQ(readPapers.size(), 2u);
  EXPECT_EQ(CustomPaperName(readPapers[1]), u"Photo");
  EXPECT_EQ(readPapers[1].unit, 1);
  EXPECT_EQ(Get(u"CustomPaperDataSize")->bytes, (std::vector<std::uint8_t>{160, 0, 0, 0}));

  UserInfoSlots users(kUserInfoSlots);
  users[0] = MakeUserInfo(3, "0007", "Yamada");
  ASSERT_TRUE(WriteUserInfo(printer_, users));
  EXPECT_EQ(Get(u"UserInfoData")->bytes.size(), 8000u);
  EXPECT_EQ(StoreRecordsForTest(ReadUserInfo(printer_)), StoreRecordsForTest(users));

  const std::vector<FormRecord> forms = {MakeForm(u"Letter"), MakeForm(u"A4")};
  ASSERT_TRUE(WriteForms(printer_, forms));
  EXPECT_EQ(StoreRecordsForTest(ReadForms(printer_, HostVariant::kHostBased)), StoreRecordsForTest(forms));

  // Values that only other tools write.
  ASSERT_TRUE(WritePrinterDataValue(printer_, PrinterDataValue::kCountryCode, SerializeCountryCode(1)));
  EXPECT_EQ(ReadCountryCode(printer_), 1);
  ASSERT_TRUE(WritePrinterDataValue(printer_, PrinterDataValue::kDitherContrast, std::vector<std::uint8_t>{0x85}));
  EXPECT_EQ(ReadDitherContrast(printer_), -5);
}

TEST_F(PrinterDataValuesTest, NoCustomPapersAreStoredAsAnEmptyValue) {
  ASSERT_TRUE(WriteCustomPapers(printer_, kPrinter, {}));
  EXPECT_EQ(Get(u"CustomPaperDataSize")->bytes, (std::vector<std::uint8_t>{0, 0, 0, 0}));
  EXPECT_TRUE(ReadCustomPapers(printer_).empty());
  EXPECT_FALSE(ReadPrinterDataValue(printer_, PrinterDataValue::kCustomPaperData));
}

TEST_F(PrinterDataValuesTest, NamesOfTheTable) {
  const char16_t* expected[][2] = {{u"TTFontSubTable", u"TTFontSubTableSize"}, {u"TrayFormTable", u"TrayFormSize"},
                                   {u"PrinterData", u"PrinterDataSize"},       {u"PrinterDB", u"PrinterDBSize"},
                                   {u"PrinterDbgData", u"PrinterDbgDataSize"}, {u"CustomPaperData", u"CustomPaperDataSize"},
                                   {u"DitherBase", u"DitherBaseSize"},         {u"DitherContrast", u"DitherContrastSize"},
                                   {u"CountryCode", u"CountryCodeSize"},       {u"UserInfoData", u"UserInfoDataSize"}};
  for (std::size_t i = 0; i < kPrinterDataValueCount; ++i) {
    const PrinterDataNames names = NamesOf(static_cast<PrinterDataValue>(i));
    EXPECT_EQ(names.data, expected[i][0]);
    EXPECT_EQ(names.size, expected[i][1]);
  }
}

// Stored entries that do not keep the convention: "PrinterData" then counts
// as absent and the defaults are used.
TEST_F(PrinterDataValuesTest, DamagedPrinterDataCountsAsAbsent) {
  const std::vector<std::uint8_t> settings = BytesOf(DefaultHostSettings(HostVariant::kHostBased, 1));
  const std::vector<std::uint8_t> shorter(settings.begin(), settings.end() - 1);
  std::vector<std::uint8_t> longer = settings;
  longer.push_back(0);
  const std::vector<std::uint8_t> tenBytes(settings.begin(), settings.begin() + 10);
  struct Case {
    const char* name;
    std::function<void()> store;
  } cases[] = {
      {"nothing stored", [] {}},
      {"data without its size", [&] { PutRaw(u"PrinterData", REG_BINARY, settings); }},
      {"size without its data", [&] { PutSize(u"PrinterDataSize", 464); }},
      {"size of 0", [&] { PutSize(u"PrinterDataSize", 0); PutRaw(u"PrinterData", REG_BINARY, settings); }},
      {"size entry of two bytes",
       [&] { PutRaw(u"PrinterDataSize", REG_BINARY, {0xD0, 0x01}); PutRaw(u"PrinterData", REG_BINARY, settings); }},
      {"absurd size", [&] { PutSize(u"PrinterDataSize", 0xFFFFFFFF); PutRaw(u"PrinterData", REG_BINARY, settings); }},
      {"463 bytes", [&] { PutSize(u"PrinterDataSize", 463); PutRaw(u"PrinterData", REG_BINARY, shorter); }},
      {"465 bytes", [&] { PutSize(u"PrinterDataSize", 465); PutRaw(u"PrinterData", REG_BINARY, longer); }},
      {"size says 464, data holds 10 bytes",
       [&] { PutSize(u"PrinterDataSize", 464); PutRaw(u"PrinterData", REG_BINARY, tenBytes); }},
      {"size says 100, data holds 464 bytes",
       [&] { PutSize(u"PrinterDataSize", 100); PutRaw(u"PrinterData", REG_BINARY, settings); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const char16_t* name : {u"PrinterData", u"PrinterDataSize"}) {
      std::u16string value = name;
      DeletePrinterDataW(printer_, value.data());
    }
    c.store();
    EXPECT_FALSE(ReadPrinterSettings(printer_).has_value());
  }
  // The same bytes kept by the convention are taken.
  PutSize(u"PrinterDataSize", 464);
  PutRaw(u"PrinterData", REG_BINARY, settings);
  EXPECT_EQ(ReadPrinterSettings(printer_), DefaultHostSettings(HostVariant::kHostBased, 1));
}

TEST_F(PrinterDataValuesTest, LongerTablesAreCutToTheirMaximum) {
  std::vector<CustomPaperRecord> papers;
  for (int i = 0; i < 55; ++i) papers.push_back(MakeCustomPaper(257 + i, 0, 1500, 2000, u"P"));
  ASSERT_TRUE(WritePrinterDataValue(printer_, PrinterDataValue::kCustomPaperData, StoreRecordsForTest(papers)));
  EXPECT_EQ(ReadCustomPapers(printer_).size(), 50u);

  std::vector<UserInfoRecord> users(120, MakeUserInfo(1, "1", "u"));
  ASSERT_TRUE(WritePrinterDataValue(printer_, PrinterDataValue::kUserInfoData, StoreRecordsForTest(users)));
  EXPECT_EQ(ReadUserInfo(printer_).size(), 100u);
}

TEST_F(PrinterDataValuesTest, AWriteSucceedsOnlyIfBothEntriesAreWritten) {
  const HostSettings settings = DefaultHostSettings(HostVariant::kHostBased, 81);
  InjectFault("SetPrinterDataW", 1, 1, ERROR_CANTWRITE);  // the data entry
  EXPECT_FALSE(WritePrinterSettings(printer_, settings));
  EXPECT_EQ(GetLastError(), ERROR_CANTWRITE);
  EXPECT_FALSE(ReadPrinterSettings(printer_).has_value());  // a size without its data counts as absent

  InjectFault("SetPrinterDataW", 0, 1, ERROR_NOT_ENOUGH_MEMORY);  // the size entry
  EXPECT_FALSE(WritePrinterSettings(printer_, settings));
  EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);

  EXPECT_TRUE(WritePrinterSettings(printer_, settings));
  EXPECT_EQ(ReadPrinterSettings(printer_), settings);
}

TEST_F(PrinterDataValuesTest, WritesNeedTheRightToChangeThePrinter) {
  HANDLE user = Open(PRINTER_ACCESS_USE);
  EXPECT_FALSE(WritePrinterSettings(user, DefaultHostSettings(HostVariant::kHostBased, 81)));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  // Reading needs no such right.
  ASSERT_TRUE(WritePrinterSettings(printer_, DefaultHostSettings(HostVariant::kHostBased, 81)));
  EXPECT_TRUE(ReadPrinterSettings(user).has_value());
  ClosePrinter(user);
}

TEST_F(PrinterDataValuesTest, CustomPapersWithoutAHandleOpenThePrinterByName) {
  const std::vector<CustomPaperRecord> papers = {MakeCustomPaper(257, 0, 1000, 1480, u"Card")};
  ASSERT_TRUE(WriteCustomPapers(nullptr, kPrinter, papers));
  EXPECT_EQ(ReadCustomPapers(printer_).size(), 1u);

  for (const char16_t* name : {u"", u"\\\\server\\K460 Test"}) {
    SetLastError(0);
    EXPECT_FALSE(WriteCustomPapers(nullptr, name, papers));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  }
  EXPECT_FALSE(WriteCustomPapers(nullptr, u"No Such Printer", papers));
}

TEST_F(PrinterDataValuesTest, BadHandlesReadAsAbsentAndFailToWrite) {
  EXPECT_FALSE(ReadPrinterSettings(nullptr).has_value());
  EXPECT_TRUE(ReadCustomPapers(reinterpret_cast<HANDLE>(0x1234)).empty());
  EXPECT_EQ(ReadUserInfo(nullptr).size(), 100u);
  EXPECT_FALSE(WriteForms(nullptr, {}));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  std::vector<std::uint8_t> tooLarge(kMaxPrinterDataBytes + 1);
  EXPECT_FALSE(WritePrinterDataValue(printer_, PrinterDataValue::kPrinterDB, tooLarge));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

}  // namespace
}  // namespace k460::testing
