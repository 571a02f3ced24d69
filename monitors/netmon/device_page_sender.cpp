#include "monitors/netmon/device_page_sender.h"

#include <array>
#include <cstring>

#include "monitors/common/command_keys.h"
#include "monitors/netmon/device_exchange.h"
#include "monitors/netmon/job_files.h"
#include "monitors/netmon/monitor_strings.h"
#include "monitors/netmon/netmon_strings.h"
#include "monitors/netmon/user_session.h"
#include "platform/process/process.h"

namespace netmon {
namespace {

using namespace k460::command;
using k460::pagestream::PageHeader;

// The command and network objects of one exchange, released on every path.
class ExchangeObjects {
 public:
  ExchangeObjects(IniJob& job, int portId) : job_(job) {
    const CommandLibrary& library = *job.commands;
    job.hCmd = library.CreateCommandObject(kCommandKeyTable);
    if (portId == kPortIdNetwork && job.hCmd) {
      job.hNet = library.MnetCreateNetworkObject(ToAnsi(job.pIniPort->szIpAddress).c_str());
    }
    ok_ = job.hCmd && (portId != kPortIdNetwork || job.hNet);
  }
  ~ExchangeObjects() {
    const DWORD error = GetLastError();
    if (job_.hNet) job_.commands->MnetDeleteNetworkObject(job_.hNet);
    if (job_.hCmd) job_.commands->DeleteCommandObject(job_.hCmd);
    job_.hNet = job_.hCmd = nullptr;
    SetLastError(error);
  }
  bool ok() const { return ok_; }

 private:
  IniJob& job_;
  bool ok_ = false;
};

// Everything of a page header but `Length`: what decides whether a page
// needs its settings announced.
bool SameSettings(const PageHeader& a, const PageHeader& b) {
  std::array<std::uint8_t, k460::pagestream::kPageHeaderSize> x{}, y{};
  k460::pagestream::StorePageHeader(a, x);
  k460::pagestream::StorePageHeader(b, y);
  return std::memcmp(x.data() + 4, y.data() + 4, x.size() - 4) == 0;
}

}  // namespace

BOOL SendPrintData(IniJob& job, int nPortID, const EncodedPage& page) {
  BOOL result = FALSE;
  if (!job.commands) {
    SetLastError(ERROR_INVALID_PARAMETER);
  } else {
    ExchangeObjects objects(job, nPortID);
    if (!objects.ok()) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    } else {
      job.command.header = page.header;
      result = TRUE;
      if (!job.BeforePageHeader) {
        job.BeforePageHeader = page.header;
        result = SendPrintCommand(job, kCmdCreate, nPortID, page.number);
      } else if (!SameSettings(*job.BeforePageHeader, page.header)) {
        job.BeforePageHeader = page.header;
        result = SendPrintCommand(job, kCmdAdd, nPortID, page.number);
      }
      if (result) result = SendData(job, nPortID, page.number, page.file);
    }
  }
  const DWORD error = GetLastError();
  DeleteJobFile(page.file, job.Tracing());
  SetLastError(error);
  return result;
}

BOOL SendPrintEndCommand(IniJob& job, int nPortID, DWORD Pages) {
  if (job.status & JOB_BROKEN) {
    ShowWriteErrorOnce(job);
    SetLastError(ERROR_PRINT_CANCELLED);
    return FALSE;
  }
  if (!(job.status & JOB_DEVICE_CREATED)) return TRUE;
  if (!job.commands) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  ExchangeObjects objects(job, nPortID);
  if (!objects.ok()) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
  }
  return SendPrintCommand(job, kCmdEnd, nPortID, Pages);
}

void ShowWriteErrorOnce(IniJob& job) {
  if (job.status & JOB_MESSAGE_SHOWN) return;
  job.status |= JOB_MESSAGE_SHOWN;
  if (job.pIniPort && (job.pIniPort->status & PP_NON_ERRORMESSAGE)) return;
  ShowMessageText(job.pIniPort, MonitorString(IDS_WRITE_ERROR), job.pszPrinterName, MB_OK | MB_ICONERROR);
}

}  // namespace netmon
