// k460enginetestdrv: a graphics driver for the engine's tests. Its device
// mode's private part says which surface it makes, which calls it hooks
// and how it behaves; it notes every call in a journal with what the
// engine's objects (clip, colour translation, brush) told it, and keeps
// every finished page.
#include <cstring>
#include <vector>

#include "platform/base/internal.h"
#include "platform/base/text.h"
#include "tests/platform/engine/test_driver_protocol.h"

using namespace k460::testing;

namespace {

TestJournal gJournal;

struct TestDevice {
  TestDriverSettings settings;
  HDEV hdev = nullptr;
  HSURF surface = nullptr;
  HPALETTE palette = nullptr;
  HBITMAP shadow = nullptr;        // device surfaces: the device's own pixels
  std::vector<BYTE> memory;        // DriverMemory: the driver's own bitmap
  std::vector<BYTE> page;          // banding: the whole page, band by band
  HBITMAP hatches[HS_DDI_MAX]{};   // kOwnHatches
  std::vector<BYTE> fontMetrics;   // kDeviceFont: IFIMETRICS and its face name
  std::vector<BYTE> glyphSet;      // kDeviceFont: FD_GLYPHSET
  std::vector<HGLYPH> glyphHandles;
  LONG bandTop = 0;
  LONG stride = 0;
};

int BitsPerPixelOf(ULONG format) {
  constexpr int bits[] = {0, 1, 4, 8, 16, 24, 32};
  return format < 7 ? bits[format] : 0;
}

TestDevice* DeviceOf(SURFOBJ* so) { return so ? reinterpret_cast<TestDevice*>(so->dhpdev) : nullptr; }

LONG RowBytes(const TestDriverSettings& s) { return ((s.width * BitsPerPixelOf(s.format) + 31) / 32) * 4; }

}  // namespace

// ---- helpers ------------------------------------------------------------------
namespace {

void Note(const char* call) { gJournal.calls.emplace_back(call); }

// Copies `rows` rows of a surface object (any direction) into top-first rows.
void CopyRows(const SURFOBJ* so, LONG stride, LONG rows, BYTE* out) {
  const BYTE* scan = static_cast<const BYTE*>(so->pvScan0);
  for (LONG y = 0; y < rows && y < so->sizlBitmap.cy; ++y) std::memcpy(out + y * stride, scan + y * so->lDelta, stride);
}

SURFOBJ* PixelsOf(TestDevice& d) {
  // The surface object that holds the device's pixels.
  if (d.settings.surfaceKind == SurfaceKind::DeviceSurface) return EngLockSurface(SurfaceOf(d.shadow));
  return EngLockSurface(d.surface);
}

void ErasePixels(TestDevice& d) {
  if (d.settings.surfaceKind == SurfaceKind::DriverMemory) {
    std::fill(d.memory.begin(), d.memory.end(), 0xFF);
    return;
  }
  SURFOBJ* so = PixelsOf(d);
  if (!so) return;
  LONG stride = RowBytes(d.settings);
  BYTE* scan = static_cast<BYTE*>(so->pvScan0);
  for (LONG y = 0; y < so->sizlBitmap.cy; ++y) std::memset(scan + y * so->lDelta, 0xFF, stride);
  EngUnlockSurface(so);
}

// The pixels of the surface (one band high when banding) as top-first rows.
std::vector<BYTE> Snapshot(TestDevice& d, LONG rows) {
  LONG stride = RowBytes(d.settings);
  std::vector<BYTE> out(static_cast<size_t>(stride) * rows, 0xFF);
  if (d.settings.surfaceKind == SurfaceKind::DriverMemory) {
    std::memcpy(out.data(), d.memory.data(), std::min(out.size(), d.memory.size()));
    return out;
  }
  if (SURFOBJ* so = PixelsOf(d)) {
    CopyRows(so, stride, rows, out.data());
    EngUnlockSurface(so);
  }
  return out;
}

void RecordClip(DrawRecord& r, CLIPOBJ* pco) {
  if (!pco) return;
  r.hasClip = true;
  r.complexity = pco->iDComplexity;
  r.clipBounds = pco->rclBounds;
  for (ULONG direction = CD_RIGHTDOWN; direction <= CD_ANY; ++direction) {
    CLIPOBJ_cEnumStart(pco, TRUE, CT_RECTANGLES, direction, 0);
    struct {
      ULONG c;
      RECTL arcl[3];
    } batch;
    BOOL more;
    do {
      more = CLIPOBJ_bEnum(pco, sizeof(batch), reinterpret_cast<ULONG*>(&batch));
      for (ULONG i = 0; i < batch.c; ++i) r.clipRects[direction].push_back(batch.arcl[i]);
    } while (more);
  }
}

std::vector<PathRecord> EnumeratePath(PATHOBJ* ppo) {
  std::vector<PathRecord> records;
  PATHOBJ_vEnumStart(ppo);
  PATHDATA data;
  BOOL more;
  do {
    more = PATHOBJ_bEnum(ppo, &data);
    if (data.count) records.push_back(PathRecord{data.flags, {data.pptfx, data.pptfx + data.count}});
  } while (more);
  return records;
}

void RecordPath(DrawRecord& r, PATHOBJ* ppo) {
  if (!ppo) return;
  r.pathFlags = ppo->fl;
  PATHOBJ_vGetBounds(ppo, &r.pathBounds);
  r.path = EnumeratePath(ppo);
}

void RecordClipPath(DrawRecord& r, CLIPOBJ* pco) {
  if (!pco || pco->iDComplexity != DC_COMPLEX) return;
  if (PATHOBJ* ppo = CLIPOBJ_ppoGetPath(pco)) {
    r.clipPath = EnumeratePath(ppo);
    EngDeletePath(ppo);
  }
}

void RecordLine(DrawRecord& r, XFORMOBJ* pxo, LINEATTRS* la) {
  if (pxo) r.xformKind = XFORMOBJ_iGetXform(pxo, &r.xform);
  if (!la) return;
  r.hasLineAttrs = true;
  r.lineFlags = la->fl;
  r.join = la->iJoin;
  r.cap = la->iEndCap;
  r.width = la->elWidth;
  r.miterLimit = la->eMiterLimit;
  if (la->pstyle) r.style.assign(la->pstyle, la->pstyle + la->cstyle);
}

void RecordXlate(DrawRecord& r, XLATEOBJ* pxlo) {
  if (!pxlo) return;
  r.hasXlate = true;
  ULONG count = XLATEOBJ_cGetPalette(pxlo, XO_SRCPALETTE, 0, nullptr);
  r.sourcePalette.resize(count);
  if (count) XLATEOBJ_cGetPalette(pxlo, XO_SRCPALETTE, count, r.sourcePalette.data());
  for (ULONG i = 0; i < count; ++i) r.translated.push_back(XLATEOBJ_iXlate(pxlo, i));
  if (count == 0) {
    for (ULONG probe : kProbeColours) r.probes.push_back(XLATEOBJ_iXlate(pxlo, probe));
  }
  ULONG fields = XLATEOBJ_cGetPalette(pxlo, XO_SRCBITFIELDS, 0, nullptr);
  r.sourceFields.resize(fields);
  if (fields) XLATEOBJ_cGetPalette(pxlo, XO_SRCBITFIELDS, fields, r.sourceFields.data());
}

void RecordBrush(DrawRecord& r, BRUSHOBJ* pbo) {
  if (!pbo) return;
  r.hasBrush = true;
  r.solidColor = pbo->iSolidColor;
  r.brushColor = BRUSHOBJ_ulGetBrushColor(pbo);
  if (pbo->iSolidColor == BRUSHOBJ_NOT_SOLID) {
    if (auto* realized = static_cast<SIZEL*>(BRUSHOBJ_pvGetRbrush(pbo))) r.realizedPattern = *realized;
  }
}

DrawRecord Begin(const char* call, SURFOBJ* target, SURFOBJ* source, RECTL* rect) {
  Note(call);
  DrawRecord r;
  r.call = call;
  r.targetIsDevice = target && target->iType != STYPE_BITMAP;
  if (rect) r.target = *rect;
  if (source) {
    r.hasSource = true;
    r.sourceIsDevice = source->iType != STYPE_BITMAP;
    r.sourceFormat = source->iBitmapFormat;
    r.sourceSize = source->sizlBitmap;
  }
  if (TestDevice* d = DeviceOf(target)) r.bandTop = d->bandTop;
  if (target && EngCheckAbort(target)) gJournal.abortSeen = true;
  return r;
}

// DriverMemory: at the first drawing call the device surface becomes a
// bitmap over the driver's memory.
void HandOverMemory(SURFOBJ* so, TestDevice& d) {
  if (d.settings.surfaceKind != SurfaceKind::DriverMemory || so->pvBits) return;
  so->pvBits = d.memory.data();
  so->pvScan0 = d.memory.data();
  so->lDelta = d.stride;
  so->cjBits = static_cast<ULONG>(d.memory.size());
  so->iBitmapFormat = d.settings.format;
  so->iType = STYPE_BITMAP;
  so->fjBitmap = BMF_TOPDOWN;
}

// Driver memory: the first scan line scanOffsetY rows down the memory.
void MoveScan(SURFOBJ* so, TestDevice& d) {
  if (d.settings.surfaceKind == SurfaceKind::DriverMemory && so->pvBits) {
    so->pvScan0 = d.memory.data() + static_cast<size_t>(d.settings.scanOffsetY) * d.stride;
  }
}

// Moves the first scan line down for the duration of a hooked call.
struct ScanShift {
  SURFOBJ* so;
  PVOID saved;
  ScanShift(SURFOBJ* s, TestDevice* d) : so(s), saved(s ? s->pvScan0 : nullptr) {
    if (d && so) MoveScan(so, *d);
  }
  ~ScanShift() {
    if (so) so->pvScan0 = saved;
  }
};

bool IsOurDevice(SURFOBJ* so) {
  TestDevice* d = DeviceOf(so);
  return d && so->hsurf == d->surface && d->settings.surfaceKind == SurfaceKind::DeviceSurface;
}

}  // namespace

// ---- enabling -------------------------------------------------------------------
K460_API TestJournal* EngineTestJournal() { return &gJournal; }

K460_API DHPDEV DrvEnablePDEV(DEVMODEW* pdm, LPWSTR pwszLogAddress, ULONG cPat, HSURF* phsurfPatterns, ULONG cjCaps,
                              GDIINFO* pdevcaps, ULONG cjDevInfo, DEVINFO* pdi, HDEV, LPWSTR pwszDeviceName,
                              HANDLE hDriver) {
  Note("DrvEnablePDEV");
  auto* d = new TestDevice;
  d->settings.magic = 0;  // a device mode without the private part is refused
  if (pdm && pdm->dmDriverExtra >= sizeof(TestDriverSettings)) {
    std::memcpy(&d->settings, reinterpret_cast<BYTE*>(pdm) + pdm->dmSize, sizeof(TestDriverSettings));
  }
  if (d->settings.magic != TestDriverSettings{}.magic) {
    delete d;
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  gJournal.deviceName = k460::WideView(pwszDeviceName);
  gJournal.logAddress = k460::WideView(pwszLogAddress);
  gJournal.printer = hDriver;
  gJournal.patternCount = cPat;
  if (phsurfPatterns) {
    std::memset(phsurfPatterns, 0, cPat * sizeof(HSURF));
    for (ULONG i = 0; i < cPat && i < HS_DDI_MAX; ++i) {
      if (d->settings.flags & kNumberedPatterns) phsurfPatterns[i] = reinterpret_cast<HSURF>(ULONG_PTR{i});
      if (d->settings.flags & kOwnHatches) {
        d->hatches[i] = EngCreateBitmap(SIZEL{16, 16}, 0, BMF_1BPP, BMF_TOPDOWN, nullptr);  // zero: all black
        phsurfPatterns[i] = SurfaceOf(d->hatches[i]);
      }
    }
  }
  GDIINFO caps{};
  caps.ulVersion = GDI_DRIVER_VERSION;
  caps.ulTechnology = DT_RASPRINTER;
  caps.ulHorzRes = static_cast<ULONG>(d->settings.width);
  caps.ulVertRes = static_cast<ULONG>(d->settings.height);
  caps.cBitsPixel = static_cast<ULONG>(BitsPerPixelOf(d->settings.format));
  caps.cPlanes = 1;
  caps.ulLogPixelsX = caps.ulLogPixelsY = 600;
  if (d->settings.denStyleStep) {
    caps.xStyleStep = caps.yStyleStep = 1;
    caps.denStyleStep = d->settings.denStyleStep;
  }
  std::memcpy(pdevcaps, &caps, std::min<size_t>(cjCaps, sizeof(caps)));
  DEVINFO info{};
  info.flGraphicsCaps = d->settings.graphicsCaps;
  if (d->settings.flags & kDeviceFont) info.cFonts = 1;
  info.iDitherFormat = d->settings.format;
  if (d->settings.flags & kIndexedPalette) {
    ULONG colours[2] = {0x000000, 0xFFFFFF};
    d->palette = EngCreatePalette(PAL_INDEXED, 2, colours, 0, 0, 0);
  } else {
    d->palette = EngCreatePalette((d->settings.flags & kBgrPalette) ? PAL_BGR : PAL_RGB, 0, nullptr, 0, 0, 0);
  }
  info.hpalDefault = d->palette;
  std::memcpy(pdi, &info, std::min<size_t>(cjDevInfo, sizeof(info)));
  return reinterpret_cast<DHPDEV>(d);
}

K460_API void DrvCompletePDEV(DHPDEV dhpdev, HDEV hdev) {
  Note("DrvCompletePDEV");
  reinterpret_cast<TestDevice*>(dhpdev)->hdev = hdev;
}

K460_API BOOL DrvResetPDEV(DHPDEV oldDevice, DHPDEV newDevice) {
  Note("DrvResetPDEV");
  auto* fresh = reinterpret_cast<TestDevice*>(newDevice);
  (void)oldDevice;
  if (fresh->settings.flags & kFailReset) {
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
  }
  return TRUE;
}

K460_API void DrvDisablePDEV(DHPDEV dhpdev) {
  Note("DrvDisablePDEV");
  auto* d = reinterpret_cast<TestDevice*>(dhpdev);
  EngDeletePalette(d->palette);
  for (HBITMAP hatch : d->hatches) {
    if (hatch) EngDeleteSurface(SurfaceOf(hatch));
  }
  delete d;
}

K460_API HSURF DrvEnableSurface(DHPDEV dhpdev) {
  Note("DrvEnableSurface");
  auto* d = reinterpret_cast<TestDevice*>(dhpdev);
  const TestDriverSettings& s = d->settings;
  LONG height = s.bandHeight ? s.bandHeight : s.height;
  SIZEL size{s.width, height};
  d->stride = RowBytes(s);
  switch (s.surfaceKind) {
    case SurfaceKind::EngineBitmap:
      d->surface = SurfaceOf(EngCreateBitmap(size, 0, s.format, BMF_TOPDOWN, nullptr));
      break;
    case SurfaceKind::DeviceSurface:
      d->surface = EngCreateDeviceSurface(reinterpret_cast<DHSURF>(d), size, s.format);
      d->shadow = EngCreateBitmap(size, 0, s.format, BMF_TOPDOWN, nullptr);
      break;
    case SurfaceKind::DriverMemory:
      d->surface = EngCreateDeviceSurface(reinterpret_cast<DHSURF>(d), size, s.format);
      d->memory.assign(static_cast<size_t>(d->stride) * (height + s.scanOffsetY), 0xFF);
      break;
  }
  if (!d->surface) return nullptr;
  if (s.bandHeight) EngMarkBandingSurface(d->surface);
  if (!(s.flags & kNoAssociate) && !EngAssociateSurface(d->surface, d->hdev, s.hooks)) {
    EngDeleteSurface(d->surface);
    return nullptr;
  }
  return d->surface;
}

K460_API void DrvDisableSurface(DHPDEV dhpdev) {
  Note("DrvDisableSurface");
  auto* d = reinterpret_cast<TestDevice*>(dhpdev);
  EngDeleteSurface(d->surface);
  if (d->shadow) EngDeleteSurface(SurfaceOf(d->shadow));
  d->surface = nullptr;
  d->shadow = nullptr;
}

// ---- documents and pages --------------------------------------------------------
K460_API BOOL DrvStartDoc(SURFOBJ*, LPWSTR pwszDocName, DWORD dwJobId) {
  Note("DrvStartDoc");
  gJournal.documentName = k460::WideView(pwszDocName);
  gJournal.jobId = dwJobId;
  return TRUE;
}

K460_API BOOL DrvStartPage(SURFOBJ* pso) {
  Note("DrvStartPage");
  TestDevice* d = DeviceOf(pso);
  ErasePixels(*d);
  gJournal.pageStride = d->stride;
  if (d->settings.bandHeight) d->page.assign(static_cast<size_t>(d->stride) * d->settings.height, 0xFF);
  return TRUE;
}

K460_API BOOL DrvSendPage(SURFOBJ* pso) {
  Note("DrvSendPage");
  TestDevice* d = DeviceOf(pso);
  gJournal.pages.push_back(Snapshot(*d, d->settings.height));
  return TRUE;
}

K460_API BOOL DrvEndDoc(SURFOBJ*, FLONG fl) {
  Note("DrvEndDoc");
  gJournal.lastEndDocFlags = fl;
  return TRUE;
}

K460_API BOOL DrvStartBanding(SURFOBJ* pso, POINTL* pptl) {
  Note("DrvStartBanding");
  TestDevice* d = DeviceOf(pso);
  d->bandTop = 0;
  *pptl = {0, 0};
  gJournal.bandOrigins.push_back(*pptl);
  return TRUE;
}

K460_API BOOL DrvNextBand(SURFOBJ* pso, POINTL* pptl) {
  Note("DrvNextBand");
  TestDevice* d = DeviceOf(pso);
  const TestDriverSettings& s = d->settings;
  std::vector<BYTE> band = Snapshot(*d, s.bandHeight);
  for (LONG y = 0; y < s.bandHeight && d->bandTop + y < s.height; ++y) {
    std::memcpy(d->page.data() + static_cast<size_t>(d->bandTop + y) * d->stride, band.data() + y * d->stride,
                d->stride);
  }
  ErasePixels(*d);
  d->bandTop += s.bandHeight;
  if (d->bandTop >= s.height) {
    gJournal.pages.push_back(d->page);
    d->bandTop = 0;
    *pptl = {-1, -1};
  } else {
    *pptl = {0, d->bandTop};
  }
  gJournal.bandOrigins.push_back(*pptl);
  return TRUE;
}

// ---- drawing --------------------------------------------------------------------
// Draws through the engine on the device's own memory, when the test asks
// the device to draw; otherwise only the journal sees the call.
template <class Draw>
BOOL DrawThroughEngine(SURFOBJ* target, Draw draw) {
  TestDevice* d = DeviceOf(target);
  if (!(d->settings.flags & kDraw)) return TRUE;
  HandOverMemory(target, *d);
  ScanShift shift(target, d);
  return draw();
}

K460_API BOOL DrvBitBlt(SURFOBJ* psoTrg, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco, XLATEOBJ* pxlo,
                        RECTL* prclTrg, POINTL* pptlSrc, POINTL* pptlMask, BRUSHOBJ* pbo, POINTL* pptlBrush,
                        ROP4 rop4) {
  DrawRecord r = Begin("DrvBitBlt", psoTrg, psoSrc, prclTrg);
  r.rop4 = rop4;
  if (pptlSrc) r.sourcePoint = *pptlSrc;
  RecordClip(r, pco);
  RecordXlate(r, pxlo);
  RecordBrush(r, pbo);
  gJournal.draws.push_back(r);
  return DrawThroughEngine(psoTrg, [&] {
    return EngBitBlt(psoTrg, psoSrc, psoMask, pco, pxlo, prclTrg, pptlSrc, pptlMask, pbo, pptlBrush, rop4);
  });
}

K460_API BOOL DrvStretchBlt(SURFOBJ* psoDest, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco, XLATEOBJ* pxlo,
                            COLORADJUSTMENT* pca, POINTL* pptlHTOrg, RECTL* prclDest, RECTL* prclSrc,
                            POINTL* pptlMask, ULONG iMode) {
  DrawRecord r = Begin("DrvStretchBlt", psoDest, psoSrc, prclDest);
  if (prclSrc) r.sourceRect = *prclSrc;
  r.stretchMode = iMode;
  RecordClip(r, pco);
  RecordXlate(r, pxlo);
  gJournal.draws.push_back(r);
  return DrawThroughEngine(psoDest, [&] {
    return EngStretchBlt(psoDest, psoSrc, psoMask, pco, pxlo, pca, pptlHTOrg, prclDest, prclSrc, pptlMask, iMode);
  });
}

K460_API BOOL DrvCopyBits(SURFOBJ* psoDest, SURFOBJ* psoSrc, CLIPOBJ* pco, XLATEOBJ* pxlo, RECTL* prclDest,
                          POINTL* pptlSrc) {
  DrawRecord r = Begin("DrvCopyBits", psoDest, psoSrc, prclDest);
  if (pptlSrc) r.sourcePoint = *pptlSrc;
  RecordClip(r, pco);
  RecordXlate(r, pxlo);
  gJournal.draws.push_back(r);
  if (IsOurDevice(psoSrc)) {
    // The engine reads the device back.
    TestDevice* d = DeviceOf(psoSrc);
    if (!(d->settings.flags & kReadableDevice)) return FALSE;
    SURFOBJ* shadow = EngLockSurface(SurfaceOf(d->shadow));
    BOOL ok = EngCopyBits(psoDest, shadow, nullptr, nullptr, prclDest, pptlSrc);
    EngUnlockSurface(shadow);
    return ok;
  }
  if (IsOurDevice(psoDest)) {
    TestDevice* d = DeviceOf(psoDest);
    SURFOBJ* shadow = EngLockSurface(SurfaceOf(d->shadow));
    BOOL ok = EngCopyBits(shadow, psoSrc, pco, pxlo, prclDest, pptlSrc);
    EngUnlockSurface(shadow);
    return ok;
  }
  TestDevice* d = DeviceOf(psoDest);
  if (!d || !(d->settings.flags & kDraw)) return TRUE;
  HandOverMemory(psoDest, *d);
  ScanShift shift(psoDest, d);
  return EngCopyBits(psoDest, psoSrc, pco, pxlo, prclDest, pptlSrc);
}

K460_API BOOL DrvRealizeBrush(BRUSHOBJ* pbo, SURFOBJ* psoTarget, SURFOBJ* psoPattern, SURFOBJ*, XLATEOBJ* pxlo,
                              ULONG iHatch) {
  DrawRecord r = Begin("DrvRealizeBrush", psoTarget, psoPattern, nullptr);
  r.hatch = iHatch;
  RecordXlate(r, pxlo);
  if (psoPattern && psoPattern->iBitmapFormat == BMF_1BPP && psoPattern->pvScan0) {
    LONG bytes = (psoPattern->sizlBitmap.cx + 7) / 8;
    for (LONG y = 0; y < psoPattern->sizlBitmap.cy; ++y) {
      const BYTE* row = static_cast<const BYTE*>(psoPattern->pvScan0) + y * psoPattern->lDelta;
      r.patternRows.insert(r.patternRows.end(), row, row + bytes);
    }
  }
  gJournal.draws.push_back(r);
  auto* realized = static_cast<SIZEL*>(BRUSHOBJ_pvAllocRbrush(pbo, sizeof(SIZEL)));
  if (!realized || !psoPattern) return FALSE;
  *realized = psoPattern->sizlBitmap;
  return TRUE;
}

K460_API BOOL DrvPaint(SURFOBJ* pso, CLIPOBJ* pco, BRUSHOBJ* pbo, POINTL* pptlBrushOrg, MIX mix) {
  DrawRecord r = Begin("DrvPaint", pso, nullptr, nullptr);
  r.mix = mix;
  RecordClip(r, pco);
  RecordClipPath(r, pco);
  RecordBrush(r, pbo);
  gJournal.draws.push_back(r);
  return DrawThroughEngine(pso, [&] { return EngPaint(pso, pco, pbo, pptlBrushOrg, mix); });
}

K460_API BOOL DrvLineTo(SURFOBJ* pso, CLIPOBJ* pco, BRUSHOBJ* pbo, LONG x1, LONG y1, LONG x2, LONG y2,
                        RECTL* prclBounds, MIX mix) {
  DrawRecord r = Begin("DrvLineTo", pso, nullptr, nullptr);
  r.mix = mix;
  r.lineFrom = {x1, y1};
  r.lineTo = {x2, y2};
  if (prclBounds) r.lineBounds = *prclBounds;
  RecordClip(r, pco);
  RecordBrush(r, pbo);
  gJournal.draws.push_back(r);
  TestDevice* d = DeviceOf(pso);
  if (d->settings.flags & kRefusePaths) return FALSE;
  return DrawThroughEngine(pso, [&] { return EngLineTo(pso, pco, pbo, x1, y1, x2, y2, prclBounds, mix); });
}

K460_API BOOL DrvStrokePath(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, XFORMOBJ* pxo, BRUSHOBJ* pbo,
                            POINTL* pptlBrushOrg, LINEATTRS* plineattrs, MIX mix) {
  DrawRecord r = Begin("DrvStrokePath", pso, nullptr, nullptr);
  r.mix = mix;
  RecordPath(r, ppo);
  RecordClip(r, pco);
  RecordClipPath(r, pco);
  RecordLine(r, pxo, plineattrs);
  RecordBrush(r, pbo);
  gJournal.draws.push_back(r);
  TestDevice* d = DeviceOf(pso);
  if (d->settings.flags & kRefusePaths) return FALSE;
  return DrawThroughEngine(pso, [&] { return EngStrokePath(pso, ppo, pco, pxo, pbo, pptlBrushOrg, plineattrs, mix); });
}

namespace {

// A refusing path call on driver memory leaves the scan pointer moved, as
// the host-based driver does before it lets the engine draw.
BOOL Refuse(SURFOBJ* pso, TestDevice& d) {
  HandOverMemory(pso, d);
  MoveScan(pso, d);
  return FALSE;
}

}  // namespace

K460_API BOOL DrvFillPath(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, BRUSHOBJ* pbo, POINTL* pptlBrushOrg, MIX mix,
                          FLONG flOptions) {
  DrawRecord r = Begin("DrvFillPath", pso, nullptr, nullptr);
  r.mix = mix;
  r.fillOptions = flOptions;
  RecordPath(r, ppo);
  RecordClip(r, pco);
  RecordClipPath(r, pco);
  RecordBrush(r, pbo);
  gJournal.draws.push_back(r);
  TestDevice* d = DeviceOf(pso);
  if (d->settings.flags & kRefusePaths) return Refuse(pso, *d);
  return DrawThroughEngine(pso, [&] { return EngFillPath(pso, ppo, pco, pbo, pptlBrushOrg, mix, flOptions); });
}

K460_API BOOL DrvStrokeAndFillPath(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, XFORMOBJ* pxo, BRUSHOBJ* pboStroke,
                                   LINEATTRS* plineattrs, BRUSHOBJ* pboFill, POINTL* pptlBrushOrg, MIX mixFill,
                                   FLONG flOptions) {
  DrawRecord r = Begin("DrvStrokeAndFillPath", pso, nullptr, nullptr);
  r.mix = mixFill;
  r.fillOptions = flOptions;
  RecordPath(r, ppo);
  RecordClip(r, pco);
  RecordClipPath(r, pco);
  RecordLine(r, pxo, plineattrs);
  RecordBrush(r, pboStroke);
  if (pboFill) r.fillColor = BRUSHOBJ_ulGetBrushColor(pboFill);
  gJournal.draws.push_back(r);
  TestDevice* d = DeviceOf(pso);
  if (d->settings.flags & kRefusePaths) return Refuse(pso, *d);
  return DrawThroughEngine(pso, [&] {
    return EngStrokeAndFillPath(pso, ppo, pco, pxo, pboStroke, plineattrs, pboFill, pptlBrushOrg, mixFill, flOptions);
  });
}

// ---- text -------------------------------------------------------------------------
namespace {

std::u16string StringAt(const IFIMETRICS* ifi, PTRDIFF offset) {
  if (!ifi || offset <= 0) return {};
  return std::u16string(reinterpret_cast<const char16_t*>(reinterpret_cast<const BYTE*>(ifi) + offset));
}

void RecordFont(DrawRecord& r, FONTOBJ* pfo) {
  if (!pfo) return;
  r.fontType = pfo->flFontType;
  r.fontUniq = pfo->iUniq;
  r.ttUniq = pfo->iTTUniq;
  r.fontFace = pfo->iFace;
  r.styleSize = pfo->ulStyleSize;
  r.fontResolution = pfo->sizLogResPpi;
  if (IFIMETRICS* ifi = FONTOBJ_pifi(pfo)) {
    r.fontName = StringAt(ifi, ifi->dpwszFaceName);
    r.familyName = StringAt(ifi, ifi->dpwszFamilyName);
    r.unitsPerEm = ifi->fwdUnitsPerEm;
  }
  if (XFORMOBJ* pxo = FONTOBJ_pxoGetXform(pfo)) r.fontXformKind = XFORMOBJ_iGetXform(pxo, &r.fontXform);
  ULONG size = 0;
  if (auto* file = static_cast<const BYTE*>(FONTOBJ_pvTrueTypeFontFile(pfo, &size))) r.fontFile.assign(file, file + size);
  r.allGlyphs = FONTOBJ_cGetAllGlyphHandles(pfo, nullptr);
}

void RecordString(DrawRecord& r, STROBJ* pstro, FONTOBJ* pfo) {
  if (!pstro) return;
  if (pstro->pwszOrg) r.text.assign(pstro->pwszOrg, pstro->cGlyphs);
  r.background = pstro->rclBkGround;
  for (ULONG i = 0; i < pstro->cGlyphs && pstro->pgp; ++i) {
    r.glyphHandles.push_back(pstro->pgp[i].hg);
    r.glyphPositions.push_back(pstro->pgp[i].ptl);
  }
  STROBJ_vEnumStart(pstro);
  ULONG count = 0;
  GLYPHPOS* batch = nullptr;
  BOOL more;
  do {
    more = STROBJ_bEnum(pstro, &count, &batch);
    r.enumeratedGlyphs += count;
  } while (more);
  if (r.glyphHandles.empty() || !pfo) return;
  HGLYPH first = r.glyphHandles[0];
  GLYPHDATA* data = nullptr;
  if (FONTOBJ_cGetGlyphs(pfo, FO_GLYPHBITS, 1, &first, reinterpret_cast<PVOID*>(&data)) == 1 && data) {
    r.firstGlyphBits = true;
    r.firstGlyphSize = data->gdf.pgb->sizlBitmap;
    r.firstGlyphOrigin = data->gdf.pgb->ptlOrigin;
    r.firstGlyphAdvance = data->fxD;
  }
  if (FONTOBJ_cGetGlyphs(pfo, FO_PATHOBJ, 1, &first, reinterpret_cast<PVOID*>(&data)) == 1 && data) {
    r.firstGlyphOutline = EnumeratePath(data->gdf.ppo).size();
  }
}

}  // namespace

K460_API BOOL DrvTextOut(SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo, CLIPOBJ* pco, RECTL* prclExtra, RECTL* prclOpaque,
                         BRUSHOBJ* pboFore, BRUSHOBJ* pboOpaque, POINTL* pptlOrg, MIX mix) {
  DrawRecord r = Begin("DrvTextOut", pso, nullptr, nullptr);
  r.mix = mix;
  RecordClip(r, pco);
  RecordBrush(r, pboFore);
  RecordFont(r, pfo);
  RecordString(r, pstro, pfo);
  if (prclOpaque) {
    r.hasOpaque = true;
    r.opaque = *prclOpaque;
  }
  for (RECTL* e = prclExtra; e && (e->left | e->top | e->right | e->bottom); ++e) r.extra.push_back(*e);
  gJournal.draws.push_back(r);
  TestDevice* d = DeviceOf(pso);
  if (d->settings.flags & kRefuseText) return FALSE;
  return DrawThroughEngine(pso, [&] {
    return EngTextOut(pso, pstro, pfo, pco, prclExtra, prclOpaque, pboFore, pboOpaque, pptlOrg, mix);
  });
}

K460_API IFIMETRICS* DrvQueryFont(DHPDEV dhpdev, ULONG_PTR, ULONG iFace, ULONG_PTR*) {
  Note("DrvQueryFont");
  auto* d = reinterpret_cast<TestDevice*>(dhpdev);
  if (!(d->settings.flags & kDeviceFont) || iFace != 1) return nullptr;
  if (d->fontMetrics.empty()) {
    std::u16string name = kDeviceFontName;
    d->fontMetrics.resize(sizeof(IFIMETRICS) + (name.size() + 1) * 2, 0);
    IFIMETRICS ifi{};
    ifi.cjThis = static_cast<ULONG>(d->fontMetrics.size());
    ifi.dpwszFaceName = ifi.dpwszFamilyName = sizeof(IFIMETRICS);
    ifi.fwdUnitsPerEm = 1000;
    ifi.fwdWinAscender = 800;
    ifi.fwdWinDescender = 200;
    ifi.fwdAveCharWidth = 600;
    ifi.wcFirstChar = 0x20;
    ifi.wcLastChar = 0x7E;
    ifi.wcDefaultChar = u'?';
    std::memcpy(d->fontMetrics.data(), &ifi, sizeof(ifi));
    std::memcpy(d->fontMetrics.data() + sizeof(IFIMETRICS), name.data(), name.size() * 2);
  }
  return reinterpret_cast<IFIMETRICS*>(d->fontMetrics.data());
}

K460_API PVOID DrvQueryFontTree(DHPDEV dhpdev, ULONG_PTR, ULONG iFace, ULONG iMode, ULONG_PTR*) {
  Note("DrvQueryFontTree");
  auto* d = reinterpret_cast<TestDevice*>(dhpdev);
  if (!(d->settings.flags & kDeviceFont) || iFace != 1 || iMode != QFT_GLYPHSET) return nullptr;
  if (d->glyphSet.empty()) {
    for (HGLYPH c = 0x20; c <= 0x7E; ++c) d->glyphHandles.push_back(c + 0x100);
    d->glyphSet.resize(sizeof(FD_GLYPHSET), 0);
    auto* set = reinterpret_cast<FD_GLYPHSET*>(d->glyphSet.data());
    set->cjThis = sizeof(FD_GLYPHSET);
    set->cGlyphsSupported = static_cast<ULONG>(d->glyphHandles.size());
    set->cRuns = 1;
    set->awcrun[0] = WCRUN{0x20, static_cast<USHORT>(d->glyphHandles.size()), d->glyphHandles.data()};
  }
  return d->glyphSet.data();
}

K460_API LONG DrvQueryFontData(DHPDEV dhpdev, FONTOBJ* pfo, ULONG iMode, HGLYPH hg, GLYPHDATA* pgd, PVOID, ULONG) {
  Note("DrvQueryFontData");
  auto* d = reinterpret_cast<TestDevice*>(dhpdev);
  if (!(d->settings.flags & kDeviceFont) || !pfo || iMode != QFD_GLYPHANDBITMAP) return -1;
  if (pgd) {
    *pgd = GLYPHDATA{};
    pgd->hg = hg;
    pgd->fxD = kDeviceFontAdvance * 16;
  }
  return 0;  // no bitmaps
}

// ---- the driver's entry -------------------------------------------------------------
namespace {

DRVFN gFunctions[] = {
    {INDEX_DrvEnablePDEV, reinterpret_cast<PFN>(&DrvEnablePDEV)},
    {INDEX_DrvCompletePDEV, reinterpret_cast<PFN>(&DrvCompletePDEV)},
    {INDEX_DrvResetPDEV, reinterpret_cast<PFN>(&DrvResetPDEV)},
    {INDEX_DrvDisablePDEV, reinterpret_cast<PFN>(&DrvDisablePDEV)},
    {INDEX_DrvEnableSurface, reinterpret_cast<PFN>(&DrvEnableSurface)},
    {INDEX_DrvDisableSurface, reinterpret_cast<PFN>(&DrvDisableSurface)},
    {INDEX_DrvStartDoc, reinterpret_cast<PFN>(&DrvStartDoc)},
    {INDEX_DrvStartPage, reinterpret_cast<PFN>(&DrvStartPage)},
    {INDEX_DrvSendPage, reinterpret_cast<PFN>(&DrvSendPage)},
    {INDEX_DrvEndDoc, reinterpret_cast<PFN>(&DrvEndDoc)},
    {INDEX_DrvStartBanding, reinterpret_cast<PFN>(&DrvStartBanding)},
    {INDEX_DrvNextBand, reinterpret_cast<PFN>(&DrvNextBand)},
    {INDEX_DrvBitBlt, reinterpret_cast<PFN>(&DrvBitBlt)},
    {INDEX_DrvStretchBlt, reinterpret_cast<PFN>(&DrvStretchBlt)},
    {INDEX_DrvCopyBits, reinterpret_cast<PFN>(&DrvCopyBits)},
    {INDEX_DrvRealizeBrush, reinterpret_cast<PFN>(&DrvRealizeBrush)},
    {INDEX_DrvPaint, reinterpret_cast<PFN>(&DrvPaint)},
    {INDEX_DrvLineTo, reinterpret_cast<PFN>(&DrvLineTo)},
    {INDEX_DrvStrokePath, reinterpret_cast<PFN>(&DrvStrokePath)},
    {INDEX_DrvFillPath, reinterpret_cast<PFN>(&DrvFillPath)},
    {INDEX_DrvStrokeAndFillPath, reinterpret_cast<PFN>(&DrvStrokeAndFillPath)},
    {INDEX_DrvTextOut, reinterpret_cast<PFN>(&DrvTextOut)},
    {INDEX_DrvQueryFont, reinterpret_cast<PFN>(&DrvQueryFont)},
    {INDEX_DrvQueryFontTree, reinterpret_cast<PFN>(&DrvQueryFontTree)},
    {INDEX_DrvQueryFontData, reinterpret_cast<PFN>(&DrvQueryFontData)},
};

}  // namespace

K460_API BOOL DrvEnableDriver(ULONG iEngineVersion, ULONG cj, DRVENABLEDATA* pded) {
  Note("DrvEnableDriver");
  gJournal.engineVersion = iEngineVersion;
  if (iEngineVersion < DDI_DRIVER_VERSION_NT4 || cj < sizeof(DRVENABLEDATA) || !pded) return FALSE;
  pded->iDriverVersion = DDI_DRIVER_VERSION_NT4;
  pded->c = sizeof(gFunctions) / sizeof(gFunctions[0]);
  pded->pdrvfn = gFunctions;
  return TRUE;
}

K460_API void DrvDisableDriver() { Note("DrvDisableDriver"); }
