#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/monitor/port_device.h"
#include "tests/platform/spooler/spooler_fixture.h"

namespace k460::testing {
namespace {

using PortTest = SpoolerTest;

std::vector<std::u16string> PortNames(DWORD level) {
  DWORD needed = 0, returned = 0;
  EXPECT_FALSE(EnumPortsW(nullptr, level, nullptr, 0, &needed, &returned));
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  std::vector<BYTE> buffer(needed);
  EXPECT_FALSE(EnumPortsW(nullptr, level, buffer.data(), needed - 1, &needed, &returned));
  EXPECT_TRUE(EnumPortsW(nullptr, level, buffer.data(), needed, &needed, &returned));
  std::vector<std::u16string> names;
  for (DWORD i = 0; i < returned; ++i)
    names.push_back(level == 1 ? reinterpret_cast<PORT_INFO_1W*>(buffer.data())[i].pName
                               : reinterpret_cast<PORT_INFO_2W*>(buffer.data())[i].pPortName);
  return names;
}

TEST_F(PortTest, EnumPortsListsEveryMonitorsPortsAndAddPortReachesTheMonitor) {
  auto ports = PortNames(1);
  EXPECT_EQ(ports, (std::vector<std::u16string>{u"FILE:", u"TEST1:", u"TEST2:"}));
  std::u16string monitor = u"Test Port Monitor";
  ASSERT_TRUE(AddPortW(nullptr, nullptr, monitor.data()));
  ports = PortNames(2);
  EXPECT_EQ(ports.back(), u"TEST3:");
  EXPECT_NE(PortMonitor().events.find("AddPort Test Port Monitor"), std::string::npos);
  std::u16string port = u"test2:";
  EXPECT_TRUE(ConfigurePortW(nullptr, nullptr, port.data()));
  EXPECT_NE(PortMonitor().events.find("ConfigurePort test2:"), std::string::npos);
  std::u16string unknown = u"Nobody's Monitor";
  EXPECT_FALSE(AddPortW(nullptr, nullptr, unknown.data()));
  EXPECT_EQ(GetLastError(), ERROR_UNKNOWN_PRINT_MONITOR);
  DWORD needed, returned;
  EXPECT_FALSE(EnumPortsW(nullptr, 3, nullptr, 0, &needed, &returned));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_LEVEL);
}

TEST_F(PortTest, MonitorThatCannotLoadLeavesThePrinterUnusableWithAMessage) {
  ASSERT_TRUE(InstallMonitor(u"Broken Monitor", u"no_such_monitor.dll"));
  ASSERT_TRUE(AddPrinter({u"Orphan", kDriver, u"BROKEN1:"}));
  EXPECT_FALSE(PrintJob(u"Orphan", "data", 4));
  EXPECT_EQ(GetLastError(), ERROR_UNKNOWN_PORT);
  std::ifstream log(root() / "spooler.log");
  std::stringstream text;
  text << log.rdbuf();
  EXPECT_NE(text.str().find("Broken Monitor"), std::string::npos);
  EXPECT_NE(text.str().find("could not be loaded"), std::string::npos);
  EXPECT_NE(text.str().find("did not print"), std::string::npos);
}

TEST_F(PortTest, SetPortRecordsTheStatusForKnownPortsOnly) {
  std::u16string port = u"TEST1:", text = u"paper out";
  PORT_INFO_3W info{1, text.data(), PORT_STATUS_TYPE_ERROR};
  ASSERT_TRUE(SetPortW(nullptr, port.data(), 3, reinterpret_cast<LPBYTE>(&info)));
  auto status = GetPortStatus(u"test1:");
  ASSERT_TRUE(status);
  EXPECT_EQ(status->text, u"paper out");
  std::u16string unknown = u"NOPE:";
  EXPECT_FALSE(SetPortW(nullptr, unknown.data(), 3, reinterpret_cast<LPBYTE>(&info)));
  EXPECT_EQ(GetLastError(), ERROR_UNKNOWN_PORT);
  EXPECT_FALSE(SetPortW(nullptr, port.data(), 2, reinterpret_cast<LPBYTE>(&info)));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_LEVEL);
}

// A device model on a USB port that keeps what it receives.
class RecordingDevice : public PortDevice {
 public:
  BOOL Write(const BYTE* data, DWORD size, DWORD* written) override {
    received.append(reinterpret_cast<const char*>(data), size);
    *written = size;
    return TRUE;
  }
  std::string received;
};

TEST_F(PortTest, LocalPortMonitorDeliversToTheAttachedDevice) {
  ASSERT_TRUE(InstallMonitor(u"Local Port", u"localmon.dll"));
  ASSERT_TRUE(AddPrinter({u"USB Printer", kDriver, u"USB001"}));
  ASSERT_TRUE(AddPrinter({u"Parallel Printer", kDriver, u"LPT1:"}));
  auto device = std::make_shared<RecordingDevice>();
  AttachPortDevice(u"USB001", device);
  ASSERT_TRUE(PrintJob(u"USB Printer", "to the usb device", 3));
  EXPECT_EQ(device->received, "to the usb device");
  ASSERT_TRUE(PrintJob(u"Parallel Printer", "to a file", 2));
  std::ifstream out(root() / "ports" / "LPT1_.out", std::ios::binary);
  std::stringstream text;
  text << out.rdbuf();
  EXPECT_EQ(text.str(), "to a file");
  DetachPortDevice(u"USB001");
}

TEST_F(PortTest, ImpersonationSwitchesAreRecorded) {
  EnableCallLog(true);
  HANDLE token = RevertToPrinterSelf();
  ASSERT_NE(token, nullptr);
  EXPECT_TRUE(ImpersonatePrinterClient(token));
  EXPECT_FALSE(ImpersonatePrinterClient(token));
  std::vector<std::string> calls;
  for (auto& c : CallLog()) calls.push_back(c.function);
  EXPECT_EQ(calls, (std::vector<std::string>{"RevertToPrinterSelf", "ImpersonatePrinterClient", "ImpersonatePrinterClient"}));
}

}  // namespace
}  // namespace k460::testing
