// PNG through libpng's simplified reading interface, which handles every
// colour type, bit depth, palette and transparency and reports errors
// without longjmp reaching our frames.
#include <png.h>

#include <cstring>

#include "tools/print/image_reader.h"
#include "tools/print/print_error.h"
#include "tools/print/read_options.h"

namespace k460::print {
namespace {

// The header fields the simplified interface does not tell: bit depth and
// colour type, read from the IHDR chunk that must follow the signature.
struct PngHeader {
  int bitDepth = 0;
  int colorType = 0;
};

bool ReadPngHeader(std::span<const std::uint8_t> bytes, PngHeader& header) {
  if (bytes.size() < 8 + 8 + 13 || std::memcmp(bytes.data() + 12, "IHDR", 4) != 0) return false;
  header.bitDepth = bytes[24];
  header.colorType = bytes[25];
  return true;
}

// The most that zlib inflates one byte to, with room for headers: a file
// whose pixels could not fit in it is damaged, and is refused before a
// raster of the size it claims is allocated.
constexpr std::size_t kMostInflation = 1032;

std::size_t SamplesPerPixel(int colorType) {
  switch (colorType) {
    case PNG_COLOR_TYPE_RGB:
      return 3;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
      return 2;
    case PNG_COLOR_TYPE_RGB_ALPHA:
      return 4;
    default:
      return 1;  // gray, palette
  }
}

// Packs 0/255 gray bytes into one bit a pixel (1 white).
Raster PackToOneBit(const Raster& gray) {
  Raster packed = Raster::White(gray.width, gray.height, PixelFormat::Gray1);
  for (int y = 0; y < gray.height; ++y) {
    const std::uint8_t* in = gray.Row(y);
    std::uint8_t* out = packed.Row(y);
    std::memset(out, 0, packed.stride);
    for (int x = 0; x < gray.width; ++x)
      if (in[x] >= 128) out[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
  }
  return packed;
}

}  // namespace

Raster DecodePng(std::span<const std::uint8_t> bytes, const std::string& name) {
  PngHeader header;
  if (!ReadPngHeader(bytes, header)) throw DocumentError(name + ": not a PNG image (no image header)");

  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()))
    throw DocumentError(name + ": damaged PNG image: " + image.message);

  const bool gray = (header.colorType & PNG_COLOR_MASK_COLOR) == 0 && header.colorType != PNG_COLOR_TYPE_PALETTE;
  const bool oneBit = gray && header.bitDepth == 1;
  if (image.width == 0 || image.height == 0 || image.width > kMaxImageSide || image.height > kMaxImageSide) {
    png_image_free(&image);
    throw DocumentError(name + ": PNG image of " + std::to_string(image.width) + " x " + std::to_string(image.height) +
                        " pixels is too large (at most " + std::to_string(kMaxImageSide) + " a side)");
  }
  const std::size_t rowBytes =
      (std::size_t{image.width} * SamplesPerPixel(header.colorType) * static_cast<std::size_t>(header.bitDepth) + 7) /
      8;
  if (std::size_t{image.height} * (1 + rowBytes) > bytes.size() * kMostInflation + 4096) {
    png_image_free(&image);
    throw DocumentError(name + ": damaged PNG image: too little data for " + std::to_string(image.width) + " x " +
                        std::to_string(image.height) + " pixels");
  }
  image.format = gray ? PNG_FORMAT_GRAY : PNG_FORMAT_RGB;
  // Without gamma information, 16-bit samples are encoded like 8-bit ones
  // (sRGB), as the programs that write them do; they are not linear light.
  image.flags |= PNG_IMAGE_FLAG_16BIT_sRGB;
  const PixelFormat format = gray ? PixelFormat::Gray8 : PixelFormat::Rgb24;
  const int width = static_cast<int>(image.width), height = static_cast<int>(image.height);
  if (Raster::StrideFor(format, width) * static_cast<std::size_t>(height) > kMaxImageBytes) {
    png_image_free(&image);
    throw DocumentError(name + ": PNG image of " + std::to_string(width) + " x " + std::to_string(height) +
                        " pixels is too large to print");
  }

  Raster raster = Raster::White(width, height, format);
  png_color white{255, 255, 255};  // paper under transparent pixels
  if (!png_image_finish_read(&image, &white, raster.pixels.data(), static_cast<png_int_32>(raster.stride), nullptr))
    throw DocumentError(name + ": damaged PNG image: " + image.message);
  return oneBit ? PackToOneBit(raster) : raster;
}

}  // namespace k460::print
