// Documents, pages and bands: DrvStartDoc, DrvStartPage, DrvSendPage,
// DrvStartBanding, DrvNextBand and DrvEndDoc, all under the process-wide
// lock. A sheet is opened with the first logical page placed on it and
// written when it is complete: at the last page it holds, at the end of its
// band, at the end of the document or when the device is replaced.
#include "driver/winnt/printer/src/km/device_surface.h"
#include "driver/winnt/printer/src/km/driver_state.h"
#include "driver/winnt/printer/src/km/entry_points.h"
#include "driver/winnt/printer/src/km/sheet_output.h"

namespace k460::hbgraph {

namespace {

// The device of a page call, or null when there is none or its job was cancelled.
HbDevice* PageDevice(SURFOBJ* pso) {
  HbDevice* d = DeviceOfSurface(pso);
  if (!d) return nullptr;
  if (!d->aborted && EngCheckAbort(pso)) d->aborted = true;
  if (d->aborted) {
    SetLastError(ERROR_PRINT_CANCELLED);
    return nullptr;
  }
  return d;
}

std::uint32_t PagesPerSheet(const HbDevice& d) { return static_cast<std::uint32_t>(std::max(1, d.job.pagesPerSheet)); }

void OpenSheet(HbDevice& d) {
  FillWhite(SheetOf(d));
  FillWhite(ScratchOf(d));
  d.sheetOpen = true;
  d.contentPending = true;
  d.marked = false;
}

void CloseSheet(HbDevice& d) { d.sheetOpen = d.contentPending = false; }

// Writes the open sheet; the next sheet of a duplex job is the other side.
bool WriteAndTurn(HbDevice& d) {
  const SheetWrite write = WriteSheet(d);
  // A sheet that was left out (blank) took no paper: the side stays.
  if (write.written && d.job.duplex && !d.job.booklet) d.backSide = !d.backSide;
  return write.ok;
}

void RememberFirstPage(const HbDevice& d) {
  FirstPageValues first;
  first.sheetLandscape = d.geometry.sheetLandscape;
  first.turn = d.geometry.sheetTurn;
  first.windowsPaper = d.devMode.dm.dmPaperSize;
  first.orientation = d.devMode.dm.dmOrientation;
  first.sheetPaper = d.geometry.sheetPaper;
  first.scale = d.geometry.scale;
  first.pagePaper = d.geometry.pagePaper;
  first.duplexBinding = d.settings.blocks.hsDuplexBinding;
  Document().first = first;
}

}  // namespace

BOOL DrvStartDoc(SURFOBJ* pso, LPWSTR, DWORD) {
  DriverLock lock;
  if (!DeviceOfSurface(pso)) return FALSE;
  Document().started = true;
  // The halftoning refreshes its pattern table here once it has one.
  return TRUE;
}

BOOL DrvStartPage(SURFOBJ* pso) {
  DriverLock lock;
  HbDevice* d = PageDevice(pso);
  if (!d) return FALSE;
  if (!d->sheet) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  DocumentState& doc = Document();
  doc.pageSent = false;
  doc.started = false;
  d->logicalPages = ++doc.logicalPages;
  if (doc.logicalPages == 1) RememberFirstPage(*d);
  const std::uint32_t pages = PagesPerSheet(*d);
  if (pages == 1 || d->logicalPages % pages == 1 || d->job.booklet || !d->sheetOpen) OpenSheet(*d);
  d->bandWritten = false;
  BindSheet(*d, pso);
  PresentSheet(*d, pso);
  d->surfaceObject = pso;
  return TRUE;
}

BOOL DrvSendPage(SURFOBJ* pso) {
  DriverLock lock;
  HbDevice* d = PageDevice(pso);
  if (!d) return FALSE;
  Document().pageSent = true;
  if (!d->job.booklet && d->logicalPages % PagesPerSheet(*d) != 0) return TRUE;
  bool ok = true;
  if (d->sheetOpen && d->contentPending && !d->bandWritten) ok = WriteAndTurn(*d);
  CloseSheet(*d);
  return ok ? TRUE : FALSE;
}

BOOL DrvStartBanding(SURFOBJ* pso, POINTL* pptl) {
  DriverLock lock;
  if (!pptl) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (!PageDevice(pso)) return FALSE;
  *pptl = {0, 0};  // one band: the whole surface
  return TRUE;
}

BOOL DrvNextBand(SURFOBJ* pso, POINTL* pptl) {
  DriverLock lock;
  if (!pptl) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  HbDevice* d = PageDevice(pso);
  if (!d) return FALSE;
  bool ok = true;
  if (d->sheetOpen && d->contentPending) ok = WriteAndTurn(*d);
  d->bandWritten = true;
  CloseSheet(*d);
  *pptl = {-1, -1};  // no more bands
  return ok ? TRUE : FALSE;
}

BOOL DrvEndDoc(SURFOBJ* pso, FLONG fl) {
  DriverLock lock;
  HbDevice* d = DeviceOfSurface(pso);
  bool ok = d != nullptr;
  if (d) {
    // A partly filled n-up sheet still goes out.
    if (d->sheetOpen && d->contentPending && !d->bandWritten) ok = WriteAndTurn(*d);
    CloseSheet(*d);
    d->logicalPages = 0;
    d->backSide = false;  // the next document starts on a new sheet of paper
    PresentSheet(*d, pso);
  }
  ResetDocumentState();
  if ((fl & ED_ABORTDOC) || !d) SetLastError(ERROR_PRINT_CANCELLED);
  return ok ? TRUE : FALSE;
}

}  // namespace k460::hbgraph
