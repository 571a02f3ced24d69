// The tokenizer and preprocessor of resource scripts.
#include "tools/k460rc/lexer.h"

#include <cctype>
#include <fstream>
#include <sstream>

#include "tools/k460rc/text.h"

namespace k460rc {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMaxIncludeDepth = 32;

bool IsIdentifierStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsIdentifierChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

bool IsHeader(const fs::path& file) {
  std::string extension = file.extension().string();
  for (auto& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension == ".h" || extension == ".hh" || extension == ".hpp";
}

Token ScanNumber(SourceText& s) {
  Token token{TokenKind::Number, "", 0, false, false, s.Here()};
  std::uint64_t value = 0;
  bool hex = s.Peek() == '0' && (s.Peek(1) == 'x' || s.Peek(1) == 'X');
  if (hex) {
    s.Advance();
    s.Advance();
  }
  int digits = 0;
  while (!s.AtEnd()) {
    char c = s.Peek();
    int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                : hex && std::isxdigit(static_cast<unsigned char>(c))
                    ? std::tolower(static_cast<unsigned char>(c)) - 'a' + 10
                    : -1;
    if (digit < 0) break;
    value = value * (hex ? 16 : 10) + static_cast<std::uint64_t>(digit);
    if (value > 0xFFFFFFFFull) throw CompileError(token.where, "number does not fit in 32 bits");
    ++digits;
    s.Advance();
  }
  if (digits == 0) throw CompileError(token.where, "malformed number");
  while (s.Peek() == 'L' || s.Peek() == 'l' || s.Peek() == 'U' || s.Peek() == 'u') {
    if (s.Peek() == 'L' || s.Peek() == 'l') token.isLong = true;
    s.Advance();
  }
  if (IsIdentifierChar(s.Peek())) throw CompileError(token.where, "malformed number");
  token.value = static_cast<std::int64_t>(value);
  return token;
}

// A literal; its raw contents keep escapes for the parser to decode in the
// right width. A backslash hides the next character; "" inside is a quote.
Token ScanString(SourceText& s, bool wide, SourceLocation where) {
  Token token{TokenKind::String, "", 0, false, wide, where};
  s.Advance();  // opening quote
  while (true) {
    if (s.AtEnd() || s.Peek() == '\n') throw CompileError(where, "unterminated string");
    char c = s.Peek();
    if (c == '\\') {
      token.text += c;
      s.Advance();
      if (s.AtEnd() || s.Peek() == '\n') throw CompileError(where, "unterminated string");
      token.text += s.Peek();
      s.Advance();
      continue;
    }
    if (c == '"') {
      s.Advance();
      if (s.Peek() != '"') break;
      token.text += "\"\"";
      s.Advance();
      continue;
    }
    token.text += c;
    s.Advance();
  }
  return token;
}

// One token at the cursor, which stands on a character that is not space.
Token ScanToken(SourceText& s) {
  SourceLocation where = s.Here();
  char c = s.Peek();
  if ((c == 'L' || c == 'l') && s.Peek(1) == '"') {
    s.Advance();
    return ScanString(s, true, where);
  }
  if (c == '"') return ScanString(s, false, where);
  if (std::isdigit(static_cast<unsigned char>(c))) return ScanNumber(s);
  if (IsIdentifierStart(c)) {
    Token token{TokenKind::Identifier, "", 0, false, false, where};
    while (IsIdentifierChar(s.Peek())) {
      token.text += s.Peek();
      s.Advance();
    }
    return token;
  }
  static const std::string kPunctuation = ",{}()|&+-*/~^%";
  if (kPunctuation.find(c) != std::string::npos) {
    s.Advance();
    return Token{TokenKind::Punct, std::string(1, c), 0, false, false, where};
  }
  std::string shown = static_cast<unsigned char>(c) < 0x80 && std::isprint(static_cast<unsigned char>(c))
                          ? std::string("'") + c + "'"
                          : "byte " + std::to_string(static_cast<unsigned char>(c));
  throw CompileError(where, "unexpected character " + shown);
}

// Skips blanks and comments on the current line only (directive lines).
void SkipBlanks(SourceText& s) {
  while (!s.AtEnd()) {
    char c = s.Peek();
    if (c == ' ' || c == '\t' || c == '\r') {
      s.Advance();
    } else if (c == '/' && s.Peek(1) == '/') {
      while (!s.AtEnd() && s.Peek() != '\n') s.Advance();
    } else if (c == '/' && s.Peek(1) == '*') {
      SourceLocation where = s.Here();
      s.Advance();
      s.Advance();
      while (!(s.Peek() == '*' && s.Peek(1) == '/')) {
        if (s.AtEnd()) throw CompileError(where, "unterminated comment");
        s.Advance();
      }
      s.Advance();
      s.Advance();
    } else {
      break;
    }
  }
}

std::string ReadFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

std::filesystem::path PathFromLiteral(const Token& literal, const std::filesystem::path& relativeTo) {
  std::vector<std::uint8_t> bytes = DecodeNarrow(literal.text, literal.where);
  std::string text(bytes.begin(), bytes.end());
  for (auto& c : text)
    if (c == '\\') c = '/';
  fs::path file(text);
  if (file.is_relative()) file = relativeTo.parent_path() / file;
  return file.lexically_normal();
}

void SourceText::Advance() {
  if (AtEnd()) return;
  if (text[pos] == '\n') {
    ++line;
    column = 1;
  } else if ((static_cast<unsigned char>(text[pos]) & 0xC0) != 0x80) {
    ++column;  // columns count characters, not UTF-8 continuation bytes
  }
  ++pos;
}

std::vector<Token> Tokenize(const std::string& text, const SourceLocation& where) {
  SourceText s;
  s.display = where.file;
  s.text = text;
  s.line = where.line;
  s.column = where.column;
  std::vector<Token> tokens;
  while (true) {
    SkipBlanks(s);
    if (s.AtEnd()) break;
    if (s.Peek() == '\n') throw CompileError(s.Here(), "line break inside a directive");
    tokens.push_back(ScanToken(s));
  }
  return tokens;
}

Lexer::Lexer(const fs::path& script) {
  // Names a script may use without defining them.
  const std::pair<const char*, int> predefined[] = {
      {"RC_INVOKED", 1},     {"K460RC", 1},           {"LANG_NEUTRAL", 0x00},        {"LANG_ENGLISH", 0x09},
      {"LANG_JAPANESE", 0x11}, {"SUBLANG_NEUTRAL", 0x00}, {"SUBLANG_DEFAULT", 0x01},  {"SUBLANG_SYS_DEFAULT", 0x02},
      {"SUBLANG_ENGLISH_US", 0x01}, {"SUBLANG_ENGLISH_UK", 0x02}, {"SUBLANG_JAPANESE_JAPAN", 0x01}};
  for (auto [name, value] : predefined)
    macros_[name] = Macro{std::to_string(value), {"<built-in>", 0, 0}, {"<built-in>", 0, 0}, false};
  Open(script, SourceLocation{script.string(), 0, 0});
}

void Lexer::Open(const fs::path& file, const SourceLocation& from) {
  if (stack_.size() >= kMaxIncludeDepth) throw CompileError(from, "#include nests too deeply");
  std::error_code ec;
  if (!fs::is_regular_file(file, ec)) throw CompileError(from, "cannot open '" + file.string() + "'");
  Source s;
  s.path = file;
  s.display = file.string();
  s.text = ReadFile(file);
  s.header = IsHeader(file);
  s.conditionalDepth = conditionals_.size();
  CheckUtf8(s.text, s.display);
  files_.push_back(file);
  stack_.push_back(std::move(s));
}

const Macro* Lexer::FindMacro(const std::string& name) const {
  auto it = macros_.find(name);
  return it == macros_.end() ? nullptr : &it->second;
}

const Token& Lexer::Peek() {
  if (lookahead_.empty()) lookahead_.push_back(Scan());
  return lookahead_.front();
}

Token Lexer::Next() {
  if (lookahead_.empty()) return Scan();
  Token token = std::move(lookahead_.front());
  lookahead_.pop_front();
  return token;
}

void Lexer::SkipSpace(Source& s) {
  while (!s.AtEnd()) {
    SkipBlanks(s);
    if (s.Peek() != '\n') return;
    s.Advance();
    s.lineStart = true;
  }
}

void Lexer::SkipLine(Source& s) {
  while (!s.AtEnd() && s.Peek() != '\n') s.Advance();
}

std::string Lexer::ReadDirectiveLine(Source& s) {
  std::string line;
  while (!s.AtEnd() && s.Peek() != '\n') {
    if (s.Peek() == '\\' && (s.Peek(1) == '\n' || (s.Peek(1) == '\r' && s.Peek(2) == '\n'))) {
      while (s.Peek() != '\n') s.Advance();
      s.Advance();
      line += ' ';
      continue;
    }
    line += s.Peek();
    s.Advance();
  }
  return line;
}

Token Lexer::Scan() {
  while (!stack_.empty()) {
    Source& s = stack_.back();
    SkipSpace(s);
    if (s.AtEnd()) {
      if (conditionals_.size() > s.conditionalDepth)
        throw CompileError(conditionals_.back().where, "conditional without #endif");
      SourceLocation end = s.Here();
      stack_.pop_back();
      if (stack_.empty()) return Token{TokenKind::End, "", 0, false, false, end};
      continue;
    }
    bool lineStart = s.lineStart;
    s.lineStart = false;
    if (lineStart && s.Peek() == '#') {
      SourceLocation where = s.Here();
      s.Advance();
      Directive(s, where);
      continue;
    }
    if (!Active() || s.header) {
      SkipLine(s);
      continue;
    }
    return ScanToken(s);
  }
  return Token{TokenKind::End, "", 0, false, false, {}};
}

void Lexer::Directive(Source& s, SourceLocation where) {
  SourceLocation argumentsAt = s.Here();
  std::string line = ReadDirectiveLine(s);
  std::size_t nameEnd = 0;
  while (nameEnd < line.size() && (line[nameEnd] == ' ' || line[nameEnd] == '\t')) ++nameEnd;
  std::size_t nameBegin = nameEnd;
  while (nameEnd < line.size() && IsIdentifierChar(line[nameEnd])) ++nameEnd;
  std::string name = line.substr(nameBegin, nameEnd - nameBegin);
  std::string rest = line.substr(nameEnd);
  argumentsAt.column += static_cast<int>(nameEnd);

  if (name == "ifdef" || name == "ifndef") {
    auto tokens = Tokenize(rest, argumentsAt);
    if (tokens.size() != 1 || tokens[0].kind != TokenKind::Identifier)
      throw CompileError(where, "#" + name + " needs one name");
    bool defined = macros_.count(tokens[0].text) != 0;
    bool condition = name == "ifdef" ? defined : !defined;
    bool parent = Active();
    conditionals_.push_back({parent && condition, parent, condition, false, where});
    return;
  }
  if (name == "else" || name == "endif") {
    if (conditionals_.size() <= s.conditionalDepth) throw CompileError(where, "#" + name + " without #ifdef");
    Conditional& open = conditionals_.back();
    if (name == "endif") {
      conditionals_.pop_back();
      return;
    }
    if (open.sawElse) throw CompileError(where, "second #else");
    open.sawElse = true;
    open.active = open.parentActive && !open.taken;
    open.taken = true;
    return;
  }
  if (name == "if" || name == "elif") throw CompileError(where, "#" + name + " is not supported: use #ifdef or #ifndef");
  if (!Active()) return;

  if (name == "define") {
    std::size_t i = 0;
    while (i < rest.size() && (rest[i] == ' ' || rest[i] == '\t')) ++i;
    std::size_t begin = i;
    while (i < rest.size() && IsIdentifierChar(rest[i])) ++i;
    if (i == begin || !IsIdentifierStart(rest[begin])) throw CompileError(where, "#define needs a name");
    Macro macro;
    macro.where = where;
    macro.functionLike = i < rest.size() && rest[i] == '(';
    macro.body = rest.substr(i);
    macro.bodyAt = argumentsAt;
    macro.bodyAt.column += static_cast<int>(i);
    macros_[rest.substr(begin, i - begin)] = std::move(macro);
  } else if (name == "undef") {
    auto tokens = Tokenize(rest, argumentsAt);
    if (tokens.size() != 1 || tokens[0].kind != TokenKind::Identifier) throw CompileError(where, "#undef needs one name");
    macros_.erase(tokens[0].text);
  } else if (name == "include") {
    auto tokens = Tokenize(rest, argumentsAt);
    if (tokens.size() != 1 || tokens[0].kind != TokenKind::String || tokens[0].wide)
      throw CompileError(where, "#include needs a file name in double quotes");
    Open(PathFromLiteral(tokens[0], s.path), where);
  } else if (name == "pragma") {
    // code_page and the like: scripts are always UTF-8.
  } else if (name == "error") {
    throw CompileError(where, "#error" + rest);
  } else {
    throw CompileError(where, "unknown directive #" + name);
  }
}

}  // namespace k460rc
