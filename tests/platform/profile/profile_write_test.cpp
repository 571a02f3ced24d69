#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/base/host.h"
#include "platform/profile/profile.h"
#include "tests/support/machine_fixture.h"

namespace {

using k460::testing::MachineTest;

constexpr const char16_t* kIni = u"C:\\Windows\\System32\\spool\\drivers\\w32x86\\3\\xlgraph.ini";

class ProfileWriteTest : public MachineTest {
 protected:
  std::filesystem::path HostIni() const {
    return root() / "drive_c" / "Windows" / "System32" / "spool" / "drivers" / "w32x86" / "3" / "xlgraph.ini";
  }
  std::u16string Get(const char16_t* section, const char16_t* key, const char16_t* file = kIni) {
    WCHAR buffer[128];
    DWORD n = GetPrivateProfileStringW(section, key, u"<none>", buffer, 128, file);
    return std::u16string(buffer, n);
  }
};

TEST_F(ProfileWriteTest, CreatesUpdatesAndDeletesKeepingTheRestOfTheFile) {
  ASSERT_TRUE(WritePrivateProfileStringW(u"Devmode", u"FDuplex", u"1", kIni));
  EXPECT_EQ(ReadHostFile(HostIni()), "[Devmode]\r\nFDuplex=1\r\n");

  WriteMachineFile(kIni,
                   "; driver switches\r\n"
                   "[Devmode]\r\n"
                   "FDuplex=1\r\n"
                   "\r\n"
                   "; finishing\r\n"
                   "[RegEntry]\n"
                   "FSwitch=0\n");
  ASSERT_TRUE(WritePrivateProfileStringW(u"devmode", u"fduplex", u"0", kIni));   // keeps the key's spelling
  ASSERT_TRUE(WritePrivateProfileStringW(u"DEVMODE", u"Collate", u"on", kIni));  // after the last key
  ASSERT_TRUE(WritePrivateProfileStringW(u"Graphic", u"FGraphic", u"1", kIni));  // a new section at the end
  EXPECT_EQ(ReadHostFile(HostIni()),
            "; driver switches\r\n"
            "[Devmode]\r\n"
            "FDuplex=0\r\n"
            "Collate=on\r\n"
            "\r\n"
            "; finishing\r\n"
            "[RegEntry]\r\n"
            "FSwitch=0\r\n"
            "\r\n"
            "[Graphic]\r\n"
            "FGraphic=1\r\n");

  ASSERT_TRUE(WritePrivateProfileStringW(u"Devmode", u"FDUPLEX", nullptr, kIni));  // null value: key goes
  ASSERT_TRUE(WritePrivateProfileStringW(u"regentry", nullptr, nullptr, kIni));   // null key: section goes
  EXPECT_EQ(ReadHostFile(HostIni()),
            "; driver switches\r\n"
            "[Devmode]\r\n"
            "Collate=on\r\n"
            "\r\n"
            "; finishing\r\n"
            "[Graphic]\r\n"
            "FGraphic=1\r\n");
  EXPECT_EQ(Get(u"Devmode", u"FDuplex"), u"<none>");
  EXPECT_EQ(Get(u"RegEntry", u"FSwitch"), u"<none>");
  EXPECT_EQ(Get(u"Graphic", u"FGraphic"), u"1");
}

TEST_F(ProfileWriteTest, ArgumentsFoldersAndFaults) {
  // Deleting from a file that does not exist succeeds and makes no file.
  EXPECT_TRUE(WritePrivateProfileStringW(u"S", u"k", nullptr, kIni));
  EXPECT_TRUE(WritePrivateProfileStringW(u"S", nullptr, nullptr, kIni));
  EXPECT_FALSE(std::filesystem::exists(HostIni()));

  EXPECT_TRUE(WritePrivateProfileStringW(nullptr, nullptr, nullptr, kIni));  // flushes: nothing to do
  EXPECT_FALSE(WritePrivateProfileStringW(nullptr, u"k", u"v", kIni));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_FALSE(WritePrivateProfileStringW(u"S", u"k", u"v", u"C:\\no\\such\\x.ini"));
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);

  k460::InjectFault("WritePrivateProfileStringW", 0, 1, ERROR_DISK_FULL);
  EXPECT_FALSE(WritePrivateProfileStringW(u"S", u"k", u"v", kIni));
  EXPECT_EQ(GetLastError(), ERROR_DISK_FULL);
  EXPECT_FALSE(std::filesystem::exists(HostIni()));
  EXPECT_TRUE(WritePrivateProfileStringW(u"S", u"k", u"v", kIni));
  // Nothing but the file itself is left in the folder: the write went through a renamed new file.
  int entries = 0;
  for (const auto& entry : std::filesystem::directory_iterator(HostIni().parent_path())) {
    (void)entry;
    ++entries;
  }
  EXPECT_EQ(entries, 1);
}

TEST_F(ProfileWriteTest, FileNamesWithoutFolderLiveInTheWindowsFolder) {
  ASSERT_TRUE(WritePrivateProfileStringW(u"Options", u"Trace", u"2", u"k460test.ini"));
  EXPECT_EQ(ReadHostFile(root() / "drive_c" / "Windows" / "k460test.ini"), "[Options]\r\nTrace=2\r\n");
  EXPECT_EQ(GetPrivateProfileIntW(u"options", u"TRACE", 0, u"K460TEST.INI"), 2u);
  EXPECT_EQ(GetPrivateProfileIntW(u"options", u"TRACE", 0, u"C:\\WINDOWS\\k460test.ini"), 2u);
  // The user interface joins folder and name with a second backslash.
  EXPECT_EQ(GetPrivateProfileIntW(u"options", u"TRACE", 0, u"C:\\Windows\\\\k460test.ini"), 2u);
}

TEST_F(ProfileWriteTest, SectionsAreWrittenWhole) {
  WriteMachineFile(kIni, "[Paper]\r\nA4=1\r\n; sizes\r\nB5=2\r\n[Other]\r\nx=1\r\n");
  using namespace std::string_literals;
  std::u16string lines = u"Letter=3\0Legal=4\0\0"s;
  ASSERT_TRUE(WritePrivateProfileSectionW(u"paper", lines.c_str(), kIni));
  EXPECT_EQ(ReadHostFile(HostIni()), "[Paper]\r\nLetter=3\r\nLegal=4\r\n; sizes\r\n[Other]\r\nx=1\r\n");
  ASSERT_TRUE(WritePrivateProfileSectionW(u"New", u"k=v\0"s.c_str(), kIni));
  EXPECT_EQ(Get(u"new", u"K"), u"v");
  ASSERT_TRUE(WritePrivateProfileSectionW(u"Paper", nullptr, kIni));
  EXPECT_EQ(ReadHostFile(HostIni()), "[Other]\r\nx=1\r\n\r\n[New]\r\nk=v\r\n");
  EXPECT_FALSE(WritePrivateProfileSectionW(nullptr, lines.c_str(), kIni));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

}  // namespace
