// The statements of a resource script:
//
//   LANGUAGE primary, sub                   language of the resources below
//   STRINGTABLE [options] BEGIN             strings by number
//     id, "text"                            (C escapes; adjacent literals join)
//   END
//   name type [options] "file"              data from a file (relative to
//   name type [options] BEGIN items END     the script), or inline: numbers
//                                           (16-bit, 32-bit with L), "bytes",
//                                           L"UTF-16 text", separated by commas
//
// A name is a number (or a #defined expression) or a word; a type is a
// number, a word, or a keyword: RCDATA, HTML, MANIFEST, FONT, MESSAGETABLE
// (data as given), BITMAP (a .bmp file, stored without its file header),
// ICON (a .ico file: one RT_ICON per image and an RT_GROUP_ICON). DIALOG,
// DIALOGEX, MENU, MENUEX, ACCELERATORS, VERSIONINFO, CURSOR and TOOLBAR are
// reserved for templates still to come. Options: LANGUAGE primary, sub
// (this resource only) and the old memory words (MOVEABLE, PURE, ...),
// which are accepted and ignored. BEGIN/END may be written { }.
#pragma once

#include <filesystem>
#include <vector>

#include "tools/k460rc/lexer.h"
#include "tools/k460rc/resource_set.h"

namespace k460rc {

struct CompiledScript {
  std::vector<Resource> resources;
  std::vector<std::filesystem::path> dependencies;  // scripts, headers and data files read
};

CompiledScript CompileScript(const std::filesystem::path& script);

}  // namespace k460rc
