// Pages: DrvStartPage writes the job start before the first page, a
// BeginPage where a sheet begins and the page's coordinate set-up;
// DrvSendPage ends the sheet once its last page is drawn and hands the
// page's bytes on. The page count decides where sheets begin and end.
#include "driver/pcl/printer_common/nt/pclxl/xlemit.h"
#include "driver/pcl/printer_common/nt/pclxl/xlgraph.h"
#include "driver/pcl/printer_common/nt/pclxl/xljob.h"
#include "driver/pcl/printer_common/nt/pclxl/xlnup.h"
#include "driver/pcl/printer_common/nt/pclxl/xlpagestore.h"
#include "driver/pcl/printer_common/nt/pclxl/xlsink.h"
#include "driver/pcl/printer_common/nt/pclxl/xltrace.h"
#include "driver/pcl/printer_common/nt/pclxl/xlwatermark.h"

namespace {

constexpr BYTE kClipModeEvenOdd = 1;
constexpr BYTE kColorSpaceGray = 1;
constexpr BYTE kRopFrame = 252;
constexpr WORD kFramePenWidth = 2;

bool NewSheet(const PDEV* pdev) { return pdev->cPages % PagesPerSheet(pdev) == 0; }

// The border around an n-up page, drawn in black over the whole page.
void DrawPageFrame(PDEV* pdev) {
  XlStream* s = pdev->pStream;
  HP_PushGS(s);
  HP_SetPageDefaultCTM(s);
  pdev->cache.clipKind = XL_STATE_UNKNOWN;
  HP_SetClipToPage(s);
  HP_SetColorSpace(s, kColorSpaceGray);
  HP_SetPenSource_GrayLevelReal32(s, 0.0f);
  HP_SetPenWidth(s, kFramePenWidth);
  HP_SetBrushSource_NullBrush(s);
  if (pdev->cache.rop != kRopFrame) {
    HP_SetROP(s, kRopFrame);
    pdev->cache.rop = kRopFrame;
  }
  const RECTL& r = pdev->placement.rclFrame;
  HP_Rectangle(s, static_cast<SHORT>(r.left), static_cast<SHORT>(r.top), static_cast<SHORT>(r.right),
               static_cast<SHORT>(r.bottom));
  HP_PopGS(s);
}

}  // namespace

K460_API BOOL DrvStartPage(SURFOBJ* pso) {
  XlTrace("Entering DrvStartPage\n");
  PDEV* pdev = PdevOfSurface(pso);
  if (!bValidatePDEV(pdev)) {
    XlTrace("bValidatePDEV function failed \n");
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  XlTrace("bValidatePDEV function succeeded\n");
  XlStream* s = pdev->pStream;
  if (!s) {
    XlTrace("pstream is null in DrvStartPage\n");
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  ForgetGraphicsState(pdev);
  BYTE orientation = LeGet(pdev->settings.dm.dmOrientation) == DMORIENT_LANDSCAPE ? 1 : 0;
  bool store = StoreMode(pdev);
  if (pdev->cPages == 0) {
    if (store) SetStoreCommand(pdev, BOOKLET_REVERSE_START_DOC);
    WriteJobStart(pdev);
    FlushForStore(pdev);
  }
  if (store) SetStoreCommand(pdev, BOOKLET_REVERSE_START_PAGE);

  if (!PlaceLogicalPage(pdev, &orientation)) {
    XlTrace("Warning: Fn GetPageCoordinatesForNUp() failed \n");
    return FALSE;
  }
  bool newSheet = NewSheet(pdev);
  if (newSheet && !BuildBeginPage(pdev, orientation)) return FALSE;
  const PagePlacement& p = pdev->placement;
  HP_SetPageDefaultCTM(s);
  HP_SetPageOrigin(s, static_cast<SHORT>(p.ptlOrigin.x), static_cast<SHORT>(p.ptlOrigin.y));
  HP_SetPageScale(s, p.scaleX, p.scaleY);
  if (newSheet) {
    HP_SetClipMode(s, kClipModeEvenOdd);
    HP_SetCursor(s, 0, 0);
    HP_SetColorSpace(s, kColorSpaceGray);
    pdev->cache.colorSpace = kColorSpaceGray;
    pdev->cache.bPalette = FALSE;
  }
  ++pdev->cPages;
  if (store) {
    FlushForStore(pdev);
    SetStoreCommand(pdev, BOOKLET_REVERSE_PAGE_DATA);
  }
  XlTrace("Exiting DrvStartPage\n");
  return TRUE;
}

K460_API BOOL DrvSendPage(SURFOBJ* pso) {
  XlTrace("Entering DrvSendPage\n");
  PDEV* pdev = PdevOfSurface(pso);
  if (!bValidatePDEV(pdev) || !pdev->pStream) {
    XlTrace("Exiting DrvSendPage, pdev or pdev->pStream is NULL\n");
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const PrivateSettings& pv = pdev->settings.pv;
  if (pv.pvWatermarkIndex != 0 && (pv.pvWatermarkFirstPageOnly == 0 || pdev->cPages == 1)) DrawWatermark(pdev);
  if (pv.pvNupBorder != 0 && pv.pvPagesPerSheet > 1) DrawPageFrame(pdev);

  bool store = StoreMode(pdev);
  // Stored pages are replayed in another order: no page may rely on a font
  // that an earlier page downloaded.
  if (store) RemoveDownloadedFonts(pdev);
  if (NewSheet(pdev)) {  // the sheet is complete
    if (store) {
      FlushForStore(pdev);
      SetStoreCommand(pdev, BOOKLET_REVERSE_END_PAGE);
    }
    WriteEndPage(pdev);
  }
  if (store) {
    FlushForStore(pdev);
    PassStoreCommand(pdev, BOOKLET_REVERSE_NEW_FRAME, nullptr, 0);
  }
  if (!BookletOn(pdev)) FlushStream(&pdev->pStream->staging, pdev->pStream->devParams.hPrinter);
  XlTrace("Exiting DrvSendPage\n");
  return TRUE;
}
