// Whole-file reads and writes on host descriptors, for the facilities that
// keep their state in files of the machine root (registry hives, INI files,
// the machine profile).
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace k460 {

// Both retry on interruption and report a short transfer as failure.
bool WriteAllToFd(int fd, std::string_view bytes);
bool ReadAllFromFd(int fd, std::string* bytes);

// Writes `bytes` to a new file beside `file` (a name no other process or
// thread uses) and renames it over `file`, so that no reader ever sees half
// a file. With `sync` the data reaches the disk before the rename. Returns 0
// or the errno of the step that failed; the new file never stays behind.
int ReplaceFileContents(const std::filesystem::path& file, std::string_view bytes, bool sync);

}  // namespace k460
