// The records of the printer-data values: checks of what was stored and the
// conversions the renderer makes of them.
#include <gtest/gtest.h>

#include <functional>
#include <numeric>

#include "driver/winnt/printer/src/common/fax_users.h"
#include "tests/driver/winnt/printer/src/common/hostsettings_support.h"

namespace k460::testing {
namespace {

TEST(PrinterDataRecordsTest, DitherContrastIsSignAndMagnitude) {
  struct Case {
    std::vector<std::uint8_t> value;
    std::optional<std::int32_t> density;
  } cases[] = {{{0x85}, -5}, {{0x05}, 5}, {{0x80}, 0}, {{0xFF}, -127}, {{0x7F}, 127}, {{0x85, 0x01, 0x02}, -5},
               {{}, std::nullopt}};
  for (const Case& c : cases) EXPECT_EQ(ParseDitherContrast(c.value), c.density);
}

DitherBaseRecord UsableDitherBase() {
  DitherBaseRecord record{};
  record.cellCount = 144;
  record.matrixWidth = 12;
  for (std::size_t i = 0; i < kDitherCells; ++i) {
    record.thresholds[i] = static_cast<std::uint8_t>(255 - i);
    record.order[i] = static_cast<std::uint8_t>((i * 5) % kDitherCells);  // 5 is prime to 144
  }
  record.trailer = 0x1234;
  return record;
}

TEST(PrinterDataRecordsTest, DitherBaseIsTakenOnlyWhenItCanBeUsed) {
  struct Case {
    const char* name;
    std::function<void(std::vector<std::uint8_t>&)> damage;
    bool usable;
  } cases[] = {
      {"as stored", [](std::vector<std::uint8_t>&) {}, true},
      {"longer value is cut", [](std::vector<std::uint8_t>& v) { v.resize(400, 0xEE); }, true},
      {"one byte short", [](std::vector<std::uint8_t>& v) { v.pop_back(); }, false},
      {"cell count 143", [](std::vector<std::uint8_t>& v) { v[0] = 143; }, false},
      {"matrix width 11", [](std::vector<std::uint8_t>& v) { v[146] = 11; }, false},
      {"order beyond the thresholds", [](std::vector<std::uint8_t>& v) { v[148 + 7] = 144; }, false},
      {"threshold taken twice", [](std::vector<std::uint8_t>& v) { v[148 + 1] = v[148]; }, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto value = SerializeDitherBase(UsableDitherBase());
    c.damage(value);
    const auto parsed = ParseDitherBase(value);
    ASSERT_EQ(parsed.has_value(), c.usable);
    if (parsed) {
      EXPECT_EQ(SerializeDitherBase(*parsed), SerializeDitherBase(UsableDitherBase()));
    }
  }
}

TEST(PrinterDataRecordsTest, CustomPapersEndAtAZeroIdentifierAndAreCutToFifty) {
  std::vector<CustomPaperRecord> papers;
  for (int i = 0; i < 60; ++i) papers.push_back(MakeCustomPaper(257 + i, i % 2, 1500, 2000, u"Paper"));
  auto value = StoreRecordsForTest(papers);
  EXPECT_EQ(ParseCustomPapers(value).size(), 50u);

  papers[2].id = 0;
  papers[1].id = 514;  // beyond the user paper codes a device mode may carry
  value = StoreRecordsForTest(papers);
  value.resize(value.size() - 3);  // a partial last record is no record
  const auto parsed = ParseCustomPapers(value);
  ASSERT_EQ(parsed.size(), 1u);
  EXPECT_EQ(parsed[0].id, 257);
  EXPECT_EQ(parsed[0].unit, 0);

  // A name without its NUL is cut to 31 characters.
  CustomPaperRecord unterminated = MakeCustomPaper(257, 0, 1, 1, u"");
  std::fill(std::begin(unterminated.name), std::end(unterminated.name), u'n');
  EXPECT_EQ(CustomPaperName(ParseCustomPapers(SerializeCustomPapers(std::span(&unterminated, 1)))[0]),
            std::u16string(31, u'n'));
}

TEST(PrinterDataRecordsTest, FaxUserIsFoundAmongThePackedSlots) {
  UserInfoSlots slots(kUserInfoSlots);
  slots[0] = MakeUserInfo(10, "0001", "Sato");
  slots[1] = MakeUserInfo(11, "0002", "Suzuki");
  slots[3] = MakeUserInfo(12, "0003", "Tanaka");  // behind an empty slot: the list is not packed
  const auto slotsValue = SerializeUserInfo(slots);
  ASSERT_EQ(slotsValue.size(), 8000u);
  const UserInfoSlots read = ParseUserInfo(slotsValue);

  EXPECT_EQ(FindFaxUser(read, 11)->userName, "Suzuki");
  EXPECT_FALSE(FindFaxUser(read, 12).has_value());  // three used slots: only slots 0 to 2 are searched
  EXPECT_FALSE(FindFaxUser(read, 0).has_value());
  EXPECT_EQ(FaxUserNameText(read, 10, 932), "0001:Sato");
  EXPECT_EQ(FaxUserNameText(read, 99, 932), ":");
  EXPECT_EQ(FaxUserNameText(UserInfoSlots{}, 10, 932), ":");
}

TEST(PrinterDataRecordsTest, FaxUserTextIsCutOnACharacterBoundary) {
  UserInfoSlots slots(kUserInfoSlots);
  // 7 + 1 + 30 single bytes, then a double-byte character at bytes 38 and 39.
  const std::string name = std::string(30, 'a') + "\x82\xA0" + "tail";
  slots[0] = MakeUserInfo(1, "1234567", name);
  EXPECT_EQ(FaxUserNameText(slots, 1, 932), "1234567:" + std::string(30, 'a'));
  slots[0] = MakeUserInfo(1, "123456", name);
  EXPECT_EQ(FaxUserNameText(slots, 1, 932), "123456:" + std::string(30, 'a') + "\x82\xA0");
  // Texts without their NUL are cut to their fields.
  std::vector<std::uint8_t> value(80, 'x');
  StoreLe<std::int32_t>(value.data(), 5);
  const UserInfoSlots read = ParseUserInfo(value);
  EXPECT_EQ(FindFaxUser(read, 5)->userNumber, std::string(7, 'x'));
  EXPECT_EQ(FindFaxUser(read, 5)->userName, std::string(63, 'x'));
}

TEST(PrinterDataRecordsTest, CountryCodeAndForms) {
  EXPECT_EQ(ParseCountryCode(SerializeCountryCode(-1)), -1);
  EXPECT_EQ(ParseCountryCode(std::vector<std::uint8_t>{1, 0, 0}), std::nullopt);

  std::vector<FormRecord> forms(70, MakeForm(u"Letter"));
  const auto value = SerializeForms(forms);
  EXPECT_EQ(value.size(), 66u * 160u);
  EXPECT_EQ(ParseForms(value).size(), 66u);
  EXPECT_EQ(ParseForms(value, kMaxFaxForms).size(), 16u);
  EXPECT_EQ(FormName(ParseForms(value)[65]), u"Letter");
  EXPECT_EQ(FormName(MakeForm(std::u16string(80, u'f'))), std::u16string(63, u'f'));
}

}  // namespace
}  // namespace k460::testing
