// The parser: text mode (Universal Exit Language and PJL lines) until the
// language switch, then the stream header, then the binary binding until a
// Universal Exit Language sequence brings it back to text mode.
#include <algorithm>
#include <cctype>
#include <cstring>

#include "tools/pclxl_reader/pclxl_reader.h"

namespace k460::pclxl {
namespace {

constexpr std::string_view kUel = "\x1B%-12345X";
constexpr std::string_view kStreamClass = "HP-PCL XL";

enum TagByte : std::uint8_t {
  kAttrUByte = 0xF8,
  kAttrUInt16 = 0xF9,
  kDataLength = 0xFA,
  kDataLengthByte = 0xFB,
};

bool IsWhitespace(std::uint8_t b) {
  return b == 0x00 || b == 0x09 || b == 0x0A || b == 0x0B || b == 0x0C || b == 0x0D || b == 0x20;
}

// Size of one element, or 0 for a byte that is no data type of class 2.0.
std::size_t ElementSize(std::uint8_t tag) {
  if (DataTypeName(static_cast<DataType>(tag)).empty()) return 0;
  switch (tag & 0x07) {
    case 0: return 1;              // ubyte
    case 1: case 3: return 2;      // uint16, sint16
    case 2: case 4: case 5: return 4;  // uint32, sint32, real32
  }
  return 0;
}

// How many elements a tag carries: 1, 2, 4, or 0 for an array.
std::size_t ElementCount(std::uint8_t tag) {
  switch (tag & 0xF8) {
    case 0xC0: return 1;
    case 0xC8: return 0;
    case 0xD0: return 2;
    case 0xE0: return 4;
  }
  return 0;
}

std::uint32_t ReadLE(const std::uint8_t* p, std::size_t size) {
  std::uint32_t v = 0;
  for (std::size_t i = size; i-- > 0;) v = (v << 8) | p[i];
  return v;
}

double Decode(std::uint8_t tag, const std::uint8_t* p) {
  std::uint32_t raw = ReadLE(p, ElementSize(tag));
  switch (tag & 0x07) {
    case 3: return static_cast<std::int16_t>(raw);
    case 4: return static_cast<std::int32_t>(raw);
    case 5: {
      float f;
      std::memcpy(&f, &raw, sizeof f);
      return f;
    }
  }
  return raw;
}

std::string Hex(std::uint32_t v) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%02X", v);
  return text;
}

class Parser {
 public:
  explicit Parser(std::string_view bytes)
      : p_(reinterpret_cast<const std::uint8_t*>(bytes.data())), size_(bytes.size()), text_(bytes) {}

  Job Run() {
    bool ok = StartsWithHeader(pos_) ? ReadHeader() && ReadBinary() : true;
    while (ok && pos_ < size_) ok = ReadText();
    return std::move(job_);
  }

 private:
  std::size_t Left() const { return size_ - pos_; }
  bool At(std::string_view s, std::size_t at) const { return text_.substr(at, s.size()) == s; }

  bool Fail(ErrorKind kind, std::size_t offset, std::string message) {
    job_.error = ParseError{kind, offset, std::move(message)};
    return false;
  }

  bool StartsWithHeader(std::size_t at) const {
    char binding = at < size_ ? text_[at] : 0;
    return (binding == ')' || binding == '(' || binding == '\'') && At(" ", at + 1) && At(kStreamClass, at + 2);
  }

  // ---- Text mode -----------------------------------------------------------
  bool ReadText() {
    if (At(kUel, pos_)) {
      job_.items.emplace_back(std::in_place_type<UniversalExit>, UniversalExit{pos_});
      pos_ += kUel.size();
      return true;
    }
    if (IsWhitespace(p_[pos_])) {
      ++pos_;
      return true;
    }
    if (At("@PJL", pos_)) return ReadPjlLine();
    if (StartsWithHeader(pos_)) return ReadHeader() && ReadBinary();
    return Fail(ErrorKind::UnexpectedText, pos_, "byte " + Hex(p_[pos_]) + " outside a PJL line");
  }

  bool ReadPjlLine() {
    std::size_t start = pos_;
    std::size_t end = text_.find('\n', pos_);
    pos_ = end == std::string_view::npos ? size_ : end + 1;
    std::string_view line = text_.substr(start, (end == std::string_view::npos ? size_ : end) - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    job_.items.push_back(PjlLine{std::string(line), start});
    if (!IsEnterPclXl(line)) return true;
    if (StartsWithHeader(pos_)) return ReadHeader() && ReadBinary();
    return Fail(ErrorKind::BadHeader, pos_, "no PCL XL stream header after the language switch");
  }

  static bool IsEnterPclXl(std::string_view line) {
    std::string squeezed;
    for (char c : line) {
      if (c != ' ' && c != '\t') squeezed += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return squeezed == "@PJLENTERLANGUAGE=PCLXL";
  }

  // ---- Stream header -------------------------------------------------------
  bool ReadHeader() {
    std::size_t start = pos_;
    StreamHeader header;
    header.offset = start;
    header.binding = text_[start];
    if (header.binding != ')') {
      return Fail(ErrorKind::UnsupportedBinding, start,
                  std::string("binding '") + header.binding + "' (only ')', binary low byte first, is read)");
    }
    std::size_t end = text_.find('\n', start);
    if (end == std::string_view::npos) return Fail(ErrorKind::BadHeader, start, "stream header without line end");
    std::string_view line = text_.substr(start + 2, end - start - 2);
    // "HP-PCL XL;<class>;<revision>;<comment>"
    std::size_t semi1 = line.find(';');
    std::size_t semi2 = semi1 == std::string_view::npos ? semi1 : line.find(';', semi1 + 1);
    if (semi2 == std::string_view::npos) return Fail(ErrorKind::BadHeader, start, "stream header without class");
    std::size_t semi3 = line.find(';', semi2 + 1);
    header.streamClass = std::string(line.substr(0, semi1));
    if (!ReadNumber(line.substr(semi1 + 1, semi2 - semi1 - 1), header.protocolClass) ||
        !ReadNumber(line.substr(semi2 + 1, semi3 == std::string_view::npos ? semi3 : semi3 - semi2 - 1),
                    header.revision)) {
      return Fail(ErrorKind::BadHeader, start, "protocol class or revision is not a number");
    }
    if (semi3 != std::string_view::npos) header.comment = std::string(line.substr(semi3 + 1));
    job_.items.push_back(std::move(header));
    pos_ = end + 1;
    return true;
  }

  static bool ReadNumber(std::string_view digits, unsigned& out) {
    if (digits.empty() || digits.size() > 9) return false;
    out = 0;
    for (char c : digits) {
      if (c < '0' || c > '9') return false;
      out = out * 10 + static_cast<unsigned>(c - '0');
    }
    return true;
  }

  // ---- Binary binding ------------------------------------------------------
  bool ReadBinary() {
    while (pos_ < size_) {
      std::uint8_t b = p_[pos_];
      if (IsWhitespace(b)) {
        ++pos_;
      } else if (b == 0x1B && At(kUel, pos_)) {
        return CheckNothingPending(pos_);  // text mode takes the sequence
      } else if (ElementSize(b)) {
        if (!ReadValue()) return false;
      } else if (b == kAttrUByte || b == kAttrUInt16) {
        if (!ReadAttribute()) return false;
      } else if (b == kDataLength || b == kDataLengthByte) {
        if (!ReadData()) return false;
      } else if (!OperatorName(b).empty()) {
        if (!ReadOperator()) return false;
      } else {
        return Fail(ErrorKind::UnknownTag, pos_, "unknown tag " + Hex(b));
      }
    }
    return CheckNothingPending(pos_);
  }

  bool CheckNothingPending(std::size_t at) {
    if (pendingValue_) {
      return Fail(ErrorKind::ValueWithoutAttribute, pendingValue_->offset, "value without attribute at the end");
    }
    if (!pendingAttributes_.empty()) {
      return Fail(ErrorKind::AttributesWithoutOperator, pendingAttributes_.front().offset,
                  "attributes without operator before byte " + std::to_string(at));
    }
    return true;
  }

  bool ReadValue() {
    std::size_t start = pos_;
    std::uint8_t tag = p_[pos_];
    if (pendingValue_) {
      return Fail(ErrorKind::ValueWithoutAttribute, pendingValue_->offset, "value not followed by an attribute");
    }
    std::size_t size = ElementSize(tag);
    std::size_t count = ElementCount(tag);
    ++pos_;
    if (count == 0) {  // array: the element count is a ubyte or uint16 value
      if (Left() < 1) return Fail(ErrorKind::TruncatedValue, start, "array without length");
      std::uint8_t lengthTag = p_[pos_];
      if (lengthTag != static_cast<std::uint8_t>(DataType::UByte) &&
          lengthTag != static_cast<std::uint8_t>(DataType::UInt16)) {
        return Fail(ErrorKind::BadArrayLength, pos_, "array length tagged " + Hex(lengthTag));
      }
      std::size_t lengthSize = ElementSize(lengthTag);
      if (Left() < 1 + lengthSize) return Fail(ErrorKind::TruncatedValue, start, "array length cut short");
      count = ReadLE(p_ + pos_ + 1, lengthSize);
      pos_ += 1 + lengthSize;
    }
    if (Left() / size < count) {
      return Fail(ErrorKind::TruncatedValue, start, std::string(DataTypeName(static_cast<DataType>(tag))) + " cut short");
    }
    Value value{static_cast<DataType>(tag), {}, start};
    value.numbers.reserve(count);
    for (std::size_t i = 0; i < count; ++i, pos_ += size) value.numbers.push_back(Decode(tag, p_ + pos_));
    pendingValue_ = std::move(value);
    return true;
  }

  bool ReadAttribute() {
    std::size_t start = pos_;
    std::size_t idSize = p_[pos_] == kAttrUByte ? 1 : 2;
    if (Left() < 1 + idSize) return Fail(ErrorKind::TruncatedValue, start, "attribute identifier cut short");
    auto id = static_cast<std::uint16_t>(ReadLE(p_ + pos_ + 1, idSize));
    if (!pendingValue_) return Fail(ErrorKind::AttributeWithoutValue, start, "attribute " + Hex(id) + " without value");
    if (AttributeName(id).empty()) return Fail(ErrorKind::UnknownAttribute, start, "unknown attribute " + Hex(id));
    pendingAttributes_.push_back(Attribute{id, std::move(*pendingValue_), start});
    pendingValue_.reset();
    pos_ += 1 + idSize;
    return true;
  }

  bool ReadOperator() {
    if (pendingValue_) {
      return Fail(ErrorKind::ValueWithoutAttribute, pendingValue_->offset, "value not followed by an attribute");
    }
    Operator op;
    op.code = p_[pos_];
    op.offset = pos_;
    op.attributes = std::move(pendingAttributes_);
    pendingAttributes_.clear();
    job_.items.push_back(std::move(op));
    ++pos_;
    return true;
  }

  bool ReadData() {
    std::size_t start = pos_;
    std::size_t lengthSize = p_[pos_] == kDataLength ? 4 : 1;
    auto* op = job_.items.empty() ? nullptr : std::get_if<Operator>(&job_.items.back());
    if (!op || op->hasData || pendingValue_ || !pendingAttributes_.empty()) {
      return Fail(ErrorKind::DataWithoutOperator, start, "embedded data that follows no operator");
    }
    if (Left() < 1 + lengthSize) return Fail(ErrorKind::TruncatedValue, start, "data length cut short");
    std::uint32_t length = ReadLE(p_ + pos_ + 1, lengthSize);
    pos_ += 1 + lengthSize;
    if (Left() < length) {
      return Fail(ErrorKind::DataPastEnd, start,
                  std::to_string(length) + " data bytes, " + std::to_string(Left()) + " left");
    }
    op->hasData = true;
    op->dataLength = length;
    op->dataOffset = pos_;
    pos_ += length;
    return true;
  }

  const std::uint8_t* p_;
  std::size_t size_;
  std::string_view text_;
  std::size_t pos_ = 0;
  Job job_;
  std::optional<Value> pendingValue_;
  std::vector<Attribute> pendingAttributes_;
};

}  // namespace

Job ParseJob(std::string_view bytes) { return Parser(bytes).Run(); }

}  // namespace k460::pclxl
