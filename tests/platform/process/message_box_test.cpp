#include <dlfcn.h>
#include <gtest/gtest.h>

#include <regex>

#include "platform/base/host.h"
#include "platform/process/message_log.h"
#include "platform/process/process.h"
#include "tests/support/machine_fixture.h"

namespace {

using k460::testing::MachineTest;
using MessageBoxTest = MachineTest;

TEST_F(MessageBoxTest, TheDefaultAnswerIsTheDefaultButton) {
  struct Case {
    UINT style;
    int answer;
  };
  const Case cases[] = {
      {MB_OK, IDOK},
      {MB_OK | MB_ICONERROR | MB_SYSTEMMODAL, IDOK},
      {MB_OK | MB_DEFBUTTON2, IDOK},  // no second button: the first
      {MB_OKCANCEL, IDOK},
      {MB_OKCANCEL | MB_DEFBUTTON2 | MB_ICONQUESTION, IDCANCEL},
      {MB_ABORTRETRYIGNORE | MB_DEFBUTTON2, IDRETRY},
      {MB_ABORTRETRYIGNORE | MB_DEFBUTTON3, IDIGNORE},
      {MB_YESNOCANCEL, IDYES},
      {MB_YESNOCANCEL | MB_DEFBUTTON3 | MB_TOPMOST | MB_SETFOREGROUND, IDCANCEL},
      {MB_YESNO | MB_DEFBUTTON2 | MB_ICONWARNING, IDNO},
      {MB_YESNO | MB_DEFBUTTON3, IDYES},
      {MB_RETRYCANCEL | MB_SERVICE_NOTIFICATION, IDRETRY},
      {MB_RETRYCANCEL | MB_DEFBUTTON2, IDCANCEL},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(k460::DescribeMessageBoxStyle(c.style));
    EXPECT_EQ(MessageBoxW(nullptr, u"text", u"caption", c.style), c.answer);
  }
  auto log = k460::ReadMessageLog();
  ASSERT_EQ(log.size(), std::size(cases));
  for (std::size_t i = 0; i < log.size(); ++i) {
    EXPECT_EQ(log[i].style, cases[i].style);
    EXPECT_EQ(log[i].answer, cases[i].answer);
    EXPECT_EQ(log[i].answeredBy, "default");
  }
}

TEST_F(MessageBoxTest, QueuedAnswersComeFirstThenTheAnswererThenTheDefault) {
  k460::SetMessageAnswerer([](const k460::ShownMessage& m) -> std::optional<int> {
    EXPECT_EQ(m.kind, "MessageBox");
    if (m.caption == u"ask") return IDNO;
    return std::nullopt;
  });
  k460::QueueMessageAnswers({IDCANCEL, IDRETRY});
  struct Step {
    UINT style;
    const char16_t* caption;
    int answer;
    const char* answeredBy;
  };
  const Step steps[] = {
      {MB_YESNOCANCEL, u"ask", IDCANCEL, "queue"},           // the queue beats the answerer
      {MB_YESNO, u"ask", IDYES, "default"},                  // IDRETRY is no button of this box: used up
      {MB_YESNO, u"ask", IDNO, "callback"},                  // queue empty: the answerer
      {MB_YESNO | MB_DEFBUTTON2, u"other", IDNO, "default"}, // the answerer passes
  };
  for (const Step& s : steps) EXPECT_EQ(MessageBoxW(nullptr, u"?", s.caption, s.style), s.answer);
  EXPECT_EQ(k460::QueuedMessageAnswerCount(), 0u);
  auto log = k460::ReadMessageLog();
  ASSERT_EQ(log.size(), std::size(steps));
  for (std::size_t i = 0; i < log.size(); ++i) {
    EXPECT_EQ(log[i].answer, steps[i].answer);
    EXPECT_EQ(log[i].answeredBy, steps[i].answeredBy);
  }
}

TEST_F(MessageBoxTest, TheRecordTellsWhatWasShownByWhomAndWhen) {
  k460::AdvanceClock(5000);
  const ULONGLONG tick = GetTickCount64();
  EXPECT_EQ(MessageBoxW(reinterpret_cast<HWND>(0x1234), u"ポート LPT9: が既に存在しています。", u"AddPort",
                        MB_OK | MB_ICONERROR),
            IDOK);
  EXPECT_EQ(MessageBoxW(nullptr, nullptr, nullptr, MB_OK), IDOK);

  void* library = ::dlopen(K460_BIN_DIR "/message_caller.so", RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << ::dlerror();
  auto show = reinterpret_cast<int (*)(LPCWSTR, UINT)>(::dlsym(library, "ShowMessageFromLibrary"));
  ASSERT_NE(show, nullptr);
  k460::QueueMessageAnswers({IDRETRY});
  EXPECT_EQ(show(u"from a library", MB_RETRYCANCEL | MB_ICONWARNING), IDRETRY);

  auto log = k460::ReadMessageLog();
  ASSERT_EQ(log.size(), 3u);
  const auto& first = log[0];
  EXPECT_EQ(first.kind, "MessageBox");
  EXPECT_EQ(first.caption, u"AddPort");
  EXPECT_EQ(first.text, u"ポート LPT9: が既に存在しています。");
  EXPECT_EQ(first.style, MB_OK | MB_ICONERROR);
  EXPECT_EQ(first.answer, IDOK);
  EXPECT_EQ(first.program, "platform_process_test");
  EXPECT_EQ(first.module, "platform_process_test");
  EXPECT_EQ(first.tick, tick);
  EXPECT_EQ(first.processId, GetCurrentProcessId());
  EXPECT_TRUE(std::regex_match(first.time, std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d\d\dZ)")))
      << first.time;

  EXPECT_EQ(log[1].caption, u"Error");  // the system's caption for none
  EXPECT_EQ(log[1].text, u"");

  EXPECT_EQ(log[2].module, "message_caller.so");
  EXPECT_EQ(log[2].program, "platform_process_test");
  EXPECT_EQ(log[2].caption, u"message_caller");
  EXPECT_EQ(log[2].answer, IDRETRY);
  ::dlclose(library);
}

TEST_F(MessageBoxTest, UnknownButtonSetsAndInjectedFaultsShowNothing) {
  SetLastError(0);
  EXPECT_EQ(MessageBoxW(nullptr, u"x", u"y", 0x7), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_MSGBOX_STYLE);
  k460::InjectFault("MessageBoxW", 0, 1, ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_EQ(MessageBoxW(nullptr, u"x", u"y", MB_OK), 0);
  EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_TRUE(k460::ReadMessageLog().empty());
}

TEST_F(MessageBoxTest, StylesReadAsWords) {
  EXPECT_EQ(k460::DescribeMessageBoxStyle(MB_OK), "OK");
  EXPECT_EQ(k460::DescribeMessageBoxStyle(MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2 | MB_SYSTEMMODAL),
            "YESNO ICONWARNING DEFBUTTON2 SYSTEMMODAL");
  EXPECT_EQ(k460::DescribeMessageBoxStyle(MB_OK | MB_ICONINFORMATION | MB_SERVICE_NOTIFICATION | MB_TOPMOST |
                                          MB_SETFOREGROUND),
            "OK ICONINFORMATION SETFOREGROUND TOPMOST SERVICE_NOTIFICATION");
}

}  // namespace
