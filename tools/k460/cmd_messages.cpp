// k460 messages: what the machine has shown to its user (message boxes,
// dialogs, the browser, ...), oldest first.
#include <fstream>
#include <iostream>

#include "platform/base/text.h"
#include "platform/process/message_log.h"
#include "tools/k460/commands.h"

namespace {

// Continuation lines of a text are indented under its first line; other
// control characters, which could steer the terminal, become "?".
std::string Indented(const std::u16string& text) {
  std::string out;
  for (char c : k460::Utf16ToUtf8(text)) {
    if (c == '\n') {
      out += "\n    ";
    } else {
      out += (static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7F ? '?' : c;
    }
  }
  while (!out.empty() && (out.back() == ' ' || out.back() == '\n')) out.pop_back();
  return out;
}

int PrintMessages(bool raw) {
  if (raw) {
    std::ifstream in(k460::MessageLogPath(), std::ios::binary);
    std::cout << in.rdbuf();
    return 0;
  }
  auto records = k460::ReadMessageLog();
  if (records.empty()) {
    std::cout << "No messages in " << k460::MessageLogPath().string() << "\n";
    return 0;
  }
  for (const auto& m : records) {
    std::cout << m.time << "  " << m.kind << " from " << m.module << " (" << m.program << ", pid " << m.processId
              << ")\n";
    std::cout << "  [" << Indented(m.caption) << "] " << Indented(m.text) << "\n";
    for (const auto& [key, value] : m.details) std::cout << "  " << key << ": " << Indented(value) << "\n";
    std::cout << "  ";
    if (m.kind == "MessageBox") std::cout << k460::DescribeMessageBoxStyle(m.style) << " -> ";
    std::cout << "answer " << k460::MessageAnswerName(m.answer) << " (" << m.answeredBy << ")\n";
  }
  return 0;
}

K460_COMMAND("messages", "Print the messages shown to the user of the machine",
             [](CLI::App& app) -> std::function<int()> {
               auto raw = std::make_shared<bool>(false);
               app.add_flag("--json", *raw, "Print the log as it is stored, one JSON record per line");
               return [raw] { return PrintMessages(*raw); };
             });

}  // namespace
