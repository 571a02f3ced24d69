#include "monitors/netmon/printer_check.h"

#include "platform/spooler/spooler.h"

namespace netmon {

std::optional<std::vector<BYTE>> GetPrinterStatus(HANDLE hPrinter) {
  DWORD needed = 0;
  GetPrinterW(hPrinter, 2, nullptr, 0, &needed);
  if (needed < sizeof(PRINTER_INFO_2W)) return std::nullopt;
  std::vector<BYTE> buffer(needed);
  if (!GetPrinterW(hPrinter, 2, buffer.data(), needed, &needed)) return std::nullopt;
  return buffer;
}

std::optional<std::vector<BYTE>> GetJobStatus(HANDLE hPrinter, DWORD JobId) {
  DWORD needed = 0;
  GetJobW(hPrinter, JobId, 1, nullptr, 0, &needed);
  if (needed < sizeof(JOB_INFO_1W)) return std::nullopt;
  std::vector<BYTE> buffer(needed);
  if (!GetJobW(hPrinter, JobId, 1, buffer.data(), needed, &needed)) return std::nullopt;
  return buffer;
}

PrinterCheck CheckPrinter(HANDLE hPrinter, DWORD JobId) {
  if (auto printer = GetPrinterStatus(hPrinter)) {
    const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(printer->data());
    if ((info->Status & PRINTER_STATUS_OFFLINE) || (info->Attributes & PRINTER_ATTRIBUTE_WORK_OFFLINE))
      return kPrinterOffline;
  }
  if (auto job = GetJobStatus(hPrinter, JobId)) {
    const auto* info = reinterpret_cast<const JOB_INFO_1W*>(job->data());
    if (info->Status & (JOB_STATUS_DELETING | JOB_STATUS_DELETED)) return kJobDeleted;
  }
  return kPrinterReady;
}

}  // namespace netmon
