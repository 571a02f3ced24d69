// A machine with a driver, the test monitors and printers on their ports.
#pragma once

#include <string>
#include <vector>

#include "platform/module/module.h"
#include "platform/spooler/host.h"
#include "tests/platform/spooler/test_monitors.h"
#include "tests/support/machine_fixture.h"

namespace k460::testing {

class SpoolerTest : public MachineTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Prints `data` as one job, written in pieces of `writePiece` bytes
  // (0: random sizes). Returns EndDocPrinter's result.
  bool PrintJob(const std::u16string& printer, const std::string& data, DWORD writePiece,
                const std::u16string& outputFile = u"");
  HANDLE Open(const std::u16string& printer, DWORD access = PRINTER_ACCESS_USE);
  TestMonitorRecord& PortMonitor();
  TestMonitorRecord& LanguageMonitor();

  static constexpr char16_t kDriver[] = u"Test Driver";
  static constexpr char16_t kLanguageDriver[] = u"Test Driver With Language Monitor";
  static constexpr char16_t kFilePrinter[] = u"File Printer";
  static constexpr char16_t kMonitorPrinter[] = u"Monitor Printer";
  static constexpr char16_t kStackedPrinter[] = u"Stacked Printer";

 private:
  TestMonitorRecord& Record(const char16_t* library);
  std::vector<HMODULE> modules_;
};

// A table row's readable name.
std::string PieceName(DWORD piece);

}  // namespace k460::testing
