#include "tools/k460rc/resource_set.h"

#include <algorithm>
#include <cstdio>
#include <tuple>

#include "platform/module/resource_directory.h"

namespace k460rc {
namespace {

std::string Hex4(unsigned value) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%04X", value & 0xFFFF);
  return text;
}

void PutWord(std::vector<std::uint8_t>& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

}  // namespace

ResourceId ResourceId::Text(std::u16string t) {
  for (auto& c : t)
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 32);
  return {false, 0, std::move(t)};
}

std::string ResourceId::Describe() const {
  if (isNumber) return std::to_string(number);
  std::string out;
  for (char16_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

bool ResourceId::operator<(const ResourceId& other) const {
  if (isNumber != other.isNumber) return isNumber;
  return isNumber ? number < other.number : text < other.text;
}

void ResourceSet::Add(Resource resource) {
  for (const auto& existing : resources_)
    if (existing.type == resource.type && existing.name == resource.name && existing.language == resource.language)
      throw CompileError(resource.where, "resource " + resource.name.Describe() + " of type " +
                                             resource.type.Describe() + " in language " + Hex4(resource.language) +
                                             " is already defined at " + existing.where.Describe());
  resources_.push_back(std::move(resource));
}

void ResourceSet::AddString(std::uint16_t language, std::uint16_t id, std::u16string text,
                            const SourceLocation& where) {
  if (text.size() > 0xFFFF) throw CompileError(where, "string " + std::to_string(id) + " is longer than 65535 units");
  auto [it, added] = strings_.emplace(std::make_pair(language, id), StringEntry{std::move(text), where});
  if (!added)
    throw CompileError(where, "string " + std::to_string(id) + " in language " + Hex4(language) +
                                  " is already defined at " + it->second.where.Describe());
}

std::uint16_t ResourceSet::UnusedNumber(const ResourceId& type, const SourceLocation& where) {
  while (nextNumber_ != 0) {
    std::uint16_t candidate = nextNumber_++;
    bool used = std::any_of(resources_.begin(), resources_.end(), [&](const Resource& r) {
      return r.type == type && r.name.isNumber && r.name.number == candidate;
    });
    if (!used) return candidate;
  }
  throw CompileError(where, "no numbers left for icon images");
}

std::vector<Resource> ResourceSet::Finish() const {
  std::vector<Resource> all = resources_;
  // Blocks of 16 strings: (language, block) -> the block's 16 slots.
  std::map<std::pair<std::uint16_t, std::uint16_t>, std::vector<const StringEntry*>> blocks;
  using k460::resources::kStringsPerBlock;
  for (const auto& [key, entry] : strings_) {
    auto [language, id] = key;
    auto& slots = blocks[{language, static_cast<std::uint16_t>(id / kStringsPerBlock + 1)}];
    slots.resize(kStringsPerBlock, nullptr);
    slots[id % kStringsPerBlock] = &entry;
  }
  for (const auto& [key, slots] : blocks) {
    Resource block;
    block.type = ResourceId::Number(k460::resources::kTypeString);
    block.name = ResourceId::Number(key.second);
    block.language = key.first;
    for (const StringEntry* slot : slots) {
      std::u16string_view text = slot ? std::u16string_view(slot->text) : std::u16string_view();
      if (slot && block.where.file.empty()) block.where = slot->where;
      PutWord(block.data, static_cast<std::uint16_t>(text.size()));
      for (char16_t c : text) PutWord(block.data, c);
      PutWord(block.data, 0);
    }
    all.push_back(std::move(block));
  }
  std::sort(all.begin(), all.end(), [](const Resource& a, const Resource& b) {
    if (!(a.type == b.type)) return a.type < b.type;
    if (!(a.name == b.name)) return a.name < b.name;
    return a.language < b.language;
  });
  return all;
}

}  // namespace k460rc
