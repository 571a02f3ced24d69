// Message boxes: nothing is drawn; the box is logged and answered by the policy.
#include "platform/base/internal.h"
#include "platform/process/message_log.h"
#include "platform/process/process.h"

K460_API int MessageBoxW(HWND, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType) {
  const void* caller = __builtin_return_address(0);
  if (k460::CallFailsSetError("MessageBoxW")) return 0;
  std::vector<int> buttons = k460::MessageBoxButtons(uType);
  if (buttons.empty()) {
    SetLastError(ERROR_INVALID_MSGBOX_STYLE);
    return 0;
  }
  k460::ShownMessage message;
  message.kind = "MessageBox";
  message.caption = lpCaption ? std::u16string(lpCaption) : u"Error";
  message.text = lpText ? std::u16string(lpText) : std::u16string();
  message.style = uType;
  message.answer = k460::MessageBoxDefaultAnswer(uType);
  message.module = k460::ModuleNameAt(caller);
  return k460::LogShownMessage(std::move(message), buttons);
}
