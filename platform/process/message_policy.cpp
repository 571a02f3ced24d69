// How shown messages are answered: queued answers first, then the host's or
// test's answerer, then the default. Reset whenever the machine changes.
#include <algorithm>
#include <cstdlib>
#include <deque>
#include <mutex>

#include "platform/base/host.h"
#include "platform/base/text.h"
#include "platform/process/message_log.h"
#include "platform/process/message_policy.h"

namespace k460 {
namespace {

std::mutex gMutex;
std::deque<int> gQueue;
MessageAnswerer gAnswerer;
bool gEnvironmentRead = false;

std::optional<std::vector<int>> ParseAnswers(std::string_view text) {
  static const std::pair<const char*, int> kNames[] = {{"OK", IDOK},         {"CANCEL", IDCANCEL}, {"ABORT", IDABORT},
                                                       {"RETRY", IDRETRY},   {"IGNORE", IDIGNORE}, {"YES", IDYES},
                                                       {"NO", IDNO}};
  std::vector<int> answers;
  while (!text.empty()) {
    std::size_t comma = text.find(',');
    std::string_view item = text.substr(0, comma);
    text = comma == std::string_view::npos ? std::string_view{} : text.substr(comma + 1);
    while (!item.empty() && item.front() == ' ') item.remove_prefix(1);
    while (!item.empty() && item.back() == ' ') item.remove_suffix(1);
    if (item.empty()) return std::nullopt;
    if (EqualsNoCase(item.substr(0, 2), "ID")) item.remove_prefix(2);
    std::optional<int> answer;
    for (auto [name, value] : kNames)
      if (EqualsNoCase(item, name)) answer = value;
    if (!answer && item.find_first_not_of("0123456789") == std::string_view::npos && item.size() <= 9)
      answer = std::atoi(std::string(item).c_str());
    if (!answer) return std::nullopt;
    answers.push_back(*answer);
  }
  return answers;
}

// Called with gMutex held.
void ReadEnvironmentOnce() {
  if (gEnvironmentRead) return;
  gEnvironmentRead = true;
  if (const char* env = std::getenv("K460_MESSAGE_ANSWERS"); env && *env)
    if (auto answers = ParseAnswers(env)) gQueue.insert(gQueue.end(), answers->begin(), answers->end());
}

const bool gResetWithTheMachine = (OnMachineRootChange(ResetMessagePolicy), true);

}  // namespace

void SetMessageAnswerer(MessageAnswerer answerer) {
  std::lock_guard lock(gMutex);
  gAnswerer = std::move(answerer);
}

void QueueMessageAnswers(const std::vector<int>& answers) {
  std::lock_guard lock(gMutex);
  ReadEnvironmentOnce();
  gQueue.insert(gQueue.end(), answers.begin(), answers.end());
}

bool QueueMessageAnswersFromText(std::string_view text) {
  auto answers = ParseAnswers(text);
  if (!answers) return false;
  QueueMessageAnswers(*answers);
  return true;
}

std::size_t QueuedMessageAnswerCount() {
  std::lock_guard lock(gMutex);
  ReadEnvironmentOnce();
  return gQueue.size();
}

void ResetMessagePolicy() {
  std::lock_guard lock(gMutex);
  gQueue.clear();
  gAnswerer = nullptr;
}

void ChooseMessageAnswer(ShownMessage& message, std::span<const int> choices) {
  auto offered = [&](int answer) {
    return choices.empty() || std::find(choices.begin(), choices.end(), answer) != choices.end();
  };
  std::optional<int> answer;
  const char* source = nullptr;
  MessageAnswerer answerer;
  {
    std::lock_guard lock(gMutex);
    ReadEnvironmentOnce();
    if (!gQueue.empty()) {
      answer = gQueue.front();
      gQueue.pop_front();
      source = "queue";
    } else {
      answerer = gAnswerer;
    }
  }
  // The answerer runs without the lock, so that it may queue answers or
  // signal other threads itself.
  if (answerer) {
    answer = answerer(message);
    source = "callback";
  }
  if (answer && offered(*answer)) {
    message.answer = *answer;
    message.answeredBy = source;
  } else {
    message.answeredBy = "default";
  }
}

}  // namespace k460
