// Writing and reading the file form of a hive.
#include "platform/registry/hive_format.h"

#include <array>
#include <cstring>
#include <set>

#include "platform/base/text.h"

namespace k460::registry {
namespace {

constexpr char kMagic[8] = {'K', '4', '6', '0', 'H', 'I', 'V', 'E'};
// The smallest encodings, used to refuse counts the remaining bytes cannot hold.
constexpr std::size_t kMinKeyBytes = 8 + 8 + 2 + 4 + 4;
constexpr std::size_t kMinValueBytes = 2 + 4 + 4;

class Writer {
 public:
  void U16(std::uint16_t v) { Put(v, 2); }
  void U32(std::uint32_t v) { Put(v, 4); }
  void U64(std::uint64_t v) { Put(v, 8); }
  void Name(const std::u16string& name) {
    U16(static_cast<std::uint16_t>(name.size()));
    for (char16_t c : name) U16(c);
  }
  void Bytes(const std::vector<BYTE>& data) { out_.append(reinterpret_cast<const char*>(data.data()), data.size()); }
  std::string& out() { return out_; }

 private:
  void Put(std::uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out_.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  }
  std::string out_;
};

void WriteKey(Writer& w, const Key& key) {
  w.U64(key.id);
  w.U64(key.lastWrite);
  w.Name(key.name);
  w.U32(static_cast<std::uint32_t>(key.values.size()));
  for (auto& v : key.values) {
    w.Name(v.name);
    w.U32(v.type);
    w.U32(static_cast<std::uint32_t>(v.data.size()));
    w.Bytes(v.data);
  }
  w.U32(static_cast<std::uint32_t>(key.subkeys.size()));
  for (auto& [upper, sub] : key.subkeys) WriteKey(w, *sub);
}

class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}
  std::size_t left() const { return bytes_.size() - at_; }
  bool U16(std::uint16_t* v) { return Get(v, 2); }
  bool U32(std::uint32_t* v) { return Get(v, 4); }
  bool U64(std::uint64_t* v) { return Get(v, 8); }
  bool Name(std::u16string* name, std::size_t maxChars) {
    std::uint16_t n;
    if (!U16(&n) || n > maxChars || left() < 2u * n) return false;
    name->resize(n);
    for (auto& c : *name) {
      std::uint16_t unit = 0;
      U16(&unit);  // cannot fail: the length was checked above
      c = static_cast<char16_t>(unit);
    }
    return true;
  }
  bool Bytes(std::vector<BYTE>* data, std::size_t n) {
    if (left() < n) return false;
    data->assign(bytes_.begin() + at_, bytes_.begin() + at_ + n);
    at_ += n;
    return true;
  }

 private:
  template <class T>
  bool Get(T* v, int bytes) {
    if (left() < static_cast<std::size_t>(bytes)) return false;
    std::uint64_t x = 0;
    for (int i = 0; i < bytes; ++i)
      x |= static_cast<std::uint64_t>(static_cast<unsigned char>(bytes_[at_ + i])) << (8 * i);
    at_ += bytes;
    *v = static_cast<T>(x);
    return true;
  }
  std::string_view bytes_;
  std::size_t at_ = 0;
};

bool ReadKey(Reader& r, Key* key, std::size_t depth, std::string* reason) {
  if (depth > kMaxDepth) {
    *reason = "keys nested too deeply";
    return false;
  }
  std::uint32_t count;
  if (!r.U64(&key->id) || !r.U64(&key->lastWrite) || !r.Name(&key->name, kMaxKeyNameChars) || !r.U32(&count)) {
    *reason = "key record cut short";
    return false;
  }
  bool root = depth == 0;
  if (root != key->name.empty() || key->name.find(u'\\') != std::u16string::npos) {
    *reason = "bad key name";
    return false;
  }
  if (count > r.left() / kMinValueBytes) {
    *reason = "value count beyond the file";
    return false;
  }
  key->values.resize(count);
  for (auto& v : key->values) {
    std::uint32_t size;
    if (!r.Name(&v.name, kMaxValueNameChars) || !r.U32(&v.type) || !r.U32(&size) || !r.Bytes(&v.data, size)) {
      *reason = "value record cut short";
      return false;
    }
  }
  std::set<std::u16string> names;
  for (auto& v : key->values)
    if (!names.insert(AsciiUpper(v.name)).second) {
      *reason = "value name twice in one key";
      return false;
    }
  if (!r.U32(&count) || count > r.left() / kMinKeyBytes) {
    *reason = "subkey count beyond the file";
    return false;
  }
  for (std::uint32_t i = 0; i < count; ++i) {
    auto sub = std::make_unique<Key>();
    if (!ReadKey(r, sub.get(), depth + 1, reason)) return false;
    if (!key->subkeys.emplace(AsciiUpper(sub->name), std::move(sub)).second) {
      *reason = "subkey name twice in one key";
      return false;
    }
  }
  return true;
}

}  // namespace

std::uint32_t HiveChecksum(std::string_view bytes) {
  static const auto table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
      std::uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[i] = c;
    }
    return t;
  }();
  std::uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char b : bytes) crc = table[(crc ^ b) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

std::string EncodeHive(const Key& root, std::uint64_t stamp) {
  Writer tree;
  WriteKey(tree, root);
  Writer file;
  file.out().append(kMagic, sizeof kMagic);
  file.U32(kHiveVersion);
  file.U32(static_cast<std::uint32_t>(tree.out().size()));
  file.U64(stamp);
  file.U32(HiveChecksum(tree.out()));
  file.U32(0);
  file.out() += tree.out();
  return std::move(file.out());
}

bool DecodeHiveHeader(std::string_view bytes, HiveHeader* header) {
  if (bytes.size() < kHiveHeaderSize || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0) return false;
  std::memcpy(header->magic, kMagic, sizeof kMagic);
  Reader r(bytes.substr(sizeof kMagic, kHiveHeaderSize - sizeof kMagic));
  return r.U32(&header->version) && r.U32(&header->treeSize) && r.U64(&header->stamp) && r.U32(&header->checksum) &&
         r.U32(&header->reserved);
}

std::unique_ptr<Key> DecodeHive(std::string_view bytes, std::uint64_t* stamp, std::string* reason) {
  HiveHeader header;
  if (!DecodeHiveHeader(bytes, &header)) {
    *reason = bytes.empty() ? "empty file" : "not a hive file";
    return nullptr;
  }
  if (header.version != kHiveVersion) {
    *reason = "unknown hive version " + std::to_string(header.version);
    return nullptr;
  }
  std::string_view tree = bytes.substr(kHiveHeaderSize);
  if (tree.size() != header.treeSize) {
    *reason = "file is " + std::to_string(bytes.size()) + " bytes, header says " +
              std::to_string(kHiveHeaderSize + header.treeSize);
    return nullptr;
  }
  if (HiveChecksum(tree) != header.checksum) {
    *reason = "checksum mismatch";
    return nullptr;
  }
  auto root = std::make_unique<Key>();
  Reader r(tree);
  if (!ReadKey(r, root.get(), 0, reason)) return nullptr;
  if (r.left() != 0) {
    *reason = "bytes after the key tree";
    return nullptr;
  }
  *stamp = header.stamp;
  return root;
}

}  // namespace k460::registry
