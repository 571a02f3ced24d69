// The capabilities the device reports to the engine when it is enabled: the
// GDIINFO record (the logical page as the application sees it, scaled in
// n-up and zoomed printing) and the DEVINFO record (graphics capabilities,
// default fonts, dither format, palette).
#pragma once

#include <cstdint>

#include "platform/engine/engine.h"

namespace k460::hbgraph {

struct CapsInputs {
  std::int32_t printQuality = 600;  // dmPrintQuality
  std::int32_t yResolution = 600;   // dmYResolution
  std::int32_t scalePercent = 100;  // dmScale
  std::int32_t r = 6;               // resolution / 100
  std::int32_t margin = 108;
  std::int32_t printableWidth = 0;  // the logical page, unscaled
  std::int32_t printableHeight = 0;
  bool scaledMode = false;
  std::int32_t scale = 1000;        // S, thousandths (used in scaled mode)
  std::int32_t pagesPerSheet = 1;
  bool enhance = false;             // hsGraphicEnhance
};

GDIINFO MakeGdiInfo(const CapsInputs& in);
// The palette is not part of it: the caller creates one for every device.
DEVINFO MakeDevInfo(const CapsInputs& in);

}  // namespace k460::hbgraph
