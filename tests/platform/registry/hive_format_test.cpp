// The hive file reader refuses hostile files instead of trusting their counts.
#include <gtest/gtest.h>

#include "platform/registry/hive_format.h"

namespace {

using namespace k460::registry;

// A file around `tree` with a correct header and checksum.
std::string FileAround(const std::string& tree) {
  Key empty;
  std::string file = EncodeHive(empty, 42).substr(0, kHiveHeaderSize);
  auto put32 = [&](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) file[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  put32(offsetof(HiveHeader, treeSize), static_cast<std::uint32_t>(tree.size()));
  put32(offsetof(HiveHeader, checksum), HiveChecksum(tree));
  return file + tree;
}

std::string Le(std::uint64_t v, int bytes) {
  std::string s;
  for (int i = 0; i < bytes; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  return s;
}

// A key record: id, time, name, then the rest as given.
std::string KeyRecord(std::u16string_view name, const std::string& rest) {
  std::string s = Le(7, 8) + Le(0, 8) + Le(name.size(), 2);
  for (char16_t c : name) s += Le(c, 2);
  return s + rest;
}

TEST(HiveFormatTest, RoundTripsATree) {
  Key root;
  auto sub = std::make_unique<Key>();
  sub->name = u"Ports";
  sub->id = 99;
  sub->values.push_back(Value{u"KP2_10.0.0.1", 1, {0, 0}});
  root.subkeys.emplace(u"PORTS", std::move(sub));
  std::uint64_t stamp = 0;
  std::string reason;
  auto back = DecodeHive(EncodeHive(root, 1234), &stamp, &reason);
  ASSERT_TRUE(back) << reason;
  EXPECT_EQ(stamp, 1234u);
  Key* ports = back->FindSubkey(u"ports");
  ASSERT_TRUE(ports);
  EXPECT_EQ(ports->id, 99u);
  ASSERT_EQ(ports->values.size(), 1u);
  EXPECT_EQ(ports->values[0].name, u"KP2_10.0.0.1");
}

TEST(HiveFormatTest, RefusesHostileTreesWithAValidChecksum) {
  std::string noValues = Le(0, 4);
  struct Case {
    const char* what;
    std::string tree;
  };
  std::string deep = KeyRecord(u"k", noValues + Le(0, 4));
  for (int i = 0; i < 600; ++i) deep = KeyRecord(u"k", noValues + Le(1, 4) + deep);
  deep = KeyRecord(u"", noValues + Le(1, 4) + deep);
  const Case cases[] = {
      {"huge value count", KeyRecord(u"", Le(0xFFFFFFFF, 4))},
      {"huge subkey count", KeyRecord(u"", noValues + Le(0xFFFFFFFF, 4))},
      {"value data beyond the end", KeyRecord(u"", Le(1, 4) + Le(0, 2) + Le(3, 4) + Le(0x7FFFFFFF, 4))},
      {"name beyond the end", KeyRecord(u"", "").substr(0, 16) + Le(200, 2)},
      {"named root", KeyRecord(u"x", noValues + Le(0, 4))},
      {"unnamed subkey", KeyRecord(u"", noValues + Le(1, 4) + KeyRecord(u"", noValues + Le(0, 4)))},
      {"backslash in a key name", KeyRecord(u"", noValues + Le(1, 4) + KeyRecord(u"a\\b", noValues + Le(0, 4)))},
      {"same subkey twice",
       KeyRecord(u"", noValues + Le(2, 4) + KeyRecord(u"A", noValues + Le(0, 4)) +
                          KeyRecord(u"a", noValues + Le(0, 4)))},
      {"same value twice",
       KeyRecord(u"", Le(2, 4) + Le(1, 2) + Le(u'v', 2) + Le(4, 4) + Le(0, 4) + Le(1, 2) + Le(u'V', 2) + Le(4, 4) +
                          Le(0, 4) + Le(0, 4))},
      {"nested beyond the limit", deep},
      {"trailing bytes", KeyRecord(u"", noValues + Le(0, 4)) + "x"},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::uint64_t stamp = 0;
    std::string reason;
    EXPECT_EQ(DecodeHive(FileAround(c.tree), &stamp, &reason), nullptr);
    EXPECT_FALSE(reason.empty());
  }
  std::uint64_t stamp = 0;
  std::string reason;
  EXPECT_NE(DecodeHive(FileAround(KeyRecord(u"", noValues + Le(0, 4))), &stamp, &reason), nullptr) << reason;
}

}  // namespace
