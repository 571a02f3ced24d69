#include "driver/winnt/printer/src/common/printer_data.h"

#include <algorithm>
#include <string>

#include "driver/winnt/printer/src/common/record_bytes.h"
#include "platform/spooler/spooler.h"
#include "platform/sync/sync.h"

namespace k460::hostsettings {
namespace {

constexpr PrinterDataNames kNames[kPrinterDataValueCount] = {
    {u"TTFontSubTable", u"TTFontSubTableSize"},
    {u"TrayFormTable", u"TrayFormSize"},
    {u"PrinterData", u"PrinterDataSize"},
    {u"PrinterDB", u"PrinterDBSize"},
    {u"PrinterDbgData", u"PrinterDbgDataSize"},
    {u"CustomPaperData", u"CustomPaperDataSize"},
    {u"DitherBase", u"DitherBaseSize"},
    {u"DitherContrast", u"DitherContrastSize"},
    {u"CountryCode", u"CountryCodeSize"},
    {u"UserInfoData", u"UserInfoDataSize"},
};

// Full access: what the user interfaces ask for when they write.
constexpr DWORD kFullPrinterAccess = 0x000F000C;

// The one lock of the process around printer-data reads and writes.
class PrinterDataLock {
 public:
  PrinterDataLock() { EnterCriticalSection(&Section()); }
  ~PrinterDataLock() { LeaveCriticalSection(&Section()); }
  PrinterDataLock(const PrinterDataLock&) = delete;
  PrinterDataLock& operator=(const PrinterDataLock&) = delete;

 private:
  struct Holder {
    Holder() { InitializeCriticalSection(&section); }
    ~Holder() { DeleteCriticalSection(&section); }
    CRITICAL_SECTION section;
  };
  static CRITICAL_SECTION& Section() {
    static Holder holder;
    return holder.section;
  }
};

}  // namespace

PrinterDataNames NamesOf(PrinterDataValue value) { return kNames[static_cast<std::size_t>(value)]; }

std::optional<std::vector<std::uint8_t>> ReadPrinterDataValue(HANDLE hPrinter, PrinterDataValue value) {
  const PrinterDataNames names = NamesOf(value);
  std::u16string sizeName(names.size), dataName(names.data);
  PrinterDataLock lock;

  std::uint8_t count[4] = {};
  DWORD type = 0, needed = 0;
  if (GetPrinterDataW(hPrinter, sizeName.data(), &type, count, sizeof(count), &needed) != ERROR_SUCCESS ||
      needed != sizeof(count))
    return std::nullopt;
  const std::uint32_t size = LoadLe<std::uint32_t>(count);
  if (size == 0 || size > kMaxPrinterDataBytes) return std::nullopt;

  std::vector<std::uint8_t> bytes(size, 0);
  if (GetPrinterDataW(hPrinter, dataName.data(), &type, bytes.data(), size, &needed) != ERROR_SUCCESS)
    return std::nullopt;
  bytes.resize(std::min<std::size_t>(needed, size));
  if (bytes.empty()) return std::nullopt;
  return bytes;
}

BOOL WritePrinterDataValue(HANDLE hPrinter, PrinterDataValue value, std::span<const std::uint8_t> bytes) {
  if (bytes.size() > kMaxPrinterDataBytes) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const PrinterDataNames names = NamesOf(value);
  std::u16string sizeName(names.size), dataName(names.data);
  std::vector<std::uint8_t> data(bytes.begin(), bytes.end());
  std::uint8_t count[4];
  StoreLe(count, static_cast<std::uint32_t>(bytes.size()));
  PrinterDataLock lock;

  DWORD error = SetPrinterDataW(hPrinter, sizeName.data(), REG_DWORD, count, sizeof(count));
  if (error == ERROR_SUCCESS)
    error = SetPrinterDataW(hPrinter, dataName.data(), REG_BINARY, data.empty() ? nullptr : data.data(),
                            static_cast<DWORD>(data.size()));
  if (error != ERROR_SUCCESS) {
    SetLastError(error);
    return FALSE;
  }
  return TRUE;
}

HANDLE OpenPrinterForWrite(std::u16string_view printerName) {
  if (printerName.empty() || printerName.front() == u'\\') {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  std::u16string name(printerName);
  PRINTER_DEFAULTSW defaults{nullptr, nullptr, kFullPrinterAccess};
  HANDLE hPrinter = nullptr;
  if (!OpenPrinterW(name.data(), &hPrinter, &defaults)) return nullptr;
  return hPrinter;
}

void ClosePrinterForWrite(HANDLE hPrinter) {
  const DWORD error = GetLastError();
  ClosePrinter(hPrinter);
  SetLastError(error);
}

}  // namespace k460::hostsettings
