// A reader of whole PCL XL print jobs: Universal Exit Language sequences,
// PJL lines, the PCL XL stream header and the binary binding (low byte
// first) of protocol class 2.0. It keeps its own tables of the protocol, so
// that it can check what a writer produced; malformed input is reported
// with the byte offset where it went wrong.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace k460::pclxl {

enum class DataType : std::uint8_t {
  UByte = 0xC0,
  UInt16 = 0xC1,
  UInt32 = 0xC2,
  SInt16 = 0xC3,
  SInt32 = 0xC4,
  Real32 = 0xC5,
  UByteArray = 0xC8,
  UInt16Array = 0xC9,
  UInt32Array = 0xCA,
  SInt16Array = 0xCB,
  SInt32Array = 0xCC,
  Real32Array = 0xCD,
  UByteXY = 0xD0,
  UInt16XY = 0xD1,
  UInt32XY = 0xD2,
  SInt16XY = 0xD3,
  SInt32XY = 0xD4,
  Real32XY = 0xD5,
  UByteBox = 0xE0,
  UInt16Box = 0xE1,
  UInt32Box = 0xE2,
  SInt16Box = 0xE3,
  SInt32Box = 0xE4,
  Real32Box = 0xE5,
};

// A decoded value: one number for a scalar, two for a pair, four for a box,
// one per element for an array. Every 32-bit integer and every real32 is
// exact in a double.
struct Value {
  DataType type{};
  std::vector<double> numbers;
  std::size_t offset = 0;  // of the data type tag
};

struct Attribute {
  std::uint16_t id = 0;
  Value value;
  std::size_t offset = 0;  // of the attribute tag
};

struct Operator {
  std::uint8_t code = 0;
  std::vector<Attribute> attributes;
  std::size_t offset = 0;
  // Embedded data that follows the operator.
  bool hasData = false;
  std::uint32_t dataLength = 0;
  std::size_t dataOffset = 0;  // of the first data byte
};

struct UniversalExit {
  std::size_t offset = 0;
};

struct PjlLine {
  std::string text;  // without the line end
  std::size_t offset = 0;
};

struct StreamHeader {
  char binding = 0;           // ')' : binary, low byte first
  std::string streamClass;    // "HP-PCL XL"
  unsigned protocolClass = 0;
  unsigned revision = 0;
  std::string comment;        // the rest of the line after the third ';'
  std::size_t offset = 0;
};

using Item = std::variant<UniversalExit, PjlLine, StreamHeader, Operator>;

enum class ErrorKind {
  UnknownTag,                 // a byte that is no tag, attribute or operator of class 2.0
  UnknownAttribute,           // an attribute identifier that class 2.0 does not define
  TruncatedValue,             // the input ends inside a value, identifier or length
  AttributeWithoutValue,      // an attribute identifier with no value in front of it
  ValueWithoutAttribute,      // a value followed by another value or an operator
  AttributesWithoutOperator,  // attributes left over where the stream ends
  BadArrayLength,             // an array length that is not a ubyte or uint16 value
  DataWithoutOperator,        // embedded data that does not follow an operator
  DataPastEnd,                // embedded data longer than the input
  BadHeader,                  // a stream header that does not read ") HP-PCL XL;n;n;..."
  UnsupportedBinding,         // the ASCII or high-byte-first binding
  UnexpectedText,             // bytes outside PJL lines before the stream
};

struct ParseError {
  ErrorKind kind{};
  std::size_t offset = 0;
  std::string message;
};

struct Job {
  std::vector<Item> items;            // everything read before any error
  std::optional<ParseError> error;
};

// Reads a whole job, or a PCL XL stream that begins with its header.
Job ParseJob(std::string_view bytes);

// Names of the protocol; empty for codes that class 2.0 does not define.
std::string_view OperatorName(std::uint8_t code);
std::string_view AttributeName(std::uint16_t id);
std::string_view DataTypeName(DataType type);
std::string_view ErrorKindName(ErrorKind kind);

// Text forms: "uint16_xy(600, 600)", "ubyte_array[5] \"Arial\"", and one
// line per item as `k460 dump` prints it.
std::string FormatValue(const Value& value);
std::string FormatItem(const Item& item);
std::string FormatError(const ParseError& error);

}  // namespace k460::pclxl
