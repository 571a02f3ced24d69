// k460 device: runs the emulated K-410/460 device on 127.0.0.1 until it is
// interrupted, printing where it listens and where it keeps its jobs.
#include <csignal>
#include <iostream>
#include <pthread.h>

#include "platform/base/host.h"
#include "platform/outside/device/emulator.h"
#include "tools/k460/commands.h"

namespace {

struct DeviceOptions {
  int port = 0;
  std::string folder;
  std::vector<std::string> faults;
  int users = 3;
};

int RunDevice(const DeviceOptions& options) {
  // SIGINT and SIGTERM are taken by sigwait below; the server's threads,
  // started after this, inherit the blocked mask.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  k460::device::EmulatorOptions settings;
  settings.port = options.port;
  settings.jobsFolder = options.folder.empty() ? k460::MachineRoot() / "device" : std::filesystem::path(options.folder);
  k460::device::Emulator device(settings);
  for (const std::string& fault : options.faults) {
    if (std::string failure = device.core().faults().AddText(fault); !failure.empty()) {
      std::cerr << "k460 device: " << failure << "\n";
      return 2;
    }
  }
  device.core().SetFaxUsers(k460::device::DeviceCore::SampleFaxUsers(options.users));
  if (std::string failure = device.Start(); !failure.empty()) {
    std::cerr << "k460 device: " << failure << "\n";
    return 1;
  }
  std::cout << "k460 device: listening on " << device.url() << " (port " << device.port() << ")\n"
            << "k460 device: jobs in " << settings.jobsFolder.string() << "\n"
            << "k460 device: commands at " << device.url() << "upcmd.cgi, data at " << device.url()
            << "updata.cgi; Ctrl-C stops\n"
            << std::flush;
  int signal = 0;
  sigwait(&stopSignals, &signal);
  device.Stop();
  std::cout << "k460 device: stopped\n";
  return 0;
}

K460_COMMAND("device", "Run the emulated K-410/460 device on 127.0.0.1", [](CLI::App& app) -> std::function<int()> {
  auto options = std::make_shared<DeviceOptions>();
  app.add_option("--port", options->port, "HTTP port (default: a free one, printed)")->check(CLI::Range(0, 65535));
  app.add_option("--dir", options->folder, "Jobs folder (default: <machine root>/device)");
  app.add_option("--fault", options->faults,
                 "Fault to answer with, KIND[=VALUE][@TARGET][*TIMES]: busy, refuse, retry, nocode, noserviceid, "
                 "badcode, badserviceid, drop, delay, garbage, huge, httperror, wrongtype (repeatable)");
  app.add_option("--fax-users", options->users, "Users in the fax user list")->check(CLI::Range(0, 1000));
  return [options] { return RunDevice(*options); };
});

}  // namespace
