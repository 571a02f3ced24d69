#include "tools/print/script_lexer.h"

namespace k460::print {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

}  // namespace

std::vector<ScriptWord> SplitScriptLine(std::string_view line) {
  std::vector<ScriptWord> words;
  std::size_t i = 0;
  while (i < line.size()) {
    if (IsBlank(line[i])) {
      ++i;
      continue;
    }
    if (line[i] == '#') break;
    ScriptWord word;
    if (line[i] == '"') {
      ++i;
      bool closed = false;
      while (i < line.size()) {
        const char c = line[i++];
        if (c == '"') {
          closed = true;
          break;
        }
        if (c == '\\') {
          if (i >= line.size()) break;
          const char escaped = line[i++];
          if (escaped != '"' && escaped != '\\')
            throw LineError(std::string("unknown escape '\\") + escaped + "' in a quoted text (use \\\" or \\\\)");
          word.text.push_back(escaped);
        } else {
          word.text.push_back(c);
        }
      }
      if (!closed) throw LineError("quoted text has no closing '\"'");
      if (i < line.size() && !IsBlank(line[i]) && line[i] != '#')
        throw LineError("a blank must follow the closing '\"' of a quoted text");
    } else {
      while (i < line.size() && !IsBlank(line[i]) && line[i] != '#') {
        if (line[i] == '"') throw LineError("'\"' inside a word; quote the whole text");
        word.text.push_back(line[i++]);
      }
    }
    words.push_back(std::move(word));
  }
  return words;
}

}  // namespace k460::print
