#include "driver/pcl/printer_common/nt/pclxl/xlsink.h"

#include <cstring>

#include "driver/pcl/printer_common/nt/pclxl/xlpagestore.h"
#include "platform/spooler/spooler.h"

namespace {

// The stream's traces; the delivered driver discards them.
void StreamTrace(const char*) {}

bool StagingIntact(const StagingBuffer* s) {
  return s && s->cbStaged >= 0 && static_cast<DWORD>(s->cbStaged) <= XL_STAGING_SIZE;
}

}  // namespace

BOOL AddToStream(StagingBuffer* pStaging, const BYTE* pBytes, DWORD cbBytes) {
  if (!StagingIntact(pStaging) || (!pBytes && cbBytes) ||
      cbBytes > XL_STAGING_SIZE - static_cast<DWORD>(pStaging->cbStaged)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (cbBytes) std::memcpy(pStaging->abData + pStaging->cbStaged, pBytes, cbBytes);
  pStaging->cbStaged += static_cast<LONG>(cbBytes);
  return TRUE;
}

BOOL FlushStream(StagingBuffer* pStaging, HANDLE hPrinter) {
  if (!StagingIntact(pStaging)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  DWORD written = 0;
  BOOL ok = WritePrinter(hPrinter, pStaging->abData, static_cast<DWORD>(pStaging->cbStaged), &written);
  pStaging->cbStaged = 0;
  return ok;
}

BOOL StreamWritePrinter(StagingBuffer* pStaging, HANDLE hPrinter, const BYTE* pBytes, DWORD cbBytes,
                        LPDWORD pcbTaken) {
  if (pcbTaken) *pcbTaken = 0;
  if (!StagingIntact(pStaging) || (!pBytes && cbBytes)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (pcbTaken) *pcbTaken = cbBytes;
  DWORD room = XL_STAGING_SIZE - static_cast<DWORD>(pStaging->cbStaged);
  if (cbBytes <= room) return AddToStream(pStaging, pBytes, cbBytes);

  AddToStream(pStaging, pBytes, room);
  if (!FlushStream(pStaging, hPrinter)) return FALSE;
  const BYTE* rest = pBytes + room;
  DWORD cbRest = cbBytes - room;
  if (cbRest > XL_STAGING_SIZE) {
    DWORD written = 0;
    return WritePrinter(hPrinter, const_cast<BYTE*>(rest), cbRest, &written);
  }
  return AddToStream(pStaging, rest, cbRest);
}

void XlSinkFlush(XlStream* pStream, void*, BYTE* pBuffer, DWORD cbUsed) {
  if (!pStream) return;
  DevParams& params = pStream->devParams;
  if (XlIsStoreMode(pStream)) {
    // The store decides what to keep; its answer changes nothing here.
    if (params.pPageStore) {
      params.pPageStore->Booklet_Reverse_StoreData(&params, params.dwStoreCommand, pBuffer, cbUsed, 0);
    } else {
      StreamTrace("store_data: no page store, flush dropped\n");
    }
  } else if (!StreamWritePrinter(&pStream->staging, params.hPrinter, pBuffer, cbUsed, nullptr)) {
    StreamTrace("Write to printer failed\n");
    XlRecordError(pStream, XL_ERROR_WRITE);
    // The bytes are gone (partly written, partly dropped); keeping them would
    // send them again with the next flush or at close.
  }
  pStream->cbUsed = 0;
}

XlStream* XlNewDriverStream(const DevParams* pParams) {
  if (!pParams) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  XlStream* stream = HP_NewStream(XL_DRIVER_BUFFER_SIZE, XlSinkFlush, nullptr);
  if (stream) stream->devParams = *pParams;
  return stream;
}
