#include "tools/print/document.h"

namespace k460::print {

std::uint8_t Color::Level() const {
  if (space == Space::Gray) return red;
  return static_cast<std::uint8_t>((299 * red + 587 * green + 114 * blue + 500) / 1000);
}

std::size_t Raster::StrideFor(PixelFormat format, int width) {
  const auto w = static_cast<std::size_t>(width > 0 ? width : 0);
  switch (format) {
    case PixelFormat::Gray1:
      return (w + 7) / 8;
    case PixelFormat::Gray8:
      return w;
    case PixelFormat::Rgb24:
      return 3 * w;
  }
  return 0;
}

Raster Raster::White(int width, int height, PixelFormat format) {
  Raster raster;
  raster.width = width;
  raster.height = height;
  raster.format = format;
  raster.stride = StrideFor(format, width);
  raster.pixels.assign(raster.stride * static_cast<std::size_t>(height > 0 ? height : 0), 0xFF);
  return raster;
}

Color Raster::At(int x, int y) const {
  const std::uint8_t* row = Row(y);
  switch (format) {
    case PixelFormat::Gray1:
      return Color::Gray((row[x / 8] >> (7 - x % 8)) & 1 ? 255 : 0);
    case PixelFormat::Gray8:
      return Color::Gray(row[x]);
    case PixelFormat::Rgb24:
      return Color::Rgb(row[3 * x], row[3 * x + 1], row[3 * x + 2]);
  }
  return Color::White();
}

}  // namespace k460::print
