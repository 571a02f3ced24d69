// One command object: the element tree being built, its named parameters,
// the attached file, and the elements of the device's last answer. All texts
// held here are UTF-8; the exports convert from and to the ANSI code page.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/outside/command/key_table.h"

namespace k460::cmdlib {

struct Element {
  std::string name;
  std::string text;  // value elements only
  std::vector<std::unique_ptr<Element>> children;
};

struct Param {
  std::string name;
  std::string value;
};

// One element of an answer, in document order.
struct AnswerElement {
  std::string name;
  std::string text;  // in the ANSI code page, as callers read it
};

class CommandObject {
 public:
  explicit CommandObject(KeyTable keys) : keys_(std::move(keys)) {}

  const KeyTable& keys() const { return keys_; }

  // Building. Each answers 0 or the Windows error code of the failure, and
  // leaves the object unchanged when it fails.
  DWORD SetMode(LONG mode);
  DWORD BeginElement(LONG key);
  DWORD EndElement();
  DWORD AddValue(LONG key, std::string text);
  DWORD AddParam(std::string_view name, std::string value);
  void AttachFile(std::string ansiPath) { file_ = std::move(ansiPath); }
  // Tree, parameters, file and answer; the mode stays.
  void Clear();

  LONG mode() const { return mode_; }
  const Element* root() const { return root_.get(); }
  const std::vector<Param>& params() const { return params_; }
  // The attached file's path in the ANSI code page; "" when none.
  const std::string& file() const { return file_; }

  // The answer of the last post.
  void SetAnswer(std::vector<AnswerElement> elements);
  void DropAnswer() { SetAnswer({}); }
  const AnswerElement* FirstAnswer(LONG key);
  const AnswerElement* NextAnswer(LONG key);
  // The answer element whose text `pointer` is, or null.
  const AnswerElement* AnswerAt(const char* pointer) const;

  // The request taken in pieces (the port library).
  std::string request;
  std::size_t requestPosition = 0;
  bool requestOpen = false;

 private:
  bool Matches(const AnswerElement& element, LONG key) const;
  const AnswerElement* FindFrom(std::size_t index, LONG key);

  KeyTable keys_;
  LONG mode_ = 2;
  std::unique_ptr<Element> root_;
  std::vector<Element*> open_;
  std::size_t elementCount_ = 0;
  std::vector<Param> params_;
  std::string file_;
  std::vector<std::unique_ptr<AnswerElement>> answer_;
  std::size_t answerCursor_ = 0;  // index after the element last returned
};

// Letters, digits, '_' and '-', 1 to MCMD_MAX_NAME of them.
bool IsParamName(std::string_view name);

}  // namespace k460::cmdlib
