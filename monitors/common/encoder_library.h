// The page encoder "qtxtoenc.dll" as both port monitors use it: bound by
// ordinal, with file callbacks over the platform's file functions.
#pragma once

#include <optional>

#include "platform/base/base.h"
#include "platform/outside/qtxtoenc/qtxtoenc.h"

namespace k460::encoder {

struct EncoderLibrary {
  HMODULE module = nullptr;
  PFN_TiffEncodeInit TiffEncodeInit = nullptr;
  PFN_TiffEncodeOut TiffEncodeOut = nullptr;
  PFN_TiffEncodeFree TiffEncodeFree = nullptr;
  PFN_FaxEncodeInit FaxEncodeInit = nullptr;
  PFN_FaxEncodeOut FaxEncodeOut = nullptr;
  PFN_FaxEncodeFree FaxEncodeFree = nullptr;
  PFN_RotateInit RotateInit = nullptr;
  PFN_RotateOut RotateOut = nullptr;
  PFN_LeftRotateOut LeftRotateOut = nullptr;
};

// Loads the library and binds every operation; nothing (the library freed
// again, the last error set) when it or one of its operations is missing.
std::optional<EncoderLibrary> LoadEncoderLibrary();
void FreeEncoderLibrary(EncoderLibrary& library);

// The callbacks the encoder reads and writes the caller's files with:
// WriteFile, ReadFile and SetFilePointer.
DWORD CALLBACK WriteFileCallback(HANDLE file, LPCVOID buffer, DWORD bytes);
DWORD CALLBACK ReadFileCallback(HANDLE file, LPVOID buffer, DWORD bytes);
DWORD CALLBACK SeekFileCallback(HANDLE file, LONG distance, DWORD method);

}  // namespace k460::encoder
