// The print host's document model: what `k460 print` reads from a page
// script, an image or a PDF, before any driver is involved. A document is a
// list of pages; a page is a list of drawing operations played in order.
//
// Page units: 1/600 inch (one dot of the drivers' 600-dpi device space),
// as doubles, so that millimetre and point values lose nothing before the
// engine adapter rounds them to device pixels. The origin is the top-left
// corner of the physical page, x to the right, y downward.
//
// Drawing state (pen, brush, font, text colour, clip) is set by operations
// of its own and stays until changed or until the page ends; every page
// starts from the defaults below (PlayPage emits them, see page_sink.h).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace k460::print {

inline constexpr double kUnitsPerInch = 600.0;
inline constexpr double kUnitsPerPoint = kUnitsPerInch / 72.0;
inline constexpr double kUnitsPerMillimetre = kUnitsPerInch / 25.4;

struct Point {
  double x = 0;
  double y = 0;
  bool operator==(const Point&) const = default;
};

struct Size {
  double width = 0;
  double height = 0;
  bool operator==(const Size&) const = default;
};

// Edges in page units; right > left and bottom > top for a non-empty rectangle.
struct Rect {
  double left = 0;
  double top = 0;
  double right = 0;
  double bottom = 0;
  double Width() const { return right - left; }
  double Height() const { return bottom - top; }
  static Rect FromSize(double x, double y, double width, double height) { return {x, y, x + width, y + height}; }
  bool operator==(const Rect&) const = default;
};

// A gray level or an RGB colour, 8 bits a channel. Gray 0 is black and 255
// white (a pixel value, not an ink coverage); a gray colour keeps its level
// in all three channels.
struct Color {
  enum class Space : std::uint8_t { Gray, Rgb };
  Space space = Space::Gray;
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;

  static constexpr Color Gray(std::uint8_t level) { return {Space::Gray, level, level, level}; }
  static constexpr Color Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) { return {Space::Rgb, r, g, b}; }
  static constexpr Color Black() { return Gray(0); }
  static constexpr Color White() { return Gray(255); }
  // The gray level a monochrome device prints: the level itself, or the
  // luminance (ITU-R BT.601 weights) of an RGB colour.
  std::uint8_t Level() const;
  bool operator==(const Color&) const = default;
};

// Pen: width 0 draws the thinnest line the device can; the named styles are
// the device's own dash patterns, Custom uses `dashes` (on, off, on, ...
// lengths in page units).
enum class PenStyle : std::uint8_t { None, Solid, Dash, Dot, DashDot, DashDotDot, Custom };
struct Pen {
  PenStyle style = PenStyle::Solid;
  double width = 0;
  Color color = Color::Black();
  std::vector<double> dashes;
  bool operator==(const Pen&) const = default;
};

// Brush: fills rectangles and polygons. Hatch lines and the 1 bits of a
// pattern are painted in `color`; the rest of the area is left as it is.
// A pattern is 8 rows of 8 pixels, the top row first, the most significant
// bit the leftmost pixel; it repeats from the page origin.
enum class BrushKind : std::uint8_t { None, Solid, Hatch, Pattern };
enum class HatchStyle : std::uint8_t { Horizontal, Vertical, ForwardDiagonal, BackwardDiagonal, Cross, DiagonalCross };
struct Brush {
  BrushKind kind = BrushKind::None;
  Color color = Color::Black();
  HatchStyle hatch = HatchStyle::Horizontal;
  std::array<std::uint8_t, 8> pattern{};
  bool operator==(const Brush&) const = default;
};

// A font by face name as the engine knows it; `size` is the em height in
// page units; `angle` turns the baseline counter-clockwise, in degrees.
struct Font {
  std::string face = "Courier";
  double size = 12 * kUnitsPerPoint;
  bool bold = false;
  bool italic = false;
  double angle = 0;
  bool operator==(const Font&) const = default;
};

// How a self-intersecting outline is filled: alternate (even-odd) or winding (non-zero).
enum class FillMode : std::uint8_t { Alternate, Winding };

// An outline for clipping: figures of lines and cubic Béziers. MoveTo and
// LineTo use points[0]; BezierTo has two control points and the end point;
// Close joins the figure back to its start.
struct PathSegment {
  enum class Kind : std::uint8_t { MoveTo, LineTo, BezierTo, Close };
  Kind kind = Kind::MoveTo;
  std::array<Point, 3> points{};
  bool operator==(const PathSegment&) const = default;
};
using Path = std::vector<PathSegment>;

// Pixels of an image, rows top first, each row `stride` bytes.
// Gray1: 8 pixels a byte, the most significant bit leftmost, 1 white, 0 black.
// Gray8: one byte a pixel, 0 black to 255 white. Rgb24: red, green, blue bytes.
enum class PixelFormat : std::uint8_t { Gray1, Gray8, Rgb24 };
struct Raster {
  int width = 0;
  int height = 0;
  PixelFormat format = PixelFormat::Gray8;
  std::size_t stride = 0;
  std::vector<std::uint8_t> pixels;

  static std::size_t StrideFor(PixelFormat format, int width);
  // A white raster of the given size (stride from StrideFor).
  static Raster White(int width, int height, PixelFormat format);
  std::uint8_t* Row(int y) { return pixels.data() + static_cast<std::size_t>(y) * stride; }
  const std::uint8_t* Row(int y) const { return pixels.data() + static_cast<std::size_t>(y) * stride; }
  // The pixel at (x, y), which must lie inside, as a colour (Gray for the gray formats).
  Color At(int x, int y) const;
};

// ---- Operations -------------------------------------------------------------
// State.
struct PenOp {
  Pen pen;
  bool operator==(const PenOp&) const = default;
};
struct BrushOp {
  Brush brush;
  bool operator==(const BrushOp&) const = default;
};
struct FontOp {
  Font font;
  bool operator==(const FontOp&) const = default;
};
struct TextColorOp {
  Color color;
  bool operator==(const TextColorOp&) const = default;
};
// Each clip operation replaces the page's clip; ResetClipOp removes it.
struct ClipRectOp {
  Rect rect;
  bool operator==(const ClipRectOp&) const = default;
};
struct ClipPathOp {
  Path path;
  FillMode mode = FillMode::Alternate;
  bool operator==(const ClipPathOp&) const = default;
};
struct ResetClipOp {
  bool operator==(const ResetClipOp&) const = default;
};

// Drawing. Lines and curves use the pen; rectangles and polygons are filled
// with the brush, then outlined with the pen. Text is drawn in the font and
// the text colour, `origin` being the left end of its baseline.
struct TextOp {
  Point origin;
  std::u16string text;
  bool operator==(const TextOp&) const = default;
};
struct LineOp {
  Point from;
  Point to;
  bool operator==(const LineOp&) const = default;
};
struct PolylineOp {
  std::vector<Point> points;  // two or more
  bool operator==(const PolylineOp&) const = default;
};
// Cubic Béziers: the start point, then three points (two controls and the
// end) for each curve, each curve starting where the previous one ended.
struct BezierOp {
  std::vector<Point> points;  // 1 + 3n, n >= 1
  bool operator==(const BezierOp&) const = default;
};
struct RectangleOp {
  Rect rect;
  bool operator==(const RectangleOp&) const = default;
};
struct PolygonOp {
  std::vector<Point> points;  // three or more; closed implicitly
  FillMode mode = FillMode::Alternate;
  bool operator==(const PolygonOp&) const = default;
};
// An image stretched (or shrunk) to fill `dest`. The raster is shared, so
// copying pages does not copy pixels.
struct ImageOp {
  std::shared_ptr<const Raster> raster;
  Rect dest;
  bool operator==(const ImageOp&) const = default;
};

using Operation = std::variant<PenOp, BrushOp, FontOp, TextColorOp, ClipRectOp, ClipPathOp, ResetClipOp, TextOp, LineOp,
                               PolylineOp, BezierOp, RectangleOp, PolygonOp, ImageOp>;

// ---- Pages and documents ----------------------------------------------------
enum class Orientation : std::uint8_t { Unspecified, Portrait, Landscape };

// What the document says about its page; hints only: the job's settings
// decide the paper. `size` is the page as the document laid it out (already
// turned for landscape); `mediaName` the paper it named, if any.
struct PageSetup {
  std::optional<Size> size;
  std::string mediaName;
  Orientation orientation = Orientation::Unspecified;
  bool operator==(const PageSetup&) const = default;
};

struct Page {
  PageSetup setup;
  std::vector<Operation> operations;
  // Things the reader noticed that did not stop the page (e.g. the PDF
  // library's complaints about a repaired file), each naming file and page.
  std::vector<std::string> warnings;
};

struct Document {
  std::string source;  // the file name as given
  std::vector<Page> pages;
};

// The defaults every page starts from.
inline const Pen kDefaultPen{};
inline const Brush kDefaultBrush{};
inline const Font kDefaultFont{};
inline constexpr Color kDefaultTextColor = Color::Black();

}  // namespace k460::print
