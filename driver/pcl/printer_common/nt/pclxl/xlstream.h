// The PCL XL output stream of one device. It encodes PCL XL protocol class
// 2.0 in the binary binding, low byte first, and also carries raw text (the
// Universal Exit Language sequence, PJL lines) in the order it is written.
// Bytes gather in an encoding buffer that a flush callback hands on: to the
// spooler through a 1000-byte staging buffer, or to the page store while
// booklet or reverse-order printing is on (see xlsink.h).
//
// Every writer does nothing once the stream's error field is nonzero, so a
// job whose stream failed produces no further bytes. Nothing allocates after
// HP_NewStream.
#pragma once

#include "platform/base/base.h"

class XlPageStore;
struct XlStream;

// Called with the stream, its user data, the encoding buffer and the number
// of bytes in it. The callback empties the buffer (sets cbUsed to 0).
using XlFlushCallback = void (*)(XlStream* pStream, void* pUserData, BYTE* pBuffer, DWORD cbUsed);

// The encoding buffer the driver asks for.
inline constexpr DWORD XL_DRIVER_BUFFER_SIZE = 4096;
// Smallest encoding buffer: room for the widest single value (4 bytes).
inline constexpr DWORD XL_MIN_BUFFER_SIZE = 4;
// Bytes that the staging buffer holds in front of WritePrinter.
inline constexpr DWORD XL_STAGING_SIZE = 1000;
// Array values carry a 16-bit element count.
inline constexpr DWORD XL_MAX_ARRAY_ELEMENTS = 0xFFFF;

// Values of the stream's error field. Only the first error is kept.
inline constexpr SHORT XL_OK = 0;
inline constexpr SHORT XL_ERROR_OPERATOR = -2;     // operator code not accepted
inline constexpr SHORT XL_ERROR_ATTRIBUTE = -3;    // attribute number not accepted
inline constexpr SHORT XL_ERROR_NO_MEMORY = -4;    // creation could not allocate
inline constexpr SHORT XL_ERROR_BUFFER_SIZE = -5;  // creation with a buffer too small
inline constexpr SHORT XL_ERROR_ARGUMENT = -6;     // null data, too many elements, bad header text
inline constexpr SHORT XL_ERROR_WRITE = -7;        // the sink could not deliver to the spooler
inline constexpr SHORT XL_ERROR_NO_CALLBACK = -8;  // creation without a flush callback

// Bytes waiting for WritePrinter.
struct StagingBuffer {
  LONG cbStaged;
  BYTE abData[XL_STAGING_SIZE];
};

// The sink parameters of the driver, set when the document starts. The page
// store receives them as pdevparams.
struct DevParams {
  HANDLE hPrinter;              // target of WritePrinter
  BOOL bBooklet;                // booklet printing on
  DWORD dwStoreCommand;         // page-store command under which flushes are filed
  void* pBooklet_Reverse_Info;  // the page store's state; none until it is initialised
  BOOL bReverse;                // reverse-order printing on
  BOOL bNewEngine;              // graphics engine version 0x30000 or higher
  WORD wDuplex;                 // the job's effective duplex mode
  WORD wPagesPerSheet;          // n-up count (2 while booklet is on)
  XlPageStore* pPageStore;      // receives the flushes in store mode
};

struct XlStream {
  BYTE* pBuffer;      // encoding buffer, owned by the stream
  DWORD cbCapacity;   // size of the encoding buffer
  DWORD cbUsed;       // bytes now in the buffer
  DWORD cbTotal;      // bytes encoded since creation; a flush does not reset it
  SHORT sError;       // XL_OK, or the first error
  WORD wErrorCount;   // errors recorded
  DevParams devParams;
  StagingBuffer staging;
  XlFlushCallback pfnFlush;
  void* pUserData;
};

// Store mode: booklet or reverse-order printing diverts the output to the
// page store. Otherwise the stream is in direct mode.
inline bool XlIsStoreMode(const XlStream* pStream) {
  return pStream->devParams.bBooklet || pStream->devParams.bReverse;
}

// Records an error: keeps the first code, counts every one.
void XlRecordError(XlStream* pStream, SHORT sError);

// ---- Lifecycle -------------------------------------------------------------
// A new stream with a zero-filled record and an encoding buffer of cbBuffer
// bytes, or none (last error ERROR_INVALID_PARAMETER without callback or with
// a buffer smaller than XL_MIN_BUFFER_SIZE, ERROR_NOT_ENOUGH_MEMORY).
XlStream* HP_NewStream(DWORD cbBuffer, XlFlushCallback pfnFlush, void* pUserData);
// Flushes what is in the buffer once, frees the stream and answers the
// total byte count as it stood on entry (0 for no stream).
DWORD HP_CloseStream(XlStream* pStream);
// Hands the buffer to the flush callback.
void HP_FlushStream(XlStream* pStream);

// ---- Writers ---------------------------------------------------------------
// Bytes without a tag (escape sequences, PJL text).
void HP_RawBytes(XlStream* pStream, const void* pBytes, DWORD cbBytes);
// ") HP-PCL XL;<class>;<revision>;Comment<comment>" and a line feed. A
// comment with a line feed in it would end the line early: error instead.
void HP_StreamHeader(XlStream* pStream, DWORD protocolClass, DWORD revision, const char* pComment,
                     DWORD cbComment);

void HP_UByte(XlStream* pStream, BYTE value);
void HP_UInt16(XlStream* pStream, WORD value);
void HP_UInt32(XlStream* pStream, DWORD value);
void HP_SInt16(XlStream* pStream, SHORT value);
void HP_Real32(XlStream* pStream, FLOAT value);
// Arrays carry their element count as a uint16 value; more than 65535
// elements, or no data for a nonzero count, stops the stream (error -6).
void HP_UByteArray(XlStream* pStream, const BYTE* pValues, DWORD count);
void HP_UInt16Array(XlStream* pStream, const WORD* pValues, DWORD count);
void HP_SInt16Array(XlStream* pStream, const SHORT* pValues, DWORD count);
// A ubyte_array of the low byte of each 16-bit value.
void HP_UByteArrayFromWords(XlStream* pStream, const WORD* pValues, DWORD count);
void HP_UInt16XY(XlStream* pStream, WORD x, WORD y);
void HP_SInt16XY(XlStream* pStream, SHORT x, SHORT y);
void HP_Real32XY(XlStream* pStream, FLOAT x, FLOAT y);
void HP_SInt16Box(XlStream* pStream, SHORT left, SHORT top, SHORT right, SHORT bottom);

// The attribute identifier of the value just written (error -3 for a number
// outside the accepted table).
void HP_Attribute(XlStream* pStream, DWORD number);
// The operator (error -2 for a code outside the accepted table); in direct
// mode the buffer is flushed after it.
void HP_Operator(XlStream* pStream, DWORD code);

// Embedded data: 0xFA, the uint32 length, the bytes.
void HP_EmbeddedData(XlStream* pStream, const void* pBytes, DWORD cbBytes);
// Embedded data of 16-bit values, each low byte first.
void HP_EmbeddedWords(XlStream* pStream, const WORD* pValues, DWORD count);
