#include "tools/print/file_kind.h"
#include "tools/print/image_reader.h"
#include "tools/print/print_error.h"

namespace k460::print {

std::shared_ptr<const Raster> ReadImageFile(const std::string& path) {
  const std::vector<std::uint8_t> bytes = ReadFileBytes(path);
  switch (SniffFileKind(bytes)) {
    case FileKind::Png:
      return std::make_shared<const Raster>(DecodePng(bytes, path));
    case FileKind::Pnm:
      return std::make_shared<const Raster>(DecodePnm(bytes, path));
    default:
      throw DocumentError(path + ": not a PNG or PNM image");
  }
}

Document ReadImageDocument(const std::string& path, const ReadOptions& options) {
  std::shared_ptr<const Raster> raster = ReadImageFile(path);
  Page page;
  const Rect dest = PlaceKeepingAspect(raster->width, raster->height, options.geometry.printable);
  page.operations.push_back(ImageOp{std::move(raster), dest});
  return Document{path, {std::move(page)}};
}

}  // namespace k460::print
