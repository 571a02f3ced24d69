// StartDocPort, WritePort and EndDocPort: the life of one job on a port.
#include <algorithm>
#include <new>

#include "monitors/netmon/debug_trace.h"
#include "monitors/netmon/device_exchange.h"
#include "monitors/netmon/device_page_sender.h"
#include "monitors/netmon/dotted_address.h"
#include "monitors/netmon/job_record.h"
#include "monitors/netmon/mmr_page_encoder.h"
#include "monitors/netmon/monitor_state.h"
#include "monitors/netmon/monitor_strings.h"
#include "monitors/netmon/netmon_strings.h"
#include "monitors/netmon/page_cutter.h"
#include "monitors/netmon/port_functions.h"
#include "monitors/netmon/printer_check.h"
#include "monitors/netmon/user_session.h"
#include "platform/base/text.h"
#include "platform/process/process.h"
#include "platform/spooler/spooler.h"

namespace netmon {
namespace {

BOOL Fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

std::u16string Bounded(LPCWSTR text, std::size_t limit) {
  std::u16string out(text ? k460::WideView(text) : std::u16string_view());
  if (out.size() > limit) out.resize(limit);
  return out;
}

// Sets up a new job's record: printer, names, libraries and the stages.
// False with the last error set.
bool OpenJob(IniJob& job, LPWSTR printerName, DWORD jobId, const DOC_INFO_1W* doc) {
  job.pszPrinterName = std::u16string(k460::WideView(printerName));
  if (!OpenPrinterW(printerName, &job.hPrinter, nullptr)) {
    job.hPrinter = nullptr;
    return false;
  }
  job.JobId = jobId;
  std::u16string document = Bounded(doc ? doc->pDocName : nullptr, kDocumentNameLimit);
  if (document.empty()) document = u"No Document Name";
  job.szDatatype = Bounded(doc ? doc->pDatatype : nullptr, kDatatypeLimit);
  WCHAR computer[kComputerNameLimit + 1] = {};
  DWORD size = kComputerNameLimit + 1;
  if (!GetComputerNameW(computer, &size)) computer[0] = 0;
  job.command.documentName = ToAnsi(document);
  job.command.computerName = ToAnsi(k460::WideView(computer));
  job.command.senderIp = GetMyIPAdddress();

  job.commands = k460::command::LoadNetworkCommandLibrary();
  if (!job.commands) return false;
  job.encoder = k460::encoder::LoadEncoderLibrary();
  if (!job.encoder) return false;
  job.pageEncoder = std::make_unique<MmrPageEncoder>(*job.encoder, job.Tracing());
  job.pageSender = std::make_unique<DevicePageSender>(job);
  job.pageCutter = std::make_unique<PageCutter>(*job.pageEncoder, *job.pageSender, *job.encoder, job.Tracing());
  return true;
}

// Whether the printer asks for no error messages (no bidirectional support).
bool ShowsNoErrors(HANDLE hPrinter) {
  auto printer = GetPrinterStatus(hPrinter);
  return printer && !(reinterpret_cast<const PRINTER_INFO_2W*>(printer->data())->Attributes &
                      PRINTER_ATTRIBUTE_ENABLE_BIDI);
}

// Message 314 (a print error occurred) for a job this port cannot print.
void ShowPrintError(const IniJob& job) {
  if (job.pIniPort->status & PP_NON_ERRORMESSAGE) return;
  ShowMessageText(job.pIniPort, MonitorString(IDS_PRINT_ERROR), job.pszPrinterName, MB_OK | MB_ICONERROR);
}

void CancelJob(IniJob& job) { SetJobW(job.hPrinter, job.JobId, 0, nullptr, JOB_CONTROL_CANCEL); }

void Trace(const IniJob& job, const std::string& text) {
  if (job.Tracing()) TraceLine(job.pIniPort, k460::Utf8ToUtf16(text));
}

}  // namespace

void DropJob(IniPort* port) {
  IniJob* job = port->pIniJob;
  port->pIniJob = nullptr;
  if (!job) return;
  if (job->hPrinter) ClosePrinter(job->hPrinter);
  delete job;
}

IniJob::IniJob() : reader(k460::pagestream::RecordForm::kFull) {}

IniJob::~IniJob() {
  pageCutter.reset();
  pageSender.reset();
  pageEncoder.reset();
  if (commands) k460::command::FreeCommandLibrary(*commands);
  if (encoder) k460::encoder::FreeEncoderLibrary(*encoder);
}

BOOL StartDocPort(HANDLE hPort, LPWSTR pPrinterName, DWORD JobId, DWORD Level, LPBYTE pDocInfo) {
  SpoolerLock lock;
  IniPort* port = LivePort(hPort);
  if (!port) return Fail(ERROR_INVALID_HANDLE);
  if (!pPrinterName || (Level != 1 && pDocInfo)) return Fail(ERROR_INVALID_PARAMETER);
  if (!(port->status & PP_STARTDOC)) port->bDbgTraceOut = ReadTraceSwitch(pPrinterName);
  if (!IsDevicePortName(k460::WideView(port->pName))) return Fail(ERROR_INVALID_HANDLE);
  port->status |= PP_DEVICE_JOB;
  // A second StartDocPort without EndDocPort (some applications printing
  // to a file do this): the job goes on, and ends at the last EndDocPort.
  if (port->status & PP_STARTDOC) {
    if (port->pIniJob) ++port->pIniJob->extraStarts;
    return TRUE;
  }

  auto* job = new (std::nothrow) IniJob;
  if (!job) {
    port->status &= ~PP_DEVICE_JOB;
    return Fail(ERROR_NOT_ENOUGH_MEMORY);
  }
  job->pIniPort = port;
  port->pIniJob = job;
  if (!OpenJob(*job, pPrinterName, JobId, reinterpret_cast<const DOC_INFO_1W*>(pDocInfo))) {
    const DWORD error = GetLastError();
    DropJob(port);
    port->status &= ~(PP_DEVICE_JOB | PP_STARTDOC);
    port->bDbgTraceOut = FALSE;
    return Fail(error ? error : ERROR_GEN_FAILURE);
  }
  port->status &= ~PP_NON_ERRORMESSAGE;
  if (ShowsNoErrors(job->hPrinter)) port->status |= PP_NON_ERRORMESSAGE;
  port->status |= PP_STARTDOC;
  Trace(*job, "StartDocPort job " + std::to_string(JobId));
  return TRUE;
}

BOOL WritePort(HANDLE hPort, LPBYTE pBuffer, DWORD cbBuf, LPDWORD pcbWritten) {
  if (pcbWritten) *pcbWritten = 0;
  SpoolerLock lock;
  IniPort* port = LivePort(hPort);
  if (!port) return Fail(ERROR_INVALID_HANDLE);
  IniJob* job = port->pIniJob;
  if (!job || !pcbWritten || (!pBuffer && cbBuf)) return Fail(ERROR_INVALID_PARAMETER);

  switch (CheckPrinter(job->hPrinter, job->JobId)) {
    case kPrinterOffline: return Fail(ERROR_NOT_READY);
    case kJobDeleted: return Fail(ERROR_PRINT_CANCELLED);
    case kPrinterReady: break;
  }
  // After the printer went offline or the network failed, the rest of the
  // job is taken and dropped, and the job cancelled once.
  if (job->status & JOB_BROKEN) {
    *pcbWritten = cbBuf;
    if (!(port->status & PP_JOB_CANCELLED)) {
      CancelJob(*job);
      port->status |= PP_JOB_CANCELLED;
    }
    return Fail(ERROR_PRINT_CANCELLED);
  }
  if (job->failed) return Fail(ERROR_PRINT_CANCELLED);

  const auto fed = job->reader.Feed(std::span<const std::uint8_t>(pBuffer, cbBuf), *job->pageCutter);
  if (fed.status != k460::pagestream::FeedStatus::kFailed) {
    *pcbWritten = static_cast<DWORD>(fed.consumed);
    return TRUE;
  }
  job->failed = true;
  if (job->pageCutter->sendFailed()) {
    // The page was taken; the device did not get it.
    *pcbWritten = cbBuf;
    if (job->status & JOB_BROKEN) ShowWriteErrorOnce(*job);
  } else {
    *pcbWritten = static_cast<DWORD>(fed.consumed);
  }
  DWORD error = job->pageCutter->error();
  if (error == ERROR_SUCCESS) error = ERROR_INVALID_DATA;  // the stream itself is malformed
  if (error == ERROR_NOT_SUPPORTED) ShowPrintError(*job);  // a fax, TIFF or booklet job
  Trace(*job, "WritePort failed: " + std::string(job->reader.failed() ? "stream " : "") + "error " +
                  std::to_string(error));
  return Fail(error);
}

BOOL EndDocPort(HANDLE hPort) {
  SpoolerLock lock;
  IniPort* port = LivePort(hPort);
  if (!port) return Fail(ERROR_INVALID_HANDLE);
  IniJob* job = port->pIniJob;
  if (!job) return Fail(ERROR_INVALID_PARAMETER);
  if (!(port->status & PP_DEVICE_JOB) || !IsDevicePortName(k460::WideView(port->pName))) {
    DropJob(port);
    port->status &= ~(PP_DEVICE_JOB | PP_STARTDOC);
    return Fail(ERROR_INVALID_HANDLE);
  }
  if (job->extraStarts > 0) {
    --job->extraStarts;
    return TRUE;
  }

  // END names the pages the device was sent; a page cut off by the end of
  // the stream was never sent.
  const std::uint32_t pagesReceived = job->reader.pagesStarted();
  const std::uint32_t pagesSent = job->reader.pagesCompleted();
  job->reader.Finish(*job->pageCutter);
  BOOL result = TRUE;
  if (pagesReceived > 0) result = job->pageSender->SendEnd(pagesSent);
  if (job->failed) result = FALSE;
  SetJobW(job->hPrinter, job->JobId, 0, nullptr, JOB_CONTROL_SENT_TO_PRINTER);
  if (!result && !(port->status & PP_JOB_CANCELLED)) {
    CancelJob(*job);
    SetLastError(ERROR_PRINT_CANCELLED);
  }
  Trace(*job, "EndDocPort job " + std::to_string(job->JobId) + (result ? " sent" : " failed"));
  DropJob(port);
  port->status &= ~(PP_DEVICE_JOB | PP_STARTDOC | PP_NON_ERRORMESSAGE | PP_JOB_CANCELLED);
  port->bDbgTraceOut = FALSE;
  if (!result) SetLastError(ERROR_PRINT_CANCELLED);
  return result;
}

}  // namespace netmon
