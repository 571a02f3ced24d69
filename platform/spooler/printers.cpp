// Printers: opening, information, settings, printer data and the driver.
#include <cstring>

#include "platform/base/text.h"
#include "platform/spooler/pack.h"
#include "platform/spooler/printer_handle.h"
#include "platform/spooler/store.h"

namespace k460::spooler {

std::shared_ptr<PrinterHandle> GetPrinterHandle(HANDLE hPrinter) {
  auto handle = LookupHandleAs<PrinterHandle>(hPrinter);
  if (!handle) SetLastError(ERROR_INVALID_HANDLE);
  return handle;
}

std::size_t DevModeSize(const DEVMODEW* dm) {
  if (!dm || dm->dmSize < offsetof(DEVMODEW, dmFields) || dm->dmSize > sizeof(DEVMODEW)) return 0;
  return static_cast<std::size_t>(dm->dmSize) + dm->dmDriverExtra;
}

namespace {

bool IsAdministratorRequest(DWORD access) { return (access & PRINTER_ACCESS_ADMINISTER) != 0; }

BOOL Fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

// Packs level 2 (and the parts of it that levels 1 and 5 share).
void FillInfo2(Packer& p, PRINTER_INFO_2W* info, const PrinterRecord& r, DWORD cJobs) {
  info->pServerName = nullptr;
  info->pPrinterName = p.String(r.setup.name);
  info->pShareName = p.String(u"");
  info->pPortName = p.String(r.setup.portName);
  info->pDriverName = p.String(r.setup.driverName);
  info->pComment = p.String(r.comment);
  info->pLocation = p.String(r.location);
  info->pDevMode = r.defaultDevMode.empty()
                       ? nullptr
                       : static_cast<LPDEVMODEW>(p.Bytes(r.defaultDevMode.data(), r.defaultDevMode.size()));
  info->pSepFile = p.String(u"");
  info->pPrintProcessor = p.String(u"winprint");
  info->pDatatype = p.String(u"RAW");
  info->pParameters = p.String(u"");
  info->pSecurityDescriptor = nullptr;
  info->Attributes = r.setup.attributes;
  info->Priority = 1;
  info->DefaultPriority = 0;
  info->Status = r.setup.status;
  info->cJobs = cJobs;
}

}  // namespace

DWORD CountJobs(std::u16string_view printer);  // jobs.cpp

}  // namespace k460::spooler

using namespace k460::spooler;

K460_API BOOL OpenPrinterW(LPWSTR pPrinterName, LPHANDLE phPrinter, LPPRINTER_DEFAULTSW pDefault) {
  if (!phPrinter) return Fail(ERROR_INVALID_PARAMETER);
  *phPrinter = nullptr;
  if (k460::CallFailsSetError("OpenPrinterW", pPrinterName ? k460::Utf16ToUtf8(pPrinterName) : "")) return FALSE;
  if (!pPrinterName || !*pPrinterName) return Fail(ERROR_INVALID_PRINTER_NAME);
  auto record = LoadPrinter(pPrinterName);
  if (!record) return Fail(ERROR_INVALID_PRINTER_NAME);
  DWORD access = pDefault && pDefault->DesiredAccess ? pDefault->DesiredAccess : PRINTER_ACCESS_USE;
  if (IsAdministratorRequest(access) && !IsUserAnAdmin()) return Fail(ERROR_ACCESS_DENIED);
  auto handle = std::make_shared<PrinterHandle>();
  handle->name = record->setup.name;
  handle->access = access;
  if (pDefault && pDefault->pDevMode) {
    std::size_t size = DevModeSize(pDefault->pDevMode);
    if (!size) return Fail(ERROR_INVALID_PARAMETER);
    auto* bytes = reinterpret_cast<const BYTE*>(pDefault->pDevMode);
    handle->devMode.assign(bytes, bytes + size);
  }
  if (pDefault && pDefault->pDatatype) handle->dataType = pDefault->pDatatype;
  *phPrinter = k460::InsertHandle(handle);
  return TRUE;
}

K460_API BOOL GetPrinterW(HANDLE hPrinter, DWORD Level, LPBYTE pPrinter, DWORD cbBuf, LPDWORD pcbNeeded) {
  auto handle = GetPrinterHandle(hPrinter);
  if (!handle) return FALSE;
  if (!pcbNeeded) return Fail(ERROR_INVALID_PARAMETER);
  auto record = LoadPrinter(handle->name);
  if (!record) return Fail(ERROR_INVALID_PRINTER_NAME);
  const DWORD jobs = CountJobs(handle->name);
  switch (Level) {
    case 1:
      return PackInfo(pPrinter, cbBuf, pcbNeeded, sizeof(PRINTER_INFO_1W), [&](Packer& p) {
        auto* info = p.Fixed<PRINTER_INFO_1W>(0);
        info->Flags = 0x00800000;  // PRINTER_ENUM_ICON8: a printer
        info->pDescription = p.String(record->setup.name + u"," + record->setup.driverName + u"," + record->location);
        info->pName = p.String(record->setup.name);
        info->pComment = p.String(record->comment);
      });
    case 2:
      return PackInfo(pPrinter, cbBuf, pcbNeeded, sizeof(PRINTER_INFO_2W),
                      [&](Packer& p) { FillInfo2(p, p.Fixed<PRINTER_INFO_2W>(0), *record, jobs); });
    case 5:
      return PackInfo(pPrinter, cbBuf, pcbNeeded, sizeof(PRINTER_INFO_5W), [&](Packer& p) {
        auto* info = p.Fixed<PRINTER_INFO_5W>(0);
        info->pPrinterName = p.String(record->setup.name);
        info->pPortName = p.String(record->setup.portName);
        info->Attributes = record->setup.attributes;
        info->DeviceNotSelectedTimeout = 15000;
        info->TransmissionRetryTimeout = 45000;
      });
    case 8:
    case 9:
      return PackInfo(pPrinter, cbBuf, pcbNeeded, sizeof(PRINTER_INFO_8W), [&](Packer& p) {
        p.Fixed<PRINTER_INFO_8W>(0)->pDevMode =
            record->defaultDevMode.empty()
                ? nullptr
                : static_cast<LPDEVMODEW>(p.Bytes(record->defaultDevMode.data(), record->defaultDevMode.size()));
      });
    default:
      return Fail(ERROR_INVALID_LEVEL);
  }
}

K460_API BOOL SetPrinterW(HANDLE hPrinter, DWORD Level, LPBYTE pPrinter, DWORD Command) {
  auto handle = GetPrinterHandle(hPrinter);
  if (!handle) return FALSE;
  if (!(handle->access & PRINTER_ACCESS_ADMINISTER)) return Fail(ERROR_ACCESS_DENIED);
  if (k460::CallFailsSetError("SetPrinterW")) return FALSE;
  auto record = LoadPrinter(handle->name);
  if (!record) return Fail(ERROR_INVALID_PRINTER_NAME);
  switch (Level) {
    case 0:
      switch (Command) {
        case PRINTER_CONTROL_PAUSE: record->setup.status |= PRINTER_STATUS_PAUSED; break;
        case PRINTER_CONTROL_RESUME: record->setup.status &= ~PRINTER_STATUS_PAUSED; break;
        case PRINTER_CONTROL_PURGE: break;
        case PRINTER_CONTROL_SET_STATUS:
          if (!pPrinter) return Fail(ERROR_INVALID_PARAMETER);
          std::memcpy(&record->setup.status, pPrinter, sizeof(DWORD));
          break;
        default: return Fail(ERROR_INVALID_PARAMETER);
      }
      break;
    case 2: {
      if (!pPrinter) return Fail(ERROR_INVALID_PARAMETER);
      const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(pPrinter);
      if (info->pPortName && *info->pPortName) record->setup.portName = info->pPortName;
      if (info->pDriverName && *info->pDriverName) record->setup.driverName = info->pDriverName;
      if (info->pComment) record->comment = info->pComment;
      if (info->pLocation) record->location = info->pLocation;
      record->setup.attributes = info->Attributes;
      if (info->pDevMode) {
        std::size_t size = DevModeSize(info->pDevMode);
        if (!size) return Fail(ERROR_INVALID_PARAMETER);
        auto* bytes = reinterpret_cast<const BYTE*>(info->pDevMode);
        record->defaultDevMode.assign(bytes, bytes + size);
      }
      break;
    }
    case 8:
    case 9: {
      if (!pPrinter) return Fail(ERROR_INVALID_PARAMETER);
      const auto* info = reinterpret_cast<const PRINTER_INFO_8W*>(pPrinter);
      std::size_t size = DevModeSize(info->pDevMode);
      if (!size) return Fail(ERROR_INVALID_PARAMETER);
      auto* bytes = reinterpret_cast<const BYTE*>(info->pDevMode);
      record->defaultDevMode.assign(bytes, bytes + size);
      break;
    }
    default:
      return Fail(ERROR_INVALID_LEVEL);
  }
  if (!SavePrinter(*record)) return Fail(ERROR_CANTWRITE);
  return TRUE;
}

K460_API DWORD GetPrinterDataW(HANDLE hPrinter, LPWSTR pValueName, LPDWORD pType, LPBYTE pData, DWORD nSize,
                               LPDWORD pcbNeeded) {
  auto handle = GetPrinterHandle(hPrinter);
  if (!handle) return ERROR_INVALID_HANDLE;
  if (!pcbNeeded || !pValueName) return ERROR_INVALID_PARAMETER;
  *pcbNeeded = 0;
  DWORD error = 0;
  if (k460::CallFails("GetPrinterDataW", &error, k460::Utf16ToUtf8(pValueName))) return error;
  auto key = k460::RegKey::Open(HKEY_LOCAL_MACHINE, PrinterDataKeyPath(handle->name));
  auto value = key.GetRaw(pValueName);
  if (!value) return ERROR_FILE_NOT_FOUND;
  *pcbNeeded = static_cast<DWORD>(value->second.size());
  if (pType) *pType = value->first;
  if (nSize < value->second.size()) return ERROR_MORE_DATA;
  if (!pData && !value->second.empty()) return ERROR_INVALID_PARAMETER;
  if (!value->second.empty()) std::memcpy(pData, value->second.data(), value->second.size());
  return ERROR_SUCCESS;
}

K460_API DWORD SetPrinterDataW(HANDLE hPrinter, LPWSTR pValueName, DWORD Type, LPBYTE pData, DWORD cbData) {
  auto handle = GetPrinterHandle(hPrinter);
  if (!handle) return ERROR_INVALID_HANDLE;
  if (!pValueName || (!pData && cbData)) return ERROR_INVALID_PARAMETER;
  if (!(handle->access & PRINTER_ACCESS_ADMINISTER)) return ERROR_ACCESS_DENIED;
  DWORD error = 0;
  if (k460::CallFails("SetPrinterDataW", &error, k460::Utf16ToUtf8(pValueName))) return error;
  auto key = k460::RegKey::Create(HKEY_LOCAL_MACHINE, PrinterDataKeyPath(handle->name));
  if (!key) return ERROR_CANTWRITE;
  return static_cast<DWORD>(key.SetRaw(pValueName, Type, pData, cbData));
}

K460_API DWORD DeletePrinterDataW(HANDLE hPrinter, LPWSTR pValueName) {
  auto handle = GetPrinterHandle(hPrinter);
  if (!handle) return ERROR_INVALID_HANDLE;
  if (!pValueName) return ERROR_INVALID_PARAMETER;
  if (!(handle->access & PRINTER_ACCESS_ADMINISTER)) return ERROR_ACCESS_DENIED;
  auto key = k460::RegKey::Open(HKEY_LOCAL_MACHINE, PrinterDataKeyPath(handle->name), KEY_ALL_ACCESS);
  return static_cast<DWORD>(key.DeleteValue(pValueName));
}

K460_API BOOL GetPrinterDriverW(HANDLE hPrinter, LPWSTR pEnvironment, DWORD Level, LPBYTE pDriverInfo, DWORD cbBuf,
                                LPDWORD pcbNeeded) {
  auto handle = GetPrinterHandle(hPrinter);
  if (!handle) return FALSE;
  if (!pcbNeeded) return Fail(ERROR_INVALID_PARAMETER);
  if (pEnvironment && *pEnvironment && !k460::EqualsNoCase(k460::WideView(pEnvironment), kEnvironment))
    return Fail(ERROR_INVALID_ENVIRONMENT);
  auto record = LoadPrinter(handle->name);
  if (!record) return Fail(ERROR_INVALID_PRINTER_NAME);
  auto driver = k460::FindDriver(record->setup.driverName);
  if (!driver) return Fail(ERROR_UNKNOWN_PRINTER_DRIVER);
  // Files are answered with their full path in the driver directory.
  const std::u16string dir = DriverDirectory() + u"\\";
  auto full = [&](const std::u16string& file) { return file.empty() ? file : dir + file; };
  auto fill = [&](Packer& p, DRIVER_INFO_3W* info, DWORD level) {
    info->cVersion = 3;
    info->pName = p.String(driver->name);
    if (level == 1) return;
    info->pEnvironment = p.String(kEnvironment);
    info->pDriverPath = p.String(full(driver->driverFile));
    info->pDataFile = p.String(full(driver->dataFile));
    info->pConfigFile = p.String(full(driver->configFile));
    if (level == 2) return;
    info->pHelpFile = p.String(full(driver->helpFile));
    std::vector<std::u16string> dependents;
    for (const auto& f : driver->dependentFiles) dependents.push_back(full(f));
    info->pDependentFiles = p.MultiString(dependents);
    info->pMonitorName = driver->monitorName.empty() ? nullptr : p.String(driver->monitorName);
    info->pDefaultDataType = p.String(driver->defaultDataType);
  };
  switch (Level) {
    case 1:
      return PackInfo(pDriverInfo, cbBuf, pcbNeeded, sizeof(DRIVER_INFO_1W), [&](Packer& p) {
        p.Fixed<DRIVER_INFO_1W>(0)->pName = p.String(driver->name);
      });
    case 2:
      return PackInfo(pDriverInfo, cbBuf, pcbNeeded, sizeof(DRIVER_INFO_2W), [&](Packer& p) {
        DRIVER_INFO_3W info{};
        fill(p, &info, 2);
        std::memcpy(p.Fixed<DRIVER_INFO_2W>(0), &info, sizeof(DRIVER_INFO_2W));
      });
    case 3:
      return PackInfo(pDriverInfo, cbBuf, pcbNeeded, sizeof(DRIVER_INFO_3W),
                      [&](Packer& p) { fill(p, p.Fixed<DRIVER_INFO_3W>(0), 3); });
    default:
      return Fail(ERROR_INVALID_LEVEL);
  }
}

K460_API BOOL GetPrinterDriverDirectoryW(LPWSTR, LPWSTR pEnvironment, DWORD Level, LPBYTE pDriverDirectory,
                                         DWORD cbBuf, LPDWORD pcbNeeded) {
  if (!pcbNeeded) return Fail(ERROR_INVALID_PARAMETER);
  if (Level != 1) return Fail(ERROR_INVALID_LEVEL);
  if (pEnvironment && *pEnvironment && !k460::EqualsNoCase(k460::WideView(pEnvironment), kEnvironment))
    return Fail(ERROR_INVALID_ENVIRONMENT);
  const std::u16string dir = DriverDirectory();
  *pcbNeeded = static_cast<DWORD>((dir.size() + 1) * sizeof(WCHAR));
  if (!pDriverDirectory || cbBuf < *pcbNeeded) return Fail(ERROR_INSUFFICIENT_BUFFER);
  std::memcpy(pDriverDirectory, dir.c_str(), *pcbNeeded);
  return TRUE;
}
