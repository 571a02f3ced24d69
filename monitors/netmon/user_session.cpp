#include "monitors/netmon/user_session.h"

#include "monitors/netmon/monitor_state.h"
#include "monitors/netmon/monitor_strings.h"
#include "platform/files/files.h"
#include "platform/process/process.h"
#include "platform/sync/sync.h"

namespace netmon {
namespace {

constexpr std::size_t kTextLimit = 255;     // 256 characters with the terminator
constexpr std::size_t kCaptionLimit = 39;   // 40 characters with the terminator
constexpr DWORD kMessageWaitMs = 10 * 60 * 1000;  // a person may take a while to answer
constexpr char16_t kMessageProgram[] = u"qtxweb.exe";

std::u16string SystemFolder() {
  WCHAR folder[MAX_PATH];
  UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::u16string(folder, length) : std::u16string();
}

HANDLE UserPrimaryToken() {
  HANDLE threadToken = nullptr, primary = nullptr;
  if (!OpenThreadToken(GetCurrentThread(), TOKEN_ALL_ACCESS, TRUE, &threadToken)) return nullptr;
  if (!DuplicateTokenEx(threadToken, MAXIMUM_ALLOWED, nullptr, SecurityImpersonation, TokenPrimary, &primary))
    primary = nullptr;
  CloseHandle(threadToken);
  return primary;
}

// Starts the message program with the texts and waits for the person.
bool StartMessageProgram(const std::u16string& text, const std::u16string& caption, bool wait) {
  ProgramRun run = StartUserProgram(kMessageProgram, u"/M" + QuoteArgument(text) + u" /C" + QuoteArgument(caption), wait);
  if (run.started && run.process) {
    WaitForProgram(run.process, kMessageWaitMs);
    CloseHandle(run.process);
  }
  return run.started;
}

}  // namespace

ProgramRun StartUserProgram(const std::u16string& program, const std::u16string& arguments, bool keepProcess) {
  ProgramRun run;
  std::u16string folder = SystemFolder();
  if (folder.empty()) return run;
  HANDLE token = UserPrimaryToken();
  if (!token) return run;
  std::u16string commandLine = QuoteArgument(folder + u"\\" + program) + u" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.lpDesktop = const_cast<LPWSTR>(u"winsta0\\default");
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION info{};
  run.started = CreateProcessAsUserW(token, nullptr, commandLine.data(), nullptr, nullptr, FALSE,
                                     NORMAL_PRIORITY_CLASS | CREATE_NEW_CONSOLE, nullptr, nullptr, &startup,
                                     &info) != FALSE;
  CloseHandle(token);
  if (!run.started) return run;
  CloseHandle(info.hThread);
  if (keepProcess) run.process = info.hProcess;
  else CloseHandle(info.hProcess);
  return run;
}

bool WaitForProgram(HANDLE process, DWORD limitMs) {
  constexpr DWORD kStepMs = 1000;
  for (DWORD waited = 0; waited < limitMs; waited += kStepMs) {
    DWORD result = WaitForSingleObject(process, kStepMs);
    if (result != WAIT_TIMEOUT) return result == WAIT_OBJECT_0;
  }
  return false;
}

std::u16string QuoteArgument(std::u16string_view text) {
  std::u16string out = u"\"";
  std::size_t backslashes = 0;
  for (char16_t c : text) {
    if (c == u'\\') {
      ++backslashes;
      out += c;
      continue;
    }
    if (c == u'"') {
      out.append(backslashes + 1, u'\\');  // the run doubled, then the quote escaped
    }
    backslashes = 0;
    out += c;
  }
  out.append(backslashes, u'\\');  // a run before the closing quote is doubled
  out += u'"';
  return out;
}

void ShowMessageById(UINT textId, UINT captionId, UINT icon, const std::vector<std::u16string>& args) {
  std::u16string text = FormatText(MonitorString(textId), args, kTextLimit);
  std::u16string caption = MonitorString(captionId);
  if (caption.size() > kCaptionLimit) caption.resize(kCaptionLimit);
  if (IsXpOrLater() && StartMessageProgram(text, caption, true)) return;
  MessageBoxW(nullptr, text.c_str(), caption.c_str(), MB_OK | icon | MB_SETFOREGROUND);
}

BOOL ShowMessageText(const IniPort* port, const std::u16string& text, const std::u16string& caption, UINT type) {
  if (port && IsXpOrLater()) return StartMessageProgram(text, caption, false) ? TRUE : FALSE;
  MessageBoxW(nullptr, text.c_str(), caption.c_str(), type);
  return TRUE;
}

}  // namespace netmon
