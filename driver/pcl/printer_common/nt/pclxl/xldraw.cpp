// The line, path and brush entry points while the driver does not draw
// them yet: they are refused, so the engine draws them itself and hands
// the result back through DrvCopyBits.
#include "driver/pcl/printer_common/nt/pclxl/xldevice.h"
#include "driver/pcl/printer_common/nt/pclxl/xlgraph.h"
#include "driver/pcl/printer_common/nt/pclxl/xltrace.h"

namespace {

BOOL Invalid() {
  XlTrace("bValidatePDEV function failed \n");
  SetLastError(ERROR_INVALID_PARAMETER);
  return FALSE;
}

// Left to the engine, which draws it with the calls the driver does take.
BOOL Refused() {
  SetLastError(ERROR_NOT_SUPPORTED);
  return FALSE;
}

}  // namespace

K460_API BOOL DrvLineTo(SURFOBJ* pso, CLIPOBJ*, BRUSHOBJ*, LONG, LONG, LONG, LONG, RECTL*, MIX) {
  if (!bValidatePDEV(PdevOfSurface(pso))) return Invalid();
  return Refused();
}

K460_API BOOL DrvStrokePath(SURFOBJ* pso, PATHOBJ*, CLIPOBJ*, XFORMOBJ*, BRUSHOBJ*, POINTL*, LINEATTRS*, MIX) {
  if (!bValidatePDEV(PdevOfSurface(pso))) return Invalid();
  return Refused();
}

K460_API BOOL DrvFillPath(SURFOBJ* pso, PATHOBJ*, CLIPOBJ*, BRUSHOBJ*, POINTL*, MIX, FLONG) {
  if (!bValidatePDEV(PdevOfSurface(pso))) return Invalid();
  return Refused();
}

K460_API BOOL DrvStrokeAndFillPath(SURFOBJ* pso, PATHOBJ*, CLIPOBJ*, XFORMOBJ*, BRUSHOBJ*, LINEATTRS*, BRUSHOBJ*,
                                   POINTL*, MIX, FLONG) {
  if (!bValidatePDEV(PdevOfSurface(pso))) return Invalid();
  return Refused();
}

K460_API BOOL DrvRealizeBrush(BRUSHOBJ*, SURFOBJ* psoTarget, SURFOBJ*, SURFOBJ*, XLATEOBJ*, ULONG) {
  if (!bValidatePDEV(PdevOfSurface(psoTarget))) {
    XlTrace("Exiting DrvRealizeBrush. bValidatePDEV = FALSE\n");
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return Refused();
}
