// Small helpers shared by the file tests.
#pragma once

#include <string>

#include "platform/files/files.h"

namespace k460::testing {

inline HANDLE OpenFile(const std::u16string& name, DWORD access, DWORD disposition, DWORD share = 0,
                       DWORD flags = FILE_ATTRIBUTE_NORMAL) {
  return CreateFileW(name.c_str(), access, share, nullptr, disposition, flags, nullptr);
}

inline bool WriteText(HANDLE file, const std::string& text) {
  DWORD written = 0;
  return WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
         written == text.size();
}

// Reads up to `limit` bytes from the current position.
inline std::string ReadText(HANDLE file, DWORD limit = 4096) {
  std::string buffer(limit, '\0');
  DWORD read = 0;
  if (!ReadFile(file, buffer.data(), limit, &read, nullptr)) return "<failed>";
  buffer.resize(read);
  return buffer;
}

}  // namespace k460::testing
