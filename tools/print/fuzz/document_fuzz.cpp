// Feeds arbitrary bytes to the readers of page scripts and PNG/PNM images,
// chosen by content as `k460 print` chooses them: every input must give a
// document or a DocumentError, never a crash, a hang or a read outside it.
// (PDF documents are poppler's to parse.)
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "tools/print/file_kind.h"
#include "tools/print/image_reader.h"
#include "tools/print/page_script.h"
#include "tools/print/print_error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace k460::print;
  const std::span<const std::uint8_t> bytes(data, size);
  try {
    switch (SniffFileKind(bytes)) {
      case FileKind::Png: {
        const Raster raster = DecodePng(bytes, "fuzz.png");
        if (raster.pixels.size() != raster.stride * static_cast<std::size_t>(raster.height)) __builtin_trap();
        break;
      }
      case FileKind::Pnm: {
        const Raster raster = DecodePnm(bytes, "fuzz.pnm");
        if (raster.pixels.size() != raster.stride * static_cast<std::size_t>(raster.height)) __builtin_trap();
        break;
      }
      case FileKind::Pdf:
        break;
      case FileKind::PageScript: {
        // Image files named by the script are looked for where none are.
        const Document document = ParsePageScript(std::string_view(reinterpret_cast<const char*>(data), size),
                                                  "fuzz.k460", "/nonexistent-k460-fuzz");
        if (document.pages.empty()) __builtin_trap();
        break;
      }
    }
  } catch (const DocumentError&) {
  }
  return 0;
}
