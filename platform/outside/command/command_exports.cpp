// The command object functions of both command libraries (compiled into
// each of them).
#include <cstring>

#include "platform/base/base.h"
#include "platform/files/files.h"
#include "platform/outside/command/ansi_text.h"
#include "platform/outside/command/command_handles.h"
#include "platform/outside/command/handle_registry.h"
#include "platform/outside/command/mcmd.h"
#include "platform/outside/command/number_text.h"

namespace k460::cmdlib {
namespace {

HandleRegistry<CommandObject>& CommandObjects() {
  static HandleRegistry<CommandObject> objects(0x10000);
  return objects;
}

BOOL Answer(DWORD error) {
  if (error) {
    SetLastError(error);
    return FALSE;
  }
  return TRUE;
}

// A caller's text, or nothing (ERROR_INVALID_PARAMETER) for null or one
// beyond the longest value.
bool TakeText(LPCSTR text, std::string* utf8) {
  if (!text) return false;
  std::size_t length = strnlen(text, MCMD_MAX_TEXT + 1);
  if (length > MCMD_MAX_TEXT) return false;
  *utf8 = AnsiToUtf8(std::string_view(text, length));
  return true;
}

bool TakeName(LPCSTR name, std::string* text) {
  if (!name) return false;
  std::size_t length = strnlen(name, MCMD_MAX_NAME + 1);
  if (length > MCMD_MAX_NAME) return false;
  *text = std::string(name, length);
  return true;
}

// A number with blanks around it is short; anything longer is no number.
constexpr std::size_t kMaxNumberText = 64;

bool ValidDigits(LONG digits) { return digits >= 1 && digits <= 8; }

}  // namespace

std::shared_ptr<CommandObject> FindCommand(HANDLE hCmd) {
  auto command = CommandObjects().Find(hCmd);
  if (!command) SetLastError(ERROR_INVALID_HANDLE);
  return command;
}

}  // namespace k460::cmdlib

using namespace k460::cmdlib;

K460_API HANDLE WINAPI McmdCreateCommandObject(const LPCSTR* keyTable) {
  std::optional<KeyTable> keys = KeyTable::Copy(keyTable);
  if (!keys) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return CommandObjects().Insert(std::make_shared<CommandObject>(std::move(*keys)));
}

K460_API BOOL WINAPI McmdDeleteCommandObject(HANDLE hCmd) {
  return CommandObjects().Remove(hCmd) ? TRUE : Answer(ERROR_INVALID_HANDLE);
}

K460_API BOOL WINAPI McmdClear(HANDLE hCmd) {
  auto command = FindCommand(hCmd);
  if (!command) return FALSE;
  command->Clear();
  return TRUE;
}

K460_API BOOL WINAPI McmdAttachFile(HANDLE hCmd, LPCSTR pszPath) {
  auto command = FindCommand(hCmd);
  if (!command) return FALSE;
  if (!pszPath || !*pszPath || strnlen(pszPath, MAX_PATH) >= MAX_PATH) return Answer(ERROR_INVALID_PARAMETER);
  std::string path = pszPath;
  // The file is read when the command is posted; here it must only exist.
  std::u16string wide(static_cast<std::size_t>(MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0)), u'\0');
  if (wide.empty()) return Answer(ERROR_INVALID_PARAMETER);
  MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
  DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return Answer(ERROR_FILE_NOT_FOUND);
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return Answer(ERROR_INVALID_PARAMETER);
  command->AttachFile(std::move(path));
  return TRUE;
}

K460_API BOOL WINAPI McmdSetMode(HANDLE hCmd, LONG nMode) {
  auto command = FindCommand(hCmd);
  return command ? Answer(command->SetMode(nMode)) : FALSE;
}

K460_API BOOL WINAPI McmdAddParamString(HANDLE hCmd, LPCSTR pszName, LPCSTR pszValue) {
  auto command = FindCommand(hCmd);
  if (!command) return FALSE;
  std::string name, value;
  if (!TakeName(pszName, &name) || !TakeText(pszValue, &value)) return Answer(ERROR_INVALID_PARAMETER);
  return Answer(command->AddParam(name, std::move(value)));
}

K460_API BOOL WINAPI McmdAddParamNumber(HANDLE hCmd, LPCSTR pszName, LONG nValue) {
  auto command = FindCommand(hCmd);
  if (!command) return FALSE;
  std::string name;
  if (!TakeName(pszName, &name)) return Answer(ERROR_INVALID_PARAMETER);
  return Answer(command->AddParam(name, DecimalText(nValue)));
}

K460_API BOOL WINAPI McmdAddParamHex(HANDLE hCmd, LPCSTR pszName, DWORD nValue, LONG nDigits) {
  auto command = FindCommand(hCmd);
  if (!command) return FALSE;
  std::string name;
  if (!TakeName(pszName, &name) || !ValidDigits(nDigits)) return Answer(ERROR_INVALID_PARAMETER);
  return Answer(command->AddParam(name, HexText(nValue, nDigits)));
}

K460_API BOOL WINAPI McmdBeginElement(HANDLE hCmd, LONG nKey) {
  auto command = FindCommand(hCmd);
  return command ? Answer(command->BeginElement(nKey)) : FALSE;
}

K460_API BOOL WINAPI McmdEndElement(HANDLE hCmd) {
  auto command = FindCommand(hCmd);
  return command ? Answer(command->EndElement()) : FALSE;
}

K460_API BOOL WINAPI McmdAddString(HANDLE hCmd, LONG nKey, LPCSTR pszText) {
  auto command = FindCommand(hCmd);
  if (!command) return FALSE;
  std::string text;
  if (!TakeText(pszText, &text)) return Answer(ERROR_INVALID_PARAMETER);
  return Answer(command->AddValue(nKey, std::move(text)));
}

K460_API BOOL WINAPI McmdAddNumber(HANDLE hCmd, LONG nKey, LONG nValue) {
  auto command = FindCommand(hCmd);
  return command ? Answer(command->AddValue(nKey, DecimalText(nValue))) : FALSE;
}

K460_API BOOL WINAPI McmdAddHex(HANDLE hCmd, LONG nKey, DWORD nValue, LONG nDigits) {
  auto command = FindCommand(hCmd);
  if (!command) return FALSE;
  if (!ValidDigits(nDigits)) return Answer(ERROR_INVALID_PARAMETER);
  return Answer(command->AddValue(nKey, HexText(nValue, nDigits)));
}

namespace {
LPCSTR ElementText(const AnswerElement* element) {
  if (!element) {
    SetLastError(ERROR_NOT_FOUND);
    return nullptr;
  }
  return element->text.c_str();
}
}  // namespace

K460_API LPCSTR WINAPI McmdGetAnswer(HANDLE hCmd, LONG nKey) {
  auto command = FindCommand(hCmd);
  return command ? ElementText(command->FirstAnswer(nKey)) : nullptr;
}

K460_API LPCSTR WINAPI McmdGetNextAnswer(HANDLE hCmd, LONG nKey) {
  auto command = FindCommand(hCmd);
  return command ? ElementText(command->NextAnswer(nKey)) : nullptr;
}

K460_API LONG WINAPI McmdGetAnswerKey(HANDLE hCmd, LPCSTR pszElement) {
  auto command = FindCommand(hCmd);
  if (!command) return -1;
  const AnswerElement* element = command->AnswerAt(pszElement);
  if (!element) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return -1;
  }
  LONG key = command->keys().Find(element->name);
  if (key < 0) SetLastError(ERROR_NOT_FOUND);
  return key;
}

K460_API LPCSTR WINAPI McmdGetAnswerText(HANDLE hCmd, LPCSTR pszElement) {
  auto command = FindCommand(hCmd);
  if (!command) return nullptr;
  const AnswerElement* element = command->AnswerAt(pszElement);
  if (!element) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return element->text.c_str();
}

K460_API BOOL WINAPI McmdStringToNumber(LPCSTR pszText, LONG* pnValue) {
  if (!pszText || !pnValue) return Answer(ERROR_INVALID_PARAMETER);
  std::size_t length = strnlen(pszText, kMaxNumberText + 1);
  std::optional<std::int32_t> value;
  if (length <= kMaxNumberText) value = ParseDecimal(std::string_view(pszText, length));
  if (!value) return Answer(ERROR_INVALID_DATA);
  *pnValue = *value;
  return TRUE;
}

K460_API BOOL WINAPI McmdHexToNumber(LPCSTR pszText, DWORD* pnValue) {
  if (!pszText || !pnValue) return Answer(ERROR_INVALID_PARAMETER);
  std::size_t length = strnlen(pszText, kMaxNumberText + 1);
  std::optional<std::uint32_t> value;
  if (length <= kMaxNumberText) value = ParseHex(std::string_view(pszText, length));
  if (!value) return Answer(ERROR_INVALID_DATA);
  *pnValue = *value;
  return TRUE;
}
