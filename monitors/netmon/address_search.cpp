#include "monitors/netmon/address_search.h"

#include "monitors/netmon/dotted_address.h"
#include "monitors/netmon/monitor_state.h"
#include "monitors/netmon/user_session.h"
#include "platform/files/files.h"
#include "platform/process/process.h"
#include "platform/sync/sync.h"

namespace netmon {
namespace {

constexpr char16_t kSearchPipe[] = u"\\\\.\\pipe\\qtxSSearch";
constexpr DWORD kPipeInstances = 10;
constexpr DWORD kPipeTimeoutMs = 100;
constexpr DWORD kAnswerBytes = 259;      // the most the program may send
constexpr DWORD kShortestAnswer = 8;     // "1.2.3.4" and its terminator
constexpr DWORD kConnectPollMs = 100;
// The person searches and chooses while the program runs; past this the
// monitor stops waiting for the program to connect.
constexpr DWORD kChoiceLimitMs = 10 * 60 * 1000;
constexpr DWORD kExitWaitMs = 10000;

// Waits until the program connects, or ends without connecting, or the
// limit passes. The pipe does not wait inside ConnectNamedPipe, so that the
// program's end can stop the wait.
bool WaitForConnection(HANDLE pipe, HANDLE process) {
  for (DWORD waited = 0; waited <= kChoiceLimitMs; waited += kConnectPollMs) {
    if (ConnectNamedPipe(pipe, nullptr) || GetLastError() == ERROR_PIPE_CONNECTED) return true;
    if (GetLastError() != ERROR_PIPE_LISTENING) return false;
    if (WaitForSingleObject(process, kConnectPollMs) != WAIT_TIMEOUT) {
      // Ended: it may have connected and written before it went.
      return ConnectNamedPipe(pipe, nullptr) || GetLastError() == ERROR_PIPE_CONNECTED;
    }
  }
  return false;
}

std::optional<std::u16string> ReadAnswer(HANDLE pipe) {
  DWORD mode = PIPE_READMODE_MESSAGE | PIPE_WAIT;
  if (!SetNamedPipeHandleState(pipe, &mode, nullptr, nullptr)) return std::nullopt;
  char answer[kAnswerBytes + 1] = {};
  DWORD read = 0;
  // The program writes once and then closes; a cancelled search closes
  // without writing, which ends the read.
  if (!ReadFile(pipe, answer, kAnswerBytes, &read, nullptr) && GetLastError() != ERROR_MORE_DATA) return std::nullopt;
  if (read < kShortestAnswer) return std::nullopt;
  answer[read] = '\0';
  WCHAR wide[kAnswerBytes + 1] = {};
  int length = MultiByteToWideChar(CP_ACP, 0, answer, -1, wide, kAnswerBytes + 1);
  if (length <= 1) return std::nullopt;
  std::u16string address(wide, static_cast<std::size_t>(length - 1));
  if (!IsDeviceAddress(address)) return std::nullopt;
  return address;
}

}  // namespace

std::optional<std::u16string> AskForAddress() {
  // Windows 2000 and NT asked with a dialog of the monitor's own; there is
  // none here, so the answer is no address.
  if (!IsXpOrLater()) return std::nullopt;
  SECURITY_DESCRIPTOR descriptor{};
  InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
  SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE);
  SECURITY_ATTRIBUTES security{sizeof security, &descriptor, FALSE};
  HANDLE pipe = CreateNamedPipeW(kSearchPipe, PIPE_ACCESS_INBOUND, PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_NOWAIT,
                                 kPipeInstances, 0, 0, kPipeTimeoutMs, &security);
  if (pipe == INVALID_HANDLE_VALUE) return std::nullopt;
  std::optional<std::u16string> address;
  ProgramRun run = StartUserProgram(u"qtxssearch.exe", u"/d /p", true);
  if (run.started) {
    if (WaitForConnection(pipe, run.process)) address = ReadAnswer(pipe);
    WaitForProgram(run.process, kExitWaitMs);
    CloseHandle(run.process);
  }
  CloseHandle(pipe);
  return address;
}

}  // namespace netmon
