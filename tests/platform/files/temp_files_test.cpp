#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>

#include "platform/base/internal.h"
#include "platform/base/text.h"
#include "tests/platform/files/file_helpers.h"
#include "tests/support/machine_fixture.h"

namespace {

using k460::testing::MachineTest;
using TempFilesTest = MachineTest;

std::u16string TempPath() {
  WCHAR buffer[MAX_PATH];
  DWORD length = GetTempPathW(MAX_PATH, buffer);
  return std::u16string(buffer, length);
}

TEST_F(TempFilesTest, TempPathIsTheMachineTempFolderWithBackslash) {
  std::u16string expected = u"C:\\Windows\\Temp\\";
  EXPECT_EQ(TempPath(), expected);
  EXPECT_TRUE(std::filesystem::is_directory(root() / "drive_c" / "Windows" / "Temp"));

  // Too short by one (no room for the terminator): the size needed, buffer untouched.
  WCHAR small[16] = {u'#', 0};
  EXPECT_EQ(GetTempPathW(static_cast<DWORD>(expected.size()), small), expected.size() + 1);
  EXPECT_EQ(small[0], u'#');
  EXPECT_EQ(GetTempPathW(0, nullptr), expected.size() + 1);
}

TEST_F(TempFilesTest, NamesCarryPrefixAndHexNumberAndCreateEmptyFiles) {
  std::u16string folder = TempPath();
  std::set<std::u16string> names;
  for (int i = 0; i < 5; ++i) {
    WCHAR name[MAX_PATH] = {};
    UINT number = GetTempFileNameW(folder.c_str(), u"MmrExtra", 0, name);
    ASSERT_NE(number, 0u);
    std::string text = k460::Utf16ToUtf8(name);
    std::smatch m;
    ASSERT_TRUE(std::regex_match(text, m, std::regex(R"(C:\\Windows\\Temp\\Mmr([0-9A-F]{1,4})\.tmp)"))) << text;
    EXPECT_EQ(std::stoul(m[1].str(), nullptr, 16), number);
    EXPECT_EQ(GetFileAttributesW(name) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_EQ(ReadHostFile(k460::HostPath(name)), "");
    names.insert(name);
  }
  EXPECT_EQ(names.size(), 5u);
}

TEST_F(TempFilesTest, TakenNumbersAreSkipped) {
  WCHAR first[MAX_PATH];
  UINT number = GetTempFileNameW(u"C:\\Windows\\Temp", u"Bok", 0, first);
  ASSERT_NE(number, 0u);
  // Occupy the next numbers, written in another case, as another program might.
  std::set<UINT> taken;
  for (UINT n = number + 1; n <= number + 3; ++n) {
    WCHAR name[MAX_PATH];
    GetTempFileNameW(u"C:\\Windows\\Temp", u"bok", n, name);
    WriteMachineFile(name, "busy");
    taken.insert(n & 0xFFFF);
  }
  WCHAR next[MAX_PATH];
  UINT other = GetTempFileNameW(u"C:\\Windows\\Temp", u"Bok", 0, next);
  ASSERT_NE(other, 0u);
  EXPECT_EQ(taken.count(other), 0u);
  EXPECT_NE(other, number);
  EXPECT_EQ(ReadHostFile(k460::HostPath(next)), "");
}

TEST_F(TempFilesTest, GivenNumbersOnlyFormTheNameAndErrorsAreReported) {
  WCHAR name[MAX_PATH];
  EXPECT_EQ(GetTempFileNameW(u"C:\\Windows\\Temp\\", u"Fax", 0x1A2B, name), 0x1A2Bu);
  EXPECT_EQ(std::u16string(name), u"C:\\Windows\\Temp\\Fax1A2B.tmp");
  EXPECT_EQ(GetFileAttributesW(name), INVALID_FILE_ATTRIBUTES);
  // Only the low 16 bits make the name.
  EXPECT_EQ(GetTempFileNameW(u"C:\\x", nullptr, 0x12345, name), 0x12345u);
  EXPECT_EQ(std::u16string(name), u"C:\\x\\2345.tmp");

  EXPECT_EQ(GetTempFileNameW(u"C:\\no\\such\\folder", u"Mmr", 0, name), 0u);
  EXPECT_EQ(GetLastError(), ERROR_DIRECTORY);
  EXPECT_EQ(GetTempFileNameW(nullptr, u"Mmr", 0, name), 0u);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(GetTempFileNameW(u"C:\\Windows\\Temp", u"Mmr", 0, nullptr), 0u);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  std::u16string tooLong = u"C:\\" + std::u16string(MAX_PATH - 14, u'a');
  EXPECT_EQ(GetTempFileNameW(tooLong.c_str(), u"Mmr", 0, name), 0u);
  EXPECT_EQ(GetLastError(), ERROR_BUFFER_OVERFLOW);
}

}  // namespace
