// Lookups in a hive's key tree and the naming rules of keys.
#include "platform/registry/hive_tree.h"

#include <sys/random.h>
#include <unistd.h>

#include <atomic>
#include <chrono>

#include "platform/base/text.h"
#include "platform/registry/registry.h"

namespace k460::registry {

Key* Key::FindSubkey(std::u16string_view name) const {
  auto it = subkeys.find(AsciiUpper(name));
  return it == subkeys.end() ? nullptr : it->second.get();
}

Value* Key::FindValue(std::u16string_view name) {
  for (auto& v : values)
    if (EqualsNoCase(v.name, name)) return &v;
  return nullptr;
}

const Value* Key::FindValue(std::u16string_view name) const { return const_cast<Key*>(this)->FindValue(name); }

LONG SplitKeyPath(std::u16string_view text, std::vector<std::u16string>* components) {
  components->clear();
  if (text.empty()) return ERROR_SUCCESS;
  if (text.front() == u'\\') return ERROR_BAD_PATHNAME;
  if (text.back() == u'\\') text.remove_suffix(1);
  std::size_t start = 0;
  while (true) {
    std::size_t end = text.find(u'\\', start);
    std::u16string_view part = text.substr(start, end == std::u16string_view::npos ? end : end - start);
    if (part.empty()) return ERROR_BAD_PATHNAME;
    if (part.size() > kMaxKeyNameChars) return ERROR_INVALID_PARAMETER;
    components->emplace_back(part);
    if (end == std::u16string_view::npos) break;
    start = end + 1;
  }
  return ERROR_SUCCESS;
}

Path UpperPath(const std::vector<std::u16string>& components) {
  Path path;
  path.reserve(components.size());
  for (auto& c : components) path.push_back(AsciiUpper(c));
  return path;
}

Key* WalkPath(const Key& root, const Path& path) {
  const Key* key = &root;
  for (auto& part : path) {
    auto it = key->subkeys.find(part);
    if (it == key->subkeys.end()) return nullptr;
    key = it->second.get();
  }
  return const_cast<Key*>(key);
}

std::uint64_t RandomNumber() {
  std::uint64_t value = 0;
  if (::getrandom(&value, sizeof value, 0) == static_cast<ssize_t>(sizeof value)) return value;
  // No entropy source: mix what differs between processes and calls.
  static std::atomic<std::uint64_t> counter{0};
  auto now = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  return (now * 0x9E3779B97F4A7C15ULL) ^ (static_cast<std::uint64_t>(::getpid()) << 32) ^ ++counter;
}

std::uint64_t NewKeyId() {
  std::uint64_t id;
  do id = RandomNumber();
  while (id == 0);
  return id;
}

std::uint64_t NowFileTime() {
  FILETIME ft;
  GetSystemTimeAsFileTime(&ft);
  return (static_cast<std::uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

}  // namespace k460::registry
