#include "driver/winnt/printer/src/km/job_values.h"

#include "driver/winnt/printer/src/common/settings_codes.h"

namespace k460::hbgraph {

namespace {

constexpr std::int32_t kMinZoom = 250;
constexpr std::int32_t kMaxZoom = 4000;

std::int32_t PlacementOrderOf(const hostsettings::HostBlocks& b) {
  if (b.hsBooklet != 0) {
    // Left and top binding read the sheet from the other end.
    return (b.hsBookletBinding == 0 || b.hsBookletBinding == 2) ? kOrderReverse : kOrderAcross;
  }
  switch (b.hsNupOrder) {
    case 1: return kOrderDown;
    case 2: return kOrderAcrossFromRight;
    case 3: return kOrderDownFromRight;
    default: return kOrderAcross;
  }
}

}  // namespace

std::int32_t PagesPerSheetOf(std::int32_t nup) {
  switch (nup) {
    case 1: return 2;
    case 3: return 4;
    case 5: return 8;
    default: return 1;
  }
}

JobValues DeriveJobValues(const hostsettings::HostSettings& settings, std::int32_t pagePaper, std::int32_t resolution) {
  const hostsettings::HostBlocks& b = settings.blocks;
  JobValues v;
  v.pagesPerSheet = PagesPerSheetOf(b.hsNup);
  v.placementOrder = PlacementOrderOf(b);
  v.booklet = b.hsBooklet != 0;
  v.outputPaper = pagePaper;
  if (v.booklet) {
    v.outputPaper = hostsettings::BookletPaperCode(b.hsBooklet).value_or(pagePaper);
  } else if (b.hsZoomToPaper == 1) {
    v.outputPaper = b.hsZoomPaper;
  }
  v.zoom = (b.hsZoom >= kMinZoom && b.hsZoom <= kMaxZoom) ? b.hsZoom : kDefaultZoom;
  if (b.hsZoomToPaper == 1) {
    v.fit = b.hsFitToPaper != 0;
  } else {
    v.fit = v.zoom == kDefaultZoom;
  }
  v.duplex = b.hsDuplex == 1;
  v.border = b.hsNupBorder == 1;
  v.borderWidth = resolution / 200;
  v.nupContinuation = b.hsNup != 0;
  return v;
}

}  // namespace k460::hbgraph
