// The number forms of command values: decimal and upper-case hexadecimal
// texts, and their strict reading back (answers come from another machine).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace k460::cmdlib {

std::string DecimalText(std::int32_t value);
// At least `digits` (1 to 8) digits, zero-padded, upper case.
std::string HexText(std::uint32_t value, int digits);

// Blanks around the number are allowed, nothing else; overflow fails.
std::optional<std::int32_t> ParseDecimal(std::string_view text);
// At most 8 hexadecimal digits, either case, no "0x".
std::optional<std::uint32_t> ParseHex(std::string_view text);

}  // namespace k460::cmdlib
