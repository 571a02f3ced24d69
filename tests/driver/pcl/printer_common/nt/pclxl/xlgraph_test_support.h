// The fixture of the driver's tests: the driver enabled as the engine would
// enable it, devices built from job settings on a capture printer, fake
// surfaces that carry a device, whole jobs printed page by page, and the
// output read back item by item with the PCL XL reader.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "driver/pcl/printer_common/nt/pclxl/xldevice.h"
#include "driver/pcl/printer_common/nt/pclxl/xlgraph.h"
#include "driver/pcl/printer_common/settings/settings.h"
#include "platform/spooler/capture.h"
#include "tests/support/machine_fixture.h"
#include "tools/pclxl_reader/pclxl_reader.h"

namespace xltest {

// The settings the user interface sends by default in an A4 locale.
inline JobSettings JobDefaults() {
  JobSettings js;
  SettingsDefaults(js, u"K-460 PCL XL", false, nullptr);
  return js;
}

// One line per item of a job, as `k460 dump` prints it but without offsets:
// "UEL", "PJL @PJL SET ...", "HEADER ...", "BeginPage Orientation=ubyte(0) ...".
inline std::vector<std::string> Items(const std::string& bytes, bool expectComplete = true) {
  k460::pclxl::Job job = k460::pclxl::ParseJob(bytes);
  if (expectComplete && job.error) ADD_FAILURE() << k460::pclxl::FormatError(*job.error);
  std::vector<std::string> items;
  for (const auto& item : job.items) items.push_back(k460::pclxl::FormatItem(item).substr(10));
  return items;
}

// The items that begin with `prefix`, or the one that does.
inline std::vector<std::string> Matching(const std::vector<std::string>& items, const std::string& prefix) {
  std::vector<std::string> found;
  for (const auto& item : items)
    if (item.compare(0, prefix.size(), prefix) == 0) found.push_back(item);
  return found;
}
inline std::string First(const std::vector<std::string>& items, const std::string& prefix) {
  auto found = Matching(items, prefix);
  return found.empty() ? "(none)" : found.front();
}

class XlDriverTest : public k460::testing::MachineTest {
 protected:
  void SetUp() override {
    MachineTest::SetUp();
    DRVENABLEDATA data{};
    ASSERT_TRUE(DrvEnableDriver(ENGINE_VERSION, sizeof data, &data));
    printer_ = k460::OpenCapturePrinter();
  }
  void TearDown() override {
    for (PDEV* pdev : devices_)
      if (bValidatePDEV(pdev)) DrvDisablePDEV(reinterpret_cast<DHPDEV>(pdev));
    DrvDisableDriver();
    CloseHandle(printer_);
    MachineTest::TearDown();
  }

  // A device for the job's settings, as DrvEnablePDEV makes it; disabled at
  // the end of the test unless the test disables it first.
  PDEV* Enable(const JobSettings& js, HANDLE printer = nullptr) {
    JobSettings copy = js;
    HSURF patterns[HS_DDI_MAX]{};
    caps_ = GDIINFO{};
    info_ = DEVINFO{};
    std::u16string name = u"K-460 PCL XL";
    DHPDEV dhpdev = DrvEnablePDEV(&copy.dm, nullptr, HS_DDI_MAX, patterns, sizeof caps_, &caps_, sizeof info_,
                                  &info_, nullptr, name.data(), printer ? printer : printer_);
    auto* pdev = reinterpret_cast<PDEV*>(dhpdev);
    if (pdev) devices_.push_back(pdev);
    return pdev;
  }
  void Disable(PDEV* pdev) {
    DrvDisablePDEV(reinterpret_cast<DHPDEV>(pdev));
    std::erase(devices_, pdev);
  }

  // A surface object as the engine hands it in: it names the device.
  SURFOBJ* Surface(PDEV* pdev) {
    SURFOBJ& so = surfaces_.emplace_back();
    so.dhpdev = reinterpret_cast<DHPDEV>(pdev);
    so.iType = STYPE_DEVICE;
    return &so;
  }

  // What a whole document of `pages` empty pages on a new device sends to
  // a printer of its own.
  std::string PrintJob(const JobSettings& js, int pages) {
    HANDLE printer = k460::OpenCapturePrinter();
    PDEV* pdev = Enable(js, printer);
    EXPECT_NE(pdev, nullptr);
    if (!pdev) {
      CloseHandle(printer);
      return {};
    }
    SURFOBJ* so = Surface(pdev);
    std::u16string doc = u"Test document";
    EXPECT_TRUE(DrvStartDoc(so, doc.data(), 1));
    for (int page = 0; page < pages; ++page) {
      EXPECT_TRUE(DrvStartPage(so));
      EXPECT_TRUE(DrvSendPage(so));
    }
    EXPECT_TRUE(DrvEndDoc(so, 0));
    Disable(pdev);
    std::string output = k460::CapturedOutput(printer);
    CloseHandle(printer);
    return output;
  }
  std::vector<std::string> PrintItems(const JobSettings& js, int pages = 1) { return Items(PrintJob(js, pages)); }

  std::string Output() const { return k460::CapturedOutput(printer_); }
  HANDLE printer() const { return printer_; }
  const GDIINFO& caps() const { return caps_; }
  const DEVINFO& info() const { return info_; }

 private:
  HANDLE printer_ = nullptr;
  std::vector<PDEV*> devices_;
  std::deque<SURFOBJ> surfaces_;
  GDIINFO caps_{};
  DEVINFO info_{};
};

}  // namespace xltest
