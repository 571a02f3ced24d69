// Opens any document `k460 print` accepts, recognised by its first bytes:
// PDF, PNG, PNM, and otherwise a page script. The reader of each kind:
// page_script.h, image_reader.h, pdf_reader.h.
#pragma once

#include <memory>
#include <string>

#include "tools/print/page_sink.h"
#include "tools/print/read_options.h"

namespace k460::print {

// Throws DocumentError naming the file (and line or page) when the document
// cannot be read. Page scripts and images are read whole here; PDF pages
// are rasterised as the source hands them out.
std::unique_ptr<PageSource> OpenDocument(const std::string& path, const ReadOptions& options);

}  // namespace k460::print
