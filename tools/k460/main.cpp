// k460: prints through the K-410/460 drivers and monitors on this machine.
#include <algorithm>
#include <iostream>

#include "platform/base/host.h"
#include "tools/k460/commands.h"

int main(int argc, char** argv) {
  CLI::App app{"k460: the K-410/460 printer driver suite on a machine of its own"};
  app.require_subcommand(1);
  std::string root;
  app.add_option("--root", root, "Machine root folder (default: $K460_ROOT or ~/.local/share/k460)");

  auto& commands = k460::tool::Commands();
  std::sort(commands.begin(), commands.end(), [](auto& a, auto& b) { return a.name < b.name; });
  std::function<int()> run;
  for (auto& command : commands) {
    CLI::App* sub = app.add_subcommand(command.name, command.help);
    auto action = command.setup(*sub);
    sub->callback([&run, action] { run = action; });
  }
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return app.exit(e);
  }
  k460::SetMachineRoot(root.empty() ? k460::DefaultMachineRoot() : std::filesystem::path(root));
  k460::SetClockMode(k460::ClockMode::Real);
  try {
    return run ? run() : 0;
  } catch (const std::exception& e) {
    std::cerr << "k460: " << e.what() << "\n";
    return 1;
  }
}
