// Texts of the command libraries' callers are in the machine's ANSI code
// page; on the wire they are UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace k460::cmdlib {

std::string AnsiToUtf8(std::string_view ansi);
// Characters the code page lacks become "?".
std::string Utf8ToAnsi(std::string_view utf8);

}  // namespace k460::cmdlib
