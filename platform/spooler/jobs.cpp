// Jobs: StartDocPrinter to EndDocPrinter, and what monitors see of them.
#include "platform/spooler/jobs.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <ctime>
#include <filesystem>

#include "platform/base/host.h"
#include "platform/base/text.h"
#include "platform/spooler/pack.h"
#include "platform/spooler/printer_handle.h"
#include "platform/spooler/store.h"

namespace k460::spooler {

JobTable& Jobs() {
  static auto* table = new JobTable();
  return *table;
}

DWORD CountJobs(std::u16string_view printer) {
  auto& t = Jobs();
  std::lock_guard lock(t.mutex);
  return static_cast<DWORD>(std::count_if(t.jobs.begin(), t.jobs.end(),
                                          [&](auto& j) { return EqualsNoCase(j->printer, printer); }));
}

namespace {

BOOL Fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

// Job ids are unique within a machine root: the next one is kept in the
// registry beside the printers.
DWORD NextJobId() {
  RegKey key = RegKey::Create(HKEY_LOCAL_MACHINE, kPrintKey);
  DWORD id = key.GetDword(u"NextJobId").value_or(1);
  if (id == 0) id = 1;
  key.SetDword(u"NextJobId", id + 1 == 0 ? 1 : id + 1);
  return id;
}

SYSTEMTIME Now() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  gmtime_r(&t, &tm);
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(tm.tm_year + 1900);
  st.wMonth = static_cast<WORD>(tm.tm_mon + 1);
  st.wDayOfWeek = static_cast<WORD>(tm.tm_wday);
  st.wDay = static_cast<WORD>(tm.tm_mday);
  st.wHour = static_cast<WORD>(tm.tm_hour);
  st.wMinute = static_cast<WORD>(tm.tm_min);
  st.wSecond = static_cast<WORD>(tm.tm_sec);
  return st;
}

std::shared_ptr<Job> FindJobLocked(DWORD id) {
  for (auto& j : Jobs().jobs)
    if (j->id == id) return j;
  return nullptr;
}

void RemoveJob(const std::shared_ptr<Job>& job) {
  auto& t = Jobs();
  std::lock_guard lock(t.mutex);
  t.jobs.erase(std::remove(t.jobs.begin(), t.jobs.end(), job), t.jobs.end());
  t.changed.notify_all();
}

void CloseSpool(Job& job, bool remove) {
  if (job.spool) {
    std::fclose(job.spool);
    job.spool = nullptr;
  }
  if (remove && !job.spoolPath.empty()) {
    std::error_code ec;
    std::filesystem::remove(job.spoolPath, ec);
  }
}

// The job started through a handle, for the calls that need one.
std::shared_ptr<Job> CurrentJob(const PrinterHandle& handle) {
  auto& t = Jobs();
  std::lock_guard lock(t.mutex);
  return handle.jobId ? FindJobLocked(handle.jobId) : nullptr;
}

}  // namespace
}  // namespace k460::spooler

using namespace k460::spooler;

K460_API DWORD StartDocPrinterW(HANDLE hPrinter, DWORD Level, LPBYTE pDocInfo) {
  auto handle = GetPrinterHandle(hPrinter);
  if (!handle) return 0;
  if (Level != 1 && Level != 2) {
    SetLastError(ERROR_INVALID_LEVEL);
    return 0;
  }
  if (!pDocInfo) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (handle->jobId) {
    SetLastError(ERROR_INVALID_PRINTER_COMMAND);  // a document is already open on this handle
    return 0;
  }
  if (k460::CallFailsSetError("StartDocPrinterW")) return 0;
  const auto* doc = reinterpret_cast<const DOC_INFO_1W*>(pDocInfo);
  auto job = std::make_shared<Job>();
  job->id = NextJobId();
  job->printer = handle->name;
  job->document = doc->pDocName ? doc->pDocName : u"";
  job->outputFile = doc->pOutputFile ? doc->pOutputFile : u"";
  job->dataType = doc->pDatatype ? doc->pDatatype : (handle->dataType.empty() ? u"RAW" : handle->dataType);
  job->devMode = handle->devMode;
  job->submitted = Now();
  job->status = JOB_STATUS_SPOOLING;
  job->user = k460::Utf8ToUtf16(k460::GetMachineProfile().userName);
  job->machine = u"\\\\" + k460::Utf8ToUtf16(k460::GetMachineProfile().computerName);
  auto dir = k460::MachineRoot() / "spool";
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  job->spoolPath = (dir / (std::to_string(GetCurrentProcessId()) + "-" + std::to_string(job->id) + ".spl")).string();
  job->spool = std::fopen(job->spoolPath.c_str(), "wb+");
  if (!job->spool) {
    SetLastError(ERROR_CANTWRITE);
    return 0;
  }
  {
    auto& t = Jobs();
    std::lock_guard lock(t.mutex);
    t.jobs.push_back(job);
  }
  handle->jobId = job->id;
  return job->id;
}

K460_API BOOL StartPagePrinter(HANDLE hPrinter) {
  auto handle = GetPrinterHandle(hPrinter);
  if (!handle) return FALSE;
  if (!CurrentJob(*handle)) return Fail(ERROR_INVALID_PRINTER_COMMAND);
  handle->pageOpen = true;
  return TRUE;
}

K460_API BOOL EndPagePrinter(HANDLE hPrinter) {
  auto handle = GetPrinterHandle(hPrinter);
  if (!handle) return FALSE;
  auto job = CurrentJob(*handle);
  if (!job) return Fail(ERROR_INVALID_PRINTER_COMMAND);
  if (handle->pageOpen) {
    std::lock_guard lock(Jobs().mutex);
    ++job->pagesSpooled;
  }
  handle->pageOpen = false;
  return TRUE;
}

namespace k460::spooler {
std::optional<BOOL> WriteToCapturePrinter(HANDLE printer, const void* data, DWORD size, LPDWORD written);
}

K460_API BOOL WritePrinter(HANDLE hPrinter, LPVOID pBuf, DWORD cbBuf, LPDWORD pcWritten) {
  if (pcWritten) *pcWritten = 0;
  if (!pBuf && cbBuf) return Fail(ERROR_INVALID_PARAMETER);
  if (k460::CallFailsSetError("WritePrinter")) return FALSE;
  if (auto captured = WriteToCapturePrinter(hPrinter, pBuf, cbBuf, pcWritten)) return *captured;
  auto handle = GetPrinterHandle(hPrinter);
  if (!handle) return FALSE;
  auto job = CurrentJob(*handle);
  if (!job) return Fail(ERROR_SPL_NO_STARTDOC);
  {
    std::lock_guard lock(Jobs().mutex);
    if (job->status & (JOB_STATUS_DELETING | JOB_STATUS_DELETED)) return Fail(ERROR_PRINT_CANCELLED);
  }
  if (cbBuf && std::fwrite(pBuf, 1, cbBuf, job->spool) != cbBuf) return Fail(ERROR_DISK_FULL);
  {
    std::lock_guard lock(Jobs().mutex);
    job->bytesSpooled += cbBuf;
  }
  if (pcWritten) *pcWritten = cbBuf;
  return TRUE;
}

K460_API BOOL EndDocPrinter(HANDLE hPrinter) {
  auto handle = GetPrinterHandle(hPrinter);
  if (!handle) return FALSE;
  auto job = CurrentJob(*handle);
  if (!job) return Fail(ERROR_SPL_NO_STARTDOC);
  handle->jobId = 0;
  handle->pageOpen = false;
  if (std::fflush(job->spool) != 0) {
    CloseSpool(*job, true);
    RemoveJob(job);
    return Fail(ERROR_DISK_FULL);
  }
  {
    std::lock_guard lock(Jobs().mutex);
    job->status &= ~JOB_STATUS_SPOOLING;
  }
  bool delivered = DeliverJob(job);
  DWORD error = delivered ? ERROR_SUCCESS : GetLastError();
  CloseSpool(*job, true);
  RemoveJob(job);
  if (!delivered) return Fail(error);
  return TRUE;
}

K460_API BOOL AbortPrinter(HANDLE hPrinter) {
  auto handle = GetPrinterHandle(hPrinter);
  if (!handle) return FALSE;
  auto job = CurrentJob(*handle);
  if (!job) return Fail(ERROR_SPL_NO_STARTDOC);
  handle->jobId = 0;
  CloseSpool(*job, true);
  {
    auto& t = Jobs();
    std::lock_guard lock(t.mutex);
    job->status |= JOB_STATUS_DELETED;
    t.finished.push_back(k460::FinishedJob{job->id, job->printer, job->document, u"", job->status, job->bytesSpooled, 0,
                                     job->controls, false, "aborted by the application"});
  }
  RemoveJob(job);
  return TRUE;
}

K460_API BOOL ClosePrinter(HANDLE hPrinter) {
  auto handle = GetPrinterHandle(hPrinter);
  if (!handle) return FALSE;
  // A document still open on the handle is abandoned, as when the
  // application goes away in the middle of a job.
  if (handle->jobId) AbortPrinter(hPrinter);
  k460::RemoveHandle(hPrinter);
  return TRUE;
}

K460_API BOOL GetJobW(HANDLE hPrinter, DWORD JobId, DWORD Level, LPBYTE pJob, DWORD cbBuf, LPDWORD pcbNeeded) {
  auto handle = GetPrinterHandle(hPrinter);
  if (!handle) return FALSE;
  if (!pcbNeeded) return Fail(ERROR_INVALID_PARAMETER);
  if (Level != 1 && Level != 2) return Fail(ERROR_INVALID_LEVEL);
  Job copy;
  {
    auto& t = Jobs();
    std::lock_guard lock(t.mutex);
    auto job = FindJobLocked(JobId);
    if (!job || !k460::EqualsNoCase(job->printer, handle->name)) return Fail(ERROR_INVALID_PARAMETER);
    copy = *job;
    copy.spool = nullptr;
  }
  auto common = [&](Packer& p, auto* info) {
    info->JobId = copy.id;
    info->pPrinterName = p.String(copy.printer);
    info->pMachineName = p.String(copy.machine);
    info->pUserName = p.String(copy.user);
    info->pDocument = p.String(copy.document);
    info->pDatatype = p.String(copy.dataType);
    info->pStatus = copy.statusText.empty() ? nullptr : p.String(copy.statusText);
    info->Status = copy.status;
    info->Priority = copy.priority;
    info->Position = 1;
    info->TotalPages = copy.pagesSpooled;
    info->Submitted = copy.submitted;
  };
  if (Level == 1)
    return PackInfo(pJob, cbBuf, pcbNeeded, sizeof(JOB_INFO_1W), [&](Packer& p) {
      auto* info = p.Fixed<JOB_INFO_1W>(0);
      common(p, info);
      info->PagesPrinted = 0;
    });
  return PackInfo(pJob, cbBuf, pcbNeeded, sizeof(JOB_INFO_2W), [&](Packer& p) {
    auto* info = p.Fixed<JOB_INFO_2W>(0);
    common(p, info);
    info->pNotifyName = p.String(copy.user);
    info->pPrintProcessor = p.String(u"winprint");
    info->pParameters = p.String(u"");
    auto record = LoadPrinter(copy.printer);
    info->pDriverName = p.String(record ? record->setup.driverName : u"");
    info->pDevMode = copy.devMode.empty() ? nullptr
                                          : static_cast<LPDEVMODEW>(p.Bytes(copy.devMode.data(), copy.devMode.size()));
    info->Size = static_cast<DWORD>(std::min<std::uint64_t>(copy.bytesSpooled, 0xFFFFFFFF));
  });
}

K460_API BOOL SetJobW(HANDLE hPrinter, DWORD JobId, DWORD Level, LPBYTE pJob, DWORD Command) {
  auto handle = GetPrinterHandle(hPrinter);
  if (!handle) return FALSE;
  if (Level > 2 || (Level != 0 && !pJob)) return Fail(Level > 2 ? ERROR_INVALID_LEVEL : ERROR_INVALID_PARAMETER);
  k460::CallFails("SetJobW", nullptr, "job " + std::to_string(JobId) + " command " + std::to_string(Command));
  auto& t = Jobs();
  std::lock_guard lock(t.mutex);
  auto job = FindJobLocked(JobId);
  if (!job || !k460::EqualsNoCase(job->printer, handle->name)) return Fail(ERROR_INVALID_PARAMETER);
  if (Level == 1 || Level == 2) {
    // Only what a monitor or the application may change: the document name,
    // the status text and the priority.
    const auto* info1 = reinterpret_cast<const JOB_INFO_1W*>(pJob);
    const auto* info2 = reinterpret_cast<const JOB_INFO_2W*>(pJob);
    LPWSTR document = Level == 1 ? info1->pDocument : info2->pDocument;
    LPWSTR status = Level == 1 ? info1->pStatus : info2->pStatus;
    if (document) job->document = document;
    job->statusText = status ? status : u"";
    DWORD priority = Level == 1 ? info1->Priority : info2->Priority;
    if (priority >= 1 && priority <= 99) job->priority = priority;
  }
  switch (Command) {
    case 0: break;
    case JOB_CONTROL_PAUSE: job->status |= JOB_STATUS_PAUSED; break;
    case JOB_CONTROL_RESUME: job->status &= ~JOB_STATUS_PAUSED; break;
    case JOB_CONTROL_CANCEL:
    case JOB_CONTROL_DELETE: job->status |= JOB_STATUS_DELETING; break;
    case JOB_CONTROL_RESTART: job->status |= JOB_STATUS_RESTART; break;
    case JOB_CONTROL_SENT_TO_PRINTER: job->status |= JOB_STATUS_PRINTED; break;
    case JOB_CONTROL_LAST_PAGE_EJECTED: job->status |= JOB_STATUS_COMPLETE; break;
    default: return Fail(ERROR_INVALID_PARAMETER);
  }
  if (Command) job->controls.push_back(Command);
  t.changed.notify_all();
  return TRUE;
}

namespace k460 {

std::vector<FinishedJob> FinishedJobs() {
  auto& t = spooler::Jobs();
  std::lock_guard lock(t.mutex);
  return t.finished;
}

void ClearFinishedJobs() {
  auto& t = spooler::Jobs();
  std::lock_guard lock(t.mutex);
  t.finished.clear();
}

}  // namespace k460
