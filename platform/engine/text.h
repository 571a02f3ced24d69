// Strings of positioned glyphs handed to drivers as STROBJ, and the
// engine's own drawing of text (EngTextOut).
#pragma once

#include <string>
#include <vector>

#include "platform/engine/font.h"

namespace k460::engine {

class EngineString {
 public:
  // The glyphs of `text` in `font` from the baseline point `origin` (28.4,
  // on the surface), each placed at the previous one's advance.
  EngineString(EngineFont& font, std::u16string text, POINTFIX origin);
  ~EngineString();
  EngineString(const EngineString&) = delete;
  EngineString& operator=(const EngineString&) = delete;

  STROBJ* Object() { return &so_; }
  static EngineString* Find(const STROBJ* so);
  EngineFont& Font() { return font_; }
  // The pixels the glyphs' bitmaps cover (empty when none has bits).
  RECTL InkBounds() const { return ink_; }

  void EnumStart() { enumerated_ = false; }
  bool Enum(ULONG* count, GLYPHPOS** glyphs);

 private:
  STROBJ so_{};
  EngineFont& font_;
  std::u16string text_;
  std::vector<GLYPHPOS> glyphs_;
  RECTL ink_{0, 0, 0, 0};
  bool enumerated_ = false;
};

}  // namespace k460::engine
