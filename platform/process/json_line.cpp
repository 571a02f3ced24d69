#include "platform/process/json_line.h"

#include <limits>

#include "platform/base/text.h"

namespace k460::json {

Value Value::String(std::u16string s) {
  Value v;
  v.kind = Kind::String;
  v.text = std::move(s);
  return v;
}

Value Value::Integer(std::int64_t n) {
  Value v;
  v.kind = Kind::Integer;
  v.integer = n;
  return v;
}

Value Value::Object() {
  Value v;
  v.kind = Kind::Object;
  return v;
}

void Value::Add(std::string key, Value value) {
  keys.push_back(std::move(key));
  members.push_back(std::move(value));
}

const Value* Value::Find(std::string_view key) const {
  for (std::size_t i = 0; i < keys.size(); ++i)
    if (keys[i] == key) return &members[i];
  return nullptr;
}

namespace {

constexpr char kHex[] = "0123456789abcdef";

void WriteEscape(std::string& out, char16_t unit) {
  out += "\\u";
  for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(unit >> shift) & 0xF];
}

void WriteString(std::string& out, std::u16string_view s) {
  out += '"';
  for (std::size_t i = 0; i < s.size(); ++i) {
    char16_t c = s[i];
    switch (c) {
      case u'"': out += "\\\""; continue;
      case u'\\': out += "\\\\"; continue;
      case u'\n': out += "\\n"; continue;
      case u'\r': out += "\\r"; continue;
      case u'\t': out += "\\t"; continue;
      default: break;
    }
    if (c < 0x20) {
      WriteEscape(out, c);
    } else if (c >= 0xD800 && c < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000) {
      out += Utf16ToUtf8(s.substr(i, 2));
      ++i;
    } else if (c >= 0xD800 && c < 0xE000) {
      WriteEscape(out, c);  // unpaired: no UTF-8 form exists
    } else {
      out += Utf16ToUtf8(s.substr(i, 1));
    }
  }
  out += '"';
}

void WriteValue(std::string& out, const Value& v) {
  switch (v.kind) {
    case Value::Kind::String: WriteString(out, v.text); break;
    case Value::Kind::Integer: out += std::to_string(v.integer); break;
    case Value::Kind::Object:
      out += '{';
      for (std::size_t i = 0; i < v.keys.size(); ++i) {
        if (i) out += ',';
        WriteString(out, Utf8ToUtf16(v.keys[i]));
        out += ':';
        WriteValue(out, v.members[i]);
      }
      out += '}';
      break;
  }
}

class Parser {
 public:
  explicit Parser(std::string_view text) : s_(text) {}

  std::optional<Value> Document() {
    auto v = ParseValue(0);
    SkipSpace();
    if (!v || pos_ != s_.size()) return std::nullopt;
    return v;
  }

 private:
  static constexpr int kMaxDepth = 8;

  void SkipSpace() {
    while (pos_ < s_.size() && (s_[pos_] == ' ' || s_[pos_] == '\t' || s_[pos_] == '\r' || s_[pos_] == '\n')) ++pos_;
  }
  bool Take(char c) {
    SkipSpace();
    if (pos_ < s_.size() && s_[pos_] == c) {
      ++pos_;
      return true;
    }
    return false;
  }

  std::optional<Value> ParseValue(int depth) {
    SkipSpace();
    if (pos_ >= s_.size()) return std::nullopt;
    char c = s_[pos_];
    if (c == '{') return depth < kMaxDepth ? ParseObject(depth) : std::nullopt;
    if (c == '"') {
      auto s = ParseString();
      if (!s) return std::nullopt;
      return Value::String(std::move(*s));
    }
    if (c == '-' || (c >= '0' && c <= '9')) return ParseInteger();
    return std::nullopt;
  }

  std::optional<Value> ParseObject(int depth) {
    ++pos_;  // '{'
    Value object = Value::Object();
    if (Take('}')) return object;
    do {
      SkipSpace();
      auto key = ParseString();
      if (!key || !Take(':')) return std::nullopt;
      auto value = ParseValue(depth + 1);
      if (!value) return std::nullopt;
      object.Add(Utf16ToUtf8(*key), std::move(*value));
    } while (Take(','));
    if (!Take('}')) return std::nullopt;
    return object;
  }

  std::optional<Value> ParseInteger() {
    bool negative = s_[pos_] == '-';
    if (negative) ++pos_;
    if (pos_ >= s_.size() || s_[pos_] < '0' || s_[pos_] > '9') return std::nullopt;
    std::uint64_t magnitude = 0;
    const std::uint64_t limit = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) + negative;
    while (pos_ < s_.size() && s_[pos_] >= '0' && s_[pos_] <= '9') {
      magnitude = magnitude * 10 + static_cast<unsigned>(s_[pos_++] - '0');
      if (magnitude > limit) return std::nullopt;
    }
    std::int64_t n = negative ? static_cast<std::int64_t>(0 - magnitude) : static_cast<std::int64_t>(magnitude);
    return Value::Integer(n);
  }

  std::optional<unsigned> HexDigit(char c) {
    if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
    if (c >= 'a' && c <= 'f') return static_cast<unsigned>(c - 'a' + 10);
    if (c >= 'A' && c <= 'F') return static_cast<unsigned>(c - 'A' + 10);
    return std::nullopt;
  }

  std::optional<std::u16string> ParseString() {
    if (pos_ >= s_.size() || s_[pos_] != '"') return std::nullopt;
    ++pos_;
    std::u16string out;
    std::size_t runStart = pos_;  // a run of plain UTF-8 bytes, converted at once
    auto flushRun = [&] { out += Utf8ToUtf16(s_.substr(runStart, pos_ - runStart)); };
    while (pos_ < s_.size()) {
      unsigned char c = static_cast<unsigned char>(s_[pos_]);
      if (c == '"') {
        flushRun();
        ++pos_;
        return out;
      }
      if (c < 0x20) return std::nullopt;
      if (c != '\\') {
        ++pos_;
        continue;
      }
      flushRun();
      if (++pos_ >= s_.size()) return std::nullopt;
      char e = s_[pos_++];
      switch (e) {
        case '"': out += u'"'; break;
        case '\\': out += u'\\'; break;
        case '/': out += u'/'; break;
        case 'b': out += u'\b'; break;
        case 'f': out += u'\f'; break;
        case 'n': out += u'\n'; break;
        case 'r': out += u'\r'; break;
        case 't': out += u'\t'; break;
        case 'u': {
          if (pos_ + 4 > s_.size()) return std::nullopt;
          unsigned unit = 0;
          for (int k = 0; k < 4; ++k) {
            auto d = HexDigit(s_[pos_++]);
            if (!d) return std::nullopt;
            unit = unit * 16 + *d;
          }
          out += static_cast<char16_t>(unit);
          break;
        }
        default: return std::nullopt;
      }
      runStart = pos_;
    }
    return std::nullopt;  // unterminated
  }

  std::string_view s_;
  std::size_t pos_ = 0;
};

}  // namespace

std::string Write(const Value& value) {
  std::string out;
  WriteValue(out, value);
  return out;
}

std::optional<Value> Read(std::string_view text) { return Parser(text).Document(); }

}  // namespace k460::json
