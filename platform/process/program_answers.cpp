// Queued answers of the helper programs, handed to each program as it starts.
#include <cstdlib>
#include <deque>
#include <map>
#include <mutex>

#include "platform/base/host.h"
#include "platform/base/text.h"
#include "platform/process/process_host.h"
#include "platform/process/program_answers.h"
#include "platform/process/program_files.h"

namespace k460 {
namespace {

std::mutex gMutex;
std::map<std::u16string, std::deque<std::string>>& Queues() {
  static auto* queues = new std::map<std::u16string, std::deque<std::string>>();
  return *queues;
}

const bool gClearedWithTheMachine = (OnMachineRootChange(ClearProgramAnswers), true);

}  // namespace

void QueueProgramAnswers(std::u16string_view program, const std::vector<std::string>& answers) {
  std::lock_guard lock(gMutex);
  auto& queue = Queues()[process::ProgramKey(program)];
  queue.insert(queue.end(), answers.begin(), answers.end());
}

void ClearProgramAnswers() {
  std::lock_guard lock(gMutex);
  Queues().clear();
}

std::optional<std::string> ProgramAnswer() {
  const char* answer = std::getenv(process::kProgramAnswerVariable);
  if (!answer) return std::nullopt;
  return std::string(answer);
}

namespace process {

std::optional<std::string> TakeProgramAnswer(std::u16string_view program) {
  std::lock_guard lock(gMutex);
  auto it = Queues().find(ProgramKey(program));
  if (it == Queues().end() || it->second.empty()) return std::nullopt;
  std::string answer = std::move(it->second.front());
  it->second.pop_front();
  return answer;
}

}  // namespace process
}  // namespace k460
