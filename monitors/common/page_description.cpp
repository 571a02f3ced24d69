#include "monitors/common/page_description.h"

#include <algorithm>
#include <sstream>
#include <string_view>

#include "monitors/common/page_codes.h"
#include "platform/base/text.h"

namespace k460::pagestream {
namespace {

// A NUL-terminated fixed-size field, up to its NUL.
template <class Char, std::size_t N>
std::basic_string_view<Char> FieldText(const Char (&field)[N]) {
  return {field, static_cast<std::size_t>(std::find(field, field + N, Char{}) - field)};
}

// Text as it may be shown on one line: control characters, quotes and
// backslashes escaped.
std::string Printable(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : text) {
    if (c < 0x20 || c == 0x7F || c == '"' || c == '\\') {
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

void PutCoded(std::ostringstream& out, CodedField field, int code) {
  out << ' ' << CodeTableOf(field).name << '=';
  if (auto keyword = CodeKeyword(field, code)) {
    out << *keyword;
  } else if (field == CodedField::MultPagePrint && code == kMultPageBooklet) {
    out << "booklet(9)";
  } else {
    out << code;
  }
}

}  // namespace

std::string DescribePage(const PageRecord& page) {
  const PageInfo& i = page.info;
  const PageHeader& h = page.header;
  std::ostringstream out;
  out << "page " << page.number << ": DevId=" << i.DevId << '(' << PageKindName(page.kind) << ')'
      << " form=" << (page.form == RecordForm::kFull ? "full" : "short") << " DriverName=\""
      << Printable(Utf16ToUtf8(FieldText(i.DriverName))) << "\" BmpRotate=" << i.BmpRotate << " dmLogPixels=" << i.dmLogPixels
      << " iBmpHdr=" << i.iBmpHdr.bmWidth << 'x' << i.iBmpHdr.bmHeight << '/' << i.iBmpHdr.bmWidthBytes
      << " Length=" << h.Length << " Resolution=" << h.Resolution << " Width=" << h.Width << " Height=" << h.Height;
  PutCoded(out, CodedField::Coding, h.Coding);
  out << " CopyNum=" << h.CopyNum;
  for (CodedField field : {CodedField::Paper, CodedField::Orient, CodedField::Casset}) {
    PutCoded(out, field, h.*CodeTableOf(field).member);
  }
  out << " Collated=" << h.Collated << " Priority=" << h.Priority;
  for (CodedField field :
       {CodedField::Outbin, CodedField::PaperType, CodedField::TonerSaving, CodedField::OutputOder, CodedField::Stack,
        CodedField::Duplex, CodedField::DuplexBinding, CodedField::MultPagePrint, CodedField::MultPageBorder,
        CodedField::MultPageOrder, CodedField::MultPageView}) {
    PutCoded(out, field, h.*CodeTableOf(field).member);
  }
  out << " Zoom=" << h.Zoom << " ZoomOutputPaper=" << h.ZoomOutputPaper << " ZoomNumber=" << h.ZoomNumber
      << " Angle=" << h.Angle;
  for (CodedField field : {CodedField::Punch, CodedField::PunchHoles, CodedField::Staple, CodedField::StaplePoint,
                           CodedField::SecurityPrint}) {
    PutCoded(out, field, h.*CodeTableOf(field).member);
  }
  if (page.form == RecordForm::kFull) {
    out << " FaxUserName=\"" << Printable(FieldText(h.FaxUserName)) << "\" FaxPassword=" << (h.FaxPassword[0] ? "(set)" : "(none)")
        << " FaxAuto=" << h.FaxAuto;
    PutCoded(out, CodedField::FaxItem, h.FaxItem);
    out << " FaxTxDocList=" << h.FaxTxDocList;
  }
  return out.str();
}

}  // namespace k460::pagestream
