#include <charconv>

#include "platform/base/text.h"
#include "tools/print/option_table.h"

namespace k460::print {
namespace {

struct BooleanWord {
  std::string_view word;
  bool value;
};
constexpr BooleanWord kBooleanWords[] = {{"true", true}, {"false", false}, {"yes", true}, {"no", false},
                                         {"on", true},   {"off", false},   {"1", true},   {"0", false}};

std::string ValidValues(const AcceptedValues& accepted) {
  switch (accepted.kind) {
    case ValueKind::Boolean:
      return "valid values: true, false";
    case ValueKind::Range:
      return "valid range is " + std::to_string(accepted.minimum) + ".." + std::to_string(accepted.maximum);
    case ValueKind::Choice: {
      std::string list;
      for (const Choice& choice : accepted.choices) {
        if (!choice.listed) continue;
        list += (list.empty() ? "" : ", ") + std::string(choice.keyword);
      }
      return "valid values: " + list;
    }
  }
  return {};
}

}  // namespace

bool SameName(std::string_view a, std::string_view b) { return EqualsNoCase(a, b); }

int GivenOptions::Value(std::string_view name) const {
  const auto found = values_.find(name);
  return found == values_.end() ? 0 : found->second.first;
}

std::string GivenOptions::Text(std::string_view name) const {
  const auto found = values_.find(name);
  if (found == values_.end() || found->second.second.empty()) return std::string(name);
  return std::string(name) + "=" + found->second.second;
}

void GivenOptions::Set(std::string_view name, int value, std::string_view text) {
  values_.insert_or_assign(std::string(name), std::make_pair(value, std::string(text)));
}

int ParseOptionValue(std::string_view option, const AcceptedValues& accepted, std::string_view text, bool hasValue) {
  const std::string given = std::string(option) + "=" + std::string(text);
  if (!hasValue) {
    if (accepted.kind == ValueKind::Boolean) return 1;
    throw OptionError(std::string(option) + ": needs a value; " + ValidValues(accepted));
  }
  switch (accepted.kind) {
    case ValueKind::Boolean:
      for (const BooleanWord& word : kBooleanWords)
        if (EqualsNoCase(word.word, text)) return word.value ? 1 : 0;
      throw OptionError(given + ": not a boolean; " + ValidValues(accepted));
    case ValueKind::Range: {
      std::string_view digits = text;
      if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
      long long number = 0;
      const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
      if (digits.empty() || end != digits.data() + digits.size() ||
          (error != std::errc() && error != std::errc::result_out_of_range))
        throw OptionError(given + ": not a whole number; " + ValidValues(accepted));
      if (error == std::errc::result_out_of_range || number < accepted.minimum || number > accepted.maximum)
        throw OptionError(given + ": out of range; " + ValidValues(accepted));
      return static_cast<int>(number);
    }
    case ValueKind::Choice:
      for (const Choice& choice : accepted.choices)
        if (EqualsNoCase(choice.keyword, text)) return choice.value;
      throw OptionError(given + ": unknown value '" + std::string(text) + "'; " + ValidValues(accepted));
  }
  return 0;
}

void ThrowUnknownOption(std::string_view name, const std::vector<std::string_view>& validNames) {
  std::string list;
  for (std::string_view valid : validNames) list += (list.empty() ? "" : ", ") + std::string(valid);
  throw OptionError("unknown option '" + std::string(name) + "'; valid options: " + list);
}

std::string_view KeywordOf(std::span<const Choice> choices, int value) {
  for (const Choice& choice : choices)
    if (choice.listed && choice.value == value) return choice.keyword;
  return {};
}

}  // namespace k460::print
