// The printer-data values of the host-based and fax drivers, read into and
// written from their records. A value that is absent or cannot be used gives
// its documented fallback; no read reports an error.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "driver/winnt/printer/src/common/host_settings.h"
#include "driver/winnt/printer/src/common/host_variant.h"
#include "driver/winnt/printer/src/common/printer_data_records.h"
#include "platform/base/types.h"

namespace k460::hostsettings {

// "PrinterData": only a value of exactly 464 bytes counts; the caller uses the
// defaults otherwise.
std::optional<HostSettings> ReadPrinterSettings(HANDLE hPrinter);
BOOL WritePrinterSettings(HANDLE hPrinter, const HostSettings& settings);

// "CustomPaperData": the custom papers, none when absent.
std::vector<CustomPaperRecord> ReadCustomPapers(HANDLE hPrinter);
// Writes `papers` (the first hsCustomPaperCount of the list, at most 50).
// Without a printer handle the printer `printerName` is opened for the write.
BOOL WriteCustomPapers(HANDLE hPrinter, std::u16string_view printerName, std::span<const CustomPaperRecord> papers);

// "UserInfoData": the 100 slots, all empty when absent.
UserInfoSlots ReadUserInfo(HANDLE hPrinter);
// Always the 100 slots (8000 bytes).
BOOL WriteUserInfo(HANDLE hPrinter, std::span<const UserInfoRecord> slots);

// "PrinterDB": the forms, at most 66 (the fax driver reads at most 16).
std::vector<FormRecord> ReadForms(HANDLE hPrinter, HostVariant variant);
BOOL WriteForms(HANDLE hPrinter, std::span<const FormRecord> forms);

// Values that only an installer or another tool writes.
std::optional<DitherBaseRecord> ReadDitherBase(HANDLE hPrinter);
std::optional<std::int32_t> ReadDitherContrast(HANDLE hPrinter);
std::optional<std::int32_t> ReadCountryCode(HANDLE hPrinter);

}  // namespace k460::hostsettings
