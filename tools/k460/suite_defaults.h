// The suite's drivers, monitors and default printers as a fresh machine
// gets them.
#pragma once

namespace k460::tool {

// Installs the drivers and monitors of the suite and one printer per driver,
// leaving existing printers as they are. Returns false when the registry
// could not be written.
bool InstallSuiteDefaults();

// Installs the defaults when the machine has no printer at all.
bool EnsureSuiteDefaults();

}  // namespace k460::tool
