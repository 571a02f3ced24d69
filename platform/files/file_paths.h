// Turning the names that callers pass into host paths, and host failures into
// the errors Windows reports. Shared by the file and the profile functions.
#pragma once

#include <filesystem>
#include <string_view>

#include "platform/base/base.h"

namespace k460 {

// The host path of a caller's file name. Fails with ERROR_PATH_NOT_FOUND for
// a null or empty name and ERROR_INVALID_NAME for characters that Windows
// does not allow in names (wildcards, "<>|\"", control characters, a colon
// after the drive). Makes sure the machine's standard folders exist first.
bool ResolveFileName(LPCWSTR name, std::filesystem::path* hostPath, DWORD* error);

// The Windows error for a host failure `err` (an errno value) on `path`: a
// missing entry is ERROR_FILE_NOT_FOUND when its folder exists and
// ERROR_PATH_NOT_FOUND when it does not.
DWORD ErrorFromErrno(int err, const std::filesystem::path& path);

// Copies `text` with its terminator into `buffer` of `size` characters and
// returns its length; when it does not fit, returns the size needed
// (terminator included) and leaves the buffer alone. The convention of
// GetTempPathW, GetSystemDirectoryW and their kind.
DWORD CopyOutString(std::u16string_view text, LPWSTR buffer, DWORD size);

}  // namespace k460
