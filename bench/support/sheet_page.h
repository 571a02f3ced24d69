// The page the host-based benchmarks draw on a 600-dpi A4 sheet: 200
// rectangles of black and greys all over the sheet and a 600 x 400
// photograph-like gradient stretched to 2400 x 1600 pixels (halftoned by the
// driver).
#pragma once

#include <cstdint>
#include <vector>

#include "platform/engine/device_context.h"

namespace bench {

struct Photo {
  std::vector<std::uint8_t> pixels = std::vector<std::uint8_t>(600 * 400 * 3);
  k460::engine::Image image;
  Photo() {
    for (int y = 0; y < 400; ++y)
      for (int x = 0; x < 600; ++x) {
        std::uint8_t* p = &pixels[(y * 600 + x) * 3];
        p[0] = static_cast<std::uint8_t>(x * 255 / 599);
        p[1] = static_cast<std::uint8_t>(y * 255 / 399);
        p[2] = static_cast<std::uint8_t>((x + y) & 0xFF);
      }
    image.width = 600;
    image.height = 400;
    image.format = BMF_24BPP;
    image.bits = pixels.data();
    image.stride = 1800;
  }
};

inline bool DrawSheet(k460::engine::DeviceContext& dc, const Photo& photo) {
  bool ok = true;
  for (int i = 0; i < 200; ++i) {
    const LONG x = (i * 397) % 4400, y = (i * 829) % 6400;
    const BYTE grey = static_cast<BYTE>((i % 4) * 64);
    ok = dc.FillRect({x, y, x + 40 + (i % 7) * 40, y + 20 + (i % 5) * 30}, k460::engine::RGB(grey, grey, grey)) && ok;
  }
  return dc.DrawImage(photo.image, {1000, 3000, 3400, 4600}) && ok;
}

}  // namespace bench
