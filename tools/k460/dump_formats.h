// Formats that `k460 dump` can print. Each format lives in its own file and
// registers itself with K460_DUMP_FORMAT; dump picks the first format whose
// detector accepts the file's first bytes.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace k460::tool {

struct DumpFormat {
  std::string name;
  // Sees the start of the file (up to 4096 bytes).
  std::function<bool(std::string_view head)> detect;
  // Prints the whole file; returns the exit code (nonzero on malformed input).
  std::function<int(const std::string& bytes, std::ostream& out, std::ostream& err)> dump;
};

std::vector<DumpFormat>& DumpFormats();

struct DumpFormatRegistrar {
  explicit DumpFormatRegistrar(DumpFormat format) { DumpFormats().push_back(std::move(format)); }
};

}  // namespace k460::tool

#define K460_DUMP_FORMAT_CONCAT2(a, b) a##b
#define K460_DUMP_FORMAT_CONCAT(a, b) K460_DUMP_FORMAT_CONCAT2(a, b)
#define K460_DUMP_FORMAT(name, ...) \
  static ::k460::tool::DumpFormatRegistrar K460_DUMP_FORMAT_CONCAT(k460DumpFormat, __LINE__)({name, __VA_ARGS__})
