// The message log file: one JSON object per line, appended with one write
// under an exclusive file lock, so that records of threads and processes
// never mix.
#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <fstream>
#include <sstream>

#include "platform/base/host.h"
#include "platform/base/text.h"
#include "platform/process/json_line.h"
#include "platform/process/message_log.h"
#include "platform/process/message_policy.h"

namespace k460 {
namespace {

std::string UtcNow() {
  auto now = std::chrono::system_clock::now();
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
  std::time_t seconds = static_cast<std::time_t>(ms / 1000);
  std::tm utc{};
  ::gmtime_r(&seconds, &utc);
  char text[40];
  std::size_t n = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &utc);
  std::snprintf(text + n, sizeof text - n, ".%03dZ", static_cast<int>(ms % 1000));
  return text;
}

json::Value ToJson(const ShownMessage& m) {
  auto object = json::Value::Object();
  object.Add("time", json::Value::String(Utf8ToUtf16(m.time)));
  object.Add("tick", json::Value::Integer(static_cast<std::int64_t>(m.tick)));
  object.Add("pid", json::Value::Integer(m.processId));
  object.Add("program", json::Value::String(Utf8ToUtf16(m.program)));
  object.Add("module", json::Value::String(Utf8ToUtf16(m.module)));
  object.Add("kind", json::Value::String(Utf8ToUtf16(m.kind)));
  object.Add("caption", json::Value::String(m.caption));
  object.Add("text", json::Value::String(m.text));
  object.Add("style", json::Value::Integer(m.style));
  object.Add("answer", json::Value::Integer(m.answer));
  object.Add("answeredBy", json::Value::String(Utf8ToUtf16(m.answeredBy)));
  if (!m.details.empty()) {
    auto details = json::Value::Object();
    for (auto& [key, value] : m.details) details.Add(key, json::Value::String(value));
    object.Add("details", std::move(details));
  }
  return object;
}

std::optional<ShownMessage> FromJson(const json::Value& object) {
  if (object.kind != json::Value::Kind::Object) return std::nullopt;
  ShownMessage m;
  auto text = [&](const char* key) -> std::u16string {
    auto* v = object.Find(key);
    return v && v->kind == json::Value::Kind::String ? v->text : std::u16string();
  };
  auto number = [&](const char* key) -> std::int64_t {
    auto* v = object.Find(key);
    return v && v->kind == json::Value::Kind::Integer ? v->integer : 0;
  };
  m.time = Utf16ToUtf8(text("time"));
  m.tick = static_cast<std::uint64_t>(number("tick"));
  m.processId = static_cast<std::uint32_t>(number("pid"));
  m.program = Utf16ToUtf8(text("program"));
  m.module = Utf16ToUtf8(text("module"));
  m.kind = Utf16ToUtf8(text("kind"));
  m.caption = text("caption");
  m.text = text("text");
  m.style = static_cast<UINT>(number("style"));
  m.answer = static_cast<int>(number("answer"));
  m.answeredBy = Utf16ToUtf8(text("answeredBy"));
  if (auto* details = object.Find("details"); details && details->kind == json::Value::Kind::Object) {
    for (std::size_t i = 0; i < details->keys.size(); ++i)
      if (details->members[i].kind == json::Value::Kind::String) m.details[details->keys[i]] = details->members[i].text;
  }
  return m;
}

bool AppendLine(const std::filesystem::path& file, const std::string& line) {
  std::error_code ec;
  std::filesystem::create_directories(file.parent_path(), ec);
  int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  bool ok = ::flock(fd, LOCK_EX) == 0;
  for (std::size_t done = 0; ok && done < line.size();) {
    ssize_t n = ::write(fd, line.data() + done, line.size() - done);
    if (n < 0 && errno == EINTR) continue;
    ok = n > 0;
    if (ok) done += static_cast<std::size_t>(n);
  }
  ::close(fd);  // also drops the lock
  return ok;
}

}  // namespace

std::filesystem::path MessageLogPath() { return MachineRoot() / "messages.log"; }

__attribute__((noinline)) int LogShownMessage(ShownMessage message, std::span<const int> choices) {
  if (message.module.empty()) message.module = ModuleNameAt(__builtin_return_address(0));
  if (message.program.empty()) message.program = program_invocation_short_name;
  message.time = UtcNow();
  message.tick = ClockNowMs();
  message.processId = static_cast<std::uint32_t>(::getpid());
  ChooseMessageAnswer(message, choices);
  // A log that cannot be written loses the record, not the answer.
  AppendLine(MessageLogPath(), json::Write(ToJson(message)) + "\n");
  return message.answer;
}

std::vector<ShownMessage> ReadMessageLog() {
  std::vector<ShownMessage> records;
  int fd = ::open(MessageLogPath().c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return records;
  ::flock(fd, LOCK_SH);
  std::string content;
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    content.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  std::istringstream lines(content);
  std::string line;
  while (std::getline(lines, line)) {
    if (auto value = json::Read(line))
      if (auto record = FromJson(*value)) records.push_back(std::move(*record));
  }
  return records;
}

}  // namespace k460
