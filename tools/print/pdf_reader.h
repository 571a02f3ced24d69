// PDF documents through poppler: each page is rasterised (gray, or RGB with
// ReadOptions::color) at ReadOptions::rasterDpi of the size it is printed
// at, and placed as one image on the printable area, as large as it fits
// with its proportions kept. Pages are rasterised one at a time as the
// source hands them out.
//
// A file that is no PDF, is damaged beyond repair or needs a password is a
// DocumentError naming the file; a page that cannot be rendered is one
// naming the file and the page. What poppler reports while it repairs a
// file or renders a page is kept as the page's warnings.
//
// A raster resolution outside 10..2400 dpi is an OptionError.
//
// poppler reports errors through one process-wide hook: the readers
// serialise their poppler calls among themselves.
#pragma once

#include <memory>
#include <string>

#include "tools/print/page_sink.h"
#include "tools/print/read_options.h"

namespace k460::print {

std::unique_ptr<PageSource> OpenPdfDocument(const std::string& path, const ReadOptions& options);

}  // namespace k460::print
