// The drawing surface of a device and, in raster graphics mode, the bands
// in which the engine draws it: 1100 device lines each, as wide as the page.
#include "driver/pcl/printer_common/nt/pclxl/xldevice.h"
#include "driver/pcl/printer_common/nt/pclxl/xlgraph.h"
#include "driver/pcl/printer_common/nt/pclxl/xltrace.h"

namespace {

// Bit blit, stretch blit, text out, stroke path, fill path, stroke-and-fill
// path, line to and copy bits.
constexpr FLONG kSurfaceHooks = HOOK_BITBLT | HOOK_STRETCHBLT | HOOK_TEXTOUT | HOOK_STROKEPATH | HOOK_FILLPATH |
                                HOOK_STROKEANDFILLPATH | HOOK_LINETO | HOOK_COPYBITS;
static_assert(kSurfaceHooks == 0x5EB);

bool RasterGraphics(const PDEV* pdev) { return pdev->settings.pv.pvGraphicsMode != 0; }

void FirstBand(PDEV* pdev) {
  pdev->band = {0, 0, pdev->surfaceWidth, XL_BAND_HEIGHT, pdev->surfaceWidth, XL_BAND_HEIGHT};
}

}  // namespace

K460_API HSURF DrvEnableSurface(DHPDEV dhpdev) {
  XlTrace("Entering the function DrvEnableSurface\n");
  auto* pdev = reinterpret_cast<PDEV*>(dhpdev);
  if (!bValidatePDEV(pdev)) {
    XlTrace("bValidatePDEV function failed \n");
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  bool banding = RasterGraphics(pdev);
  SIZEL size{pdev->surfaceWidth, banding ? XL_BAND_HEIGHT : pdev->surfaceHeight};
  HSURF hsurf = EngCreateDeviceSurface(reinterpret_cast<DHSURF>(pdev), size, XL_SURFACE_FORMAT);
  if (!hsurf) {
    XlTrace("EngCreateBtMap function failed\n");
    return nullptr;
  }
  if (banding && !EngMarkBandingSurface(hsurf)) {
    XlTrace("EngMarkBandingSurface failed\n");
    EngDeleteSurface(hsurf);
    return nullptr;
  }
  if (!EngAssociateSurface(hsurf, pdev->hEngineDevice, kSurfaceHooks)) {
    XlTrace("EngAssociateSurface failed\n");
    DWORD error = GetLastError();
    EngDeleteSurface(hsurf);
    SetLastError(error);
    return nullptr;
  }
  pdev->hsurf = hsurf;
  XlTrace("Exiting the function DrvEnableSurface\n");
  return hsurf;
}

K460_API void DrvDisableSurface(DHPDEV dhpdev) {
  XlTrace("Entering the function DrvDisableSurface\n");
  auto* pdev = reinterpret_cast<PDEV*>(dhpdev);
  if (!bValidatePDEV(pdev)) {
    XlTrace("bValidatePDEV function failed \n");
    return;
  }
  if (pdev->hsurf) EngDeleteSurface(pdev->hsurf);
  pdev->hsurf = nullptr;
}

K460_API BOOL DrvStartBanding(SURFOBJ* pso, POINTL* pptl) {
  PDEV* pdev = PdevOfSurface(pso);
  if (!bValidatePDEV(pdev) || !pptl) {
    XlTrace("bValidatePDEV function failed \n");
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  XlTrace("Entering DrvStartBanding with XIMAGE = %d,YIMAGE = %d\n", pdev->surfaceWidth, pdev->surfaceHeight);
  FirstBand(pdev);
  *pptl = {0, 0};
  return TRUE;
}

K460_API BOOL DrvNextBand(SURFOBJ* pso, POINTL* pptl) {
  PDEV* pdev = PdevOfSurface(pso);
  if (!bValidatePDEV(pdev) || !pptl) {
    XlTrace("bValidatePDEV function failed \n");
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  LONG next = pdev->band.top + XL_BAND_HEIGHT;
  if (next < pdev->surfaceHeight) {
    BandRect& b = pdev->band;
    b.top = next;
    b.bottom = next + XL_BAND_HEIGHT;
    *pptl = {0, next};
    XlTrace("Band = %d %d %d %d \n", b.left, b.top, b.right, b.bottom);
    return TRUE;
  }
  *pptl = {-1, -1};
  FirstBand(pdev);
  XlTrace("End of all bands. Sending -1,-1");
  return DrvSendPage(pso);
}
