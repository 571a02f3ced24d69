// engine_bench: how long the engine's software rasteriser takes for one
// 600-dpi A4 one-bit page (4960 x 7015 pixels, 620-byte rows): fills,
// blits and stretches, paths filled and stroked, beside a plain memcpy of
// the same bytes.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

#include "platform/engine/engine.h"

namespace {

constexpr LONG kWidth = 4960;
constexpr LONG kHeight = 7015;
constexpr int kRounds = 7;

struct Bitmap {
  HBITMAP handle;
  SURFOBJ* so;
  Bitmap(LONG w, LONG h, ULONG format) {
    handle = EngCreateBitmap(SIZEL{w, h}, 0, format, BMF_TOPDOWN, nullptr);
    so = EngLockSurface(SurfaceOf(handle));
    // Something other than zeros to read.
    auto* bits = static_cast<BYTE*>(so->pvBits);
    for (ULONG i = 0; i < so->cjBits; ++i) bits[i] = static_cast<BYTE>(i * 2654435761u >> 24);
  }
  ~Bitmap() {
    EngUnlockSurface(so);
    EngDeleteSurface(SurfaceOf(handle));
  }
};

// The best of several rounds, in milliseconds.
double Time(const std::function<void()>& work) {
  double best = 1e30;
  for (int i = 0; i < kRounds; ++i) {
    auto start = std::chrono::steady_clock::now();
    work();
    std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count());
  }
  return best;
}

// A path the engine owns, released at the end of the run.
struct PathHolder {
  PATHOBJ* path = EngCreatePath();
  ~PathHolder() { EngDeletePath(path); }
};

POINTFIX Fix(double x, double y) { return {static_cast<FIX>(std::lround(x * 16)), static_cast<FIX>(std::lround(y * 16))}; }

void Report(const char* what, double ms, double reference) {
  std::printf("%-52s %8.2f ms/page  %6.1f x memcpy\n", what, ms, ms / reference);
}

}  // namespace

int main() {
  Bitmap page(kWidth, kHeight, BMF_1BPP);
  Bitmap other(kWidth, kHeight, BMF_1BPP);
  Bitmap half(kWidth / 2, kHeight / 2, BMF_1BPP);
  Bitmap photo(600, 400, BMF_24BPP);
  size_t bytes = page.so->cjBits;
  std::vector<BYTE> from(bytes, 0x5A), to(bytes);
  RECTL whole{0, 0, kWidth, kHeight};
  POINTL zero{0, 0}, shifted{3, 0};
  BRUSHOBJ black{};
  black.iSolidColor = 0;  // index 0 of the one-bit page: black

  std::printf("600-dpi A4 one-bit page: %ld x %ld pixels, %zu bytes; best of %d rounds\n", long(kWidth),
              long(kHeight), bytes, kRounds);
  double copy = Time([&] {
    std::memcpy(to.data(), from.data(), bytes);
    asm volatile("" : : "r"(to.data()) : "memory");  // the copy must happen
  });
  Report("memcpy of the page's bytes", copy, copy);
  Report("fill, solid black (PATCOPY)", Time([&] {
           EngBitBlt(page.so, nullptr, nullptr, nullptr, nullptr, &whole, nullptr, nullptr, &black, &zero, 0xF0F0);
         }),
         copy);
  Report("fill, invert under a brush (PATINVERT)", Time([&] {
           EngBitBlt(page.so, nullptr, nullptr, nullptr, nullptr, &whole, nullptr, nullptr, &black, &zero, 0x5A5A);
         }),
         copy);
  Report("blit, page to page (SRCCOPY)",
         Time([&] { EngCopyBits(page.so, other.so, nullptr, nullptr, &whole, &zero); }), copy);
  Report("blit, source 3 pixels off the byte (SRCCOPY)",
         Time([&] { EngCopyBits(page.so, other.so, nullptr, nullptr, &whole, &shifted); }), copy);
  Report("blit, with destination (SRCAND)", Time([&] {
           EngBitBlt(page.so, other.so, nullptr, nullptr, nullptr, &whole, &zero, nullptr, nullptr, nullptr, 0x8888);
         }),
         copy);
  RECTL halfRect{0, 0, kWidth / 2, kHeight / 2};
  Report("stretch, 300-dpi one-bit page to 600 dpi", Time([&] {
           EngStretchBlt(page.so, half.so, nullptr, nullptr, nullptr, nullptr, nullptr, &whole, &halfRect, nullptr,
                         COLORONCOLOR);
         }),
         copy);
  RECTL photoRect{0, 0, 600, 400};
  Report("stretch, 24-bit 600 x 400 photo, halftoned over the page", Time([&] {
           EngStretchBlt(page.so, photo.so, nullptr, nullptr, nullptr, nullptr, nullptr, &whole, &photoRect, nullptr,
                         HALFTONE);
         }),
         copy);

  // Paths: a disc of Bezier quarters over most of the page, a star of 51
  // points by the winding rule, 2000 cosmetic lines, 200 wide lines.
  PathHolder disc, star, lines, wide;
  double cx = kWidth / 2.0, cy = kHeight / 2.0, r = kWidth / 2.0 - 10, k = r * 0.5523;
  PATHOBJ_bMoveTo(disc.path, Fix(cx + r, cy));
  POINTFIX quarters[12] = {Fix(cx + r, cy + k), Fix(cx + k, cy + r), Fix(cx, cy + r),
                           Fix(cx - k, cy + r), Fix(cx - r, cy + k), Fix(cx - r, cy),
                           Fix(cx - r, cy - k), Fix(cx - k, cy - r), Fix(cx, cy - r),
                           Fix(cx + k, cy - r), Fix(cx + r, cy - k), Fix(cx + r, cy)};
  PATHOBJ_bPolyBezierTo(disc.path, quarters, 12);
  PATHOBJ_bCloseFigure(disc.path);
  for (int i = 0; i < 51; ++i) {
    double angle = 2 * 3.141592653589793 * ((i * 25) % 51) / 51;
    POINTFIX p = Fix(cx + r * std::cos(angle), cy + r * std::sin(angle));
    if (i == 0) {
      PATHOBJ_bMoveTo(star.path, p);
    } else {
      PATHOBJ_bPolyLineTo(star.path, &p, 1);
    }
  }
  PATHOBJ_bCloseFigure(star.path);
  for (int i = 0; i < 2000; ++i) {
    POINTFIX ends[2] = {Fix((i * 37) % kWidth, 0), Fix((i * 91) % kWidth, kHeight - 1)};
    PATHOBJ_bMoveTo(lines.path, ends[0]);
    PATHOBJ_bPolyLineTo(lines.path, &ends[1], 1);
  }
  for (int i = 0; i < 200; ++i) {
    POINTFIX ends[3] = {Fix(100 + i * 20, 100), Fix(200 + i * 20, kHeight / 2.0), Fix(100 + i * 20, kHeight - 100)};
    PATHOBJ_bMoveTo(wide.path, ends[0]);
    PATHOBJ_bPolyLineTo(wide.path, ends + 1, 2);
  }
  LINEATTRS cosmetic{};
  cosmetic.elWidth.l = 1;
  LINEATTRS thick{};
  thick.fl = LA_GEOMETRIC;
  thick.elWidth.e = 12;
  thick.iJoin = JOIN_ROUND;
  thick.iEndCap = ENDCAP_ROUND;
  Report("fill, disc of Bezier curves over the page", Time([&] {
           EngFillPath(page.so, disc.path, nullptr, &black, &zero, R2_COPYPEN, FP_ALTERNATEMODE);
         }),
         copy);
  Report("fill, 51-point star (winding)", Time([&] {
           EngFillPath(page.so, star.path, nullptr, &black, &zero, R2_COPYPEN, FP_WINDINGMODE);
         }),
         copy);
  Report("stroke, 2000 cosmetic lines across the page", Time([&] {
           EngStrokePath(page.so, lines.path, nullptr, nullptr, &black, &zero, &cosmetic, R2_COPYPEN);
         }),
         copy);
  Report("stroke, 200 polylines 12 pixels wide, round joins", Time([&] {
           EngStrokePath(page.so, wide.path, nullptr, nullptr, &black, &zero, &thick, R2_COPYPEN);
         }),
         copy);
  return 0;
}
