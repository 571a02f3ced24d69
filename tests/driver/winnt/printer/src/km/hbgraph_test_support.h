// Helpers of the hbgraph tests: job device modes built from settings, the
// library driven through the engine's device context into a capture
// printer, and the sheets read back with the monitors' page stream reader.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "driver/winnt/printer/src/common/host_devmode.h"
#include "monitors/common/page_records.h"
#include "platform/engine/device_context.h"
#include "tests/support/machine_fixture.h"

namespace k460::testing {

// A job's device mode: the defaults of the host-based driver (A4, 600 dpi,
// portrait), changed by the test.
struct JobDevMode {
  hostsettings::HostSettings settings;
  std::vector<std::uint8_t> bytes;  // the 672 bytes

  JobDevMode();
  // Rebuilds the bytes from `settings`; `tweak` may then change the record.
  const DEVMODEW* Build(const std::function<void(hostsettings::HostDevMode&)>& tweak = {});
};

// A sheet as the reader hands it out.
struct Sheet {
  pagestream::PageInfo info{};
  pagestream::PageHeader header{};
  std::uint32_t rowBytes = 0;
  std::vector<std::uint8_t> raster;

  bool Black(std::int32_t x, std::int32_t y) const;
  std::uint64_t BlackCount() const;
  std::uint64_t BlackIn(const RECTL& area) const;
  // The smallest rectangle holding every black pixel; all zero when there is none.
  RECTL BlackBounds() const;
};

// The page records of a stream; fails the test when it does not read cleanly.
std::vector<Sheet> ReadSheets(const std::string& stream);

// Loads hbgraph through the engine with a capture printer.
class HbgraphTest : public MachineTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Log address with "Port" in it: the device prints to its own port.
  std::unique_ptr<engine::DeviceContext> Open(const DEVMODEW* devMode, std::u16string logAddress = u"CapturePort");
  std::vector<Sheet> Sheets() const { return ReadSheets(CapturedOutput(printer_)); }
  std::size_t CapturedBytes() const { return CapturedOutput(printer_).size(); }
  HANDLE printer() const { return printer_; }
  // A fresh capture printer: what was written so far is forgotten.
  void CapturedOutputReset();

  // A document of `pages` pages, each filled with one black rectangle from `draw`.
  std::vector<Sheet> PrintPages(const DEVMODEW* devMode, int pages,
                                const std::function<void(engine::DeviceContext&, int page)>& draw = {});

  static std::string CapturedOutput(HANDLE printer);

 private:
  HANDLE printer_ = nullptr;
};

}  // namespace k460::testing
