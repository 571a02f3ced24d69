// Small helpers shared by the loader and resource tests.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/base/internal.h"
#include "platform/base/text.h"
#include "platform/module/module.h"

namespace k460::testing {

// The test library as CMake built it.
inline std::filesystem::path BuiltTestLibrary() { return std::filesystem::path(K460_BIN_DIR) / "k460modtest.so"; }

inline std::u16string ModuleFileName(HMODULE module) {
  WCHAR buffer[1024];
  DWORD length = GetModuleFileNameW(module, buffer, 1024);
  return std::u16string(buffer, length);
}

inline std::u16string Canonical(const std::filesystem::path& path) {
  return Utf8ToUtf16(std::filesystem::canonical(path).string());
}

// Sets K460_LIBPATH for the lifetime of the object.
class ScopedLibPath {
 public:
  explicit ScopedLibPath(const std::string& value) { setenv("K460_LIBPATH", value.c_str(), 1); }
  ~ScopedLibPath() { unsetenv("K460_LIBPATH"); }
};

}  // namespace k460::testing
