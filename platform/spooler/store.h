// Where the spooler keeps what it knows: printers, drivers and monitors as
// registry keys under HKLM\SYSTEM\CurrentControlSet\Control\Print, the way
// the original spooler lays them out; a printer's data values sit in its
// "PrinterDriverData" subkey.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/spooler/host.h"
#include "platform/spooler/regkey.h"

namespace k460::spooler {

inline constexpr char16_t kPrintKey[] = u"SYSTEM\\CurrentControlSet\\Control\\Print";
inline constexpr char16_t kEnvironment[] = u"Windows NT x86";

std::u16string PrinterKeyPath(std::u16string_view printer);
std::u16string PrinterDataKeyPath(std::u16string_view printer);
std::u16string DriverKeyPath(std::u16string_view driver);
std::u16string MonitorKeyPath(std::u16string_view monitor);

// A printer as stored, with its name in the stored case.
struct PrinterRecord {
  PrinterSetup setup;
  std::vector<BYTE> defaultDevMode;  // empty: none stored yet
  std::u16string comment;
  std::u16string location;
};

std::optional<PrinterRecord> LoadPrinter(std::u16string_view name);
bool SavePrinter(const PrinterRecord& record);

struct MonitorRecord {
  std::u16string name;
  std::u16string library;
};
std::vector<MonitorRecord> ListMonitors();

// The driver directory in Windows form, without a trailing backslash.
std::u16string DriverDirectory();

}  // namespace k460::spooler
