// Tokens of resource scripts, with the preprocessor lines that scripts and
// the C headers they share with the code use: #include, #define, #undef,
// #ifdef/#ifndef/#else/#endif, #pragma (ignored) and #error. A header
// (.h, .hh, .hpp) contributes its preprocessor lines only.
#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tools/k460rc/diagnostics.h"

namespace k460rc {

enum class TokenKind { End, Identifier, Number, String, Punct };

struct Token {
  TokenKind kind = TokenKind::End;
  std::string text;        // identifier, punctuation, or a literal's raw contents
  std::int64_t value = 0;  // numbers
  bool isLong = false;     // numbers with an L suffix: 32-bit items in data blocks
  bool wide = false;       // L"..." literals
  SourceLocation where;
};

// A #define; its body is tokenized when it is used, so that a shared header
// may define things the compiler cannot read as long as scripts don't use them.
struct Macro {
  std::string body;
  SourceLocation bodyAt;
  SourceLocation where;
  bool functionLike = false;
};

// A file being read, and where in it.
struct SourceText {
  std::filesystem::path path;
  std::string display;  // path as shown in messages
  std::string text;
  std::size_t pos = 0;
  int line = 1;
  int column = 1;
  bool header = false;
  bool lineStart = true;
  std::size_t conditionalDepth = 0;  // conditionals open when the file began

  bool AtEnd() const { return pos >= text.size(); }
  char Peek(std::size_t ahead = 0) const { return pos + ahead < text.size() ? text[pos + ahead] : '\0'; }
  void Advance();
  SourceLocation Here() const { return {display, line, column}; }
};

class Lexer {
 public:
  explicit Lexer(const std::filesystem::path& script);

  Token Next();
  const Token& Peek();
  const Macro* FindMacro(const std::string& name) const;
  // Every file read so far, the script first.
  const std::vector<std::filesystem::path>& files() const { return files_; }

 private:
  using Source = SourceText;
  struct Conditional {
    bool active;      // this branch is taken and every enclosing one is
    bool parentActive;
    bool taken;       // some branch of this conditional was taken
    bool sawElse;
    SourceLocation where;
  };

  void Open(const std::filesystem::path& file, const SourceLocation& from);
  Token Scan();
  bool Active() const { return conditionals_.empty() || conditionals_.back().active; }
  void SkipSpace(Source& s);
  void SkipLine(Source& s);
  std::string ReadDirectiveLine(Source& s);
  void Directive(Source& s, SourceLocation where);

  std::vector<Source> stack_;
  std::vector<Conditional> conditionals_;
  std::deque<Token> lookahead_;
  std::map<std::string, Macro> macros_;
  std::vector<std::filesystem::path> files_;
};

// The file a literal names ("res\\logo.bmp" or "res/logo.bmp"), relative to
// the folder of the file `relativeTo`.
std::filesystem::path PathFromLiteral(const Token& literal, const std::filesystem::path& relativeTo);

// Tokens of one line of text (a macro body); `where` is its start.
std::vector<Token> Tokenize(const std::string& text, const SourceLocation& where);

}  // namespace k460rc
