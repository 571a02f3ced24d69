#include "driver/winnt/printer/src/km/sheet_output.h"

#include "driver/winnt/printer/src/km/device_surface.h"
#include "driver/winnt/printer/src/km/driver_state.h"
#include "driver/winnt/printer/src/km/page_fields.h"
#include "driver/winnt/printer/src/km/page_record/page_record_writer.h"

namespace k460::hbgraph {

namespace {

// Frames around the printable areas of the pages placed on the sheet so far.
void DrawFrames(const HbDevice& d) {
  const std::int32_t pages = std::max(1, d.job.pagesPerSheet);
  const std::int32_t last = (static_cast<std::int32_t>(std::max<std::uint32_t>(d.logicalPages, 1)) - 1) % pages;
  const PlacementInputs placement = d.Placement();
  const SheetBits sheet = SheetOf(d);
  for (std::int32_t k = 0; k <= last; ++k) {
    const PageView view = LogicalPageView(k + 1, placement);
    DrawFrame(sheet, view.x, view.y, view.extent, d.job.borderWidth);
  }
}

}  // namespace

Composition SideComposition(const HbDevice& d, bool backSide) {
  const SheetShifts& s = d.finishing.shifts;
  Composition c;
  c.marginX = c.marginY = d.geometry.margin;
  if (backSide) {
    c.shiftX = s.backX;
    c.shiftY = s.backY;
    c.turned = s.backTurn;
    if (c.turned) c.shiftY = -c.shiftY;
  } else {
    c.shiftX = s.frontX;
    c.shiftY = s.frontY;
  }
  if (d.finishing.codes.angle != 0) {
    c.turned = !c.turned;
    c.shiftY = -c.shiftY;
  }
  return c;
}

SheetWrite WriteSheet(HbDevice& d) {
  SheetWrite result;
  if (d.settings.blocks.hsSkipBlankPages != 0 && !d.marked) return result;
  if (!d.sheet || !d.scratch) {
    SetLastError(ERROR_INVALID_PARAMETER);
    result.ok = false;
    return result;
  }
  const PageFields fields = MakePageFields(d);
  if (d.job.border) DrawFrames(d);
  ComposeRaster(SheetOf(d), ScratchOf(d), SideComposition(d, d.backSide));
  const std::span<const std::uint8_t> raster(d.scratch.get(), d.geometry.sheetBytes);
  result.ok = hostbased::WritePageRecord(fields.info, fields.header, raster, pagestream::RecordForm::kFull,
                                         hostbased::PrinterWriteFunction(d.hPrinter)) != FALSE;
  result.written = result.ok;
  if (result.written) ++Document().sheets;
  return result;
}

}  // namespace k460::hbgraph
