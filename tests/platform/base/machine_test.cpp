#include <gtest/gtest.h>

#include "platform/base/base.h"
#include "platform/base/internal.h"
#include "platform/base/text.h"
#include "tests/support/machine_fixture.h"

namespace {

using k460::testing::MachineTest;
using MachineProfileTest = MachineTest;
using PathTest = MachineTest;

TEST_F(MachineProfileTest, DefaultsAreAJapaneseWorkstation) {
  EXPECT_EQ(GetUserDefaultLangID(), 0x0411);
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  ASSERT_TRUE(GetVersionExW(&info));
  EXPECT_EQ(info.dwMajorVersion, 6u);
  EXPECT_TRUE(IsUserAnAdmin());
}

TEST_F(MachineProfileTest, SettingsPersistInTheRoot) {
  k460::MachineProfile p;
  p.userLanguage = 0x0409;
  p.userName = "tanaka";
  p.administrator = false;
  p.osMajor = 5;
  k460::SetMachineProfile(p);
  k460::SetMachineRoot(root());  // drops every cache: read back from the file
  EXPECT_EQ(GetUserDefaultLangID(), 0x0409);
  EXPECT_FALSE(IsUserAnAdmin());
  WCHAR name[16];
  DWORD size = 16;
  ASSERT_TRUE(GetUserNameW(name, &size));
  EXPECT_EQ(std::u16string(name), u"tanaka");
  EXPECT_EQ(size, 7u);  // counts the terminator
}

TEST_F(MachineProfileTest, NameQueriesReportTheSizeTheyNeed) {
  WCHAR small[2];
  DWORD size = 2;
  SetLastError(0);
  EXPECT_FALSE(GetComputerNameW(small, &size));
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(size, 10u);  // "K460-HOST" and its terminator
  EXPECT_FALSE(GetUserNameW(small, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = 8;
  EXPECT_FALSE(GetVersionExW(&info));
}

TEST_F(PathTest, DrivePathsLiveInTheRootWithoutRegardToCase) {
  auto dir = root() / "drive_c" / "Windows" / "System32";
  std::filesystem::create_directories(dir);
  EXPECT_EQ(k460::HostPath(u"C:\\WINDOWS\\system32\\x.ini"), dir / "x.ini");
  EXPECT_EQ(k460::HostPath(u"c:/windows/System32"), dir);
  EXPECT_EQ(k460::HostPath(u"/tmp/out.pcl"), std::filesystem::path("/tmp/out.pcl"));
  EXPECT_EQ(k460::WindowsPath(dir / "x.ini"), u"C:\\Windows\\System32\\x.ini");
  EXPECT_EQ(k460::WindowsPath("/tmp/out.pcl"), u"/tmp/out.pcl");
}

TEST_F(PathTest, ParentStepsStayInsideTheDrive) {
  EXPECT_EQ(k460::HostPath(u"C:\\a\\..\\b"), root() / "drive_c" / "b");
}

TEST(TextTest, Utf8AndUtf16RoundTrip) {
  const std::string utf8 = "K-460 \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80";
  std::u16string wide = k460::Utf8ToUtf16(utf8);
  EXPECT_EQ(wide, u"K-460 日本 \U0001F600");
  EXPECT_EQ(k460::Utf16ToUtf8(wide), utf8);
  EXPECT_EQ(k460::Utf8ToUtf16("\xFF"), u"\uFFFD");
}

TEST(HandleTest, ClosedAndInventedHandlesAreInvalid) {
  SetLastError(0);
  EXPECT_FALSE(CloseHandle(reinterpret_cast<HANDLE>(0x12345)));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  struct Thing : k460::KernelObject {};
  HANDLE h = k460::InsertHandle(std::make_shared<Thing>());
  EXPECT_NE(k460::LookupHandleAs<Thing>(h), nullptr);
  EXPECT_TRUE(CloseHandle(h));
  EXPECT_FALSE(CloseHandle(h));
  HANDLE next = k460::InsertHandle(std::make_shared<Thing>());
  EXPECT_NE(next, h);  // never reused
  CloseHandle(next);
}

}  // namespace
