// Windows command lines: split into arguments by the system's rules
// (internal to the process facility).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace k460::process {

// The first argument is the program: up to the first blank, or quoted
// without escapes. The others follow the C runtime's rules: blanks separate
// arguments, double quotes group (and may sit inside an argument, as in
// /M"text"), 2n backslashes before a quote give n and the quote groups,
// 2n+1 give n and a literal quote, "" inside a quoted run is a literal
// quote, other backslashes are literal.
std::vector<std::u16string> SplitCommandLine(std::u16string_view commandLine);

}  // namespace k460::process
