// The monitor's temporary folder: "qtxport" inside the spooler's temporary
// folder, where jobs make their files.
#pragma once

#include <string>

namespace netmon {

// Creates the folder (an existing one is fine) on Windows XP and later,
// keeps it to the account that owns it, and answers it with a trailing
// backslash; the plain temporary path when it cannot be made or secured,
// and on Windows 2000 and NT.
std::u16string PrepareTempFolder();

// The folder chosen at initialisation; before a job, PrepareTempFolder
// again makes it anew if it has gone.
std::u16string MonitorTempPath();
void SetMonitorTempPath(const std::u16string& path);

}  // namespace netmon
