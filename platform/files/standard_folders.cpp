// Standard folders of the machine, created on demand.
#include "platform/files/standard_folders.h"

#include <filesystem>
#include <mutex>
#include <system_error>

#include "platform/base/host.h"
#include "platform/base/internal.h"
#include "platform/files/files.h"

namespace k460 {
namespace {

std::mutex gMutex;
bool gDone = false;
bool gObserving = false;

std::u16string UserFolder(std::u16string_view below) { return ProfileDirectory() + u"\\" + std::u16string(below); }
std::u16string CommonDocuments() { return u"C:\\Users\\Public\\Documents"; }

}  // namespace

bool EnsureFolder(const std::u16string& windowsPath) {
  std::filesystem::path host = HostPath(windowsPath);
  std::error_code ec;
  std::filesystem::create_directories(host, ec);
  return std::filesystem::is_directory(host, ec);
}

void EnsureStandardFolders() {
  // Settles the root first: choosing the default root tells the observers,
  // and ours takes the lock below.
  MachineRoot();
  std::lock_guard lock(gMutex);
  if (!gObserving) {
    gObserving = true;
    // A new root starts empty: make its folders again on the next call.
    OnMachineRootChange([] {
      std::lock_guard inner(gMutex);
      gDone = false;
    });
  }
  if (gDone) return;
  gDone = true;
  for (int csidl : {CSIDL_WINDOWS, CSIDL_SYSTEM, CSIDL_PROFILE, CSIDL_APPDATA, CSIDL_LOCAL_APPDATA, CSIDL_PERSONAL,
                    CSIDL_DESKTOPDIRECTORY, CSIDL_COMMON_APPDATA, CSIDL_COMMON_DOCUMENTS})
    EnsureFolder(*KnownFolderPath(csidl));
  EnsureFolder(PrinterDriverDirectory());
  EnsureFolder(TempDirectory());
}

std::optional<std::u16string> KnownFolderPath(int csidl) {
  switch (csidl & ~CSIDL_FLAG_MASK) {
    case CSIDL_WINDOWS: return WindowsDirectory();
    case CSIDL_SYSTEM: return SystemDirectory();
    case CSIDL_PROFILE: return ProfileDirectory();
    case CSIDL_APPDATA: return UserFolder(u"AppData\\Roaming");
    case CSIDL_LOCAL_APPDATA: return UserFolder(u"AppData\\Local");
    case CSIDL_PERSONAL: return UserFolder(u"Documents");
    case CSIDL_DESKTOPDIRECTORY: return UserFolder(u"Desktop");
    case CSIDL_COMMON_APPDATA: return AllUsersDirectory();
    case CSIDL_COMMON_DOCUMENTS: return CommonDocuments();
    default: return std::nullopt;
  }
}

}  // namespace k460
