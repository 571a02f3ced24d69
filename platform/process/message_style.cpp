// What a message box style means: its buttons, its default answer, and a
// readable description for people reading the log.
#include <cstdio>
#include <iterator>

#include "platform/process/message_log.h"

namespace k460 {

std::vector<int> MessageBoxButtons(UINT style) {
  switch (style & MB_TYPEMASK) {
    case MB_OK: return {IDOK};
    case MB_OKCANCEL: return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE: return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL: return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO: return {IDYES, IDNO};
    case MB_RETRYCANCEL: return {IDRETRY, IDCANCEL};
    default: return {};
  }
}

int MessageBoxDefaultAnswer(UINT style) {
  auto buttons = MessageBoxButtons(style);
  if (buttons.empty()) return 0;
  std::size_t index = (style & MB_DEFMASK) >> 8;
  return index < buttons.size() ? buttons[index] : buttons[0];
}

std::string DescribeMessageBoxStyle(UINT style) {
  static const char* const kButtons[] = {"OK", "OKCANCEL", "ABORTRETRYIGNORE", "YESNOCANCEL", "YESNO", "RETRYCANCEL"};
  static const char* const kIcons[] = {nullptr, "ICONERROR", "ICONQUESTION", "ICONWARNING", "ICONINFORMATION"};
  static const char* const kModes[] = {nullptr, "SYSTEMMODAL", "TASKMODAL", "SYSTEMMODAL|TASKMODAL"};
  std::string out;
  auto add = [&](const std::string& word) { out += (out.empty() ? "" : " ") + word; };

  UINT type = style & MB_TYPEMASK;
  add(type < std::size(kButtons) ? kButtons[type] : "BUTTONS" + std::to_string(type));
  UINT icon = (style & MB_ICONMASK) >> 4;
  if (icon) add(icon < std::size(kIcons) ? kIcons[icon] : "ICON" + std::to_string(icon));
  if (UINT def = (style & MB_DEFMASK) >> 8) add("DEFBUTTON" + std::to_string(def + 1));
  if (UINT mode = (style & MB_MODEMASK) >> 12) add(kModes[mode]);
  if (style & MB_SETFOREGROUND) add("SETFOREGROUND");
  if (style & MB_TOPMOST) add("TOPMOST");
  if (style & MB_SERVICE_NOTIFICATION) add("SERVICE_NOTIFICATION");
  constexpr UINT kKnown = MB_TYPEMASK | MB_ICONMASK | MB_DEFMASK | MB_MODEMASK | MB_SETFOREGROUND | MB_TOPMOST |
                          MB_SERVICE_NOTIFICATION;
  if (UINT rest = style & ~kKnown) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%X", rest);
    add(hex);
  }
  return out;
}

std::string MessageAnswerName(int answer) {
  switch (answer) {
    case IDOK: return "OK";
    case IDCANCEL: return "Cancel";
    case IDABORT: return "Abort";
    case IDRETRY: return "Retry";
    case IDIGNORE: return "Ignore";
    case IDYES: return "Yes";
    case IDNO: return "No";
    default: return std::to_string(answer);
  }
}

}  // namespace k460
