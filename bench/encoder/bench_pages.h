// The benchmark's pages: 600-dpi A4 sheets (4960 x 7016 pixels), rows padded
// to 16 bits, 0 black.
#pragma once

#include <cstdint>
#include <vector>

namespace bench {

struct Page {
  std::int32_t width;
  std::int32_t height;
  std::uint32_t rowBytes;
  std::vector<std::uint8_t> bits;
};

// Lines of text of about 10 points: glyph-sized strokes in words.
Page TextPage();
// A photograph-like grey field through a 12 x 12 clustered-dot screen,
// as the host-based driver halftones images.
Page HalftonePage();

}  // namespace bench
