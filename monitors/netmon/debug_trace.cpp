#include "monitors/netmon/debug_trace.h"

#include <vector>

#include "monitors/netmon/monitor_state.h"
#include "monitors/netmon/temp_folder.h"
#include "platform/files/files.h"
#include "platform/process/process.h"
#include "platform/profile/profile.h"
#include "platform/spooler/spooler.h"

namespace netmon {
namespace {

constexpr char16_t kFallbackFolder[] = u"C:\\Windows\\TempLog";

std::u16string UserName() {
  WCHAR name[257];
  DWORD size = 257;
  return GetUserNameW(name, &size) ? std::u16string(name) : std::u16string();
}

std::u16string DriverIniFile(HANDLE printer) {
  DWORD needed = 0;
  GetPrinterDriverW(printer, nullptr, 3, nullptr, 0, &needed);
  if (needed < sizeof(DRIVER_INFO_3W)) return {};
  std::vector<BYTE> buffer(needed);
  if (!GetPrinterDriverW(printer, nullptr, 3, buffer.data(), needed, &needed)) return {};
  const auto* info = reinterpret_cast<const DRIVER_INFO_3W*>(buffer.data());
  for (const WCHAR* file = info->pDependentFiles; file && *file; file += std::u16string_view(file).size() + 1) {
    std::u16string_view name(file);
    if (name.find(u".ini") != std::u16string_view::npos || name.find(u".INI") != std::u16string_view::npos)
      return std::u16string(name);
  }
  return {};
}

}  // namespace

BOOL ReadTraceSwitch(LPCWSTR printerName) {
  HANDLE printer = nullptr;
  if (!printerName || !OpenPrinterW(const_cast<LPWSTR>(printerName), &printer, nullptr)) return FALSE;
  std::u16string ini = DriverIniFile(printer);
  ClosePrinter(printer);
  if (ini.empty()) return FALSE;
  return GetPrivateProfileIntW(u"Monitors", u"PortMonitorTraceOut", 0, ini.c_str()) != 0 ? TRUE : FALSE;
}

std::u16string TraceFolder() {
  if (!IsVistaOrLater()) return MonitorTempPath();
  const bool system = UserName() == u"SYSTEM";
  WCHAR documents[MAX_PATH];
  std::u16string folder = kFallbackFolder;
  if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_COMMON_DOCUMENTS, nullptr, SHGFP_TYPE_CURRENT, documents))) {
    std::u16string wanted = std::u16string(documents) + (system ? u"\\portSYS" : u"\\portUSER");
    if (CreateDirectoryW(wanted.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) {
      folder = wanted;
    } else {
      MessageBoxW(nullptr, wanted.c_str(),
                  system ? u"SYSTEM CreateDirectory() Error" : u"USER CreateDirectory() Error", MB_OK);
    }
  }
  if (folder == kFallbackFolder) CreateDirectoryW(folder.c_str(), nullptr);
  return folder + u"\\";
}

void TraceLine(const IniPort* port, const std::u16string& text) {
  if (!port || !port->bDbgTraceOut) return;
  std::u16string line = UserName() + u":" + text;
  if (line.empty() || line.back() != u'\n') line += u"\r\n";
  int bytes = WideCharToMultiByte(CP_ACP, 0, line.data(), static_cast<int>(line.size()), nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return;
  std::string ansi(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_ACP, 0, line.data(), static_cast<int>(line.size()), ansi.data(), bytes, nullptr, nullptr);
  std::u16string file = TraceFolder() + u"a_netmon.log";
  HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return;
  SetFilePointer(handle, 0, nullptr, FILE_END);
  DWORD written = 0;
  WriteFile(handle, ansi.data(), static_cast<DWORD>(ansi.size()), &written, nullptr);
  CloseHandle(handle);
}

}  // namespace netmon
