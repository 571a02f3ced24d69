// The machine's message log and the answers given to what is shown: the C++
// side for hosts, tests and the facilities that show things (message boxes
// now; dialogs, the browser and helper programs add records of their own
// kinds). The log is <machine root>/messages.log, one JSON object per line,
// appended safely by any number of threads and processes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/process/process.h"

namespace k460 {

// One thing shown to a person, as logged.
struct ShownMessage {
  std::string kind;  // "MessageBox", or the kind of another facility
  std::u16string caption;
  std::u16string text;
  UINT style = 0;  // the kind's style bits (MB_ flags for a message box)
  int answer = 0;  // what the person answered; passed in as the default answer
  std::map<std::string, std::u16string> details;  // further named texts of a kind (address, file, ...)

  // Filled in when logged, unless the caller has set them.
  std::string program;  // the process's program
  std::string module;   // the library or program that showed it
  // Always filled in when logged.
  std::string time;         // UTC, ISO 8601 with milliseconds
  std::uint64_t tick = 0;   // the platform clock (virtual in tests)
  std::uint32_t processId = 0;
  std::string answeredBy;  // "queue", "callback" or "default"
};

// Asks the answer policy, appends the record and returns the answer.
// `choices` are the answers a person could give (empty: any); an answer from
// the policy outside them gives way to the default. Without a module of its
// own the record names the module that called this function.
int LogShownMessage(ShownMessage message, std::span<const int> choices = {});

// The records of the current machine root in the order they were shown;
// lines that cannot be read (a record cut short) are skipped.
std::vector<ShownMessage> ReadMessageLog();
std::filesystem::path MessageLogPath();

// The file name of the library or program holding `address` ("netmon.so").
std::string ModuleNameAt(const void* address);

// ---- Answer policy ------------------------------------------------------------
// Queued answers go first, one per message of any kind; then the answerer;
// then the default. Changing the machine root resets the policy. Hosts may
// queue answers in K460_MESSAGE_ANSWERS ("yes,no,2"), read at the first
// message of the process.
using MessageAnswerer = std::function<std::optional<int>(const ShownMessage& message)>;
void SetMessageAnswerer(MessageAnswerer answerer);
void QueueMessageAnswers(const std::vector<int>& answers);
// Names (ok, cancel, abort, retry, ignore, yes, no, with or without "ID") or
// numbers, separated by commas; queues nothing and answers false on a bad one.
bool QueueMessageAnswersFromText(std::string_view text);
std::size_t QueuedMessageAnswerCount();
void ResetMessagePolicy();

// ---- Message box styles -------------------------------------------------------
// The answers of the box's buttons in order; empty for an unknown button set.
std::vector<int> MessageBoxButtons(UINT style);
// The answer of the default button (MB_DEFBUTTONn; the first when n is beyond the buttons).
int MessageBoxDefaultAnswer(UINT style);
// "YESNO ICONWARNING DEFBUTTON2 SYSTEMMODAL" and the like, for people.
std::string DescribeMessageBoxStyle(UINT style);
// "OK", "Cancel", ... or the number.
std::string MessageAnswerName(int answer);

}  // namespace k460
