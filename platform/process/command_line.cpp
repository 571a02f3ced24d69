#include "platform/process/command_line.h"

namespace k460::process {
namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; }

}  // namespace

std::vector<std::u16string> SplitCommandLine(std::u16string_view line) {
  std::vector<std::u16string> args;
  std::size_t i = 0;
  while (i < line.size() && IsBlank(line[i])) ++i;
  if (i == line.size()) return args;

  std::u16string program;
  if (line[i] == u'"') {
    std::size_t end = line.find(u'"', i + 1);
    program = line.substr(i + 1, end == std::u16string_view::npos ? std::u16string_view::npos : end - i - 1);
    i = end == std::u16string_view::npos ? line.size() : end + 1;
  }
  while (i < line.size() && !IsBlank(line[i])) program += line[i++];
  args.push_back(std::move(program));

  for (;;) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (i == line.size()) break;
    std::u16string arg;
    bool quoted = false;
    while (i < line.size() && (quoted || !IsBlank(line[i]))) {
      char16_t c = line[i];
      if (c == u'\\') {
        std::size_t run = 0;
        while (i < line.size() && line[i] == u'\\') ++run, ++i;
        if (i < line.size() && line[i] == u'"') {
          arg.append(run / 2, u'\\');
          if (run % 2) {
            arg += u'"';
            ++i;
          }
        } else {
          arg.append(run, u'\\');
        }
        continue;
      }
      if (c == u'"') {
        if (quoted && i + 1 < line.size() && line[i + 1] == u'"') {
          arg += u'"';
          i += 2;
        } else {
          quoted = !quoted;
          ++i;
        }
        continue;
      }
      arg += c;
      ++i;
    }
    args.push_back(std::move(arg));
  }
  return args;
}

}  // namespace k460::process
