// The page script: a plain-text document of drawing calls, one a line, in
// UTF-8. tools/print/README.md describes the commands; samples/sample.k460
// uses every one of them. Every error is a DocumentError whose message
// starts with the file name and line: "letter.k460:12: unknown command 'rectnagle'".
#pragma once

#include <string>
#include <string_view>

#include "tools/print/document.h"

namespace k460::print {

// Reads the script file at `path`; image files it names are found relative
// to the script's folder.
Document ReadPageScript(const std::string& path);

// Parses script text; `name` is the file name that errors give, and image
// files are found relative to `baseDirectory` (the current folder when empty).
Document ParsePageScript(std::string_view text, const std::string& name, const std::string& baseDirectory);

}  // namespace k460::print
