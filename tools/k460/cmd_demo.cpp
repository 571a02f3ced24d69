// The main job. Until the print host exists it only shows where the machine is.
#include <iostream>

#include "platform/base/host.h"
#include "tools/k460/commands.h"

namespace {

K460_COMMAND("demo", "Print the sample document through each driver to its default target",
             [](CLI::App&) -> std::function<int()> {
               return [] {
                 std::cout << "k460 demo: machine root " << k460::MachineRoot().string() << "\n"
                           << "No driver is built yet: the suite's libraries arrive issue by issue.\n";
                 return 0;
               };
             });

}  // namespace
