// Little-endian loads and stores of integers in byte buffers, independent of
// the host's byte order and of the buffer's alignment: how every stored or
// sent record of the suite is read and written.
#pragma once

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace k460 {

template <std::integral T>
constexpr T LoadLe(const std::uint8_t* p) {
  using U = std::make_unsigned_t<T>;
  U value = 0;
  for (std::size_t i = 0; i < sizeof(T); ++i) value = static_cast<U>(value | (U(p[i]) << (8 * i)));
  return static_cast<T>(value);
}

template <std::integral T>
constexpr void StoreLe(std::uint8_t* p, T value) {
  using U = std::make_unsigned_t<T>;
  const U bits = static_cast<U>(value);
  for (std::size_t i = 0; i < sizeof(T); ++i) p[i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

}  // namespace k460
