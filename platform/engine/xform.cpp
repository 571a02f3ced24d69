#include "platform/engine/xform.h"

#include <cmath>

#include "platform/base/internal.h"
#include "platform/engine/engine.h"
#include "platform/engine/objects.h"

namespace k460::engine {
namespace {

Registry<EngineXform>& Xforms() {
  static Registry<EngineXform> registry;
  return registry;
}

LONG RoundToLong(double v) {
  if (!(v > -2147483648.0)) return LONG(0x80000000);  // also NaN
  if (v >= 2147483647.0) return 0x7FFFFFFF;
  return static_cast<LONG>(std::lround(v));
}

}  // namespace

ULONG XformKind(const XFORML& m) {
  if (m.eM12 != 0 || m.eM21 != 0) return GX_GENERAL;
  if (m.eM11 != 1 || m.eM22 != 1) return GX_SCALE;
  if (m.eDx != 0 || m.eDy != 0) return GX_OFFSET;
  return GX_IDENTITY;
}

double XformScale(const XFORML& m) {
  double det = double(m.eM11) * m.eM22 - double(m.eM12) * m.eM21;
  return std::sqrt(std::fabs(det));
}

void ApplyXform(const XFORML& m, double x, double y, double& outX, double& outY) {
  outX = x * m.eM11 + y * m.eM21 + m.eDx;
  outY = x * m.eM12 + y * m.eM22 + m.eDy;
}

EngineXform::EngineXform(const XFORML& matrix) : matrix_(matrix) { Xforms().Add(&xo_, this); }

EngineXform::~EngineXform() { Xforms().Remove(&xo_); }

EngineXform* EngineXform::Find(const XFORMOBJ* xo) { return Xforms().Find(xo); }

XFORML MatrixOf(XFORMOBJ* pxo) {
  EngineXform* xform = EngineXform::Find(pxo);
  return xform ? xform->Matrix() : kIdentity;
}

}  // namespace k460::engine

using namespace k460::engine;

K460_API ULONG XFORMOBJ_iGetXform(XFORMOBJ* pxo, XFORML* pxform) {
  EngineXform* xform = EngineXform::Find(pxo);
  if (!xform) return Fail(ERROR_INVALID_PARAMETER, ULONG{0xFFFFFFFF});
  if (pxform) *pxform = xform->Matrix();
  return XformKind(xform->Matrix());
}

K460_API BOOL XFORMOBJ_bApplyXform(XFORMOBJ* pxo, ULONG iMode, ULONG cPoints, PVOID pvIn, PVOID pvOut) {
  EngineXform* xform = EngineXform::Find(pxo);
  if (!xform || iMode > XF_INV_FXTOL || (cPoints && (!pvIn || !pvOut))) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  XFORML m = xform->Matrix();
  bool inverse = iMode == XF_INV_LTOL || iMode == XF_INV_FXTOL;
  if (inverse) {
    double det = double(m.eM11) * m.eM22 - double(m.eM12) * m.eM21;
    if (det == 0) return Fail(ERROR_INVALID_PARAMETER, FALSE);  // nothing maps back
    XFORML inv;
    inv.eM11 = FLOATL(m.eM22 / det);
    inv.eM12 = FLOATL(-m.eM12 / det);
    inv.eM21 = FLOATL(-m.eM21 / det);
    inv.eM22 = FLOATL(m.eM11 / det);
    inv.eDx = FLOATL(-(m.eDx * inv.eM11 + m.eDy * inv.eM21));
    inv.eDy = FLOATL(-(m.eDx * inv.eM12 + m.eDy * inv.eM22));
    m = inv;
  }
  // POINTL and POINTFIX are both two LONGs; the unit differs.
  const LONG* in = static_cast<const LONG*>(pvIn);
  LONG* out = static_cast<LONG*>(pvOut);
  double inScale = iMode == XF_INV_FXTOL ? 1.0 / 16 : 1.0;
  double outScale = iMode == XF_LTOFX ? 16.0 : 1.0;
  for (ULONG i = 0; i < cPoints; ++i) {
    double x, y;
    ApplyXform(m, in[2 * i] * inScale, in[2 * i + 1] * inScale, x, y);
    out[2 * i] = RoundToLong(x * outScale);
    out[2 * i + 1] = RoundToLong(y * outScale);
  }
  return TRUE;
}
