#include <gtest/gtest.h>

#include <cstring>

#include "platform/base/text.h"
#include "platform/module/module.h"
#include "tests/monitors/netmon/netmon_fixture.h"

namespace k460::testing {
namespace {

using PortFunctionsTest = NetmonTest;

TEST_F(PortFunctionsTest, TheEntryTableEndsAfterShutdownAndOffersNoConfigurationChannel) {
  const MONITOR2& t = *Monitor().table2;
  EXPECT_EQ(t.cbSize, kMonitor2SizeThroughShutdown);
  EXPECT_NE(t.pfnEnumPorts, nullptr);
  EXPECT_NE(t.pfnOpenPort, nullptr);
  EXPECT_EQ(t.pfnOpenPortEx, nullptr);
  EXPECT_NE(t.pfnStartDocPort, nullptr);
  EXPECT_NE(t.pfnWritePort, nullptr);
  EXPECT_NE(t.pfnEndDocPort, nullptr);
  EXPECT_NE(t.pfnAddPortEx, nullptr);
  EXPECT_EQ(t.pfnXcvOpenPort, nullptr);
  EXPECT_EQ(t.pfnXcvDataPort, nullptr);
  EXPECT_EQ(t.pfnXcvClosePort, nullptr);
  EXPECT_NE(t.pfnShutdown, nullptr);

  // A remote spooler gets no table.
  HMODULE module = LoadLibraryW(u"netmon.dll");
  ASSERT_NE(module, nullptr);
  auto init = reinterpret_cast<PFN_InitializePrintMonitor2>(GetProcAddress(module, "InitializePrintMonitor2"));
  ASSERT_NE(init, nullptr);
  MONITORINIT remote{};
  remote.cbSize = sizeof remote;
  remote.bLocal = FALSE;
  HANDLE handle = nullptr;
  EXPECT_EQ(init(&remote, &handle), nullptr);
  EXPECT_EQ(init(nullptr, &handle), nullptr);
  FreeLibrary(module);
}

// Sizes of the two listing levels for the ports below, and the packing of
// their strings from the end of the buffer.
TEST_F(PortFunctionsTest, EnumPortsNeedsTheExactSizeAndPacksStringsFromTheEnd) {
  WritePortValues({u"KP2_192.168.1.10", u"KP2_10.0.0.5"});
  const auto& m = Monitor();
  const std::u16string monitorName = kNetmonName, description = u"Velkaro Ar+Vento2 Port";
  struct Case {
    DWORD level;
    DWORD size;
  };
  const std::size_t names = (17 + 13) * 2;  // both port names with their terminators
  const Case cases[] = {
      {1, static_cast<DWORD>(2 * sizeof(PORT_INFO_1W) + names)},
      {2, static_cast<DWORD>(2 * sizeof(PORT_INFO_2W) + names +
                             2 * 2 * (monitorName.size() + 1 + description.size() + 1))},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.level);
    DWORD needed = 0, returned = 7;
    EXPECT_FALSE(m.table2->pfnEnumPorts(m.hMonitor, nullptr, c.level, nullptr, 0, &needed, &returned));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(needed, c.size);
    EXPECT_EQ(returned, 0u);

    std::vector<BYTE> buffer(c.size + 16, 0xCC);
    needed = 0;
    EXPECT_FALSE(m.table2->pfnEnumPorts(m.hMonitor, nullptr, c.level, buffer.data(), c.size - 1, &needed, &returned));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(needed, c.size);
    EXPECT_EQ(returned, 0u);

    ASSERT_TRUE(m.table2->pfnEnumPorts(m.hMonitor, nullptr, c.level, buffer.data(), c.size, &needed, &returned));
    ASSERT_EQ(returned, 2u);
    EXPECT_EQ(buffer[c.size], 0xCC);  // nothing written past the buffer
    if (c.level == 1) {
      auto* info = reinterpret_cast<PORT_INFO_1W*>(buffer.data());
      EXPECT_EQ(std::u16string(info[0].pName), u"KP2_192.168.1.10");
      EXPECT_EQ(std::u16string(info[1].pName), u"KP2_10.0.0.5");
      // The first port's name is the last thing in the buffer.
      EXPECT_EQ(reinterpret_cast<BYTE*>(info[0].pName) + 17 * 2, buffer.data() + c.size);
    } else {
      auto* info = reinterpret_cast<PORT_INFO_2W*>(buffer.data());
      for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(std::u16string(info[i].pMonitorName), monitorName);
        EXPECT_EQ(std::u16string(info[i].pDescription), description);
        EXPECT_EQ(info[i].fPortType, 3u);
        EXPECT_EQ(info[i].Reserved, 0u);
      }
      EXPECT_EQ(std::u16string(info[1].pPortName), u"KP2_10.0.0.5");
      EXPECT_EQ(reinterpret_cast<BYTE*>(info[0].pPortName) + 17 * 2, buffer.data() + c.size);
    }
  }
  DWORD needed = 0, returned = 0;
  EXPECT_FALSE(m.table2->pfnEnumPorts(m.hMonitor, nullptr, 3, nullptr, 0, &needed, &returned));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_LEVEL);
  EXPECT_FALSE(m.table2->pfnEnumPorts(m.hMonitor, nullptr, 1, nullptr, 0, nullptr, &returned));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(PortFunctionsTest, OpenAndCloseFindPortsByNameAndRefuseStrangers) {
  WritePortValues({u"KP2_192.168.1.10"});
  const auto& m = Monitor();
  std::u16string name = u"kp2_192.168.1.10", unknown = u"KP2_192.168.1.11";
  HANDLE port = nullptr;
  ASSERT_TRUE(m.table2->pfnOpenPort(m.hMonitor, name.data(), &port));
  EXPECT_NE(port, nullptr);
  EXPECT_FALSE(m.table2->pfnOpenPort(m.hMonitor, unknown.data(), &port));
  EXPECT_EQ(port, nullptr);
  ASSERT_TRUE(m.table2->pfnOpenPort(m.hMonitor, name.data(), &port));
  EXPECT_TRUE(m.table2->pfnClosePort(port));
  int stranger = 0;
  EXPECT_FALSE(m.table2->pfnClosePort(&stranger));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);

  // What the port does not offer.
  BYTE data[8];
  DWORD count = 9;
  EXPECT_FALSE(m.table2->pfnReadPort(port, data, sizeof data, &count));
  EXPECT_EQ(count, 0u);
  count = 9;
  WCHAR out[8];
  EXPECT_FALSE(m.table2->pfnGetPrinterDataFromPort(port, 1, nullptr, nullptr, 0, out, sizeof out, &count));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(count, 0u);
  COMMTIMEOUTS timeouts{};
  EXPECT_FALSE(m.table2->pfnSetPortTimeOuts(port, &timeouts, 0));
  std::u16string monitorName = kNetmonName;
  EXPECT_FALSE(m.table2->pfnAddPortEx(m.hMonitor, nullptr, 1, data, monitorName.data()));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(PortFunctionsTest, DeletePortRemovesAKnownPortForGoodAndNothingElse) {
  WritePortValues({u"KP2_192.168.1.10", u"KP2_10.0.0.5"});
  EXPECT_FALSE(DeletePort(u"KP2_172.16.0.1"));
  EXPECT_EQ(MonitorPorts(), (std::vector<std::u16string>{u"KP2_192.168.1.10", u"KP2_10.0.0.5"}));
  // The registry value must carry exactly this name.
  EXPECT_FALSE(DeletePort(u"kp2_10.0.0.5"));
  EXPECT_EQ(RegistryPorts().size(), 2u);

  ASSERT_TRUE(DeletePort(u"KP2_10.0.0.5"));
  EXPECT_EQ(MonitorPorts(), (std::vector<std::u16string>{u"KP2_192.168.1.10"}));
  RestartSpooler();
  EXPECT_EQ(MonitorPorts(), (std::vector<std::u16string>{u"KP2_192.168.1.10"}));
  EXPECT_EQ(RegistryPorts(), (std::vector<std::u16string>{u"KP2_192.168.1.10"}));
}

}  // namespace
}  // namespace k460::testing
