// Reading the encoder's output back with decoders that owe nothing to it:
// Ghostscript's CCITTFax filter for bare MMR data, and libtiff's reader and
// its command-line tools for TIFF files.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "tests/platform/outside/test_pages.h"

namespace k460::testing {

// Runs a shell command; its standard output and error, and its exit status.
std::string RunCommand(const std::string& command, int* status);

// Decodes T.6 data of a page of width x height with Ghostscript (files in
// `folder`). "" on success, else what went wrong.
std::string DecodeMmr(const std::vector<BYTE>& mmr, LONG width, LONG height, const std::filesystem::path& folder,
                      Raster* page);

// True when the data ends with the T.6 end-of-facsimile-block (two EOL
// codes, 000000000001 twice), followed only by zero fill bits.
bool EndsWithEofb(const std::vector<BYTE>& mmr);

struct TiffPage {
  LONG width = 0;
  LONG height = 0;
  float xResolution = 0;
  float yResolution = 0;
  int resolutionUnit = 0;
  int compression = 0;
  int photometric = 0;
  int bitsPerSample = 0;
  Raster pixels;  // 0 black, as the encoder's rows
};

// Every page of the TIFF file; "" on success, else libtiff's complaint.
std::string ReadTiffPages(const std::filesystem::path& path, std::vector<TiffPage>* pages);

}  // namespace k460::testing
