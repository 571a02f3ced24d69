// Conversions between UTF-8 and UTF-16 text for code that meets both: hosts,
// the platform's own files and the suite's trace and file names.
#pragma once

#include <string>
#include <string_view>

#include "platform/base/types.h"

namespace k460 {

std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);
// A null-terminated wide string (null pointer: empty).
std::u16string_view WideView(LPCWSTR s);
// Upper-cases ASCII letters only, the way the registry and INI files compare names.
std::u16string AsciiUpper(std::u16string_view s);
bool EqualsNoCase(std::u16string_view a, std::u16string_view b);
bool EqualsNoCase(std::string_view a, std::string_view b);

}  // namespace k460
