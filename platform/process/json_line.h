// A small JSON subset for the message log: objects whose values are
// strings, integers or nested objects. Strings are written from UTF-16 so
// that any text survives the trip: valid characters as UTF-8, control
// characters and unpaired surrogates as \u escapes, never a raw line break.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace k460::json {

struct Value {
  enum class Kind { String, Integer, Object } kind = Kind::String;
  std::u16string text;
  std::int64_t integer = 0;
  std::vector<std::string> keys;  // an object's members in order
  std::vector<Value> members;

  static Value String(std::u16string s);
  static Value Integer(std::int64_t n);
  static Value Object();
  void Add(std::string key, Value value);
  const Value* Find(std::string_view key) const;
};

// Compact form on one line, without a line break at the end.
std::string Write(const Value& value);
// Nothing when the text is no well-formed value of the subset.
std::optional<Value> Read(std::string_view text);

}  // namespace k460::json
