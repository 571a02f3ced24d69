// A device mode handed in from outside: by an application, the spooler or
// the graphics engine. Its sizes and values are not trusted: it is read
// only within the caller's buffer, only the parts that are wholly there
// count, and a record whose sizes cannot be a device mode counts for
// nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "driver/winnt/printer/src/common/host_devmode.h"

namespace k460::hostsettings {

// The smallest public part that still holds `dmFields`.
inline constexpr std::size_t kMinDevModePublicSize = 76;

struct IncomingDevMode {
  // The caller's record; what its public part or buffer did not hold is zero.
  HostDevMode record{};
  // dmSize: how much of the public part is there (76 to 220).
  std::size_t publicSize = 0;
  // dmSize is 220, dmDriverExtra 452 and all 672 bytes are in the buffer:
  // one of our own records, private part and blocks included.
  bool complete = false;

  // A public field inside the public part and marked in dmFields.
  bool IsMarked(DWORD field) const;
  // A public field the record gives: marked, or inside one of our own
  // records (whose public fields all count, marked or not).
  bool Gives(DWORD field) const;
};

// Reads the record in `buffer`, which holds exactly what the caller gave
// (never more than the caller's buffer). Nothing when the buffer cannot hold
// the size words or dmSize is below 76, above 220 or beyond the buffer.
std::optional<IncomingDevMode> ReadIncomingDevMode(std::span<const std::uint8_t> buffer);

// The bytes of a device mode as far as its own sizes reach, at most 672:
// dmSize + dmDriverExtra. For callers that are given no buffer size (the
// engine's device enable); the size words themselves must be readable.
std::span<const std::uint8_t> DevModeBytes(const DEVMODEW* devMode);
// The same, never beyond the caller's `bufferSize`.
std::span<const std::uint8_t> DevModeBytes(const DEVMODEW* devMode, std::size_t bufferSize);

}  // namespace k460::hostsettings
