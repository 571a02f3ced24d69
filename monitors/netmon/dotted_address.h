// IPv4 addresses in the system's dotted notation, and the port names built
// from them.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace netmon {

// The address as the system's dotted-address parser reads it: one to four
// parts separated by dots, each decimal, octal (leading 0) or hexadecimal
// (leading 0x); the last part fills the bytes that remain. Nothing else may
// follow. The all-ones address is the parser's failure value and is never
// an answer. Bytes in network order: a.b.c.d gives a << 24 | ... | d.
std::optional<std::uint32_t> ParseDottedAddress(std::u16string_view text);

// A usable device address: valid and not 0.0.0.0.
bool IsDeviceAddress(std::u16string_view text);

// A device port name: after as many characters as the port prefix has
// (four; the prefix itself is not compared) comes a device address.
bool IsDevicePortName(std::u16string_view name);

}  // namespace netmon
