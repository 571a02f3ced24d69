// The resources a script defines, checked for duplicates, with its string
// tables gathered into the system's blocks of 16.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tools/k460rc/diagnostics.h"

namespace k460rc {

// A type or a name: a number, or an upper-case text.
struct ResourceId {
  bool isNumber = true;
  std::uint16_t number = 0;
  std::u16string text;

  static ResourceId Number(std::uint16_t n) { return {true, n, {}}; }
  static ResourceId Text(std::u16string t);
  std::string Describe() const;
  // Numbers before texts, numbers ascending, texts in code-unit order.
  bool operator<(const ResourceId& other) const;
  bool operator==(const ResourceId& other) const = default;
};

struct Resource {
  ResourceId type;
  ResourceId name;
  std::uint16_t language = 0;
  std::vector<std::uint8_t> data;
  SourceLocation where;
};

class ResourceSet {
 public:
  void Add(Resource resource);
  void AddString(std::uint16_t language, std::uint16_t id, std::u16string text, const SourceLocation& where);
  // A number for an icon image that no resource of `type` uses yet.
  std::uint16_t UnusedNumber(const ResourceId& type, const SourceLocation& where);
  // Everything, string-table blocks included, sorted by type, name and language.
  std::vector<Resource> Finish() const;

 private:
  struct StringEntry {
    std::u16string text;
    SourceLocation where;
  };
  std::vector<Resource> resources_;
  std::map<std::pair<std::uint16_t, std::uint16_t>, StringEntry> strings_;  // (language, id)
  std::uint16_t nextNumber_ = 1;
};

}  // namespace k460rc
