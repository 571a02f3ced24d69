#include "monitors/common/page_codes.h"

#include <array>

namespace k460::pagestream {
namespace {

using namespace std::string_view_literals;

constexpr std::array kCoding = {"MH"sv, "MMR"sv, "JBG"sv, "MR"sv};
constexpr std::array kOrient = {"PORTRAIT"sv, "LANDSCAPE"sv};
constexpr std::array kPaper = {"A4"sv,         "A5"sv,        "A6"sv,      "LETTER"sv,         "LEGAL"sv,
                               "COM10"sv,      "A3"sv,        "DL"sv,      "B4"sv,             "B5"sv,
                               "POSTCARD"sv,   "LEDGER"sv,    "HALFLETTER"sv, "EXECUTIVE"sv,   "F4"sv,
                               "MONARCH"sv,    "CUSTOM"sv,    "POSTCARD2"sv, "GOVERMENTLEGAL"sv, "C5"sv,
                               "8K"sv,         "16K"sv,       "CHOU4"sv,   "KAKU2"sv};
constexpr std::array kCasset = {"AUTOSELECT"sv, "TRAY1"sv, "TRAY2"sv,       "TRAY3"sv,
                                "TRAY4"sv,      "TRAY5"sv, "MANUALPAPER"sv, "LCC"sv};
constexpr std::array kOutbin = {"LOWER"sv, "UPPER"sv};
constexpr std::array kPaperType = {"PLAIN"sv, "TRANSPARENCY"sv, "LABELS"sv, "LETTERHEAD"sv};
constexpr std::array kOffOn = {"OFF"sv, "ON"sv};
constexpr std::array kOutputOder = {"NORMAL"sv, "REVERSE"sv};
constexpr std::array kStack = {"OFF"sv, "SHIFT"sv, "ROTATE"sv};
constexpr std::array kDuplexBinding = {"LONGEDGE"sv, "SHORTEDGE"sv};
constexpr std::array kMultPagePrint = {"OFF"sv, "2UP"sv, "3UP"sv,  "4UP"sv,    "6UP"sv,
                                       "9UP"sv, "12UP"sv, "16UP"sv, "BOOKLET"sv};
constexpr std::array kMultPageBorder = {"NONE"sv, "SOLID"sv};
constexpr std::array kMultPageOrder = {"HORIZONTAL"sv, "VERTICAL"sv, "REVHORIZONTAL"sv, "REVVERTICAL"sv};
constexpr std::array kMultPageView = {"AUTO"sv, "LONGEDGE"sv, "SHORTEDGE"sv};
constexpr std::array kEdge = {"OFF"sv, "UPPER"sv, "LOWER"sv, "LEFT"sv, "RIGHT"sv};
constexpr std::array kPunchHoles = {"HOLES2"sv, "HOLES3"sv};
constexpr std::array kStaplePoint = {"UPPERLEFT"sv, "MIDDLE"sv, "UPPERRIGHT"sv};
constexpr std::array kFaxItem = {"tx"sv, "bbs"sv, "cir"sv, "wfl"sv, "tmp"sv};

constexpr std::array<CodeTable, 21> kTables = {{
    {CodedField::Coding, "Coding", &PageHeader::Coding, kCoding},
    {CodedField::Orient, "Orient", &PageHeader::Orient, kOrient},
    {CodedField::Paper, "Paper", &PageHeader::Paper, kPaper},
    {CodedField::Casset, "Casset", &PageHeader::Casset, kCasset},
    {CodedField::Outbin, "Outbin", &PageHeader::Outbin, kOutbin},
    {CodedField::PaperType, "PaperType", &PageHeader::PaperType, kPaperType},
    {CodedField::TonerSaving, "TonerSaving", &PageHeader::TonerSaving, kOffOn},
    {CodedField::OutputOder, "OutputOder", &PageHeader::OutputOder, kOutputOder},
    {CodedField::Stack, "Stack", &PageHeader::Stack, kStack},
    {CodedField::Duplex, "Duplex", &PageHeader::Duplex, kOffOn},
    {CodedField::DuplexBinding, "DuplexBinding", &PageHeader::DuplexBinding, kDuplexBinding},
    {CodedField::MultPagePrint, "MultPagePrint", &PageHeader::MultPagePrint, kMultPagePrint},
    {CodedField::MultPageBorder, "MultPageBorder", &PageHeader::MultPageBorder, kMultPageBorder},
    {CodedField::MultPageOrder, "MultPageOrder", &PageHeader::MultPageOrder, kMultPageOrder},
    {CodedField::MultPageView, "MultPageView", &PageHeader::MultPageView, kMultPageView},
    {CodedField::Punch, "Punch", &PageHeader::Punch, kEdge},
    {CodedField::PunchHoles, "PunchHoles", &PageHeader::PunchHoles, kPunchHoles},
    {CodedField::Staple, "Staple", &PageHeader::Staple, kEdge},
    {CodedField::StaplePoint, "StaplePoint", &PageHeader::StaplePoint, kStaplePoint},
    {CodedField::SecurityPrint, "SecurityPrint", &PageHeader::SecurityPrint, kOffOn},
    {CodedField::FaxItem, "FaxItem", &PageHeader::FaxItem, kFaxItem},
}};

// CodeTableOf indexes the array by the field.
constexpr bool TablesInFieldOrder() {
  for (std::size_t i = 0; i < kTables.size(); ++i) {
    if (kTables[i].field != static_cast<CodedField>(i)) return false;
  }
  return true;
}
static_assert(TablesInFieldOrder());

bool IsFaxOrTiff(PageKind kind) {
  return kind == PageKind::kFax || kind == PageKind::kFax2 || kind == PageKind::kTiff;
}

bool Judged(const CodeTable& table, const PageHeader& header, PageKind kind) {
  switch (table.field) {
    case CodedField::PunchHoles: return header.Punch != 0;
    case CodedField::StaplePoint: return header.Staple != 0;
    case CodedField::DuplexBinding: return header.Duplex != 0 && !IsFaxOrTiff(kind);
    case CodedField::FaxItem: return kind == PageKind::kFax2 && header.FaxAuto != 0;
    default: return true;
  }
}

bool Valid(const CodeTable& table, std::int16_t code) {
  if (table.field == CodedField::MultPagePrint && code == kMultPageBooklet) return true;
  return code >= 0 && static_cast<std::size_t>(code) < table.keywords.size();
}

}  // namespace

std::span<const CodeTable> CodeTables() { return kTables; }

const CodeTable& CodeTableOf(CodedField field) { return kTables[static_cast<std::size_t>(field)]; }

std::optional<std::string_view> CodeKeyword(CodedField field, int code) {
  const auto& keywords = CodeTableOf(field).keywords;
  if (code < 0 || static_cast<std::size_t>(code) >= keywords.size()) return std::nullopt;
  return keywords[static_cast<std::size_t>(code)];
}

std::optional<CodedField> FirstInvalidCode(const PageHeader& header, PageKind kind) {
  for (const auto& table : kTables) {
    if (Judged(table, header, kind) && !Valid(table, header.*table.member)) return table.field;
  }
  return std::nullopt;
}

}  // namespace k460::pagestream
