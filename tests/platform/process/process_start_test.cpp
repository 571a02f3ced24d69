#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/base/internal.h"
#include "platform/base/text.h"
#include "platform/process/command_line.h"
#include "platform/process/process.h"
#include "platform/process/process_host.h"
#include "platform/sync/sync.h"
#include "tests/support/machine_fixture.h"

namespace k460::testing {
namespace {

using ProcessStartTest = MachineTest;

constexpr char16_t kChild[] = u"C:\\Windows\\System32\\process_test_child.exe";

// A primary token of the calling thread's user, as a service makes one to
// start a program in the user's session.
HANDLE PrimaryToken() {
  HANDLE thread = nullptr, primary = nullptr;
  EXPECT_TRUE(OpenThreadToken(GetCurrentThread(), TOKEN_ALL_ACCESS, TRUE, &thread));
  EXPECT_TRUE(DuplicateTokenEx(thread, MAXIMUM_ALLOWED, nullptr, SecurityImpersonation, TokenPrimary, &primary));
  CloseHandle(thread);
  return primary;
}

// Starts `line` as the user and waits for it; returns its exit code.
std::optional<DWORD> RunAsUser(std::u16string line) {
  HANDLE token = PrimaryToken();
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION info{};
  BOOL started = CreateProcessAsUserW(token, nullptr, line.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS,
                                      nullptr, nullptr, &startup, &info);
  CloseHandle(token);
  if (!started) return std::nullopt;
  EXPECT_EQ(WaitForSingleObject(info.hProcess, INFINITE), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(info.hThread, 0), WAIT_OBJECT_0);
  DWORD code = 0;
  EXPECT_TRUE(GetExitCodeProcess(info.hProcess, &code));
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return code;
}

std::vector<std::string> RecordLines(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(CommandLineTest, SplitsByTheSystemsRules) {
  struct Case {
    std::u16string line;
    std::vector<std::u16string> args;
  };
  const Case cases[] = {
      {u"prog a b", {u"prog", u"a", u"b"}},
      {u"\"C:\\Program Files\\x.exe\" a", {u"C:\\Program Files\\x.exe", u"a"}},
      {u"C:\\dir\\x.exe  \t a\\b", {u"C:\\dir\\x.exe", u"a\\b"}},
      {u"x /M\"two words\" /C\"cap\"", {u"x", u"/Mtwo words", u"/Ccap"}},
      {u"x \"a \\\"q\\\" b\"", {u"x", u"a \"q\" b"}},
      {u"x a\\\\\"b c\"", {u"x", u"a\\b c"}},
      {u"x \"say \"\"hi\"\"\"", {u"x", u"say \"hi\""}},
      {u"x \"\"", {u"x", u""}},
      {u"x \"unterminated tail", {u"x", u"unterminated tail"}},
      {u"x \"line\nbreak\"", {u"x", u"line\nbreak"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Utf16ToUtf8(c.line));
    EXPECT_EQ(process::SplitCommandLine(c.line), c.args);
  }
}

TEST_F(ProcessStartTest, AProgramOfTheSystemDirectoryRunsAsTheUserAndItsExitCodeIsKept) {
  EXPECT_EQ(RunAsUser(std::u16string(kChild) + u" exit 7"), 7u);
  EXPECT_EQ(RunAsUser(u"process_test_child exit 0"), 0u);  // a bare name, without ".exe"
}

TEST_F(ProcessStartTest, TheProgramGetsItsArgumentsTheRootAndItsQueuedAnswer) {
  auto record = root() / "record.txt";
  QueueProgramAnswers(u"C:\\WINDOWS\\system32\\PROCESS_TEST_CHILD.EXE", {"192.168.1.30"});
  std::u16string line = std::u16string(kChild) + u" record \"" + Utf8ToUtf16(record.string()) +
                        u"\" /M\"Port KP2_1.2.3.4 \\\"x\\\"\" /C\"キャプション\"";
  ASSERT_EQ(RunAsUser(line), 0u);
  EXPECT_EQ(RecordLines(record), (std::vector<std::string>{"arg:/MPort KP2_1.2.3.4 \"x\"", "arg:/Cキャプション",
                                                            "root:" + root().string(), "answer:192.168.1.30"}));
  // The queue is used up: the next start has no answer.
  ASSERT_EQ(RunAsUser(std::u16string(kChild) + u" record \"" + Utf8ToUtf16(record.string()) + u"\""), 0u);
  EXPECT_EQ(RecordLines(record).back(), "answer:<none>");
}

TEST_F(ProcessStartTest, OnlyProgramsOfTheMachineAndTheStandInsCanBeStarted) {
  // Installed inside the root under a Windows path of its own.
  auto installed = HostPath(u"C:\\Program Files\\Velkaro\\child.exe");
  std::filesystem::create_directories(installed.parent_path());
  std::filesystem::copy_file(std::filesystem::path(K460_BIN_DIR) / "process_test_child", installed);
  EXPECT_EQ(RunAsUser(u"\"C:\\Program Files\\Velkaro\\child.exe\" exit 3"), 3u);

  for (std::u16string line : {u"C:\\Windows\\System32\\no_such_program.exe", u"/bin/true",
                              u"C:\\Program Files\\process_test_child.exe exit 0", u"..\\..\\bin\\true.exe"}) {
    SCOPED_TRACE(Utf16ToUtf8(line));
    EXPECT_FALSE(RunAsUser(line));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  }
}

TEST_F(ProcessStartTest, BadTokensHandlesAndArgumentsAreRefused) {
  HANDLE impersonation = nullptr;
  ASSERT_TRUE(OpenThreadToken(GetCurrentThread(), TOKEN_ALL_ACCESS, TRUE, &impersonation));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::u16string line = std::u16string(kChild) + u" exit 0";
  EXPECT_FALSE(CreateProcessAsUserW(impersonation, nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                    &startup, &info));
  EXPECT_EQ(GetLastError(), ERROR_BAD_TOKEN_TYPE);
  EXPECT_FALSE(CreateProcessAsUserW(nullptr, nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                    &startup, &info));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_FALSE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr, &info));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  std::u16string missingFolder = u"C:\\no\\such\\folder";
  EXPECT_FALSE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, missingFolder.c_str(),
                              &startup, &info));
  EXPECT_EQ(GetLastError(), ERROR_DIRECTORY);

  HANDLE copy = nullptr;
  EXPECT_FALSE(DuplicateTokenEx(impersonation, 0, nullptr, SecurityDelegation, TokenPrimary, &copy));
  EXPECT_EQ(GetLastError(), ERROR_BAD_IMPERSONATION_LEVEL);
  EXPECT_FALSE(DuplicateTokenEx(nullptr, 0, nullptr, SecurityImpersonation, TokenPrimary, &copy));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_FALSE(OpenThreadToken(reinterpret_cast<HANDLE>(0x7777), TOKEN_QUERY, TRUE, &copy));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  CloseHandle(impersonation);

  DWORD code = 0;
  EXPECT_FALSE(GetExitCodeProcess(reinterpret_cast<HANDLE>(0x7777), &code));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST_F(ProcessStartTest, ShellExecuteOpensProgramsOnly) {
  auto record = root() / "shell.txt";
  std::u16string parameters = u"record \"" + Utf8ToUtf16(record.string()) + u"\" one";
  auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(nullptr, u"open", kChild, parameters.c_str(), nullptr, SW_HIDE));
  EXPECT_GT(result, 32);
  // The program runs on its own; its record appears when it is done.
  for (int i = 0; i < 500 && RecordLines(record).size() < 3; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_FALSE(RecordLines(record).empty());
  EXPECT_EQ(RecordLines(record).front(), "arg:one");

  struct Case {
    const char16_t* verb;
    const char16_t* file;
    INT_PTR result;
  };
  const Case cases[] = {
      {u"print", kChild, SE_ERR_NOASSOC},
      {nullptr, u"http://192.168.1.10/FAXLOGIN.HTM", SE_ERR_NOASSOC},
      {u"open", u"C:\\Windows\\System32\\missing.exe", SE_ERR_FNF},
      {u"open", u"", SE_ERR_FNF},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Utf16ToUtf8(c.file));
    EXPECT_EQ(reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, c.verb, c.file, nullptr, nullptr, SW_HIDE)), c.result);
  }
}

}  // namespace
}  // namespace k460::testing
