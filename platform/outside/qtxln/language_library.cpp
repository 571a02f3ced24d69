// A resource-only library: its only code is the entry point.
#include "platform/module/module.h"

K460_API BOOL DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
