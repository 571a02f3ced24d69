// Documents: DrvStartDoc makes the stream (and, for booklet or
// reverse-order printing, the page store), DrvEndDoc closes the last sheet
// and the job and delivers what is left. Also the job's start and end and
// the sheet's BeginPage and EndPage.
#include "driver/pcl/printer_common/nt/pclxl/xljob.h"

#include <algorithm>

#include "driver/pcl/printer_common/nt/pclxl/xlemit.h"
#include "driver/pcl/printer_common/nt/pclxl/xlgraph.h"
#include "driver/pcl/printer_common/nt/pclxl/xlpagestore.h"
#include "driver/pcl/printer_common/nt/pclxl/xlpdev.h"
#include "driver/pcl/printer_common/nt/pclxl/xlsink.h"
#include "driver/pcl/printer_common/nt/pclxl/xlstore_init.h"
#include "driver/pcl/printer_common/nt/pclxl/xltrace.h"
#include "driver/pcl/printer_common/settings/settings.h"

namespace {

constexpr char kEnterPclXl[] = "@PJL ENTER LANGUAGE=PCLXL\n";
constexpr DWORD kEnterPclXlLength = sizeof(kEnterPclXl) - 1;
static_assert(kEnterPclXlLength == 26);
constexpr DWORD kProtocolClass = 2;
constexpr DWORD kProtocolRevision = 0;
constexpr BYTE kMeasureInch = 0;
constexpr BYTE kErrorReportBackChannelAndPage = 3;
constexpr BYTE kSourceTypeDefault = 0;
constexpr BYTE kDataOrgBinaryLowByteFirst = 1;
constexpr BYTE kUnitsMillimetre = 1;
constexpr DWORD kNoNameBytes = 510;

BYTE MediaSourceOf(const PrivateSettings& pv, int tray) {
  switch (tray) {
    case 0: return 1;
    case 1: return 2;
    case 2: return 4;
    case 3: return 5;
    case 4: return pv.pvCassette3 == 1 ? 6 : 1;
    case 5: return pv.pvCassette4 == 1 ? 7 : 1;
    case 6: return pv.pvFeedCabinet == 1 ? 9 : 1;
    default: return 1;
  }
}

DevParams SinkParameters(const PDEV* pdev) {
  DevParams params{};
  params.hPrinter = pdev->hPrinter;
  params.bBooklet = BookletOn(pdev);
  params.dwStoreCommand = BOOKLET_REVERSE_START_DOC;
  params.pBooklet_Reverse_Info = nullptr;
  params.bReverse = pdev->settings.pv.pvReverseOrder != 0;
  params.bNewEngine = pdev->settings.pv.pvNewEngine != 0;
  params.wDuplex = static_cast<WORD>(EffectiveDuplex(&pdev->settings));
  params.wPagesPerSheet = static_cast<WORD>(PagesPerSheet(pdev));
  return params;
}

// A copy of the document name, or of nothing (510 bytes) when none is given.
WCHAR* CopyDocumentName(const WCHAR* name) {
  DWORD length = name ? static_cast<DWORD>(lstrlenW(name)) : 0;
  DWORD cb = name ? (length + 1) * sizeof(WCHAR) : kNoNameBytes;
  auto* copy = static_cast<WCHAR*>(GlobalAlloc(GPTR, cb));
  if (copy && name) std::copy(name, name + length, copy);
  return copy;
}

}  // namespace

void WriteJobStart(PDEV* pdev) {
  XlStream* s = pdev->pStream;
  HP_RawBytes(s, kUniversalExit, kUniversalExitLength);
  SendPJLCommands(pdev);
  HP_RawBytes(s, kEnterPclXl, kEnterPclXlLength);
  HP_StreamHeader(s, kProtocolClass, kProtocolRevision, "", 0);
  WORD units = static_cast<WORD>(pdev->resolution);
  HP_BeginSession(s, units, units, kMeasureInch, kErrorReportBackChannelAndPage);
  HP_OpenDataSource(s, kSourceTypeDefault, kDataOrgBinaryLowByteFirst);
}

void WriteJobEnd(PDEV* pdev) {
  XlStream* s = pdev->pStream;
  HP_CloseDataSource(s);
  HP_EndSession(s);
  HP_RawBytes(s, kUniversalExit, kUniversalExitLength);
}

BOOL BuildBeginPage(PDEV* pdev, BYTE orientation) {
  XlStream* s = pdev->pStream;
  if (!s) return FALSE;
  const DEVMODEW& dm = pdev->settings.dm;
  PrivateSettings& pv = pdev->settings.pv;
  const CurrentPaper& paper = pdev->paper;

  pv.pvInputTray = LeGet(dm.dmDefaultSource) - kSourceBase;
  int tray = pv.pvInputTray;
  if (pdev->cPages == 0 && pv.pvFirstPageSourceOn != 0) tray = pv.pvFirstPageSource;
  BYTE mediaSource = MediaSourceOf(pv, tray);

  if (paper.widthMm > 0 && paper.lengthMm > 0) {
    WORD width = static_cast<WORD>(paper.widthMm), length = static_cast<WORD>(paper.lengthMm);
    if (pv.pvPrintToPaper != 0 && pv.pvPrintToPaperWidth != 0 && pv.pvPrintToPaperLength != 0 &&
        LeGet(dm.dmOrientation) == DMORIENT_LANDSCAPE) {
      std::swap(width, length);
    }
    HP_BeginPage_CustomMediaSize(s, orientation, width, length, kUnitsMillimetre, mediaSource);
  } else {
    HP_BeginPage_MediaSize(s, orientation, MediaSizeOf(paper.paperId), mediaSource);
  }
  return TRUE;
}

void WriteEndPage(PDEV* pdev) {
  const JobSettings& js = pdev->settings;
  int copies = std::max<int>(1, LeGet(js.dm.dmCopies));
  bool collate = LeGet(js.dm.dmCollate) == DMCOLLATE_TRUE || js.pv.pvSort == 1;
  // Collated copies are made by the printer from the QTY of the header.
  HP_EndPage(pdev->pStream, static_cast<WORD>(collate && copies > 1 ? 1 : copies));
}

K460_API BOOL DrvStartDoc(SURFOBJ* pso, LPWSTR pwszDocName, DWORD) {
  XlTrace("Entering DrvStartDoc\n");
  PDEV* pdev = PdevOfSurface(pso);
  if (!bValidatePDEV(pdev)) {
    XlTrace("bValidatePDEV function failed \n");
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (pdev->pDocName) GlobalFree(pdev->pDocName);
  pdev->pDocName = CopyDocumentName(pwszDocName);  // only kept; a missing copy changes nothing

  if (!pdev->pStream || pdev->cPages == 0) {
    // A stream left from before a reset that came ahead of the first page
    // starts over with the document.
    DiscardStream(pdev);
    DevParams params = SinkParameters(pdev);
    pdev->pStream = XlNewDriverStream(&params);
    if (!pdev->pStream) {
      XlTrace("Null Pointer to pstream\n");
      return FALSE;
    }
    SetStoreCommand(pdev, BOOKLET_REVERSE_START_DOC);
  }
  if (StoreMode(pdev) && pdev->cPages == 0 && !pdev->pStream->devParams.pBooklet_Reverse_Info) {
    if (!InitBooklet_Reverseprint(&pdev->pStream->devParams)) {
      XlTrace("InitBooklet_Reverseprint failed, Exiting DrvStartDoc\n");
      return FALSE;
    }
  }
  if (pdev->cPages == 0) pdev->settings.pv.pvPjlSent = 0;
  XlTrace("Exiting DrvStartDoc\n");
  return TRUE;
}

K460_API BOOL DrvEndDoc(SURFOBJ* pso, FLONG) {
  XlTrace("Entering DrvEndDoc\n");
  PDEV* pdev = PdevOfSurface(pso);
  if (!bValidatePDEV(pdev)) {
    XlTrace("bValidatePDEV function failed \n");
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (!pdev->pStream) {
    XlTrace("Exiting DrvEndDoc, pdev->pStream is NULL\n");
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  bool store = StoreMode(pdev);
  if (store) {
    FlushForStore(pdev);
    SetStoreCommand(pdev, BOOKLET_REVERSE_END_PAGE);
  }
  if (pdev->cPages % PagesPerSheet(pdev) != 0) WriteEndPage(pdev);  // the last sheet is incomplete

  if (pdev->pDocName) GlobalFree(pdev->pDocName);
  pdev->pDocName = nullptr;
  RemoveDownloadedFonts(pdev);

  if (store) {
    FlushForStore(pdev);
    HANDLE printer = pdev->hPrinter;
    PassStoreCommand(pdev, BOOKLET_REVERSE_HANDLE_PRINTER, &printer, sizeof printer);
    SetStoreCommand(pdev, BOOKLET_REVERSE_END_DOC);
  }
  if (pdev->settings.pv.pvPjlSent != 0) WriteJobEnd(pdev);
  HP_FlushStream(pdev->pStream);  // in store mode: the trailer, which replays the stored pages
  if (!BookletOn(pdev)) FlushStream(&pdev->pStream->staging, pdev->pStream->devParams.hPrinter);
  DiscardStream(pdev);
  pdev->cPages = 0;
  XlTrace("Exiting DrvEndDoc\n");
  return TRUE;
}
