// Subcommands of the k460 tool. Each cmd_*.cpp file registers one with
// K460_COMMAND; main() builds the command line from all of them.
#pragma once

#include <CLI/CLI.hpp>

#include <functional>
#include <string>
#include <vector>

namespace k460::tool {

struct Command {
  std::string name;
  std::string help;
  // Adds the subcommand's options to `app` and returns what to run once the
  // command line is parsed (its result is the exit code).
  std::function<std::function<int()>(CLI::App& app)> setup;
};

std::vector<Command>& Commands();

struct CommandRegistrar {
  explicit CommandRegistrar(Command command) { Commands().push_back(std::move(command)); }
};

}  // namespace k460::tool

#define K460_COMMAND_CONCAT2(a, b) a##b
#define K460_COMMAND_CONCAT(a, b) K460_COMMAND_CONCAT2(a, b)
#define K460_COMMAND(name, help, ...) \
  static ::k460::tool::CommandRegistrar K460_COMMAND_CONCAT(k460CommandRegistrar, __LINE__)({name, help, __VA_ARGS__})
