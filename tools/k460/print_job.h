// Printing documents through a driver of the suite: what `k460 print` and
// `k460 demo` run. Loads the printer's graphics driver, builds the job's
// settings (driver defaults, the printer's stored defaults, then the
// options), plays each document page by page into the driver through the
// engine stand-in, and lets the spooler stand-in deliver the job to the
// printer's port (or to `output`). With `device` it first sets up the road
// to a network device (see device_road.h) and prints through it.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace k460::tool {

struct PrintOptions {
  std::vector<std::string> files;
  std::string printer;   // a printer by name, or
  std::string driver;    // the suite's printer of this graphics library ("xlgraph")
  std::string output;    // a file instead of the printer's port
  std::optional<std::string> device;  // ADDRESS[:HTTPPORT] of a network device
  std::string copies;
  std::vector<std::string> options;  // -o NAME=VALUE ...
  std::vector<std::string> fields;   // --set FIELD=VALUE
  bool quiet = false;
};

// Exit codes that tell apart what went wrong.
inline constexpr int kExitBadInput = 2;  // a document, an option or a printer that is not there
inline constexpr int kExitDriver = 3;    // the driver failed
inline constexpr int kExitDelivery = 4;  // the job did not reach the port
inline constexpr int kExitSetup = 5;     // the road to the device could not be set up

// Progress on stderr, a summary line on stdout; returns 0 or an exit code.
int PrintDocuments(const PrintOptions& options);

}  // namespace k460::tool
