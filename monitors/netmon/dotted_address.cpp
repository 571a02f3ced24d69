#include "monitors/netmon/dotted_address.h"

#include <vector>

#include "monitors/netmon/monitor_strings.h"

namespace netmon {
namespace {

std::optional<std::uint64_t> ParsePart(std::u16string_view part) {
  if (part.empty()) return std::nullopt;
  unsigned base = 10;
  if (part.size() > 1 && part[0] == u'0' && (part[1] == u'x' || part[1] == u'X')) {
    base = 16;
    part.remove_prefix(2);
    if (part.empty()) return std::nullopt;
  } else if (part.size() > 1 && part[0] == u'0') {
    base = 8;
    part.remove_prefix(1);
  }
  std::uint64_t value = 0;
  for (char16_t c : part) {
    unsigned digit;
    if (c >= u'0' && c <= u'9') digit = c - u'0';
    else if (c >= u'a' && c <= u'f') digit = c - u'a' + 10;
    else if (c >= u'A' && c <= u'F') digit = c - u'A' + 10;
    else return std::nullopt;
    if (digit >= base) return std::nullopt;
    value = value * base + digit;
    if (value > 0xFFFFFFFFu) return std::nullopt;
  }
  return value;
}

}  // namespace

std::optional<std::uint32_t> ParseDottedAddress(std::u16string_view text) {
  std::vector<std::uint64_t> parts;
  while (true) {
    std::size_t dot = text.find(u'.');
    auto part = ParsePart(text.substr(0, dot));
    if (!part || parts.size() == 4) return std::nullopt;
    parts.push_back(*part);
    if (dot == std::u16string_view::npos) break;
    text.remove_prefix(dot + 1);
  }
  std::uint64_t address = 0;
  const std::size_t leading = parts.size() - 1;
  for (std::size_t i = 0; i < leading; ++i) {
    if (parts[i] > 0xFF) return std::nullopt;
    address |= parts[i] << (24 - 8 * i);
  }
  const std::uint64_t lastLimit = 0xFFFFFFFFull >> (8 * leading);
  if (parts.back() > lastLimit) return std::nullopt;
  address |= parts.back();
  if (address == 0xFFFFFFFFu) return std::nullopt;
  return static_cast<std::uint32_t>(address);
}

bool IsDeviceAddress(std::u16string_view text) {
  auto address = ParseDottedAddress(text);
  return address && *address != 0;
}

bool IsDevicePortName(std::u16string_view name) {
  const std::size_t skip = PortPrefix().size();
  return skip > 0 && name.size() > skip && IsDeviceAddress(name.substr(skip));
}

}  // namespace netmon
