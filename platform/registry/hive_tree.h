// The in-memory form of one hive: a tree of keys holding typed values.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/base/base.h"

namespace k460::registry {

// The system's limits on names and nesting; the hive reader holds files to
// them as well, so a damaged file cannot make it recurse without bound.
inline constexpr std::size_t kMaxKeyNameChars = 255;
inline constexpr std::size_t kMaxValueNameChars = 16383;
inline constexpr std::size_t kMaxDepth = 512;

struct Value {
  std::u16string name;  // empty: the key's default value
  DWORD type = 0;
  std::vector<BYTE> data;
};

struct Key {
  std::u16string name;      // as first written; empty for the hive's root
  std::uint64_t id = 0;     // tells a key from a later one at the same path
  std::uint64_t lastWrite = 0;  // FILETIME ticks
  std::vector<Value> values;    // in order of creation
  std::map<std::u16string, std::unique_ptr<Key>> subkeys;  // by upper-cased name

  Key* FindSubkey(std::u16string_view name) const;
  Value* FindValue(std::u16string_view name);
  const Value* FindValue(std::u16string_view name) const;
};

// Key path components, upper-cased for lookup.
using Path = std::vector<std::u16string>;

// Splits "A\B\C" into its components as written. Empty text is the key
// itself; a single trailing backslash is allowed. A leading backslash or an
// empty component is ERROR_BAD_PATHNAME, an over-long component
// ERROR_INVALID_PARAMETER.
LONG SplitKeyPath(std::u16string_view text, std::vector<std::u16string>* components);
Path UpperPath(const std::vector<std::u16string>& components);

// The key at `path` below `root`, or null.
Key* WalkPath(const Key& root, const Path& path);

// A fresh random identity for a new key (never 0, which marks a root).
std::uint64_t NewKeyId();
// A fresh random number, safe across fork() (no generator state is shared).
std::uint64_t RandomNumber();
// The platform's current time as FILETIME ticks.
std::uint64_t NowFileTime();

}  // namespace k460::registry
