// The bytes of a command as they travel: a multipart/form-data body with
// the tree as an XML document (part "command"), each parameter as a part of
// its own name, and the attached file (part "file", under its file name).
#pragma once

#include <string>

#include "platform/outside/command/command_object.h"

namespace k460::cmdlib {

struct RequestBody {
  std::string contentType;
  std::string bytes;
};

// The tree as an XML document (UTF-8); the mode is the root's attribute
// "mode".
std::string CommandDocument(const Element& root, LONG mode);

// 0, or the error of reading the attached file (ERROR_FILE_NOT_FOUND,
// ERROR_READ_FAULT, ERROR_BUFFER_OVERFLOW for a file beyond MCMD_MAX_FILE).
DWORD BuildRequestBody(const CommandObject& command, RequestBody* body);

// The part names the device reads.
inline constexpr char kCommandPart[] = "command";
inline constexpr char kFilePart[] = "file";
inline constexpr char kCommandMode[] = "mode";

}  // namespace k460::cmdlib
