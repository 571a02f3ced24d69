#include <gtest/gtest.h>

#include "platform/base/internal.h"
#include "platform/base/text.h"
#include "tests/monitors/netmon/netmon_fixture.h"

namespace k460::testing {
namespace {

using MessagesTest = NetmonTest;

BOOL Configure(const spooler::LoadedMonitor& m) {
  std::u16string port = u"KP2_10.0.0.1";
  return m.table2->pfnConfigurePort(m.hMonitor, nullptr, nullptr, port.data());
}

TEST_F(MessagesTest, ConfigurePortSaysThereIsNothingToConfigureThroughTheMessageProgram) {
  ASSERT_TRUE(Configure(Monitor()));
  auto shown = Messages("ProgramMessage");
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(Utf16ToUtf8(shown[0].text), "このポートに対して構成するものは何もありません。");
  EXPECT_EQ(Utf16ToUtf8(shown[0].caption), "Velkaro Ar+Vento2 Port");
  EXPECT_TRUE(Messages("MessageBox").empty());
}

// Windows 2000 starts no programs; a message program that cannot be
// started gives way to a message box of the monitor's own.
TEST_F(MessagesTest, WithoutTheMessageProgramTheMonitorShowsAMessageBoxWithItsIcon) {
  SetOsVersion(5, 0);
  ASSERT_TRUE(Configure(Monitor()));
  RestartSpooler();
  SetOsVersion(6, 1);
  InjectFault("CreateProcessAsUserW", 0, 1, ERROR_ACCESS_DENIED);
  ASSERT_TRUE(Configure(Monitor()));
  auto boxes = Messages("MessageBox");
  ASSERT_EQ(boxes.size(), 2u);
  for (const auto& box : boxes) {
    EXPECT_EQ(Utf16ToUtf8(box.text), "このポートに対して構成するものは何もありません。");
    EXPECT_EQ(Utf16ToUtf8(box.caption), "Velkaro Ar+Vento2 Port");
    EXPECT_EQ(box.style & MB_ICONMASK, MB_ICONINFORMATION);
    EXPECT_EQ(box.module, "netmon.so");
  }
  EXPECT_TRUE(Messages("ProgramMessage").empty());
}

TEST_F(MessagesTest, TheLanguageLibraryOfTheSystemDirectoryTranslatesTheMonitorsTexts) {
  auto target = HostPath(u"C:\\Windows\\System32\\qtxlnXXX.dll").parent_path() / "qtxlnXXX.so";
  std::filesystem::create_directories(target.parent_path());
  std::filesystem::copy_file(std::filesystem::path(K460_BIN_DIR) / "qtxlnXXX.so", target);
  ASSERT_TRUE(AddPort(u"10.0.0.1"));
  ASSERT_TRUE(AddPort(u"10.0.0.1"));
  ASSERT_TRUE(Configure(Monitor()));
  auto shown = Messages("ProgramMessage");
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].text, u"Port KP2_10.0.0.1 already exists.");
  EXPECT_EQ(shown[1].text, u"There is nothing to configure for this port.");
  EXPECT_EQ(shown[1].caption, u"Velkaro Ar+Vento2 Port");
  // Names are the monitor's own, whatever the language.
  EXPECT_EQ(MonitorPorts(), (std::vector<std::u16string>{u"KP2_10.0.0.1"}));
}

}  // namespace
}  // namespace k460::testing
