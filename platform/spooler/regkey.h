// A registry key that closes itself, with typed value access: how the
// spooler keeps printers, drivers and monitors in the machine's registry.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry/registry.h"
#include "platform/registry/registry_host.h"

namespace k460 {

class RegKey {
 public:
  RegKey() = default;
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;
  RegKey(RegKey&& other) noexcept : key_(other.key_), snapshot_(std::move(other.snapshot_)) {
    other.key_ = nullptr;
  }
  RegKey& operator=(RegKey&& other) noexcept;
  ~RegKey();

  static RegKey Open(HKEY root, std::u16string_view path, REGSAM access = KEY_READ);
  static RegKey Create(HKEY root, std::u16string_view path, REGSAM access = KEY_ALL_ACCESS);
  // Removes `path` and everything below it.
  static LONG DeleteTree(HKEY root, std::u16string_view path);

  explicit operator bool() const { return key_ != nullptr; }
  HKEY get() const { return key_; }

  // Reads every value of the key at once; the getters then answer from
  // that copy (until a value is set or deleted through this object), so a
  // whole record costs one read of the hive instead of one per value.
  bool Snapshot();

  std::optional<DWORD> GetDword(std::u16string_view name) const;
  std::optional<std::u16string> GetString(std::u16string_view name) const;
  std::optional<std::vector<std::u16string>> GetMultiString(std::u16string_view name) const;
  // Type and bytes of any value.
  std::optional<std::pair<DWORD, std::vector<BYTE>>> GetRaw(std::u16string_view name) const;

  LONG SetDword(std::u16string_view name, DWORD value) const;
  LONG SetString(std::u16string_view name, std::u16string_view value) const;
  LONG SetMultiString(std::u16string_view name, const std::vector<std::u16string>& values) const;
  LONG SetRaw(std::u16string_view name, DWORD type, const void* data, DWORD size) const;
  LONG DeleteValue(std::u16string_view name) const;

  std::vector<std::u16string> SubKeys() const;
  std::vector<std::u16string> ValueNames() const;

 private:
  explicit RegKey(HKEY key) : key_(key) {}
  HKEY key_ = nullptr;
  mutable std::optional<std::vector<RegistryValue>> snapshot_;
};

}  // namespace k460
