// A printer handle as OpenPrinterW hands it out.
#pragma once

#include <string>
#include <vector>

#include "platform/base/internal.h"
#include "platform/spooler/spooler.h"

namespace k460::spooler {

struct PrinterHandle : KernelObject {
  std::u16string name;          // the printer's name as stored
  DWORD access = 0;             // PRINTER_ACCESS_* granted
  std::vector<BYTE> devMode;    // device mode given at open, for its jobs
  std::u16string dataType;
  DWORD jobId = 0;              // the job started through this handle, or 0
  bool pageOpen = false;
};

// The handle's object, or null with ERROR_INVALID_HANDLE set.
std::shared_ptr<PrinterHandle> GetPrinterHandle(HANDLE hPrinter);

// A device mode's whole size (public and private part) when it is sane.
std::size_t DevModeSize(const DEVMODEW* devMode);

}  // namespace k460::spooler
