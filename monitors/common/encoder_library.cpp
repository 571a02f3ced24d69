#include "monitors/common/encoder_library.h"

#include "platform/files/files.h"
#include "platform/module/module.h"

namespace k460::encoder {
namespace {

template <typename F>
bool Bind(HMODULE module, WORD ordinal, F* proc) {
  *proc = reinterpret_cast<F>(GetProcAddress(module, MAKEINTRESOURCEA(ordinal)));
  return *proc != nullptr;
}

}  // namespace

std::optional<EncoderLibrary> LoadEncoderLibrary() {
  EncoderLibrary library;
  library.module = LoadLibraryW(u"qtxtoenc.dll");
  if (!library.module) return std::nullopt;
  const bool bound = Bind(library.module, ORD_TiffEncodeInit, &library.TiffEncodeInit) &&
                     Bind(library.module, ORD_TiffEncodeOut, &library.TiffEncodeOut) &&
                     Bind(library.module, ORD_TiffEncodeFree, &library.TiffEncodeFree) &&
                     Bind(library.module, ORD_FaxEncodeInit, &library.FaxEncodeInit) &&
                     Bind(library.module, ORD_FaxEncodeOut, &library.FaxEncodeOut) &&
                     Bind(library.module, ORD_FaxEncodeFree, &library.FaxEncodeFree) &&
                     Bind(library.module, ORD_RotateInit, &library.RotateInit) &&
                     Bind(library.module, ORD_RotateOut, &library.RotateOut) &&
                     Bind(library.module, ORD_LeftRotateOut, &library.LeftRotateOut);
  if (!bound) {
    const DWORD error = GetLastError();
    FreeLibrary(library.module);
    SetLastError(error);
    return std::nullopt;
  }
  return library;
}

void FreeEncoderLibrary(EncoderLibrary& library) {
  if (library.module) FreeLibrary(library.module);
  library = EncoderLibrary{};
}

DWORD CALLBACK WriteFileCallback(HANDLE file, LPCVOID buffer, DWORD bytes) {
  DWORD written = 0;
  return WriteFile(file, buffer, bytes, &written, nullptr) ? written : 0;
}

DWORD CALLBACK ReadFileCallback(HANDLE file, LPVOID buffer, DWORD bytes) {
  DWORD read = 0;
  return ReadFile(file, buffer, bytes, &read, nullptr) ? read : 0;
}

DWORD CALLBACK SeekFileCallback(HANDLE file, LONG distance, DWORD method) {
  return SetFilePointer(file, distance, nullptr, method);
}

}  // namespace k460::encoder
