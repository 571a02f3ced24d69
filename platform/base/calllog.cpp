// The call log and injected faults of the stand-in functions.
#include <cstdlib>
#include <map>
#include <mutex>
#include <sstream>

#include "platform/base/host.h"
#include "platform/base/internal.h"

namespace k460 {
namespace {

struct Fault {
  int skip;
  int count;  // negative: for ever
  DWORD error;
};

std::mutex gMutex;
bool gLogOn = false;
std::vector<CallRecord> gLog;
std::map<std::string, Fault> gFaults;
bool gEnvRead = false;

void ReadEnvironmentOnce() {
  if (gEnvRead) return;
  gEnvRead = true;
  if (const char* env = std::getenv("K460_FAULTS"); env && *env) {
    // Parsed without the lock held by the caller's thread: InjectFault locks.
    std::istringstream items(env);
    std::string item;
    while (std::getline(items, item, ',')) {
      std::istringstream fields(item);
      std::string name, skip, count, error;
      if (std::getline(fields, name, ':') && std::getline(fields, skip, ':') && std::getline(fields, count, ':') &&
          std::getline(fields, error))
        gFaults[name] = Fault{std::atoi(skip.c_str()), std::atoi(count.c_str()),
                              static_cast<DWORD>(std::strtoul(error.c_str(), nullptr, 0))};
    }
  }
}

}  // namespace

void EnableCallLog(bool on) {
  std::lock_guard lock(gMutex);
  gLogOn = on;
}

std::vector<CallRecord> CallLog() {
  std::lock_guard lock(gMutex);
  return gLog;
}

void ClearCallLog() {
  std::lock_guard lock(gMutex);
  gLog.clear();
}

void InjectFault(const std::string& function, int skip, int count, DWORD error) {
  std::lock_guard lock(gMutex);
  ReadEnvironmentOnce();
  gFaults[function] = Fault{skip, count, error};
}

void ClearFaults() {
  std::lock_guard lock(gMutex);
  gEnvRead = true;
  gFaults.clear();
}

bool InjectFaultsFromText(const std::string& text) {
  std::istringstream items(text);
  std::string item;
  bool ok = true;
  while (std::getline(items, item, ',')) {
    std::istringstream fields(item);
    std::string name, skip, count, error;
    if (std::getline(fields, name, ':') && std::getline(fields, skip, ':') && std::getline(fields, count, ':') &&
        std::getline(fields, error) && !name.empty())
      InjectFault(name, std::atoi(skip.c_str()), std::atoi(count.c_str()),
                  static_cast<DWORD>(std::strtoul(error.c_str(), nullptr, 0)));
    else
      ok = false;
  }
  return ok;
}

bool CallFails(const char* function, DWORD* error, std::string_view detail) {
  std::lock_guard lock(gMutex);
  ReadEnvironmentOnce();
  if (gLogOn) gLog.push_back(CallRecord{function, std::string(detail)});
  if (gFaults.empty()) return false;
  auto it = gFaults.find(function);
  if (it == gFaults.end()) return false;
  Fault& f = it->second;
  if (f.skip > 0) {
    --f.skip;
    return false;
  }
  if (f.count == 0) return false;
  if (f.count > 0) --f.count;
  if (error) *error = f.error;
  return true;
}

bool CallFailsSetError(const char* function, std::string_view detail) {
  DWORD error = ERROR_SUCCESS;
  if (!CallFails(function, &error, detail)) return false;
  SetLastError(error);
  return true;
}

}  // namespace k460
