// Text of the device context: the font is realised once per device (an
// engine font from the font files, or one of the driver's device fonts),
// the string laid out glyph by glyph, and the call handed to DrvTextOut or
// drawn by the engine.
#include <algorithm>
#include <cmath>

#include "platform/base/text.h"
#include "platform/engine/clip.h"
#include "platform/engine/dc_state.h"
#include "platform/engine/font_catalog.h"
#include "platform/engine/text.h"

namespace k460::engine {
namespace {

// The device fonts the driver reports, asked for once.
const std::vector<DeviceFontEntry>& DeviceFonts(Device& device) {
  if (device.deviceFonts) return *device.deviceFonts;
  device.deviceFonts.emplace();
  auto queryFont = device.Function<PFN_DrvQueryFont>(INDEX_DrvQueryFont);
  auto queryTree = device.Function<PFN_DrvQueryFontTree>(INDEX_DrvQueryFontTree);
  if (!queryFont || !device.driver) return *device.deviceFonts;
  ULONG count = std::min<ULONG>(device.devInfo.cFonts, 4096);
  for (ULONG face = 1; face <= count; ++face) {
    ULONG_PTR id = 0;
    IFIMETRICS* ifi = queryFont(device.dhpdev, 0, face, &id);
    if (!ifi || ifi->cjThis < sizeof(IFIMETRICS)) continue;
    DeviceFontEntry entry;
    entry.face = face;
    entry.metrics = ifi;
    // The face name lies within the record.
    if (ifi->dpwszFaceName >= static_cast<PTRDIFF>(sizeof(IFIMETRICS)) &&
        static_cast<ULONG>(ifi->dpwszFaceName) < ifi->cjThis) {
      const auto* name = reinterpret_cast<const char16_t*>(reinterpret_cast<const BYTE*>(ifi) + ifi->dpwszFaceName);
      size_t room = (ifi->cjThis - ifi->dpwszFaceName) / sizeof(char16_t);
      for (size_t i = 0; i < room && name[i]; ++i) entry.name.push_back(name[i]);
    }
    if (queryTree) entry.glyphs = static_cast<const FD_GLYPHSET*>(queryTree(device.dhpdev, 0, face, QFT_GLYPHSET, &id));
    device.deviceFonts->push_back(std::move(entry));
  }
  return *device.deviceFonts;
}

std::unique_ptr<EngineFont> EngineFace(const Font& font, std::u16string_view face, double em, SIZE resolution) {
  auto choice = FindFontFile(face, font.bold, font.italic);
  if (!choice) return nullptr;
  auto file = FontFile::Open(choice->path);
  if (!file) return nullptr;
  FontRequest request;
  request.file = file;
  request.face = choice->face;
  request.emHeight = em;
  request.escapement = font.escapement;
  request.simulateBold = font.bold && !choice->bold;
  request.simulateItalic = font.italic && !choice->italic;
  request.vertical = choice->vertical;
  request.resolution = resolution;
  return std::make_unique<EngineFont>(std::move(request));
}

std::unique_ptr<EngineFont> DeviceFace(DeviceState& state, const Font& font, double em, SIZE resolution) {
  if (!state.device || !state.driver) return nullptr;
  for (const DeviceFontEntry& entry : DeviceFonts(*state.device)) {
    if (!EqualsNoCase(entry.name, font.face)) continue;
    FontRequest request;
    request.face = entry.name;
    request.emHeight = em;
    request.escapement = font.escapement;
    request.simulateBold = font.bold;
    request.simulateItalic = font.italic;
    request.resolution = resolution;
    request.device = state.device;
    request.deviceFace = entry.face;
    request.deviceMetrics = entry.metrics;
    request.deviceGlyphs = entry.glyphs;
    return std::make_unique<EngineFont>(std::move(request));
  }
  return nullptr;
}

EngineFont* RealizeFont(DeviceState& state, const Font& font) {
  const GDIINFO& info = state.device->gdiInfo;
  LONG dpiX = info.ulLogPixelsX ? static_cast<LONG>(std::min<ULONG>(info.ulLogPixelsX, 100000)) : 72;
  LONG dpiY = info.ulLogPixelsY ? static_cast<LONG>(std::min<ULONG>(info.ulLogPixelsY, 100000)) : 72;
  double em = double(font.points) * dpiY / 72;
  std::string key = Utf16ToUtf8(font.face) + "|" + std::to_string(em) + "|" + std::to_string(font.escapement) + "|" +
                    (font.bold ? "b" : "") + (font.italic ? "i" : "") + (font.device ? "d" : "");
  auto& slot = state.fonts[key];
  if (slot) return slot.get();
  SIZE resolution{dpiX, dpiY};
  if (font.device) slot = DeviceFace(state, font, em, resolution);
  if (!slot) slot = EngineFace(font, font.face, em, resolution);
  if (!slot && !font.device) slot = DeviceFace(state, font, em, resolution);
  if (!slot) slot = EngineFace(font, kDefaultFace, em, resolution);
  if (!slot) {
    state.fonts.erase(key);
    return Fail(ERROR_FILE_NOT_FOUND, nullptr);  // not even the stand-in face is installed
  }
  return slot.get();
}

bool Result(BOOL ok) {
  if (!ok && GetLastError() == ERROR_SUCCESS) SetLastError(ERROR_GEN_FAILURE);
  return ok != FALSE;
}

RECTL Union(const RECTL& a, const RECTL& b) {
  if (RectEmpty(a)) return b;
  if (RectEmpty(b)) return a;
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

}  // namespace

bool DeviceContext::TextOut(POINTL baseline, std::u16string_view text, const Font& font, const TextOptions& options) {
  if (!std::isfinite(font.points) || font.points <= 0 || font.points > 10000) {
    return Fail(ERROR_INVALID_PARAMETER, false);
  }
  if (text.empty()) return true;
  TextCommand command;
  command.text.assign(text);
  command.baseline = baseline;
  command.font = font;
  command.options = options;
  return Draw(*state_, std::move(command));
}

bool RenderText(DeviceState& state, SURFOBJ* so, const Region& region, ULONG uniq, POINTL brushOrigin,
                const TextCommand& command, POINTL bandOrigin) {
  EngineFont* font = RealizeFont(state, command.font);
  if (!font) return false;
  Device& device = *state.device;
  POINTFIX origin{FixFromLong(command.baseline.x - bandOrigin.x), FixFromLong(command.baseline.y - bandOrigin.y)};
  EngineString string(*font, command.text, origin);
  STROBJ* so_ = string.Object();
  RECTL cell = so_->rclBkGround;
  EngineClip clip(region, Union(cell, string.InkBounds()), uniq);
  if (clip.Invisible()) return true;

  BrushSpec foreColour;
  foreColour.color = command.options.color & 0x00FFFFFF;
  EngineBrush fore(Definition(device, foreColour), state.device, so);
  std::optional<EngineBrush> opaque;
  if (command.options.background) {
    BrushSpec background;
    background.color = *command.options.background & 0x00FFFFFF;
    opaque.emplace(Definition(device, background), state.device, so);
  }
  // Underline and strike-out as rectangles along a horizontal baseline.
  std::vector<RECTL> extra;
  IFIMETRICS* ifi = font->Metrics();
  bool horizontal = so_->flAccel & SO_HORIZONTAL;
  if (ifi && ifi->fwdUnitsPerEm > 0 && horizontal && (command.options.underline || command.options.strikeOut)) {
    double s = font->Request().emHeight / ifi->fwdUnitsPerEm;
    LONG y = origin.y / 16;
    LONG right = so_->cGlyphs ? cell.right - 1 : cell.left;
    auto line = [&](double position, double size) {
      LONG top = y - static_cast<LONG>(std::lround(position * s));
      LONG height = std::max<LONG>(1, static_cast<LONG>(std::lround(size * s)));
      extra.push_back({origin.x / 16, top, right, top + height});
    };
    if (command.options.underline) line(ifi->fwdUnderscorePosition, ifi->fwdUnderscoreSize);
    if (command.options.strikeOut) line(ifi->fwdStrikeoutPosition + ifi->fwdStrikeoutSize, ifi->fwdStrikeoutSize);
  }
  if (!extra.empty()) extra.push_back({0, 0, 0, 0});
  RECTL* prclExtra = extra.empty() ? nullptr : extra.data();
  RECTL* prclOpaque = opaque ? &cell : nullptr;
  MIX mix = R2_COPYPEN | (R2_COPYPEN << 8);
  FLONG hooks = state.surface->hooks;
  SetLastError(ERROR_SUCCESS);
  if (prclOpaque && !(device.devInfo.flGraphicsCaps & GCAPS_OPAQUERECT)) {
    // The device cannot fill the cell itself: it is filled first.
    auto bitBlt = (hooks & HOOK_BITBLT) ? device.Function<PFN_DrvBitBlt>(INDEX_DrvBitBlt) : nullptr;
    if (!bitBlt) bitBlt = &EngBitBlt;
    if (!Result(bitBlt(so, nullptr, nullptr, clip.Object(), nullptr, &cell, nullptr, nullptr, opaque->Object(),
                       &brushOrigin, MakeRop4(ROP3_PATCOPY, ROP3_PATCOPY)))) {
      return false;
    }
    prclOpaque = nullptr;
  }
  BRUSHOBJ* opaqueBrush = opaque ? opaque->Object() : nullptr;
  if (hooks & HOOK_TEXTOUT) {
    if (auto textOut = device.Function<PFN_DrvTextOut>(INDEX_DrvTextOut)) {
      SetLastError(ERROR_SUCCESS);
      if (textOut(so, so_, font->Object(), clip.Object(), prclExtra, prclOpaque, fore.Object(), opaqueBrush,
                  &brushOrigin, mix)) {
        return true;
      }
    }
  }
  STROBJ_vEnumStart(so_);
  return Result(EngTextOut(so, so_, font->Object(), clip.Object(), prclExtra, prclOpaque, fore.Object(), opaqueBrush,
                           &brushOrigin, mix));
}

}  // namespace k460::engine
