#include "bench/encoder/bench_pages.h"

#include <cmath>
#include <random>

namespace bench {

namespace {

constexpr std::int32_t kWidth = 4960, kHeight = 7016;

Page WhitePage() {
  Page page{kWidth, kHeight, ((kWidth + 15) / 16) * 2, {}};
  page.bits.assign(static_cast<std::size_t>(page.rowBytes) * kHeight, 0xFF);
  return page;
}

void SetBlack(Page& page, std::int32_t x, std::int32_t y) {
  page.bits[static_cast<std::size_t>(y) * page.rowBytes + x / 8] &= static_cast<std::uint8_t>(~(0x80 >> (x % 8)));
}

}  // namespace

Page TextPage() {
  Page page = WhitePage();
  std::mt19937 random(42);
  const std::int32_t glyph = 70, lineStep = 110, stroke = 7;  // 10-point text at 600 dpi
  for (std::int32_t top = 400; top + glyph < kHeight - 400; top += lineStep) {
    std::int32_t x = 400;
    while (x + glyph < kWidth - 400) {
      int letters = 2 + static_cast<int>(random() % 8);
      for (int l = 0; l < letters && x + glyph < kWidth - 400; ++l, x += glyph * 2 / 3) {
        std::uint32_t shape = random();
        for (std::int32_t dy = 0; dy < glyph; ++dy)
          for (std::int32_t dx = 0; dx < glyph / 2; ++dx) {
            bool stem = dx < stroke && (shape & 1);
            bool right = dx >= glyph / 2 - stroke && (shape & 16);
            bool bar = (dy < stroke && (shape & 2)) || (std::abs(dy - glyph / 2) < stroke / 2 + 1 && (shape & 4)) ||
                       (dy >= glyph - stroke && (shape & 8));
            bool diagonal = (shape & 32) && std::abs(dx * 2 - dy) < stroke;
            if (stem || right || bar || diagonal) SetBlack(page, x + dx, top + dy);
          }
      }
      x += glyph / 2;
    }
  }
  return page;
}

Page HalftonePage() {
  Page page = WhitePage();
  // Threshold of a 12 x 12 cell: distance from the cell centre.
  double threshold[12][12];
  for (int i = 0; i < 12; ++i)
    for (int j = 0; j < 12; ++j) threshold[i][j] = std::hypot(i - 5.5, j - 5.5) / std::hypot(5.5, 5.5);
  for (std::int32_t y = 0; y < kHeight; ++y)
    for (std::int32_t x = 0; x < kWidth; ++x) {
      // Smooth shapes of every grey level, as in a photograph.
      double grey = 0.5 + 0.25 * std::sin(x / 310.0) * std::cos(y / 190.0) + 0.24 * std::sin((x + y) / 900.0);
      if (threshold[y % 12][x % 12] < grey) SetBlack(page, x, y);
    }
  return page;
}

}  // namespace bench
