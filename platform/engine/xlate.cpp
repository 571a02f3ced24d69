#include "platform/engine/xlate.h"

#include <algorithm>

#include "platform/base/internal.h"
#include "platform/engine/engine.h"
#include "platform/engine/surface.h"

namespace k460::engine {
namespace {

Registry<EngineXlate>& Xlates() {
  static Registry<EngineXlate> registry;
  return registry;
}

ULONG NextUniq() {
  static std::atomic<ULONG> next{1};
  return next++;
}

}  // namespace

EngineXlate::EngineXlate(const PaletteData& src, ULONG srcFormat, const PaletteData& dst) : src_(src), dst_(dst) {
  int bpp = BitsPerPixel(srcFormat);
  if (bpp > 0 && bpp <= 8 && !src_.Indexed()) src_ = PaletteData::DefaultFor(srcFormat);
  xo_.iUniq = NextUniq();
  xo_.iSrcType = static_cast<USHORT>(src_.mode);
  xo_.iDstType = static_cast<USHORT>(dst_.mode);
  if (src_.Indexed()) {
    for (ULONG color : src_.colors) table_.push_back(RgbToValue(dst_, RgbFromColorref(color)));
    xo_.flXlate = XO_TABLE;
    xo_.cEntries = static_cast<ULONG>(table_.size());
    xo_.pulXlate = table_.data();
  }
  if (src_ == dst_) xo_.flXlate |= XO_TRIVIAL;
  if (dst_.Indexed() && dst_.colors.size() == 2) xo_.flXlate |= XO_TO_MONO;
  Xlates().Add(&xo_, this);
}

EngineXlate::~EngineXlate() { Xlates().Remove(&xo_); }

EngineXlate* EngineXlate::Find(const XLATEOBJ* xo) { return Xlates().Find(xo); }

ULONG EngineXlate::Translate(ULONG color) const {
  if (src_.Indexed()) return color < table_.size() ? table_[color] : 0;
  if (src_ == dst_) return color;
  return RgbToValue(dst_, ValueToRgb(src_, color));
}

}  // namespace k460::engine

using namespace k460::engine;

K460_API ULONG XLATEOBJ_iXlate(XLATEOBJ* pxlo, ULONG iColor) {
  if (!pxlo) return iColor;  // no translation object: colours stay as they are
  if (EngineXlate* xlate = EngineXlate::Find(pxlo)) return xlate->Translate(iColor);
  return Fail(ERROR_INVALID_PARAMETER, ULONG{0});
}

K460_API ULONG XLATEOBJ_cGetPalette(XLATEOBJ* pxlo, ULONG iPal, ULONG cPal, ULONG* pPal) {
  EngineXlate* xlate = EngineXlate::Find(pxlo);
  if (!xlate) return Fail(ERROR_INVALID_PARAMETER, ULONG{0});
  const PaletteData* palette = nullptr;
  switch (iPal) {
    case XO_SRCPALETTE: palette = &xlate->Source(); break;
    case XO_DESTPALETTE:
    case XO_DESTDCPALETTE: palette = &xlate->Destination(); break;
    case XO_SRCBITFIELDS:
    case XO_DESTBITFIELDS: {
      const PaletteData& p = iPal == XO_SRCBITFIELDS ? xlate->Source() : xlate->Destination();
      if (p.mode != PAL_BITFIELDS) return 0;
      if (!pPal) return 3;
      ULONG masks[3] = {p.redMask, p.greenMask, p.blueMask};
      ULONG n = std::min<ULONG>(cPal, 3);
      std::copy(masks, masks + n, pPal);
      return n;
    }
    default: return Fail(ERROR_INVALID_PARAMETER, ULONG{0});
  }
  if (!palette->Indexed()) return 0;
  ULONG count = static_cast<ULONG>(palette->colors.size());
  if (!pPal) return count;
  ULONG n = std::min(cPal, count);
  std::copy(palette->colors.begin(), palette->colors.begin() + n, pPal);
  return n;
}
