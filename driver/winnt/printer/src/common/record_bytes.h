// Little-endian loads and stores of fixed-layout records. Each record type
// has a field visitor, ForEachField(record, f), that calls f(byte offset,
// field) for every field in stored order; the helpers below turn a record
// into its stored bytes and back, field by field, whatever the host's byte
// order and alignment, and check at compile time that the visited fields
// cover a record without gap or overlap.
#pragma once

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <span>
#include <type_traits>

#include "platform/base/byte_order.h"

namespace k460::hostsettings {

using k460::LoadLe;
using k460::StoreLe;

// One field (an integer or an array of integers) at `offset` of `out`.
template <class Field>
constexpr void StoreField(std::uint8_t* out, const Field& field) {
  if constexpr (std::is_array_v<Field>) {
    using Element = std::remove_extent_t<Field>;
    for (std::size_t i = 0; i < std::extent_v<Field>; ++i) StoreLe<Element>(out + i * sizeof(Element), field[i]);
  } else {
    StoreLe<Field>(out, field);
  }
}

template <class Field>
constexpr void LoadField(const std::uint8_t* in, Field& field) {
  if constexpr (std::is_array_v<Field>) {
    using Element = std::remove_extent_t<Field>;
    for (std::size_t i = 0; i < std::extent_v<Field>; ++i) field[i] = LoadLe<Element>(in + i * sizeof(Element));
  } else {
    field = LoadLe<Field>(in);
  }
}

// Stores every field of `record` into `out` (at least the record's size).
template <class Rec>
void StoreFields(const Rec& record, std::span<std::uint8_t> out) {
  ForEachField(record, [&](std::size_t offset, const auto& field) {
    StoreField<std::remove_cvref_t<decltype(field)>>(out.data() + offset, field);
  });
}

// Loads a record from `in` (at least the record's size).
template <class Rec>
Rec LoadFields(std::span<const std::uint8_t> in) {
  Rec record{};
  ForEachField(record, [&](std::size_t offset, auto& field) {
    LoadField<std::remove_cvref_t<decltype(field)>>(in.data() + offset, field);
  });
  return record;
}

// True when the visited fields follow one another without gap or overlap
// and end exactly at `size`.
template <class Rec>
constexpr bool FieldsCoverRecord(std::size_t size) {
  Rec record{};
  std::size_t next = 0;
  bool contiguous = true;
  ForEachField(record, [&](std::size_t offset, const auto& field) {
    contiguous = contiguous && offset == next;
    next = offset + sizeof(field);
  });
  return contiguous && next == size;
}

}  // namespace k460::hostsettings
