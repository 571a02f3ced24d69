// Little-endian access to stored records. Job settings and printer data are
// little-endian byte for byte on every host; these helpers are the only way
// the settings code reads or writes their fields, so that a big-endian host
// sees the same values. On a little-endian host they compile to plain loads
// and stores.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "platform/base/types.h"

namespace le_detail {

template <typename U>
constexpr U ByteSwap(U v) {
  U out = 0;
  for (std::size_t i = 0; i < sizeof(U); ++i) {
    out = static_cast<U>((out << 8) | (v & 0xFF));
    v = static_cast<U>(v >> 8);
  }
  return out;
}

template <std::size_t N>
struct UnsignedOfSize;
template <>
struct UnsignedOfSize<1> {
  using type = std::uint8_t;
};
template <>
struct UnsignedOfSize<2> {
  using type = std::uint16_t;
};
template <>
struct UnsignedOfSize<4> {
  using type = std::uint32_t;
};
template <>
struct UnsignedOfSize<8> {
  using type = std::uint64_t;
};

}  // namespace le_detail

// Reads a T stored little-endian at p (any alignment).
template <typename T>
inline T LoadLe(const void* p) {
  static_assert(std::is_trivially_copyable_v<T>);
  using U = typename le_detail::UnsignedOfSize<sizeof(T)>::type;
  U bits;
  std::memcpy(&bits, p, sizeof bits);
  if constexpr (std::endian::native == std::endian::big) bits = le_detail::ByteSwap(bits);
  return std::bit_cast<T>(bits);
}

// Writes v little-endian at p (any alignment).
template <typename T>
inline void StoreLe(void* p, T v) {
  static_assert(std::is_trivially_copyable_v<T>);
  using U = typename le_detail::UnsignedOfSize<sizeof(T)>::type;
  U bits = std::bit_cast<U>(v);
  if constexpr (std::endian::native == std::endian::big) bits = le_detail::ByteSwap(bits);
  std::memcpy(p, &bits, sizeof bits);
}

// Fields declared with native types in a stored record (the system's
// DEVMODEW): LeGet(dm.dmSize), LeSet(dm.dmCopies, 1).
template <typename T>
inline T LeGet(const T& storedField) {
  return LoadLe<T>(&storedField);
}
template <typename T>
inline void LeSet(T& storedField, std::type_identity_t<T> value) {
  StoreLe<T>(&storedField, value);
}

// A field of the driver's own records, kept as little-endian bytes: reads
// and assignments convert, so `int i = pv.pvPaperIndex; pv.pvZoom = 100;`
// are correct on any host. Alignment 1, so a record's layout is exactly the
// order and size of its fields.
template <typename T>
class LeValue {
 public:
  operator T() const { return LoadLe<T>(bytes_); }
  T value() const { return LoadLe<T>(bytes_); }
  LeValue& operator=(T v) {
    StoreLe<T>(bytes_, v);
    return *this;
  }

 private:
  BYTE bytes_[sizeof(T)];
};

using LeInt16 = LeValue<std::int16_t>;
using LeUInt16 = LeValue<std::uint16_t>;
using LeInt32 = LeValue<std::int32_t>;
using LeUInt32 = LeValue<std::uint32_t>;
using LeFloat = LeValue<float>;

static_assert(sizeof(LeInt32) == 4 && alignof(LeInt32) == 1 && sizeof(LeUInt16) == 2);
static_assert(std::is_trivially_copyable_v<LeInt32> && std::is_standard_layout_v<LeInt32>);
