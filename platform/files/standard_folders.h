// The folders that every Windows machine has, kept in the machine root.
#pragma once

#include <optional>
#include <string>

namespace k460 {

// Creates the machine's standard folders (Windows, system, driver and
// temporary folders, the user's profile folders, the all-users folders)
// once per machine root, so that callers find them as on Windows.
void EnsureStandardFolders();

// Creates the folder (Windows form) with its parents when it is missing;
// false when it cannot be made.
bool EnsureFolder(const std::u16string& windowsPath);

// The Windows path of a CSIDL folder (flags masked off), or nothing for a
// folder this machine does not know.
std::optional<std::u16string> KnownFolderPath(int csidl);

}  // namespace k460
