// The PNM family: P1/P4 (black and white), P2/P5 (gray), P3/P6 (colour),
// plain (text) and raw (binary), samples up to 16 bits. Only the first image
// of a file is read.
#include <string>

#include "tools/print/image_reader.h"
#include "tools/print/print_error.h"
#include "tools/print/read_options.h"

namespace k460::print {
namespace {

class PnmParser {
 public:
  PnmParser(std::span<const std::uint8_t> bytes, const std::string& name) : bytes_(bytes), name_(name) {}

  Raster Parse() {
    if (bytes_.size() < 2 || bytes_[0] != 'P' || bytes_[1] < '1' || bytes_[1] > '6')
      Fail("not a PNM image (no P1 to P6 signature)");
    const int kind = bytes_[1] - '0';
    pos_ = 2;
    const bool plain = kind <= 3;
    const bool bitmap = kind == 1 || kind == 4;
    const bool color = kind == 3 || kind == 6;
    const unsigned width = HeaderNumber("width");
    const unsigned height = HeaderNumber("height");
    const unsigned maxval = bitmap ? 1 : HeaderNumber("maximum value");
    if (width == 0 || height == 0) Fail("image of " + Dimensions(width, height) + " pixels has no pixels");
    if (width > kMaxImageSide || height > kMaxImageSide)
      Fail("image of " + Dimensions(width, height) + " pixels is too large (at most " + std::to_string(kMaxImageSide) +
           " a side)");
    if (maxval == 0 || maxval > 65535) Fail("maximum value " + std::to_string(maxval) + " is not within 1..65535");

    const PixelFormat format = bitmap ? PixelFormat::Gray1 : color ? PixelFormat::Rgb24 : PixelFormat::Gray8;
    const int w = static_cast<int>(width), h = static_cast<int>(height);
    if (Raster::StrideFor(format, w) * height > kMaxImageBytes)
      Fail("image of " + Dimensions(width, height) + " pixels is too large to print");
    // Exactly one blank separates the header of a raw image from its data.
    if (!plain) {
      if (pos_ >= bytes_.size() || !IsSpace(bytes_[pos_])) Fail("no blank after the header");
      ++pos_;
      const std::size_t sampleBytes = maxval > 255 ? 2 : 1;
      const std::size_t need =
          bitmap ? Raster::StrideFor(format, w) * height : std::size_t{width} * height * (color ? 3 : 1) * sampleBytes;
      if (bytes_.size() - pos_ < need)
        Fail("the image data ends early: " + std::to_string(need) + " bytes expected, " +
             std::to_string(bytes_.size() - pos_) + " found");
    } else {
      // Every sample of a plain image takes at least one character: a short
      // file cannot make us allocate a large raster.
      const std::size_t samples = std::size_t{width} * height * (color ? 3 : 1);
      if (bytes_.size() - pos_ < samples)
        Fail("the image data ends early: " + std::to_string(samples) + " samples expected, " +
             std::to_string(bytes_.size() - pos_) + " bytes left");
    }

    Raster raster = Raster::White(w, h, format);
    if (bitmap)
      ReadBitmap(raster, plain);
    else
      ReadSamples(raster, plain, maxval, color ? 3 : 1);
    return raster;
  }

 private:
  [[noreturn]] void Fail(const std::string& what) const { throw DocumentError(name_ + ": " + what); }

  static bool IsSpace(std::uint8_t c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
  }
  static std::string Dimensions(unsigned w, unsigned h) { return std::to_string(w) + " x " + std::to_string(h); }

  void SkipSpaceAndComments() {
    while (pos_ < bytes_.size()) {
      if (IsSpace(bytes_[pos_]))
        ++pos_;
      else if (bytes_[pos_] == '#')
        while (pos_ < bytes_.size() && bytes_[pos_] != '\n' && bytes_[pos_] != '\r') ++pos_;
      else
        break;
    }
  }

  unsigned HeaderNumber(const char* what) {
    SkipSpaceAndComments();
    return Digits(what);
  }

  unsigned Digits(const char* what) {
    if (pos_ >= bytes_.size()) Fail(std::string("the image ends before its ") + what);
    if (bytes_[pos_] < '0' || bytes_[pos_] > '9') Fail(std::string("the ") + what + " is not a number");
    unsigned long value = 0;
    while (pos_ < bytes_.size() && bytes_[pos_] >= '0' && bytes_[pos_] <= '9') {
      value = value * 10 + (bytes_[pos_++] - '0');
      if (value > 1000000) Fail(std::string("the ") + what + " is too large");
    }
    return static_cast<unsigned>(value);
  }

  // PBM's 1 is black; ours is white.
  void ReadBitmap(Raster& raster, bool plain) {
    for (int y = 0; y < raster.height; ++y) {
      std::uint8_t* row = raster.Row(y);
      if (!plain) {
        for (std::size_t i = 0; i < raster.stride; ++i) row[i] = static_cast<std::uint8_t>(~bytes_[pos_++]);
        continue;
      }
      std::fill(row, row + raster.stride, 0xFF);
      for (int x = 0; x < raster.width; ++x) {
        SkipSpaceAndComments();  // plain PBM digits need no blanks between them
        if (pos_ >= bytes_.size()) Fail("the image data ends early at row " + std::to_string(y + 1));
        const std::uint8_t c = bytes_[pos_++];
        if (c != '0' && c != '1') Fail("a plain PBM pixel must be 0 or 1, found '" + std::string(1, char(c)) + "'");
        if (c == '1') row[x / 8] &= static_cast<std::uint8_t>(~(0x80 >> (x % 8)));
      }
    }
  }

  void ReadSamples(Raster& raster, bool plain, unsigned maxval, int channels) {
    const std::size_t count = static_cast<std::size_t>(raster.width) * channels;
    for (int y = 0; y < raster.height; ++y) {
      std::uint8_t* row = raster.Row(y);
      for (std::size_t i = 0; i < count; ++i) {
        unsigned sample;
        if (plain) {
          SkipSpaceAndComments();
          if (pos_ >= bytes_.size()) Fail("the image data ends early at row " + std::to_string(y + 1));
          sample = Digits("sample");
        } else if (maxval > 255) {
          sample = (unsigned{bytes_[pos_]} << 8) | bytes_[pos_ + 1];
          pos_ += 2;
        } else {
          sample = bytes_[pos_++];
        }
        if (sample > maxval)
          Fail("sample " + std::to_string(sample) + " at row " + std::to_string(y + 1) + " exceeds the maximum value " +
               std::to_string(maxval));
        row[i] = static_cast<std::uint8_t>((sample * 255 + maxval / 2) / maxval);
      }
    }
  }

  std::span<const std::uint8_t> bytes_;
  const std::string& name_;
  std::size_t pos_ = 0;
};

}  // namespace

Raster DecodePnm(std::span<const std::uint8_t> bytes, const std::string& name) {
  return PnmParser(bytes, name).Parse();
}

}  // namespace k460::print
