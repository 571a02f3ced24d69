#include "driver/pcl/printer_common/settings/printer_data.h"

#include <cstring>
#include <optional>
#include <vector>

#include "platform/spooler/spooler.h"

namespace {

// No printer-wide record of this driver comes near this size; a stored size
// beyond it is damage, not a record to allocate for.
constexpr DWORD kLargestStoredRecord = 64 * 1024;

std::optional<std::vector<BYTE>> ReadValue(HANDLE printer, const WCHAR* name, DWORD size) {
  std::vector<BYTE> data(size);
  DWORD type = 0, needed = 0;
  if (GetPrinterDataW(printer, const_cast<WCHAR*>(name), &type, data.data(), size, &needed) != ERROR_SUCCESS ||
      needed != size)
    return std::nullopt;
  return data;
}

std::optional<std::vector<BYTE>> ReadStoredRecord(HANDLE printer) {
  auto sizeBytes = ReadValue(printer, kPrinterDataSizeValue, 4);
  if (!sizeBytes) return std::nullopt;
  DWORD size = LoadLe<DWORD>(sizeBytes->data());
  if (size == 0 || size > kLargestStoredRecord) return std::nullopt;
  return ReadValue(printer, kPrinterDataValue, size);
}

void FreshRecord(PrinterDataRecord* record) {
  std::memset(record, 0, sizeof *record);
  record->wVersion = kPrinterDataVersion;
  record->wSize = kPrinterDataSize;
}

bool Write(HANDLE printer, const WCHAR* name, DWORD type, const void* data, DWORD size) {
  return SetPrinterDataW(printer, const_cast<WCHAR*>(name), type, static_cast<BYTE*>(const_cast<void*>(data)), size) ==
         ERROR_SUCCESS;
}

template <class Entry, std::size_t N>
bool LoadList(HANDLE printer, const WCHAR* name, Entry (&entries)[N]) {
  std::memset(entries, 0, sizeof entries);
  auto data = ReadValue(printer, name, sizeof entries);
  if (!data) return false;
  std::memcpy(entries, data->data(), sizeof entries);
  return true;
}

}  // namespace

bool LoadPrinterData(HANDLE printer, PrinterDataRecord* record) {
  FreshRecord(record);
  auto stored = ReadStoredRecord(printer);
  if (!stored) return false;
  std::memcpy(record, stored->data(), std::min<std::size_t>(stored->size(), sizeof *record));
  return true;
}

bool StorePrinterData(HANDLE printer, const PrinterDataRecord& record) {
  BYTE size[4];
  StoreLe<DWORD>(size, sizeof record);
  return Write(printer, kPrinterDataSizeValue, REG_DWORD, size, 4) &&
         Write(printer, kPrinterDataValue, REG_BINARY, &record, sizeof record);
}

bool UpgradePrinterData(HANDLE printer) {
  PrinterDataRecord record;
  LoadPrinterData(printer, &record);
  if (record.wVersion < kPrinterDataVersion) {
    record.wVersion = kPrinterDataVersion;
    record.wSize = kPrinterDataSize;
  }
  return StorePrinterData(printer, record);
}

bool LoadCustomPaperList(HANDLE printer, CustomPaperEntry (&entries)[kCustomPaperCount]) {
  return LoadList(printer, kCustomPaperListValue, entries);
}

bool StoreCustomPaperList(HANDLE printer, const CustomPaperEntry (&entries)[kCustomPaperCount]) {
  return Write(printer, kCustomPaperListValue, REG_BINARY, entries, sizeof entries);
}

bool LoadWatermarkList(HANDLE printer, WatermarkListEntry (&entries)[kWatermarkListCount]) {
  return LoadList(printer, kWatermarkListValue, entries);
}

bool StoreWatermarkList(HANDLE printer, const WatermarkListEntry (&entries)[kWatermarkListCount]) {
  return Write(printer, kWatermarkListValue, REG_BINARY, entries, sizeof entries);
}
