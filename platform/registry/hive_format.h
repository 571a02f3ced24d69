// The file form of a hive: a 32-byte header, then the key tree, every
// number little-endian and every name UTF-16LE code units.
//
//   key   := id u64, lastWrite u64, nameChars u16, name,
//            valueCount u32, value*, subkeyCount u32, key*
//   value := nameChars u16, name, type u32, dataBytes u32, data
//
// The checksum covers the tree, so a truncated or damaged file is refused as
// a whole instead of being read in part.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/registry/hive_tree.h"

namespace k460::registry {

struct HiveHeader {
  char magic[8];          // "K460HIVE"
  std::uint32_t version;  // kHiveVersion
  std::uint32_t treeSize;
  std::uint64_t stamp;     // new random number on every write
  std::uint32_t checksum;  // CRC-32 of the tree bytes
  std::uint32_t reserved;
};
static_assert(sizeof(HiveHeader) == 32);
static_assert(offsetof(HiveHeader, version) == 8 && offsetof(HiveHeader, treeSize) == 12);
static_assert(offsetof(HiveHeader, stamp) == 16 && offsetof(HiveHeader, checksum) == 24);
static_assert(offsetof(HiveHeader, reserved) == 28);

inline constexpr std::size_t kHiveHeaderSize = sizeof(HiveHeader);
inline constexpr std::uint32_t kHiveVersion = 1;

// CRC-32 (IEEE) of the tree bytes.
std::uint32_t HiveChecksum(std::string_view tree);

std::string EncodeHive(const Key& root, std::uint64_t stamp);

// Reads the header only; false when `bytes` does not begin with one of ours.
bool DecodeHiveHeader(std::string_view bytes, HiveHeader* header);

// Reads a whole hive file; on failure `reason` says what is wrong with it.
std::unique_ptr<Key> DecodeHive(std::string_view bytes, std::uint64_t* stamp, std::string* reason);

}  // namespace k460::registry
