// The device record of xlgraph: one per device context, allocated from the
// device's own pool and guarded by two copies of a signature (the first
// field and the field before the stream), which every entry point checks
// before it trusts the record.
#pragma once

#include "driver/pcl/printer_common/nt/pclxl/xlfonts.h"
#include "driver/pcl/printer_common/nt/pclxl/xlpaper.h"
#include "driver/pcl/printer_common/nt/pclxl/xlstream.h"
#include "driver/pcl/printer_common/settings/job_settings.h"
#include "platform/engine/engine.h"

struct XlPool;

inline constexpr DWORD PCL_DEVICE_SIGNATURE = 0x5750434C;  // the bytes "LCPW"

// The sheet being built: a paper of the table, or a custom size.
struct CurrentPaper {
  int paperId;
  LONG lengthMm;  // 0 for a named paper
  LONG widthMm;
};

// A value of the graphics-state cache that must be sent again.
inline constexpr int XL_STATE_UNKNOWN = -1;
inline constexpr SHORT XL_CHAR_ANGLE_UNKNOWN = -500;

// The graphics state last sent on the page, so that unchanged state is not
// sent again. Forgotten at every page.
struct XlGraphicsCache {
  int rop;          // last SetROP
  int brushGray;    // last brush source
  int penGray;      // last pen source
  int penWidth;
  int fillMode;
  int clipKind;     // last clip sent (XL_CLIP_*); XL_STATE_UNKNOWN: send again
  RECTL rclClip;    // of XL_CLIP_RECTANGLE
  ULONG clipUniq;   // of XL_CLIP_COMPLEX: the clip object's unique number
  int colorSpace;   // last SetColorSpace (1: gray)
  BOOL bPalette;    // a palette is selected with it
  BOOL bFontKnown;  // the font fields below hold what was sent
  BYTE abFontName[16];
  FLOAT charSize;
  WORD symbolSet;
  SHORT charAngle;
  FLOAT charScaleX;
  FLOAT charScaleY;
  FLOAT boldValue;
  FLOAT shearX;
  FLOAT shearY;
  int writingMode;
};

// Kinds of clip in the cache.
inline constexpr int XL_CLIP_RECTANGLE = 1;
inline constexpr int XL_CLIP_PAGE = 2;
inline constexpr int XL_CLIP_COMPLEX = 3;

// Where the current logical page lands on the sheet.
struct PagePlacement {
  RECTL rclPage;    // the logical page on the sheet
  RECTL rclFrame;   // the n-up border around it
  POINTL ptlOrigin;  // SetPageOrigin
  FLOAT scaleX;     // SetPageScale
  FLOAT scaleY;
};

struct BandRect {
  LONG left;
  LONG top;
  LONG right;
  LONG bottom;
  LONG width;
  LONG height;
};

inline constexpr LONG XL_BAND_HEIGHT = 1100;  // device lines per band in raster graphics mode
inline constexpr ULONG XL_SURFACE_FORMAT = BMF_24BPP;

struct PDEV {
  DWORD dwSignature;       // PCL_DEVICE_SIGNATURE
  HANDLE hPrinter;         // target of every WritePrinter
  HDEV hEngineDevice;      // stored by DrvCompletePDEV
  XlPool* pPool;           // every device-lifetime block, this record included
  DWORD cPages;            // pages started in the current document
  LONG resolution;         // dots per inch: 300, 600 or 1200
  LONG horzSizeMm;         // size in millimetres as reported to the engine
  LONG vertSizeMm;
  LONG surfaceWidth;       // the page in device pixels
  LONG surfaceHeight;
  CurrentPaper paper;      // the sheet being built
  ULONG surfaceFormat;     // XL_SURFACE_FORMAT
  WCHAR* pDocName;         // copy of the document name (GlobalAlloc)
  HPALETTE hpalDefault;
  HSURF hsurf;
  JobSettings settings;    // merged at DrvEnablePDEV; changed only by the driver afterwards
  XlFontState fonts;
  XlGraphicsCache cache;
  PagePlacement placement;
  PaperRow customRows[2];  // portrait rows kCustomPaperRow and kFitOutputPaperRow
  BandRect band;
  BOOL bStretch;           // DrvStretchBlt at work: the image path is given a source rectangle
  DWORD dwStoreCommand;    // the page-store command in force; kept equal to the stream's
  DWORD dwSignature2;      // PCL_DEVICE_SIGNATURE
  XlStream* pStream;
};

// True when `pdev` is present and both signatures are intact.
BOOL bValidatePDEV(const PDEV* pdev);
// The device behind a surface the engine hands in, or none.
PDEV* PdevOfSurface(const SURFOBJ* pso);

// Row 0 to 45 of the paper table as this device sees it (the custom rows
// hold the job's sizes).
PaperRow DevicePaperRow(const PDEV* pdev, int row);

// Pages per sheet, never less than 1.
DWORD PagesPerSheet(const PDEV* pdev);
// Booklet printing, reverse-order printing, and either of them (store mode:
// the stream's output goes to the page store).
bool BookletOn(const PDEV* pdev);
bool StoreMode(const PDEV* pdev);

// Sets the store command of the device and of its stream together.
void SetStoreCommand(PDEV* pdev, DWORD command);
// In store mode, hands what the stream holds to the page store now.
void FlushForStore(PDEV* pdev);
// Hands a command with its data straight to the page store.
void PassStoreCommand(PDEV* pdev, DWORD command, const void* pData, DWORD cbData);

// Forgets every cached graphics state, so that its first use sends it again.
void ForgetGraphicsState(PDEV* pdev);
