// Options in the style of `lp`: -o NAME=VALUE (several in one argument,
// separated by blanks; a boolean option alone means true), -n COPIES, and
// --set FIELD=VALUE for any field of the job settings record by its name.
//
// Each driver family describes its options as a table of rules over its
// own settings record (pcl_options.h for JobSettings; the host-based
// drivers' HostDevMode gets a table of its own). A rule names the option,
// says which values it takes, and applies a value to the record. The
// OptionMapper checks every option as it is added (unknown names and
// values are errors that list the valid ones) and applies them in the
// order of the table, whatever their order on the command line, so that a
// rule can rely on the rules before it (e.g. sides on orientation and
// number-up); field assignments follow, in the order given.
#pragma once

#include <cstdint>
#include <cstring>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "tools/print/print_error.h"
#include "tools/print/record_fields.h"

namespace k460::print {

// A keyword an option accepts and the value it stands for. Unlisted
// keywords are accepted but not shown in messages (aliases).
struct Choice {
  std::string_view keyword;
  int value;
  bool listed = true;
};

enum class ValueKind : std::uint8_t { Choice, Range, Boolean };
struct AcceptedValues {
  ValueKind kind = ValueKind::Boolean;
  std::span<const Choice> choices;  // ValueKind::Choice
  int minimum = 0;                  // ValueKind::Range
  int maximum = 0;
};

// The options given, by their canonical name: the value and the text the
// person wrote (for messages such as "zoom=150 needs number-up=1").
class GivenOptions {
 public:
  bool Has(std::string_view name) const { return values_.find(name) != values_.end(); }
  int Value(std::string_view name) const;
  // "name=text" as given, or the name alone when not given.
  std::string Text(std::string_view name) const;
  void Set(std::string_view name, int value, std::string_view text);

 private:
  std::map<std::string, std::pair<int, std::string>, std::less<>> values_;
};

template <typename Record>
struct OptionRule {
  std::string_view name;
  AcceptedValues value;
  // Applies the checked value; may throw OptionError for a combination
  // that cannot be printed, naming both options.
  void (*apply)(Record& record, int value, const GivenOptions& given);
  std::string_view help;
};

// Another name for an option, or for one option with a fixed value:
// {"PageSize", "media", ""} or {"landscape", "orientation-requested", "4"}.
struct OptionAlias {
  std::string_view name;
  std::string_view option;
  std::string_view value;  // empty: the value given with the alias
};

template <typename Record>
struct OptionTable {
  std::span<const OptionRule<Record>> rules;
  std::span<const OptionAlias> aliases;
  std::span<const FieldInfo> fields;
};

// ---- Helpers shared by every table (option_values.cpp) -------------------------
// Checks `text` against the option's AcceptedValues; `hasValue` is false for a
// bare "-o NAME". Throws OptionError with the valid values or range.
int ParseOptionValue(std::string_view option, const AcceptedValues& accepted, std::string_view text, bool hasValue);
// "unknown option 'NAME'; valid options: ..." with the names given.
[[noreturn]] void ThrowUnknownOption(std::string_view name, const std::vector<std::string_view>& validNames);
// The listed keyword of a choice value ("" if none).
std::string_view KeywordOf(std::span<const Choice> choices, int value);
bool SameName(std::string_view a, std::string_view b);  // without regard to case

template <typename Record>
class OptionMapper {
  static_assert(std::is_trivially_copyable_v<Record> && std::is_standard_layout_v<Record>);

 public:
  explicit OptionMapper(const OptionTable<Record>& table) : table_(table) {}

  // The argument of one -o: NAME=VALUE or NAME, several separated by blanks.
  void AddOptions(std::string_view argument) {
    while (!argument.empty()) {
      const std::size_t start = argument.find_first_not_of(" \t");
      if (start == std::string_view::npos) break;
      argument.remove_prefix(start);
      const std::size_t end = argument.find_first_of(" \t");
      const std::string_view item = argument.substr(0, end);
      argument = end == std::string_view::npos ? std::string_view() : argument.substr(end);
      const std::size_t equals = item.find('=');
      if (equals == std::string_view::npos)
        AddOption(item, "", false);
      else
        AddOption(item.substr(0, equals), item.substr(equals + 1), true);
    }
  }

  // One option by name; -n COPIES is AddOption("copies", COPIES).
  void AddOption(std::string_view name, std::string_view value, bool hasValue = true) {
    for (const OptionAlias& alias : table_.aliases) {
      if (!SameName(alias.name, name)) continue;
      if (!alias.value.empty()) {
        if (hasValue) throw OptionError(std::string(alias.name) + " takes no value");
        return AddOption(alias.option, alias.value, true);
      }
      return AddOption(alias.option, value, hasValue);
    }
    for (const OptionRule<Record>& rule : table_.rules) {
      if (!SameName(rule.name, name)) continue;
      given_.Set(rule.name, ParseOptionValue(rule.name, rule.value, value, hasValue), value);
      return;
    }
    std::vector<std::string_view> names;
    for (const OptionRule<Record>& rule : table_.rules) names.push_back(rule.name);
    for (const OptionAlias& alias : table_.aliases) names.push_back(alias.name);
    ThrowUnknownOption(name, names);
  }

  // The argument of one --set: FIELD=VALUE.
  void AddFieldAssignment(std::string_view assignment) {
    writes_.push_back(PrepareFieldWrite(table_.fields, assignment));
  }

  // Applies the options in table order, then the field assignments.
  void Apply(Record& record) const {
    for (const OptionRule<Record>& rule : table_.rules)
      if (given_.Has(rule.name)) rule.apply(record, given_.Value(rule.name), given_);
    std::span<std::uint8_t> bytes(reinterpret_cast<std::uint8_t*>(&record), sizeof(Record));
    for (const FieldWrite& write : writes_) ApplyFieldWrite(bytes, write);
  }

  const GivenOptions& Given() const { return given_; }

 private:
  OptionTable<Record> table_;
  GivenOptions given_;
  std::vector<FieldWrite> writes_;
};

}  // namespace k460::print
