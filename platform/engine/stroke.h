// Strokes: cosmetic lines (one pixel wide, styled by the device's style
// steps) and geometric lines (widened by their width with joins, end caps
// and dashes, then filled), gathered as pixel spans.
#pragma once

#include <vector>

#include "platform/engine/path.h"
#include "platform/engine/scan.h"

namespace k460::engine {

// `figures` are flattened. Every segment covers its first pixel and not its
// last (a closed figure covers all its corners once).
void StrokeCosmetic(const std::vector<PathFigure>& figures, const LINEATTRS& la, const StyleSteps& steps,
                    PixelMask& out);

// The outline polygons of a geometric stroke, to be filled by the winding
// rule; `scale` turns the width and dash lengths into pixels.
std::vector<std::vector<POINTFIX>> WidenPath(const std::vector<PathFigure>& figures, const LINEATTRS& la,
                                             double scale);

// How far a stroke reaches beyond its path, in pixels.
LONG StrokeReach(const LINEATTRS& la, double scale);

}  // namespace k460::engine
