// An expected byte image of a record, written with explicit little-endian
// encodings at the byte offsets of the stored format.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

namespace settings_test {

class ByteImage {
 public:
  explicit ByteImage(std::size_t size) : bytes_(size, 0) {}
  ByteImage& U8(std::size_t at, std::uint8_t v) {
    bytes_.at(at) = v;
    return *this;
  }
  ByteImage& U16(std::size_t at, std::uint16_t v) { return U8(at, v & 0xFF).U8(at + 1, v >> 8); }
  ByteImage& U32(std::size_t at, std::uint32_t v) { return U16(at, v & 0xFFFF).U16(at + 2, v >> 16); }
  ByteImage& F32(std::size_t at, float v) {
    std::uint32_t bits;
    std::memcpy(&bits, &v, 4);
    return U32(at, bits);
  }
  ByteImage& Text(std::size_t at, std::u16string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) U16(at + 2 * i, text[i]);
    return *this;
  }
  const std::vector<std::uint8_t>& bytes() const { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
};

}  // namespace settings_test
