#include "driver/winnt/printer/src/km/device_surface.h"

#include <new>

#include "driver/winnt/printer/src/km/driver_state.h"

namespace k460::hbgraph {

namespace {

// The hooked drawing calls: bit-block transfer, stretch, text, paint,
// stroke, fill, stroke-and-fill and copy.
constexpr FLONG kHooks = HOOK_BITBLT | HOOK_STRETCHBLT | HOOK_TEXTOUT | HOOK_PAINT | HOOK_STROKEPATH | HOOK_FILLPATH |
                         HOOK_STROKEANDFILLPATH | HOOK_COPYBITS;
static_assert(kHooks == 0x4FB);

std::unique_ptr<std::uint8_t[]> Allocate(std::size_t bytes) {
  return std::unique_ptr<std::uint8_t[]>(new (std::nothrow) std::uint8_t[bytes ? bytes : 1]());
}

}  // namespace

SheetBits SheetOf(const HbDevice& d) {
  return {d.sheet.get(), d.geometry.bytesPerRow, d.geometry.surface};
}

SheetBits ScratchOf(const HbDevice& d) {
  return {d.scratch.get(), d.geometry.bytesPerRow, d.geometry.surface};
}

HSURF EnableSurface(HbDevice& d) {
  // A sheet handed over by the device this one replaced is kept only while
  // the document prints several pages per sheet.
  if (d.sheet && !Document().nupContinuation) d.sheet.reset();
  if (!d.sheet) {
    d.sheet = Allocate(d.geometry.sheetBytes);
    d.sheetOpen = d.contentPending = d.marked = false;
  }
  d.scratch = Allocate(d.geometry.sheetBytes);
  const bool enhance = d.settings.blocks.hsGraphicEnhance == 1;
  HSURF hsurf = nullptr;
  if (d.sheet && d.scratch) {
    SIZEL size{d.geometry.surface.width, d.geometry.surface.height};
    hsurf = EngCreateDeviceSurface(reinterpret_cast<DHSURF>(&d), size, enhance ? BMF_24BPP : BMF_1BPP);
  } else {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  }
  bool ok = hsurf != nullptr;
  if (ok && !d.job.fit && d.settings.blocks.hsFromPaint == 0) ok = EngMarkBandingSurface(hsurf) != FALSE;
  if (ok) ok = EngAssociateSurface(hsurf, d.hdev, kHooks) != FALSE;
  if (!ok) {
    const DWORD error = GetLastError();
    if (hsurf) EngDeleteSurface(hsurf);
    d.sheet.reset();
    d.scratch.reset();
    SetLastError(error);
    return nullptr;
  }
  d.hsurf = hsurf;
  return hsurf;
}

void DisableSurface(HbDevice& d) {
  if (d.hsurf) EngDeleteSurface(d.hsurf);
  d.hsurf = nullptr;
  d.surfaceObject = nullptr;
  d.sheet.reset();  // a sheet handed to the next device is no longer here
  d.scratch.reset();
}

bool BindSheet(HbDevice& d, SURFOBJ* pso) {
  if (!d.sheet) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  if (pso->pvBits == d.sheet.get()) return true;
  // The sheet stays one bit per pixel in graphic enhance mode too, until the
  // driver's own raster operations take over that mode's surface.
  pso->pvBits = d.sheet.get();
  pso->pvScan0 = d.sheet.get();
  pso->lDelta = d.geometry.bytesPerRow;
  pso->cjBits = static_cast<ULONG>(d.geometry.sheetBytes);
  pso->sizlBitmap = {d.geometry.surface.width, d.geometry.surface.height};
  pso->iBitmapFormat = BMF_1BPP;
  pso->fjBitmap = BMF_TOPDOWN;
  pso->iType = STYPE_BITMAP;
  return true;
}

void PresentSheet(HbDevice& d, SURFOBJ* pso) {
  if (!pso || pso->pvBits != d.sheet.get() || !d.sheet) return;
  pso->pvScan0 = d.sheet.get();
  pso->sizlBitmap = {d.geometry.surface.width, d.geometry.surface.height};
}

bool PresentLogicalPage(HbDevice& d, SURFOBJ* pso) {
  const PageView view = d.CurrentPageView();
  if (view.Empty()) return false;
  pso->pvScan0 = d.sheet.get() + static_cast<std::ptrdiff_t>(view.y) * d.geometry.bytesPerRow + view.x / 8;
  pso->sizlBitmap = {view.size.width, view.size.height};
  return true;
}

LogicalPageScope::LogicalPageScope(HbDevice& device, SURFOBJ* pso)
    : pso_(pso), scan0_(pso->pvScan0), size_(pso->sizlBitmap), empty_(!PresentLogicalPage(device, pso)) {}

LogicalPageScope::~LogicalPageScope() {
  pso_->pvScan0 = scan0_;
  pso_->sizlBitmap = size_;
}

}  // namespace k460::hbgraph
