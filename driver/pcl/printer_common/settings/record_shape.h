// The sizes a device mode record declares in its header, checked against
// the buffer that holds it. Internal to the settings library.
#pragma once

#include <cstddef>

#include "driver/pcl/printer_common/settings/job_settings.h"

struct RecordShape {
  std::size_t publicSize = 0;   // dmSize
  std::size_t privateSize = 0;  // dmDriverExtra
  std::size_t total() const { return publicSize + privateSize; }
};

// The declared sizes of the record at `record` in a buffer of `bytes`.
// False for a missing record, a buffer too short for the header, a dmSize
// too small to hold the header, or sizes that claim more than the buffer.
inline bool ReadRecordShape(const void* record, std::size_t bytes, RecordShape& shape) {
  if (!record || bytes < kMinPublicSize) return false;
  const auto* p = static_cast<const BYTE*>(record);
  shape.publicSize = LoadLe<WORD>(p + offsetof(DEVMODEW, dmSize));
  shape.privateSize = LoadLe<WORD>(p + offsetof(DEVMODEW, dmDriverExtra));
  return shape.publicSize >= kMinPublicSize && shape.total() <= bytes;
}
