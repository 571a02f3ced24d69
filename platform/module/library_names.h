// How a library name given to LoadLibraryW becomes a file on the host.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace k460::module {

struct LibraryName {
  std::u16string folder;  // as given (Windows or host form); empty: search
  std::string fileName;   // host file name: "XLGRAPH.DLL" -> "XLGRAPH.so"
};

// Splits a name into folder and file and maps the file name: ".dll",
// ".exe", ".ocx" and ".drv" become ".so", a name without ".so" gets it.
LibraryName ParseLibraryName(std::u16string_view name);

// The lower-case table name when `name` is one of the system's libraries
// (given bare or in the system directory), which the platform stands for.
std::optional<std::u16string> SystemLibraryName(std::u16string_view name);

// The file named `fileName` in `folder`, matched exactly or else without
// regard to ASCII case; nullopt when there is none.
std::optional<std::filesystem::path> FindFileInFolder(const std::filesystem::path& folder,
                                                      std::string_view fileName);

// The folders searched for a bare name, in order.
std::vector<std::filesystem::path> SearchFolders();

// The platform library's own file.
const std::filesystem::path& PlatformLibraryPath();

}  // namespace k460::module
