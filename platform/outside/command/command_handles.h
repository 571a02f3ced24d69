// The command objects that a command library has handed out. Each library
// compiles command_exports.cpp, and with it its own table.
#pragma once

#include <memory>

#include "platform/outside/command/command_object.h"

namespace k460::cmdlib {

// The command object of `hCmd`, or null with ERROR_INVALID_HANDLE set.
std::shared_ptr<CommandObject> FindCommand(HANDLE hCmd);

}  // namespace k460::cmdlib
