// A machine with the emulated device on loopback, a network port for it,
// the device's HTTP port in the registry and a printer on that port: jobs
// written to the printer go through the spooler into the network monitor
// and on to the device.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/outside/device/emulator.h"
#include "tests/monitors/common/page_stream_support.h"
#include "tests/monitors/netmon/netmon_fixture.h"

namespace k460::testing {

inline constexpr char16_t kJobPrinter[] = u"K460 Network";
inline constexpr std::int32_t kPrinterDevId = 205;

class NetmonJobTest : public NetmonTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  device::Emulator& device() { return *device_; }
  // Prints `stream` as one RAW job; whether EndDocPrinter reported it printed.
  bool PrintStream(const std::vector<std::uint8_t>& stream, const std::u16string& document = u"Report");
  // The job's id as the spooler gave it, for SetJob from another thread.
  DWORD lastJobId() const { return lastJobId_; }
  // The requests the device got, as "GETSTATUS", "CREATE", ..., "DATA" (and
  // without the GETSTATUS status checks when `withStatus` is false).
  std::vector<std::string> Conversation(bool withStatus = false);
  // The messages the message program showed, once `expected` of them are
  // in the log (it runs as a process of its own) or a few seconds passed.
  std::vector<ShownMessage> ProgramMessages(std::size_t expected);
  // Files the monitor left in its temporary folder.
  std::vector<std::string> LeftoverFiles();
  // A stream of printer pages; `papers` gives each page's `Paper` code.
  static std::vector<std::uint8_t> PrinterJob(const std::vector<std::int16_t>& papers,
                                              std::vector<pagestream::testing::TestPage>* pages = nullptr);
  // The page image the device kept, as 16-bit rows of the encoder's rule.
  std::vector<std::uint8_t> DevicePageRows(const std::string& folder, const std::string& image, int* width,
                                           int* height);

 private:
  std::unique_ptr<device::Emulator> device_;
  DWORD lastJobId_ = 0;
};

}  // namespace k460::testing
