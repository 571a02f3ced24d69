// Run-length coding of image rows in the packet format of PCL XL's
// run-length compression (PackBits packets). Only two-byte packets are
// produced: a control byte saying how often the value byte that follows
// repeats (0 once, 0xFF twice, ... 0x82 127 times), so a row never grows
// by more than twice its length and the printer decodes it row by row.
#pragma once

#include "platform/base/types.h"

// Packets never run longer than this many bytes.
inline constexpr DWORD XL_RLE_MAX_RUN = 127;

// Codes cbRow bytes of pRow into pOut, which has room for cbRoom bytes.
// Answers the bytes written, or -1 when the packets would not fit (or
// there is room for no more than two bytes).
LONG CompressRle(const BYTE* pRow, BYTE* pOut, DWORD cbRow, DWORD cbRoom);

// Codes cRows rows of cbRow bytes each, one after the other, each row on
// its own (no packet crosses a row end), into pOut with cbRoom bytes of
// room. Answers the total size, or -1 as soon as a row does not fit.
LONG CompressImage(const BYTE* pData, BYTE* pOut, DWORD cbRoom, DWORD cbRow, DWORD cRows);
