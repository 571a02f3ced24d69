// libFuzzer target: the device's answer, as the network library parses it
// into elements and a caller walks and reads them by key.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "monitors/common/command_keys.h"
#include "platform/outside/command/answer_document.h"
#include "platform/outside/command/number_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace k460::cmdlib;
  std::vector<AnswerElement> elements;
  if (!ParseAnswer(std::string_view(reinterpret_cast<const char*>(data), size), &elements).empty()) return 0;
  auto keys = KeyTable::Copy(k460::command::kCommandKeyTable);
  CommandObject command(std::move(*keys));
  command.SetAnswer(std::move(elements));
  for (const AnswerElement* element = command.FirstAnswer(-1); element; element = command.NextAnswer(-1)) {
    if (command.AnswerAt(element->text.c_str()) != element) __builtin_trap();
    command.keys().Find(element->name);
    ParseDecimal(element->text);
    ParseHex(element->text);
  }
  if (const AnswerElement* code = command.FirstAnswer(k460::command::KEY_CODE)) ParseDecimal(code->text);
  return 0;
}
