#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "platform/base/host.h"
#include "platform/process/message_log.h"
#include "platform/process/process.h"
#include "tests/support/machine_fixture.h"

namespace {

using k460::testing::MachineTest;
using MessageLogTest = MachineTest;

int CountLines(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

TEST_F(MessageLogTest, AnyTextSurvivesTheLogOnOneLinePerRecord) {
  const std::u16string texts[] = {
      u"ポートに対して書き込みエラーが発生しました。\n印刷を終了します。\n",
      u"quotes \" and \\ backslashes \\\" and /slashes/",
      u"control \x01\x1f\t\r\n\x7f characters",
      std::u16string(u"embedded\0nul", 12),
      u"emoji \U0001F5A8 printer",
      std::u16string(u"lone \xD800 high and \xDC00 low surrogates"),
      u"",
      u"KEY = (Software\\Velkaro\\Ar+Vento\\Common)\n",
  };
  for (const auto& text : texts) {
    k460::ShownMessage m;
    m.kind = "Test";
    m.caption = text;
    m.text = text;
    m.details["path"] = text;
    k460::LogShownMessage(m);
  }
  EXPECT_EQ(CountLines(ReadHostFile(k460::MessageLogPath())), static_cast<int>(std::size(texts)));
  auto log = k460::ReadMessageLog();
  ASSERT_EQ(log.size(), std::size(texts));
  for (std::size_t i = 0; i < log.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(log[i].caption, texts[i]);
    EXPECT_EQ(log[i].text, texts[i]);
    EXPECT_EQ(log[i].details.at("path"), texts[i]);
  }
}

TEST_F(MessageLogTest, OtherKindsLogThroughTheSameRecordsAndPolicy) {
  k460::QueueMessageAnswers({1234});
  k460::ShownMessage browser;
  browser.kind = "Browser";
  browser.text = u"http://10.0.0.5:80/FAXLOGIN.HTM?SERVICE=0000002a";
  browser.details["program"] = u"qtxweb.exe";
  EXPECT_EQ(k460::LogShownMessage(browser), 1234);  // any answer goes without choices

  k460::ShownMessage save;
  save.kind = "SaveDialog";
  save.caption = u"名前を付けて保存";
  save.answer = IDCANCEL;
  save.module = "netmon.so";  // a facility acting for a library names it itself
  EXPECT_EQ(k460::LogShownMessage(save), IDCANCEL);

  auto log = k460::ReadMessageLog();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].kind, "Browser");
  EXPECT_EQ(log[0].details.at("program"), u"qtxweb.exe");
  EXPECT_EQ(log[0].answeredBy, "queue");
  EXPECT_EQ(log[0].module, "platform_process_test");
  EXPECT_EQ(log[1].module, "netmon.so");
  EXPECT_EQ(log[1].answeredBy, "default");
}

// Appends `count` records whose text is `count` copies of `letter`, long
// enough that a torn write would show.
void AppendRecords(char16_t letter, int count) {
  for (int i = 0; i < count; ++i) {
    k460::ShownMessage m;
    m.kind = "Stress";
    m.text = std::u16string(6000, letter);
    k460::LogShownMessage(m);
  }
}

TEST_F(MessageLogTest, ThreadsAndProcessesAppendWholeRecords) {
  constexpr int kEach = 40;
  std::vector<pid_t> children;
  for (char16_t letter : {u'p', u'q'}) {
    pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      AppendRecords(letter, kEach);
      ::_exit(0);
    }
    children.push_back(pid);
  }
  std::vector<std::thread> threads;
  for (char16_t letter : {u'a', u'b', u'c'}) threads.emplace_back(AppendRecords, letter, kEach);
  for (auto& t : threads) t.join();
  for (pid_t pid : children) {
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }

  auto log = k460::ReadMessageLog();
  EXPECT_EQ(CountLines(ReadHostFile(k460::MessageLogPath())), 5 * kEach);
  ASSERT_EQ(log.size(), 5u * kEach);
  std::map<char16_t, int> perWriter;
  for (const auto& record : log) {
    ASSERT_EQ(record.text.size(), 6000u);
    EXPECT_EQ(record.text.find_first_not_of(record.text[0]), std::u16string::npos);
    ++perWriter[record.text[0]];
  }
  for (char16_t letter : {u'a', u'b', u'c', u'p', u'q'}) EXPECT_EQ(perWriter[letter], kEach);
}

TEST_F(MessageLogTest, UnreadableLinesAreSkipped) {
  EXPECT_TRUE(k460::ReadMessageLog().empty());  // no log yet
  k460::ShownMessage m;
  m.kind = "MessageBox";
  m.text = u"kept";
  k460::LogShownMessage(m);
  {
    std::ofstream out(k460::MessageLogPath(), std::ios::app);
    out << "{\"kind\":\"MessageBox\",\"text\":\"cut sh\n";  // a record cut short
    out << "not json at all\n\n";
  }
  k460::LogShownMessage(m);
  auto log = k460::ReadMessageLog();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[1].text, u"kept");
}

TEST_F(MessageLogTest, AnswersReadFromText) {
  struct Case {
    const char* text;
    bool ok;
    std::vector<int> answers;
  };
  const Case cases[] = {
      {"yes,no", true, {IDYES, IDNO}},
      {"IDOK, cancel ,2", true, {IDOK, IDCANCEL, 2}},
      {"Abort,RETRY,ignore", true, {IDABORT, IDRETRY, IDIGNORE}},
      {"", true, {}},
      {"maybe", false, {}},
      {"yes,,no", false, {}},
      {"1x", false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    k460::ResetMessagePolicy();
    EXPECT_EQ(k460::QueueMessageAnswersFromText(c.text), c.ok);
    std::vector<int> answered;
    while (k460::QueuedMessageAnswerCount() > 0) answered.push_back(k460::LogShownMessage(k460::ShownMessage{}));
    EXPECT_EQ(answered, c.answers);
  }
}

TEST_F(MessageLogTest, ANewMachineStartsWithoutQueuedAnswersOrAnswerer) {
  k460::QueueMessageAnswers({IDNO});
  k460::SetMessageAnswerer([](const k460::ShownMessage&) { return std::optional<int>(IDNO); });
  auto other = k460::testing::MakeTempFolder("k460-other");
  k460::SetMachineRoot(other);
  EXPECT_EQ(k460::QueuedMessageAnswerCount(), 0u);
  EXPECT_EQ(MessageBoxW(nullptr, u"x", u"y", MB_YESNO), IDYES);
  EXPECT_EQ(k460::ReadMessageLog().size(), 1u);
  k460::SetMachineRoot(root());
  EXPECT_TRUE(k460::ReadMessageLog().empty());  // the log belongs to the machine
  std::filesystem::remove_all(other);
}

TEST_F(MessageLogTest, HostsQueueAnswersInTheEnvironment) {
  if (std::getenv("K460_MESSAGE_ANSWERS")) {  // the process started below
    EXPECT_EQ(MessageBoxW(nullptr, u"x", u"y", MB_YESNOCANCEL), IDNO);
    EXPECT_EQ(MessageBoxW(nullptr, u"x", u"y", MB_YESNOCANCEL), IDCANCEL);
    EXPECT_EQ(MessageBoxW(nullptr, u"x", u"y", MB_YESNOCANCEL), IDYES);
    return;
  }
  std::string command = "K460_MESSAGE_ANSWERS=no,cancel /proc/" + std::to_string(::getpid()) +
                        "/exe --gtest_filter=MessageLogTest.HostsQueueAnswersInTheEnvironment >/dev/null 2>&1";
  EXPECT_EQ(std::system(command.c_str()), 0);
}

}  // namespace
