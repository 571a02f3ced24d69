#include "driver/pcl/printer_common/nt/pclxl/xlstream.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>
#include <new>

#include "driver/pcl/printer_common/nt/pclxl/xlcodes.h"

namespace {

// Each piece is stored only where it fits whole: before a byte at least 1
// free byte, before a 2- or 4-byte value 2 or 4. When less is free the whole
// buffer is flushed first, so a multi-byte value never straddles two
// flushes (a tag and its value may).

DWORD FreeSpace(const XlStream* s) { return s->cbUsed < s->cbCapacity ? s->cbCapacity - s->cbUsed : 0; }

// False when the stream has stopped (an error before or during the flush).
bool MakeRoom(XlStream* s, DWORD bytes) {
  if (s->sError != XL_OK) return false;
  if (FreeSpace(s) >= bytes) return true;
  s->pfnFlush(s, s->pUserData, s->pBuffer, std::min(s->cbUsed, s->cbCapacity));
  s->cbUsed = 0;
  return s->sError == XL_OK;
}

void Put(XlStream* s, BYTE b) {
  s->pBuffer[s->cbUsed++] = b;
  ++s->cbTotal;
}

bool Store8(XlStream* s, BYTE b) {
  if (!MakeRoom(s, 1)) return false;
  Put(s, b);
  return true;
}

bool Store16(XlStream* s, WORD v) {
  if (!MakeRoom(s, 2)) return false;
  Put(s, static_cast<BYTE>(v));
  Put(s, static_cast<BYTE>(v >> 8));
  return true;
}

bool Store32(XlStream* s, DWORD v) {
  if (!MakeRoom(s, 4)) return false;
  for (int shift = 0; shift < 32; shift += 8) Put(s, static_cast<BYTE>(v >> shift));
  return true;
}

DWORD Real32Bits(FLOAT value) {
  static_assert(sizeof(FLOAT) == sizeof(DWORD));
  DWORD bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

// Byte runs: as many bytes as fit, then a flush of the full buffer, which is
// what storing them one by one with the 1-byte rule gives.
bool StoreBytes(XlStream* s, const BYTE* p, DWORD n) {
  while (n) {
    if (!MakeRoom(s, 1)) return false;
    DWORD chunk = std::min(n, FreeSpace(s));
    std::memcpy(s->pBuffer + s->cbUsed, p, chunk);
    s->cbUsed += chunk;
    s->cbTotal += chunk;
    p += chunk;
    n -= chunk;
  }
  return true;
}

// Runs of 16-bit values, each needing 2 free bytes, low byte first.
bool StoreWordRun(XlStream* s, const WORD* values, DWORD n) {
  while (n) {
    if (!MakeRoom(s, 2)) return false;
    DWORD chunk = std::min(n, FreeSpace(s) / 2);
    BYTE* out = s->pBuffer + s->cbUsed;
    if constexpr (std::endian::native == std::endian::little) {
      std::memcpy(out, values, 2 * chunk);
    } else {
      for (DWORD i = 0; i < chunk; ++i) {
        out[2 * i] = static_cast<BYTE>(values[i]);
        out[2 * i + 1] = static_cast<BYTE>(values[i] >> 8);
      }
    }
    values += chunk;
    s->cbUsed += 2 * chunk;
    s->cbTotal += 2 * chunk;
    n -= chunk;
  }
  return true;
}

// Runs of the low bytes of 16-bit values, each needing 1 free byte.
bool StoreLowByteRun(XlStream* s, const WORD* values, DWORD n) {
  while (n) {
    if (!MakeRoom(s, 1)) return false;
    DWORD chunk = std::min(n, FreeSpace(s));
    BYTE* out = s->pBuffer + s->cbUsed;
    for (DWORD i = 0; i < chunk; ++i) out[i] = static_cast<BYTE>(values[i]);
    values += chunk;
    s->cbUsed += chunk;
    s->cbTotal += chunk;
    n -= chunk;
  }
  return true;
}

bool Healthy(const XlStream* s) { return s && s->sError == XL_OK; }

// Arrays and data need a pointer for a nonzero count, and arrays at most
// 65535 elements; anything else would leave a malformed stream behind.
bool CheckData(XlStream* s, const void* p, DWORD count, DWORD maxCount) {
  if ((p || count == 0) && count <= maxCount) return true;
  XlRecordError(s, XL_ERROR_ARGUMENT);
  return false;
}

bool ArrayHead(XlStream* s, BYTE tag, DWORD count) {
  return Store8(s, tag) && Store8(s, XL_TAG_UINT16) && Store16(s, static_cast<WORD>(count));
}

bool DataHead(XlStream* s, DWORD length) { return Store8(s, XL_TAG_DATA_LENGTH) && Store32(s, length); }

template <typename T>
bool StoreArray16(XlStream* s, BYTE tag, const T* values, DWORD count) {
  if (!Healthy(s) || !CheckData(s, values, count, XL_MAX_ARRAY_ELEMENTS)) return false;
  if (!ArrayHead(s, tag, count)) return false;
  // SHORT and WORD may alias: the bits are the same.
  return StoreWordRun(s, reinterpret_cast<const WORD*>(values), count);
}

}  // namespace

void XlRecordError(XlStream* pStream, SHORT sError) {
  if (!pStream) return;
  if (pStream->sError == XL_OK) pStream->sError = sError;
  if (pStream->wErrorCount < 0xFFFF) ++pStream->wErrorCount;
}

XlStream* HP_NewStream(DWORD cbBuffer, XlFlushCallback pfnFlush, void* pUserData) {
  if (!pfnFlush || cbBuffer < XL_MIN_BUFFER_SIZE) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  void* record = LocalAlloc(LPTR, sizeof(XlStream));
  if (!record) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  auto* buffer = static_cast<BYTE*>(LocalAlloc(LMEM_FIXED, cbBuffer));
  if (!buffer) {
    LocalFree(record);
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  auto* stream = new (record) XlStream{};
  stream->pBuffer = buffer;
  stream->cbCapacity = cbBuffer;
  stream->pfnFlush = pfnFlush;
  stream->pUserData = pUserData;
  return stream;
}

DWORD HP_CloseStream(XlStream* pStream) {
  if (!pStream) return 0;
  DWORD total = pStream->cbTotal;
  HP_FlushStream(pStream);
  LocalFree(pStream->pBuffer);
  pStream->~XlStream();
  LocalFree(pStream);
  return total;
}

void HP_FlushStream(XlStream* pStream) {
  if (!pStream || !pStream->pfnFlush) return;
  pStream->pfnFlush(pStream, pStream->pUserData, pStream->pBuffer, std::min(pStream->cbUsed, pStream->cbCapacity));
}

void HP_RawBytes(XlStream* pStream, const void* pBytes, DWORD cbBytes) {
  if (!Healthy(pStream) || !CheckData(pStream, pBytes, cbBytes, 0xFFFFFFFF)) return;
  StoreBytes(pStream, static_cast<const BYTE*>(pBytes), cbBytes);
}

void HP_StreamHeader(XlStream* pStream, DWORD protocolClass, DWORD revision, const char* pComment,
                     DWORD cbComment) {
  if (!Healthy(pStream) || !CheckData(pStream, pComment, cbComment, 0xFFFFFFFF)) return;
  if (cbComment && std::memchr(pComment, '\n', cbComment)) {
    XlRecordError(pStream, XL_ERROR_ARGUMENT);
    return;
  }
  // ')' names the binary binding, low byte first.
  char text[64];
  int length = std::snprintf(text, sizeof text, ") HP-PCL XL;%u;%u;Comment", static_cast<unsigned>(protocolClass),
                             static_cast<unsigned>(revision));
  if (StoreBytes(pStream, reinterpret_cast<const BYTE*>(text), static_cast<DWORD>(length)) &&
      StoreBytes(pStream, reinterpret_cast<const BYTE*>(pComment), cbComment)) {
    Store8(pStream, '\n');
  }
}

void HP_UByte(XlStream* pStream, BYTE value) {
  if (Healthy(pStream) && Store8(pStream, XL_TAG_UBYTE)) Store8(pStream, value);
}

void HP_UInt16(XlStream* pStream, WORD value) {
  if (Healthy(pStream) && Store8(pStream, XL_TAG_UINT16)) Store16(pStream, value);
}

void HP_UInt32(XlStream* pStream, DWORD value) {
  if (Healthy(pStream) && Store8(pStream, XL_TAG_UINT32)) Store32(pStream, value);
}

void HP_SInt16(XlStream* pStream, SHORT value) {
  if (Healthy(pStream) && Store8(pStream, XL_TAG_SINT16)) Store16(pStream, static_cast<WORD>(value));
}

void HP_Real32(XlStream* pStream, FLOAT value) {
  if (Healthy(pStream) && Store8(pStream, XL_TAG_REAL32)) Store32(pStream, Real32Bits(value));
}

void HP_UByteArray(XlStream* pStream, const BYTE* pValues, DWORD count) {
  if (!Healthy(pStream) || !CheckData(pStream, pValues, count, XL_MAX_ARRAY_ELEMENTS)) return;
  if (ArrayHead(pStream, XL_TAG_UBYTE_ARRAY, count)) StoreBytes(pStream, pValues, count);
}

void HP_UInt16Array(XlStream* pStream, const WORD* pValues, DWORD count) {
  StoreArray16(pStream, XL_TAG_UINT16_ARRAY, pValues, count);
}

void HP_SInt16Array(XlStream* pStream, const SHORT* pValues, DWORD count) {
  StoreArray16(pStream, XL_TAG_SINT16_ARRAY, pValues, count);
}

void HP_UByteArrayFromWords(XlStream* pStream, const WORD* pValues, DWORD count) {
  if (!Healthy(pStream) || !CheckData(pStream, pValues, count, XL_MAX_ARRAY_ELEMENTS)) return;
  if (ArrayHead(pStream, XL_TAG_UBYTE_ARRAY, count)) {
    StoreLowByteRun(pStream, pValues, count);
  }
}

void HP_UInt16XY(XlStream* pStream, WORD x, WORD y) {
  if (Healthy(pStream) && Store8(pStream, XL_TAG_UINT16_XY) && Store16(pStream, x)) Store16(pStream, y);
}

void HP_SInt16XY(XlStream* pStream, SHORT x, SHORT y) {
  if (Healthy(pStream) && Store8(pStream, XL_TAG_SINT16_XY) && Store16(pStream, static_cast<WORD>(x))) {
    Store16(pStream, static_cast<WORD>(y));
  }
}

void HP_Real32XY(XlStream* pStream, FLOAT x, FLOAT y) {
  if (Healthy(pStream) && Store8(pStream, XL_TAG_REAL32_XY) && Store32(pStream, Real32Bits(x))) {
    Store32(pStream, Real32Bits(y));
  }
}

void HP_SInt16Box(XlStream* pStream, SHORT left, SHORT top, SHORT right, SHORT bottom) {
  if (!Healthy(pStream) || !Store8(pStream, XL_TAG_SINT16_BOX)) return;
  for (SHORT v : {left, top, right, bottom}) {
    if (!Store16(pStream, static_cast<WORD>(v))) return;
  }
}

void HP_Attribute(XlStream* pStream, DWORD number) {
  if (!Healthy(pStream)) return;
  if (!XlIsAcceptedAttribute(number)) {
    XlRecordError(pStream, XL_ERROR_ATTRIBUTE);
    return;
  }
  if (Store8(pStream, XL_TAG_ATTRIBUTE)) Store8(pStream, static_cast<BYTE>(number));
}

void HP_Operator(XlStream* pStream, DWORD code) {
  if (!Healthy(pStream)) return;
  if (!XlIsAcceptedOperator(code)) {
    XlRecordError(pStream, XL_ERROR_OPERATOR);
    return;
  }
  if (!Store8(pStream, static_cast<BYTE>(code))) return;
  // Direct mode hands every operator on at once; the store collects.
  if (!XlIsStoreMode(pStream)) HP_FlushStream(pStream);
}

void HP_EmbeddedData(XlStream* pStream, const void* pBytes, DWORD cbBytes) {
  if (!Healthy(pStream) || !CheckData(pStream, pBytes, cbBytes, 0xFFFFFFFF)) return;
  if (DataHead(pStream, cbBytes)) StoreBytes(pStream, static_cast<const BYTE*>(pBytes), cbBytes);
}

void HP_EmbeddedWords(XlStream* pStream, const WORD* pValues, DWORD count) {
  // The byte length is a uint32: at most 0x7FFFFFFF values.
  if (!Healthy(pStream) || !CheckData(pStream, pValues, count, 0x7FFFFFFF)) return;
  if (DataHead(pStream, count * 2)) {
    StoreWordRun(pStream, pValues, count);
  }
}
