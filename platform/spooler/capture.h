// Capture printers for hosts and tests: a printer handle whose output is kept
// in memory, so that what a driver writes can be read back byte for byte.
#pragma once

#include <string>

#include "platform/base/base.h"

namespace k460 {

HANDLE OpenCapturePrinter();
// Everything written so far; empty for a handle that is no capture printer.
std::string CapturedOutput(HANDLE printer);
// From now on WritePrinter on this printer fails with `error` (0: never).
void CancelCapturePrinter(HANDLE printer, DWORD error);

}  // namespace k460
