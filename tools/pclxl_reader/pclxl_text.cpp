// Text forms of what the reader found, one line per item.
#include <charconv>
#include <cmath>

#include "tools/pclxl_reader/pclxl_reader.h"

namespace k460::pclxl {
namespace {

// Arrays longer than this print their first elements and a count.
constexpr std::size_t kShownElements = 16;

bool IsReal(DataType type) { return (static_cast<std::uint8_t>(type) & 0x07) == 5; }

std::string Number(DataType type, double v) {
  char text[32];
  auto result = IsReal(type) ? std::to_chars(text, text + sizeof text, static_cast<float>(v))
                             : std::to_chars(text, text + sizeof text, static_cast<long long>(v));
  return std::string(text, result.ptr);
}

bool Printable(const std::vector<double>& numbers) {
  for (double v : numbers) {
    if (v < 0x20 || v > 0x7E || v == '"' || v == '\\') return false;
  }
  return !numbers.empty();
}

std::string Code(std::uint32_t code) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%02X", code);
  return text;
}

struct ItemText {
  std::string operator()(const UniversalExit&) const { return "UEL"; }
  std::string operator()(const PjlLine& line) const { return "PJL " + line.text; }
  std::string operator()(const StreamHeader& h) const {
    return std::string("HEADER ") + h.binding + " " + h.streamClass + " class " + std::to_string(h.protocolClass) +
           "." + std::to_string(h.revision) + " comment \"" + h.comment + "\"";
  }
  std::string operator()(const Operator& op) const {
    std::string line(OperatorName(op.code));
    if (line.empty()) line = "Operator" + Code(op.code);
    for (const Attribute& a : op.attributes) {
      std::string_view name = AttributeName(a.id);
      line += " " + (name.empty() ? "Attribute" + Code(a.id) : std::string(name)) + "=" + FormatValue(a.value);
    }
    if (op.hasData) line += " data[" + std::to_string(op.dataLength) + "]";
    return line;
  }
};

std::size_t OffsetOf(const Item& item) {
  return std::visit([](const auto& i) { return i.offset; }, item);
}

}  // namespace

std::string FormatValue(const Value& value) {
  std::string text(DataTypeName(value.type));
  const auto& n = value.numbers;
  bool array = (static_cast<std::uint8_t>(value.type) & 0xF8) == 0xC8;
  if (array) {
    text += "[" + std::to_string(n.size()) + "]";
    if (value.type == DataType::UByteArray && Printable(n)) {
      text += " \"";
      for (double v : n) text += static_cast<char>(v);
      return text + "\"";
    }
  }
  text += "(";
  for (std::size_t i = 0; i < n.size() && i < kShownElements; ++i) text += (i ? ", " : "") + Number(value.type, n[i]);
  if (n.size() > kShownElements) text += ", ... " + std::to_string(n.size() - kShownElements) + " more";
  return text + ")";
}

std::string FormatItem(const Item& item) {
  std::string offset = std::to_string(OffsetOf(item));
  if (offset.size() < 8) offset.insert(0, 8 - offset.size(), ' ');
  return offset + "  " + std::visit(ItemText{}, item);
}

std::string FormatError(const ParseError& error) {
  return "malformed PCL XL job at byte " + std::to_string(error.offset) + ": " +
         std::string(ErrorKindName(error.kind)) + " (" + error.message + ")";
}

}  // namespace k460::pclxl
