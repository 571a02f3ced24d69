#include "platform/engine/blt.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "platform/engine/pixels.h"
#include "platform/engine/region.h"
#include "platform/engine/rop.h"
#include "platform/engine/surface.h"

namespace k460::engine {

std::optional<BitmapView> BitmapViewOf(const SURFOBJ* so, const PaletteData& palette) {
  if (!so || so->iType != STYPE_BITMAP || !so->pvScan0) return std::nullopt;
  int bpp = BitsPerPixel(so->iBitmapFormat);
  if (bpp == 0 || so->sizlBitmap.cx <= 0 || so->sizlBitmap.cy <= 0) return std::nullopt;
  LONGLONG rowBytes = (static_cast<LONGLONG>(so->sizlBitmap.cx) * bpp + 7) / 8;
  if (std::abs(static_cast<LONGLONG>(so->lDelta)) < rowBytes && so->sizlBitmap.cy > 1) return std::nullopt;
  BitmapView view;
  view.scan0 = static_cast<BYTE*>(so->pvScan0);
  view.delta = so->lDelta;
  view.width = so->sizlBitmap.cx;
  view.height = so->sizlBitmap.cy;
  view.format = so->iBitmapFormat;
  view.bpp = bpp;
  view.palette = palette;
  return view;
}

// ---- Pixel translation --------------------------------------------------------------
namespace {

ULONG EffectiveMask16(const PaletteData& p, int which) {
  if (p.mode != PAL_BITFIELDS) return which == 0 ? 0x7C00 : which == 1 ? 0x03E0 : 0x001F;
  return which == 0 ? p.redMask : which == 1 ? p.greenMask : p.blueMask;
}

bool SameDirectLayout(ULONG format, const PaletteData& a, const PaletteData& b) {
  if (format == BMF_24BPP) return true;
  if (format == BMF_16BPP) {
    for (int i = 0; i < 3; ++i) {
      if (EffectiveMask16(a, i) != EffectiveMask16(b, i)) return false;
    }
    return true;
  }
  bool fieldsA = a.mode == PAL_BITFIELDS, fieldsB = b.mode == PAL_BITFIELDS;
  if (!fieldsA && !fieldsB) return true;
  return fieldsA && fieldsB && a.redMask == b.redMask && a.greenMask == b.greenMask && a.blueMask == b.blueMask;
}

// Destination pixels of direct colours, remembered for palettes that need a search.
class NearestCache {
 public:
  std::unordered_map<ULONG, ULONG> map;
};

}  // namespace

PixelMap::PixelMap(ULONG srcFormat, const PaletteData& srcPalette, ULONG dstFormat, const PaletteData& dstPalette)
    : srcFormat_(srcFormat), dstFormat_(dstFormat), srcPalette_(srcPalette), dstPalette_(dstPalette) {
  int bpp = BitsPerPixel(srcFormat);
  indexedSource_ = bpp > 0 && bpp <= 8;
  if (indexedSource_) {
    ULONG count = 1u << bpp;
    lut_.resize(count);
    rgbLut_.resize(count);
    identity_ = srcFormat == dstFormat;
    for (ULONG i = 0; i < count; ++i) {
      rgbLut_[i] = PixelToRgb(srcFormat, srcPalette, i);
      lut_[i] = RgbToPixel(dstFormat, dstPalette, rgbLut_[i]);
      if (lut_[i] != i) identity_ = false;
    }
  } else {
    identity_ = srcFormat == dstFormat && SameDirectLayout(srcFormat, srcPalette, dstPalette);
  }
}

void PixelMap::UseTable(const ULONG* table, ULONG count) {
  if (!indexedSource_ || !table) return;
  identity_ = srcFormat_ == dstFormat_;
  for (ULONG i = 0; i < lut_.size(); ++i) {
    rgbLut_[i] = i < count ? ValueToRgb(dstPalette_, table[i]) : kBlack;
    lut_[i] = RgbToPixel(dstFormat_, dstPalette_, rgbLut_[i]);
    if (lut_[i] != i) identity_ = false;
  }
}

Rgb PixelMap::SourceRgb(ULONG pixel) const {
  if (indexedSource_) return rgbLut_[pixel & (lut_.size() - 1)];
  return PixelToRgb(srcFormat_, srcPalette_, pixel);
}

void PixelMap::Map(const ULONG* in, ULONG* out, LONG count) const {
  if (indexedSource_) {
    ULONG mask = static_cast<ULONG>(lut_.size() - 1);
    for (LONG i = 0; i < count; ++i) out[i] = lut_[in[i] & mask];
    return;
  }
  if (identity_) {
    std::memcpy(out, in, sizeof(ULONG) * count);
    return;
  }
  bool search = BitsPerPixel(dstFormat_) > 1 && BitsPerPixel(dstFormat_) <= 8;
  thread_local NearestCache cache;
  if (search) cache.map.clear();
  for (LONG i = 0; i < count; ++i) {
    Rgb c = PixelToRgb(srcFormat_, srcPalette_, in[i]);
    if (!search) {
      out[i] = RgbToPixel(dstFormat_, dstPalette_, c);
      continue;
    }
    ULONG key = ColorrefFromRgb(c);
    auto [it, fresh] = cache.map.try_emplace(key, 0);
    if (fresh) it->second = RgbToPixel(dstFormat_, dstPalette_, c);
    out[i] = it->second;
  }
}

// ---- Patterns ------------------------------------------------------------------------
namespace {

size_t RowBufferBytes(const BitmapView& dst) { return static_cast<size_t>((dst.RowBits() + 7) / 8) + 8; }

int Bayer16(LONG x, LONG y) {
  int v = 0;
  for (int bit = 0; bit < 4; ++bit) {
    int xb = (x >> bit) & 1, yb = (y >> bit) & 1;
    v += (2 * (xb ^ yb) + yb) << (2 * (3 - bit));
  }
  return v;  // 0 to 255
}

}  // namespace

// (2 × Bayer value + 1) × 255: a luminance L is white where L × 512 exceeds it.
namespace {
struct DitherTable {
  int threshold[16][16];
  DitherTable() {
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) threshold[y][x] = (2 * Bayer16(x, y) + 1) * 255;
    }
  }
};
const DitherTable kDither;
}  // namespace

bool DitherWhite(Rgb colour, LONG x, LONG y) { return Luminance(colour) * 512 > kDither.threshold[y & 15][x & 15]; }

Pattern SolidPattern(const BitmapView& dst, ULONG pixel) {
  Pattern p;
  p.rows.emplace_back(RowBufferBytes(dst));
  FillPixels(p.rows[0].data(), dst.format, dst.width, pixel);
  return p;
}

Pattern TiledPattern(const BitmapView& dst, const BitmapView& pattern, const PixelMap& map, POINTL origin) {
  Pattern p;
  p.originY = origin.y;
  std::vector<ULONG> source(pattern.width), pixels(pattern.width);
  for (LONG r = 0; r < pattern.height; ++r) {
    ReadPixels(pattern.Row(r), pattern.format, 0, pattern.width, source.data());
    map.Map(source.data(), pixels.data(), pattern.width);
    std::vector<BYTE> row(RowBufferBytes(dst));
    LONG phase = ((-origin.x) % pattern.width + pattern.width) % pattern.width;
    for (LONG x = 0; x < dst.width; ++x) WritePixel(row.data(), dst.format, x, pixels[(x + phase) % pattern.width]);
    p.rows.push_back(std::move(row));
  }
  return p;
}

Pattern DitherPattern(const BitmapView& dst, Rgb colour) {
  Pattern p;
  ULONG white = RgbToPixel(dst.format, dst.palette, kWhite);
  ULONG black = RgbToPixel(dst.format, dst.palette, kBlack);
  for (LONG y = 0; y < 16; ++y) {
    std::vector<BYTE> row(RowBufferBytes(dst));
    for (LONG x = 0; x < dst.width; ++x) WritePixel(row.data(), dst.format, x, DitherWhite(colour, x, y) ? white : black);
    p.rows.push_back(std::move(row));
  }
  return p;
}

// ---- The transfer ----------------------------------------------------------------------
namespace {

// Destination offset i (0 .. dstLength - 1) → source coordinate, sampling
// each destination pixel's centre.
std::vector<LONG> AxisMap(LONG dstLength, LONG srcStart, LONG srcLength, bool flip, LONG srcLimit) {
  std::vector<LONG> map(dstLength);
  for (LONG i = 0; i < dstLength; ++i) {
    LONG offset = static_cast<LONG>((static_cast<LONGLONG>(2 * i + 1) * srcLength) / (2LL * dstLength));
    LONG s = flip ? srcStart + srcLength - 1 - offset : srcStart + offset;
    map[i] = std::clamp<LONG>(s, 0, srcLimit - 1);
  }
  return map;
}

struct RowWork {
  std::vector<BYTE> s, m, a, b;
  std::vector<ULONG> values, mapped;
  std::vector<LONG> maskXs;
  std::vector<int> luminance;  // halftoning: of each pixel of the last source row read
  LONG luminanceRow = -1;
  LONG builtRow = -1;          // stretching: the source row w.s holds for this piece
};

// Stretching one-bit pixels onto one bit: source bits picked and packed
// straight into destination bytes from bit `phase` on.
void PickBits(const BYTE* row, const LONG* xs, LONG count, BYTE* out, int phase) {
  unsigned acc = 0;
  int bit = phase;
  size_t o = 0;
  for (LONG i = 0; i < count; ++i) {
    unsigned b = (row[xs[i] >> 3] >> (7 - (xs[i] & 7))) & 1;
    acc |= b << (7 - bit);
    if (++bit == 8) {
      out[o++] = static_cast<BYTE>(acc);
      acc = 0;
      bit = 0;
    }
  }
  if (bit) out[o] = static_cast<BYTE>(acc);
}

}  // namespace

void RunBlt(const BltJob& job) {
  const BitmapView& dst = job.dst;
  BYTE fg = static_cast<BYTE>(job.rop4 & 0xFF);
  BYTE bg = static_cast<BYTE>((job.rop4 >> 8) & 0xFF);
  bool masked = fg != bg;
  bool needSource = RopUsesSource(fg) || (masked && RopUsesSource(bg));
  bool needPattern = RopUsesPattern(fg) || (masked && RopUsesPattern(bg));
  // The callers check their arguments; without them nothing can be drawn.
  if ((needSource && (!job.src || !job.map)) || (needPattern && (!job.pattern || job.pattern->rows.empty()))) return;
  RopRowFunction opFg = RopRow(fg), opBg = RopRow(bg);
  int bpp = dst.bpp;
  bool halftone = job.mode == HALFTONE && dst.format == BMF_1BPP && job.src && job.src->format != BMF_1BPP;
  ULONG white = 0, black = 0;
  if (halftone) {
    white = RgbToPixel(dst.format, dst.palette, kWhite);
    black = RgbToPixel(dst.format, dst.palette, kBlack);
  }

  std::vector<LONG> xmap, ymap;
  LONG dstWidth = job.dstRect.right - job.dstRect.left;
  LONG dstHeight = job.dstRect.bottom - job.dstRect.top;
  if (job.stretch && job.src) {
    xmap = AxisMap(dstWidth, job.srcRect.left, job.srcRect.right - job.srcRect.left, job.flipX, job.src->width);
    ymap = AxisMap(dstHeight, job.srcRect.top, job.srcRect.bottom - job.srcRect.top, job.flipY, job.src->height);
  }

  RowWork w;
  size_t bufferBytes = static_cast<size_t>((dst.RowBits() + 7) / 8) + 16;
  w.s.resize(bufferBytes);
  if (masked) {
    w.m.resize(bufferBytes);
    w.a.resize(bufferBytes);
    w.b.resize(bufferBytes);
  }
  w.values.resize(std::max(dst.width, job.src ? job.src->width : 0) + 1);
  if (halftone) w.luminance.resize(job.src->width + 1);
  w.mapped.resize(dst.width + 1);
  w.maskXs.resize(dst.width + 1);

  for (RECTL piece : job.clip) {
    piece = RectIntersect(piece, job.dstRect);
    piece = RectIntersect(piece, dst.Bounds());
    if (needSource && !job.stretch) {
      // Only what the source has: the destination shrinks with it.
      RECTL reach{job.dstRect.left - job.srcPoint.x, job.dstRect.top - job.srcPoint.y,
                  job.dstRect.left - job.srcPoint.x + job.src->width, job.dstRect.top - job.srcPoint.y + job.src->height};
      piece = RectIntersect(piece, reach);
    }
    if (masked && job.mask && !job.stretch) {
      RECTL reach{job.dstRect.left - job.maskPoint.x, job.dstRect.top - job.maskPoint.y,
                  job.dstRect.left - job.maskPoint.x + job.mask->width,
                  job.dstRect.top - job.maskPoint.y + job.mask->height};
      piece = RectIntersect(piece, reach);
    }
    if (RectEmpty(piece)) continue;

    LONG x0 = piece.left, width = piece.right - piece.left;
    LONGLONG bitStart = static_cast<LONGLONG>(x0) * bpp;
    size_t byteStart = static_cast<size_t>(bitStart >> 3);
    int phase = static_cast<int>(bitStart & 7);
    size_t n = static_cast<size_t>((phase + static_cast<LONGLONG>(width) * bpp + 7) >> 3);
    int lastBits = static_cast<int>((phase + static_cast<LONGLONG>(width) * bpp) & 7);
    BYTE firstMask = static_cast<BYTE>(0xFF >> phase);
    BYTE lastMask = lastBits ? static_cast<BYTE>(0xFF << (8 - lastBits)) : 0xFF;
    if (n == 1) firstMask = lastMask = static_cast<BYTE>(firstMask & lastMask);
    LONG pixelPhase = bpp < 8 ? phase / bpp : 0;
    w.builtRow = -1;
    if (job.stretch && masked && job.mask) {
      for (LONG i = 0; i < width; ++i) {
        w.maskXs[i] = std::clamp<LONG>(job.maskPoint.x + xmap[x0 - job.dstRect.left + i] - job.srcRect.left, 0,
                                       job.mask->width - 1);
      }
    }

    for (LONG y = piece.top; y < piece.bottom; ++y) {
      BYTE* d = dst.Row(y) + byteStart;
      const BYTE* s = nullptr;
      if (needSource) {
        const BitmapView& src = *job.src;
        LONG sy = job.stretch ? ymap[y - job.dstRect.top] : job.srcPoint.y + (y - job.dstRect.top);
        const BYTE* row = src.Row(sy);
        LONG sx = job.srcPoint.x + (x0 - job.dstRect.left);
        const LONG* xs = job.stretch ? xmap.data() + (x0 - job.dstRect.left) : nullptr;
        if (halftone) {
          if (w.luminanceRow != sy) {
            ReadPixels(row, src.format, 0, src.width, w.values.data());
            for (LONG i = 0; i < src.width; ++i) w.luminance[i] = Luminance(job.map->SourceRgb(w.values[i])) * 512;
            w.luminanceRow = sy;
          }
          const int(*threshold)[16] = kDither.threshold;
          for (LONG i = 0; i < width; ++i) {
            LONG x = x0 + i;
            int lum = w.luminance[xs ? xs[i] : sx + i];
            w.mapped[i] = lum > threshold[(y + job.htOrigin.y) & 15][(x + job.htOrigin.x) & 15] ? white : black;
          }
          WritePixels(w.s.data(), dst.format, pixelPhase, w.mapped.data(), width);
          s = w.s.data();
        } else if (xs) {
          // Enlarged rows repeat: a row already built is used again.
          if (w.builtRow != sy) {
            if (job.map->Identity() && dst.format == BMF_1BPP) {
              PickBits(row, xs, width, w.s.data(), phase);
            } else {
              ReadPixelsAt(row, src.format, xs, width, w.values.data());
              job.map->Map(w.values.data(), w.mapped.data(), width);
              WritePixels(w.s.data(), dst.format, pixelPhase, w.mapped.data(), width);
            }
            w.builtRow = sy;
          }
          s = w.s.data();
        } else if (job.map->Identity()) {
          LONGLONG srcBit = static_cast<LONGLONG>(sx) * bpp;
          if ((srcBit & 7) == phase) {
            s = row + (srcBit >> 3);
          } else {
            ShiftedBytes(row, src.RowBits(), srcBit - phase, w.s.data(), n);
            s = w.s.data();
          }
        } else {
          ReadPixels(row, src.format, sx, width, w.values.data());
          job.map->Map(w.values.data(), w.mapped.data(), width);
          WritePixels(w.s.data(), dst.format, pixelPhase, w.mapped.data(), width);
          s = w.s.data();
        }
      }
      const BYTE* p = needPattern ? job.pattern->Row(y) + byteStart : nullptr;

      BYTE first = d[0], last = d[n - 1];
      if (!masked) {
        opFg(d, s, p, n);
      } else {
        // Mask bits spread over each destination pixel: all ones where the
        // foreground operation applies.
        if (job.mask) {
          ULONG ones = bpp == 32 ? 0xFFFFFFFFu : ((1u << bpp) - 1);
          if (!job.stretch) {
            ReadPixels(job.mask->Row(job.maskPoint.y + (y - job.dstRect.top)), BMF_1BPP,
                       job.maskPoint.x + (x0 - job.dstRect.left), width, w.values.data());
          } else {
            LONG my = std::clamp<LONG>(job.maskPoint.y + ymap[y - job.dstRect.top] - job.srcRect.top, 0,
                                       job.mask->height - 1);
            ReadPixelsAt(job.mask->Row(my), BMF_1BPP, w.maskXs.data(), width, w.values.data());
          }
          for (LONG i = 0; i < width; ++i) w.values[i] = w.values[i] ? ones : 0;
          WritePixels(w.m.data(), dst.format, pixelPhase, w.values.data(), width);
        } else {
          std::fill(w.m.begin(), w.m.end(), 0xFF);
        }
        std::memcpy(w.a.data(), d, n);
        std::memcpy(w.b.data(), d, n);
        opFg(w.a.data(), s, p, n);
        opBg(w.b.data(), s, p, n);
        for (size_t i = 0; i < n; ++i) d[i] = static_cast<BYTE>((w.a[i] & w.m[i]) | (w.b[i] & ~w.m[i]));
      }
      d[0] = static_cast<BYTE>((d[0] & firstMask) | (first & ~firstMask));
      if (n > 1) d[n - 1] = static_cast<BYTE>((d[n - 1] & lastMask) | (last & ~lastMask));
    }
  }
}

}  // namespace k460::engine
