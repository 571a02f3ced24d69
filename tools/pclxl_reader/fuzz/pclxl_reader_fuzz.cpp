// Feeds arbitrary bytes to the PCL XL reader and formats whatever it found:
// the reader must answer every input with items or an error, never crash or
// read outside the input.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "tools/pclxl_reader/pclxl_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace k460::pclxl;
  Job job = ParseJob(std::string_view(reinterpret_cast<const char*>(data), size));
  std::size_t length = 0;
  for (const Item& item : job.items) {
    length += FormatItem(item).size();
    if (const auto* op = std::get_if<Operator>(&item); op && op->hasData) {
      // Embedded data must lie inside the input.
      if (op->dataOffset + op->dataLength > size) __builtin_trap();
    }
  }
  if (job.error) {
    if (job.error->offset > size) __builtin_trap();
    length += FormatError(*job.error).size();
  }
  (void)length;
  return 0;
}
