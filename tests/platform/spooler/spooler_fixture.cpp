#include "tests/platform/spooler/spooler_fixture.h"

#include <random>

namespace k460::testing {

void SpoolerTest::SetUp() {
  MachineTest::SetUp();
  ASSERT_TRUE(InstallDriver({kDriver, u"testgraph.dll", u"testui.dll", u"", u"test.hlp", {u"test.ini"}, u"", u"RAW"}));
  ASSERT_TRUE(InstallDriver(
      {kLanguageDriver, u"testgraph.dll", u"testui.dll", u"", u"", {}, u"Test Language Monitor", u"RAW"}));
  ASSERT_TRUE(InstallMonitor(u"Test Port Monitor", u"spooler_test_portmon.dll"));
  ASSERT_TRUE(InstallMonitor(u"Test Language Monitor", u"spooler_test_langmon"));
  ASSERT_TRUE(AddPrinter({kFilePrinter, kDriver, u"FILE:"}));
  ASSERT_TRUE(AddPrinter({kMonitorPrinter, kDriver, u"TEST1:"}));
  ASSERT_TRUE(AddPrinter({kStackedPrinter, kLanguageDriver, u"TEST2:"}));
  PortMonitor() = TestMonitorRecord{};
  PortMonitor().ports = {u"TEST1:", u"TEST2:"};
  LanguageMonitor() = TestMonitorRecord{};
  SetDespoolPieceSize(4096);
  ClearFinishedJobs();
}

void SpoolerTest::TearDown() {
  ShutdownSpooler();
  for (HMODULE m : modules_) FreeLibrary(m);
  MachineTest::TearDown();
}

TestMonitorRecord& SpoolerTest::Record(const char16_t* library) {
  // Held until the test ends, so the record outlives the spooler's use.
  HMODULE module = LoadLibraryW(library);
  EXPECT_NE(module, nullptr);
  modules_.push_back(module);
  auto get = reinterpret_cast<PFN_TestMonitorRecord>(GetProcAddress(module, "TestMonitorRecordOf"));
  EXPECT_NE(get, nullptr);
  return *get();
}

TestMonitorRecord& SpoolerTest::PortMonitor() { return Record(u"spooler_test_portmon"); }
TestMonitorRecord& SpoolerTest::LanguageMonitor() { return Record(u"spooler_test_langmon"); }

HANDLE SpoolerTest::Open(const std::u16string& printer, DWORD access) {
  PRINTER_DEFAULTSW defaults{nullptr, nullptr, access};
  HANDLE h = nullptr;
  std::u16string name = printer;
  EXPECT_TRUE(OpenPrinterW(name.data(), &h, &defaults)) << GetLastError();
  return h;
}

bool SpoolerTest::PrintJob(const std::u16string& printer, const std::string& data, DWORD writePiece,
                           const std::u16string& outputFile) {
  HANDLE h = Open(printer);
  std::u16string doc = u"test document", output = outputFile;
  DOC_INFO_1W info{doc.data(), output.empty() ? nullptr : output.data(), nullptr};
  DWORD job = StartDocPrinterW(h, 1, reinterpret_cast<LPBYTE>(&info));
  EXPECT_NE(job, 0u);
  std::mt19937 random(7);
  for (std::size_t at = 0; at < data.size();) {
    DWORD piece = writePiece ? writePiece : std::uniform_int_distribution<DWORD>(1, 9000)(random);
    piece = static_cast<DWORD>(std::min<std::size_t>(piece, data.size() - at));
    DWORD written = 0;
    EXPECT_TRUE(WritePrinter(h, const_cast<char*>(data.data() + at), piece, &written));
    EXPECT_EQ(written, piece);
    at += piece;
  }
  bool ok = EndDocPrinter(h);
  ClosePrinter(h);
  return ok;
}

std::string PieceName(DWORD piece) { return piece ? std::to_string(piece) : "random"; }

}  // namespace k460::testing
