// The sending stage of a printer job on a network port: each finished page
// opens the device job (CREATE), announces changed settings (ADD) and is
// uploaded; the end of the job closes the device job (END).
#pragma once

#include "monitors/netmon/job_record.h"
#include "monitors/netmon/page_pipeline.h"

namespace netmon {

// One finished printer page, in file `file`, as page `Pages` of the job.
// The file is deleted afterwards (kept while tracing).
BOOL SendPrintData(IniJob& job, int nPortID, const EncodedPage& page);
// The end of a printer job of `Pages` pages: END, when the device holds the
// job. FALSE (with the write-error message) when the job broke earlier.
BOOL SendPrintEndCommand(IniJob& job, int nPortID, DWORD Pages);

// Message 316 (a write error; printing ends), once per job, unless the job
// shows no error messages.
void ShowWriteErrorOnce(IniJob& job);

class DevicePageSender final : public PageSender {
 public:
  explicit DevicePageSender(IniJob& job) : job_(job) {}
  bool SendPage(const EncodedPage& page) override { return SendPrintData(job_, 1, page) != FALSE; }
  bool SendEnd(std::uint32_t pages) override { return SendPrintEndCommand(job_, 1, pages) != FALSE; }

 private:
  IniJob& job_;
};

}  // namespace netmon
