// The driver's sink behind the stream: in direct mode bytes go through a
// 1000-byte staging buffer to the spooler's WritePrinter, so that the spooler
// sees large writes; in store mode every flush goes to the page store.
#pragma once

#include "driver/pcl/printer_common/nt/pclxl/xlstream.h"

// The flush callback of the driver's streams: hands cbUsed bytes of pBuffer
// to the sink the stream's mode selects and empties the buffer. When the
// spooler refuses the bytes the stream stops with XL_ERROR_WRITE.
void XlSinkFlush(XlStream* pStream, void* pUserData, BYTE* pBuffer, DWORD cbUsed);

// A stream with the driver's buffer size and sink, its sink parameters
// copied from *pParams and an empty staging buffer; none when it cannot be
// made (see HP_NewStream).
XlStream* XlNewDriverStream(const DevParams* pParams);

// Puts cbBytes behind the staged bytes. FALSE (ERROR_INVALID_PARAMETER)
// when they would not fit or the staging record is damaged.
BOOL AddToStream(StagingBuffer* pStaging, const BYTE* pBytes, DWORD cbBytes);

// One WritePrinter of the staged bytes; the staging buffer is empty
// afterwards whatever the spooler answers. Answers WritePrinter's result.
BOOL FlushStream(StagingBuffer* pStaging, HANDLE hPrinter);

// Stages the bytes while they fit. Otherwise fills the staging buffer,
// flushes it, and either stages the rest or, when more than 1000 bytes
// remain, writes them straight to the spooler in one call. *pcbTaken (when
// given) is always cbBytes. FALSE when a write fails; the bytes not yet
// written are then dropped.
BOOL StreamWritePrinter(StagingBuffer* pStaging, HANDLE hPrinter, const BYTE* pBytes, DWORD cbBytes,
                        LPDWORD pcbTaken);
