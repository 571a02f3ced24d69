#include "driver/winnt/printer/src/common/printer_data_values.h"

#include <array>

#include "driver/winnt/printer/src/common/printer_data.h"

namespace k460::hostsettings {
namespace {

std::vector<std::uint8_t> ReadOrEmpty(HANDLE hPrinter, PrinterDataValue value) {
  return ReadPrinterDataValue(hPrinter, value).value_or(std::vector<std::uint8_t>{});
}

}  // namespace

std::optional<HostSettings> ReadPrinterSettings(HANDLE hPrinter) {
  const auto bytes = ReadPrinterDataValue(hPrinter, PrinterDataValue::kPrinterData);
  if (!bytes || bytes->size() != kHostSettingsSize) return std::nullopt;
  return LoadHostSettings(std::span<const std::uint8_t, kHostSettingsSize>(bytes->data(), kHostSettingsSize));
}

BOOL WritePrinterSettings(HANDLE hPrinter, const HostSettings& settings) {
  std::array<std::uint8_t, kHostSettingsSize> bytes{};
  StoreHostSettings(settings, bytes);
  return WritePrinterDataValue(hPrinter, PrinterDataValue::kPrinterData, bytes);
}

std::vector<CustomPaperRecord> ReadCustomPapers(HANDLE hPrinter) {
  return ParseCustomPapers(ReadOrEmpty(hPrinter, PrinterDataValue::kCustomPaperData));
}

BOOL WriteCustomPapers(HANDLE hPrinter, std::u16string_view printerName, std::span<const CustomPaperRecord> papers) {
  const std::vector<std::uint8_t> bytes = SerializeCustomPapers(papers);
  return WithPrinterForWrite(hPrinter, printerName, [&](HANDLE h) {
    return WritePrinterDataValue(h, PrinterDataValue::kCustomPaperData, bytes);
  });
}

UserInfoSlots ReadUserInfo(HANDLE hPrinter) { return ParseUserInfo(ReadOrEmpty(hPrinter, PrinterDataValue::kUserInfoData)); }

BOOL WriteUserInfo(HANDLE hPrinter, std::span<const UserInfoRecord> slots) {
  return WritePrinterDataValue(hPrinter, PrinterDataValue::kUserInfoData, SerializeUserInfo(slots));
}

std::vector<FormRecord> ReadForms(HANDLE hPrinter, HostVariant variant) {
  return ParseForms(ReadOrEmpty(hPrinter, PrinterDataValue::kPrinterDB),
                    variant == HostVariant::kFax ? kMaxFaxForms : kMaxForms);
}

BOOL WriteForms(HANDLE hPrinter, std::span<const FormRecord> forms) {
  return WritePrinterDataValue(hPrinter, PrinterDataValue::kPrinterDB, SerializeForms(forms));
}

std::optional<DitherBaseRecord> ReadDitherBase(HANDLE hPrinter) {
  return ParseDitherBase(ReadOrEmpty(hPrinter, PrinterDataValue::kDitherBase));
}

std::optional<std::int32_t> ReadDitherContrast(HANDLE hPrinter) {
  return ParseDitherContrast(ReadOrEmpty(hPrinter, PrinterDataValue::kDitherContrast));
}

std::optional<std::int32_t> ReadCountryCode(HANDLE hPrinter) {
  return ParseCountryCode(ReadOrEmpty(hPrinter, PrinterDataValue::kCountryCode));
}

}  // namespace k460::hostsettings
