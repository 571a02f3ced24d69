// The device's life: DrvEnablePDEV builds it from the job's settings,
// DrvCompletePDEV ties it to the engine, DrvResetPDEV carries a document
// over to a device with new settings, DrvDisablePDEV ends it.
#include "driver/pcl/printer_common/nt/pclxl/xlpdev.h"

#include <algorithm>
#include <cstring>

#include "driver/pcl/printer_common/nt/pclxl/xldriver.h"
#include "driver/pcl/printer_common/nt/pclxl/xlgraph.h"
#include "driver/pcl/printer_common/nt/pclxl/xlpool.h"
#include "driver/pcl/printer_common/nt/pclxl/xlsink.h"
#include "driver/pcl/printer_common/nt/pclxl/xlstore_init.h"
#include "driver/pcl/printer_common/nt/pclxl/xltrace.h"
#include "driver/pcl/printer_common/settings/printer_data.h"
#include "driver/pcl/printer_common/settings/settings.h"

namespace {

constexpr USHORT kLetterAnsiCodePage = 1252;

// The installed options are the printer's: where the printer data holds
// them, they replace whatever the job's record brought along.
void TakeInstalledOptions(PDEV* pdev) {
  PrinterDataRecord stored{};
  if (!pdev->hPrinter || !LoadPrinterData(pdev->hPrinter, &stored)) return;
  const PrivateSettings& from = stored.js.pv;
  PrivateSettings& to = pdev->settings.pv;
  to.pvCassette2 = from.pvCassette2;
  to.pvCassette3 = from.pvCassette3;
  to.pvCassette4 = from.pvCassette4;
  to.pvFeedCabinet = from.pvFeedCabinet;
  to.pvDuplexUnit = from.pvDuplexUnit;
  to.pvTwoBinTray = from.pvTwoBinTray;
  to.pvFinisher = from.pvFinisher;
  to.pvPunchKit = from.pvPunchKit;
}

LONG SupportedResolution(SHORT quality) { return quality == 300 || quality == 1200 ? quality : 600; }

template <class T>
void CopyOut(T* out, ULONG cjOut, const T& record) {
  std::memcpy(out, &record, std::min<std::size_t>(cjOut, sizeof(T)));
}

}  // namespace

BOOL FillPclDevData(PDEV* pdev, const DEVMODEW* pdm, const WCHAR* pwszDeviceName) {
  pdev->dwSignature = PCL_DEVICE_SIGNATURE;
  pdev->dwSignature2 = PCL_DEVICE_SIGNATURE;

  USHORT oemCodePage = 0, ansiCodePage = 0;
  EngGetCurrentCodePage(&oemCodePage, &ansiCodePage);
  bool letter = ansiCodePage == kLetterAnsiCodePage;

  JobSettings& js = pdev->settings;
  PrinterDriverIni ini(pdev->hPrinter);
  SettingsDefaults(js, pwszDeviceName, letter, pdev->hPrinter ? &ini : nullptr);
  if (pdm && !SettingsMerge(js, pdm, DeclaredRecordSize(pdm), letter)) return FALSE;
  TakeInstalledOptions(pdev);

  PrivateSettings& pv = js.pv;
  pv.pvNewEngine = DriverState().bNewEngine ? 1 : 0;
  if (pv.pvBookletBinding != 0) {
    LeSet(js.dm.dmFields, LeGet(js.dm.dmFields) | DM_DUPLEX);
    pv.pvPagesPerSheet = 2;
    pv.pvDuplex = kDuplexTopEdge;
  }
  int index = FindPaperListIndex(LeGet(js.dm.dmPaperSize));
  if (index < 0) index = letter ? 0 : 5;  // Letter or A4
  pv.pvPaperIndex = index;
  pdev->resolution = SupportedResolution(LeGet(js.dm.dmPrintQuality));
  return TRUE;
}

void DiscardStream(PDEV* pdev) {
  if (!pdev->pStream) return;
  FreeBooklet_Reverseprint(&pdev->pStream->devParams);
  pdev->pStream->cbUsed = 0;
  HP_CloseStream(pdev->pStream);
  pdev->pStream = nullptr;
}

void DestroyDevice(PDEV* pdev) {
  XlPool* pool = pdev->pPool;
  DiscardStream(pdev);
  if (pdev->pDocName) GlobalFree(pdev->pDocName);
  if (pdev->hpalDefault) EngDeletePalette(pdev->hpalDefault);
  ReleaseDeviceFontTable(pdev);
  pdev->dwSignature = pdev->dwSignature2 = 0;
  HEAPDESTROY(pool);
}

K460_API DHPDEV DrvEnablePDEV(DEVMODEW* pdm, LPWSTR, ULONG cPat, HSURF* phsurfPatterns, ULONG cjCaps,
                              GDIINFO* pdevcaps, ULONG cjDevInfo, DEVINFO* pdi, HDEV, LPWSTR pwszDeviceName,
                              HANDLE hDriver) {
  XlTrace("Entering DrvEnablePDEV\n");
  if (!pdevcaps || !pdi || cjCaps == 0 || cjDevInfo == 0 || (cPat && !phsurfPatterns)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  XlPool* pool = HEAPCREATE();
  if (!pool) {
    XlTrace("HEAPCREATE failed\n");
    return nullptr;
  }
  auto* pdev = static_cast<PDEV*>(HEAPALLOC(pool, sizeof(PDEV)));
  if (!pdev) {
    XlTrace("HEAPALLOC failed\n");
    HEAPDESTROY(pool);
    return nullptr;
  }
  pdev->pPool = pool;
  pdev->hPrinter = hDriver;
  pdev->surfaceFormat = XL_SURFACE_FORMAT;
  pdev->pDocName = nullptr;
  if (!FillPclDevData(pdev, pdm, pwszDeviceName)) {
    XlTrace("FillPclDevData function failed\n");
    DWORD error = GetLastError();
    DestroyDevice(pdev);
    SetLastError(error);
    return nullptr;
  }

  GDIINFO caps;
  FillPclDevCaps(pdev, &caps);
  pdev->fonts.cDeviceFonts = pdev->settings.pv.pvTrueTypeMode == 0 ? XL_DEVICE_FONT_COUNT : 0;
  DEVINFO info;
  if (!FillPclDevInfo(pdev, &info) || !CreateDownloadTable(pdev)) {
    DWORD error = GetLastError();
    DestroyDevice(pdev);
    SetLastError(error);
    return nullptr;
  }
  CopyOut(pdevcaps, cjCaps, caps);
  CopyOut(pdi, cjDevInfo, info);

  // No pattern surfaces of the driver's own: the engine's standard hatches.
  if (phsurfPatterns) {
    std::fill(phsurfPatterns, phsurfPatterns + cPat, nullptr);
    for (ULONG i = 0; i < std::min<ULONG>(cPat, HS_DDI_MAX); ++i) {
      phsurfPatterns[i] = reinterpret_cast<HSURF>(static_cast<ULONG_PTR>(i));
    }
  }
  LoadDeviceFontTable(pdev);
  ForgetGraphicsState(pdev);
  XlTrace("Exiting DrvEnablePDEV\n");
  return reinterpret_cast<DHPDEV>(pdev);
}

K460_API void DrvCompletePDEV(DHPDEV dhpdev, HDEV hdev) {
  auto* pdev = reinterpret_cast<PDEV*>(dhpdev);
  if (!bValidatePDEV(pdev)) {
    XlTrace("bValidatePDEV failed - DrvCompletePDEV\n");
    return;
  }
  pdev->hEngineDevice = hdev;
}

K460_API BOOL DrvResetPDEV(DHPDEV dhpdevOld, DHPDEV dhpdevNew) {
  auto* pdevOld = reinterpret_cast<PDEV*>(dhpdevOld);
  auto* pdevNew = reinterpret_cast<PDEV*>(dhpdevNew);
  if (!bValidatePDEV(pdevOld) || !bValidatePDEV(pdevNew) || pdevOld == pdevNew) {
    XlTrace("bValidatePDEV failed - DrvResetPDEV\n");
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  PrivateSettings& pvNew = pdevNew->settings.pv;
  if (pdevOld->hsurf) pvNew.pvReverseOrder = pdevOld->settings.pv.pvReverseOrder.value();
  if (pdevOld->cPages > 0) {
    pdevNew->cPages = pdevOld->cPages;
    pvNew.pvPjlSent = pdevOld->settings.pv.pvPjlSent.value();
  }
  if (!CopyDownloadTable(pdevOld, pdevNew)) return FALSE;

  const DEVMODEW& dmNew = pdevNew->settings.dm;
  bool oneUp = PagesPerSheet(pdevNew) == 1;
  bool printToPaper = pvNew.pvPrintToPaper != 0;
  bool booklet = BookletOn(pdevNew);
  bool reverse = pvNew.pvReverseOrder != 0;
  CurrentPaper own{LeGet(dmNew.dmPaperSize), LeGet(dmNew.dmPaperLength) / 10, LeGet(dmNew.dmPaperWidth) / 10};
  if (oneUp && !printToPaper && !booklet && !reverse) {
    // The new device starts a stream of its own at DrvStartDoc.
    pdevNew->paper = own;
    return TRUE;
  }
  if (oneUp && !printToPaper && !booklet) {
    pdevNew->paper = own;
  } else {
    // A sheet under construction keeps its size.
    const CurrentPaper& old = pdevOld->paper;
    if (old.paperId) pdevNew->paper.paperId = old.paperId;
    if (old.lengthMm) pdevNew->paper.lengthMm = old.lengthMm;
    if (old.widthMm) pdevNew->paper.widthMm = old.widthMm;
  }

  // The stream moves to the new device; the old one must not close it.
  DiscardStream(pdevNew);
  pdevNew->pStream = pdevOld->pStream;
  pdevOld->pStream = nullptr;
  XlStream* stream = pdevNew->pStream;
  if ((booklet || reverse) && stream) {
    SetStoreCommand(pdevNew, pdevOld->dwStoreCommand);
    if (stream->staging.cbStaged != 0) XlSinkFlush(stream, stream->pUserData, stream->pBuffer, stream->cbUsed);
  }
  return TRUE;
}

K460_API void DrvDisablePDEV(DHPDEV dhpdev) {
  auto* pdev = reinterpret_cast<PDEV*>(dhpdev);
  if (!bValidatePDEV(pdev)) {
    XlTrace("bValidatePDEV");
    return;
  }
  DestroyDevice(pdev);
}
