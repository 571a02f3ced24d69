#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

#include "platform/base/internal.h"
#include "tests/platform/spooler/spooler_fixture.h"

namespace k460::testing {
namespace {

using PrinterTest = SpoolerTest;

TEST_F(PrinterTest, InformationLevelsAnswerWithTheSizeTheyNeed) {
  HANDLE h = Open(kMonitorPrinter);
  for (DWORD level : {1u, 2u, 5u}) {
    SCOPED_TRACE(level);
    DWORD needed = 0;
    EXPECT_FALSE(GetPrinterW(h, level, nullptr, 0, &needed));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    std::vector<BYTE> buffer(needed);
    EXPECT_FALSE(GetPrinterW(h, level, buffer.data(), needed - 1, &needed));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    ASSERT_TRUE(GetPrinterW(h, level, buffer.data(), needed, &needed));
  }
  DWORD needed = 0;
  GetPrinterW(h, 2, nullptr, 0, &needed);
  std::vector<BYTE> buffer(needed);
  ASSERT_TRUE(GetPrinterW(h, 2, buffer.data(), needed, &needed));
  auto* info = reinterpret_cast<PRINTER_INFO_2W*>(buffer.data());
  EXPECT_EQ(std::u16string(info->pPrinterName), kMonitorPrinter);
  EXPECT_EQ(std::u16string(info->pPortName), u"TEST1:");
  EXPECT_EQ(std::u16string(info->pDriverName), kDriver);
  EXPECT_EQ(info->pDevMode, nullptr);
  EXPECT_FALSE(GetPrinterW(h, 7, buffer.data(), needed, &needed));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_LEVEL);
  ClosePrinter(h);
}

TEST_F(PrinterTest, UnknownNamesAndBadHandlesAreRefused) {
  HANDLE h = reinterpret_cast<HANDLE>(1);
  std::u16string name = u"No Such Printer";
  EXPECT_FALSE(OpenPrinterW(name.data(), &h, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PRINTER_NAME);
  EXPECT_EQ(h, nullptr);
  std::u16string odd = u"..\\Printers\\File Printer";
  EXPECT_FALSE(OpenPrinterW(odd.data(), &h, nullptr));
  DWORD needed = 0;
  EXPECT_FALSE(GetPrinterW(reinterpret_cast<HANDLE>(0x4444), 2, nullptr, 0, &needed));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  std::u16string value = u"X";
  EXPECT_EQ(GetPrinterDataW(nullptr, value.data(), nullptr, nullptr, 0, &needed), ERROR_INVALID_HANDLE);
  HANDLE opened = Open(kFilePrinter);
  EXPECT_EQ(GetPrinterDataW(opened, value.data(), nullptr, nullptr, 0, nullptr), ERROR_INVALID_PARAMETER);
  ClosePrinter(opened);
}

TEST_F(PrinterTest, PrinterDataRoundTripsAcrossProcesses) {
  const BYTE blob[] = {1, 2, 3, 0, 255};
  pid_t child = fork();
  if (child == 0) {
    PRINTER_DEFAULTSW all{nullptr, nullptr, PRINTER_ALL_ACCESS};
    HANDLE h = nullptr;
    std::u16string name = kFilePrinter, size = u"PrinterDataSize", data = u"PrinterData";
    DWORD count = sizeof blob;
    bool ok = OpenPrinterW(name.data(), &h, &all) &&
              SetPrinterDataW(h, size.data(), REG_DWORD, reinterpret_cast<LPBYTE>(&count), 4) == ERROR_SUCCESS &&
              SetPrinterDataW(h, data.data(), REG_BINARY, const_cast<BYTE*>(blob), sizeof blob) == ERROR_SUCCESS;
    _exit(ok ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_EQ(WEXITSTATUS(status), 0);
  HANDLE h = Open(kFilePrinter);
  std::u16string data = u"PrinterData";
  DWORD type = 0, needed = 0;
  EXPECT_EQ(GetPrinterDataW(h, data.data(), &type, nullptr, 0, &needed), ERROR_MORE_DATA);
  EXPECT_EQ(needed, sizeof blob);
  BYTE read[8] = {};
  EXPECT_EQ(GetPrinterDataW(h, data.data(), &type, read, sizeof read, &needed), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_BINARY);
  EXPECT_EQ(std::memcmp(read, blob, sizeof blob), 0);
  std::u16string missing = u"CustomPaperList";
  EXPECT_EQ(GetPrinterDataW(h, missing.data(), &type, read, sizeof read, &needed), ERROR_FILE_NOT_FOUND);
  ClosePrinter(h);
}

TEST_F(PrinterTest, ChangingThePrinterNeedsTheRightToAdministerIt) {
  HANDLE user = Open(kFilePrinter, PRINTER_ACCESS_USE);
  std::u16string value = u"Watermarklist";
  BYTE b = 1;
  EXPECT_EQ(SetPrinterDataW(user, value.data(), REG_BINARY, &b, 1), ERROR_ACCESS_DENIED);
  EXPECT_FALSE(SetPrinterW(user, 0, nullptr, PRINTER_CONTROL_PAUSE));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  ClosePrinter(user);

  auto profile = GetMachineProfile();
  profile.administrator = false;
  SetMachineProfile(profile);
  PRINTER_DEFAULTSW all{nullptr, nullptr, PRINTER_ALL_ACCESS};
  HANDLE h = nullptr;
  std::u16string name = kFilePrinter;
  EXPECT_FALSE(OpenPrinterW(name.data(), &h, &all));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
}

TEST_F(PrinterTest, StoredDefaultDeviceModeAndStatusComeBack) {
  HANDLE h = Open(kFilePrinter, PRINTER_ALL_ACCESS);
  std::vector<BYTE> devmode(sizeof(DEVMODEW) + 16, 0);
  auto* dm = reinterpret_cast<DEVMODEW*>(devmode.data());
  dm->dmSize = sizeof(DEVMODEW);
  dm->dmDriverExtra = 16;
  dm->dmPaperSize = DMPAPER_A4;
  devmode.back() = 0xAB;
  PRINTER_INFO_8W level8{dm};
  ASSERT_TRUE(SetPrinterW(h, 8, reinterpret_cast<LPBYTE>(&level8), 0));
  ASSERT_TRUE(SetPrinterW(h, 0, nullptr, PRINTER_CONTROL_PAUSE));
  DWORD needed = 0;
  GetPrinterW(h, 2, nullptr, 0, &needed);
  std::vector<BYTE> buffer(needed);
  ASSERT_TRUE(GetPrinterW(h, 2, buffer.data(), needed, &needed));
  auto* info = reinterpret_cast<PRINTER_INFO_2W*>(buffer.data());
  ASSERT_NE(info->pDevMode, nullptr);
  EXPECT_EQ(info->pDevMode->dmPaperSize, DMPAPER_A4);
  EXPECT_EQ(reinterpret_cast<BYTE*>(info->pDevMode)[sizeof(DEVMODEW) + 15], 0xAB);
  EXPECT_TRUE(info->Status & PRINTER_STATUS_PAUSED);
  dm->dmSize = 9999;  // an absurd size is refused, not read past
  EXPECT_FALSE(SetPrinterW(h, 8, reinterpret_cast<LPBYTE>(&level8), 0));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  ClosePrinter(h);
}

TEST_F(PrinterTest, DriverLevelThreeListsTheDependentFilesInTheDriverDirectory) {
  HANDLE h = Open(kFilePrinter);
  DWORD needed = 0;
  EXPECT_FALSE(GetPrinterDriverW(h, nullptr, 3, nullptr, 0, &needed));
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  std::vector<BYTE> buffer(needed);
  ASSERT_TRUE(GetPrinterDriverW(h, nullptr, 3, buffer.data(), needed, &needed));
  auto* info = reinterpret_cast<DRIVER_INFO_3W*>(buffer.data());
  const std::u16string dir = u"C:\\Windows\\System32\\spool\\drivers\\w32x86\\3\\";
  EXPECT_EQ(std::u16string(info->pDriverPath), dir + u"testgraph.dll");
  EXPECT_EQ(std::u16string(info->pDependentFiles), dir + u"test.ini");
  EXPECT_EQ(info->pDependentFiles[lstrlenW(info->pDependentFiles) + 1], 0);  // list ends with an empty entry
  EXPECT_EQ(std::u16string(info->pHelpFile), dir + u"test.hlp");
  std::u16string other = u"Windows x64";
  EXPECT_FALSE(GetPrinterDriverW(h, other.data(), 3, buffer.data(), needed, &needed));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_ENVIRONMENT);
  ClosePrinter(h);
}

TEST_F(PrinterTest, PrintersPersistAndCanBeRemoved) {
  SetMachineRoot(root());  // a restart
  auto printers = ListPrinters();
  EXPECT_EQ(printers.size(), 3u);
  EXPECT_TRUE(RemovePrinter(kFilePrinter));
  EXPECT_FALSE(RemovePrinter(kFilePrinter));
  EXPECT_EQ(ListPrinters().size(), 2u);
}

}  // namespace
}  // namespace k460::testing
