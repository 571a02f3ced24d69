// The state behind a DeviceContext: the enabled device and surface, the
// document and page state, the drawing state and, on banding surfaces, the
// page's drawing kept for replay band by band.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/engine/device.h"
#include "platform/engine/device_context.h"
#include "platform/engine/region.h"
#include "platform/engine/surface.h"

namespace k460::engine {

// A brush as the device context keeps it: the pattern is the engine's copy.
struct BrushSpec {
  Brush::Kind kind = Brush::Kind::Solid;
  COLORREF color = 0;
  ULONG hatch = 0;
  std::shared_ptr<Surface> pattern;
  PaletteData patternPalette;
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

// Later kinds of drawing (paths, text) join this list with a renderer each.
using DrawCommand = std::variant<FillCommand, ImageCommand>;

struct RecordedCommand {
  DrawCommand command;
  std::optional<Region> clip;  // page pixels; none: the whole page
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
  StretchMode stretchMode = StretchMode::ColorOnColor;
  POINTL brushOrigin{};

  bool Banding() const { return surface && surface->banding && driver; }
};

// Draws one command on the device surface for the band whose top left
// corner is page pixel `bandOrigin` (0, 0 without banding).
bool RenderCommand(DeviceState& state, const RecordedCommand& command, POINTL bandOrigin);

}  // namespace k460::engine
