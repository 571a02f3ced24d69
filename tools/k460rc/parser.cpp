// Statements and expressions of resource scripts.
#include "tools/k460rc/parser.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <fstream>
#include <iterator>
#include <limits>

#include "platform/module/resource_directory.h"
#include "tools/k460rc/file_resources.h"
#include "tools/k460rc/text.h"

namespace k460rc {
namespace {

namespace fs = std::filesystem;
namespace rt = k460::resources;

bool IsWord(const Token& token, std::string_view word) {
  if (token.kind != TokenKind::Identifier || token.text.size() != word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(token.text[i])) != word[i]) return false;
  return true;
}

constexpr std::array kMemoryWords = {"PRELOAD", "LOADONCALL", "FIXED",  "MOVEABLE", "DISCARDABLE",
                                     "PURE",    "IMPURE",     "SHARED", "NONSHARED"};
constexpr std::array kTemplateTypes = {"DIALOG",      "DIALOGEX", "MENU",    "MENUEX", "ACCELERATORS",
                                       "VERSIONINFO", "CURSOR",   "TOOLBAR", "DLGINIT"};
struct DataType {
  const char* word;
  std::uint16_t type;
};
constexpr std::array kDataTypes = {DataType{"RCDATA", rt::kTypeRcData}, DataType{"HTML", rt::kTypeHtml},
                                   DataType{"MANIFEST", rt::kTypeManifest}, DataType{"FONT", rt::kTypeFont},
                                   DataType{"MESSAGETABLE", rt::kTypeMessageTable}};

bool IsAnyWord(const Token& token, auto& words) {
  return std::any_of(std::begin(words), std::end(words), [&](const char* w) { return IsWord(token, w); });
}

bool IsKeyword(const Token& token) {
  if (IsAnyWord(token, kMemoryWords) || IsAnyWord(token, kTemplateTypes)) return true;
  for (const auto& type : kDataTypes)
    if (IsWord(token, type.word)) return true;
  for (const char* word : {"LANGUAGE", "STRINGTABLE", "BEGIN", "END", "BITMAP", "ICON", "CHARACTERISTICS", "VERSION"})
    if (IsWord(token, word)) return true;
  return false;
}

std::string Describe(const Token& token) {
  switch (token.kind) {
    case TokenKind::End: return "the end of the file";
    case TokenKind::String: return "a string";
    case TokenKind::Number: return std::to_string(token.value);
    default: return "'" + token.text + "'";
  }
}

std::string Upper(const std::string& text) {
  std::string out = text;
  for (auto& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

// Where expressions take their tokens from: the script, or a macro's body.
class TokenStream {
 public:
  virtual ~TokenStream() = default;
  virtual const Token& Peek() = 0;
  virtual Token Next() = 0;
};

class ScriptStream : public TokenStream {
 public:
  explicit ScriptStream(Lexer& lexer) : lexer_(lexer) {}
  const Token& Peek() override { return lexer_.Peek(); }
  Token Next() override { return lexer_.Next(); }

 private:
  Lexer& lexer_;
};

class MacroStream : public TokenStream {
 public:
  MacroStream(const std::vector<Token>& tokens, SourceLocation end) : tokens_(tokens) { end_.where = end; }
  const Token& Peek() override { return at_ < tokens_.size() ? tokens_[at_] : end_; }
  Token Next() override { return at_ < tokens_.size() ? tokens_[at_++] : end_; }
  bool AtEnd() const { return at_ >= tokens_.size(); }

 private:
  const std::vector<Token>& tokens_;
  std::size_t at_ = 0;
  Token end_;
};

struct Value {
  std::int64_t number = 0;
  bool isLong = false;
};

class Parser {
 public:
  explicit Parser(const fs::path& script) : lexer_(script), script_(lexer_) {}

  CompiledScript Run() {
    while (lexer_.Peek().kind != TokenKind::End) {
      const Token& token = lexer_.Peek();
      if (IsWord(token, "LANGUAGE")) {
        lexer_.Next();
        language_ = LanguageClause();
      } else if (IsWord(token, "STRINGTABLE")) {
        StringTable(lexer_.Next());
      } else {
        ResourceStatement();
      }
    }
    CompiledScript result{set_.Finish(), lexer_.files()};
    result.dependencies.insert(result.dependencies.end(), dataFiles_.begin(), dataFiles_.end());
    return result;
  }

 private:
  // ---- Expressions ----------------------------------------------------------
  static bool StartsExpression(const Token& token, const Lexer& lexer) {
    if (token.kind == TokenKind::Number) return true;
    if (token.kind == TokenKind::Punct) return token.text == "(" || token.text == "-" || token.text == "~" || token.text == "+";
    return token.kind == TokenKind::Identifier && lexer.FindMacro(token.text);
  }

  static Value Checked(std::int64_t number, bool isLong, const SourceLocation& where) {
    constexpr std::int64_t kLimit = std::int64_t{1} << 32;
    if (number > kLimit || number < -kLimit) throw CompileError(where, "value out of range");
    return {number, isLong};
  }

  Value Expression(TokenStream& in) { return Binary(in, 0); }

  // Levels, loosest first: | ^ & + - * / %
  Value Binary(TokenStream& in, int level) {
    static const std::array<std::string, 5> kLevels = {"|", "^", "&", "+-", "*/%"};
    if (level == static_cast<int>(kLevels.size())) return Unary(in);
    Value left = Binary(in, level + 1);
    while (in.Peek().kind == TokenKind::Punct && kLevels[level].find(in.Peek().text[0]) != std::string::npos) {
      Token op = in.Next();
      Value right = Binary(in, level + 1);
      __int128 a = left.number, b = right.number, r = 0;
      switch (op.text[0]) {
        case '|': r = a | b; break;
        case '^': r = a ^ b; break;
        case '&': r = a & b; break;
        case '+': r = a + b; break;
        case '-': r = a - b; break;
        case '*': r = a * b; break;
        case '/':
        case '%':
          if (b == 0) throw CompileError(op.where, "division by zero");
          r = op.text[0] == '/' ? a / b : a % b;
          break;
      }
      if (r > (__int128{1} << 40) || r < -(__int128{1} << 40)) throw CompileError(op.where, "value out of range");
      left = Checked(static_cast<std::int64_t>(r), left.isLong || right.isLong, op.where);
    }
    return left;
  }

  Value Unary(TokenStream& in) {
    Token token = in.Next();
    if (token.kind == TokenKind::Punct) {
      if (token.text == "-" || token.text == "~" || token.text == "+") {
        Value v = Unary(in);
        std::int64_t n = token.text == "-" ? -v.number : token.text == "~" ? ~v.number : v.number;
        return Checked(n, v.isLong, token.where);
      }
      if (token.text == "(") {
        Value v = Expression(in);
        Token close = in.Next();
        if (close.kind != TokenKind::Punct || close.text != ")")
          throw CompileError(close.where, "expected ')' but found " + Describe(close));
        return v;
      }
    }
    if (token.kind == TokenKind::Number) return {token.value, token.isLong};
    if (token.kind == TokenKind::Identifier && !IsKeyword(token)) return Expand(token);
    throw CompileError(token.where, "expected a number but found " + Describe(token));
  }

  Value Expand(const Token& name) {
    const Macro* macro = lexer_.FindMacro(name.text);
    if (!macro) throw CompileError(name.where, "'" + name.text + "' is not defined");
    if (macro->functionLike) throw CompileError(name.where, "macro '" + name.text + "' takes arguments; it cannot be used here");
    std::vector<Token> tokens = Tokenize(macro->body, macro->bodyAt);
    if (tokens.empty()) throw CompileError(name.where, "macro '" + name.text + "' is empty");
    if (std::find(expanding_.begin(), expanding_.end(), name.text) != expanding_.end())
      throw CompileError(name.where, "macro '" + name.text + "' refers to itself");
    expanding_.push_back(name.text);
    MacroStream body(tokens, name.where);
    Value value = Expression(body);
    if (!body.AtEnd())
      throw CompileError(name.where, "macro '" + name.text + "' (defined at " + macro->where.Describe() +
                                         ") is not a number expression");
    expanding_.pop_back();
    return value;
  }

  std::int64_t NumberIn(std::int64_t low, std::int64_t high, const std::string& what) {
    SourceLocation where = lexer_.Peek().where;
    const Token& first = lexer_.Peek();
    if (first.kind == TokenKind::Identifier && !IsKeyword(first) && !lexer_.FindMacro(first.text))
      throw CompileError(where, "'" + first.text + "' is not defined");
    if (!StartsExpression(first, lexer_))
      throw CompileError(where, "expected " + what + " but found " + Describe(lexer_.Peek()));
    Value v = Expression(script_);
    if (v.number < low || v.number > high)
      throw CompileError(where, what + " " + std::to_string(v.number) + " is out of range (" + std::to_string(low) +
                                    " to " + std::to_string(high) + ")");
    return v.number;
  }

  // ---- Statements -----------------------------------------------------------
  void ExpectPunct(const std::string& punct) {
    Token token = lexer_.Next();
    if (token.kind != TokenKind::Punct || token.text != punct)
      throw CompileError(token.where, "expected '" + punct + "' but found " + Describe(token));
  }

  std::uint16_t LanguageClause() {
    auto primary = NumberIn(0, 0x3FF, "primary language");
    ExpectPunct(",");
    auto sub = NumberIn(0, 0x3F, "sub-language");
    return static_cast<std::uint16_t>((sub << 10) | primary);
  }

  // Options after a type or STRINGTABLE; answers the resource's language.
  std::uint16_t Options() {
    std::uint16_t language = language_;
    while (true) {
      const Token& token = lexer_.Peek();
      if (IsWord(token, "LANGUAGE")) {
        lexer_.Next();
        language = LanguageClause();
      } else if (IsWord(token, "CHARACTERISTICS") || IsWord(token, "VERSION")) {
        lexer_.Next();
        NumberIn(0, 0xFFFFFFFF, "value");
      } else if (IsAnyWord(token, kMemoryWords)) {
        lexer_.Next();
      } else {
        return language;
      }
    }
  }

  bool IsOpen(const Token& t) { return IsWord(t, "BEGIN") || (t.kind == TokenKind::Punct && t.text == "{"); }
  bool IsClose(const Token& t) { return IsWord(t, "END") || (t.kind == TokenKind::Punct && t.text == "}"); }

  Token ExpectOpen(const std::string& what) {
    Token token = lexer_.Next();
    if (!IsOpen(token)) throw CompileError(token.where, "expected BEGIN of " + what + " but found " + Describe(token));
    return token;
  }

  // One or more adjacent literals.
  std::vector<Token> Literals() {
    std::vector<Token> literals;
    while (lexer_.Peek().kind == TokenKind::String) literals.push_back(lexer_.Next());
    return literals;
  }

  void StringTable(const Token& keyword) {
    std::uint16_t language = Options();
    ExpectOpen("STRINGTABLE");
    while (true) {
      const Token& token = lexer_.Peek();
      if (token.kind == TokenKind::End)
        throw CompileError(keyword.where, "STRINGTABLE has no END");
      if (IsClose(token)) {
        lexer_.Next();
        return;
      }
      SourceLocation where = token.where;
      auto id = static_cast<std::uint16_t>(NumberIn(0, 0xFFFF, "string number"));
      if (lexer_.Peek().kind == TokenKind::Punct && lexer_.Peek().text == ",") lexer_.Next();
      auto literals = Literals();
      if (literals.empty())
        throw CompileError(lexer_.Peek().where,
                           "expected the text of string " + std::to_string(id) + " but found " + Describe(lexer_.Peek()));
      std::u16string text;
      for (const auto& literal : literals) text += DecodeWide(literal.text, literal.where);
      set_.AddString(language, id, std::move(text), where);
    }
  }

  ResourceId Name() {
    const Token& token = lexer_.Peek();
    if (StartsExpression(token, lexer_))
      return ResourceId::Number(static_cast<std::uint16_t>(NumberIn(1, 0xFFFF, "resource number")));
    if (token.kind == TokenKind::Identifier && !IsKeyword(token))
      return ResourceId::Text(Utf8ToUtf16(Upper(lexer_.Next().text)));
    throw CompileError(token.where, "expected a resource name or a statement but found " + Describe(token));
  }

  void ResourceStatement() {
    SourceLocation where = lexer_.Peek().where;
    ResourceId name = Name();
    Token type = lexer_.Peek();
    if (type.kind == TokenKind::End || IsOpen(type) || type.kind == TokenKind::String)
      throw CompileError(type.where, "expected the type of resource " + name.Describe() + " but found " + Describe(type));
    if (IsAnyWord(type, kTemplateTypes))
      throw CompileError(type.where, Upper(type.text) + " resources are not supported yet");
    if (IsWord(type, "BITMAP") || IsWord(type, "ICON")) {
      lexer_.Next();
      std::uint16_t language = Options();
      fs::path file = FileOperand(Upper(type.text));
      if (IsWord(type, "BITMAP")) {
        set_.Add({ResourceId::Number(rt::kTypeBitmap), name, language, BitmapResource(ReadDataFile(file, type.where), file, type.where), where});
      } else {
        AddIcon(name, language, ReadDataFile(file, type.where), file, where);
      }
      return;
    }
    ResourceId typeId;
    bool known = false;
    for (const auto& dataType : kDataTypes)
      if (IsWord(type, dataType.word)) {
        lexer_.Next();
        typeId = ResourceId::Number(dataType.type);
        known = true;
      }
    if (!known) {
      if (StartsExpression(type, lexer_)) {
        typeId = ResourceId::Number(static_cast<std::uint16_t>(NumberIn(1, 0xFFFF, "resource type")));
        if (typeId.number == rt::kTypeString)
          throw CompileError(type.where, "strings are written in a STRINGTABLE, not as resources of type 6");
      } else if (type.kind == TokenKind::Identifier && !IsKeyword(type)) {
        typeId = ResourceId::Text(Utf8ToUtf16(Upper(lexer_.Next().text)));
      } else {
        throw CompileError(type.where, "expected the type of resource " + name.Describe() + " but found " + Describe(type));
      }
    }
    std::uint16_t language = Options();
    std::vector<std::uint8_t> data;
    if (lexer_.Peek().kind == TokenKind::String) {
      fs::path file = FileOperand("resource");
      data = ReadDataFile(file, where);
    } else if (IsOpen(lexer_.Peek())) {
      data = Block();
    } else {
      throw CompileError(lexer_.Peek().where,
                         "expected a file name or BEGIN after the type but found " + Describe(lexer_.Peek()));
    }
    set_.Add({typeId, name, language, std::move(data), where});
  }

  fs::path FileOperand(const std::string& what) {
    Token literal = lexer_.Next();
    if (literal.kind != TokenKind::String)
      throw CompileError(literal.where, "expected the file name of the " + what + " but found " + Describe(literal));
    return PathFromLiteral(literal, literal.where.file);
  }

  std::vector<std::uint8_t> ReadDataFile(const fs::path& file, const SourceLocation& where) {
    std::error_code ec;
    std::ifstream in(file, std::ios::binary);
    if (!fs::is_regular_file(file, ec) || !in) throw CompileError(where, "cannot read data file '" + file.string() + "'");
    dataFiles_.push_back(file);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  void AddIcon(const ResourceId& name, std::uint16_t language, const std::vector<std::uint8_t>& file,
               const fs::path& path, const SourceLocation& where) {
    IconFile icon = ReadIconFile(file, path, where);
    std::vector<std::uint16_t> numbers;
    for (auto& image : icon.images) {
      std::uint16_t number = set_.UnusedNumber(ResourceId::Number(rt::kTypeIcon), where);
      numbers.push_back(number);
      set_.Add({ResourceId::Number(rt::kTypeIcon), ResourceId::Number(number), language, image, where});
    }
    set_.Add({ResourceId::Number(rt::kTypeGroupIcon), name, language, IconGroup(icon, numbers), where});
  }

  std::vector<std::uint8_t> Block() {
    Token open = lexer_.Next();
    std::vector<std::uint8_t> data;
    auto put = [&](std::uint64_t value, int bytes) {
      for (int i = 0; i < bytes; ++i) data.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    };
    while (true) {
      const Token& token = lexer_.Peek();
      if (token.kind == TokenKind::End) throw CompileError(open.where, "block has no END");
      if (IsClose(token)) {
        lexer_.Next();
        return data;
      }
      if (token.kind == TokenKind::String) {
        for (const auto& literal : Literals()) {
          if (literal.wide) {
            for (char16_t c : DecodeWide(literal.text, literal.where)) put(c, 2);
          } else {
            auto bytes = DecodeNarrow(literal.text, literal.where);
            data.insert(data.end(), bytes.begin(), bytes.end());
          }
        }
      } else {
        SourceLocation where = token.where;
        if (!StartsExpression(token, lexer_))
          throw CompileError(where, "expected a number, a string or END but found " + Describe(token));
        Value v = Expression(script_);
        bool fits = v.isLong ? v.number >= std::numeric_limits<std::int32_t>::min() && v.number <= 0xFFFFFFFF
                             : v.number >= -32768 && v.number <= 0xFFFF;
        if (!fits)
          throw CompileError(where, "value " + std::to_string(v.number) +
                                        (v.isLong ? " does not fit in 32 bits" : " does not fit in 16 bits (add L for 32)"));
        put(static_cast<std::uint64_t>(v.number), v.isLong ? 4 : 2);
      }
      const Token& after = lexer_.Peek();
      if (after.kind == TokenKind::Punct && after.text == ",") {
        lexer_.Next();
      } else if (!IsClose(after)) {
        throw CompileError(after.where, "expected ',' or END but found " + Describe(after));
      }
    }
  }

  Lexer lexer_;
  ScriptStream script_;
  ResourceSet set_;
  std::uint16_t language_ = 0;
  std::vector<fs::path> dataFiles_;
  std::vector<std::string> expanding_;
};

}  // namespace

CompiledScript CompileScript(const fs::path& script) { return Parser(script).Run(); }

}  // namespace k460rc
