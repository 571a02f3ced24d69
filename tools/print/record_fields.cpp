#include "tools/print/record_fields.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "platform/base/devmode.h"
#include "platform/base/text.h"
#include "tools/print/print_error.h"
#include "tools/print/utf8_check.h"

namespace k460::print {
namespace {

constexpr std::size_t kDmFieldsOffset = offsetof(DEVMODEW, dmFields);

bool IsReservedName(std::string_view name) {
  return name.find("Reserved") != std::string_view::npos || name.find("Pad") != std::string_view::npos;
}

std::size_t EditDistance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      const bool same =
          std::tolower(static_cast<unsigned char>(a[i - 1])) == std::tolower(static_cast<unsigned char>(b[j - 1]));
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

std::string NameList(std::span<const FieldInfo> table, std::string_view prefix) {
  std::string list;
  for (const FieldInfo& field : table) {
    if (IsReservedName(field.name)) continue;
    if (!list.empty()) list += ", ";
    list += std::string(prefix) + std::string(field.name);
  }
  return list;
}

[[noreturn]] void UnknownField(std::span<const FieldInfo> table, std::string_view name, std::string_view prefix) {
  const FieldInfo* closest = nullptr;
  std::size_t best = 3;  // suggest only names within two edits
  for (const FieldInfo& field : table) {
    const std::size_t distance = EditDistance(name, field.name);
    if (distance < best) {
      best = distance;
      closest = &field;
    }
  }
  std::string message = "unknown field '" + std::string(prefix) + std::string(name) + "'";
  if (closest) message += " (did you mean '" + std::string(prefix) + std::string(closest->name) + "'?)";
  throw OptionError(message + "; valid fields: " + NameList(table, prefix));
}

bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

struct Range {
  long long minimum;
  long long maximum;
};

Range IntegerRange(FieldType type) {
  switch (type) {
    case FieldType::UInt8:
      return {0, 255};
    case FieldType::Int16:
      return {-32768, 32767};
    case FieldType::UInt16:
      return {0, 65535};
    case FieldType::Int32:
      return {std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()};
    case FieldType::UInt32:
      return {0, std::numeric_limits<std::uint32_t>::max()};
    default:
      return {0, 0};
  }
}

std::string RangeText(Range range) { return std::to_string(range.minimum) + ".." + std::to_string(range.maximum); }

bool ParseInteger(std::string_view text, long long& value) {
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  unsigned long long magnitude = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
  if (text.empty() || end != text.data() + text.size()) return false;
  if (error == std::errc::result_out_of_range)
    magnitude = 1ULL << 40;  // outside every range
  else if (error != std::errc())
    return false;
  magnitude = std::min(magnitude, 1ULL << 40);
  value = negative ? -static_cast<long long>(magnitude) : static_cast<long long>(magnitude);
  return true;
}

template <typename T>
void AppendLe(std::vector<std::uint8_t>& bytes, T value) {
  std::uint8_t buffer[sizeof(T)];
  StoreLe<T>(buffer, value);
  bytes.insert(bytes.end(), buffer, buffer + sizeof(T));
}

}  // namespace

FieldLocation ResolveField(std::span<const FieldInfo> table, std::string_view name) {
  const std::string_view whole = name;
  std::size_t offset = 0;
  std::string prefix;  // the part already resolved, for messages
  while (true) {
    std::size_t length = 0;
    while (length < name.size() && IsNameChar(name[length])) ++length;
    const std::string_view part = name.substr(0, length);
    if (part.empty()) throw OptionError("'" + std::string(whole) + "' is not a field name");
    const auto found = std::find_if(table.begin(), table.end(), [&](const FieldInfo& f) { return f.name == part; });
    if (found == table.end()) UnknownField(table, part, prefix);
    const FieldInfo& field = *found;
    offset += field.offset;
    prefix += std::string(part);
    name.remove_prefix(length);

    if (field.elements > 1) {
      const std::string range = prefix + "[0] to " + prefix + "[" + std::to_string(field.elements - 1) + "]";
      if (name.empty() || name.front() != '[') throw OptionError(prefix + " is an array; name an element: " + range);
      const std::size_t close = name.find(']');
      long long index = -1;
      if (close == std::string_view::npos || !ParseInteger(name.substr(1, close - 1), index) || index < 0 ||
          index >= static_cast<long long>(field.elements))
        throw OptionError(prefix + ": no such element '" +
                          std::string(close == std::string_view::npos ? name : name.substr(0, close + 1)) +
                          "'; elements are " + range);
      offset += static_cast<std::size_t>(index) * (field.size / field.elements);
      prefix += "[" + std::to_string(index) + "]";
      name.remove_prefix(close + 1);
    }

    if (field.type == FieldType::Record) {
      if (name.empty() || name.front() != '.')
        throw OptionError(prefix + " is a record; name a member: " + NameList(field.members, prefix + "."));
      name.remove_prefix(1);
      prefix += ".";
      table = field.members;
      continue;
    }
    if (!name.empty()) throw OptionError("'" + std::string(whole) + "': " + prefix + " has no parts");
    return {&field, offset};
  }
}

FieldWrite PrepareFieldWrite(std::span<const FieldInfo> table, std::string_view assignment) {
  const std::size_t equals = assignment.find('=');
  if (equals == std::string_view::npos)
    throw OptionError("--set needs FIELD=VALUE, not '" + std::string(assignment) + "'");
  const std::string_view name = assignment.substr(0, equals), value = assignment.substr(equals + 1);
  const FieldLocation location = ResolveField(table, name);
  const FieldInfo& field = *location.field;
  FieldWrite write{std::string(name), location.offset, {}, field.dmFieldsBit};
  const std::string quoted = std::string(name) + "=" + std::string(value);

  switch (field.type) {
    case FieldType::Text: {
      if (!IsValidUtf8(value)) throw OptionError(quoted + ": the text is not valid UTF-8");
      const std::u16string text = Utf8ToUtf16(value);
      if (text.size() >= field.capacity)
        throw OptionError(quoted + ": the text is longer than " + std::to_string(field.capacity - 1) + " characters");
      for (std::size_t i = 0; i < field.capacity; ++i)
        AppendLe<std::uint16_t>(write.bytes, i < text.size() ? text[i] : 0);
      break;
    }
    case FieldType::Float: {
      double number = 0;
      std::string_view digits = value;
      if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
      const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
      if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() || !std::isfinite(number) ||
          std::fabs(number) > std::numeric_limits<float>::max())
        throw OptionError(quoted + ": not a number");
      AppendLe<float>(write.bytes, static_cast<float>(number));
      break;
    }
    case FieldType::Record:
      throw OptionError(quoted + ": " + std::string(name) + " is a record");  // ResolveField never returns one
    default: {
      const Range range = IntegerRange(field.type);
      long long number = 0;
      if (!ParseInteger(value, number))
        throw OptionError(quoted + ": not a whole number; valid range is " + RangeText(range));
      if (number < range.minimum || number > range.maximum)
        throw OptionError(quoted + ": out of range; valid range is " + RangeText(range));
      switch (field.type) {
        case FieldType::UInt8:
          write.bytes.push_back(static_cast<std::uint8_t>(number));
          break;
        case FieldType::Int16:
          AppendLe<std::int16_t>(write.bytes, static_cast<std::int16_t>(number));
          break;
        case FieldType::UInt16:
          AppendLe<std::uint16_t>(write.bytes, static_cast<std::uint16_t>(number));
          break;
        case FieldType::Int32:
          AppendLe<std::int32_t>(write.bytes, static_cast<std::int32_t>(number));
          break;
        default:
          AppendLe<std::uint32_t>(write.bytes, static_cast<std::uint32_t>(number));
          break;
      }
    }
  }
  return write;
}

void ApplyFieldWrite(std::span<std::uint8_t> record, const FieldWrite& write) {
  if (write.offset + write.bytes.size() > record.size()) return;
  std::memcpy(record.data() + write.offset, write.bytes.data(), write.bytes.size());
  if (write.dmFieldsBit && record.size() >= kDmFieldsOffset + 4) {
    std::uint8_t* fields = record.data() + kDmFieldsOffset;
    StoreLe<std::uint32_t>(fields, LoadLe<std::uint32_t>(fields) | write.dmFieldsBit);
  }
}

std::string FieldValueText(std::span<const std::uint8_t> record, std::span<const FieldInfo> table,
                           std::string_view name) {
  const FieldLocation location = ResolveField(table, name);
  const FieldInfo& field = *location.field;
  if (location.offset + field.size / field.elements > record.size()) return {};
  const std::uint8_t* at = record.data() + location.offset;
  switch (field.type) {
    case FieldType::UInt8:
      return std::to_string(*at);
    case FieldType::Int16:
      return std::to_string(LoadLe<std::int16_t>(at));
    case FieldType::UInt16:
      return std::to_string(LoadLe<std::uint16_t>(at));
    case FieldType::Int32:
      return std::to_string(LoadLe<std::int32_t>(at));
    case FieldType::UInt32:
      return std::to_string(LoadLe<std::uint32_t>(at));
    case FieldType::Float: {
      char buffer[32];
      const auto result = std::to_chars(buffer, buffer + sizeof buffer, LoadLe<float>(at));
      return std::string(buffer, result.ptr);
    }
    case FieldType::Text: {
      std::u16string text;
      for (std::size_t i = 0; i < field.capacity; ++i) {
        const char16_t unit = LoadLe<std::uint16_t>(at + 2 * i);
        if (unit == 0) break;
        text.push_back(unit);
      }
      return Utf16ToUtf8(text);
    }
    case FieldType::Record:
      break;
  }
  return {};
}

std::vector<std::string> FieldNames(std::span<const FieldInfo> table) {
  std::vector<std::string> names;
  for (const FieldInfo& field : table) names.emplace_back(field.name);
  return names;
}

}  // namespace k460::print
