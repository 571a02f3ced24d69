#include "driver/pcl/printer_common/nt/pclxl/xldevice.h"

#include <algorithm>

#include "driver/pcl/printer_common/nt/pclxl/xlpagestore.h"

BOOL bValidatePDEV(const PDEV* pdev) {
  return pdev && pdev->dwSignature == PCL_DEVICE_SIGNATURE && pdev->dwSignature2 == PCL_DEVICE_SIGNATURE;
}

PDEV* PdevOfSurface(const SURFOBJ* pso) { return pso ? reinterpret_cast<PDEV*>(pso->dhpdev) : nullptr; }

PaperRow DevicePaperRow(const PDEV* pdev, int row) {
  if (!pdev || row < 0 || row >= kPaperRowCount) return {};
  bool landscape = row >= kLandscapeRowOffset;
  int portrait = landscape ? row - kLandscapeRowOffset : row;
  PaperRow result = portrait < kPaperListCount ? StandardPaperRow(portrait)
                                               : pdev->customRows[portrait - kCustomPaperRow];
  return landscape ? TurnedPaperRow(result) : result;
}

DWORD PagesPerSheet(const PDEV* pdev) {
  return static_cast<DWORD>(std::max<int32_t>(1, pdev->settings.pv.pvPagesPerSheet));
}

bool BookletOn(const PDEV* pdev) { return pdev->settings.pv.pvBookletBinding != 0; }

bool StoreMode(const PDEV* pdev) { return BookletOn(pdev) || pdev->settings.pv.pvReverseOrder != 0; }

void SetStoreCommand(PDEV* pdev, DWORD command) {
  pdev->dwStoreCommand = command;
  if (pdev->pStream) pdev->pStream->devParams.dwStoreCommand = command;
}

void FlushForStore(PDEV* pdev) {
  if (pdev->pStream && XlIsStoreMode(pdev->pStream)) HP_FlushStream(pdev->pStream);
}

void PassStoreCommand(PDEV* pdev, DWORD command, const void* pData, DWORD cbData) {
  if (!pdev->pStream) return;
  DevParams& params = pdev->pStream->devParams;
  if (params.pPageStore) {
    params.pPageStore->Booklet_Reverse_StoreData(&params, command, static_cast<const BYTE*>(pData), cbData, 0);
  }
}

void ForgetGraphicsState(PDEV* pdev) {
  XlGraphicsCache& c = pdev->cache;
  c = XlGraphicsCache{};
  c.rop = c.brushGray = c.penGray = c.penWidth = c.fillMode = c.clipKind = c.colorSpace = c.writingMode =
      XL_STATE_UNKNOWN;
  c.charAngle = XL_CHAR_ANGLE_UNKNOWN;
}
