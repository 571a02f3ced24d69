// The engine's fonts: real font files of the system's font packages, found
// by the face names applications and the drivers' tables use (the Windows
// faces through their metric-compatible Liberation fonts, the PostScript
// faces through the URW base 35, the Japanese faces through the IPA fonts).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/base/types.h"

namespace k460::engine {

struct FontChoice {
  std::string path;           // host path of the font file
  std::u16string face;        // the face name asked for (without a leading '@')
  bool bold = false;          // the file is a bold face
  bool italic = false;        // the file is an italic face
  bool vertical = false;      // asked for as "@face": vertical writing
};

// The file for a face name (compared without regard to case) in the
// weight and slant asked for, or the closest style of the same family;
// none for a face the engine does not have.
std::optional<FontChoice> FindFontFile(std::u16string_view face, bool bold, bool italic);
// The face used for names the engine does not know.
inline constexpr char16_t kDefaultFace[] = u"DejaVu Sans";

}  // namespace k460::engine
