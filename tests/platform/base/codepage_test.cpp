#include <gtest/gtest.h>

#include <string>

#include "platform/base/base.h"
#include "tests/support/machine_fixture.h"

namespace {

using k460::testing::MachineTest;
using CodePageTest = MachineTest;

std::string ToMultiByte(UINT cp, const std::u16string& text, BOOL* usedDefault = nullptr) {
  int n = WideCharToMultiByte(cp, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, usedDefault);
  std::string out(n, '\0');
  WideCharToMultiByte(cp, 0, text.c_str(), static_cast<int>(text.size()), out.data(), n, nullptr, usedDefault);
  return out;
}

std::u16string ToWide(UINT cp, const std::string& bytes) {
  int n = MultiByteToWideChar(cp, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::u16string out(n, u'\0');
  MultiByteToWideChar(cp, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
  return out;
}

TEST_F(CodePageTest, JapaneseFaceNameRoundTripsThrough932) {
  const std::u16string face = u"ＭＳ 明朝";
  BOOL usedDefault = TRUE;
  std::string bytes = ToMultiByte(932, face, &usedDefault);
  EXPECT_EQ(bytes, "\x82\x6c\x82\x72\x20\x96\xbe\x92\xa9");
  EXPECT_FALSE(usedDefault);
  EXPECT_EQ(ToWide(932, bytes), face);
}

struct UnmappableCase {
  UINT codePage;
  std::u16string text;
  std::string expected;
};

TEST_F(CodePageTest, UnmappableCharacterBecomesOneQuestionMark) {
  const UnmappableCase cases[] = {
      {932, u"a\u00E9b", "a?b"},         // é has no code in 932
      {932, u"\U0001F600", "??"},        // each surrogate half is one unit
      {1252, u"x\u3042y", "x?y"},        // hiragana in a Western code page
      {1252, u"\u20AC", "\x80"},         // the euro sign is mapped, not defaulted
  };
  for (const auto& c : cases) {
    BOOL usedDefault = FALSE;
    EXPECT_EQ(ToMultiByte(c.codePage, c.text, &usedDefault), c.expected) << c.codePage;
    EXPECT_EQ(usedDefault != FALSE, c.expected.find('?') != std::string::npos) << c.codePage;
  }
}

TEST_F(CodePageTest, CallerDefaultCharacterReplacesQuestionMark) {
  const std::u16string text = u"\u3042";
  char out[4] = {};
  BOOL used = FALSE;
  int n = WideCharToMultiByte(1252, 0, text.c_str(), 1, out, sizeof out, "*", &used);
  EXPECT_EQ(n, 1);
  EXPECT_EQ(out[0], '*');
  EXPECT_TRUE(used);
}

TEST_F(CodePageTest, ActiveCodePageFollowsMachineProfile) {
  auto profile = k460::GetMachineProfile();
  EXPECT_EQ(GetACP(), 932u);
  const std::u16string yen = u"\u65E5";  // 日
  EXPECT_EQ(ToMultiByte(CP_ACP, yen), "\x93\xfa");
  profile.ansiCodePage = 1252;
  k460::SetMachineProfile(profile);
  EXPECT_EQ(GetACP(), 1252u);
  EXPECT_EQ(ToMultiByte(CP_ACP, yen), "?");
}

TEST_F(CodePageTest, CountsIncludeTerminatorForNullTerminatedInput) {
  EXPECT_EQ(WideCharToMultiByte(932, 0, u"ab", -1, nullptr, 0, nullptr, nullptr), 3);
  EXPECT_EQ(MultiByteToWideChar(932, 0, "\x82\xa0z", -1, nullptr, 0), 3);  // あ z NUL
}

TEST_F(CodePageTest, BadArgumentsAndShortBuffers) {
  char small[2];
  WCHAR wsmall[1];
  SetLastError(0);
  EXPECT_EQ(WideCharToMultiByte(932, 0, u"abc", 3, small, 2, nullptr, nullptr), 0);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(MultiByteToWideChar(932, 0, "ab", 2, wsmall, 1), 0);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(WideCharToMultiByte(932, 0, nullptr, 3, small, 2, nullptr, nullptr), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(MultiByteToWideChar(437, 0, "a", 1, wsmall, 1), 0);  // a code page we do not have
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"a", 1, small, 2, "?", nullptr), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(CodePageTest, InvalidDoubleByteInputIsFlaggedOnRequest) {
  const char truncated[] = "a\x82";  // a lead byte with no trail byte
  WCHAR out[4];
  EXPECT_EQ(MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, truncated, 2, out, 4), 0);
  EXPECT_EQ(GetLastError(), ERROR_NO_UNICODE_TRANSLATION);
  EXPECT_EQ(MultiByteToWideChar(932, 0, truncated, 2, out, 4), 2);
  EXPECT_TRUE(IsDBCSLeadByteEx(932, 0x82));
  EXPECT_FALSE(IsDBCSLeadByteEx(932, 'a'));
}

}  // namespace
