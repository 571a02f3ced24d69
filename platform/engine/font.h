// Realised fonts handed to drivers as FONTOBJ: an engine font (a font file
// read with FreeType, at an em height, an escapement and simulations) or
// one of the driver's device fonts. Glyph handles of engine fonts are glyph
// indices, as the font's cmap maps characters to them; of device fonts the
// handles of the driver's glyph set.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/engine/ddi_fonts.h"
#include "platform/engine/font_file.h"
#include "platform/engine/path.h"
#include "platform/engine/xform.h"

namespace k460::engine {

class Device;

struct FontRequest {
  std::shared_ptr<FontFile> file;  // an engine font
  std::u16string face;
  double emHeight = 0;             // pixels
  LONG escapement = 0;             // tenths of a degree, counter-clockwise
  bool simulateBold = false;
  bool simulateItalic = false;
  bool vertical = false;
  SIZE resolution{72, 72};
  // A device font: the driver's font number (1 ...) and its metrics.
  std::shared_ptr<Device> device;
  ULONG deviceFace = 0;
  IFIMETRICS* deviceMetrics = nullptr;
  const FD_GLYPHSET* deviceGlyphs = nullptr;
};

struct Glyph {
  GLYPHDATA data{};
  std::vector<BYTE> bits;  // a GLYPHBITS record with its rows; empty until asked for
  std::unique_ptr<EnginePath> outline;
  GLYPHDEF def{};  // the bits, once loaded (strings point here)
  bool loaded = false;
  bool hasBits = false;
};

class EngineFont {
 public:
  explicit EngineFont(FontRequest request);
  ~EngineFont();
  EngineFont(const EngineFont&) = delete;
  EngineFont& operator=(const EngineFont&) = delete;

  FONTOBJ* Object() { return &fo_; }
  static EngineFont* Find(const FONTOBJ* fo);
  bool DeviceFont() const { return request_.device != nullptr; }
  const FontRequest& Request() const { return request_; }

  // The glyph handle of a character (0: the font's missing glyph; 0xFFFF for
  // a device font without it).
  HGLYPH HandleOf(char32_t c);
  // The glyph with its advance, and its bits or outline when asked for.
  Glyph* GlyphOf(HGLYPH hg, bool bits, bool outline);
  ULONG AllHandles(HGLYPH* out);
  IFIMETRICS* Metrics();
  XFORMOBJ* Xform() { return xform_->Object(); }
  // The baseline's direction on the page (unit vector, y down).
  double DirectionX() const { return cos_; }
  double DirectionY() const { return -sin_; }
  // Ascent and descent in pixels.
  double Ascent();
  double Descent();

 private:
  void LoadEngineGlyph(Glyph& glyph, HGLYPH hg, bool bits, bool outline);
  void LoadDeviceGlyph(Glyph& glyph, HGLYPH hg, bool bits);

  FONTOBJ fo_{};
  FontRequest request_;
  double cos_ = 1, sin_ = 0;
  std::unique_ptr<EngineXform> xform_;
  std::map<HGLYPH, Glyph> glyphs_;
  std::vector<BYTE> metrics_;
};

// IFIMETRICS of a FreeType face with its strings behind it.
std::vector<BYTE> BuildMetrics(FT_Face face, const std::u16string& faceName, bool trueType, bool bold, bool italic);

}  // namespace k460::engine
