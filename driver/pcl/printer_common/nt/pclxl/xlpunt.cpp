#include "driver/pcl/printer_common/nt/pclxl/xlpunt.h"

#include "platform/module/module.h"

namespace {

using PFN_EngBitBlt = decltype(&EngBitBlt);
using PFN_EngStretchBlt = decltype(&EngStretchBlt);
using PFN_EngEraseSurface = decltype(&EngEraseSurface);

// The engine's service of that name, or none.
template <class F>
F EngineService(const char* name) {
  HMODULE engine = GetModuleHandleW(u"gdi32.dll");
  return engine ? reinterpret_cast<F>(GetProcAddress(engine, name)) : nullptr;
}

BOOL NotSupported() {
  SetLastError(ERROR_NOT_SUPPORTED);
  return FALSE;
}

}  // namespace

BOOL PuntBitBlt(SURFOBJ* psoTrg, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco, XLATEOBJ* pxlo, RECTL* prclTrg,
                POINTL* pptlSrc, POINTL* pptlMask, BRUSHOBJ* pbo, POINTL* pptlBrush, ROP4 rop4) {
  static const auto bitBlt = EngineService<PFN_EngBitBlt>("EngBitBlt");
  if (!bitBlt) return NotSupported();
  return bitBlt(psoTrg, psoSrc, psoMask, pco, pxlo, prclTrg, pptlSrc, pptlMask, pbo, pptlBrush, rop4);
}

BOOL PuntStretchBlt(SURFOBJ* psoDest, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco, XLATEOBJ* pxlo,
                    COLORADJUSTMENT* pca, POINTL* pptlHTOrg, RECTL* prclDest, RECTL* prclSrc, POINTL* pptlMask,
                    ULONG iMode) {
  static const auto stretchBlt = EngineService<PFN_EngStretchBlt>("EngStretchBlt");
  if (!stretchBlt) return NotSupported();
  return stretchBlt(psoDest, psoSrc, psoMask, pco, pxlo, pca, pptlHTOrg, prclDest, prclSrc, pptlMask, iMode);
}

BOOL PuntEraseSurface(SURFOBJ* pso, RECTL* prcl, ULONG iColor) {
  static const auto erase = EngineService<PFN_EngEraseSurface>("EngEraseSurface");
  if (!erase) return NotSupported();
  return erase(pso, prcl, iColor);
}
