// The text of an INI file as lines: section headers, "key=value" entries and
// everything else (comments, blank lines), kept as written so that a change
// to one value leaves the rest of the file as it was.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace k460 {

class IniDocument {
 public:
  static IniDocument Parse(std::u16string_view text);
  // Lines ended by CR LF.
  std::u16string Serialize() const;

  // Names in file order, each once (the first spelling).
  std::vector<std::u16string> SectionNames() const;
  std::vector<std::u16string> KeyNames(std::u16string_view section) const;
  // The value with blanks trimmed (quotes kept); nothing when the key is missing.
  std::optional<std::u16string> Value(std::u16string_view section, std::u16string_view key) const;
  // The section's entries as "key=value".
  std::vector<std::u16string> SectionLines(std::u16string_view section) const;

  void Set(std::u16string_view section, std::u16string_view key, std::u16string_view value);
  // Both answer whether anything was removed.
  bool RemoveKey(std::u16string_view section, std::u16string_view key);
  bool RemoveSection(std::u16string_view section);
  // The section's entries become `lines` ("key=value" or any text).
  void ReplaceSection(std::u16string_view section, const std::vector<std::u16string>& lines);

 private:
  enum class Kind { Section, Entry, Other };
  struct Line {
    Kind kind;
    std::u16string text;   // as written
    std::u16string name;   // section or key name, trimmed
    std::u16string value;  // entry value, trimmed
  };
  static Line ParseLine(std::u16string_view text);
  // Index of the first header of `section`, or npos.
  std::size_t FindSection(std::u16string_view section) const;
  // One past the last line belonging to the section whose header is at `header`.
  std::size_t SectionEnd(std::size_t header) const;
  std::size_t AppendSection(std::u16string_view section);

  std::vector<Line> lines_;
};

}  // namespace k460
