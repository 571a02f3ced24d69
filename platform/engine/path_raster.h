// What the engine's path services and the device context share: the
// pixels a fill or a stroke covers (as a region within a clip), and
// painting such a region with a brush.
#pragma once

#include "platform/engine/path.h"
#include "platform/engine/region.h"

namespace k460::engine {

// The style steps of a device's capabilities (one unit a pixel when it gives none).
StyleSteps StyleStepsOf(const GDIINFO& info);
// The pixels a path's points reach, grown by `reach` on every side.
RECTL PathPixelBounds(const EnginePath& path, LONG reach);

// Within `limit`, and within `clip` when given.
Region FillRegion(const std::vector<PathFigure>& figures, bool winding, const RECTL& limit, const Region* clip);
Region StrokeRegion(const std::vector<PathFigure>& figures, const LINEATTRS& la, const XFORML& xform,
                    const StyleSteps& steps, const RECTL& limit, const Region* clip);
// A geometric stroke's outline as closed figures, to be filled by the winding rule.
std::vector<PathFigure> WidenedFigures(const std::vector<PathFigure>& figures, const LINEATTRS& la,
                                       const XFORML& xform);

// EngBitBlt of the brush over the region with the mix's raster operation.
BOOL PaintRegion(SURFOBJ* so, Region region, BRUSHOBJ* pbo, POINTL* pptlBrushOrg, MIX mix);

}  // namespace k460::engine
