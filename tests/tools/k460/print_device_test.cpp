// k460 print --device as a person runs it: the real program on a fresh
// machine, the emulated device in this process on a free loopback port.
// Bad --device arguments are refused before anything is set up; a good one
// leaves the network port monitor, the device's port, the host-based
// printer on that port and the HTTP port in the registry, and the job's
// pages arrive at the device.
#include <gtest/gtest.h>
#include <png.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/base/text.h"
#include "platform/outside/device/emulator.h"
#include "platform/registry/registry.h"
#include "platform/spooler/host.h"
#include "tests/support/machine_fixture.h"
#include "tests/support/run_program.h"

namespace {

using k460::testing::ProgramRun;

constexpr char16_t kMonitorKey[] = u"SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Velkaro Ar+Vento2 Port Monitor";
constexpr char16_t kPortsKey[] =
    u"SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Velkaro Ar+Vento2 Port Monitor\\Ports";
constexpr char16_t kCommonKey[] = u"Software\\Velkaro\\Ar+Vento\\Common";
constexpr char16_t kHostBasedPrinter[] = u"Velkaro Ar+Vento2 K-410/460";

// A REG_SZ value under HKEY_LOCAL_MACHINE, read as this machine's hive has it.
std::optional<std::string> RegistryText(const char16_t* keyPath, const char16_t* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
  char16_t text[300] = {};
  DWORD type = 0, size = sizeof text - sizeof(char16_t);
  const LONG read = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
  RegCloseKey(key);
  if (read != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
  return k460::Utf16ToUtf8(text);
}

void SetHttpPort(const std::string& text) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kCommonKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  const std::u16string value = k460::Utf8ToUtf16(text);
  EXPECT_EQ(RegSetValueExW(key, u"HttpPort", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                           static_cast<DWORD>((value.size() + 1) * sizeof(char16_t))),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

void DeleteHttpPort() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kCommonKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
  RegDeleteValueW(key, u"HttpPort");
  RegCloseKey(key);
}

std::optional<std::string> PrinterPort(const std::u16string& name) {
  for (const auto& printer : k460::ListPrinters())
    if (printer.name == name) return k460::Utf16ToUtf8(printer.portName);
  return std::nullopt;
}

// A one-bit page image as the device keeps it: its size and black pixels.
struct DecodedPage {
  std::string error;
  unsigned width = 0, height = 0;
  long black = 0;
};

DecodedPage DecodePng(const std::filesystem::path& file) {
  DecodedPage page;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, file.c_str())) return {image.message};
  image.format = PNG_FORMAT_GRAY;
  std::vector<png_byte> grey(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, grey.data(), 0, nullptr)) return {image.message};
  page.width = image.width;
  page.height = image.height;
  for (png_byte value : grey) page.black += value < 128;
  return page;
}

class PrintDeviceTest : public k460::testing::MachineTest {
 protected:
  ProgramRun K460(const std::string& arguments) {
    return k460::testing::RunProgram(std::string(K460_BIN_DIR) + "/k460 --root '" + root().string() + "' " + arguments);
  }
  std::string Sample() { return std::string(K460_SOURCE_DIR) + "/samples/sample.k460"; }

  // The emulated device, listening on a free port of 127.0.0.1.
  k460::device::Emulator& Device() {
    if (!device_) {
      k460::device::EmulatorOptions options;
      options.jobsFolder = root() / "device";
      device_ = std::make_unique<k460::device::Emulator>(options);
      std::string failure = device_->Start();
      EXPECT_EQ(failure, "");
    }
    return *device_;
  }
  std::string DevicePort() { return std::to_string(Device().port()); }

  void TearDown() override {
    if (device_) device_->Stop();
    MachineTest::TearDown();
  }

 private:
  std::unique_ptr<k460::device::Emulator> device_;
};

TEST_F(PrintDeviceTest, BadDeviceArgumentsAreRefusedBeforeAnythingIsSetUp) {
  struct Case {
    std::string arguments;
    std::string message;
  };
  const Case cases[] = {
      {"--device 192.168.1", "bad device address \"192.168.1\""},
      {"--device 192.168.1.10.5", "bad device address \"192.168.1.10.5\""},
      {"--device 192.168.1.256", "bad device address \"192.168.1.256\""},
      {"--device 192.168.01.10", "bad device address \"192.168.01.10\""},  // octal to the monitor
      {"--device 0.0.0.0", "bad device address \"0.0.0.0\""},
      {"--device 255.255.255.255", "bad device address \"255.255.255.255\""},
      {"--device printer.local", "bad device address \"printer.local\""},
      {"--device 192.168.1.-1", "bad device address"},
      {"--device ''", "bad device address \"\""},
      {"--device 192.168.1.10:0", "bad HTTP port \"0\""},
      {"--device 192.168.1.10:65536", "bad HTTP port \"65536\""},
      {"--device 192.168.1.10:99999999999", "bad HTTP port \"99999999999\""},
      {"--device 192.168.1.10:", "bad HTTP port \"\""},
      {"--device 192.168.1.10:80x", "bad HTTP port \"80x\""},
      {"--device 192.168.1.10:+80", "bad HTTP port \"+80\""},
      {"--device 192.168.1.10:80:81", "bad HTTP port \"80:81\""},
      {"--device 192.168.1.10 --driver xlgraph", "--device needs the host-based driver (--driver hbgraph), not xlgraph"},
      {"--device 192.168.1.10 --output " + (root() / "job.prn").string(), "cannot go with --output"},
      {"--device 192.168.1.10 --printer 'Velkaro Ar+Vento2 K-410/460'", "cannot go with --printer"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments);
    ProgramRun run = K460("print -q " + c.arguments + " " + Sample());
    EXPECT_EQ(run.exitCode, 2) << run.output;
    EXPECT_NE(run.output.find(c.message), std::string::npos) << run.output;
    // Nothing was installed: no monitor, no printer, no HTTP port.
    EXPECT_FALSE(RegistryText(kMonitorKey, u"Driver"));
    EXPECT_TRUE(k460::ListPrinters().empty());
    EXPECT_FALSE(RegistryText(kCommonKey, u"HttpPort"));
    EXPECT_FALSE(std::filesystem::exists(root() / "job.prn"));
  }
}

TEST_F(PrintDeviceTest, DeviceSetsUpMonitorPortPrinterAndHttpPort) {
  ProgramRun run = K460("print -q --device 127.0.0.1:" + DevicePort() + " " + Sample());
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("to KP2_127.0.0.1"), std::string::npos) << run.output;

  EXPECT_EQ(RegistryText(kMonitorKey, u"Driver"), "netmon.dll");
  EXPECT_TRUE(RegistryText(kPortsKey, u"KP2_127.0.0.1"));
  EXPECT_EQ(PrinterPort(kHostBasedPrinter), "KP2_127.0.0.1");
  EXPECT_EQ(RegistryText(kCommonKey, u"HttpPort"), DevicePort());
  // The other printers of the suite stay where they were.
  for (const auto& printer : k460::ListPrinters()) {
    if (printer.name == kHostBasedPrinter) continue;
    EXPECT_EQ(k460::Utf16ToUtf8(printer.portName), "FILE:");
  }
}

TEST_F(PrintDeviceTest, HttpPortIsWrittenWhenGivenAndKeptOtherwise) {
  struct Case {
    std::optional<std::string> before;  // the HttpPort value before the run
    bool givePort;                      // --device 127.0.0.1:PORT, else 127.0.0.1
    std::string after;                  // "" : the device's port
  };
  const Case cases[] = {
      {std::nullopt, true, ""},
      {"8123", true, ""},   // replaced by the given port
      {"", false, ""},      // kept: the device's port, set before the run
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.before.value_or("(none)") + (c.givePort ? " with a port" : " without a port"));
    DeleteHttpPort();
    if (c.before) SetHttpPort(c.before->empty() ? DevicePort() : *c.before);
    ProgramRun run = K460("print -q --device 127.0.0.1" + (c.givePort ? ":" + DevicePort() : "") + " " + Sample());
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(RegistryText(kCommonKey, u"HttpPort"), c.after.empty() ? DevicePort() : c.after);
  }
  // Every job reached the device at the port the registry named.
  EXPECT_EQ(Device().core().Jobs().size(), 3u);
}

TEST_F(PrintDeviceTest, MissingHttpPortBecomesTheDefault) {
  // Nothing listens for this job (port 80 of the loopback address, where no
  // emulator runs): only what the road leaves in the registry counts.
  K460("print -q --device 127.0.0.1 " + Sample());
  EXPECT_EQ(RegistryText(kCommonKey, u"HttpPort"), "80");
  EXPECT_EQ(PrinterPort(kHostBasedPrinter), "KP2_127.0.0.1");
}

TEST_F(PrintDeviceTest, SamplePagesArriveAtTheDeviceAsImages) {
  const std::string arguments = "print -q --driver hbgraph --device 127.0.0.1:" + DevicePort() + " " + Sample();
  ProgramRun first = K460(arguments);
  ASSERT_EQ(first.exitCode, 0) << first.output;
  // A second job finds the road in place: no second port, no message.
  ProgramRun second = K460(arguments);
  ASSERT_EQ(second.exitCode, 0) << second.output;
  EXPECT_FALSE(std::filesystem::exists(root() / "messages.log")) << ReadHostFile(root() / "messages.log");

  auto jobs = Device().core().Jobs();
  ASSERT_EQ(jobs.size(), 2u);
  for (const auto& job : jobs) {
    SCOPED_TRACE("device job " + std::to_string(job.sequence));
    EXPECT_EQ(job.state, k460::device::JobState::Completed) << job.outcome;
    ASSERT_EQ(job.pages.size(), 2u);  // the sample's two pages
    for (const auto& page : job.pages) {
      SCOPED_TRACE("page " + std::to_string(page.number));
      DecodedPage image = DecodePng(root() / "device" / job.folder / page.image);
      ASSERT_EQ(image.error, "");
      EXPECT_EQ(image.width, static_cast<unsigned>(page.width));
      EXPECT_EQ(image.height, static_cast<unsigned>(page.height));
      EXPECT_GT(image.black, 10000);  // the page's drawing reached the device
    }
  }
}

TEST_F(PrintDeviceTest, DemoPrintsToItsOwnDeviceAndPutsThePrinterBack) {
  ProgramRun run = K460("demo < /dev/null");  // no terminal: the demo does not wait
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("device job 1: 2 page(s), COMPLETED"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("jobs folder: " + (root() / "demo" / "device").string()), std::string::npos) << run.output;
  EXPECT_TRUE(std::filesystem::exists(root() / "demo" / "hbgraph.prn"));  // the file jobs are still there
  // The device is gone: the printer is back on its file port and the
  // machine has no HTTP port setting, as before.
  EXPECT_EQ(PrinterPort(kHostBasedPrinter), "FILE:");
  EXPECT_FALSE(RegistryText(kCommonKey, u"HttpPort"));
}

}  // namespace
