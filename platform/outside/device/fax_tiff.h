// The pages of an uploaded fax TIFF file, read with libtiff: one-bit pages
// only, each delivered row by row in the convention of DecodeMmr.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

namespace k460::device {

struct TiffPageSink {
  // A page begins; false refuses it.
  std::function<std::string(int page, int width, int height, int resolution)> begin;
  std::function<bool(const std::uint8_t* row)> row;
  std::function<std::string()> end;
};

// "" with *pages set, or what is wrong with the file. Pages are 1 to 32767
// pixels each way, at most `maxPixels` pixels; at most `maxPages` pages.
std::string ReadTiffPages(const std::filesystem::path& path, int maxPages, std::uint64_t maxPixels,
                          const TiffPageSink& sink, int* pages);

}  // namespace k460::device
