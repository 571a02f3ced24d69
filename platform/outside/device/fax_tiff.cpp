#include "platform/outside/device/fax_tiff.h"

#include <tiffio.h>

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace k460::device {
namespace {

int KeepError(TIFF*, void* context, const char* module, const char* format, va_list args) {
  auto* message = static_cast<std::string*>(context);
  if (message->empty()) {
    char text[512];
    std::vsnprintf(text, sizeof text, format, args);
    *message = std::string(module ? module : "libtiff") + ": " + text;
  }
  return 1;
}

int IgnoreWarning(TIFF*, void*, const char*, const char*, va_list) { return 1; }

std::string ReadPage(TIFF* tiff, int index, std::uint64_t maxPixels, const TiffPageSink& sink, std::string* libtiff) {
  uint32_t width = 0, height = 0;
  uint16_t bits = 1, samples = 1, photometric = PHOTOMETRIC_MINISWHITE;
  float resolution = 0;
  TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width);
  TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &bits);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
  TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric);
  TIFFGetField(tiff, TIFFTAG_XRESOLUTION, &resolution);
  const std::string page = "page " + std::to_string(index + 1) + ": ";
  if (width < 1 || height < 1 || width > 32767 || height > 32767 ||
      static_cast<std::uint64_t>(width) * height > maxPixels)
    return page + "a size of " + std::to_string(width) + " x " + std::to_string(height) + " pixels";
  if (bits != 1 || samples != 1) return page + "not a one-bit page";
  if (photometric != PHOTOMETRIC_MINISWHITE && photometric != PHOTOMETRIC_MINISBLACK)
    return page + "neither white-is-zero nor black-is-zero";
  std::string refused = sink.begin(index, static_cast<int>(width), static_cast<int>(height),
                                   static_cast<int>(resolution + 0.5f));
  if (!refused.empty()) return page + refused;
  const tmsize_t lineSize = TIFFScanlineSize(tiff);
  const std::size_t rowBytes = (width + 7) / 8;
  if (lineSize < static_cast<tmsize_t>(rowBytes)) return page + "rows shorter than the width";
  std::vector<std::uint8_t> line(static_cast<std::size_t>(lineSize));
  for (uint32_t y = 0; y < height; ++y) {
    if (TIFFReadScanline(tiff, line.data(), y, 0) < 0 || !libtiff->empty())
      return page + "row " + std::to_string(y + 1) + " does not decode: " + *libtiff;
    // White-is-zero pages have 1 for black: turn them into 0 for black.
    if (photometric == PHOTOMETRIC_MINISWHITE) {
      for (std::size_t i = 0; i < rowBytes; ++i) line[i] = static_cast<std::uint8_t>(~line[i]);
    }
    if (width % 8) line[rowBytes - 1] |= static_cast<std::uint8_t>(0xFF >> (width % 8));
    if (!sink.row(line.data())) return page + "could not be kept";
  }
  std::string ended = sink.end();
  return ended.empty() ? "" : page + ended;
}

}  // namespace

std::string ReadTiffPages(const std::filesystem::path& path, int maxPages, std::uint64_t maxPixels,
                          const TiffPageSink& sink, int* pages) {
  *pages = 0;
  std::string libtiff;
  TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
  TIFFOpenOptionsSetErrorHandlerExtR(options, KeepError, &libtiff);
  TIFFOpenOptionsSetWarningHandlerExtR(options, IgnoreWarning, nullptr);
  TIFF* tiff = TIFFOpenExt(path.c_str(), "r", options);
  TIFFOpenOptionsFree(options);
  if (!tiff) return "not a TIFF file" + (libtiff.empty() ? "" : ": " + libtiff);
  std::string failure;
  do {
    if (*pages >= maxPages) {
      failure = "more than " + std::to_string(maxPages) + " pages";
      break;
    }
    failure = ReadPage(tiff, *pages, maxPixels, sink, &libtiff);
    if (!failure.empty()) break;
    ++*pages;
  } while (TIFFReadDirectory(tiff));
  if (failure.empty() && !libtiff.empty()) failure = libtiff;
  TIFFClose(tiff);
  return failure;
}

}  // namespace k460::device
