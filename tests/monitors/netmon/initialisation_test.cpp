#include <gtest/gtest.h>

#include "platform/base/internal.h"
#include "platform/registry/registry.h"
#include "tests/monitors/netmon/netmon_fixture.h"

namespace k460::testing {
namespace {

using InitialisationTest = NetmonTest;

std::optional<DWORD> Tunable(const char16_t* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kNetmonKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
  DWORD value = 0, size = sizeof value, type = 0;
  LONG result = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<LPBYTE>(&value), &size);
  RegCloseKey(key);
  if (result != ERROR_SUCCESS || type != REG_DWORD) return std::nullopt;
  return value;
}

bool TempFolderExists() {
  std::error_code ec;
  return std::filesystem::is_directory(HostPath(u"C:\\Windows\\Temp\\qtxport"), ec);
}

TEST_F(InitialisationTest, MissingTunablesGetTheirDefaultsAndPresentOnesStay) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kNetmonKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  DWORD wait = 5000;
  ASSERT_EQ(RegSetValueExW(key, u"SendPageWaitTime", 0, REG_DWORD, reinterpret_cast<BYTE*>(&wait), sizeof wait),
            ERROR_SUCCESS);
  RegCloseKey(key);
  Monitor();
  EXPECT_EQ(Tunable(u"BitmapRotate"), 1u);
  EXPECT_EQ(Tunable(u"SendPageWaitTime"), 5000u);
  EXPECT_EQ(Tunable(u"SendPageWaitIntervalCount"), 10u);
  EXPECT_TRUE(TempFolderExists());
  // Job files are nobody else's business.
  auto mode = std::filesystem::status(HostPath(u"C:\\Windows\\Temp\\qtxport")).permissions();
  EXPECT_EQ(mode, std::filesystem::perms::owner_all);
}

TEST_F(InitialisationTest, ATunableThatCannotBeWrittenLeavesTheTemporaryFolderUnmade) {
  InjectFault("RegSetValueExW", 0, -1, ERROR_ACCESS_DENIED);
  Monitor();  // the monitor starts all the same
  ClearFaults();
  EXPECT_FALSE(Tunable(u"BitmapRotate"));
  EXPECT_FALSE(TempFolderExists());
  EXPECT_TRUE(AddPort(u"10.0.0.1"));
}

TEST_F(InitialisationTest, OnlyNamesWithAnAddressAfterFourCharactersArePorts) {
  WritePortValues({u"KP2_192.168.1.10", u"ABCD10.0.0.5", u"KP2_0.0.0.0", u"KP2_printer", u"KP2_1.2.3.256", u"KP2_",
                   u"KP2_255.255.255.255", u"KP2_10.1"});
  EXPECT_EQ(MonitorPorts(), (std::vector<std::u16string>{u"KP2_192.168.1.10", u"ABCD10.0.0.5", u"KP2_10.1"}));
  EXPECT_EQ(RegistryPorts().size(), 8u);  // the others stay in the registry
}

}  // namespace
}  // namespace k460::testing
