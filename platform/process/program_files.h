// Which host program a Windows program path starts (internal to the
// process facility).
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace k460::process {

// The program's host file: installed in the root under its Windows path
// (with or without ".exe"), else, for a bare name or one in the system
// directory, the stand-in program of that name from the library search
// folders. Nothing outside the root and those folders is started.
std::optional<std::filesystem::path> FindProgramFile(std::u16string_view windowsPath);

// "qtxweb" for "C:\Windows\System32\QTXWEB.EXE": the name that program
// answers are queued under.
std::u16string ProgramKey(std::u16string_view windowsPath);

}  // namespace k460::process
