// A program that the process tests start through the platform. Its first
// argument says what to do:
//   exit N                 end with exit code N
//   record FILE            write its arguments, K460_ROOT and its program
//                          answer to FILE (host path), one per line
//   send PIPE TEXT...      open the pipe and write each TEXT as one message
//   connect-and-quit PIPE  open the pipe and end without writing
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/base/text.h"
#include "platform/files/files.h"
#include "platform/process/process_host.h"

int main(int argc, char** argv) {
  if (argc < 2) return 100;
  std::string what = argv[1];
  if (what == "exit" && argc == 3) return std::atoi(argv[2]);
  if (what == "record" && argc >= 3) {
    std::ofstream out(argv[2], std::ios::trunc);
    for (int i = 3; i < argc; ++i) out << "arg:" << argv[i] << "\n";
    const char* root = std::getenv("K460_ROOT");
    out << "root:" << (root ? root : "") << "\n";
    auto answer = k460::ProgramAnswer();
    out << "answer:" << (answer ? *answer : "<none>") << "\n";
    return 0;
  }
  if ((what == "send" || what == "connect-and-quit") && argc >= 3) {
    std::u16string name = k460::Utf8ToUtf16(argv[2]);
    HANDLE pipe = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (pipe == INVALID_HANDLE_VALUE) return 101;
    for (int i = 3; what == "send" && i < argc; ++i) {
      DWORD written = 0;
      if (!WriteFile(pipe, argv[i], static_cast<DWORD>(std::string(argv[i]).size()), &written, nullptr)) return 102;
    }
    CloseHandle(pipe);
    return 0;
  }
  return 100;
}
