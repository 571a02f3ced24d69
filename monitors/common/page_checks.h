// The checks that every page record header must pass before a monitor acts
// on it; the writer applies the same checks before it writes a record.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "monitors/common/page_records.h"
#include "monitors/common/page_stream_error.h"

namespace k460::pagestream {

struct PageFault {
  PageStreamError error;
  std::string_view field;
};

// Checks `DevId`, the geometry, `Length` against `Height` rows of `Width`
// pixels (rows padded to 16 or 32 bits), `BmpRotate` and the coded fields.
// On success `rowBytes` receives the raster's row pitch.
std::optional<PageFault> CheckPageFields(const PageInfo& info, const PageHeader& header, std::uint32_t& rowBytes);

}  // namespace k460::pagestream
