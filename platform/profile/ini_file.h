// Loading and saving INI files: where a profile name leads, which encoding a
// file has, and replacing a file in one step.
#pragma once

#include <filesystem>
#include <mutex>

#include "platform/base/base.h"
#include "platform/profile/ini_document.h"

namespace k460 {

enum class IniEncoding { Ansi, Utf8, Utf16 };

struct IniFile {
  std::filesystem::path path;
  bool exists = false;
  IniEncoding encoding = IniEncoding::Ansi;  // a new file is written in the ANSI code page
  IniDocument document;
};

// Held around every profile call, so that a read-modify-write of this
// process is never interleaved with another.
std::unique_lock<std::mutex> LockProfiles();

// The host path of a profile file name: a name without a folder lives in the
// Windows folder, a null name is "win.ini". False with *error for a bad name.
bool ProfilePath(LPCWSTR fileName, std::filesystem::path* path, DWORD* error);

// Reads the file; a missing or unreadable file gives an empty document with
// exists false.
IniFile LoadIniFile(const std::filesystem::path& path);

// Writes the document in the file's encoding to a new file beside it and
// renames that over the file. Answers ERROR_SUCCESS or the Windows error.
DWORD SaveIniFile(const IniFile& file);

}  // namespace k460
