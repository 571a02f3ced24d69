// Stapling and punching as the page header codes them, and the binding and
// finishing shifts that move the front and back pages on the sheet.
#pragma once

#include <cstdint>
#include <optional>

#include "driver/winnt/printer/src/common/host_settings.h"

namespace k460::hbgraph {

// One part of a finishing row: the direction of the front shift and what the
// page header carries.
struct FinishingPart {
  std::int16_t signX = 0;
  std::int16_t signY = 0;
  std::int16_t punch = 0;
  std::int16_t punchHoles = 0;
  std::int16_t staple = 0;
  std::int16_t staplePoint = 0;
  std::int16_t turn = 0;   // the device turns the sheet for this finishing
  std::int16_t angle = 0;  // the image is rotated by 180 degrees

  bool operator==(const FinishingPart&) const = default;
  // Rows without finishing carry zeros only.
  bool Active() const { return punch != 0 || staple != 0; }
};

// The part (0 to 3) of the first row with these keys; nothing when no row
// has them (a negative key finds nothing). `part` = landscape x 2 + long paper.
std::optional<FinishingPart> FindFinishing(std::int32_t stapleKey, std::int32_t punchKey, std::int32_t part);

struct SheetShifts {
  std::int32_t frontX = 0;  // pixels; positive moves right or down
  std::int32_t frontY = 0;
  std::int32_t backX = 0;
  std::int32_t backY = 0;
  bool backTurn = false;    // the back page is turned by 180 degrees
};

struct Finishing {
  FinishingPart codes;      // zeros without finishing
  bool active = false;      // staple or punch is on and its row finishes the sheet
  SheetShifts shifts;
};

struct FinishingInputs {
  bool enabled = true;        // the driver takes part in finishing (not the fax driver)
  bool booklet = false;
  bool duplex = false;
  bool landscape = false;     // the logical page's orientation (the sheet's, turned back for 2 and 8 up)
  bool longPaper = false;     // longer side above 297.0 mm, or a custom size
  bool sheetTurn = false;     // the sheet's paper side is turned by the device
  std::int32_t resolution = 600;
};

Finishing ComputeFinishing(const hostsettings::HostBlocks& blocks, const FinishingInputs& in);

// A shift in tenths of a millimetre as pixels: (|shift| x resolution + 127) /
// 254 with the shift's sign, so a margin moves front and back pages alike.
std::int32_t ShiftPixels(std::int32_t tenthMm, std::int32_t resolution);

}  // namespace k460::hbgraph
