// The resources of one library as the resource compiler (k460rc) lays them
// out: a directory of entries, each naming its type, its name and its
// language and pointing at its bytes. The compiler emits the directory as
// one C-linkage symbol per library, `k460_resource_directory` (in a program:
// `k460_program_resource_directory`); the loader finds it with dlsym. Header-only and free of platform types, so that the
// compiler (a host program) and the platform share the one definition.
#pragma once

#include <cstdint>

namespace k460::resources {

// Numbered types of the system's resource kinds.
inline constexpr std::uint16_t kTypeCursor = 1;
inline constexpr std::uint16_t kTypeBitmap = 2;
inline constexpr std::uint16_t kTypeIcon = 3;
inline constexpr std::uint16_t kTypeMenu = 4;
inline constexpr std::uint16_t kTypeDialog = 5;
inline constexpr std::uint16_t kTypeString = 6;
inline constexpr std::uint16_t kTypeFontDir = 7;
inline constexpr std::uint16_t kTypeFont = 8;
inline constexpr std::uint16_t kTypeAccelerator = 9;
inline constexpr std::uint16_t kTypeRcData = 10;
inline constexpr std::uint16_t kTypeMessageTable = 11;
inline constexpr std::uint16_t kTypeGroupCursor = 12;
inline constexpr std::uint16_t kTypeGroupIcon = 14;
inline constexpr std::uint16_t kTypeVersion = 16;
inline constexpr std::uint16_t kTypeHtml = 23;
inline constexpr std::uint16_t kTypeManifest = 24;

// "K4RC": marks a directory written by the compiler; the version changes
// whenever the layout below or of a resource's bytes changes.
inline constexpr std::uint32_t kDirectoryMagic = 0x4352344B;
inline constexpr std::uint32_t kDirectoryVersion = 1;

// String tables are stored as the system stores them, in blocks of 16
// strings: block b (numbered from 1) holds the strings (b - 1) * 16 to
// (b - 1) * 16 + 15. Each slot is a 16-bit little-endian length n, then n
// UTF-16LE units, then one 16-bit zero that the length does not count, so
// that a pointer into the block is also a terminated string. An empty slot
// (n = 0) is a string that does not exist.
inline constexpr unsigned kStringsPerBlock = 16;

}  // namespace k460::resources

// A type or a name: a number (name null) or an upper-case text.
struct K460ResourceId {
  const char16_t* name;
  std::uint16_t number;
};

struct K460ResourceEntry {
  K460ResourceId type;
  K460ResourceId name;
  std::uint16_t language;
  std::uint32_t size;
  const unsigned char* data;  // 8-byte aligned
};

// Entries are sorted by type, then name (numbers before texts, numbers
// ascending, texts in code-unit order), then language ascending.
struct K460ResourceDirectory {
  std::uint32_t magic;
  std::uint32_t version;
  std::uint32_t count;
  const K460ResourceEntry* entries;
};

#define K460_RESOURCE_DIRECTORY_SYMBOL "k460_resource_directory"
// A program's resources go by a name of their own: a program exports its
// symbols to the libraries it loads, which define the library name.
#define K460_PROGRAM_RESOURCE_DIRECTORY_SYMBOL "k460_program_resource_directory"
