// The values of a sheet's page record: `PageInfo` and `PageHeader` as the
// device's settings, geometry and finishing make them.
#pragma once

#include "driver/winnt/printer/src/km/device_instance.h"
#include "monitors/common/page_records.h"

namespace k460::hbgraph {

struct PageFields {
  pagestream::PageInfo info{};
  pagestream::PageHeader header{};
};

// `Length` is left to the record writer, which fills it from the raster.
PageFields MakePageFields(const HbDevice& device);

}  // namespace k460::hbgraph
