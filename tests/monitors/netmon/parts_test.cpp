#include <gtest/gtest.h>

#include <fstream>

#include "monitors/netmon/debug_trace.h"
#include "monitors/netmon/dotted_address.h"
#include "monitors/netmon/monitor_strings.h"
#include "monitors/netmon/user_session.h"
#include "platform/base/internal.h"
#include "platform/base/text.h"
#include "platform/process/command_line.h"
#include "platform/spooler/host.h"
#include "tests/support/machine_fixture.h"

namespace k460::testing {
namespace {

TEST(DottedAddressTest, ReadsAddressesAsTheSystemsParserDoes) {
  struct Case {
    const char16_t* text;
    std::optional<std::uint32_t> address;
  };
  const Case cases[] = {
      {u"192.168.1.10", 0xC0A8010A},
      {u"10.0.0.5", 0x0A000005},
      {u"0.0.0.0", 0},
      {u"10.1", 0x0A000001},          // the last part fills the rest
      {u"10.1.258", 0x0A010102},
      {u"3232235786", 0xC0A8010A},
      {u"0300.0250.01.012", 0xC0A8010A},  // octal
      {u"0xC0.0xa8.1.0XA", 0xC0A8010A},   // hexadecimal
      {u"255.255.255.255", std::nullopt},  // the parser's failure value
      {u"1.2.3.256", std::nullopt},
      {u"256.1.1.1", std::nullopt},
      {u"1.2.3.4.5", std::nullopt},
      {u"1..2.3", std::nullopt},
      {u"1.2.3.", std::nullopt},
      {u"", std::nullopt},
      {u"08.1.1.1", std::nullopt},
      {u"0x.1.1.1", std::nullopt},
      {u"1.2.3.4 ", std::nullopt},
      {u"printer", std::nullopt},
      {u"99999999999", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Utf16ToUtf8(c.text));
    EXPECT_EQ(netmon::ParseDottedAddress(c.text), c.address);
  }
  EXPECT_FALSE(netmon::IsDeviceAddress(u"0.0.0.0"));
  EXPECT_TRUE(netmon::IsDeviceAddress(u"10.0.0.5"));
}

TEST(UserSessionTest, ArgumentsReachTheProgramAsTheyWereWritten) {
  const std::u16string texts[] = {
      u"ポート KP2_1.2.3.4 が既に存在しています。",
      u"say \"hi\"",
      u"C:\\path\\",
      u"a\\\\\"b",
      u"line\nbreak",
      u"",
  };
  for (const auto& text : texts) {
    SCOPED_TRACE(Utf16ToUtf8(text));
    auto args = process::SplitCommandLine(u"qtxweb.exe /M" + netmon::QuoteArgument(text) + u" /C" +
                                          netmon::QuoteArgument(u"cap"));
    ASSERT_EQ(args.size(), 3u);
    EXPECT_EQ(args[1], u"/M" + text);
    EXPECT_EQ(args[2], u"/Ccap");
  }
}

TEST(MonitorStringsTest, FormatsFillTheirPlacesAndArgumentsStayText) {
  EXPECT_EQ(netmon::FormatText(u"ポート %s が既に存在しています。", {u"KP2_1.2.3.4"}, 255),
            u"ポート KP2_1.2.3.4 が既に存在しています。");
  EXPECT_EQ(netmon::FormatText(u"'%s' %d%%", {u"%s%n", u"7"}, 255), u"'%s%n' 7%");
  EXPECT_EQ(netmon::FormatText(u"%s and %s", {u"one"}, 255), u"one and ");
  EXPECT_EQ(netmon::FormatText(u"%s", {std::u16string(300, u'x')}, 255).size(), 255u);
}

using DebugTraceTest = MachineTest;

TEST_F(DebugTraceTest, TheDriversIniFileSwitchesTheTraceOnAndTheTraceGoesToTheUsersFolder) {
  WriteMachineFile(u"C:\\Windows\\System32\\spool\\drivers\\w32x86\\3\\K460.ini", "[Monitors]\r\nPortMonitorTraceOut=1\r\n");
  WriteMachineFile(u"C:\\Windows\\System32\\spool\\drivers\\w32x86\\3\\K460F.ini", "[Devmode]\r\nx=1\r\n");
  ASSERT_TRUE(InstallDriver({u"Traced", u"hbgraph.dll", u"hbui.dll", u"", u"", {u"hbres.dll", u"K460.ini"}, u"", u"RAW"}));
  ASSERT_TRUE(InstallDriver({u"Quiet", u"faxgraph.dll", u"faxui.dll", u"", u"", {u"K460F.INI"}, u"", u"RAW"}));
  ASSERT_TRUE(InstallDriver({u"No INI", u"hbgraph.dll", u"hbui.dll", u"", u"", {u"hbres.dll"}, u"", u"RAW"}));
  ASSERT_TRUE(AddPrinter({u"Traced Printer", u"Traced"}));
  ASSERT_TRUE(AddPrinter({u"Quiet Printer", u"Quiet"}));
  ASSERT_TRUE(AddPrinter({u"Plain Printer", u"No INI"}));
  EXPECT_TRUE(netmon::ReadTraceSwitch(u"Traced Printer"));
  EXPECT_FALSE(netmon::ReadTraceSwitch(u"Quiet Printer"));
  EXPECT_FALSE(netmon::ReadTraceSwitch(u"Plain Printer"));
  EXPECT_FALSE(netmon::ReadTraceSwitch(u"No Such Printer"));

  netmon::IniPort port{};
  port.bDbgTraceOut = TRUE;
  netmon::TraceLine(&port, u"StartDocPort KP2_10.0.0.1");
  port.bDbgTraceOut = FALSE;
  netmon::TraceLine(&port, u"not written");
  std::u16string folder = netmon::TraceFolder();
  EXPECT_NE(folder.find(u"\\portUSER\\"), std::u16string::npos);
  EXPECT_EQ(ReadHostFile(HostPath(folder + u"a_netmon.log")), "user:StartDocPort KP2_10.0.0.1\r\n");
}

}  // namespace
}  // namespace k460::testing
