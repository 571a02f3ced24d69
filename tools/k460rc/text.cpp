// UTF-8 checks and conversions, and decoding of string literals.
#include "tools/k460rc/text.h"

#include <functional>

namespace k460rc {
namespace {

// Reads one code point at `i`; false when the bytes are not well-formed.
bool NextCodePoint(std::string_view text, std::size_t& i, char32_t& cp) {
  unsigned char c = static_cast<unsigned char>(text[i]);
  std::size_t length;
  if (c < 0x80) { cp = c; length = 1; }
  else if ((c & 0xE0) == 0xC0) { cp = c & 0x1F; length = 2; }
  else if ((c & 0xF0) == 0xE0) { cp = c & 0x0F; length = 3; }
  else if ((c & 0xF8) == 0xF0) { cp = c & 0x07; length = 4; }
  else return false;
  if (i + length > text.size()) return false;
  for (std::size_t k = 1; k < length; ++k) {
    unsigned char cc = static_cast<unsigned char>(text[i + k]);
    if ((cc & 0xC0) != 0x80) return false;
    cp = (cp << 6) | (cc & 0x3F);
  }
  static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < kSmallest[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000)) return false;
  i += length;
  return true;
}

void AppendUtf16(std::u16string& out, char32_t cp) {
  if (cp >= 0x10000) {
    cp -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
  } else {
    out.push_back(static_cast<char16_t>(cp));
  }
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Walks a literal: `character` gets decoded code points, `unit` gets raw
// values from "\x" and octal escapes (at most `maxUnit`).
void Decode(std::string_view raw, const SourceLocation& where, unsigned maxHexDigits, std::uint32_t maxUnit,
            const std::function<void(char32_t)>& character, const std::function<void(std::uint32_t)>& unit) {
  for (std::size_t i = 0; i < raw.size();) {
    char c = raw[i];
    if (c == '"' && i + 1 < raw.size() && raw[i + 1] == '"') {
      character('"');
      i += 2;
      continue;
    }
    if (c != '\\') {
      char32_t cp = 0;
      if (!NextCodePoint(raw, i, cp)) throw CompileError(where, "string is not valid UTF-8");
      character(cp);
      continue;
    }
    if (i + 1 >= raw.size()) throw CompileError(where, "string ends with a lone backslash");
    char e = raw[i + 1];
    i += 2;
    switch (e) {
      case 'n': character('\n'); break;
      case 'r': character('\r'); break;
      case 't': character('\t'); break;
      case 'a': character('\a'); break;
      case 'b': character('\b'); break;
      case 'f': character('\f'); break;
      case 'v': character('\v'); break;
      case '\\': case '\'': case '"': case '?': character(static_cast<char32_t>(e)); break;
      case 'x': {
        std::uint32_t value = 0;
        unsigned digits = 0;
        while (digits < maxHexDigits && i < raw.size() && HexValue(raw[i]) >= 0) {
          value = value * 16 + static_cast<std::uint32_t>(HexValue(raw[i++]));
          ++digits;
        }
        if (digits == 0) throw CompileError(where, "\\x without hexadecimal digits");
        unit(value);
        break;
      }
      case 'u': {
        std::uint32_t value = 0;
        for (int k = 0; k < 4; ++k) {
          if (i >= raw.size() || HexValue(raw[i]) < 0) throw CompileError(where, "\\u needs four hexadecimal digits");
          value = value * 16 + static_cast<std::uint32_t>(HexValue(raw[i++]));
        }
        if (value >= 0xD800 && value < 0xE000) throw CompileError(where, "\\u names a surrogate");
        character(value);
        break;
      }
      default:
        if (e >= '0' && e <= '7') {
          std::uint32_t value = static_cast<std::uint32_t>(e - '0');
          for (int k = 0; k < 2 && i < raw.size() && raw[i] >= '0' && raw[i] <= '7'; ++k)
            value = value * 8 + static_cast<std::uint32_t>(raw[i++] - '0');
          if (value > maxUnit) throw CompileError(where, "octal escape out of range");
          unit(value);
          break;
        }
        throw CompileError(where, std::string("unknown escape sequence \\") + e);
    }
  }
}

}  // namespace

void CheckUtf8(std::string_view text, const std::string& file) {
  int line = 1, column = 1;
  for (std::size_t i = 0; i < text.size();) {
    char32_t cp = 0;
    if (!NextCodePoint(text, i, cp)) throw CompileError({file, line, column}, "the file is not valid UTF-8");
    if (cp == '\n') {
      ++line;
      column = 1;
    } else {
      ++column;
    }
  }
}

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  for (std::size_t i = 0; i < text.size();) {
    char32_t cp = 0xFFFD;
    if (!NextCodePoint(text, i, cp)) {
      cp = 0xFFFD;
      ++i;
    }
    AppendUtf16(out, cp);
  }
  return out;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

std::u16string DecodeWide(std::string_view raw, const SourceLocation& where) {
  std::u16string out;
  Decode(
      raw, where, 4, 0xFFFF, [&](char32_t cp) { AppendUtf16(out, cp); },
      [&](std::uint32_t value) { out.push_back(static_cast<char16_t>(value)); });
  return out;
}

std::vector<std::uint8_t> DecodeNarrow(std::string_view raw, const SourceLocation& where) {
  std::vector<std::uint8_t> out;
  Decode(
      raw, where, 2, 0xFF,
      [&](char32_t cp) {
        std::string bytes;
        AppendUtf8(bytes, cp);
        out.insert(out.end(), bytes.begin(), bytes.end());
      },
      [&](std::uint32_t value) { out.push_back(static_cast<std::uint8_t>(value)); });
  return out;
}

}  // namespace k460rc
