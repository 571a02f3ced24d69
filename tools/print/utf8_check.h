// Checking text from files and command lines before it becomes UTF-16.
#pragma once

#include <string_view>

namespace k460::print {

// True when `text` is well-formed UTF-8: no stray or missing continuation
// bytes, overlong forms, surrogates or values past U+10FFFF.
bool IsValidUtf8(std::string_view text);

}  // namespace k460::print
