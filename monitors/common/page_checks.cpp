#include "monitors/common/page_checks.h"

#include "monitors/common/page_codes.h"
#include "monitors/common/raster_geometry.h"

namespace k460::pagestream {

std::optional<PageFault> CheckPageFields(const PageInfo& info, const PageHeader& h, std::uint32_t& rowBytes) {
  rowBytes = 0;
  const PageKind kind = KindOfDevId(info.DevId);
  if (kind == PageKind::kUnknown) return PageFault{PageStreamError::kUnknownPageKind, "DevId"};
  if (h.Width <= 0) return PageFault{PageStreamError::kBadGeometry, "Width"};
  if (h.Height <= 0) return PageFault{PageStreamError::kBadGeometry, "Height"};
  if (h.Resolution <= 0) return PageFault{PageStreamError::kBadGeometry, "Resolution"};
  if (h.Length < kBitmapHeaderBlockSize) return PageFault{PageStreamError::kLengthTooShort, "Length"};
  if (h.Length == kBitmapHeaderBlockSize) return PageFault{PageStreamError::kEmptyRaster, "Length"};
  const std::uint32_t pitch = MatchingRowBytes(h.Width, h.Height, h.Length - kBitmapHeaderBlockSize);
  if (pitch == 0) return PageFault{PageStreamError::kRasterSizeMismatch, "Length"};
  if (info.BmpRotate < 0 || info.BmpRotate > 3) return PageFault{PageStreamError::kUnknownCode, "BmpRotate"};
  if (auto field = FirstInvalidCode(h, kind)) return PageFault{PageStreamError::kUnknownCode, CodeTableOf(*field).name};
  rowBytes = pitch;
  return std::nullopt;
}

}  // namespace k460::pagestream
