// The state behind a DeviceContext: the enabled device and surface, the
// document and page state, the drawing state and, on banding surfaces, the
// page's drawing kept for replay band by band.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/engine/brush.h"
#include "platform/engine/device.h"
#include "platform/engine/device_context.h"
#include "platform/engine/font.h"
#include "platform/engine/path.h"
#include "platform/engine/region.h"
#include "platform/engine/surface.h"
#include "platform/engine/xform.h"

namespace k460::engine {

// A brush as the device context keeps it: the pattern is the engine's copy.
struct BrushSpec {
  Brush::Kind kind = Brush::Kind::Solid;
  COLORREF color = 0;
  ULONG hatch = 0;
  COLORREF background = 0xFFFFFF;
  std::shared_ptr<Surface> pattern;
  PaletteData patternPalette;
};

// A pen as line attributes (the style array is kept here).
struct PenSpec {
  BrushSpec brush;
  FLONG fl = 0;  // LA_GEOMETRIC, LA_STYLED, LA_ALTERNATE
  FLOATL width = 0;
  ULONG join = JOIN_ROUND;
  ULONG cap = ENDCAP_ROUND;
  FLOATL miterLimit = 10;
  std::vector<FLOAT_LONG> style;
};

// Lines, curves and filled shapes, in page pixels (28.4).
struct PathCommand {
  enum class Op { Stroke, Fill, StrokeAndFill };
  Op op = Op::Stroke;
  std::vector<PathFigure> figures;
  std::optional<PenSpec> pen;
  std::optional<BrushSpec> fill;
  bool winding = false;
  MIX mix = R2_COPYPEN;
  XFORML xform = kIdentity;  // world to page
  bool wholeLine = false;    // one line between whole pixels, for DrvLineTo
};

struct FillCommand {
  RECTL rect{};
  BrushSpec brush;
  BYTE rop3 = ROP3_PATCOPY;
};

struct ImageCommand {
  std::shared_ptr<Surface> source;
  PaletteData sourcePalette;
  RECTL dest{};
  RECTL src{};
  BYTE rop3 = ROP3_SRCCOPY;
  std::optional<BrushSpec> brush;
  ULONG stretchMode = COLORONCOLOR;
};

struct TextCommand {
  std::u16string text;
  POINTL baseline{};  // page pixels
  Font font;
  TextOptions options;
};

// Every kind of drawing, with a renderer each.
using DrawCommand = std::variant<FillCommand, ImageCommand, PathCommand, TextCommand>;

struct RecordedCommand {
  DrawCommand command;
  std::optional<Region> clip;  // page pixels; none: the whole page
  ULONG clipVersion = 0;       // changes with every new clip region
  POINTL brushOrigin{};
};

enum class DocState { Idle, InDocument, InPage };

struct DeviceState {
  std::shared_ptr<DriverLibrary> driver;  // null for a memory device
  std::shared_ptr<Device> device;         // the driver's device, or a bare one for a memory device
  std::shared_ptr<Surface> surface;
  HANDLE printer = nullptr;
  DeviceOptions options;
  std::vector<BYTE> devMode;
  DocState doc = DocState::Idle;
  std::u16string documentName;
  std::vector<RecordedCommand> page;  // banding surfaces: the page's drawing
  std::optional<Region> clip;
  ULONG clipVersion = 1;
  StretchMode stretchMode = StretchMode::ColorOnColor;
  POINTL brushOrigin{};
  MIX mix = R2_COPYPEN;
  XFORML xform = kIdentity;
  std::map<std::string, std::unique_ptr<EngineFont>> fonts;  // realised for this device

  bool Banding() const { return surface && surface->banding && driver; }
};

// Hands a drawing call to the device: at once, or kept for the bands.
bool Draw(DeviceState& state, DrawCommand command);

// Draws one command on the device surface for the band whose top left
// corner is page pixel `bandOrigin` (0, 0 without banding), the band'th of the page.
bool RenderCommand(DeviceState& state, const RecordedCommand& command, POINTL bandOrigin, ULONG band);
bool RenderText(DeviceState& state, SURFOBJ* so, const Region& region, ULONG uniq, POINTL brushOrigin,
                const TextCommand& command, POINTL bandOrigin);
bool RenderPath(DeviceState& state, SURFOBJ* so, const Region& region, ULONG uniq, POINTL brushOrigin,
                const PathCommand& command, POINTL bandOrigin);
// The brush the engine hands the device for a brush the device context keeps.
BrushDefinition Definition(const Device& device, const BrushSpec& spec);
// Brushes and pens as the device context keeps them (false: refused, with the reason).
bool MakeBrush(const Brush& brush, BrushSpec& spec);
bool MakePen(const Pen& pen, PenSpec& out);
// The page's pixels: the surface, or the page a banding surface is a band of.
RECTL PageBounds(const DeviceState& state);

}  // namespace k460::engine
