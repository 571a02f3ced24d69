// Resources compiled into libraries: language choice, string tables and
// the bytes of file-based and inline resources.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>

#include "tests/platform/module/modtest_ids.h"
#include "tests/platform/module/module_test_support.h"
#include "tests/support/machine_fixture.h"

namespace {

namespace fs = std::filesystem;

// Each test holds the test library loaded, for a machine of its own.
class ResourceTest : public k460::testing::MachineTest {
 protected:
  void SetUp() override {
    MachineTest::SetUp();
    module_ = LoadLibraryW(u"k460modtest");
    ASSERT_NE(module_, nullptr);
  }
  void TearDown() override {
    if (module_) FreeLibrary(module_);
    MachineTest::TearDown();
  }
  void SetUserLanguage(LANGID language) {
    auto profile = k460::GetMachineProfile();
    profile.userLanguage = language;
    k460::SetMachineProfile(profile);
  }
  std::u16string String(UINT id) {
    WCHAR buffer[256];
    int length = LoadStringW(module_, id, buffer, 256);
    return std::u16string(buffer, static_cast<std::size_t>(length));
  }
  std::string Bytes(HRSRC resource) {
    auto* data = static_cast<const char*>(LockResource(LoadResource(module_, resource)));
    return data ? std::string(data, SizeofResource(module_, resource)) : std::string();
  }
  static std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  HMODULE module_ = nullptr;
};

TEST_F(ResourceTest, StringsFollowTheUserLanguage) {
  struct Case {
    LANGID user;
    UINT id;
    std::u16string expected;
  } cases[] = {
      {0x0411, IDS_GREETING, u"こんにちは"},
      {0x0409, IDS_GREETING, u"Hello"},
      {0x0809, IDS_GREETING, u"Hello"},  // English (UK): the same primary language
      {0x040C, IDS_GREETING, u"Hello"},  // French: no neutral table, so the first (0x0409)
      {0x0411, IDS_ENGLISH_BLOCK, u"English block"},  // that block exists in English only
      {0x0411, IDS_ESCAPES, u"ﾄﾅｰ(&J)\tタブ"},
      {0x0409, IDS_ESCAPES, u"Say \"hi\"\n\u263AA\\"},
  };
  for (const auto& c : cases) {
    SetUserLanguage(c.user);
    EXPECT_EQ(String(c.id), c.expected) << std::hex << c.user << " " << std::dec << c.id;
  }
  // A string missing from the chosen language's block is missing, even when
  // another language has it.
  SetUserLanguage(0x0409);
  WCHAR buffer[16];
  EXPECT_EQ(LoadStringW(module_, IDS_ONLY_JAPANESE, buffer, 16), 0);
  EXPECT_EQ(GetLastError(), ERROR_RESOURCE_NAME_NOT_FOUND);
}

TEST_F(ResourceTest, LoadStringCopiesTruncatesOrPointsAtTheText) {
  SetUserLanguage(0x0409);
  WCHAR buffer[8];
  std::fill(std::begin(buffer), std::end(buffer), u'#');
  EXPECT_EQ(LoadStringW(module_, IDS_GREETING, buffer, 8), 5);
  EXPECT_EQ(std::u16string(buffer), u"Hello");

  std::fill(std::begin(buffer), std::end(buffer), u'#');
  EXPECT_EQ(LoadStringW(module_, IDS_GREETING, buffer, 3), 2);
  EXPECT_EQ(std::u16string(buffer), u"He");
  EXPECT_EQ(buffer[3], u'#');
  EXPECT_EQ(LoadStringW(module_, IDS_GREETING, buffer, 1), 0);
  EXPECT_EQ(buffer[0], 0);

  // Size 0: the buffer receives a read-only pointer to the text.
  const WCHAR* text = nullptr;
  EXPECT_EQ(LoadStringW(module_, IDS_GREETING, reinterpret_cast<LPWSTR>(&text), 0), 5);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(std::u16string(text, 5), u"Hello");
  EXPECT_EQ(text[5], 0);  // terminated, so it can also be used as it is

  struct Failure {
    UINT id;
    LPWSTR buffer;
    int size;
    DWORD error;
  } failures[] = {
      {IDS_EMPTY_SLOT, buffer, 8, ERROR_RESOURCE_NAME_NOT_FOUND},  // block exists, slot empty
      {4000, buffer, 8, ERROR_RESOURCE_NAME_NOT_FOUND},            // no such block
      {0x10000, buffer, 8, ERROR_RESOURCE_NAME_NOT_FOUND},
      {IDS_GREETING, nullptr, 8, ERROR_INVALID_PARAMETER},
      {IDS_GREETING, buffer, -1, ERROR_INVALID_PARAMETER},
  };
  for (const auto& f : failures) {
    SetLastError(0);
    EXPECT_EQ(LoadStringW(module_, f.id, f.buffer, f.size), 0) << f.id;
    EXPECT_EQ(GetLastError(), f.error) << f.id;
  }
}

TEST_F(ResourceTest, LanguageChoiceOfFindResource) {
  auto value = [&](WORD name, WORD language) {
    HRSRC found = FindResourceExW(module_, MAKEINTRESOURCEW(RT_FONT_METRICS), MAKEINTRESOURCEW(name), language);
    std::string bytes = found ? Bytes(found) : std::string();
    return bytes.size() == 2 ? static_cast<int>(static_cast<unsigned char>(bytes[0]) |
                                                (static_cast<unsigned char>(bytes[1]) << 8))
                             : -1;
  };
  struct Case {
    WORD name;
    WORD language;
    int expected;
  } cases[] = {
      {3, 0x0411, 0x0411}, {3, 0x0409, 0x0409},
      {3, 0x0809, 0x0409},  // same primary language
      {3, 0x040C, 0x0000},  // neutral
      {4, 0x040C, 0x0409},  // no neutral: the first
      {3, 0x0000, 0x0411},  // 0: the user's language (Japanese by default)
  };
  for (const auto& c : cases) EXPECT_EQ(value(c.name, c.language), c.expected) << c.name << " " << std::hex << c.language;

  SetUserLanguage(0x0409);
  HRSRC found = FindResourceW(module_, MAKEINTRESOURCEW(3), MAKEINTRESOURCEW(RT_FONT_METRICS));
  EXPECT_EQ(Bytes(found), std::string("\x09\x04", 2));
}

TEST_F(ResourceTest, BytesOfFileAndInlineResources) {
  HRSRC font = FindResourceW(module_, MAKEINTRESOURCEW(IDR_FONT_FIRST), MAKEINTRESOURCEW(RT_FONT_METRICS));
  ASSERT_NE(font, nullptr);
  std::string file = ReadFile(fs::path(MODULE_TEST_DATA) / "font1.bin");
  EXPECT_EQ(SizeofResource(module_, font), file.size());
  EXPECT_EQ(Bytes(font), file);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(LockResource(LoadResource(module_, font))) % 8, 0u);
  EXPECT_EQ(FindResourceW(module_, u"#1", u"#258"), font);

  // A bitmap is kept without its 14-byte file header.
  HRSRC logo = FindResourceW(module_, u"logo", RT_BITMAP);
  ASSERT_NE(logo, nullptr);
  EXPECT_EQ(Bytes(logo), ReadFile(fs::path(MODULE_TEST_DATA) / "logo.bmp").substr(14));

  // An icon: one RT_ICON per image, and a group directory that numbers them.
  HRSRC group = FindResourceW(module_, u"APPICON", RT_GROUP_ICON);
  ASSERT_NE(group, nullptr);
  std::string directory = Bytes(group), icon = ReadFile(fs::path(MODULE_TEST_DATA) / "app.ico");
  ASSERT_EQ(directory.size(), 6u + 2 * 14);
  EXPECT_EQ(directory.substr(0, 6), icon.substr(0, 6));
  for (int i = 0; i < 2; ++i) {
    std::string entry = directory.substr(6 + 14 * i, 14), fileEntry = icon.substr(6 + 16 * i, 16);
    EXPECT_EQ(entry.substr(0, 12), fileEntry.substr(0, 12));  // size, colours, planes, bits, bytes
    WORD number = static_cast<WORD>(static_cast<unsigned char>(entry[12]) | (static_cast<unsigned char>(entry[13]) << 8));
    std::size_t offset = static_cast<unsigned char>(fileEntry[12]), size = static_cast<unsigned char>(fileEntry[8]);
    EXPECT_EQ(Bytes(FindResourceW(module_, MAKEINTRESOURCEW(number), RT_ICON)), icon.substr(offset, size));
  }

  // Inline: 16-bit numbers, 32-bit with L, narrow bytes, UTF-16 text.
  HRSRC table = FindResourceW(module_, u"Table", RT_RCDATA);
  ASSERT_NE(table, nullptr);
  const std::string expected("\x01\x00" "\x34\x12" "\xEF\xCD\xAB\x89" "ab\x00" "w\0i\0" "\xFF\xFF" "\x14\x01", 19);
  EXPECT_EQ(Bytes(table), expected);

  // Named type and name, in any case.
  HRSRC named = FindResourceW(module_, u"settings", u"printerdb");
  ASSERT_NE(named, nullptr);
  EXPECT_EQ(Bytes(named), "db");
  EXPECT_FALSE(FreeResource(LoadResource(module_, named)));
}

TEST_F(ResourceTest, LookupFailuresNameTheirReason) {
  struct Case {
    LPCWSTR type;
    LPCWSTR name;
    DWORD error;
  } cases[] = {
      {MAKEINTRESOURCEW(300), MAKEINTRESOURCEW(1), ERROR_RESOURCE_TYPE_NOT_FOUND},
      {MAKEINTRESOURCEW(RT_FONT_METRICS), MAKEINTRESOURCEW(99), ERROR_RESOURCE_NAME_NOT_FOUND},
      {u"NOTYPE", u"LOGO", ERROR_RESOURCE_TYPE_NOT_FOUND},
      {RT_BITMAP, u"LOGO2", ERROR_RESOURCE_NAME_NOT_FOUND},
      {nullptr, nullptr, ERROR_RESOURCE_TYPE_NOT_FOUND},
  };
  for (const auto& c : cases) {
    SetLastError(0);
    EXPECT_EQ(FindResourceW(module_, c.name, c.type), nullptr);
    EXPECT_EQ(GetLastError(), c.error);
  }

  HMODULE bare = LoadLibraryW(u"k460modbare");
  ASSERT_NE(bare, nullptr);
  EXPECT_EQ(FindResourceW(bare, MAKEINTRESOURCEW(1), RT_RCDATA), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_RESOURCE_DATA_NOT_FOUND);
  // A resource handle belongs to its library: not valid with another one.
  HRSRC font = FindResourceW(module_, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(RT_FONT_METRICS));
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(LoadResource(bare, font), nullptr);
  EXPECT_EQ(SizeofResource(bare, font), 0u);
  EXPECT_EQ(LoadResource(module_, reinterpret_cast<HRSRC>(reinterpret_cast<char*>(font) + 1)), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_RESOURCE_DATA_NOT_FOUND);
  EXPECT_TRUE(FreeLibrary(bare));
  EXPECT_EQ(LoadResource(bare, font), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_EQ(LockResource(nullptr), nullptr);
}

TEST_F(ResourceTest, TheProgramsOwnResources) {
  WCHAR buffer[32];
  EXPECT_EQ(LoadStringW(nullptr, 7, buffer, 32), 14);
  EXPECT_EQ(std::u16string(buffer), u"program string");
  EXPECT_EQ(LoadStringW(GetModuleHandleW(nullptr), 7, buffer, 32), 14);
}

}  // namespace
