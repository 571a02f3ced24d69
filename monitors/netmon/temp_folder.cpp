#include "monitors/netmon/temp_folder.h"

#include <mutex>

#include "monitors/netmon/monitor_state.h"
#include "platform/files/files.h"

namespace netmon {
namespace {

std::mutex gMutex;
std::u16string gTempPath;

std::u16string PlainTempPath() {
  WCHAR path[MAX_PATH];
  DWORD length = GetTempPathW(MAX_PATH, path);
  return length > 0 && length < MAX_PATH ? std::u16string(path, length) : std::u16string();
}

}  // namespace

std::u16string PrepareTempFolder() {
  std::u16string plain = PlainTempPath();
  if (plain.empty() || !IsXpOrLater()) return plain;
  std::u16string folder = plain + u"qtxport";
  if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return plain;
  // The folder is not opened to everyone: the spooler stand-in and the
  // programs it starts for the user all run as one account, which owns the
  // folder, so job files stay with that account.
  return folder + u"\\";
}

std::u16string MonitorTempPath() {
  std::lock_guard lock(gMutex);
  return gTempPath.empty() ? PlainTempPath() : gTempPath;
}

void SetMonitorTempPath(const std::u16string& path) {
  std::lock_guard lock(gMutex);
  gTempPath = path;
}

}  // namespace netmon
