#include "platform/engine/rop.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <utility>

namespace k460::engine {
namespace {

// The operation is unfolded at compile time into a multiplexer over P, then
// S, then D; halves that do not depend on a variable collapse, so 0xCC
// becomes "s" and 0x88 "s & d".
template <unsigned T2>
inline uint64_t F1(uint64_t d) {
  if constexpr (T2 == 0) return 0;
  else if constexpr (T2 == 1) return ~d;
  else if constexpr (T2 == 2) return d;
  else return ~uint64_t{0};
}

template <unsigned T4>
inline uint64_t F2(uint64_t s, uint64_t d) {
  constexpr unsigned lo = T4 & 3, hi = T4 >> 2;
  if constexpr (lo == hi) return F1<lo>(d);
  else return (s & F1<hi>(d)) | (~s & F1<lo>(d));
}

template <unsigned T8>
inline uint64_t F3(uint64_t p, uint64_t s, uint64_t d) {
  constexpr unsigned lo = T8 & 15, hi = T8 >> 4;
  if constexpr (lo == hi) return F2<lo>(s, d);
  else return (p & F2<hi>(s, d)) | (~p & F2<lo>(s, d));
}

template <unsigned R>
void Row(BYTE* d, const BYTE* s, const BYTE* p, size_t n) {
  constexpr bool usesS = ((R >> 2) ^ R) & 0x33;
  constexpr bool usesP = ((R >> 4) ^ R) & 0x0F;
  size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    uint64_t D, S = 0, P = 0;
    std::memcpy(&D, d + i, 8);
    if constexpr (usesS) std::memcpy(&S, s + i, 8);
    if constexpr (usesP) std::memcpy(&P, p + i, 8);
    D = F3<R>(P, S, D);
    std::memcpy(d + i, &D, 8);
  }
  for (; i < n; ++i) {
    uint64_t S = 0, P = 0;
    if constexpr (usesS) S = s[i];
    if constexpr (usesP) P = p[i];
    d[i] = static_cast<BYTE>(F3<R>(P, S, d[i]));
  }
}

template <size_t... I>
constexpr std::array<RopRowFunction, 256> MakeTable(std::index_sequence<I...>) {
  return {&Row<I>...};
}

constexpr auto kTable = MakeTable(std::make_index_sequence<256>{});

}  // namespace

RopRowFunction RopRow(BYTE rop3) { return kTable[rop3]; }

}  // namespace k460::engine
