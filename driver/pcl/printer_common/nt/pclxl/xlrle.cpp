#include "driver/pcl/printer_common/nt/pclxl/xlrle.h"

#include "driver/pcl/printer_common/nt/pclxl/xltrace.h"

namespace {

constexpr DWORD kPacketSize = 2;

// The control byte of a packet that repeats its value `count` times.
BYTE RepeatControl(DWORD count) { return static_cast<BYTE>(1 - static_cast<int>(count)); }

}  // namespace

LONG CompressRle(const BYTE* pRow, BYTE* pOut, DWORD cbRow, DWORD cbRoom) {
  if (cbRoom <= kPacketSize || !pRow || !pOut) {
    XlTrace("Exiting CompressRle. cbBuffer <= 2. return value -1\n");
    return -1;
  }
  if (cbRow == 0) return 0;
  DWORD cbOut = 0;
  BYTE value = pRow[0];
  DWORD run = 1;
  for (DWORD i = 1; i < cbRow; ++i) {
    if (pRow[i] == value && run < XL_RLE_MAX_RUN) {
      ++run;
      continue;
    }
    // The finished packet takes its two bytes; the new one needs two more.
    if (cbOut + 2 * kPacketSize > cbRoom) {
      XlTrace("Exiting CompressRle. cbDestLength+2 > cbBuffer. return value -1\n");
      return -1;
    }
    pOut[cbOut++] = RepeatControl(run);
    pOut[cbOut++] = value;
    value = pRow[i];
    run = 1;
  }
  pOut[cbOut++] = RepeatControl(run);
  pOut[cbOut++] = value;
  return static_cast<LONG>(cbOut);
}

LONG CompressImage(const BYTE* pData, BYTE* pOut, DWORD cbRoom, DWORD cbRow, DWORD cRows) {
  DWORD cbTotal = 0;
  for (DWORD row = 0; row < cRows; ++row) {
    LONG cbRowOut = CompressRle(pData + static_cast<size_t>(row) * cbRow, pOut + cbTotal, cbRow, cbRoom - cbTotal);
    if (cbRowOut < 0) {
      XlTrace("Exiting CompressImage. cbCompressedRow= = -1. Return -1. \n");
      return -1;
    }
    cbTotal += static_cast<DWORD>(cbRowOut);
  }
  return static_cast<LONG>(cbTotal);
}
