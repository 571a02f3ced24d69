#include "driver/winnt/printer/src/common/printer_data_records.h"

#include <algorithm>
#include <array>

namespace k460::hostsettings {
namespace {

// Loads the whole records that `value` holds, at most `maxRecords`.
template <class Rec>
std::vector<Rec> LoadRecords(std::span<const std::uint8_t> value, std::size_t maxRecords) {
  const std::size_t count = std::min(value.size() / sizeof(Rec), maxRecords);
  std::vector<Rec> records;
  records.reserve(count);
  for (std::size_t i = 0; i < count; ++i) records.push_back(LoadFields<Rec>(value.subspan(i * sizeof(Rec))));
  return records;
}

template <class Rec>
std::vector<std::uint8_t> StoreRecords(std::span<const Rec> records) {
  std::vector<std::uint8_t> bytes(records.size() * sizeof(Rec));
  for (std::size_t i = 0; i < records.size(); ++i)
    StoreFields(records[i], std::span(bytes).subspan(i * sizeof(Rec)));
  return bytes;
}

// Ends a fixed text field: the last element becomes NUL, and so does
// everything after the first NUL, so the stored bytes carry no stale text.
template <class Char, std::size_t N>
void TerminateText(Char (&text)[N]) {
  text[N - 1] = 0;
  Char* end = std::find(text, text + N, Char{0});
  std::fill(end, text + N, Char{0});
}

template <class Char, std::size_t N>
void CopyText(Char (&text)[N], std::basic_string_view<Char> from) {
  std::fill(text, text + N, Char{0});
  std::copy_n(from.begin(), std::min(from.size(), N - 1), text);
}

template <class Char, std::size_t N>
std::basic_string<Char> TextOf(const Char (&text)[N]) {
  return std::basic_string<Char>(text, std::find(text, text + N, Char{0}));
}

bool IsUsableCustomPaperId(std::int32_t id) { return id >= kFirstCustomPaperId && id <= kLastCustomPaperId; }

}  // namespace

std::vector<CustomPaperRecord> ParseCustomPapers(std::span<const std::uint8_t> value) {
  std::vector<CustomPaperRecord> papers;
  for (CustomPaperRecord& paper : LoadRecords<CustomPaperRecord>(value, kMaxCustomPapers)) {
    if (paper.id == 0) break;
    if (!IsUsableCustomPaperId(paper.id)) continue;
    TerminateText(paper.name);
    papers.push_back(paper);
  }
  return papers;
}

std::vector<std::uint8_t> SerializeCustomPapers(std::span<const CustomPaperRecord> papers) {
  return StoreRecords(papers.first(std::min(papers.size(), kMaxCustomPapers)));
}

CustomPaperRecord MakeCustomPaper(std::int32_t id, std::int32_t unit, std::int32_t width, std::int32_t length,
                                  std::u16string_view name) {
  CustomPaperRecord paper{};
  paper.id = id;
  paper.unit = unit;
  paper.width = width;
  paper.length = length;
  CopyText(paper.name, name);
  return paper;
}

std::u16string CustomPaperName(const CustomPaperRecord& paper) { return TextOf(paper.name); }

UserInfoSlots ParseUserInfo(std::span<const std::uint8_t> value) {
  UserInfoSlots slots = LoadRecords<UserInfoRecord>(value, kUserInfoSlots);
  for (UserInfoRecord& slot : slots) {
    TerminateText(slot.userNumber);
    TerminateText(slot.userName);
  }
  slots.resize(kUserInfoSlots, UserInfoRecord{});
  return slots;
}

std::vector<std::uint8_t> SerializeUserInfo(std::span<const UserInfoRecord> slots) {
  std::vector<UserInfoRecord> all(slots.begin(), slots.begin() + std::min(slots.size(), kUserInfoSlots));
  all.resize(kUserInfoSlots, UserInfoRecord{});
  return StoreRecords<UserInfoRecord>(all);
}

UserInfoRecord MakeUserInfo(std::int32_t key, std::string_view userNumber, std::string_view userName) {
  UserInfoRecord record{};
  record.key = key;
  CopyText(record.userNumber, userNumber);
  CopyText(record.userName, userName);
  return record;
}

std::optional<DitherBaseRecord> ParseDitherBase(std::span<const std::uint8_t> value) {
  if (value.size() < kDitherBaseRecordSize) return std::nullopt;
  const auto record = LoadFields<DitherBaseRecord>(value);
  if (record.cellCount != static_cast<std::int16_t>(kDitherCells) || record.matrixWidth != kDitherMatrixWidth)
    return std::nullopt;
  // Each threshold is taken once: an order outside 0..143, or one that takes
  // a threshold twice, would make the matrix read beyond the thresholds.
  std::array<bool, kDitherCells> taken{};
  for (std::uint8_t index : record.order) {
    if (index >= kDitherCells || taken[index]) return std::nullopt;
    taken[index] = true;
  }
  return record;
}

std::vector<std::uint8_t> SerializeDitherBase(const DitherBaseRecord& record) {
  std::vector<std::uint8_t> bytes(kDitherBaseRecordSize);
  StoreFields(record, bytes);
  return bytes;
}

std::int32_t DecodeDitherContrast(std::uint8_t byte) {
  const std::int32_t magnitude = byte & 0x7F;
  return (byte & 0x80) ? -magnitude : magnitude;
}

std::optional<std::int32_t> ParseDitherContrast(std::span<const std::uint8_t> value) {
  if (value.empty()) return std::nullopt;
  return DecodeDitherContrast(value[0]);
}

std::optional<std::int32_t> ParseCountryCode(std::span<const std::uint8_t> value) {
  if (value.size() < 4) return std::nullopt;
  return LoadLe<std::int32_t>(value.data());
}

std::vector<std::uint8_t> SerializeCountryCode(std::int32_t countryCode) {
  std::vector<std::uint8_t> bytes(4);
  StoreLe(bytes.data(), countryCode);
  return bytes;
}

std::vector<FormRecord> ParseForms(std::span<const std::uint8_t> value, std::size_t maxRecords) {
  std::vector<FormRecord> forms = LoadRecords<FormRecord>(value, std::min(maxRecords, kMaxForms));
  for (FormRecord& form : forms) TerminateText(form.name);
  return forms;
}

std::vector<std::uint8_t> SerializeForms(std::span<const FormRecord> forms) {
  return StoreRecords(forms.first(std::min(forms.size(), kMaxForms)));
}

FormRecord MakeForm(std::u16string_view name) {
  FormRecord form{};
  CopyText(form.name, name);
  return form;
}

std::u16string FormName(const FormRecord& form) { return TextOf(form.name); }

}  // namespace k460::hostsettings
