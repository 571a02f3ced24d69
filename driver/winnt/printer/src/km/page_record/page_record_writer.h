// Writes one page record of the page stream: the `PageInfo` + `PageHeader`
// block, the 62-byte bitmap header block and the raster, in three writes, as
// the host-based and fax graphics libraries hand a finished sheet to the
// spooler.
#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "monitors/common/page_records.h"
#include "platform/base/base.h"

namespace k460::hostbased {

// Takes one write of a record; false when it failed, with the last error set.
using PageWriteFunction = std::function<bool(std::span<const std::uint8_t> bytes)>;

// Writes the record of one page. The writer fills in what follows from the
// raster and the geometry: `Length` (62 + raster size) and the whole bitmap
// header block; it zeroes the reserved bytes and everything after the NUL of
// each text field (the monitors compare headers byte for byte). `raster` is
// `Height` rows of `Width` pixels, each row padded to 32 bits (or to 16).
//
// Fails with ERROR_INVALID_PARAMETER, writing nothing, when there is no write
// function or the record would not pass a monitor's checks (page kind,
// geometry, raster size, value codes). A failed write fails the record with
// the write's last error; the writes before it stay written.
BOOL WritePageRecord(const pagestream::PageInfo& info, const pagestream::PageHeader& header,
                     std::span<const std::uint8_t> raster, pagestream::RecordForm form,
                     const PageWriteFunction& write);

// A write function that hands the bytes to the spooler with WritePrinter.
PageWriteFunction PrinterWriteFunction(HANDLE hPrinter);

}  // namespace k460::hostbased
