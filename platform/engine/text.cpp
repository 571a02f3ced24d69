#include "platform/engine/text.h"

#include <algorithm>
#include <cmath>

#include "platform/base/internal.h"
#include "platform/engine/clip.h"
#include "platform/engine/engine.h"
#include "platform/engine/objects.h"
#include "platform/engine/path_raster.h"
#include "platform/engine/rop.h"
#include "platform/engine/scan.h"

namespace k460::engine {
namespace {

Registry<EngineString>& Strings() {
  static Registry<EngineString> registry;
  return registry;
}

RECTL Union(const RECTL& a, const RECTL& b) {
  if (RectEmpty(a)) return b;
  if (RectEmpty(b)) return a;
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

LONG ToPixel(double v) { return static_cast<LONG>(std::clamp(std::floor(v), -1e8, 1e8)); }

}  // namespace

EngineString::EngineString(EngineFont& font, std::u16string text, POINTFIX origin)
    : font_(font), text_(std::move(text)) {
  double x = origin.x / 16.0, y = origin.y / 16.0;
  double startX = x, startY = y;
  for (size_t i = 0; i < text_.size(); ++i) {
    char32_t c = text_[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text_.size() && text_[i + 1] >= 0xDC00 && text_[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text_[i + 1] - 0xDC00);
      ++i;
    }
    HGLYPH hg = font_.HandleOf(c);
    Glyph* glyph = font_.GlyphOf(hg, true, false);
    GLYPHPOS pos{};
    pos.hg = hg;
    pos.pgdf = glyph->hasBits ? &glyph->def : nullptr;
    pos.ptl = {static_cast<LONG>(std::lround(x)), static_cast<LONG>(std::lround(y))};
    if (glyph->hasBits) {
      const GLYPHBITS* gb = glyph->def.pgb;
      RECTL box{pos.ptl.x + gb->ptlOrigin.x, pos.ptl.y + gb->ptlOrigin.y,
                pos.ptl.x + gb->ptlOrigin.x + gb->sizlBitmap.cx, pos.ptl.y + gb->ptlOrigin.y + gb->sizlBitmap.cy};
      ink_ = Union(ink_, box);
    }
    glyphs_.push_back(pos);
    x += glyph->data.ptqD.x / double(1LL << 32);
    y += glyph->data.ptqD.y / double(1LL << 32);
    if (glyph->data.ptqD.x == 0 && glyph->data.ptqD.y == 0) {
      x += glyph->data.fxD / 16.0 * font_.DirectionX();
      y += glyph->data.fxD / 16.0 * font_.DirectionY();
    }
  }
  // The text's cell: from the start to the end of the baseline, from the
  // ascent above it to the descent below it.
  double upX = font_.DirectionY(), upY = -font_.DirectionX();  // a quarter turn from the baseline
  double ascent = font_.Ascent(), descent = font_.Descent();
  double xs[4] = {startX + upX * ascent, startX - upX * descent, x + upX * ascent, x - upX * descent};
  double ys[4] = {startY + upY * ascent, startY - upY * descent, y + upY * ascent, y - upY * descent};
  so_.rclBkGround = {ToPixel(*std::min_element(xs, xs + 4)), ToPixel(*std::min_element(ys, ys + 4)),
                     ToPixel(*std::max_element(xs, xs + 4)) + 1, ToPixel(*std::max_element(ys, ys + 4)) + 1};
  so_.cGlyphs = static_cast<ULONG>(glyphs_.size());
  so_.flAccel = SO_FLAG_DEFAULT_PLACEMENT | (font_.DirectionY() == 0 && font_.DirectionX() > 0 ? SO_HORIZONTAL : 0);
  so_.pgp = glyphs_.empty() ? nullptr : glyphs_.data();
  so_.pwszOrg = text_.data();
  Strings().Add(&so_, this);
}

EngineString::~EngineString() { Strings().Remove(&so_); }

EngineString* EngineString::Find(const STROBJ* so) { return Strings().Find(so); }

bool EngineString::Enum(ULONG* count, GLYPHPOS** glyphs) {
  // One batch: every glyph.
  if (enumerated_ || glyphs_.empty()) {
    *count = 0;
    *glyphs = nullptr;
    return false;
  }
  enumerated_ = true;
  *count = static_cast<ULONG>(glyphs_.size());
  *glyphs = glyphs_.data();
  return false;
}

}  // namespace k460::engine

using namespace k460::engine;

K460_API void STROBJ_vEnumStart(STROBJ* pstro) {
  if (EngineString* s = EngineString::Find(pstro)) {
    s->EnumStart();
  } else {
    SetLastError(ERROR_INVALID_PARAMETER);
  }
}

K460_API BOOL STROBJ_bEnum(STROBJ* pstro, ULONG* pc, GLYPHPOS** ppgpos) {
  EngineString* s = EngineString::Find(pstro);
  if (!s || !pc || !ppgpos) {
    if (pc) *pc = 0;
    return Fail(ERROR_INVALID_PARAMETER, FALSE);
  }
  return s->Enum(pc, ppgpos) ? TRUE : FALSE;
}

K460_API BOOL EngTextOut(SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo, CLIPOBJ* pco, RECTL* prclExtra, RECTL* prclOpaque,
                         BRUSHOBJ* pboFore, BRUSHOBJ* pboOpaque, POINTL* pptlOrg, MIX mix) {
  if (k460::CallFailsSetError("EngTextOut")) return FALSE;
  EngineString* string = EngineString::Find(pstro);
  bool penUsed = RopUsesPattern(Rop3FromMix(mix & 0xFF));
  if (!pso || !string || !EngineFont::Find(pfo) || (penUsed && !pboFore) || (prclOpaque && !pboOpaque)) {
    return Fail(ERROR_INVALID_PARAMETER, FALSE);
  }
  RECTL surface{0, 0, pso->sizlBitmap.cx, pso->sizlBitmap.cy};
  Region clip = ClipRegion(pco, surface);
  if (prclOpaque) {
    Region opaque = clip.Intersect(RectOrdered(*prclOpaque));
    if (!PaintRegion(pso, std::move(opaque), pboOpaque, pptlOrg, R2_COPYPEN)) return FALSE;
  }
  // The glyphs' pixels, each once.
  RECTL reach = RectIntersect(string->InkBounds(), surface);
  if (!RectEmpty(reach)) {
    PixelMask ink(reach);
    for (ULONG i = 0; i < pstro->cGlyphs; ++i) {
      const GLYPHPOS& pos = pstro->pgp[i];
      if (!pos.pgdf || !pos.pgdf->pgb) continue;
      const GLYPHBITS* gb = pos.pgdf->pgb;
      LONG rowBytes = (gb->sizlBitmap.cx + 7) / 8;
      for (LONG y = 0; y < gb->sizlBitmap.cy; ++y) {
        const BYTE* row = gb->aj + static_cast<size_t>(y) * rowBytes;
        for (LONG x = 0; x < gb->sizlBitmap.cx; ++x) {
          if (row[x / 8] & (0x80 >> (x % 8))) ink.Set(pos.ptl.x + gb->ptlOrigin.x + x, pos.ptl.y + gb->ptlOrigin.y + y);
        }
      }
    }
    SpanBuilder spans(reach);
    ink.AddTo(spans);
    if (!PaintRegion(pso, spans.Build(&clip), pboFore, pptlOrg, mix)) return FALSE;
  }
  // Underlines and strike-outs: rectangles up to an all-zero one.
  for (RECTL* r = prclExtra; r && (r->left | r->top | r->right | r->bottom) != 0; ++r) {
    if (!PaintRegion(pso, clip.Intersect(RectOrdered(*r)), pboFore, pptlOrg, mix)) return FALSE;
  }
  return TRUE;
}
