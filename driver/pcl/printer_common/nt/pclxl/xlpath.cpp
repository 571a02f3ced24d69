#include "driver/pcl/printer_common/nt/pclxl/xlpath.h"

#include <algorithm>
#include <vector>

#include "driver/pcl/printer_common/nt/pclxl/xlemit.h"
#include "driver/pcl/printer_common/nt/pclxl/xltrace.h"

namespace {

constexpr BYTE kPointTypeByte = 1;
constexpr BYTE kPointTypeSInt16 = 3;
constexpr ULONG kPointsPerCurve = 3;

SHORT Pixel(FIX v) { return static_cast<SHORT>(v >> 4); }

struct Pen {
  SHORT x = 0;
  SHORT y = 0;
};

// One LineRelPath of the points, each relative to the one before it; runs
// longer than the point count allows are split.
void LineRun(XlStream* s, Pen& pen, const POINTFIX* points, ULONG count) {
  std::vector<BYTE> data;
  while (count) {
    ULONG n = std::min<ULONG>(count, 0xFFFF);
    std::vector<int> steps;
    steps.reserve(2 * n);
    Pen at = pen;
    bool bytes = true;
    for (ULONG i = 0; i < n; ++i) {
      SHORT x = Pixel(points[i].x), y = Pixel(points[i].y);
      for (int d : {x - at.x, y - at.y}) {
        steps.push_back(d);
        bytes = bytes && d >= -128 && d <= 127;
      }
      at = {x, y};
    }
    data.clear();
    for (int d : steps) {
      data.push_back(static_cast<BYTE>(d));
      if (!bytes) data.push_back(static_cast<BYTE>(static_cast<unsigned>(d) >> 8));
    }
    HP_LineRelPath(s, static_cast<WORD>(n), bytes ? kPointTypeByte : kPointTypeSInt16, data.data(),
                   static_cast<DWORD>(data.size()));
    pen = at;
    points += n;
    count -= n;
  }
}

}  // namespace

BOOL XL_WritePath(PDEV* pdev, PATHOBJ* ppo) {
  XlStream* s = pdev->pStream;
  Pen pen;
  PATHDATA pd{};
  PATHOBJ_vEnumStart(ppo);
  BOOL more;
  do {
    more = PATHOBJ_bEnum(ppo, &pd);
    const POINTFIX* points = pd.pptfx;
    ULONG count = points ? pd.count : 0;
    if ((pd.flags & PD_BEGINSUBPATH) && count) {
      pen = {Pixel(points->x), Pixel(points->y)};
      HP_SetCursor(s, pen.x, pen.y);
      ++points;
      --count;
    }
    if (pd.flags & PD_RESETSTYLE) XlTrace("PD_RESETSTYLE flag set.\n");
    if (pd.flags & PD_BEZIERS) {
      if (count % kPointsPerCurve) {
        XlTrace("WRONG DATA IN BEZIERS\n");
        return FALSE;
      }
      for (ULONG i = 0; i < count; i += kPointsPerCurve) {
        const POINTFIX* c = points + i;
        HP_BezierPath(s, Pixel(c[0].x), Pixel(c[0].y), Pixel(c[1].x), Pixel(c[1].y), Pixel(c[2].x), Pixel(c[2].y));
        pen = {Pixel(c[2].x), Pixel(c[2].y)};
      }
    } else if (count) {
      LineRun(s, pen, points, count);
    }
    if ((pd.flags & PD_ENDSUBPATH) && (pd.flags & PD_CLOSEFIGURE)) HP_CloseSubPath(s);
  } while (more);
  return TRUE;
}
