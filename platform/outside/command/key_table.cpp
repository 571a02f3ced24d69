#include "platform/outside/command/key_table.h"

#include <cstring>

#include "platform/outside/command/mcmd.h"

namespace k460::cmdlib {

std::optional<KeyTable> KeyTable::Copy(const LPCSTR* table) {
  if (!table) return std::nullopt;
  std::vector<std::string> names;
  for (DWORD i = 0; table[i]; ++i) {
    if (i >= MCMD_MAX_KEYS) return std::nullopt;
    // The name ends within the limit, or the table is refused.
    const std::size_t length = strnlen(table[i], MCMD_MAX_NAME + 1);
    if (length > MCMD_MAX_NAME) return std::nullopt;
    names.emplace_back(table[i], length);
  }
  return KeyTable(std::move(names));
}

const std::string* KeyTable::Name(LONG key) const {
  if (key < 0 || static_cast<std::size_t>(key) >= names_.size() || names_[key].empty()) return nullptr;
  return &names_[key];
}

LONG KeyTable::Find(std::string_view name) const {
  if (name.empty()) return -1;
  for (std::size_t i = 0; i < names_.size(); ++i) {
    if (names_[i] == name) return static_cast<LONG>(i);
  }
  return -1;
}

}  // namespace k460::cmdlib
