// What the compiler writes: a C++ source holding the resources and their
// directory (`k460_resource_directory`), and a make-style dependency file
// naming every file the script read, so that editing any of them rebuilds.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "tools/k460rc/resource_set.h"

namespace k460rc {

// `symbol` names the directory: the library's or the program's name.
std::string EmitSource(const std::vector<Resource>& resources, const std::filesystem::path& script,
                       const std::string& symbol);
std::string EmitDependencies(const std::filesystem::path& output, const std::vector<std::filesystem::path>& files);

}  // namespace k460rc
