// What hosts and tests use to see how libraries are found and why a load
// failed. The suite itself never calls this.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace k460 {

// The folders searched for a library named without a folder, in order: the
// machine's printer-driver directory, the folders of K460_LIBPATH
// (separated by ':'), the folder holding the platform library.
std::vector<std::filesystem::path> LibrarySearchFolders();

// The dynamic loader's message for the calling thread's last failed load
// (empty when the library was simply not found).
std::string LastLibraryLoadFailure();

}  // namespace k460
