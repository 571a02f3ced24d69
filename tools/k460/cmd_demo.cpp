// k460 demo: the main job. Prints the bundled sample document through every
// driver of the suite that is built, each to its own file, prints what each
// job holds with `k460 dump`; then prints it once more over the whole
// host-based road (hbgraph, the spooler, the network port monitor) to the
// emulated device, run in this process; and says where everything is.
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>

#include "platform/base/host.h"
#include "platform/base/text.h"
#include "platform/module/module.h"
#include "platform/outside/device/emulator.h"
#include "tools/k460/commands.h"
#include "tools/k460/device_road.h"
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

// Waits (a few seconds at most) until the device has no job left open.
std::vector<device::DeviceJob> SettledJobs(device::Emulator& emulator) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (true) {
    auto jobs = emulator.core().Jobs();
    bool open = false;
    for (const auto& job : jobs) open = open || job.state == device::JobState::Open;
    if (!open || std::chrono::steady_clock::now() > deadline) return jobs;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

// Keeps the device (and its status page) up until a person presses Enter;
// a run without a terminal goes straight on.
void KeepRunningForAPerson(const device::Emulator& emulator) {
  if (!isatty(STDIN_FILENO)) return;
  std::cout << "  the device keeps running: open " << emulator.url() << " in a browser; press Enter to stop it"
            << std::flush;
  std::string line;
  std::getline(std::cin, line);
}

// The host-based road to the emulated device, set up as `k460 print
// --device` does; the printer's port and the HTTP port setting are put back
// afterwards, as the device does not outlive the demo. Answers whether the
// device received the job.
bool DemoDeviceRoad(const std::string& sample, const fs::path& out) {
  const RoadSettings before = SaveRoadSettings();
  device::EmulatorOptions settings;
  settings.jobsFolder = out / "device";
  device::Emulator emulator(settings);
  if (std::string failure = emulator.Start(); !failure.empty()) {
    std::cout << "  the emulated device did not start: " << failure << "\n";
    return false;
  }
  std::cout << "  device: " << emulator.url() << " (emulated, in this process)\n";
  PrintOptions options;
  options.files = {sample};
  options.device = "127.0.0.1:" + std::to_string(emulator.port());
  options.quiet = true;
  const int rc = PrintDocuments(options);
  bool received = false;
  if (rc != 0) {
    std::cout << "  printing failed (exit code " << rc << ")\n";
  } else {
    for (const auto& job : SettledJobs(emulator)) {
      std::cout << "  device job " << job.sequence << ": " << job.pages.size() << " page(s), "
                << device::JobStateName(job.state) << (job.outcome.empty() ? "" : " (" + job.outcome + ")") << "\n";
      for (const auto& page : job.pages)
        std::cout << "    page " << page.number << ": " << page.width << " x " << page.height << " at "
                  << page.resolution << " dpi, " << (settings.jobsFolder / job.folder / page.image).string() << "\n";
      received = received || job.state == device::JobState::Completed;
    }
    if (!received) std::cout << "  the device has no completed job\n";
  }
  std::cout << "  status page: " << emulator.url() << "\n  jobs folder: " << settings.jobsFolder.string() << "\n";
  KeepRunningForAPerson(emulator);
  emulator.Stop();
  const bool restored = RestoreRoadSettings(before);
  std::cout << "  device stopped" << (restored ? "" : "; the printer's port could not be put back") << "\n";
  return received;
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

  std::cout << "\nhbgraph to the device over the network (netmon, HTTP):\n";
  if (!Built("hbgraph") || !Built("netmon")) {
    std::cout << "  not built yet\n";
  } else if (DemoDeviceRoad(sample, out)) {
    ++printed;
  } else {
    ++failed;
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
