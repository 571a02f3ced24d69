// Whether a job can go on: the printer's and the job's state in the spooler.
#pragma once

#include <optional>
#include <vector>

#include "platform/base/base.h"

namespace netmon {

enum PrinterCheck : int {
  kPrinterReady = 0,
  kPrinterOffline = 1,  // PRINTER_STATUS_OFFLINE, or the printer set to work offline
  kJobDeleted = 2,      // the job is being deleted or was deleted
};

// The printer first; when its state cannot be read only the job is checked,
// and a job whose state cannot be read counts as well.
PrinterCheck CheckPrinter(HANDLE hPrinter, DWORD JobId);

// PRINTER_INFO_2 and JOB_INFO_1 (in buffers that hold their strings), read
// into a buffer grown to the size the spooler asks for; nothing when the
// call fails.
std::optional<std::vector<BYTE>> GetPrinterStatus(HANDLE hPrinter);
std::optional<std::vector<BYTE>> GetJobStatus(HANDLE hPrinter, DWORD JobId);

}  // namespace netmon
