// k460 dump FILE: prints what a print file holds, in whatever format it is.
#include <fstream>
#include <iostream>
#include <sstream>

#include "tools/k460/commands.h"
#include "tools/k460/dump_formats.h"

namespace k460::tool {

std::vector<DumpFormat>& DumpFormats() {
  static std::vector<DumpFormat> formats;
  return formats;
}

namespace {

int Dump(const std::string& file, const std::string& format) {
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    std::cerr << "k460 dump: cannot open " << file << "\n";
    return 2;
  }
  std::ostringstream bytes;
  bytes << in.rdbuf();
  const std::string data = bytes.str();
  std::string_view head(data.data(), std::min<std::size_t>(data.size(), 4096));
  for (auto& f : DumpFormats()) {
    if (format.empty() ? f.detect(head) : f.name == format) return f.dump(data, std::cout, std::cerr);
  }
  std::cerr << "k460 dump: " << file << ": " << (format.empty() ? "format not recognised" : "no format " + format)
            << "\n";
  return 2;
}

K460_COMMAND("dump", "Print the contents of a print file (PJL/PCL XL job, page stream, ...)",
             [](CLI::App& app) -> std::function<int()> {
               auto file = std::make_shared<std::string>();
               auto format = std::make_shared<std::string>();
               app.add_option("FILE", *file, "The file to print")->required();
               app.add_option("--format", *format, "Take the file as this format instead of detecting it");
               return [file, format] { return Dump(*file, *format); };
             });

}  // namespace
}  // namespace k460::tool
