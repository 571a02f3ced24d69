// k460modtest: a library for the loader's tests. It has an entry point, an
// ordinal table and resources. Its entry point reports each call in the
// platform's call log as "k460modtest DllMain" ("attach"/"detach"); a fault
// injected on that name makes the attach refuse, and one injected on
// "k460modtest pin" makes the attach load the library once more by its own
// file name, as a library does that keeps itself loaded.
#include "platform/base/internal.h"
#include "platform/module/module.h"
#include "platform/module/ordinals.h"

namespace {

HINSTANCE gInstance = nullptr;

int Add(int a, int b) { return a + b; }
int Multiply(int a, int b) { return a * b; }
int Negate(int a) { return -a; }

}  // namespace

K460_API int Version() { return 3; }
K460_API HINSTANCE OwnInstance() { return gInstance; }

K460_API BOOL DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_DETACH) {
    k460::CallFails("k460modtest DllMain", nullptr, "detach");
    return TRUE;
  }
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  gInstance = instance;
  if (k460::CallFails("k460modtest DllMain", nullptr, "attach")) return FALSE;
  if (k460::CallFails("k460modtest pin", nullptr)) {
    WCHAR path[MAX_PATH];
    if (GetModuleFileNameW(instance, path, MAX_PATH) == 0 || !LoadLibraryW(path)) return FALSE;
  }
  return TRUE;
}

K460_ORDINAL_TABLE(K460_ORDINAL(1, Version), K460_ORDINAL(2, Add), K460_ORDINAL(3, Negate),
                   K460_ORDINAL_NONAME(7, Multiply));
