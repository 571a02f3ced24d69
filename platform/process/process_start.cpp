// Starting programs and waiting for them: a started program is a host
// process; a detached watcher thread reaps it and signals its handles, so a
// wait on the process handle is an ordinary wait of the sync facility.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <string>
#include <system_error>
#include <thread>
#include <vector>
#include <mutex>

#include "platform/base/host.h"
#include "platform/base/text.h"
#include "platform/process/command_line.h"
#include "platform/process/process_host.h"
#include "platform/process/process_start.h"
#include "platform/process/program_answers.h"
#include "platform/process/program_files.h"
#include "platform/process/tokens.h"
#include "platform/sync/waitable.h"

extern char** environ;

namespace k460::process {
namespace {

// State read and written with WaitLock held.
struct ProcessObject : Waitable {
  explicit ProcessObject(pid_t pid) : pid(pid) {}
  bool IsSignalledFor(ThreadToken) const override { return finished; }
  const pid_t pid;
  bool finished = false;
  DWORD exitCode = STILL_ACTIVE;
};

// The program's first thread: ends with the program.
struct ProcessThreadObject : Waitable {
  explicit ProcessThreadObject(std::shared_ptr<ProcessObject> process) : process(std::move(process)) {}
  bool IsSignalledFor(ThreadToken) const override { return process->finished; }
  std::shared_ptr<ProcessObject> process;
};

BOOL Fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

DWORD ExitCodeOf(int status) {
  if (WIFEXITED(status)) return static_cast<DWORD>(WEXITSTATUS(status));
  if (WIFSIGNALED(status)) return 0xC0000000u | static_cast<DWORD>(WTERMSIG(status));
  return 0;
}

// The programs started and not yet reaped, for hosts that wait until every
// program they caused has ended.
struct Running {
  std::mutex mutex;
  std::condition_variable ended;
  int count = 0;
};

Running& RunningPrograms() {
  static auto* running = new Running;
  return *running;
}

void Reap(const std::shared_ptr<ProcessObject>& process) {
  int status = 0;
  pid_t result;
  do {
    result = ::waitpid(process->pid, &status, 0);
  } while (result < 0 && errno == EINTR);
  {
    std::lock_guard lock(WaitLock());
    process->exitCode = result == process->pid ? ExitCodeOf(status) : 0;
    process->finished = true;
    NotifyWaiters();
  }
  auto& running = RunningPrograms();
  std::lock_guard lock(running.mutex);
  --running.count;
  running.ended.notify_all();
}

bool HasName(const std::string& entry, std::string_view name) {
  return entry.size() > name.size() && entry.compare(0, name.size(), name) == 0 && entry[name.size()] == '=';
}

// The caller's block ("A=B\0C=D\0\0", wide with CREATE_UNICODE_ENVIRONMENT),
// or the process's own environment.
std::vector<std::string> BaseEnvironment(LPVOID block, bool wide) {
  std::vector<std::string> entries;
  if (!block) {
    for (char** e = environ; e && *e; ++e) entries.emplace_back(*e);
  } else if (wide) {
    for (auto* p = static_cast<const char16_t*>(block); *p;) {
      std::u16string_view entry(p);
      entries.push_back(Utf16ToUtf8(entry));
      p += entry.size() + 1;
    }
  } else {
    for (auto* p = static_cast<const char*>(block); *p;) {
      std::string_view entry(p);
      entries.emplace_back(entry);
      p += entry.size() + 1;
    }
  }
  return entries;
}

std::vector<std::string> ProgramEnvironment(LPVOID block, bool wide, const std::optional<std::string>& answer) {
  std::vector<std::string> env;
  for (auto& entry : BaseEnvironment(block, wide)) {
    if (HasName(entry, "K460_ROOT")) continue;
    if (answer && HasName(entry, kProgramAnswerVariable)) continue;
    env.push_back(std::move(entry));
  }
  env.push_back("K460_ROOT=" + MachineRoot().string());
  if (answer) env.push_back(std::string(kProgramAnswerVariable) + "=" + *answer);
  return env;
}

DWORD SpawnError(int error) {
  switch (error) {
    case ENOEXEC: return ERROR_BAD_EXE_FORMAT;
    case EACCES:
    case EPERM: return ERROR_ACCESS_DENIED;
    case ENOMEM:
    case EAGAIN: return ERROR_NOT_ENOUGH_MEMORY;
    default: return ERROR_FILE_NOT_FOUND;
  }
}

}  // namespace

BOOL StartProcess(const char* function, LPCWSTR applicationName, LPWSTR commandLine, DWORD flags, LPVOID environment,
                  LPCWSTR currentDirectory, LPSTARTUPINFOW startupInfo, LPPROCESS_INFORMATION information) {
  std::u16string_view line = WideView(commandLine);
  if (CallFailsSetError(function, Utf16ToUtf8(applicationName ? WideView(applicationName) : line))) return FALSE;
  if (!startupInfo || !information || (!applicationName && !commandLine)) return Fail(ERROR_INVALID_PARAMETER);
  if (flags & CREATE_SUSPENDED) return Fail(ERROR_NOT_SUPPORTED);
  *information = PROCESS_INFORMATION{};

  std::vector<std::u16string> args = SplitCommandLine(line);
  std::u16string program = applicationName ? std::u16string(WideView(applicationName))
                                           : (args.empty() ? std::u16string() : args.front());
  if (program.empty()) return Fail(ERROR_INVALID_PARAMETER);
  auto file = FindProgramFile(program);
  if (!file) return Fail(ERROR_FILE_NOT_FOUND);

  std::filesystem::path directory;
  if (currentDirectory) {
    directory = HostPath(WideView(currentDirectory));
    std::error_code ec;
    if (!std::filesystem::is_directory(directory, ec)) return Fail(ERROR_DIRECTORY);
  }

  std::vector<std::string> argv{file->string()};
  for (std::size_t i = 1; i < args.size(); ++i) argv.push_back(Utf16ToUtf8(args[i]));
  std::vector<std::string> env =
      ProgramEnvironment(environment, (flags & CREATE_UNICODE_ENVIRONMENT) != 0, TakeProgramAnswer(program));
  std::vector<char*> argvPointers, envPointers;
  for (auto& a : argv) argvPointers.push_back(a.data());
  argvPointers.push_back(nullptr);
  for (auto& e : env) envPointers.push_back(e.data());
  envPointers.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!directory.empty()) posix_spawn_file_actions_addchdir_np(&actions, directory.c_str());
  pid_t pid = 0;
  int error = ::posix_spawn(&pid, file->c_str(), &actions, nullptr, argvPointers.data(), envPointers.data());
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) return Fail(SpawnError(error));

  auto process = std::make_shared<ProcessObject>(pid);
  {
    std::lock_guard lock(RunningPrograms().mutex);
    ++RunningPrograms().count;
  }
  try {
    std::thread(Reap, process).detach();
  } catch (const std::system_error&) {
    // Without a watcher nobody could ever see the program end.
    ::kill(pid, SIGKILL);
    Reap(process);
    return Fail(ERROR_NOT_ENOUGH_MEMORY);
  }
  information->hProcess = InsertHandle(process);
  information->hThread = InsertHandle(std::make_shared<ProcessThreadObject>(process));
  information->dwProcessId = static_cast<DWORD>(pid);
  information->dwThreadId = static_cast<DWORD>(pid);
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}


}  // namespace k460::process

using namespace k460::process;

K460_API BOOL CreateProcessW(LPCWSTR lpApplicationName, LPWSTR lpCommandLine, LPSECURITY_ATTRIBUTES,
                             LPSECURITY_ATTRIBUTES, BOOL, DWORD dwCreationFlags, LPVOID lpEnvironment,
                             LPCWSTR lpCurrentDirectory, LPSTARTUPINFOW lpStartupInfo,
                             LPPROCESS_INFORMATION lpProcessInformation) {
  return StartProcess("CreateProcessW", lpApplicationName, lpCommandLine, dwCreationFlags, lpEnvironment,
                      lpCurrentDirectory, lpStartupInfo, lpProcessInformation);
}

K460_API BOOL CreateProcessAsUserW(HANDLE hToken, LPCWSTR lpApplicationName, LPWSTR lpCommandLine,
                                   LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL, DWORD dwCreationFlags,
                                   LPVOID lpEnvironment, LPCWSTR lpCurrentDirectory, LPSTARTUPINFOW lpStartupInfo,
                                   LPPROCESS_INFORMATION lpProcessInformation) {
  if (lpProcessInformation) *lpProcessInformation = PROCESS_INFORMATION{};
  auto token = k460::LookupHandleAs<TokenObject>(hToken);
  if (!token) return Fail(ERROR_INVALID_HANDLE);
  if (token->type != TokenPrimary) return Fail(ERROR_BAD_TOKEN_TYPE);
  return StartProcess("CreateProcessAsUserW", lpApplicationName, lpCommandLine, dwCreationFlags, lpEnvironment,
                      lpCurrentDirectory, lpStartupInfo, lpProcessInformation);
}

K460_API BOOL GetExitCodeProcess(HANDLE hProcess, LPDWORD lpExitCode) {
  if (hProcess == kCurrentProcessHandle) {
    if (!lpExitCode) return Fail(ERROR_INVALID_PARAMETER);
    *lpExitCode = STILL_ACTIVE;
    return TRUE;
  }
  auto process = k460::LookupHandleAs<ProcessObject>(hProcess);
  if (!process) return Fail(ERROR_INVALID_HANDLE);
  if (!lpExitCode) return Fail(ERROR_INVALID_PARAMETER);
  std::lock_guard lock(k460::WaitLock());
  *lpExitCode = process->exitCode;
  return TRUE;
}

K460_API DWORD GetProcessId(HANDLE Process) {
  if (Process == kCurrentProcessHandle) return static_cast<DWORD>(::getpid());
  auto process = k460::LookupHandleAs<ProcessObject>(Process);
  if (!process) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  return static_cast<DWORD>(process->pid);
}

namespace k460 {

bool WaitForStartedPrograms(std::uint32_t timeoutMs) {
  auto& running = process::RunningPrograms();
  std::unique_lock lock(running.mutex);
  return running.ended.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return running.count == 0; });
}

}  // namespace k460
