// Little-endian loads and stores of the page stream's integers.
#pragma once

#include "platform/base/byte_order.h"

namespace k460::pagestream {

using k460::LoadLe;
using k460::StoreLe;

}  // namespace k460::pagestream
