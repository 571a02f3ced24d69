// Runs a program as a person would from a shell, for the tests that check a
// command's output and exit code.
#pragma once

#include <string>

namespace k460::testing {

struct ProgramRun {
  int exitCode = -1;   // -1 when the program did not exit normally
  std::string output;  // its standard output and standard error together
};

ProgramRun RunProgram(const std::string& shellCommand);

}  // namespace k460::testing
