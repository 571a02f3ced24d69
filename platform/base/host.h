// What hosts (the k460 tool, the device emulator) and tests use to set up
// and steer the operating-system stand-in. The suite itself never calls this.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/base.h"

namespace k460 {

// ---- Machine root ----------------------------------------------------------
// All platform state lives below one folder. Hosts take it from their
// --root option or from K460_ROOT; the default is ~/.local/share/k460.
std::filesystem::path DefaultMachineRoot();
void SetMachineRoot(const std::filesystem::path& root);
const std::filesystem::path& MachineRoot();

// Observers told when the root changes, so that facilities drop caches.
void OnMachineRootChange(std::function<void()> observer);

// ---- Machine profile -------------------------------------------------------
// Kept in <root>/machine.ini; the facts that the suite branches on.
struct MachineProfile {
  DWORD osMajor = 6;
  DWORD osMinor = 1;
  DWORD osBuild = 7601;
  UINT ansiCodePage = 932;
  UINT oemCodePage = 932;
  LANGID userLanguage = 0x0411;
  std::string userName = "user";
  std::string computerName = "K460-HOST";
  bool administrator = true;
};
MachineProfile GetMachineProfile();
void SetMachineProfile(const MachineProfile& profile);

// ---- Clock -----------------------------------------------------------------
enum class ClockMode { Real, Virtual };
void SetClockMode(ClockMode mode);
ClockMode GetClockMode();
std::uint64_t ClockNowMs();
// Moves virtual time forward (no effect on a real clock).
void AdvanceClock(std::uint64_t ms);

// ---- Call log and fault injection -----------------------------------------
// Stand-in functions report each call by name; a test can read the log and
// make the n-th call of a function fail with an error code of its choice.
struct CallRecord {
  std::string function;
  std::string detail;
};
void EnableCallLog(bool on);
std::vector<CallRecord> CallLog();
void ClearCallLog();

// Fail calls of `function` after `skip` successful ones, `count` times
// (negative: for ever), with last error `error`.
void InjectFault(const std::string& function, int skip, int count, DWORD error);
void ClearFaults();
// Reads faults from text "Function:skip:count:error[,...]" (as in K460_FAULTS).
bool InjectFaultsFromText(const std::string& text);

}  // namespace k460
