// Shows a message box from a library other than the test program.
#include "platform/process/process.h"

namespace {
volatile int gLastAnswer = 0;  // kept after the call, so the call is no tail call
}

extern "C" __attribute__((visibility("default"))) int ShowMessageFromLibrary(LPCWSTR text, UINT style) {
  gLastAnswer = MessageBoxW(nullptr, text, u"message_caller", style);
  return gLastAnswer;
}
