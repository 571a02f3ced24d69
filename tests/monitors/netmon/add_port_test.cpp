#include <gtest/gtest.h>

#include "platform/base/text.h"
#include "platform/process/process_host.h"
#include "tests/monitors/netmon/netmon_fixture.h"

namespace k460::testing {
namespace {

using AddPortTest = NetmonTest;

std::vector<std::u16string> SpoolerPorts() {
  DWORD needed = 0, returned = 0;
  EnumPortsW(nullptr, 1, nullptr, 0, &needed, &returned);
  std::vector<BYTE> buffer(needed);
  std::vector<std::u16string> names;
  if (!EnumPortsW(nullptr, 1, buffer.data(), needed, &needed, &returned)) return names;
  for (DWORD i = 0; i < returned; ++i) names.push_back(reinterpret_cast<PORT_INFO_1W*>(buffer.data())[i].pName);
  return names;
}

// The registry write runs on the add-port thread from Windows Vista on and
// on the calling thread before; the outcome is the same.
TEST_F(AddPortTest, AnAddressGivenByTheCallerBecomesAPortWithoutAskingTheUser) {
  struct Case {
    DWORD major, minor;
    const char16_t* address;
  };
  const Case cases[] = {{6, 1, u"192.168.1.20"}, {5, 1, u"192.168.1.21"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(Utf16ToUtf8(c.address));
    SetOsVersion(c.major, c.minor);
    RestartSpooler();
    ASSERT_TRUE(AddPort(c.address));
    std::u16string port = u"KP2_" + std::u16string(c.address);
    EXPECT_EQ(MonitorPorts().back(), port);
    EXPECT_EQ(RegistryPorts().back(), port);
  }
  EXPECT_TRUE(Messages("DeviceSearch").empty());
  // The ports outlive the spooler.
  RestartSpooler();
  EXPECT_EQ(SpoolerPorts(), (std::vector<std::u16string>{u"FILE:", u"KP2_192.168.1.20", u"KP2_192.168.1.21"}));
}

TEST_F(AddPortTest, AnExistingPortIsReportedAndNotAddedAgain) {
  ASSERT_TRUE(AddPort(u"192.168.1.20"));
  ASSERT_TRUE(AddPort(u"192.168.1.20"));
  EXPECT_EQ(MonitorPorts(), (std::vector<std::u16string>{u"KP2_192.168.1.20"}));
  auto shown = Messages("ProgramMessage");
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(Utf16ToUtf8(shown[0].text), "ポート KP2_192.168.1.20 が既に存在しています。");
  EXPECT_EQ(Utf16ToUtf8(shown[0].caption), "Velkaro Ar+Vento2 Port");
  EXPECT_EQ(shown[0].program, "qtxweb");
}

TEST_F(AddPortTest, EveryAddressOfTheInstallKeyBecomesAPortInOneCall) {
  WriteInstallAddresses({u"10.0.0.1", u"10.0.0.2", u"10.0.0.3"});
  ASSERT_TRUE(AddPort(nullptr));
  EXPECT_EQ(MonitorPorts(), (std::vector<std::u16string>{u"KP2_10.0.0.1", u"KP2_10.0.0.2", u"KP2_10.0.0.3"}));
  EXPECT_FALSE(InstallKeyExists());
  EXPECT_TRUE(Messages("DeviceSearch").empty());
}

TEST_F(AddPortTest, TheLastAddressDecidesTheResult) {
  // A bad address fails the call but not the good ones before it.
  WriteInstallAddresses({u"10.0.0.1", u"10.0.0.300"});
  EXPECT_FALSE(AddPort(nullptr));
  EXPECT_EQ(MonitorPorts(), (std::vector<std::u16string>{u"KP2_10.0.0.1"}));
  // After an existing port, later addresses are only checked.
  WriteInstallAddresses({u"10.0.0.1", u"10.0.0.9"});
  EXPECT_TRUE(AddPort(nullptr));
  EXPECT_EQ(MonitorPorts(), (std::vector<std::u16string>{u"KP2_10.0.0.1"}));
  EXPECT_EQ(Messages("ProgramMessage").size(), 1u);
}

TEST_F(AddPortTest, AnotherMonitorsNameIsRefused) {
  EXPECT_FALSE(AddPort(u"192.168.1.20", u"Local Port"));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_TRUE(MonitorPorts().empty());
  // Through the spooler the name is compared without regard to case.
  std::u16string name = u"velkaro ar+vento2 port monitor";
  WriteInstallAddresses({u"10.1.2.3"});
  EXPECT_TRUE(AddPortW(nullptr, nullptr, name.data()));
  EXPECT_EQ(MonitorPorts(), (std::vector<std::u16string>{u"KP2_10.1.2.3"}));
}

// Without an address the search program asks the user and hands the choice
// back over its pipe.
TEST_F(AddPortTest, TheDeviceSearchChoosesTheAddressOverItsPipe) {
  struct Case {
    std::string answer;
    std::vector<std::u16string> ports;
  };
  const Case cases[] = {
      {"192.168.5.77", {u"KP2_192.168.5.77"}},
      {"", {u"KP2_192.168.5.77"}},               // cancelled: nothing added
      {"1.2.3.4", {u"KP2_192.168.5.77", u"KP2_1.2.3.4"}},  // the shortest answer, eight bytes
      {"not-an-address", {u"KP2_192.168.5.77", u"KP2_1.2.3.4"}},
      {"0.0.0.0", {u"KP2_192.168.5.77", u"KP2_1.2.3.4"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answer);
    QueueProgramAnswers(u"qtxssearch.exe", {c.answer});
    EXPECT_TRUE(AddPort(nullptr));
    EXPECT_EQ(MonitorPorts(), c.ports);
  }
  auto searches = Messages("DeviceSearch");
  ASSERT_EQ(searches.size(), 5u);
  EXPECT_EQ(searches[0].answer, IDOK);
  EXPECT_EQ(searches[1].answer, IDCANCEL);
}

TEST_F(AddPortTest, WithoutTheSearchProgramNothingIsAdded) {
  // Windows 2000 has no search program; a missing program adds nothing either.
  SetOsVersion(5, 0);
  RestartSpooler();
  EXPECT_TRUE(AddPort(nullptr));
  SetOsVersion(6, 1);
  RestartSpooler();
  InjectFault("CreateProcessAsUserW", 0, 1, ERROR_FILE_NOT_FOUND);
  EXPECT_TRUE(AddPort(nullptr));
  EXPECT_TRUE(MonitorPorts().empty());
  EXPECT_TRUE(Messages("DeviceSearch").empty());
}

}  // namespace
}  // namespace k460::testing
