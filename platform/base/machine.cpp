// The machine root and the machine profile kept in it.
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <mutex>
#include <sstream>
#include <thread>
#include <vector>

#include "platform/base/host.h"
#include "platform/base/host_io.h"
#include "platform/base/text.h"

namespace k460 {
namespace {

std::mutex gMachineMutex;
std::filesystem::path gRoot;
bool gRootSet = false;
std::optional<MachineProfile> gProfileCache;

std::vector<std::function<void()>>& Observers() {
  static auto* observers = new std::vector<std::function<void()>>();
  return *observers;
}

std::filesystem::path ProfileFile() { return MachineRoot() / "machine.ini"; }

MachineProfile ReadProfile(const std::filesystem::path& file) {
  MachineProfile p;
  std::ifstream in(file);
  std::string line;
  while (std::getline(in, line)) {
    auto eq = line.find('=');
    if (eq == std::string::npos || line[0] == '#') continue;
    std::string key = line.substr(0, eq), value = line.substr(eq + 1);
    auto number = [&] { return static_cast<DWORD>(std::strtoul(value.c_str(), nullptr, 0)); };
    if (key == "os_major") p.osMajor = number();
    else if (key == "os_minor") p.osMinor = number();
    else if (key == "os_build") p.osBuild = number();
    else if (key == "ansi_code_page") p.ansiCodePage = number();
    else if (key == "oem_code_page") p.oemCodePage = number();
    else if (key == "user_language") p.userLanguage = static_cast<LANGID>(number());
    else if (key == "user_name") p.userName = value;
    else if (key == "computer_name") p.computerName = value;
    else if (key == "administrator") p.administrator = number() != 0;
  }
  return p;
}

}  // namespace

std::filesystem::path DefaultMachineRoot() {
  if (const char* env = std::getenv("K460_ROOT"); env && *env) return env;
  if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data) return std::filesystem::path(data) / "k460";
  if (const char* home = std::getenv("HOME"); home && *home)
    return std::filesystem::path(home) / ".local" / "share" / "k460";
  return std::filesystem::temp_directory_path() / "k460";
}

void SetMachineRoot(const std::filesystem::path& root) {
  std::vector<std::function<void()>> observers;
  {
    std::lock_guard lock(gMachineMutex);
    gRoot = std::filesystem::absolute(root);
    gRootSet = true;
    gProfileCache.reset();
    observers = Observers();
  }
  std::error_code ec;
  std::filesystem::create_directories(gRoot, ec);
  for (auto& observer : observers) observer();
}

const std::filesystem::path& MachineRoot() {
  {
    std::lock_guard lock(gMachineMutex);
    if (gRootSet) return gRoot;
  }
  SetMachineRoot(DefaultMachineRoot());
  return gRoot;
}

void OnMachineRootChange(std::function<void()> observer) {
  std::lock_guard lock(gMachineMutex);
  Observers().push_back(std::move(observer));
}

MachineProfile GetMachineProfile() {
  auto file = ProfileFile();
  std::lock_guard lock(gMachineMutex);
  if (!gProfileCache) gProfileCache = ReadProfile(file);
  return *gProfileCache;
}

void SetMachineProfile(const MachineProfile& p) {
  auto file = ProfileFile();
  std::ostringstream out;
  out << "# Machine profile of this root: what the operating system would report.\n"
      << "os_major=" << p.osMajor << "\nos_minor=" << p.osMinor << "\nos_build=" << p.osBuild
      << "\nansi_code_page=" << p.ansiCodePage << "\noem_code_page=" << p.oemCodePage << "\nuser_language=0x"
      << std::hex << p.userLanguage << std::dec << "\nuser_name=" << p.userName
      << "\ncomputer_name=" << p.computerName << "\nadministrator=" << (p.administrator ? 1 : 0) << "\n";
  ReplaceFileContents(file, out.str(), false);
  std::lock_guard lock(gMachineMutex);
  gProfileCache = p;
}

}  // namespace k460

namespace {
// Copies `text` with its terminator; *size is in characters, in and out.
BOOL CopyName(const std::string& text, LPWSTR buffer, LPDWORD size, bool countTerminatorOnSuccess) {
  if (!size) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::u16string wide = k460::Utf8ToUtf16(text);
  if (!buffer || *size < wide.size() + 1) {
    *size = static_cast<DWORD>(wide.size() + 1);
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  std::copy(wide.begin(), wide.end(), buffer);
  buffer[wide.size()] = 0;
  *size = static_cast<DWORD>(wide.size() + (countTerminatorOnSuccess ? 1 : 0));
  return TRUE;
}
}  // namespace

K460_API UINT GetACP() { return k460::GetMachineProfile().ansiCodePage; }
K460_API UINT GetOEMCP() { return k460::GetMachineProfile().oemCodePage; }
K460_API LANGID GetUserDefaultLangID() { return k460::GetMachineProfile().userLanguage; }
K460_API LANGID GetSystemDefaultLangID() { return k460::GetMachineProfile().userLanguage; }

K460_API BOOL GetVersionExW(OSVERSIONINFOW* info) {
  if (!info || info->dwOSVersionInfoSize < sizeof(OSVERSIONINFOW)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  auto p = k460::GetMachineProfile();
  info->dwMajorVersion = p.osMajor;
  info->dwMinorVersion = p.osMinor;
  info->dwBuildNumber = p.osBuild;
  info->dwPlatformId = VER_PLATFORM_WIN32_NT;
  info->szCSDVersion[0] = 0;
  return TRUE;
}

// The user name counts its terminator on success, the computer name does not,
// as on the original system.
K460_API BOOL GetUserNameW(LPWSTR buffer, LPDWORD size) {
  return CopyName(k460::GetMachineProfile().userName, buffer, size, true);
}
K460_API BOOL GetComputerNameW(LPWSTR buffer, LPDWORD size) {
  return CopyName(k460::GetMachineProfile().computerName, buffer, size, false);
}
K460_API BOOL IsUserAnAdmin() { return k460::GetMachineProfile().administrator ? TRUE : FALSE; }

K460_API DWORD GetEnvironmentVariableW(LPCWSTR name, LPWSTR buffer, DWORD size) {
  if (!name) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const char* value = std::getenv(k460::Utf16ToUtf8(name).c_str());
  if (!value) {
    SetLastError(ERROR_ENVVAR_NOT_FOUND);
    return 0;
  }
  std::u16string wide = k460::Utf8ToUtf16(value);
  if (!buffer || size < wide.size() + 1) return static_cast<DWORD>(wide.size() + 1);
  std::copy(wide.begin(), wide.end(), buffer);
  buffer[wide.size()] = 0;
  return static_cast<DWORD>(wide.size());
}

K460_API DWORD GetCurrentProcessId() { return static_cast<DWORD>(::getpid()); }
K460_API DWORD GetCurrentThreadId() {
  return static_cast<DWORD>(std::hash<std::thread::id>{}(std::this_thread::get_id()) & 0x7FFFFFFF);
}
