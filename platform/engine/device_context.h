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
  COLORREF background = 0xFFFFFF;  // between hatch lines

  static Brush Solid(COLORREF c) { return {Kind::Solid, c, 0, {}}; }
  static Brush Pattern(Image image) { return {Kind::Pattern, 0, 0, std::move(image)}; }
  // HS_HORIZONTAL ... HS_DIAGCROSS lines of `c` over `back`, tiled from the brush origin.
  static Brush Hatched(ULONG style, COLORREF c, COLORREF back = 0xFFFFFF) {
    return {Kind::Hatch, c, style, {}, back};
  }
  static Brush None() { return {Kind::Null, 0, 0, {}}; }
};

// A pen: cosmetic (one pixel wide whatever the transform) when its width
// is 0, else geometric, widened by `width` world units with its joins and
// end caps. Dashes are style units of the device for cosmetic pens (the
// device's style steps say how many pixels a unit is), world units for
// geometric ones; the predefined styles are dash 3-1, dot 1-1, dash-dot
// 3-1-1-1 and dash-dot-dot 3-1-1-1-1-1, in multiples of the width for
// geometric pens.
struct Pen {
  enum class Style { Solid, Dash, Dot, DashDot, DashDotDot, Alternate, Custom, Null };
  Style style = Style::Solid;
  Brush brush = Brush::Solid(0);
  FLOATL width = 0;
  ULONG join = JOIN_ROUND;
  ULONG cap = ENDCAP_ROUND;
  FLOATL miterLimit = 10;
  std::vector<FLOATL> dashes;  // Custom: on, off, on, ... lengths

  static Pen Solid(COLORREF c, FLOATL width = 0) {
    Pen p;
    p.brush = Brush::Solid(c);
    p.width = width;
    return p;
  }
  static Pen None() {
    Pen p;
    p.style = Style::Null;
    return p;
  }
};

enum class FillMode { Alternate, Winding };

// A font by face name and size. The engine's fonts are TrueType and
// OpenType files of the system's font packages: "Arial", "Times New Roman",
// "Courier New" (Liberation), "DejaVu Sans/Serif/Sans Mono", "MS Mincho",
// "MS PMincho", "MS Gothic", "MS PGothic" and their Japanese names (IPA),
// the PostScript faces "Times", "Courier", "Helvetica", "Palatino",
// "Bookman", "AvantGarde", "NewCenturySchlbk", "ZapfChancery", "Symbol",
// "ZapfDingbats" (URW; not TrueType). A name the engine does not have is
// looked for among the driver's device fonts (first, with `device`), else
// "DejaVu Sans" stands in. "@face" is the face for vertical writing.
struct Font {
  std::u16string face = u"Arial";
  FLOATL points = 12;    // em height; pixels = points x the device's dots per inch / 72
  bool bold = false;     // simulated where the family has no bold face
  bool italic = false;   // simulated where the family has no italic face
  LONG escapement = 0;   // the baseline's angle, tenths of a degree counter-clockwise
  bool device = false;   // prefer the driver's device font of that name
};

struct TextOptions {
  COLORREF color = 0;
  std::optional<COLORREF> background;  // fills the text's cell
  bool underline = false;              // horizontal text only
  bool strikeOut = false;
};

// Figures of lines and Bezier curves in world coordinates (device pixels
// unless a world transform is set), whole or in 28.4 fixed point. A line
// or curve without a figure begins one; after Close the next one begins
// at the closed figure's start.
class Path {
 public:
  struct Op {
    enum class Kind { Move, Line, Bezier, Close };
    Kind kind;
    POINTFIX p[3];
  };
  Path& MoveTo(LONG x, LONG y) { return MoveToFix(Fix({x, y})); }
  Path& LineTo(LONG x, LONG y) { return LineToFix(Fix({x, y})); }
  Path& BezierTo(POINTL c1, POINTL c2, POINTL end) { return BezierToFix(Fix(c1), Fix(c2), Fix(end)); }
  Path& MoveToFix(POINTFIX p) { return Push(Op::Kind::Move, p, {}, {}); }
  Path& LineToFix(POINTFIX p) { return Push(Op::Kind::Line, p, {}, {}); }
  Path& BezierToFix(POINTFIX c1, POINTFIX c2, POINTFIX end) { return Push(Op::Kind::Bezier, c1, c2, end); }
  Path& Close() { return Push(Op::Kind::Close, {}, {}, {}); }
  const std::vector<Op>& Ops() const { return ops_; }
  bool Empty() const { return ops_.empty(); }

 private:
  // Whole units in 28.4, kept within what the engine draws (2^22 units).
  static POINTFIX Fix(POINTL p) {
    auto one = [](LONG v) { return static_cast<FIX>((v < -(1 << 22) ? -(1 << 22) : v > (1 << 22) ? (1 << 22) : v) * 16); };
    return {one(p.x), one(p.y)};
  }
  Path& Push(Op::Kind kind, POINTFIX a, POINTFIX b, POINTFIX c) {
    ops_.push_back(Op{kind, {a, b, c}});
    return *this;
  }
  std::vector<Op> ops_;
};

struct DeviceOptions {
  std::u16string deviceName;  // the printer's name, passed to DrvEnablePDEV
  std::u16string logAddress;  // the port or output file, passed to DrvEnablePDEV
  ULONG engineVersion = ENGINE_VERSION;
  std::u16string outputFile = u"";  // where a job on a file port goes (empty: the port's own choice)
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
  // The binary mix of lines, curves and filled shapes (R2_COPYPEN at first).
  void SetMix(MIX mix);
  // World to device for lines, curves and filled shapes (the identity at
  // first); rectangles, fills and images stay in device pixels.
  void SetWorldTransform(const XFORML& xform);
  void ResetWorldTransform();
  // The clip region becomes the inside of the path (by its fill mode).
  bool SetClipPath(const Path& path, FillMode mode);

  // ---- Drawing (device pixels; calls inside a page, or any time on a memory device)
  bool FillRect(const RECTL& rect, COLORREF color);
  // A brush with a ternary raster operation (pattern and destination).
  bool PatBlt(const RECTL& rect, const Brush& brush, BYTE rop3);
  // The image, or its `source` part, into `dest` (stretched when the sizes
  // differ, mirrored when a rectangle is inverted), combined with the
  // destination and `brush` by `rop3`.
  bool DrawImage(const Image& image, const RECTL& dest, const RECTL* source = nullptr,
                 BYTE rop3 = ROP3_SRCCOPY, const Brush* brush = nullptr);

  // ---- Lines, curves and filled shapes (world coordinates; Pen::None or
  // Brush::None leaves the outline or the inside out). Each becomes the
  // driver's DrvLineTo (a solid cosmetic line between whole pixels),
  // DrvStrokePath, DrvFillPath or DrvStrokeAndFillPath when hooked (with
  // curves only when the device reports GCAPS_BEZIERS, else flattened; wide
  // geometric lines only with GCAPS_GEOMETRICWIDE, else the engine widens
  // them and fills the outline; fills only with the fill mode's GCAPS bit).
  // What the driver does not take, or refuses, is drawn by the engine as
  // the pixels covered: DrvPaint, or DrvBitBlt, with a clip of those
  // pixels, or the engine's own EngBitBlt.
  bool StrokePath(const Path& path, const Pen& pen);
  bool FillPath(const Path& path, const Brush& brush, FillMode mode = FillMode::Alternate);
  bool StrokeAndFillPath(const Path& path, const Pen& pen, const Brush& brush, FillMode mode = FillMode::Alternate);
  bool Line(POINTL from, POINTL to, const Pen& pen);
  bool Polyline(const std::vector<POINTL>& points, const Pen& pen);
  // A start point and three points (two control points and an end) per curve.
  bool PolyBezier(const std::vector<POINTL>& points, const Pen& pen);
  // The closed figure through the four corners.
  bool Rectangle(const RECTL& rect, const Pen& pen, const Brush& brush);
  bool Polygon(const std::vector<POINTL>& points, const Pen& pen, const Brush& brush,
               FillMode mode = FillMode::Alternate);

  // ---- Text (device pixels): `baseline` is where the first glyph's
  // baseline starts. Becomes DrvTextOut when hooked (the opaque rectangle
  // drawn first by a DrvBitBlt or the engine when the device lacks
  // GCAPS_OPAQUERECT), else, or when refused, EngTextOut.
  bool TextOut(POINTL baseline, std::u16string_view text, const Font& font, const TextOptions& options = {});

 private:
  DeviceContext();
  std::unique_ptr<DeviceState> state_;
};

}  // namespace k460::engine
