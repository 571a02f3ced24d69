// k460rc: compiles a resource script into a C++ source that carries the
// resources of one library (see parser.h for the script language).
//
//   k460rc -o resources.cpp [--depfile resources.cpp.d] [--program] script.rc
//
// --program names the directory as a program's instead of a library's.
// Errors are printed as "file:line:column: error: ..." and end the program
// with status 1, writing nothing.
#include <cstring>
#include <fstream>
#include <iostream>
#include <system_error>

#include "platform/module/resource_directory.h"
#include "tools/k460rc/emitter.h"
#include "tools/k460rc/parser.h"

namespace {

namespace fs = std::filesystem;

int Usage() {
  std::cerr << "usage: k460rc -o OUTPUT.cpp [--depfile OUTPUT.d] [--program] SCRIPT.rc\n";
  return 2;
}

// Writes beside the target and renames, so a failed run leaves no half file.
bool WriteFile(const fs::path& path, const std::string& text) {
  fs::path temporary = path;
  temporary += ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out.flush()) return false;
  }
  std::error_code ec;
  fs::rename(temporary, path, ec);
  return !ec;
}

}  // namespace

int main(int argc, char** argv) {
  fs::path output, depfile, script;
  std::string symbol = K460_RESOURCE_DIRECTORY_SYMBOL;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "-o") == 0 && i + 1 < argc) {
      output = argv[++i];
    } else if (std::strcmp(argv[i], "--depfile") == 0 && i + 1 < argc) {
      depfile = argv[++i];
    } else if (std::strcmp(argv[i], "--program") == 0) {
      symbol = K460_PROGRAM_RESOURCE_DIRECTORY_SYMBOL;
    } else if (argv[i][0] == '-' || !script.empty()) {
      return Usage();
    } else {
      script = argv[i];
    }
  }
  if (output.empty() || script.empty()) return Usage();
  try {
    k460rc::CompiledScript compiled = k460rc::CompileScript(script);
    if (!WriteFile(output, k460rc::EmitSource(compiled.resources, script, symbol))) {
      std::cerr << "k460rc: cannot write " << output.string() << "\n";
      return 1;
    }
    if (!depfile.empty() && !WriteFile(depfile, k460rc::EmitDependencies(output, compiled.dependencies))) {
      std::cerr << "k460rc: cannot write " << depfile.string() << "\n";
      return 1;
    }
  } catch (const k460rc::CompileError& e) {
    std::cerr << e.what() << "\n";
    return 1;
  }
  return 0;
}
