// The device-context API through which hosts (the print host, the user
// interface stand-in, tests) drive a graphics driver the way applications
// and the spooler's driver host drive it through the graphics engine:
// enabling, documents and pages, banding, resets, and drawing that becomes
// the driver's hooked calls or the engine's own drawing.
//
//   auto dc = DeviceContext::Open(u"hbgraph", printer, devMode, {.deviceName = u"K460"});
//   dc->StartDoc(u"Report");
//   dc->StartPage();
//   dc->FillRect({100, 100, 500, 300}, RGB(128, 128, 128));
//   dc->EndPage();
//   dc->EndDoc();
//
// Failures answer false (or null) with the reason in the thread's last error:
// the driver's own, or ERROR_INVALID_PARAMETER for a call out of order.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/engine/engine.h"

namespace k460::engine {

class Region;
struct DeviceState;

inline constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b) { return r | (COLORREF(g) << 8) | (COLORREF(b) << 16); }

// An application's bitmap: the caller keeps the bits; drawing copies them.
struct Image {
  LONG width = 0;
  LONG height = 0;
  ULONG format = BMF_24BPP;       // BMF_1BPP to BMF_32BPP
  const void* bits = nullptr;     // rows of `stride` bytes
  LONG stride = 0;                // 0: rows padded to 32 bits
  bool topDown = true;            // false: the bottom row comes first
  std::vector<COLORREF> palette;  // 1-, 4- and 8-bit images: the colour of each index
  ULONG redMask = 0;              // 16- and 32-bit images: bit fields (0: 5-5-5 and 8-8-8)
  ULONG greenMask = 0;
  ULONG blueMask = 0;
};

struct Brush {
  enum class Kind { Solid, Pattern, Hatch, Null };
  Kind kind = Kind::Solid;
  COLORREF color = 0;       // solid colour; hatch lines
  ULONG hatch = HS_HORIZONTAL;
  Image pattern;            // tiled from the brush origin

  static Brush Solid(COLORREF c) { return {Kind::Solid, c, 0, {}}; }
  static Brush Pattern(Image image) { return {Kind::Pattern, 0, 0, std::move(image)}; }
};

struct DeviceOptions {
  std::u16string deviceName;  // the printer's name, passed to DrvEnablePDEV
  std::u16string logAddress;  // the port or output file, passed to DrvEnablePDEV
  ULONG engineVersion = ENGINE_VERSION;
};

enum class StretchMode : ULONG {
  BlackOnWhite = BLACKONWHITE,
  WhiteOnBlack = WHITEONBLACK,
  ColorOnColor = COLORONCOLOR,
  Halftone = HALFTONE,
};

class DeviceContext {
 public:
  // Loads the driver library by name (LoadLibraryW; DrvEnableDriver once per
  // process while it is in use), then DrvEnablePDEV with the job's device
  // mode and `printer` as the driver's printer handle, DrvCompletePDEV and
  // DrvEnableSurface. A printer opened with OpenPrinterW gets a spooler job
  // at StartDoc; any other handle (a capture printer) is used as it is.
  static std::unique_ptr<DeviceContext> Open(std::u16string_view driverLibrary, HANDLE printer,
                                             const DEVMODEW* devMode, const DeviceOptions& options = {});
  // A memory device: an engine bitmap without a driver, drawn by the engine
  // (previews, tests). It has no documents or pages.
  static std::unique_ptr<DeviceContext> OpenBitmap(LONG width, LONG height, ULONG format);

  ~DeviceContext();
  DeviceContext(const DeviceContext&) = delete;
  DeviceContext& operator=(const DeviceContext&) = delete;

  // Ends an open document as aborted, then DrvDisableSurface, DrvDisablePDEV
  // and, with the last device of the driver, DrvDisableDriver.
  void Close();

  const GDIINFO& Caps() const;
  const DEVINFO& Info() const;
  // The surface the driver enabled (or the memory bitmap), and whether it is drawn band by band.
  SURFOBJ* Surface() const;
  bool Banding() const;
  DWORD JobId() const;

  // ---- Documents and pages ----------------------------------------------------
  bool StartDoc(std::u16string_view documentName);
  bool StartPage();
  // DrvSendPage; on a banding surface instead DrvStartBanding and, for every
  // band the driver names with DrvNextBand, the page's drawing replayed with
  // the band's clip, until the driver answers (-1, -1).
  bool EndPage();
  bool EndDoc();
  // DrvEndDoc with ED_ABORTDOC; the spooler job is aborted.
  bool AbortDoc();
  // From now on EngCheckAbort answers TRUE for this device: the job was cancelled.
  void Cancel();
  // A new device with new settings continues the document (between pages):
  // DrvEnablePDEV, DrvCompletePDEV, DrvResetPDEV(old, new), then the old
  // surface and device are disabled and the new surface enabled.
  bool ResetDevice(const DEVMODEW* devMode);

  // ---- Drawing state ----------------------------------------------------------
  // The clip region: the union of the rectangles, in device pixels.
  void SetClip(const std::vector<RECTL>& rects);
  void ResetClip();
  void SetStretchMode(StretchMode mode);
  void SetBrushOrigin(POINTL origin);

  // ---- Drawing (device pixels; calls inside a page, or any time on a memory device)
  bool FillRect(const RECTL& rect, COLORREF color);
  // A brush with a ternary raster operation (pattern and destination).
  bool PatBlt(const RECTL& rect, const Brush& brush, BYTE rop3);
  // The image, or its `source` part, into `dest` (stretched when the sizes
  // differ, mirrored when a rectangle is inverted), combined with the
  // destination and `brush` by `rop3`.
  bool DrawImage(const Image& image, const RECTL& dest, const RECTL* source = nullptr,
                 BYTE rop3 = ROP3_SRCCOPY, const Brush* brush = nullptr);

 private:
  DeviceContext();
  std::unique_ptr<DeviceState> state_;
};

}  // namespace k460::engine
