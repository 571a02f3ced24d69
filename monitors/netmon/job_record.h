// The job of a port while one runs: from StartDocPort to EndDocPort.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "monitors/common/device_commands.h"
#include "monitors/common/encoder_library.h"
#include "monitors/common/page_stream_reader.h"
#include "monitors/netmon/port_record.h"
#include "platform/base/base.h"

namespace netmon {

// Job status bits; they only accumulate during a job.
inline constexpr DWORD JOB_PRINTER_OFFLINE = 0x00010000;   // the printer was found offline
inline constexpr DWORD JOB_DEVICE_CREATED = 0x20000000;    // the device took CREATE: an END is owed
inline constexpr DWORD JOB_MESSAGE_SHOWN = 0x40000000;     // the write-error message was shown
inline constexpr DWORD JOB_NETWORK_FAILED = 0x80000000;    // a post to the device failed
// A job in one of these states swallows the rest of its data.
inline constexpr DWORD JOB_BROKEN = JOB_PRINTER_OFFLINE | JOB_NETWORK_FAILED;

inline constexpr std::size_t kDocumentNameLimit = 95;
inline constexpr std::size_t kDatatypeLimit = 17;
inline constexpr std::size_t kComputerNameLimit = 39;

class PageCutter;
class PageEncoder;
class PageSender;

struct IniJob {
  IniPort* pIniPort = nullptr;
  std::u16string pszPrinterName;
  HANDLE hPrinter = nullptr;
  DWORD JobId = 0;
  DWORD status = 0;
  // What the device commands say and learn (document and computer name,
  // ServiceId, the header of the page being sent).
  k460::command::CommandJob command;
  // The header of the last page sent, for the settings comparison.
  std::optional<k460::pagestream::PageHeader> BeforePageHeader;
  std::u16string szDatatype;
  // A page failed, or the stream did (malformed, or a page this port cannot
  // take): the job ends as failed even if the device got what came before.
  bool failed = false;
  // StartDocPort calls beyond the first, each ended by an EndDocPort.
  int extraStarts = 0;

  std::optional<k460::command::CommandLibrary> commands;
  std::optional<k460::encoder::EncoderLibrary> encoder;
  // Command and network objects while an exchange runs.
  HANDLE hCmd = nullptr;
  HANDLE hNet = nullptr;

  // The stages: the stream is cut into pages, each printer page encoded
  // into its own file, and each finished page sent to the device.
  k460::pagestream::PageStreamReader reader;
  std::unique_ptr<PageEncoder> pageEncoder;
  std::unique_ptr<PageSender> pageSender;
  std::unique_ptr<PageCutter> pageCutter;

  IniJob();
  ~IniJob();
  IniJob(const IniJob&) = delete;
  IniJob& operator=(const IniJob&) = delete;

  std::uint32_t TotalPages() const { return reader.pagesStarted(); }
  bool Tracing() const { return pIniPort && pIniPort->bDbgTraceOut; }
};

// Frees the port's job, if one runs, with its files: at EndDocPort, and when
// the port goes away while a job was never ended.
void DropJob(IniPort* port);

}  // namespace netmon
