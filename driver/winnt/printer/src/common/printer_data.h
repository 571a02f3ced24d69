// Printer data of the host-based and fax drivers: every value X is kept as
// two entries, "XSize" (REG_DWORD, the byte count) and "X" (REG_BINARY, the
// bytes). All reads and writes of a process go through one lock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "platform/base/types.h"

namespace k460::hostsettings {

// In the order of the drivers' name table (index 0 to 9).
enum class PrinterDataValue {
  kTTFontSubTable,   // not used by these drivers
  kTrayFormTable,    // not used by these drivers
  kPrinterData,      // one HostSettings
  kPrinterDB,        // FormRecord array
  kPrinterDbgData,   // not used by these drivers
  kCustomPaperData,  // CustomPaperRecord array
  kDitherBase,       // one DitherBaseRecord
  kDitherContrast,   // density offset in the first byte
  kCountryCode,      // s32
  kUserInfoData,     // UserInfoRecord array
};
inline constexpr std::size_t kPrinterDataValueCount = 10;

struct PrinterDataNames {
  std::u16string_view data;
  std::u16string_view size;
};
PrinterDataNames NamesOf(PrinterDataValue value);

// Larger values are taken for damage: a value of the drivers is at most a
// few kilobytes.
inline constexpr std::uint32_t kMaxPrinterDataBytes = 64 * 1024;

// Reads value X: "XSize" first, then "X" with a buffer of that size. Absent
// (nothing) when either entry is missing or unreadable, when the size entry
// is not a 4-byte count, when the count is 0 or above kMaxPrinterDataBytes,
// or when "X" is longer than the count. An "X" shorter than its count gives
// the bytes it has: the stored size never makes bytes up.
std::optional<std::vector<std::uint8_t>> ReadPrinterDataValue(HANDLE hPrinter, PrinterDataValue value);

// Writes value X: "XSize" as REG_DWORD, then "X" as REG_BINARY. TRUE only if
// both succeed; otherwise FALSE with the spooler's error as last error.
// More than kMaxPrinterDataBytes: ERROR_INVALID_PARAMETER, nothing written.
BOOL WritePrinterDataValue(HANDLE hPrinter, PrinterDataValue value, std::span<const std::uint8_t> bytes);

// Runs `write` with `hPrinter`, or, when there is none, with the printer
// `printerName` opened for the write with full access (0x000F000C) and
// closed again. A missing handle with an empty name or a name that starts
// with a backslash (a printer on another machine) fails with
// ERROR_INVALID_HANDLE.
template <class Write>
BOOL WithPrinterForWrite(HANDLE hPrinter, std::u16string_view printerName, Write&& write);

// The printer opened for a write, or null with the last error set.
HANDLE OpenPrinterForWrite(std::u16string_view printerName);
void ClosePrinterForWrite(HANDLE hPrinter);

template <class Write>
BOOL WithPrinterForWrite(HANDLE hPrinter, std::u16string_view printerName, Write&& write) {
  if (hPrinter) return write(hPrinter);
  HANDLE opened = OpenPrinterForWrite(printerName);
  if (!opened) return FALSE;
  const BOOL result = write(opened);
  ClosePrinterForWrite(opened);
  return result;
}

}  // namespace k460::hostsettings
