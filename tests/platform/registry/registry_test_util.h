// Small helpers shared by the registry tests.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/text.h"
#include "platform/registry/registry.h"

namespace k460::testing {

inline HKEY CreateKey(HKEY parent, const char16_t* path, REGSAM access = KEY_ALL_ACCESS) {
  HKEY key = nullptr;
  LONG rc = RegCreateKeyExW(parent, path, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &key, nullptr);
  EXPECT_EQ(rc, ERROR_SUCCESS);
  return key;
}

inline HKEY OpenKey(HKEY parent, const char16_t* path, REGSAM access = KEY_ALL_ACCESS) {
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExW(parent, path, 0, access, &key), ERROR_SUCCESS);
  return key;
}

inline LONG SetBytes(HKEY key, const char16_t* name, DWORD type, const std::vector<BYTE>& data) {
  return RegSetValueExW(key, name, 0, type, data.data(), static_cast<DWORD>(data.size()));
}

inline LONG SetDword(HKEY key, const char16_t* name, DWORD value) {
  return RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

// The value's bytes, or nothing when it cannot be read.
inline std::optional<std::vector<BYTE>> QueryBytes(HKEY key, const char16_t* name, DWORD* type = nullptr) {
  DWORD size = 0;
  if (RegQueryValueExW(key, name, nullptr, type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
  std::vector<BYTE> data(size);
  if (RegQueryValueExW(key, name, nullptr, type, data.data(), &size) != ERROR_SUCCESS) return std::nullopt;
  data.resize(size);
  return data;
}

inline std::optional<DWORD> QueryDword(HKEY key, const char16_t* name) {
  auto bytes = QueryBytes(key, name);
  if (!bytes || bytes->size() != 4) return std::nullopt;
  DWORD v;
  std::memcpy(&v, bytes->data(), 4);
  return v;
}

inline std::vector<BYTE> Utf16Bytes(std::u16string_view text) {
  std::vector<BYTE> out;
  for (char16_t c : text) {
    out.push_back(static_cast<BYTE>(c & 0xFF));
    out.push_back(static_cast<BYTE>(c >> 8));
  }
  return out;
}

inline std::vector<std::u16string> SubkeyNames(HKEY key) {
  std::vector<std::u16string> names;
  WCHAR name[256];
  for (DWORD i = 0;; ++i) {
    DWORD size = 256;
    LONG rc = RegEnumKeyExW(key, i, name, &size, nullptr, nullptr, nullptr, nullptr);
    if (rc != ERROR_SUCCESS) {
      EXPECT_EQ(rc, ERROR_NO_MORE_ITEMS);
      break;
    }
    names.emplace_back(name, size);
  }
  return names;
}

inline std::vector<std::u16string> ValueNames(HKEY key) {
  std::vector<std::u16string> names;
  WCHAR name[256];
  for (DWORD i = 0;; ++i) {
    DWORD size = 256;
    LONG rc = RegEnumValueW(key, i, name, &size, nullptr, nullptr, nullptr, nullptr);
    if (rc != ERROR_SUCCESS) {
      EXPECT_EQ(rc, ERROR_NO_MORE_ITEMS);
      break;
    }
    names.emplace_back(name, size);
  }
  return names;
}

}  // namespace k460::testing
