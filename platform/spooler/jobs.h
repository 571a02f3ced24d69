// The spooler's jobs: spooled to a file in the machine root while the
// application prints, then fed to the printer's port.
#pragma once

#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/spooler/host.h"

namespace k460::spooler {

struct Job {
  DWORD id = 0;
  std::u16string printer;
  std::u16string document;
  std::u16string outputFile;
  std::u16string dataType;
  std::u16string statusText;
  std::u16string user;
  std::u16string machine;
  std::vector<BYTE> devMode;
  SYSTEMTIME submitted{};
  DWORD status = 0;
  DWORD priority = 1;
  DWORD pagesSpooled = 0;
  std::uint64_t bytesSpooled = 0;
  std::uint64_t bytesDelivered = 0;
  std::vector<DWORD> controls;
  std::string spoolPath;   // host path of the spool file
  std::FILE* spool = nullptr;
};

// One lock guards every job; `changed` wakes a delivery paused by SetJobW.
struct JobTable {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<std::shared_ptr<Job>> jobs;
  std::vector<FinishedJob> finished;
};
JobTable& Jobs();

// Feeds a spooled job to its printer's port and records how it ended.
// Returns false with the last error set when the job did not reach the port.
bool DeliverJob(const std::shared_ptr<Job>& job);

}  // namespace k460::spooler
