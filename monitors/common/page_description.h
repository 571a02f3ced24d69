// A page record's header as one line of text for traces and the dump tool:
// field=value pairs with the field names of the records, coded fields by
// their keyword.
#pragma once

#include <string>

#include "monitors/common/page_stream_reader.h"

namespace k460::pagestream {

std::string DescribePage(const PageRecord& page);

}  // namespace k460::pagestream
