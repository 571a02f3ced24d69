#include "tests/platform/outside/independent_decoders.h"

#include <tiffio.h>

#include <algorithm>
#include <array>
#include <cstdarg>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace k460::testing {

std::string RunCommand(const std::string& command, int* status) {
  std::string output;
  FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
  if (!pipe) {
    *status = -1;
    return "popen failed";
  }
  std::array<char, 4096> chunk;
  std::size_t n;
  while ((n = std::fread(chunk.data(), 1, chunk.size(), pipe)) > 0) output.append(chunk.data(), n);
  *status = ::pclose(pipe);
  return output;
}

std::string DecodeMmr(const std::vector<BYTE>& mmr, LONG width, LONG height, const std::filesystem::path& folder,
                      Raster* page) {
  auto in = folder / "page.mmr", out = folder / "page.raw";
  {
    std::ofstream file(in, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(mmr.data()), static_cast<std::streamsize>(mmr.size()));
  }
  std::filesystem::remove(out);
  // K -1 is pure two-dimensional coding (T.6); BlackIs1 false gives 0 for
  // black, as the encoder's rows. Rows come out padded to whole bytes.
  std::string program = "/in (" + in.string() + ") (r) file << /K -1 /Columns " + std::to_string(width) +
                        " /Rows " + std::to_string(height) +
                        " /BlackIs1 false >> /CCITTFaxDecode filter def /out (" + out.string() +
                        ") (w) file def /buf 65536 string def "
                        "{ in buf readstring exch out exch writestring not { exit } if } loop out closefile";
  int status = 0;
  std::string log = RunCommand("gs -q -dNODISPLAY -dNOSAFER -dBATCH -dNOPAUSE -c '" + program + "'", &status);
  if (status != 0) return "gs failed: " + log;
  std::ifstream file(out, std::ios::binary);
  std::vector<BYTE> raw((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  const std::size_t packed = (static_cast<std::size_t>(width) + 7) / 8;
  if (raw.size() != packed * height)
    return "gs gave " + std::to_string(raw.size()) + " bytes, expected " + std::to_string(packed * height) + " " + log;
  *page = Raster(width, height);
  for (LONG y = 0; y < height; ++y) std::copy_n(raw.data() + y * packed, packed, page->Row(y));
  return "";
}

bool EndsWithEofb(const std::vector<BYTE>& mmr) {
  // The bits from the first of the last 24 up to the last 1 bit.
  std::int64_t last = static_cast<std::int64_t>(mmr.size()) * 8 - 1;
  auto bit = [&](std::int64_t i) { return (mmr[static_cast<std::size_t>(i / 8)] >> (7 - i % 8)) & 1; };
  while (last >= 0 && !bit(last)) --last;
  if (last < 23) return false;
  std::uint32_t code = 0;
  for (std::int64_t i = last - 23; i <= last; ++i) code = (code << 1) | static_cast<std::uint32_t>(bit(i));
  return code == 0x001001;
}

namespace {
std::string gTiffMessage;
void KeepMessage(const char* module, const char* format, va_list args) {
  char text[512];
  std::vsnprintf(text, sizeof text, format, args);
  gTiffMessage += std::string(module ? module : "") + ": " + text + "\n";
}
}  // namespace

std::string ReadTiffPages(const std::filesystem::path& path, std::vector<TiffPage>* pages) {
  gTiffMessage.clear();
  TIFFErrorHandler oldError = TIFFSetErrorHandler(KeepMessage);
  TIFFErrorHandler oldWarning = TIFFSetWarningHandler(KeepMessage);
  pages->clear();
  TIFF* tiff = TIFFOpen(path.c_str(), "r");
  if (tiff) {
    do {
      TiffPage page;
      uint32_t w = 0, h = 0;
      uint16_t unit = 0, compression = 0, photometric = 0, bits = 0;
      TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &w);
      TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &h);
      TIFFGetField(tiff, TIFFTAG_XRESOLUTION, &page.xResolution);
      TIFFGetField(tiff, TIFFTAG_YRESOLUTION, &page.yResolution);
      TIFFGetField(tiff, TIFFTAG_RESOLUTIONUNIT, &unit);
      TIFFGetField(tiff, TIFFTAG_COMPRESSION, &compression);
      TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric);
      TIFFGetField(tiff, TIFFTAG_BITSPERSAMPLE, &bits);
      page.width = static_cast<LONG>(w);
      page.height = static_cast<LONG>(h);
      page.resolutionUnit = unit;
      page.compression = compression;
      page.photometric = photometric;
      page.bitsPerSample = bits;
      page.pixels = Raster(page.width, page.height);
      std::vector<BYTE> line(static_cast<std::size_t>(TIFFScanlineSize(tiff)));
      for (uint32_t y = 0; y < h; ++y) {
        if (TIFFReadScanline(tiff, line.data(), y, 0) < 0) break;
        // Photometric 0 (white is zero): invert into the encoder's convention.
        for (std::size_t i = 0; i < line.size(); ++i)
          page.pixels.Row(static_cast<LONG>(y))[i] = photometric == PHOTOMETRIC_MINISWHITE ? ~line[i] : line[i];
      }
      pages->push_back(std::move(page));
    } while (TIFFReadDirectory(tiff));
    TIFFClose(tiff);
  }
  TIFFSetErrorHandler(oldError);
  TIFFSetWarningHandler(oldWarning);
  if (!tiff && gTiffMessage.empty()) gTiffMessage = "cannot open " + path.string();
  return gTiffMessage;
}

}  // namespace k460::testing
