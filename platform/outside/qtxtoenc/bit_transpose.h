// Transposes an 8 x 8 bit block: byte i of the input (counted from the most
// significant byte) is row i, its most significant bit column 0; afterwards
// byte k holds column k, row 0 in its most significant bit.
#pragma once

#include <cstdint>

namespace qtxtoenc {

inline std::uint64_t Transpose8x8(std::uint64_t x) {
  std::uint64_t t;
  t = (x ^ (x >> 7)) & 0x00AA00AA00AA00AAULL;
  x = x ^ t ^ (t << 7);
  t = (x ^ (x >> 14)) & 0x0000CCCC0000CCCCULL;
  x = x ^ t ^ (t << 14);
  t = (x ^ (x >> 28)) & 0x00000000F0F0F0F0ULL;
  x = x ^ t ^ (t << 28);
  return x;
}

}  // namespace qtxtoenc
