// The caller's key table, copied when a command object is made: element
// and parameter names by index, "" for an unused entry.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/base/types.h"

namespace k460::cmdlib {

class KeyTable {
 public:
  // Reads up to the null pointer that ends the table; nothing when the
  // table is null, longer than MCMD_MAX_KEYS or has a name that is too long.
  static std::optional<KeyTable> Copy(const LPCSTR* table);
  explicit KeyTable(std::vector<std::string> names) : names_(std::move(names)) {}

  // The name of `key`; null for a key outside the table or an empty entry.
  const std::string* Name(LONG key) const;
  // The first key with this name, or -1.
  LONG Find(std::string_view name) const;

 private:
  std::vector<std::string> names_;
};

}  // namespace k460::cmdlib
