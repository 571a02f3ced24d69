#include "platform/outside/command/number_text.h"

#include <charconv>

namespace k460::cmdlib {
namespace {
std::string_view TrimBlanks(std::string_view text) {
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}
}  // namespace

std::string DecimalText(std::int32_t value) { return std::to_string(value); }

std::string HexText(std::uint32_t value, int digits) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  do {
    text.insert(text.begin(), kDigits[value & 0xF]);
    value >>= 4;
  } while (value != 0);
  if (static_cast<int>(text.size()) < digits) text.insert(0, static_cast<std::size_t>(digits) - text.size(), '0');
  return text;
}

std::optional<std::int32_t> ParseDecimal(std::string_view text) {
  text = TrimBlanks(text);
  // from_chars takes a minus sign but no plus sign, and no second sign.
  const bool plus = !text.empty() && text.front() == '+';
  if (plus) text.remove_prefix(1);
  if (text.empty() || (plus && text.front() == '-')) return std::nullopt;
  std::int32_t value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 10);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<std::uint32_t> ParseHex(std::string_view text) {
  text = TrimBlanks(text);
  if (text.empty() || text.size() > 8) return std::nullopt;
  std::uint32_t value = 0;
  for (char c : text) {
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else return std::nullopt;
    value = (value << 4) | static_cast<std::uint32_t>(digit);
  }
  return value;
}

}  // namespace k460::cmdlib
