#include "tests/support/run_program.h"

#include <sys/wait.h>

#include <cstdio>

namespace k460::testing {

ProgramRun RunProgram(const std::string& shellCommand) {
  ProgramRun run;
  FILE* pipe = ::popen((shellCommand + " 2>&1").c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) run.output.append(buffer, n);
  int status = ::pclose(pipe);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

}  // namespace k460::testing
