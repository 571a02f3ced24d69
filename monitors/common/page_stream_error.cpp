#include "monitors/common/page_stream_error.h"

#include "platform/base/base.h"

namespace k460::pagestream {

std::string_view ErrorText(PageStreamError error) {
  switch (error) {
    case PageStreamError::kNone: return "no error";
    case PageStreamError::kUnknownPageKind: return "unknown page kind";
    case PageStreamError::kBadGeometry: return "page size or resolution not positive";
    case PageStreamError::kLengthTooShort: return "record length shorter than the bitmap header";
    case PageStreamError::kEmptyRaster: return "page without raster";
    case PageStreamError::kRasterSizeMismatch: return "raster size does not match width and height";
    case PageStreamError::kBadBitmapHeader: return "bitmap header does not match the page header";
    case PageStreamError::kUnknownCode: return "unknown value code";
    case PageStreamError::kPageRefused: return "page refused";
    case PageStreamError::kConsumerFailed: return "page processing failed";
    case PageStreamError::kOutOfMemory: return "out of memory for the raster block";
  }
  return "unknown error";
}

std::string DescribeFailure(const PageStreamFailure& failure) {
  std::string text(ErrorText(failure.error));
  if (!failure.field.empty()) text += " (" + std::string(failure.field) + ")";
  text += " in page " + std::to_string(failure.page) + " at byte " + std::to_string(failure.recordOffset);
  return text;
}

DWORD LastErrorFor(PageStreamError error) {
  switch (error) {
    case PageStreamError::kNone:
    case PageStreamError::kPageRefused:
    case PageStreamError::kConsumerFailed: return 0;
    case PageStreamError::kOutOfMemory: return ERROR_NOT_ENOUGH_MEMORY;
    default: return ERROR_INVALID_DATA;
  }
}

}  // namespace k460::pagestream
