// Clip objects: a region of rectangles handed to drivers as a CLIPOBJ with
// its complexity for the call, and enumerated in any direction.
#pragma once

#include <optional>
#include <vector>

#include "platform/engine/ddi_objects.h"
#include "platform/engine/region.h"

namespace k460::engine {

class EngineClip {
 public:
  // The region (already limited to the surface or band) clipping a call
  // whose target is `target`: DC_TRIVIAL when the region covers the
  // target, DC_RECT when one rectangle of the target is left, else DC_COMPLEX.
  EngineClip(const Region& region, const RECTL& target, ULONG uniq);
  // The same, taking the region over (large regions of drawn pixels).
  EngineClip(Region&& region, const RECTL& target, ULONG uniq);
  ~EngineClip();
  EngineClip(const EngineClip&) = delete;
  EngineClip& operator=(const EngineClip&) = delete;

  CLIPOBJ* Object() { return &co_; }
  // Nothing of the target is visible: the call need not be made.
  bool Invisible() const { return invisible_; }

  ULONG EnumStart(bool all, ULONG direction, ULONG limit);
  bool Enum(ULONG bytes, ULONG* out);
  // The region's rectangles within `bounds`, leaving any enumeration alone.
  std::vector<RECTL> Pieces(const RECTL& bounds) const;
  const Region& Area() const { return region_; }
  static EngineClip* Find(const CLIPOBJ* co);

 private:
  CLIPOBJ co_{};
  void Classify(const RECTL& target);
  const std::vector<RECTL>& Order() const { return ordered_ ? order_ : region_.Rects(); }
  Region region_;
  std::vector<RECTL> order_;  // when the enumeration needs an order of its own
  bool ordered_ = false;
  size_t next_ = 0;
  bool invisible_ = false;
};

// The pixels of a surface (`bounds`) a clip object lets through: an
// engine clip's region, else its bounds unless it is trivial.
Region ClipRegion(CLIPOBJ* pco, const RECTL& bounds);
// A fresh unique number for clip objects the engine makes for one call.
ULONG NewClipUniq();

// The rectangles a call must draw in: `bounds` (the target within the
// surface) clipped by the clip object, whoever made it.
std::vector<RECTL> ClipPieces(CLIPOBJ* pco, const RECTL& bounds);

}  // namespace k460::engine
