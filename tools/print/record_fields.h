// Named access to the fields of a fixed-layout settings record, for
// `k460 print --set FIELD=VALUE`. A record's field table is built from its
// definition (MakeField deduces each field's kind, size and array length
// from the member's declared type), and CoversRecord proves at compile time
// that the table leaves no byte of the record out.
//
// Names: NAME, NAME[INDEX] for an element of an array, NAME.MEMBER for a
// member of an embedded record, combined as in pvCustomPapers[3].fWidth.
// Values: integers in decimal or 0x hexadecimal within the field's type,
// decimal numbers for floats, UTF-8 text for wide-text fields.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "driver/pcl/printer_common/settings/little_endian.h"

namespace k460::print {

enum class FieldType : std::uint8_t { UInt8, Int16, UInt16, Int32, UInt32, Float, Text, Record };

struct FieldInfo {
  std::string_view name;
  std::size_t offset = 0;  // from the start of the record or of the enclosing member
  FieldType type = FieldType::Int32;
  std::size_t size = 0;                // bytes, every element included
  std::size_t elements = 1;            // more than 1: an array of elements of size / elements bytes
  std::size_t capacity = 0;            // Text: characters, the terminator included
  std::span<const FieldInfo> members;  // Record: the fields of one element
  std::uint32_t dmFieldsBit = 0;       // a device mode field: its bit in dmFields
};

// ---- Building tables ----------------------------------------------------------
// Specialise with `static constexpr std::span<const FieldInfo> value` for
// every record type embedded in a settings record.
template <typename T>
struct RecordMembers;

namespace field_detail {

template <typename T>
concept EmbeddedRecord = requires {
  RecordMembers<T>::value;
};

template <typename T>
constexpr FieldType ScalarType() {
  if constexpr (std::is_same_v<T, std::uint8_t>)
    return FieldType::UInt8;
  else if constexpr (std::is_same_v<T, std::int16_t> || std::is_same_v<T, LeInt16>)
    return FieldType::Int16;
  else if constexpr (std::is_same_v<T, std::uint16_t> || std::is_same_v<T, LeUInt16>)
    return FieldType::UInt16;
  else if constexpr (std::is_same_v<T, std::int32_t> || std::is_same_v<T, LeInt32>)
    return FieldType::Int32;
  else if constexpr (std::is_same_v<T, std::uint32_t> || std::is_same_v<T, LeUInt32>)
    return FieldType::UInt32;
  else if constexpr (std::is_same_v<T, float> || std::is_same_v<T, LeFloat>)
    return FieldType::Float;
  else
    static_assert(!sizeof(T), "a field type without a FieldType");
}

template <typename T>
constexpr void DescribeElement(FieldInfo& field) {
  if constexpr (EmbeddedRecord<T>) {
    field.type = FieldType::Record;
    field.members = RecordMembers<T>::value;
  } else {
    field.type = ScalarType<T>();
  }
}

}  // namespace field_detail

template <typename T>
constexpr FieldInfo MakeField(std::string_view name, std::size_t offset, std::uint32_t dmFieldsBit = 0) {
  FieldInfo field;
  field.name = name;
  field.offset = offset;
  field.size = sizeof(T);
  field.dmFieldsBit = dmFieldsBit;
  if constexpr (std::is_array_v<T>) {
    using Element = std::remove_extent_t<T>;
    if constexpr (std::is_same_v<Element, char16_t>) {
      field.type = FieldType::Text;
      field.capacity = std::extent_v<T>;
    } else {
      field.elements = std::extent_v<T>;
      field_detail::DescribeElement<Element>(field);
    }
  } else {
    field_detail::DescribeElement<T>(field);
  }
  return field;
}

// True when the fields follow each other without gap or overlap from byte 0
// to byte `size`: the table names every byte of the record.
constexpr bool CoversRecord(std::span<const FieldInfo> table, std::size_t size) {
  std::size_t next = 0;
  for (const FieldInfo& field : table) {
    if (field.offset != next) return false;
    next += field.size;
  }
  return next == size;
}

// ---- Using tables ---------------------------------------------------------------
// A field resolved to its bytes in the record: a scalar or a text.
struct FieldLocation {
  const FieldInfo* field = nullptr;
  std::size_t offset = 0;  // from the start of the record
};

// Throws OptionError for an unknown name (with the valid names), a missing
// or out-of-range index, or a name that stops at an array or a record.
FieldLocation ResolveField(std::span<const FieldInfo> table, std::string_view name);

// A checked assignment, ready to be written into any record of the table's type.
struct FieldWrite {
  std::string name;
  std::size_t offset = 0;
  std::vector<std::uint8_t> bytes;
  std::uint32_t dmFieldsBit = 0;
};

// Parses "NAME=VALUE"; throws OptionError naming the field and the valid
// range or length when the value does not fit.
FieldWrite PrepareFieldWrite(std::span<const FieldInfo> table, std::string_view assignment);
// Writes the bytes and, for a device mode field, sets its bit in dmFields
// (the record must begin with the system's DEVMODEW).
void ApplyFieldWrite(std::span<std::uint8_t> record, const FieldWrite& write);

// The field's value as text, the way PrepareFieldWrite accepts it.
std::string FieldValueText(std::span<const std::uint8_t> record, std::span<const FieldInfo> table,
                           std::string_view name);

// The top-level names of a table, in record order.
std::vector<std::string> FieldNames(std::span<const FieldInfo> table);

}  // namespace k460::print
