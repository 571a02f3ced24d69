#include "tools/k460/commands.h"

namespace k460::tool {

std::vector<Command>& Commands() {
  static std::vector<Command> commands;
  return commands;
}

}  // namespace k460::tool
