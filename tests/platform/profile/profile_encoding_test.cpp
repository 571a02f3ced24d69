#include <gtest/gtest.h>

#include <string>

#include "platform/base/host.h"
#include "platform/base/internal.h"
#include "platform/profile/profile.h"
#include "tests/support/machine_fixture.h"

namespace {

using k460::testing::MachineTest;

constexpr const char16_t* kIni = u"C:\\Windows\\System32\\spool\\drivers\\w32x86\\3\\K460F.ini";

class ProfileEncodingTest : public MachineTest {
 protected:
  std::u16string Get(const char16_t* section, const char16_t* key) {
    WCHAR buffer[128];
    DWORD n = GetPrivateProfileStringW(section, key, u"<none>", buffer, 128, kIni);
    return std::u16string(buffer, n);
  }
  std::string FileBytes() { return ReadHostFile(k460::HostPath(kIni)); }
};

std::string Utf16Le(std::u16string_view text) {
  std::string bytes;
  for (char16_t c : text) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  return bytes;
}

TEST_F(ProfileEncodingTest, Utf16FileIsReadAndStaysUtf16) {
  WriteMachineFile(kIni, "\xFF\xFE" + Utf16Le(u"[印刷]\r\n用紙=\"ソフト表示\"\r\nFGraphic=1\r\n"));
  EXPECT_EQ(Get(u"印刷", u"用紙"), u"ソフト表示");
  EXPECT_EQ(GetPrivateProfileIntW(u"印刷", u"fgraphic", 0, kIni), 1u);
  ASSERT_TRUE(WritePrivateProfileStringW(u"印刷", u"モード", u"標準", kIni));
  EXPECT_EQ(FileBytes(), "\xFF\xFE" + Utf16Le(u"[印刷]\r\n用紙=\"ソフト表示\"\r\nFGraphic=1\r\nモード=標準\r\n"));
}

TEST_F(ProfileEncodingTest, Utf8FileWithSignatureStaysUtf8) {
  WriteMachineFile(kIni, "\xEF\xBB\xBF[印刷]\r\n用紙=標準\r\n");
  EXPECT_EQ(Get(u"印刷", u"用紙"), u"標準");
  ASSERT_TRUE(WritePrivateProfileStringW(u"印刷", u"用紙", u"モード", kIni));
  EXPECT_EQ(FileBytes(), "\xEF\xBB\xBF[印刷]\r\n用紙=モード\r\n");
}

// Shift JIS trail bytes include "\" (0x5C) and "[" (0x5B): the file is read
// as text in the machine's code page before any line is taken apart.
TEST_F(ProfileEncodingTest, CodePage932FileWithJapaneseValues) {
  k460::MachineProfile profile = k460::GetMachineProfile();
  profile.ansiCodePage = 932;
  k460::SetMachineProfile(profile);
  const std::string printing = "\x88\xF3\x8D\xFC";                       // 印刷
  const std::string paper = "\x97\x70\x8E\x86";                          // 用紙
  const std::string softDisplay = "\x83\x5C\x83\x74\x83\x67\x95\x5C\x8E\xA6";  // ソフト表示
  const std::string mode = "\x83\x82\x81\x5B\x83\x68";                   // モード
  const std::string standard = "\x95\x57\x8F\x80";                      // 標準
  WriteMachineFile(kIni, "[" + printing + "]\r\n" + paper + "=" + softDisplay + "\r\n[" + mode + "]\r\nx=1\r\n");

  EXPECT_EQ(Get(u"印刷", u"用紙"), u"ソフト表示");
  EXPECT_EQ(Get(u"モード", u"x"), u"1");
  WCHAR names[64];
  DWORD n = GetPrivateProfileStringW(nullptr, nullptr, u"", names, 64, kIni);
  EXPECT_EQ(std::u16string(names, n), std::u16string(u"印刷\0モード\0", 7));

  ASSERT_TRUE(WritePrivateProfileStringW(u"印刷", u"モード", u"標準", kIni));
  EXPECT_EQ(FileBytes(), "[" + printing + "]\r\n" + paper + "=" + softDisplay + "\r\n" + mode + "=" + standard +
                             "\r\n[" + mode + "]\r\nx=1\r\n");
}

TEST_F(ProfileEncodingTest, NewFilesAreWrittenInTheAnsiCodePage) {
  ASSERT_TRUE(WritePrivateProfileStringW(u"印刷", u"x", u"標準", kIni));
  EXPECT_EQ(FileBytes(), "[\x88\xF3\x8D\xFC]\r\nx=\x95\x57\x8F\x80\r\n");
}

}  // namespace
