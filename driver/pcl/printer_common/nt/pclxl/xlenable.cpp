// The module entry and the driver-level calls: enabling hands the engine
// the function table and makes the default glyph set.
#include <cstring>

#include "driver/pcl/printer_common/nt/pclxl/xldriver.h"
#include "driver/pcl/printer_common/nt/pclxl/xlgraph.h"
#include "driver/pcl/printer_common/nt/pclxl/xltrace.h"
#include "platform/module/module.h"

XlDriverState& DriverState() {
  static XlDriverState state{};
  return state;
}

namespace {

template <class F>
DRVFN Entry(ULONG index, F* function) {
  return {index, reinterpret_cast<PFN>(function)};
}

DRVFN gFunctions[XL_DRIVER_FUNCTION_COUNT] = {
    Entry(INDEX_DrvEnablePDEV, DrvEnablePDEV),
    Entry(INDEX_DrvResetPDEV, DrvResetPDEV),
    Entry(INDEX_DrvCompletePDEV, DrvCompletePDEV),
    Entry(INDEX_DrvDisablePDEV, DrvDisablePDEV),
    Entry(INDEX_DrvEnableSurface, DrvEnableSurface),
    Entry(INDEX_DrvDisableSurface, DrvDisableSurface),
    Entry(INDEX_DrvTextOut, DrvTextOut),
    Entry(INDEX_DrvQueryFont, DrvQueryFont),
    Entry(INDEX_DrvQueryFontTree, DrvQueryFontTree),
    Entry(INDEX_DrvQueryFontData, DrvQueryFontData),
    Entry(INDEX_DrvGetGlyphMode, DrvGetGlyphMode),
    Entry(INDEX_DrvSendPage, DrvSendPage),
    Entry(INDEX_DrvStartPage, DrvStartPage),
    Entry(INDEX_DrvStartDoc, DrvStartDoc),
    Entry(INDEX_DrvEndDoc, DrvEndDoc),
    Entry(INDEX_DrvBitBlt, DrvBitBlt),
    Entry(INDEX_DrvStretchBlt, DrvStretchBlt),
    Entry(INDEX_DrvCopyBits, DrvCopyBits),
    Entry(INDEX_DrvLineTo, DrvLineTo),
    Entry(INDEX_DrvStrokePath, DrvStrokePath),
    Entry(INDEX_DrvFillPath, DrvFillPath),
    Entry(INDEX_DrvStrokeAndFillPath, DrvStrokeAndFillPath),
    Entry(INDEX_DrvRealizeBrush, DrvRealizeBrush),
    Entry(INDEX_DrvStartBanding, DrvStartBanding),
    Entry(INDEX_DrvNextBand, DrvNextBand),
};

}  // namespace

K460_API BOOL DllEntryPoint(HINSTANCE hModule, DWORD dwReason, LPVOID) {
  if (dwReason == DLL_PROCESS_ATTACH) {
    DriverState().hModule = hModule;
    XlTrace("INSIDE PROCESS ATTACH");
  } else if (dwReason == DLL_PROCESS_DETACH) {
    XlTrace("INSIDE PROCESS DETTACH");
  }
  return TRUE;
}

K460_API BOOL DrvEnableDriver(ULONG iEngineVersion, ULONG cj, DRVENABLEDATA* pded) {
  XlTrace("Entering DrvEnableDriver\n");
  XlDriverState& state = DriverState();
  state.bNewEngine = iEngineVersion >= DDI_DRIVER_VERSION_NT5;
  // The whole record is written, so it must be there in full.
  if (iEngineVersion < DDI_DRIVER_VERSION_NT4 || cj < sizeof(DRVENABLEDATA) || !pded) {
    XlTrace("Invalid parameters.\n");
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  pded->iDriverVersion = XL_DRIVER_VERSION;
  pded->c = XL_DRIVER_FUNCTION_COUNT;
  pded->pdrvfn = gFunctions;
  if (!state.pDefaultGlyphSet) state.pDefaultGlyphSet = EngComputeGlyphSet(0, 0, 256);
  if (!state.pDefaultGlyphSet) {
    XlTrace("EngComputeGlyphSet function failed\n");
    return FALSE;
  }
  XlTrace("Exiting DrvEnableDriver\n");
  return TRUE;
}

K460_API void DrvDisableDriver() {
  XlTrace("Entering DrvDisableDriver\n");
  XlDriverState& state = DriverState();
  if (state.pDefaultGlyphSet) EngFreeMem(state.pDefaultGlyphSet);
  state.pDefaultGlyphSet = nullptr;
}

K460_API BOOL DrvQueryDriverInfo(DWORD dwMode, PVOID pBuffer, DWORD cbBuf, PDWORD pcbNeeded) {
  if (dwMode != DRVQUERY_USERMODE || !pcbNeeded) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *pcbNeeded = sizeof(DWORD);
  if (!pBuffer || cbBuf < sizeof(DWORD)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  DWORD userMode = 1;
  std::memcpy(pBuffer, &userMode, sizeof userMode);
  return TRUE;
}
