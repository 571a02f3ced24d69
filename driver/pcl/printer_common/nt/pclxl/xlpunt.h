// Drawing the driver hands back to the graphics engine. The engine's
// drawing services are looked up when first needed: an engine without them
// refuses the call (ERROR_NOT_SUPPORTED) instead of the driver failing to load.
#pragma once

#include "platform/engine/engine.h"

BOOL PuntBitBlt(SURFOBJ* psoTrg, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco, XLATEOBJ* pxlo, RECTL* prclTrg,
                POINTL* pptlSrc, POINTL* pptlMask, BRUSHOBJ* pbo, POINTL* pptlBrush, ROP4 rop4);
BOOL PuntStretchBlt(SURFOBJ* psoDest, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco, XLATEOBJ* pxlo,
                    COLORADJUSTMENT* pca, POINTL* pptlHTOrg, RECTL* prclDest, RECTL* prclSrc, POINTL* pptlMask,
                    ULONG iMode);
BOOL PuntEraseSurface(SURFOBJ* pso, RECTL* prcl, ULONG iColor);
