// The page encoder as the monitors bind it: loaded by name ("qtxtoenc.dll")
// through the platform and every function found by its ordinal.
#pragma once

#include <string>

#include "platform/module/module.h"
#include "platform/outside/qtxtoenc/qtxtoenc.h"

namespace k460::testing {

struct EncoderBinding {
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

  // Loads and binds; false (with the reason in `failure`) when anything is missing.
  bool Load(std::string* failure);
  void Unload();
};

}  // namespace k460::testing
