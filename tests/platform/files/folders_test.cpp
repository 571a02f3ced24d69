#include <gtest/gtest.h>

#include <filesystem>

#include "platform/base/host.h"
#include "platform/base/internal.h"
#include "platform/base/text.h"
#include "tests/platform/files/file_helpers.h"
#include "tests/support/machine_fixture.h"

namespace {

using k460::testing::MachineTest;
using FoldersTest = MachineTest;

TEST_F(FoldersTest, SystemAndWindowsDirectoriesFollowTheSizeConvention) {
  struct Case {
    UINT (*get)(LPWSTR, UINT);
    std::u16string expected;
  } cases[] = {{GetSystemDirectoryW, u"C:\\Windows\\System32"}, {GetWindowsDirectoryW, u"C:\\Windows"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(k460::Utf16ToUtf8(c.expected));
    WCHAR buffer[MAX_PATH];
    ASSERT_EQ(c.get(buffer, MAX_PATH), c.expected.size());
    EXPECT_EQ(std::u16string(buffer), c.expected);
    EXPECT_EQ(c.get(buffer, static_cast<UINT>(c.expected.size())), c.expected.size() + 1);
    EXPECT_EQ(c.get(nullptr, 0), c.expected.size() + 1);
    EXPECT_TRUE(std::filesystem::is_directory(k460::HostPath(c.expected)));
  }
  // The printer-driver folder exists too, so that drivers find their INI files.
  EXPECT_TRUE(std::filesystem::is_directory(k460::HostPath(k460::PrinterDriverDirectory())));
}

TEST_F(FoldersTest, ShellFoldersExistAndAnswerLikeWindows) {
  k460::MachineProfile profile = k460::GetMachineProfile();
  profile.userName = "taro";
  k460::SetMachineProfile(profile);
  struct Case {
    int csidl;
    std::u16string expected;
  } cases[] = {
      {CSIDL_WINDOWS, u"C:\\Windows"},
      {CSIDL_SYSTEM, u"C:\\Windows\\System32"},
      {CSIDL_PROFILE, u"C:\\Users\\taro"},
      {CSIDL_APPDATA | CSIDL_FLAG_CREATE, u"C:\\Users\\taro\\AppData\\Roaming"},
      {CSIDL_LOCAL_APPDATA, u"C:\\Users\\taro\\AppData\\Local"},
      {CSIDL_PERSONAL | CSIDL_FLAG_CREATE, u"C:\\Users\\taro\\Documents"},
      {CSIDL_DESKTOPDIRECTORY, u"C:\\Users\\taro\\Desktop"},
      {CSIDL_COMMON_APPDATA, u"C:\\ProgramData"},
      {CSIDL_COMMON_DOCUMENTS, u"C:\\Users\\Public\\Documents"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(k460::Utf16ToUtf8(c.expected));
    WCHAR path[MAX_PATH] = {};
    ASSERT_EQ(SHGetFolderPathW(nullptr, c.csidl, nullptr, SHGFP_TYPE_CURRENT, path), S_OK);
    EXPECT_EQ(std::u16string(path), c.expected);
    EXPECT_TRUE(std::filesystem::is_directory(k460::HostPath(path)));
  }
  WCHAR path[MAX_PATH] = {u'x'};
  EXPECT_EQ(SHGetFolderPathW(nullptr, 0x7F, nullptr, SHGFP_TYPE_CURRENT, path), E_INVALIDARG);
  EXPECT_EQ(path[0], 0);
  EXPECT_EQ(SHGetFolderPathW(nullptr, CSIDL_WINDOWS, nullptr, 7, path), E_INVALIDARG);
  EXPECT_EQ(SHGetFolderPathW(nullptr, CSIDL_WINDOWS, nullptr, SHGFP_TYPE_CURRENT, nullptr), E_INVALIDARG);
}

TEST_F(FoldersTest, AllUsersProfileDirectoryReportsItsSize) {
  const std::u16string expected = u"C:\\ProgramData";
  DWORD size = 0;
  EXPECT_FALSE(GetAllUsersProfileDirectoryW(nullptr, &size));
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(size, expected.size() + 1);
  WCHAR small[4];
  size = 4;
  EXPECT_FALSE(GetAllUsersProfileDirectoryW(small, &size));
  EXPECT_EQ(size, expected.size() + 1);
  WCHAR buffer[MAX_PATH];
  size = MAX_PATH;
  ASSERT_TRUE(GetAllUsersProfileDirectoryW(buffer, &size));
  EXPECT_EQ(std::u16string(buffer), expected);
  EXPECT_EQ(size, expected.size() + 1);
  EXPECT_TRUE(std::filesystem::is_directory(k460::HostPath(buffer)));
  EXPECT_FALSE(GetAllUsersProfileDirectoryW(buffer, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

}  // namespace
