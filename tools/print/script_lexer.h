// Splits one line of a page script into words. Words are separated by
// blanks; a word in double quotes may hold blanks, \" and \\; '#' outside
// quotes starts a comment that runs to the end of the line.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace k460::print {

struct ScriptWord {
  std::string text;  // quotes removed, escapes resolved
};

// A fault in one line; the reader adds the file name and line number.
class LineError : public std::runtime_error {
 public:
  explicit LineError(const std::string& message) : std::runtime_error(message) {}
};

std::vector<ScriptWord> SplitScriptLine(std::string_view line);

}  // namespace k460::print
