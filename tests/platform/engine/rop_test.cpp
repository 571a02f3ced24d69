// Every ternary raster operation, in every bitmap format, checked pixel by
// pixel against the textbook rule: the source, an 8 x 8 pattern brush and
// the destination combined at unaligned positions.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "platform/engine/device_context.h"
#include "platform/engine/rop.h"
#include "tests/platform/engine/pixel_helpers.h"
#include "tests/support/machine_fixture.h"

namespace k460::testing {
namespace {

using engine::Brush;
using engine::DeviceContext;
using engine::Image;

struct Bitmap {
  Image image;
  std::vector<BYTE> bits;
};

Bitmap RandomBitmap(ULONG format, LONG width, LONG height, std::mt19937& random) {
  Bitmap b;
  b.image.width = width;
  b.image.height = height;
  b.image.format = format;
  LONG stride = ((width * FormatBits(format) + 31) / 32) * 4;
  b.bits.resize(static_cast<size_t>(stride) * height);
  for (BYTE& v : b.bits) v = static_cast<BYTE>(random());
  if (format == BMF_32BPP) {
    for (size_t i = 3; i < b.bits.size(); i += 4) b.bits[i] = 0;  // the fourth byte is no colour
  }
  b.image.bits = b.bits.data();
  return b;
}

class RopTest : public MachineTest, public ::testing::WithParamInterface<ULONG> {};

TEST_P(RopTest, EveryOperationMatchesThePixelRule) {
  const ULONG format = GetParam();
  const LONG width = 77, height = 13;
  const RECTL dest{5, 2, 70, 11};
  const POINTL from{1, 1}, brushOrigin{3, 5};
  const ULONG ones = FormatBits(format) == 32 ? 0xFFFFFFFF : (1u << FormatBits(format)) - 1;
  std::mt19937 random(format);
  Bitmap destination = RandomBitmap(format, width, height, random);
  Bitmap source = RandomBitmap(format, width, height, random);
  Bitmap pattern = RandomBitmap(format, 8, 8, random);
  Brush brush = Brush::Pattern(pattern.image);
  RECTL sourceRect{from.x, from.y, from.x + dest.right - dest.left, from.y + dest.bottom - dest.top};
  RECTL whole{0, 0, width, height};

  auto dc = DeviceContext::OpenBitmap(width, height, format);
  ASSERT_TRUE(dc);
  dc->SetBrushOrigin(brushOrigin);
  const SURFOBJ* so = dc->Surface();
  auto read = [&](const Bitmap& b, LONG x, LONG y) {
    LONG stride = ((b.image.width * FormatBits(format) + 31) / 32) * 4;
    return PixelAt(b.bits.data() + y * stride, format, x);
  };

  for (int rop = 0; rop < 256; ++rop) {
    ASSERT_TRUE(dc->DrawImage(destination.image, whole));
    ASSERT_TRUE(dc->DrawImage(source.image, dest, &sourceRect, static_cast<BYTE>(rop), &brush)) << rop;
    int wrong = 0;
    for (LONG y = 0; y < height; ++y) {
      for (LONG x = 0; x < width; ++x) {
        ULONG d = read(destination, x, y);
        ULONG expected = d;
        if (x >= dest.left && x < dest.right && y >= dest.top && y < dest.bottom) {
          ULONG s = read(source, x - dest.left + from.x, y - dest.top + from.y);
          ULONG p = read(pattern, ((x - brushOrigin.x) % 8 + 8) % 8, ((y - brushOrigin.y) % 8 + 8) % 8);
          expected = engine::RopReference(static_cast<BYTE>(rop), p, s, d) & ones;
        }
        ULONG actual = SurfacePixel(so, x, y);
        if (format == BMF_32BPP) {
          expected &= 0xFFFFFF;
          actual &= 0xFFFFFF;
        }
        if (actual != expected && ++wrong <= 3) {
          ADD_FAILURE() << "rop 0x" << std::hex << rop << " at (" << std::dec << x << ", " << y << "): 0x" << std::hex
                        << actual << " instead of 0x" << expected;
        }
      }
    }
    if (wrong) break;
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, RopTest,
                         ::testing::Values(BMF_1BPP, BMF_4BPP, BMF_8BPP, BMF_16BPP, BMF_24BPP, BMF_32BPP));

}  // namespace
}  // namespace k460::testing
