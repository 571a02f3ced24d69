// The records kept as printer data beside "PrinterData": custom papers, fax
// user entries, the dither threshold set, forms, the density offset and the
// country code. Values read from a printer are checked here: a value that
// is too short, holds more records than its table, or holds records that
// cannot be used, gives the documented fallbacks instead of wrong data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

#include "driver/winnt/printer/src/common/record_bytes.h"

namespace k460::hostsettings {

// ---- CustomPaperData -------------------------------------------------------
inline constexpr std::size_t kCustomPaperRecordSize = 80;
inline constexpr std::size_t kMaxCustomPapers = 50;
inline constexpr std::size_t kCustomPaperNameChars = 32;  // 31 characters and the NUL
// Identifiers the UI gives its papers: 257 upward in list order. They are
// used as Windows and device paper codes; a valid device mode carries user
// paper codes up to 513.
inline constexpr std::int32_t kFirstCustomPaperId = 257;
inline constexpr std::int32_t kLastCustomPaperId = 513;

struct CustomPaperRecord {
  std::int32_t id;      // nonzero; 0 ends the list
  std::int32_t unit;    // 0 tenths of a millimetre, 1 hundredths of an inch
  std::int32_t width;   // short edge
  std::int32_t length;  // long edge
  char16_t name[kCustomPaperNameChars];
};

// ---- UserInfoData ----------------------------------------------------------
inline constexpr std::size_t kUserInfoRecordSize = 80;
inline constexpr std::size_t kUserInfoSlots = 100;
inline constexpr std::size_t kUserNumberBytes = 8;  // 7 characters and the NUL
inline constexpr std::size_t kUserNameBytes = 64;   // 63 characters and the NUL

struct UserInfoRecord {
  std::int32_t key;  // 0: empty slot
  std::uint8_t reserved4[4];
  char userNumber[kUserNumberBytes];  // ANSI
  char userName[kUserNameBytes];      // ANSI
};

// ---- DitherBase ------------------------------------------------------------
inline constexpr std::size_t kDitherBaseRecordSize = 294;
inline constexpr std::size_t kDitherCells = 144;
inline constexpr std::int16_t kDitherMatrixWidth = 12;

struct DitherBaseRecord {
  std::int16_t cellCount;  // 144
  std::uint8_t thresholds[kDitherCells];
  std::int16_t matrixWidth;  // 12
  std::uint8_t order[kDitherCells];  // cell i of the matrix takes threshold order[i]
  std::int16_t trailer;              // read, of no use
};

// ---- PrinterDB -------------------------------------------------------------
inline constexpr std::size_t kFormRecordSize = 160;
inline constexpr std::size_t kFormNameChars = 64;  // UTF-16, NUL-terminated
inline constexpr std::size_t kMaxForms = 66;       // the fax driver reads at most 16
inline constexpr std::size_t kMaxFaxForms = 16;

struct FormRecord {
  char16_t name[kFormNameChars];
  std::int32_t dimensions[4];  // length and width in millimetres, twice; the UI writes zeros
  std::uint8_t reserved144[16];
};

// ---- Field visitors and layouts -----------------------------------------------
template <class Rec, class T>
concept RecordOf = std::is_same_v<std::remove_const_t<Rec>, T>;

template <RecordOf<CustomPaperRecord> Rec, class F>
constexpr void ForEachField(Rec& r, F&& f) {
  f(offsetof(CustomPaperRecord, id), r.id);
  f(offsetof(CustomPaperRecord, unit), r.unit);
  f(offsetof(CustomPaperRecord, width), r.width);
  f(offsetof(CustomPaperRecord, length), r.length);
  f(offsetof(CustomPaperRecord, name), r.name);
}

template <RecordOf<UserInfoRecord> Rec, class F>
constexpr void ForEachField(Rec& r, F&& f) {
  f(offsetof(UserInfoRecord, key), r.key);
  f(offsetof(UserInfoRecord, reserved4), r.reserved4);
  f(offsetof(UserInfoRecord, userNumber), r.userNumber);
  f(offsetof(UserInfoRecord, userName), r.userName);
}

template <RecordOf<DitherBaseRecord> Rec, class F>
constexpr void ForEachField(Rec& r, F&& f) {
  f(offsetof(DitherBaseRecord, cellCount), r.cellCount);
  f(offsetof(DitherBaseRecord, thresholds), r.thresholds);
  f(offsetof(DitherBaseRecord, matrixWidth), r.matrixWidth);
  f(offsetof(DitherBaseRecord, order), r.order);
  f(offsetof(DitherBaseRecord, trailer), r.trailer);
}

template <RecordOf<FormRecord> Rec, class F>
constexpr void ForEachField(Rec& r, F&& f) {
  f(offsetof(FormRecord, name), r.name);
  f(offsetof(FormRecord, dimensions), r.dimensions);
  f(offsetof(FormRecord, reserved144), r.reserved144);
}

static_assert(sizeof(CustomPaperRecord) == kCustomPaperRecordSize && FieldsCoverRecord<CustomPaperRecord>(80));
static_assert(offsetof(CustomPaperRecord, unit) == 4 && offsetof(CustomPaperRecord, width) == 8 &&
              offsetof(CustomPaperRecord, length) == 12 && offsetof(CustomPaperRecord, name) == 16);
static_assert(sizeof(UserInfoRecord) == kUserInfoRecordSize && FieldsCoverRecord<UserInfoRecord>(80));
static_assert(offsetof(UserInfoRecord, userNumber) == 8 && offsetof(UserInfoRecord, userName) == 16);
static_assert(sizeof(DitherBaseRecord) == kDitherBaseRecordSize && FieldsCoverRecord<DitherBaseRecord>(294));
static_assert(offsetof(DitherBaseRecord, thresholds) == 2 && offsetof(DitherBaseRecord, matrixWidth) == 146 &&
              offsetof(DitherBaseRecord, order) == 148 && offsetof(DitherBaseRecord, trailer) == 292);
static_assert(sizeof(FormRecord) == kFormRecordSize && FieldsCoverRecord<FormRecord>(160));
static_assert(offsetof(FormRecord, dimensions) == 128 && offsetof(FormRecord, reserved144) == 144);

// ---- Stored values <-> records -----------------------------------------------

// Custom papers in list order: at most 50 records (the value is cut to 4000
// bytes), up to the first zero identifier. A record whose identifier is not
// 257..513 cannot name a paper and is left out; names are cut to 31
// characters.
std::vector<CustomPaperRecord> ParseCustomPapers(std::span<const std::uint8_t> value);
// At most 50 records, 80 bytes each.
std::vector<std::uint8_t> SerializeCustomPapers(std::span<const CustomPaperRecord> papers);
CustomPaperRecord MakeCustomPaper(std::int32_t id, std::int32_t unit, std::int32_t width, std::int32_t length,
                                  std::u16string_view name);
std::u16string CustomPaperName(const CustomPaperRecord& paper);

// The 100 slots (the value is cut to 8000 bytes; missing slots are empty);
// the texts are cut to 7 and 63 characters.
using UserInfoSlots = std::vector<UserInfoRecord>;
UserInfoSlots ParseUserInfo(std::span<const std::uint8_t> value);
// Always the 100 slots, 8000 bytes; records beyond them are dropped.
std::vector<std::uint8_t> SerializeUserInfo(std::span<const UserInfoRecord> slots);
UserInfoRecord MakeUserInfo(std::int32_t key, std::string_view userNumber, std::string_view userName);

// The threshold set, only when it is whole (294 bytes; longer values are cut)
// and usable: 144 cells, a matrix 12 wide and an order that is a permutation
// of 0..143. Anything else gives nothing, and the built-in set is used.
std::optional<DitherBaseRecord> ParseDitherBase(std::span<const std::uint8_t> value);
std::vector<std::uint8_t> SerializeDitherBase(const DitherBaseRecord& record);

// The density offset in the first byte: bit 7 the sign, bits 0 to 6 the
// magnitude (0x85 is -5). An empty value gives nothing.
std::optional<std::int32_t> ParseDitherContrast(std::span<const std::uint8_t> value);
std::int32_t DecodeDitherContrast(std::uint8_t byte);

// The country code, a little-endian s32; shorter values give nothing.
std::optional<std::int32_t> ParseCountryCode(std::span<const std::uint8_t> value);
std::vector<std::uint8_t> SerializeCountryCode(std::int32_t countryCode);

// Forms: at most `maxRecords` whole records (66, the fax driver 16); names
// are cut to 63 characters.
std::vector<FormRecord> ParseForms(std::span<const std::uint8_t> value, std::size_t maxRecords = kMaxForms);
std::vector<std::uint8_t> SerializeForms(std::span<const FormRecord> forms);
// A form with `name` (cut to 63 characters) and zero dimension words.
FormRecord MakeForm(std::u16string_view name);
std::u16string FormName(const FormRecord& form);

}  // namespace k460::hostsettings
