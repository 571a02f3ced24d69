#include "driver/pcl/printer_common/nt/pclxl/xlfonts.h"

#include <cstring>

#include "driver/pcl/printer_common/nt/pclxl/xldevice.h"
#include "driver/pcl/printer_common/nt/pclxl/xlemit.h"
#include "driver/pcl/printer_common/nt/pclxl/xlpool.h"
#include "driver/pcl/printer_common/nt/pclxl/xltrace.h"

BOOL CreateDownloadTable(PDEV* pdev) {
  XlFontState& f = pdev->fonts;
  f.pDownloads = static_cast<TTDownloadEntry*>(HEAPALLOC(pdev->pPool, sizeof(TTDownloadEntry) * XL_DOWNLOAD_SLOTS));
  f.cDownloaded = 0;
  f.iNextDownload = 0;
  f.dwBudget = XL_DOWNLOAD_BUDGET;
  f.dwBudgetUsed = 0;
  return f.pDownloads != nullptr;
}

void LoadDeviceFontTable(PDEV* pdev) {
  XlFontState& f = pdev->fonts;
  f.cLoadedFonts = 0;
  f.hModule = LoadLibraryW(u"xlgraph");
  if (!f.hModule || f.cDeviceFonts == 0) return;
  f.pFontTable = static_cast<DeviceFontRow*>(HEAPALLOC(pdev->pPool, sizeof(DeviceFontRow) * (f.cDeviceFonts + 1)));
  if (!f.pFontTable) return;
  for (ULONG font = 1; font <= f.cDeviceFonts; ++font) {
    HRSRC info = FindResourceW(f.hModule, MAKEINTRESOURCEW(font), MAKEINTRESOURCEW(XL_FONT_METRICS_RESOURCE));
    HGLOBAL data = info ? LoadResource(f.hModule, info) : nullptr;
    const void* metrics = data ? LockResource(data) : nullptr;
    DWORD cbMetrics = info ? SizeofResource(f.hModule, info) : 0;
    if (!metrics || cbMetrics == 0) break;
    auto* name = static_cast<WCHAR*>(HEAPALLOC(pdev->pPool, sizeof(WCHAR) * XL_FACE_NAME_CHARS));
    if (!name) break;
    DeviceFontRow& row = f.pFontTable[font];
    row.pMetrics = static_cast<const BYTE*>(metrics);
    row.cbMetrics = cbMetrics;
    row.pFaceName = name;
    f.cLoadedFonts = font;
  }
}

void ReleaseDeviceFontTable(PDEV* pdev) {
  if (pdev->fonts.hModule) FreeLibrary(pdev->fonts.hModule);
  pdev->fonts.hModule = nullptr;
}

namespace {

template <class T>
BOOL CopyArray(PDEV* pdevNew, T*& array, SIZE_T cb, const char* failure) {
  if (!array || cb == 0) {
    array = nullptr;
    return TRUE;
  }
  void* copy = HEAPALLOC(pdevNew->pPool, cb);
  if (!copy) {
    XlTrace("%s", failure);
    return FALSE;
  }
  std::memcpy(copy, array, cb);
  array = static_cast<T*>(copy);
  return TRUE;
}

}  // namespace

BOOL CopyDownloadTable(const PDEV* pdevOld, PDEV* pdevNew) {
  const XlFontState& from = pdevOld->fonts;
  XlFontState& to = pdevNew->fonts;
  if (from.cDownloaded == 0 || from.cDownloaded > XL_DOWNLOAD_SLOTS || !from.pDownloads || !to.pDownloads) {
    return TRUE;
  }
  to.cDownloaded = from.cDownloaded;
  to.iNextDownload = from.iNextDownload % XL_DOWNLOAD_SLOTS;
  to.dwBudget = from.dwBudget;
  to.dwBudgetUsed = from.dwBudgetUsed;
  for (ULONG i = 0; i < XL_DOWNLOAD_SLOTS; ++i) {
    TTDownloadEntry& entry = to.pDownloads[i];
    entry = from.pDownloads[i];
    ULONG glyphs = entry.cGlyphs;
    if (!CopyArray(pdevNew, entry.phgVector, GlyphVectorBytes(glyphs), "HEAPALLOC  Failed For phgVector") ||
        !CopyArray(pdevNew, entry.DefinedGlyphs, DefinedGlyphBytes(glyphs), "HEAPALLOC Failed For DefinedGlyphs") ||
        !CopyArray(pdevNew, entry.adwMappedIndex, MappedIndexBytes(glyphs), "HEAPALLOC Failed For adwMappedIndex")) {
      // No entry may keep arrays of the old device, whose pool goes soon.
      std::memset(to.pDownloads, 0, sizeof(TTDownloadEntry) * XL_DOWNLOAD_SLOTS);
      to.cDownloaded = to.iNextDownload = to.dwBudgetUsed = 0;
      return FALSE;
    }
  }
  return TRUE;
}

void RemoveDownloadedFonts(PDEV* pdev) {
  XlFontState& f = pdev->fonts;
  if (f.pDownloads && pdev->pStream) {
    for (ULONG i = 0; i < f.cDownloaded && i < XL_DOWNLOAD_SLOTS; ++i) {
      const TTDownloadEntry& entry = f.pDownloads[i];
      HP_RemoveFont(pdev->pStream, reinterpret_cast<const BYTE*>(entry.szPclName),
                    static_cast<DWORD>(strnlen(entry.szPclName, sizeof entry.szPclName)));
    }
  }
  if (f.pDownloads) std::memset(f.pDownloads, 0, sizeof(TTDownloadEntry) * XL_DOWNLOAD_SLOTS);
  f.cDownloaded = 0;
  f.iNextDownload = 0;
  f.dwBudgetUsed = 0;
}
