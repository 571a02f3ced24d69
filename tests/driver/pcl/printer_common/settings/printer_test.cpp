// The settings operations that go through the spooler: the driver's INI file
// and the printer data, on a printer of a fresh machine.
#include <gtest/gtest.h>

#include <cstring>

#include "driver/pcl/printer_common/settings/driver_ini.h"
#include "driver/pcl/printer_common/settings/printer_data.h"
#include "driver/pcl/printer_common/settings/settings.h"
#include "platform/base/text.h"
#include "platform/spooler/host.h"
#include "tests/support/machine_fixture.h"

namespace {

constexpr char16_t kPrinter[] = u"PCL Printer";

class PrinterSettingsTest : public k460::testing::MachineTest {
 protected:
  // A driver listing `dependents` and a printer using it.
  void Install(std::vector<std::u16string> dependents) {
    k460::DriverSetup driver{u"PCL Driver", u"xlgraph.dll", u"xlui.dll", u"xlres.dll", u"xlhelp.hlp",
                             std::move(dependents), u"", u"RAW"};
    ASSERT_TRUE(k460::InstallDriver(driver));
    ASSERT_TRUE(k460::AddPrinter({kPrinter, u"PCL Driver", u"FILE:"}));
  }
  HANDLE Open(DWORD access) {
    PRINTER_DEFAULTSW defaults{nullptr, nullptr, access};
    std::u16string name = kPrinter;
    HANDLE h = nullptr;
    EXPECT_TRUE(OpenPrinterW(name.data(), &h, &defaults));
    return h;
  }
  void WriteIni(const std::u16string& name, const std::string& text) {
    WriteMachineFile(u"C:\\Windows\\System32\\spool\\drivers\\w32x86\\3\\" + name, text);
  }
  std::u16string FoundIni(HANDLE h, DWORD capacity = 1000) {
    std::vector<WCHAR> buffer(capacity);
    if (!FindDriverIni(h, buffer.data(), capacity)) return u"(none)";
    return buffer.data();
  }
};

TEST_F(PrinterSettingsTest, IniFileIsTheFirstDependentFileNamingIniInAnyCase) {
  struct Case {
    std::vector<std::u16string> dependents;
    std::u16string found;
  };
  const std::u16string dir = u"C:\\Windows\\System32\\spool\\drivers\\w32x86\\3\\";
  const Case cases[] = {
      {{u"xlres.dll", u"XLGRAPH.INI"}, dir + u"XLGRAPH.INI"},
      {{u"xlgraph.ini"}, dir + u"xlgraph.ini"},
      {{u"XlGraph.Ini.bak", u"other.ini"}, dir + u"XlGraph.Ini.bak"},  // ".INI" need not end the name
      {{u"xlres.dll"}, u"(none)"},
      {{}, u"(none)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(k460::Utf16ToUtf8(c.found));
    Install(c.dependents);
    HANDLE h = Open(PRINTER_ACCESS_USE);
    EXPECT_EQ(FoundIni(h), c.found);
    ClosePrinter(h);
  }
}

TEST_F(PrinterSettingsTest, IniPathThatDoesNotFitFailsAndReadsTheDefault) {
  Install({u"xlgraph.ini"});
  WriteIni(u"xlgraph.ini", "[Devmode]\nFDuplex=3\n");
  HANDLE h = Open(PRINTER_ACCESS_USE);
  const DWORD exact = static_cast<DWORD>(FoundIni(h).size());
  EXPECT_EQ(FoundIni(h, exact), u"(none)");
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_NE(FoundIni(h, exact + 1), u"(none)");
  EXPECT_EQ(ReadDriverIniInt(h, u"Devmode", u"FDuplex", 0), 3);
  EXPECT_EQ(ReadDriverIniInt(h, u"devmode", u"fduplex", 0), 3);
  EXPECT_EQ(ReadDriverIniInt(h, u"Devmode", u"Missing", 7), 7);
  EXPECT_EQ(ReadDriverIniInt(nullptr, u"Devmode", u"FDuplex", 9), 9);
  EXPECT_FALSE(FindDriverIni(h, nullptr, 10));
  ClosePrinter(h);
}

TEST_F(PrinterSettingsTest, DefaultsTakeTheForcedDuplexSwitchFromThePrintersIni) {
  Install({u"xlgraph.ini"});
  WriteIni(u"xlgraph.ini", "[Devmode]\nFDuplex=65537\n");
  HANDLE h = Open(PRINTER_ACCESS_USE);
  JobSettings js;
  PrinterDriverIni ini(h);
  SettingsDefaults(js, u"PCL Driver", false, &ini);
  EXPECT_EQ(static_cast<int>(js.pv.pvForceDuplexField), 1);  // truncated to 16 bits
  ClosePrinter(h);
}

TEST_F(PrinterSettingsTest, PrinterDataRoundTripsSizeFirst) {
  Install({});
  HANDLE admin = Open(PRINTER_ALL_ACCESS);
  PrinterDataRecord record;
  EXPECT_FALSE(LoadPrinterData(admin, &record));
  EXPECT_EQ(static_cast<int>(record.wVersion), 0x0500);
  EXPECT_EQ(static_cast<int>(record.wSize), 4080);
  record.js.pv.pvDuplexUnit = 1;
  ASSERT_TRUE(StorePrinterData(admin, record));
  HANDLE user = Open(PRINTER_ACCESS_USE);
  PrinterDataRecord back;
  ASSERT_TRUE(LoadPrinterData(user, &back));
  EXPECT_EQ(std::memcmp(&back, &record, sizeof record), 0);
  EXPECT_FALSE(StorePrinterData(user, record));  // no right to change the printer
  ClosePrinter(user);
  ClosePrinter(admin);
}

TEST_F(PrinterSettingsTest, OldShortRecordIsWidenedOnUpgrade) {
  Install({});
  HANDLE h = Open(PRINTER_ALL_ACCESS);
  std::vector<BYTE> old(2000, 0xAB);
  old[0] = 0x00;
  old[1] = 0x04;  // version 0x0400
  DWORD size = 2000;
  std::u16string sizeName = u"PrinterDataSize", dataName = u"PrinterData";
  ASSERT_EQ(SetPrinterDataW(h, sizeName.data(), REG_DWORD, reinterpret_cast<BYTE*>(&size), 4), ERROR_SUCCESS);
  ASSERT_EQ(SetPrinterDataW(h, dataName.data(), REG_BINARY, old.data(), 2000), ERROR_SUCCESS);
  ASSERT_TRUE(UpgradePrinterData(h));
  DWORD type = 0, needed = 0;
  std::vector<BYTE> stored(4080);
  ASSERT_EQ(GetPrinterDataW(h, dataName.data(), &type, stored.data(), 4080, &needed), ERROR_SUCCESS);
  EXPECT_EQ(needed, 4080u);
  EXPECT_EQ(stored[0], 0x00);
  EXPECT_EQ(stored[1], 0x05);
  EXPECT_EQ(stored[2] | (stored[3] << 8), 4080);
  EXPECT_EQ(stored[4], 0xAB);
  EXPECT_EQ(stored[1999], 0xAB);
  EXPECT_EQ(stored[2000], 0);
  EXPECT_EQ(stored[4079], 0);
  ClosePrinter(h);
}

TEST_F(PrinterSettingsTest, DamagedStoredRecordsReadAsFresh) {
  Install({});
  HANDLE h = Open(PRINTER_ALL_ACCESS);
  std::u16string sizeName = u"PrinterDataSize", dataName = u"PrinterData";
  std::vector<BYTE> data(4080, 0x11);
  ASSERT_EQ(SetPrinterDataW(h, dataName.data(), REG_BINARY, data.data(), 4080), ERROR_SUCCESS);
  for (DWORD size : {0u, 100u, 0xFFFFFFF0u}) {  // zero, another length than stored, absurd
    SCOPED_TRACE(size);
    ASSERT_EQ(SetPrinterDataW(h, sizeName.data(), REG_DWORD, reinterpret_cast<BYTE*>(&size), 4), ERROR_SUCCESS);
    PrinterDataRecord record;
    EXPECT_FALSE(LoadPrinterData(h, &record));
    EXPECT_EQ(static_cast<int>(record.wVersion), 0x0500);
    EXPECT_EQ(record.js.dm.dmSize, 0);
  }
  ClosePrinter(h);
}

TEST_F(PrinterSettingsTest, ListsRoundTripWholeAndMissingListsAreEmpty) {
  Install({});
  HANDLE h = Open(PRINTER_ALL_ACCESS);
  CustomPaperEntry papers[kCustomPaperCount];
  EXPECT_FALSE(LoadCustomPaperList(h, papers));
  papers[39].lUnit = 2;
  papers[39].fWidth = 100.0f;
  ASSERT_TRUE(StoreCustomPaperList(h, papers));
  CustomPaperEntry back[kCustomPaperCount];
  ASSERT_TRUE(LoadCustomPaperList(h, back));
  EXPECT_EQ(std::memcmp(back, papers, sizeof papers), 0);
  WatermarkListEntry marks[kWatermarkListCount];
  EXPECT_FALSE(LoadWatermarkList(h, marks));
  std::memset(marks, 0x5A, sizeof marks);
  ASSERT_TRUE(StoreWatermarkList(h, marks));
  WatermarkListEntry marksBack[kWatermarkListCount];
  ASSERT_TRUE(LoadWatermarkList(h, marksBack));
  EXPECT_EQ(std::memcmp(marksBack, marks, sizeof marks), 0);
  ClosePrinter(h);
}

}  // namespace
