// k460 demo: the main job. Prints the bundled sample document through every
// driver of the suite that is built, each to its own file, prints what each
// job holds with `k460 dump`, and says where everything is.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iostream>

#include "platform/base/host.h"
#include "platform/base/text.h"
#include "platform/module/module.h"
#include "tools/k460/commands.h"
#include "tools/k460/print_job.h"
#include "tools/k460/suite_defaults.h"

namespace k460::tool {
namespace {

namespace fs = std::filesystem;

struct DemoDriver {
  const char* library;
  const char* what;
};
constexpr DemoDriver kDrivers[] = {
    {"xlgraph", "PCL XL"},
    {"p5graph", "PCL5e"},
    {"hbgraph", "host-based page stream"},
    {"faxgraph", "fax page stream"},
};

bool Built(const char* library) {
  HMODULE module = LoadLibraryW(Utf8ToUtf16(library).c_str());
  if (!module) return false;
  FreeLibrary(module);
  return true;
}

// Runs `k460 dump` on the job and keeps its text beside it.
void Dump(const fs::path& job) {
  fs::path text = job;
  text += ".txt";
  const std::string self = fs::read_symlink("/proc/self/exe").string();
  const std::string command = "'" + self + "' --root '" + MachineRoot().string() + "' dump '" + job.string() +
                              "' > '" + text.string() + "' 2>&1";
  const int rc = std::system(command.c_str());
  std::ifstream in(text);
  std::string line;
  int lines = 0;
  while (std::getline(in, line)) {
    if (++lines <= 12) std::cout << "    " << line << "\n";
  }
  if (lines > 12) std::cout << "    ... (" << lines << " lines in all)\n";
  std::cout << "  dump: " << text.string() << (rc == 0 ? "" : "  (the reader reported a problem)") << "\n";
}

int Demo(const std::string& sample) {
  if (!EnsureSuiteDefaults()) {
    std::cerr << "k460 demo: cannot install the suite's printers in " << MachineRoot() << "\n";
    return 1;
  }
  const fs::path out = MachineRoot() / "demo";
  fs::create_directories(out);
  std::cout << "k460 demo: printing " << sample << "\nmachine root: " << MachineRoot().string() << "\n";
  int printed = 0, failed = 0;
  for (const auto& d : kDrivers) {
    std::cout << "\n" << d.library << " (" << d.what << "):\n";
    if (!Built(d.library)) {
      std::cout << "  not built yet\n";
      continue;
    }
    PrintOptions options;
    options.files = {sample};
    options.driver = d.library;
    options.output = (out / (std::string(d.library) + ".prn")).string();
    options.quiet = true;
    if (int rc = PrintDocuments(options); rc != 0) {
      std::cout << "  printing failed (exit code " << rc << ")\n";
      ++failed;
      continue;
    }
    ++printed;
    std::cout << "  job: " << options.output << "\n";
    Dump(options.output);
  }
  std::cout << "\n" << printed << " job(s) printed into " << out.string()
            << "; the messages shown are in " << (MachineRoot() / "messages.log").string() << "\n";
  return failed ? 1 : (printed ? 0 : 1);
}

K460_COMMAND("demo", "Print the sample document through each driver to its default target",
             [](CLI::App& app) -> std::function<int()> {
               auto sample = std::make_shared<std::string>(K460_SAMPLES_DIR "/sample.k460");
               app.add_option("--sample", *sample, "The document to print");
               return [sample] { return Demo(*sample); };
             });

}  // namespace
}  // namespace k460::tool
