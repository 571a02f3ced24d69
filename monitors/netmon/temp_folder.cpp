#include "monitors/netmon/temp_folder.h"

#include <mutex>

#include "monitors/netmon/monitor_state.h"
#include "platform/files/files.h"
#include "platform/process/process.h"

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
  // Job files stay with the account that owns the folder: the spooler and
  // the programs it starts for the user share it here, so nobody else is
  // granted anything (an empty access list). Only a secured folder is used.
  ACL ownerOnly{};
  SECURITY_DESCRIPTOR descriptor{};
  if (!InitializeAcl(&ownerOnly, sizeof ownerOnly, ACL_REVISION) ||
      !InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) ||
      !SetSecurityDescriptorDacl(&descriptor, TRUE, &ownerOnly, FALSE) ||
      !SetFileSecurityW(folder.c_str(), DACL_SECURITY_INFORMATION, &descriptor))
    return plain;
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
