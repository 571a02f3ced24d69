#include "platform/outside/command/command_object.h"

#include "platform/base/base.h"
#include "platform/outside/command/mcmd.h"

namespace k460::cmdlib {

bool IsParamName(std::string_view name) {
  if (name.empty() || name.size() > MCMD_MAX_NAME) return false;
  for (char c : name) {
    bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
    if (!ok) return false;
  }
  return true;
}

DWORD CommandObject::SetMode(LONG mode) {
  if (mode != MCMD_MODE_SERVER && mode != MCMD_MODE_JOB) return ERROR_INVALID_PARAMETER;
  mode_ = mode;
  return 0;
}

DWORD CommandObject::BeginElement(LONG key) {
  const std::string* name = keys_.Name(key);
  if (!name) return ERROR_INVALID_PARAMETER;
  if (open_.empty() && root_) return ERROR_INVALID_PARAMETER;  // one root per tree
  if (open_.size() >= MCMD_MAX_DEPTH || elementCount_ >= MCMD_MAX_ELEMENTS) return ERROR_BUFFER_OVERFLOW;
  auto element = std::make_unique<Element>();
  element->name = *name;
  Element* opened = element.get();
  if (open_.empty()) {
    root_ = std::move(element);
  } else {
    open_.back()->children.push_back(std::move(element));
  }
  open_.push_back(opened);
  ++elementCount_;
  return 0;
}

DWORD CommandObject::EndElement() {
  if (open_.empty()) return ERROR_INVALID_PARAMETER;
  open_.pop_back();
  return 0;
}

DWORD CommandObject::AddValue(LONG key, std::string text) {
  const std::string* name = keys_.Name(key);
  if (!name || open_.empty()) return ERROR_INVALID_PARAMETER;
  if (text.size() > MCMD_MAX_TEXT || elementCount_ >= MCMD_MAX_ELEMENTS) return ERROR_BUFFER_OVERFLOW;
  auto element = std::make_unique<Element>();
  element->name = *name;
  element->text = std::move(text);
  open_.back()->children.push_back(std::move(element));
  ++elementCount_;
  return 0;
}

DWORD CommandObject::AddParam(std::string_view name, std::string value) {
  if (!IsParamName(name)) return ERROR_INVALID_PARAMETER;
  if (value.size() > MCMD_MAX_TEXT) return ERROR_BUFFER_OVERFLOW;
  for (Param& param : params_) {
    if (param.name == name) {
      param.value = std::move(value);
      return 0;
    }
  }
  if (params_.size() >= MCMD_MAX_PARAMS) return ERROR_BUFFER_OVERFLOW;
  params_.push_back({std::string(name), std::move(value)});
  return 0;
}

void CommandObject::Clear() {
  open_.clear();
  root_.reset();
  elementCount_ = 0;
  params_.clear();
  file_.clear();
  DropAnswer();
  request.clear();
  request.shrink_to_fit();
  requestPosition = 0;
  requestOpen = false;
}

void CommandObject::SetAnswer(std::vector<AnswerElement> elements) {
  answer_.clear();
  for (AnswerElement& element : elements) answer_.push_back(std::make_unique<AnswerElement>(std::move(element)));
  answerCursor_ = 0;
}

bool CommandObject::Matches(const AnswerElement& element, LONG key) const {
  if (key == MCMD_ANY_ELEMENT) return true;
  const std::string* name = keys_.Name(key);
  return name && *name == element.name;
}

const AnswerElement* CommandObject::FindFrom(std::size_t index, LONG key) {
  for (std::size_t i = index; i < answer_.size(); ++i) {
    if (Matches(*answer_[i], key)) {
      answerCursor_ = i + 1;
      return answer_[i].get();
    }
  }
  return nullptr;
}

const AnswerElement* CommandObject::FirstAnswer(LONG key) { return FindFrom(0, key); }

const AnswerElement* CommandObject::NextAnswer(LONG key) { return FindFrom(answerCursor_, key); }

const AnswerElement* CommandObject::AnswerAt(const char* pointer) const {
  for (const auto& element : answer_) {
    if (element->text.c_str() == pointer) return element.get();
  }
  return nullptr;
}

}  // namespace k460::cmdlib
