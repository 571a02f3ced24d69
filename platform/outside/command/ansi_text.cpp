#include "platform/outside/command/ansi_text.h"

#include <limits>

#include "platform/base/base.h"
#include "platform/base/text.h"

namespace k460::cmdlib {

std::string AnsiToUtf8(std::string_view ansi) {
  if (ansi.empty() || ansi.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) return {};
  const int length = static_cast<int>(ansi.size());
  int wide = MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, nullptr, 0);
  if (wide <= 0) return {};
  std::u16string text(static_cast<std::size_t>(wide), u'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, text.data(), wide);
  return Utf16ToUtf8(text);
}

std::string Utf8ToAnsi(std::string_view utf8) {
  if (utf8.empty()) return {};
  std::u16string wide = Utf8ToUtf16(utf8);
  if (wide.empty() || wide.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) return {};
  const int length = static_cast<int>(wide.size());
  int bytes = WideCharToMultiByte(CP_ACP, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return {};
  std::string text(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), length, text.data(), bytes, nullptr, nullptr);
  return text;
}

}  // namespace k460::cmdlib
