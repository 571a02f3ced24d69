#include "monitors/netmon/monitor_state.h"

#include <string>

#include "platform/files/files.h"
#include "platform/module/module.h"

namespace netmon {
namespace {

CRITICAL_SECTION gSpoolerSemaphore{};
HMODULE gSelf = nullptr;
HMODULE gLanguage = nullptr;

OSVERSIONINFOW Version() {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  GetVersionExW(&info);
  return info;
}

}  // namespace

CRITICAL_SECTION& SpoolerSemaphore() { return gSpoolerSemaphore; }
HMODULE SelfModule() { return gSelf; }
HMODULE LanguageModule() { return gLanguage; }

void OnLibraryLoad(HMODULE self) {
  gSelf = self;
  InitializeCriticalSection(&gSpoolerSemaphore);
  WCHAR folder[MAX_PATH];
  UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length > 0 && length < MAX_PATH) {
    std::u16string path = std::u16string(folder, length) + u"\\qtxlnXXX.dll";
    gLanguage = LoadLibraryW(path.c_str());
  }
}

void OnLibraryUnload() {
  if (gLanguage) FreeLibrary(gLanguage);
  gLanguage = nullptr;
  DeleteCriticalSection(&gSpoolerSemaphore);
}

bool IsXpOrLater() {
  OSVERSIONINFOW v = Version();
  return v.dwMajorVersion > 5 || (v.dwMajorVersion == 5 && v.dwMinorVersion >= 1);
}

bool IsVistaOrLater() { return Version().dwMajorVersion >= 6; }

}  // namespace netmon
