#include <gtest/gtest.h>

#include <string>

#include "platform/profile/profile.h"
#include "tests/support/machine_fixture.h"

namespace {

using k460::testing::MachineTest;

constexpr const char16_t* kIni = u"C:\\Windows\\System32\\spool\\drivers\\w32x86\\3\\K460.ini";

class ProfileReadTest : public MachineTest {
 protected:
  std::u16string Get(const char16_t* section, const char16_t* key, const char16_t* fallback = u"<default>",
                     const char16_t* file = kIni, DWORD size = 256) {
    std::u16string buffer(size, u'#');
    DWORD n = GetPrivateProfileStringW(section, key, fallback, buffer.data(), size, file);
    return buffer.substr(0, n);
  }
  // The list a null section or key gives in a buffer of `size` characters:
  // the count returned and the buffer up to and including the two nulls
  // that end the list.
  std::pair<DWORD, std::u16string> List(const char16_t* section, DWORD size) {
    std::u16string buffer(size, u'#');
    DWORD n = GetPrivateProfileStringW(section, nullptr, u"unused", buffer.data(), size, kIni);
    std::size_t end = buffer.find(std::u16string(2, u'\0'));
    return {n, end == std::u16string::npos ? buffer : buffer.substr(0, end + 2)};
  }
};

TEST_F(ProfileReadTest, ValuesDefaultsAndCaseRules) {
  WriteMachineFile(kIni,
                   "Orphan=before any section\r\n"
                   "; switches\r\n"
                   "[RegEntry]\r\n"
                   "  FSwitch = 1 \t\r\n"
                   "Quoted=\"  spaced  \"\r\n"
                   "Single='x'\r\n"
                   "Mismatched=\"abc\r\n"
                   "Empty=\r\n"
                   "NoEquals\n"
                   "[ Graphic ]\n"
                   "ShowGraphicEnhanceMode=1\n");
  struct Case {
    const char16_t *section, *key, *expected;
  } cases[] = {
      {u"regentry", u"FSWITCH", u"1"},
      {u"RegEntry", u"Quoted", u"  spaced  "},
      {u"RegEntry", u"Single", u"x"},
      {u"RegEntry", u"Mismatched", u"\"abc"},
      {u"RegEntry", u"Empty", u""},
      {u"GRAPHIC", u"showgraphicenhancemode", u"1"},
      {u"RegEntry", u"NoEquals", u"<default>"},
      {u"RegEntry", u"Orphan", u"<default>"},
      {u"Graphic", u"FSwitch", u"<default>"},
  };
  for (const auto& c : cases) EXPECT_EQ(Get(c.section, c.key), c.expected) << std::string(c.key, c.key + 3);

  SetLastError(0);
  EXPECT_EQ(Get(u"RegEntry", u"Missing", u"0  "), u"0");  // trailing blanks of the default go
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(Get(u"RegEntry", u"Missing", nullptr), u"");
  EXPECT_EQ(Get(u"RegEntry", u"FSwitch", u"d", u"C:\\nowhere\\none.ini"), u"d");
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  // A value that does not fit is cut to size - 1.
  EXPECT_EQ(Get(u"RegEntry", u"Quoted", nullptr, kIni, 4), u"  s");
  EXPECT_EQ(GetLastError(), ERROR_MORE_DATA);
  EXPECT_EQ(GetPrivateProfileStringW(u"RegEntry", u"FSwitch", u"", nullptr, 10, kIni), 0u);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(ProfileReadTest, IntegersTakeTheLeadingDigits) {
  WriteMachineFile(kIni,
                   "[N]\r\nsuffix=42abc\r\nnegative=-7\r\nempty=\r\nletters=x\r\nblanks=  12  \r\nplus=+5\r\n"
                   "quoted=\"9\"\r\nwraps=4294967297\r\nhex=0x10\r\n");
  struct Case {
    const char16_t* key;
    UINT expected;
  } cases[] = {
      {u"suffix", 42},  {u"negative", static_cast<UINT>(-7)}, {u"empty", 77}, {u"letters", 0},
      {u"blanks", 12},  {u"plus", 5}, {u"quoted", 9}, {u"wraps", 1}, {u"hex", 0}, {u"missing", 77},
  };
  for (const auto& c : cases)
    EXPECT_EQ(GetPrivateProfileIntW(u"n", c.key, 77, kIni), c.expected) << std::string(c.key, c.key + 4);
  EXPECT_EQ(GetPrivateProfileIntW(u"N", u"suffix", -1, u"C:\\none.ini"), static_cast<UINT>(-1));
  EXPECT_EQ(GetPrivateProfileIntW(nullptr, u"suffix", 3, kIni), 3u);
}

TEST_F(ProfileReadTest, SectionAndKeyListsWithTruncation) {
  WriteMachineFile(kIni, "[Alpha]\r\none=1\r\nTwo=2\r\n[beta]\r\nthree=3\r\n[ALPHA]\r\nONE=dup\r\nfour=4\r\n");
  // A section written twice is one section: its first value wins.
  EXPECT_EQ(Get(u"alpha", u"one"), u"1");
  EXPECT_EQ(Get(u"alpha", u"four"), u"4");

  using namespace std::string_literals;
  struct Case {
    const char16_t* section;
    DWORD size;
    DWORD count;
    std::u16string content;
  } cases[] = {
      {nullptr, 100, 11, u"Alpha\0beta\0\0"s},
      {nullptr, 12, 11, u"Alpha\0beta\0\0"s},  // exactly fits
      {nullptr, 11, 9, u"Alpha\0bet\0\0"s},    // cut: size - 2
      {nullptr, 3, 1, u"A\0\0"s},
      {nullptr, 2, 0, u"\0\0"s},
      {u"ALPHA", 100, 13, u"one\0Two\0four\0\0"s},
      {u"ALPHA", 10, 8, u"one\0Two\0\0"s},  // cut at a name's end
      {u"beta", 100, 6, u"three\0\0"s},
      {u"gamma", 100, 0, u"\0\0"s},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.section ? "keys" : "sections") << " in " << c.size);
    auto [count, content] = List(c.section, c.size);
    EXPECT_EQ(count, c.count);
    EXPECT_EQ(content, c.content);
  }
}

TEST_F(ProfileReadTest, SectionLinesAndMissingFiles) {
  WriteMachineFile(kIni, "[Monitors]\r\n PortMonitorTraceOut = 1\r\n; note\r\nLevel=\"3\"\r\n");
  using namespace std::string_literals;
  std::u16string buffer(64, u'#');
  DWORD n = GetPrivateProfileSectionW(u"monitors", buffer.data(), 64, kIni);
  EXPECT_EQ(buffer.substr(0, n + 1), u"PortMonitorTraceOut=1\0Level=\"3\"\0\0"s);
  n = GetPrivateProfileSectionW(u"monitors", buffer.data(), 10, kIni);
  EXPECT_EQ(n, 8u);
  EXPECT_EQ(buffer.substr(0, 10), u"PortMoni\0\0"s);

  n = GetPrivateProfileStringW(nullptr, nullptr, u"", buffer.data(), 64, u"C:\\none.ini");
  EXPECT_EQ(n, 0u);
  EXPECT_EQ(buffer.substr(0, 2), u"\0\0"s);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

}  // namespace
