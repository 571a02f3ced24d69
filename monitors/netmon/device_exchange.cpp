#include "monitors/netmon/device_exchange.h"

#include <charconv>
#include <cstdio>

#include "monitors/netmon/debug_trace.h"
#include "monitors/netmon/printer_check.h"
#include "platform/base/text.h"
#include "platform/net/net.h"
#include "platform/registry/registry.h"
#include "platform/sync/sync.h"

namespace netmon {
namespace {

using namespace k460::command;

constexpr char kCommandCgi[] = "upcmd.cgi";
constexpr char kDataCgi[] = "updata.cgi";
constexpr char16_t kCommonKey[] = u"Software\\Velkaro\\Ar+Vento\\Common";
constexpr WORD kDefaultHttpPort = 80;

bool IsFaxJob(const IniJob& job) {
  return job.command.devId == k460::pagestream::PI_DEVID_FAX || job.command.devId == k460::pagestream::PI_DEVID_FAX2;
}

const char* CommandName(int command) {
  switch (command) {
    case kCmdCreate: return "CREATE";
    case kCmdAdd: return "ADD";
    case kCmdEnd: return "END";
    case kCmdGetStatus: return "GETSTATUS";
    case kCmdCreateFax: return "CREATE FAX";
    case kCmdData: return "DATA";
  }
  return "?";
}

void Trace(const IniJob& job, const std::string& text) {
  if (job.Tracing()) TraceLine(job.pIniPort, k460::Utf8ToUtf16(text));
}

BOOL Refuse(DWORD error) {
  SetLastError(error);
  return FALSE;
}

// The printer and job checks in front of each step. `endGoesOn`: a job
// being deleted still gets its END.
bool PrinterAllows(IniJob& job, bool endGoesOn) {
  switch (CheckPrinter(job.hPrinter, job.JobId)) {
    case kPrinterOffline:
      job.status |= JOB_PRINTER_OFFLINE;
      Trace(job, "printer offline");
      SetLastError(ERROR_NOT_READY);
      return false;
    case kJobDeleted:
      if (endGoesOn) return true;
      Trace(job, "job deleted");
      SetLastError(ERROR_PRINT_CANCELLED);
      return false;
    case kPrinterReady:
      break;
  }
  return true;
}

// Posts the command object to `cgi`. A failed post marks the job: the
// rest of its data is swallowed and it is cancelled. A failed post always
// fails the exchange, whatever code the library gives for it.
bool Post(IniJob& job, const char* cgi, int command) {
  const CommandLibrary& library = *job.commands;
  const WORD httpPort = GetHttpPortNoFromReg(job.pIniPort);
  if (library.MnetPostFile(job.hNet, httpPort, cgi, job.hCmd)) return true;
  const DWORD error = library.MnetGetLastError(job.hNet);
  job.status |= JOB_NETWORK_FAILED;
  Trace(job, std::string(CommandName(command)) + ": post failed, error " + std::to_string(error));
  SetLastError(error != 0 ? error : ERROR_GEN_FAILURE);
  return false;
}

// The answer code of the last post, or -1 (last error set).
int Answer(IniJob& job, int command, int portId, int* error) {
  *error = 0;
  const int code = ParseResponse(*job.commands, job.hCmd, &job.command, command, portId, error);
  Trace(job, std::string(CommandName(command)) + ": answer " + std::to_string(code) +
                 (code < 0 ? ", error " + std::to_string(*error) : std::string()));
  if (code < 0) SetLastError(ERROR_INVALID_DATA);
  return code;
}

// Asks the device's state until it is not busy: true once it answers 600.
bool WaitWhileBusy(IniJob& job, int portId) {
  for (;;) {
    if (!PrinterAllows(job, false)) return false;
    if (SetCommandData(*job.commands, job.hCmd, job.command, kCmdGetStatus, portId, 0) !=
        ExpectedBuildResult(kCmdGetStatus))
      return Refuse(ERROR_INVALID_DATA);
    if (!Post(job, kCommandCgi, kCmdGetStatus)) return false;
    int error = 0;
    const int code = Answer(job, kCmdGetStatus, portId, &error);
    if (code == kAnswerAccepted) return true;
    if (!IsBusyAnswer(code)) return code < 0 ? false : Refuse(ERROR_INVALID_PRINTER_COMMAND);
    Sleep(kBusyWaitMs);
  }
}

}  // namespace

BOOL SendPrintCommand(IniJob& job, int nCmdID, int nPortID, DWORD Pages) {
  if (!job.commands || !job.hCmd || !job.hNet) return Refuse(ERROR_INVALID_PARAMETER);
  const bool end = nCmdID == kCmdEnd;
  for (;;) {
    if (!PrinterAllows(job, end)) return FALSE;
    if (!IsFaxJob(job) && !end && !WaitWhileBusy(job, nPortID)) return FALSE;
    for (;;) {
      if (!PrinterAllows(job, end)) return FALSE;
      if (SetCommandData(*job.commands, job.hCmd, job.command, nCmdID, nPortID, Pages) !=
          ExpectedBuildResult(nCmdID))
        return Refuse(ERROR_INVALID_DATA);
      if (!Post(job, kCommandCgi, nCmdID)) return FALSE;
      int error = 0;
      const int code = Answer(job, nCmdID, nPortID, &error);
      const bool opens = nCmdID == kCmdCreate || nCmdID == kCmdAdd;
      if (code < 0) {
        // The device answered, so it may well hold the job: END is owed.
        if (opens && error >= kErrorCodeNotNumber && error <= kErrorServiceIdNotNumber)
          job.status |= JOB_DEVICE_CREATED;
        return FALSE;
      }
      if (code == kAnswerAccepted) {
        if (opens) job.status |= JOB_DEVICE_CREATED;
        return TRUE;
      }
      if (code == kAnswerCreateAgain && nCmdID == kCmdCreate) continue;
      if (IsBusyAnswer(code) && (opens || nCmdID == kCmdCreateFax)) {
        // Printers pass the status wait again; a fax job has none, so it
        // waits here rather than asking again at once.
        if (IsFaxJob(job)) Sleep(kBusyWaitMs);
        break;
      }
      return Refuse(ERROR_INVALID_PRINTER_COMMAND);
    }
  }
}

BOOL SendData(IniJob& job, int nPortID, DWORD Pages, const std::u16string& fileName) {
  if (!job.commands || !job.hCmd || !job.hNet) return Refuse(ERROR_INVALID_PARAMETER);
  const std::string ansiName = ToAnsi(fileName);
  for (;;) {
    if (!PrinterAllows(job, false)) return FALSE;
    if (!IsFaxJob(job) && !WaitWhileBusy(job, nPortID)) return FALSE;
    if (!PrinterAllows(job, false)) return FALSE;
    if (!SetUploadData(*job.commands, job.hCmd, job.command, nPortID, Pages, ansiName))
      return Refuse(ERROR_INVALID_DATA);
    if (!Post(job, kDataCgi, kCmdData)) return FALSE;
    int error = 0;
    const int code = Answer(job, kCmdData, nPortID, &error);
    if (code == kAnswerAccepted) return TRUE;
    if (!IsBusyAnswer(code)) return code < 0 ? FALSE : Refuse(ERROR_INVALID_PRINTER_COMMAND);
    if (IsFaxJob(job)) Sleep(kBusyWaitMs);
  }
}

WORD GetHttpPortNoFromReg(const IniPort*) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kCommonKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return kDefaultHttpPort;
  BYTE data[260] = {};
  DWORD type = 0, size = sizeof data - sizeof(WCHAR);
  const LONG read = RegQueryValueExW(key, u"HttpPort", nullptr, &type, data, &size);
  RegCloseKey(key);
  if (read != ERROR_SUCCESS || type != REG_SZ) return kDefaultHttpPort;
  const std::string text = k460::Utf16ToUtf8(k460::WideView(reinterpret_cast<const WCHAR*>(data)));
  const auto begin = text.find_first_not_of(' ');
  if (begin == std::string::npos) return kDefaultHttpPort;
  unsigned value = 0;
  const auto [end, ec] = std::from_chars(text.data() + begin, text.data() + text.size(), value);
  if (ec != std::errc() || value == 0 || value > 0xFFFF) return kDefaultHttpPort;
  (void)end;
  return static_cast<WORD>(value);
}

std::string GetMyIPAdddress() {
  WCHAR name[256] = {};
  if (GetHostNameW(name, 256) != 0) return {};
  PADDRINFOW found = nullptr;
  if (GetAddrInfoW(name, nullptr, nullptr, &found) != 0 || !found) return {};
  const ULONG address = found->ai_addr ? found->ai_addr->sin_addr.S_addr : 0;
  FreeAddrInfoW(found);
  const auto* octets = reinterpret_cast<const BYTE*>(&address);  // network byte order
  char text[16];
  std::snprintf(text, sizeof text, "%u.%u.%u.%u", octets[0], octets[1], octets[2], octets[3]);
  return text;
}

std::string ToAnsi(std::u16string_view text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int needed = WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return {};
  std::string out(static_cast<std::size_t>(needed), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), length, out.data(), needed, nullptr, nullptr);
  return out;
}

}  // namespace netmon
