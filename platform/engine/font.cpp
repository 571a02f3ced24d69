#include "platform/engine/font.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <numbers>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include "platform/base/internal.h"
#include "platform/engine/device.h"
#include "platform/engine/engine.h"
#include "platform/engine/objects.h"

namespace k460::engine {
namespace {

Registry<EngineFont>& Fonts() {
  static Registry<EngineFont> registry;
  return registry;
}

ULONG NextUniq() {
  static std::atomic<ULONG> next{1};
  return next++;
}

constexpr double kItalicShear = 0.2;

// Outline callbacks: FreeType's 26.6 points (y up, from the glyph origin) as
// 28.4 device points (y down).
struct OutlineSink {
  EnginePath* path;
  FT_Vector last{};
  static POINTFIX Fix(const FT_Vector* v) { return {static_cast<FIX>(v->x / 4), static_cast<FIX>(-v->y / 4)}; }
  static int Move(const FT_Vector* to, void* user) {
    auto* s = static_cast<OutlineSink*>(user);
    if (!s->path->Figures().empty()) s->path->CloseFigure();
    s->path->MoveTo(Fix(to));
    s->last = *to;
    return 0;
  }
  static int Line(const FT_Vector* to, void* user) {
    auto* s = static_cast<OutlineSink*>(user);
    s->path->LineTo(Fix(to));
    s->last = *to;
    return 0;
  }
  static int Conic(const FT_Vector* control, const FT_Vector* to, void* user) {
    auto* s = static_cast<OutlineSink*>(user);
    // A quadratic curve as the cubic with control points 2/3 of the way to its control.
    FT_Vector c1{s->last.x + 2 * (control->x - s->last.x) / 3, s->last.y + 2 * (control->y - s->last.y) / 3};
    FT_Vector c2{to->x + 2 * (control->x - to->x) / 3, to->y + 2 * (control->y - to->y) / 3};
    s->path->BezierTo(Fix(&c1), Fix(&c2), Fix(to));
    s->last = *to;
    return 0;
  }
  static int Cubic(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
    auto* s = static_cast<OutlineSink*>(user);
    s->path->BezierTo(Fix(c1), Fix(c2), Fix(to));
    s->last = *to;
    return 0;
  }
};

}  // namespace

EngineFont::EngineFont(FontRequest request) : request_(std::move(request)) {
  double angle = request_.escapement / 10.0 * std::numbers::pi / 180;
  cos_ = std::cos(angle);
  sin_ = std::sin(angle);
  fo_.iUniq = NextUniq();
  fo_.sizLogResPpi = request_.resolution;
  fo_.ulStyleSize = static_cast<ULONG>(std::lround(request_.emHeight * 72 / std::max<LONG>(1, request_.resolution.cy)));
  double unitsPerEm = 1000;
  if (request_.device) {
    fo_.iFace = request_.deviceFace;
    fo_.flFontType = FO_TYPE_DEVICE;
    if (request_.deviceMetrics && request_.deviceMetrics->fwdUnitsPerEm > 0) {
      unitsPerEm = request_.deviceMetrics->fwdUnitsPerEm;
    }
  } else {
    fo_.iFace = 1;
    fo_.iFile = request_.file->Id();
    fo_.iTTUniq = request_.file->Id();
    fo_.flFontType = request_.file->TrueType() ? FO_TYPE_TRUETYPE : 0;
    if (request_.file->Face()->units_per_EM > 0) unitsPerEm = request_.file->Face()->units_per_EM;
    fo_.cxMax = static_cast<ULONG>(
        std::ceil(request_.file->Face()->max_advance_width * request_.emHeight / unitsPerEm));
  }
  if (request_.simulateBold) fo_.flFontType |= FO_SIM_BOLD;
  if (request_.simulateItalic) fo_.flFontType |= FO_SIM_ITALIC;
  if (request_.vertical) fo_.flFontType |= FO_VERT_FACE;
  // Notional units (y up) to the device (y down), along the baseline's direction.
  double s = request_.emHeight / unitsPerEm;
  XFORML m{FLOATL(s * cos_), FLOATL(-s * sin_), FLOATL(-s * sin_), FLOATL(-s * cos_), 0, 0};
  xform_ = std::make_unique<EngineXform>(m);
  Fonts().Add(&fo_, this);
}

EngineFont::~EngineFont() { Fonts().Remove(&fo_); }

EngineFont* EngineFont::Find(const FONTOBJ* fo) { return Fonts().Find(fo); }

HGLYPH EngineFont::HandleOf(char32_t c) {
  if (!request_.device) {
    std::lock_guard lock(request_.file->Lock());
    return FT_Get_Char_Index(request_.file->Face(), c);
  }
  const FD_GLYPHSET* set = request_.deviceGlyphs;
  auto find = [&](char32_t ch) -> std::optional<HGLYPH> {
    if (!set) return std::nullopt;
    for (ULONG i = 0; i < set->cRuns; ++i) {
      const WCRUN& run = set->awcrun[i];
      if (ch >= run.wcLow && ch < char32_t(run.wcLow) + run.cGlyphs) {
        return run.phg ? run.phg[ch - run.wcLow] : HGLYPH(ch);
      }
    }
    return std::nullopt;
  };
  if (auto hg = find(c)) return *hg;
  if (request_.deviceMetrics) {
    if (auto hg = find(request_.deviceMetrics->wcDefaultChar)) return *hg;
  }
  return 0xFFFF;
}

Glyph* EngineFont::GlyphOf(HGLYPH hg, bool bits, bool outline) {
  Glyph& glyph = glyphs_[hg];
  bool needBits = bits && !glyph.hasBits, needOutline = outline && !glyph.outline;
  if (glyph.loaded && !needBits && !needOutline) return &glyph;
  if (request_.device) {
    if (!glyph.loaded || needBits) LoadDeviceGlyph(glyph, hg, bits);
  } else {
    LoadEngineGlyph(glyph, hg, needBits, needOutline);
  }
  glyph.loaded = true;
  return &glyph;
}

void EngineFont::LoadEngineGlyph(Glyph& glyph, HGLYPH hg, bool bits, bool outline) {
  FontFile& file = *request_.file;
  std::lock_guard lock(file.Lock());
  FT_Face face = file.Face();
  double em = std::clamp(request_.emHeight, 1.0, 16384.0);
  FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(em * 64), 72, 72);
  double shear = request_.simulateItalic ? kItalicShear : 0;
  FT_Matrix matrix{static_cast<FT_Fixed>(cos_ * 65536), static_cast<FT_Fixed>((cos_ * shear - sin_) * 65536),
                   static_cast<FT_Fixed>(sin_ * 65536), static_cast<FT_Fixed>((sin_ * shear + cos_) * 65536)};
  FT_Set_Transform(face, &matrix, nullptr);
  bool first = !glyph.loaded;
  if (first) {
    glyph.data = GLYPHDATA{};
    glyph.data.hg = hg;
  }
  // The same hinting for advances, bits and outlines, so that they agree.
  FT_Int32 flags = FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_MONO;
  if (FT_Load_Glyph(face, hg, flags) != 0) return;
  FT_GlyphSlot slot = face->glyph;
  FT_Pos boldness = request_.simulateBold ? static_cast<FT_Pos>(em * 64 / 24) : 0;
  if (boldness && slot->format == FT_GLYPH_FORMAT_OUTLINE) FT_Outline_EmboldenXY(&slot->outline, boldness, boldness);
  if (first) {
    double ax = slot->advance.x + boldness * cos_, ay = slot->advance.y + boldness * sin_;
    glyph.data.fxD = static_cast<FIX>(std::lround(std::hypot(ax, ay) / 4));
    glyph.data.fxAB = glyph.data.fxD;
    glyph.data.ptqD.x = static_cast<LONGLONG>(ax * (1LL << 26));
    glyph.data.ptqD.y = static_cast<LONGLONG>(-ay * (1LL << 26));
  }
  if (outline && slot->format == FT_GLYPH_FORMAT_OUTLINE) {
    glyph.outline = std::make_unique<EnginePath>();
    OutlineSink sink{glyph.outline.get()};
    FT_Outline_Funcs funcs{&OutlineSink::Move, &OutlineSink::Line, &OutlineSink::Conic, &OutlineSink::Cubic, 0, 0};
    FT_Outline_Decompose(&slot->outline, &funcs, &sink);
    if (!glyph.outline->Figures().empty()) glyph.outline->CloseFigure();
  }
  if (bits && FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) == 0) {
    const FT_Bitmap& b = slot->bitmap;
    LONG width = static_cast<LONG>(b.width), rows = static_cast<LONG>(b.rows);
    LONG rowBytes = (width + 7) / 8;
    glyph.bits.assign(std::max(sizeof(GLYPHBITS), offsetof(GLYPHBITS, aj) + size_t(rowBytes) * rows), 0);
    auto* gb = reinterpret_cast<GLYPHBITS*>(glyph.bits.data());
    gb->ptlOrigin = {slot->bitmap_left, -slot->bitmap_top};
    gb->sizlBitmap = {width, rows};
    BYTE* out = glyph.bits.data() + offsetof(GLYPHBITS, aj);
    for (LONG y = 0; y < rows; ++y) std::memcpy(out + y * rowBytes, b.buffer + y * b.pitch, rowBytes);
    glyph.data.fxInkTop = slot->bitmap_top * 16;
    glyph.data.fxInkBottom = (slot->bitmap_top - rows) * 16;
    glyph.data.rclInk = {slot->bitmap_left, -slot->bitmap_top, slot->bitmap_left + width, -slot->bitmap_top + rows};
    glyph.hasBits = true;
    glyph.def.pgb = gb;
  }
}

void EngineFont::LoadDeviceGlyph(Glyph& glyph, HGLYPH hg, bool bits) {
  Device& device = *request_.device;
  auto query = device.Function<PFN_DrvQueryFontData>(INDEX_DrvQueryFontData);
  glyph.data = GLYPHDATA{};
  glyph.data.hg = hg;
  LONG size = query ? query(device.dhpdev, &fo_, QFD_GLYPHANDBITMAP, hg, &glyph.data, nullptr, 0) : -1;
  if (size < 0 || glyph.data.fxD == 0) {
    // The driver gives no advance: the font's average width.
    double s = request_.emHeight / std::max<double>(1, request_.deviceMetrics ? request_.deviceMetrics->fwdUnitsPerEm : 1);
    double width = request_.deviceMetrics ? request_.deviceMetrics->fwdAveCharWidth * s : request_.emHeight / 2;
    glyph.data.fxD = static_cast<FIX>(std::lround(width * 16));
  }
  glyph.data.hg = hg;
  if (bits && size > static_cast<LONG>(offsetof(GLYPHBITS, aj)) && size < (1 << 24)) {
    glyph.bits.assign(static_cast<size_t>(size), 0);
    GLYPHDATA again{};
    if (query(device.dhpdev, &fo_, QFD_GLYPHANDBITMAP, hg, &again, glyph.bits.data(), static_cast<ULONG>(size)) > 0) {
      auto* gb = reinterpret_cast<GLYPHBITS*>(glyph.bits.data());
      LONGLONG need = offsetof(GLYPHBITS, aj) + LONGLONG((gb->sizlBitmap.cx + 7) / 8) * gb->sizlBitmap.cy;
      if (gb->sizlBitmap.cx >= 0 && gb->sizlBitmap.cy >= 0 && need <= size) {
        glyph.hasBits = true;
        glyph.def.pgb = gb;
      }
    }
  }
  if (!glyph.hasBits) glyph.bits.clear();
}

ULONG EngineFont::AllHandles(HGLYPH* out) {
  if (!request_.device) {
    ULONG count = static_cast<ULONG>(request_.file->Face()->num_glyphs);
    if (out) {
      for (ULONG i = 0; i < count; ++i) out[i] = i;
    }
    return count;
  }
  ULONG count = 0;
  if (const FD_GLYPHSET* set = request_.deviceGlyphs) {
    for (ULONG i = 0; i < set->cRuns; ++i) {
      const WCRUN& run = set->awcrun[i];
      for (USHORT k = 0; k < run.cGlyphs; ++k, ++count) {
        if (out) out[count] = run.phg ? run.phg[k] : HGLYPH(run.wcLow + k);
      }
    }
  }
  return count;
}

IFIMETRICS* EngineFont::Metrics() {
  if (request_.device) return request_.deviceMetrics;
  if (metrics_.empty()) {
    std::lock_guard lock(request_.file->Lock());
    metrics_ = BuildMetrics(request_.file->Face(), request_.face, request_.file->TrueType(), request_.simulateBold,
                            request_.simulateItalic);
  }
  return reinterpret_cast<IFIMETRICS*>(metrics_.data());
}

double EngineFont::Ascent() {
  IFIMETRICS* ifi = Metrics();
  if (!ifi || ifi->fwdUnitsPerEm <= 0) return request_.emHeight * 0.8;
  return double(ifi->fwdWinAscender) * request_.emHeight / ifi->fwdUnitsPerEm;
}

double EngineFont::Descent() {
  IFIMETRICS* ifi = Metrics();
  if (!ifi || ifi->fwdUnitsPerEm <= 0) return request_.emHeight * 0.2;
  return double(ifi->fwdWinDescender) * request_.emHeight / ifi->fwdUnitsPerEm;
}

}  // namespace k460::engine

using namespace k460::engine;

K460_API ULONG FONTOBJ_cGetGlyphs(FONTOBJ* pfo, ULONG iMode, ULONG cGlyph, HGLYPH* phg, PVOID* ppvGlyph) {
  EngineFont* font = EngineFont::Find(pfo);
  if (!font || !phg || !ppvGlyph || cGlyph == 0 || (iMode != FO_GLYPHBITS && iMode != FO_PATHOBJ)) {
    return Fail(ERROR_INVALID_PARAMETER, ULONG{0});
  }
  // One glyph a call, as drivers ask for them.
  Glyph* glyph = font->GlyphOf(phg[0], iMode == FO_GLYPHBITS, iMode == FO_PATHOBJ);
  if ((iMode == FO_GLYPHBITS && !glyph->hasBits) || (iMode == FO_PATHOBJ && !glyph->outline)) {
    *ppvGlyph = nullptr;
    return Fail(ERROR_NOT_SUPPORTED, ULONG{0});
  }
  glyph->data.gdf = iMode == FO_GLYPHBITS ? GLYPHDEF{.pgb = reinterpret_cast<GLYPHBITS*>(glyph->bits.data())}
                                          : GLYPHDEF{.ppo = glyph->outline->Object()};
  *ppvGlyph = &glyph->data;
  return 1;
}

K460_API ULONG FONTOBJ_cGetAllGlyphHandles(FONTOBJ* pfo, HGLYPH* phg) {
  EngineFont* font = EngineFont::Find(pfo);
  if (!font) return Fail(ERROR_INVALID_PARAMETER, ULONG{0});
  return font->AllHandles(phg);
}

K460_API PVOID FONTOBJ_pvTrueTypeFontFile(FONTOBJ* pfo, ULONG* pcjFile) {
  EngineFont* font = EngineFont::Find(pfo);
  if (pcjFile) *pcjFile = 0;
  if (!font) return Fail(ERROR_INVALID_PARAMETER, PVOID{});
  if (font->DeviceFont() || !font->Request().file->TrueType()) return Fail(ERROR_NOT_SUPPORTED, PVOID{});
  const auto& bytes = font->Request().file->Bytes();
  if (pcjFile) *pcjFile = static_cast<ULONG>(bytes.size());
  return const_cast<BYTE*>(bytes.data());
}

K460_API IFIMETRICS* FONTOBJ_pifi(FONTOBJ* pfo) {
  EngineFont* font = EngineFont::Find(pfo);
  if (!font) return Fail(ERROR_INVALID_PARAMETER, static_cast<IFIMETRICS*>(nullptr));
  return font->Metrics();
}

K460_API XFORMOBJ* FONTOBJ_pxoGetXform(FONTOBJ* pfo) {
  EngineFont* font = EngineFont::Find(pfo);
  if (!font) return Fail(ERROR_INVALID_PARAMETER, static_cast<XFORMOBJ*>(nullptr));
  return font->Xform();
}
