// Why a page stream was refused: each fault ends the job's stream cleanly;
// nothing of a refused record reaches the device.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/base/types.h"

namespace k460::pagestream {

enum class PageStreamError {
  kNone,
  kUnknownPageKind,     // `DevId` of the first page is no page kind of the suite
  kBadGeometry,         // `Width`, `Height` or `Resolution` not positive
  kLengthTooShort,      // `Length` smaller than the bitmap header block
  kEmptyRaster,         // `Length` of 62: no raster
  kRasterSizeMismatch,  // `Length` - 62 is not `Height` rows of `Width` pixels
  kBadBitmapHeader,     // the bitmap header block does not describe the page
  kUnknownCode,         // a coded field (or `BmpRotate`) outside its list
  kPageRefused,         // the consumer refused the page
  kConsumerFailed,      // the consumer failed on raster or at the page's end
  kOutOfMemory,         // the raster block could not be allocated
};

struct PageStreamFailure {
  PageStreamError error = PageStreamError::kNone;
  std::uint32_t page = 0;         // number of the page whose record failed (1 = first)
  std::uint64_t recordOffset = 0;  // stream offset of that record's first byte
  std::string_view field;         // the offending field, where one is to blame
};

std::string_view ErrorText(PageStreamError error);
// One line: what, where, which field.
std::string DescribeFailure(const PageStreamFailure& failure);
// The last error a monitor reports for the fault: ERROR_INVALID_DATA for a
// malformed stream, ERROR_NOT_ENOUGH_MEMORY, or 0 for the consumer's own
// failures (the consumer has set its own).
DWORD LastErrorFor(PageStreamError error);

}  // namespace k460::pagestream
