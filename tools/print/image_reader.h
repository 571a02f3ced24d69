// Images for printing: PNG (through libpng) and the PNM family (PBM, PGM,
// PPM, plain and raw). Depth is kept where the engine has a format for it:
// one-bit black-and-white images stay Gray1, other gray images become Gray8
// (16-bit samples reduced to 8), colour and palette images Rgb24; alpha is
// composed onto white paper. Every failure is a DocumentError naming the file.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "tools/print/document.h"
#include "tools/print/read_options.h"

namespace k460::print {

// `name` is the file name the error messages give.
Raster DecodePng(std::span<const std::uint8_t> bytes, const std::string& name);
Raster DecodePnm(std::span<const std::uint8_t> bytes, const std::string& name);

// Reads a PNG or PNM file, recognised by its first bytes.
std::shared_ptr<const Raster> ReadImageFile(const std::string& path);

// A document of one page: the image of `path`, as large as the printable
// area of options.geometry allows with its proportions kept, centred.
Document ReadImageDocument(const std::string& path, const ReadOptions& options);

}  // namespace k460::print
