#include "tests/platform/outside/encoder_binding.h"

namespace k460::testing {

namespace {
template <class F>
bool Bind(HMODULE module, WORD ordinal, F* proc) {
  *proc = reinterpret_cast<F>(GetProcAddress(module, MAKEINTRESOURCEA(ordinal)));
  return *proc != nullptr;
}
}  // namespace

bool EncoderBinding::Load(std::string* failure) {
  module = LoadLibraryW(u"qtxtoenc.dll");
  if (!module) {
    *failure = "LoadLibraryW(qtxtoenc.dll) failed, error " + std::to_string(GetLastError());
    return false;
  }
  bool all = Bind(module, ORD_TiffEncodeInit, &TiffEncodeInit) && Bind(module, ORD_TiffEncodeOut, &TiffEncodeOut) &&
             Bind(module, ORD_TiffEncodeFree, &TiffEncodeFree) && Bind(module, ORD_FaxEncodeInit, &FaxEncodeInit) &&
             Bind(module, ORD_FaxEncodeOut, &FaxEncodeOut) && Bind(module, ORD_FaxEncodeFree, &FaxEncodeFree) &&
             Bind(module, ORD_RotateInit, &RotateInit) && Bind(module, ORD_RotateOut, &RotateOut) &&
             Bind(module, ORD_LeftRotateOut, &LeftRotateOut);
  if (!all) *failure = "an ordinal of qtxtoenc.dll is missing";
  return all;
}

void EncoderBinding::Unload() {
  if (module) FreeLibrary(module);
  module = nullptr;
}

}  // namespace k460::testing
