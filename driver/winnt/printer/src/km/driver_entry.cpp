// DrvEnableDriver, DrvDisableDriver and DrvQueryDriverInfo of the library:
// the function table, the process-wide lock and document state.
#include <iterator>

#include "driver/winnt/printer/src/km/driver_state.h"
#include "driver/winnt/printer/src/km/entry_points.h"

namespace k460::hbgraph {

namespace {

constexpr ULONG kMinimumEngineVersion = DDI_DRIVER_VERSION_NT4;
constexpr ULONG kEnableDataSize = 12;  // the size of the record on the system the driver was made for

template <class F>
PFN Entry(F function) {
  return reinterpret_cast<PFN>(function);
}

DRVFN* FunctionTable() {
  static DRVFN table[] = {
      {INDEX_DrvEnablePDEV, Entry(&DrvEnablePDEV)},
      {INDEX_DrvCompletePDEV, Entry(&DrvCompletePDEV)},
      {INDEX_DrvDisablePDEV, Entry(&DrvDisablePDEV)},
      {INDEX_DrvEnableSurface, Entry(&DrvEnableSurface)},
      {INDEX_DrvDisableSurface, Entry(&DrvDisableSurface)},
      {INDEX_DrvStartDoc, Entry(&DrvStartDoc)},
      {INDEX_DrvEndDoc, Entry(&DrvEndDoc)},
      {INDEX_DrvStartPage, Entry(&DrvStartPage)},
      {INDEX_DrvSendPage, Entry(&DrvSendPage)},
      {INDEX_DrvCopyBits, Entry(&DrvCopyBits)},
      {INDEX_DrvStrokePath, Entry(&DrvStrokePath)},
      {INDEX_DrvTextOut, Entry(&DrvTextOut)},
      {INDEX_DrvResetPDEV, Entry(&DrvResetPDEV)},
      {INDEX_DrvBitBlt, Entry(&DrvBitBlt)},
      {INDEX_DrvStretchBlt, Entry(&DrvStretchBlt)},
      {INDEX_DrvDitherColor, Entry(&DrvDitherColor)},
      {INDEX_DrvRealizeBrush, Entry(&DrvRealizeBrush)},
      {INDEX_DrvFillPath, Entry(&DrvFillPath)},
      {INDEX_DrvStrokeAndFillPath, Entry(&DrvStrokeAndFillPath)},
      {INDEX_DrvPaint, Entry(&DrvPaint)},
      {INDEX_DrvEscape, Entry(&DrvEscape)},
      {INDEX_DrvDrawEscape, Entry(&DrvDrawEscape)},
      {INDEX_DrvStartBanding, Entry(&DrvStartBanding)},
      {INDEX_DrvNextBand, Entry(&DrvNextBand)},
      {INDEX_DrvSetPalette, Entry(&DrvSetPalette)},
  };
  static_assert(std::size(table) == 25);
  return table;
}

}  // namespace

BOOL EnableDriver(hostsettings::HostVariant variant, ULONG iEngineVersion, ULONG cj, DRVENABLEDATA* pded) {
  if (iEngineVersion < kMinimumEngineVersion || cj < kEnableDataSize || !pded) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  pded->iDriverVersion = DDI_DRIVER_VERSION_NT4;
  pded->c = 25;
  pded->pdrvfn = FunctionTable();
  DriverState& state = State();
  state.profile = &ProfileOf(variant);
  if (!state.lockReady) {
    InitializeCriticalSection(&state.lock);
    state.lockReady = true;
  }
  DriverLock lock;
  ResetDocumentState();
  return TRUE;
}

void DisableDriver() {
  DriverState& state = State();
  {
    DriverLock lock;
    ResetDocumentState();
  }
  if (state.lockReady) {
    state.lockReady = false;
    DeleteCriticalSection(&state.lock);
  }
}

BOOL QueryDriverInfo(DWORD dwMode, PVOID pBuffer, DWORD cbBuf, PDWORD pcbNeeded) {
  if (dwMode != DRVQUERY_USERMODE || !pcbNeeded) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *pcbNeeded = sizeof(DWORD);
  if (!pBuffer || cbBuf < sizeof(DWORD)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  *static_cast<DWORD*>(pBuffer) = 1;  // the driver runs in user mode
  return TRUE;
}

}  // namespace k460::hbgraph
