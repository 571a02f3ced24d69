// Setting up and steering the spooler stand-in from hosts and tests: drivers,
// monitors and printers are installed into the machine root's registry; the
// way jobs are fed to ports can be chosen; finished jobs can be inspected.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/spooler/spooler.h"

namespace k460 {

struct DriverSetup {
  std::u16string name;                         // "Velkaro Ar+Vento2 K-410/460"
  std::u16string driverFile;                   // graphics library, e.g. "hbgraph.dll"
  std::u16string configFile;                   // user-interface library
  std::u16string dataFile;
  std::u16string helpFile;
  std::vector<std::u16string> dependentFiles;  // e.g. the driver's INI file
  std::u16string monitorName;                  // language monitor, or empty
  std::u16string defaultDataType = u"RAW";
};

struct PrinterSetup {
  std::u16string name;
  std::u16string driverName;
  std::u16string portName = u"FILE:";
  DWORD attributes = PRINTER_ATTRIBUTE_LOCAL | PRINTER_ATTRIBUTE_QUEUED;
  DWORD status = 0;
};

// Files of drivers live in the driver directory; names in DriverSetup are
// file names there. Existing entries are replaced.
bool InstallDriver(const DriverSetup& driver);
std::optional<DriverSetup> FindDriver(const std::u16string& name);
// A monitor library registered under its monitor name; loaded by the
// spooler when a port needs it.
bool InstallMonitor(const std::u16string& monitorName, const std::u16string& library);
bool AddPrinter(const PrinterSetup& printer);
bool RemovePrinter(const std::u16string& name);
std::vector<PrinterSetup> ListPrinters();

// How EndDocPrinter feeds a job to its port: pieces of `size` bytes; with
// `randomSeed` set, random sizes from 1 to `size`.
void SetDespoolPieceSize(DWORD size, std::optional<std::uint32_t> randomSeed = std::nullopt);

// What became of a job once it left the spooler.
struct FinishedJob {
  DWORD jobId = 0;
  std::u16string printer;
  std::u16string document;
  std::u16string port;
  DWORD status = 0;              // JOB_STATUS_* bits at the end
  std::uint64_t bytesSpooled = 0;
  std::uint64_t bytesDelivered = 0;
  std::vector<DWORD> controls;   // SetJobW commands received, in order
  bool delivered = false;        // every byte reached the port and EndDocPort succeeded
  std::string error;             // why not, for a person
};
std::vector<FinishedJob> FinishedJobs();
void ClearFinishedJobs();

// The status a monitor last set on a port with SetPortW (level 3).
struct PortStatus {
  DWORD status = 0;
  std::u16string text;
  DWORD severity = 0;
};
std::optional<PortStatus> GetPortStatus(const std::u16string& port);

// Unloads every monitor (calling its Shutdown) and forgets open ports; the
// next port operation loads them again. Called on a change of machine root.
void ShutdownSpooler();

}  // namespace k460
