// UTF-8 source text and the string literals of resource scripts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tools/k460rc/diagnostics.h"

namespace k460rc {

// Throws at the first byte that is not well-formed UTF-8.
void CheckUtf8(std::string_view text, const std::string& file);

std::u16string Utf8ToUtf16(std::string_view text);
void AppendUtf8(std::string& out, char32_t codePoint);

// The contents of a literal (between its quotes) with C escapes and doubled
// quotes decoded: as UTF-16 for wide literals and string tables, as bytes
// (UTF-8, "\x" giving raw bytes) for narrow literals in data blocks.
std::u16string DecodeWide(std::string_view raw, const SourceLocation& where);
std::vector<std::uint8_t> DecodeNarrow(std::string_view raw, const SourceLocation& where);

}  // namespace k460rc
