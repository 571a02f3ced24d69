// qtxssearch: the device search, without a network search or a screen. The
// device the person chooses is the program answer (an address); with none,
// or an empty one, the search is cancelled. What happened becomes a
// "DeviceSearch" record of the message log, which the message policy may
// answer with Cancel as well.
//
//   qtxssearch /d /p   hands the chosen address to the monitor: it opens
//                      "\\.\pipe\qtxSSearch" and writes the address as ANSI
//                      text with its terminator, one message; a cancelled
//                      search closes the pipe without writing.
#include <string>

#include "platform/base/text.h"
#include "platform/files/files.h"
#include "platform/process/message_log.h"
#include "platform/process/process.h"
#include "platform/process/process_host.h"

namespace {

constexpr char16_t kPipe[] = u"\\\\.\\pipe\\qtxSSearch";
constexpr DWORD kPipeWaitMs = 5000;

bool HasOption(int argc, char** argv, const char* option) {
  for (int i = 1; i < argc; ++i)
    if (k460::EqualsNoCase(argv[i], option)) return true;
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  auto answer = k460::ProgramAnswer();
  std::u16string address = answer ? k460::Utf8ToUtf16(*answer) : std::u16string();

  k460::ShownMessage shown;
  shown.kind = "DeviceSearch";
  shown.caption = u"qtxssearch";
  shown.text = address;
  shown.details["address"] = address;
  shown.answer = address.empty() ? IDCANCEL : IDOK;
  const int choices[] = {IDOK, IDCANCEL};
  bool chosen = k460::LogShownMessage(std::move(shown), choices) == IDOK && !address.empty();

  if (!HasOption(argc, argv, "/p")) return 0;
  if (!WaitNamedPipeW(kPipe, kPipeWaitMs)) return 1;
  HANDLE pipe = CreateFileW(kPipe, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (pipe == INVALID_HANDLE_VALUE) return 1;
  bool ok = true;
  if (chosen) {
    int bytes = WideCharToMultiByte(CP_ACP, 0, address.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string ansi(bytes > 0 ? static_cast<std::size_t>(bytes) : 0, '\0');
    WideCharToMultiByte(CP_ACP, 0, address.c_str(), -1, ansi.data(), bytes, nullptr, nullptr);
    DWORD written = 0;
    ok = bytes > 0 && WriteFile(pipe, ansi.data(), static_cast<DWORD>(ansi.size()), &written, nullptr);
  }
  CloseHandle(pipe);
  return ok ? 0 : 1;
}
