#include "tools/k460rc/emitter.h"

#include <cstdio>
#include <sstream>

namespace k460rc {
namespace {

std::string Hex(unsigned value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%0*X", digits, value);
  return text;
}

// An id as a K460ResourceId initializer; texts become named arrays.
std::string IdInitializer(const ResourceId& id, std::ostringstream& names, int& nameCount) {
  if (id.isNumber) return "{nullptr, " + std::to_string(id.number) + "}";
  std::string array = "kName" + std::to_string(nameCount++);
  names << "const char16_t " << array << "[] = {";
  for (char16_t c : id.text) names << Hex(c, 4) << ", ";
  names << "0};\n";
  return "{" + array + ", 0}";
}

std::string DependencyPath(const std::filesystem::path& file) {
  std::string out;
  for (char c : std::filesystem::absolute(file).lexically_normal().string()) {
    if (c == ' ' || c == '#' || c == '\\') out += '\\';
    if (c == '$') out += '$';
    out += c;
  }
  return out;
}

}  // namespace

std::string EmitSource(const std::vector<Resource>& resources, const std::filesystem::path& script,
                       const std::string& symbol) {
  std::ostringstream data, names, entries, out;
  int nameCount = 0;
  for (std::size_t i = 0; i < resources.size(); ++i) {
    const Resource& r = resources[i];
    std::string array = "kData" + std::to_string(i);
    data << "alignas(8) const unsigned char " << array << "[" << (r.data.empty() ? 1 : r.data.size()) << "] = {";
    for (std::size_t k = 0; k < r.data.size(); ++k) data << (k % 16 == 0 ? "\n    " : "") << Hex(r.data[k], 2) << ",";
    data << (r.data.empty() ? "0" : "") << "};\n";
    entries << "    {" << IdInitializer(r.type, names, nameCount) << ", " << IdInitializer(r.name, names, nameCount)
            << ", " << Hex(r.language, 4) << ", " << r.data.size() << ", " << array << "},\n";
  }
  out << "// Resources compiled by k460rc from " << script.filename().string()
      << "; edit the script, not this file.\n"
      << "#include \"platform/module/resource_directory.h\"\n\n"
      << "namespace {\n\n"
      << data.str() << "\n"
      << names.str() << "\n";
  if (!resources.empty()) out << "const K460ResourceEntry kEntries[] = {\n" << entries.str() << "};\n";
  out << "\n}  // namespace\n\n"
      << "extern \"C\" __attribute__((visibility(\"default\"))) const K460ResourceDirectory " << symbol
      << " = {\n"
      << "    k460::resources::kDirectoryMagic, k460::resources::kDirectoryVersion, " << resources.size() << ", "
      << (resources.empty() ? "nullptr" : "kEntries") << "};\n";
  return out.str();
}

std::string EmitDependencies(const std::filesystem::path& output, const std::vector<std::filesystem::path>& files) {
  std::string out = DependencyPath(output) + ":";
  for (const auto& file : files) out += " \\\n  " + DependencyPath(file);
  return out + "\n";
}

}  // namespace k460rc
