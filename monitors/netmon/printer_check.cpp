#include "monitors/netmon/printer_check.h"

#include "platform/spooler/spooler.h"

namespace netmon {
namespace {

// Fills `buffer` through `get(buffer, size, &needed)`, growing it once to
// the size the spooler asks for. Each WritePort checks the printer, so the
// buffers are kept between calls and the size query is made only when the
// kept buffer is too small.
template <typename Get>
bool Query(std::vector<BYTE>& buffer, std::size_t minimum, Get get) {
  if (buffer.size() < minimum) buffer.resize(1024 > minimum ? 1024 : minimum);
  DWORD needed = 0;
  if (get(buffer.data(), static_cast<DWORD>(buffer.size()), &needed)) return true;
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed < minimum) return false;
  buffer.resize(needed);
  return get(buffer.data(), needed, &needed) != FALSE;
}

bool QueryPrinter(HANDLE hPrinter, std::vector<BYTE>& buffer) {
  return Query(buffer, sizeof(PRINTER_INFO_2W), [&](BYTE* data, DWORD size, DWORD* needed) {
    return GetPrinterW(hPrinter, 2, data, size, needed);
  });
}

bool QueryJob(HANDLE hPrinter, DWORD JobId, std::vector<BYTE>& buffer) {
  return Query(buffer, sizeof(JOB_INFO_1W), [&](BYTE* data, DWORD size, DWORD* needed) {
    return GetJobW(hPrinter, JobId, 1, data, size, needed);
  });
}

}  // namespace

std::optional<std::vector<BYTE>> GetPrinterStatus(HANDLE hPrinter) {
  std::vector<BYTE> buffer;
  if (!QueryPrinter(hPrinter, buffer)) return std::nullopt;
  return buffer;
}

std::optional<std::vector<BYTE>> GetJobStatus(HANDLE hPrinter, DWORD JobId) {
  std::vector<BYTE> buffer;
  if (!QueryJob(hPrinter, JobId, buffer)) return std::nullopt;
  return buffer;
}

PrinterCheck CheckPrinter(HANDLE hPrinter, DWORD JobId) {
  thread_local std::vector<BYTE> printer, job;
  if (QueryPrinter(hPrinter, printer)) {
    const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(printer.data());
    if ((info->Status & PRINTER_STATUS_OFFLINE) || (info->Attributes & PRINTER_ATTRIBUTE_WORK_OFFLINE))
      return kPrinterOffline;
  }
  if (QueryJob(hPrinter, JobId, job)) {
    const auto* info = reinterpret_cast<const JOB_INFO_1W*>(job.data());
    if (info->Status & (JOB_STATUS_DELETING | JOB_STATUS_DELETED)) return kJobDeleted;
  }
  return kPrinterReady;
}

}  // namespace netmon
