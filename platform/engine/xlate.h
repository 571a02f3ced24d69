// Colour translation objects: from a source palette (an image's, or a
// surface's) to a destination palette (the device's), handed to drivers
// as XLATEOBJ.
#pragma once

#include <vector>

#include "platform/engine/palette.h"

namespace k460::engine {

class EngineXlate {
 public:
  // srcFormat decides whether the source is indexed (up to 8 bits).
  EngineXlate(const PaletteData& src, ULONG srcFormat, const PaletteData& dst);
  ~EngineXlate();
  EngineXlate(const EngineXlate&) = delete;
  EngineXlate& operator=(const EngineXlate&) = delete;

  XLATEOBJ* Object() { return &xo_; }
  const PaletteData& Source() const { return src_; }
  const PaletteData& Destination() const { return dst_; }
  // A source colour (an index of an indexed source) as a destination colour value.
  ULONG Translate(ULONG color) const;
  static EngineXlate* Find(const XLATEOBJ* xo);

 private:
  XLATEOBJ xo_{};
  PaletteData src_;
  PaletteData dst_;
  std::vector<ULONG> table_;
};

}  // namespace k460::engine
