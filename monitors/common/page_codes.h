// The value codes of the coded `PageHeader` fields and the keywords of the
// command protocol that they stand for: each code indexes its field's keyword
// list, so the code is the position of the keyword in the table.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "monitors/common/page_records.h"

namespace k460::pagestream {

enum class CodedField {
  Coding,
  Orient,
  Paper,
  Casset,
  Outbin,
  PaperType,
  TonerSaving,
  OutputOder,
  Stack,
  Duplex,
  DuplexBinding,
  MultPagePrint,
  MultPageBorder,
  MultPageOrder,
  MultPageView,
  Punch,
  PunchHoles,
  Staple,
  StaplePoint,
  SecurityPrint,
  FaxItem,
};

struct CodeTable {
  CodedField field;
  std::string_view name;  // the field's name, as in `PageHeader`
  std::int16_t PageHeader::*member;
  std::span<const std::string_view> keywords;
};

// Every coded field, in the order above.
std::span<const CodeTable> CodeTables();
const CodeTable& CodeTableOf(CodedField field);
// The keyword of `code`; nothing for a code outside the field's list.
std::optional<std::string_view> CodeKeyword(CodedField field, int code);

// Codes that change what a reader does, by name.
inline constexpr std::int16_t kCodingMH = 0;
inline constexpr std::int16_t kCodingMMR = 1;
inline constexpr std::int16_t kCodingJBG = 2;
inline constexpr std::int16_t kPaperCustom = 16;
// `MultPagePrint` 9: a booklet that the monitor imposes itself. It has no
// keyword (it is never sent) and only printer pages carry it.
inline constexpr std::int16_t kMultPageBooklet = 9;

// The first coded field of `header` whose code a monitor could not look up,
// for a page of `kind`. Fields that no command of such a page carries are not
// judged: `PunchHoles` without `Punch`, `StaplePoint` without `Staple`,
// `DuplexBinding` without `Duplex` or on fax and TIFF pages (the fax driver
// writes its binding setting unmapped), `FaxItem` unless the page asks for
// automatic fax submission.
std::optional<CodedField> FirstInvalidCode(const PageHeader& header, PageKind kind);

}  // namespace k460::pagestream
