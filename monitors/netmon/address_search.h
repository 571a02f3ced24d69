// Asking the user for a device address when AddPort has none: the search
// program "qtxssearch.exe /d /p" runs in the user's session and hands the
// chosen address back over the named pipe "\\.\pipe\qtxSSearch".
#pragma once

#include <optional>
#include <string>

namespace netmon {

// The chosen address, or nothing (cancelled, no usable answer, or the
// program or pipe failed).
std::optional<std::u16string> AskForAddress();

}  // namespace netmon
