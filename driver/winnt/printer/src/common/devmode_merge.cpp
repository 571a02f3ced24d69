// Merging a caller's device mode into the user interface's own.
#include <algorithm>

#include "driver/winnt/printer/src/common/block_copy.h"
#include "driver/winnt/printer/src/common/devmode_conversion.h"
#include "driver/winnt/printer/src/common/settings_codes.h"

namespace k460::hostsettings {
namespace {

void MergePaper(DEVMODEW& out, const IncomingDevMode& caller, const PaperTable& papers) {
  const DEVMODEW& in = caller.record.dm;
  if (!caller.IsMarked(DM_PAPERSIZE)) return;
  const auto position = papers.FindWindowsCode(in.dmPaperSize);
  if (!position && in.dmPaperSize != kFreeSizePaperCode) return;
  out.dmPaperSize = in.dmPaperSize;
  if (in.dmPaperSize < kFreeSizePaperCode) {
    out.dmPaperLength = 0;
    out.dmPaperWidth = 0;
  } else if (in.dmPaperSize > kFreeSizePaperCode) {
    out.dmPaperLength = papers[*position].portrait.length;
    out.dmPaperWidth = papers[*position].portrait.width;
  } else {
    if (caller.IsMarked(DM_PAPERLENGTH)) out.dmPaperLength = in.dmPaperLength;
    if (caller.IsMarked(DM_PAPERWIDTH)) out.dmPaperWidth = in.dmPaperWidth;
  }
}

// One resolution for all three fields: the print quality, else the Y
// resolution, when it is in the table.
void MergeResolution(DEVMODEW& out, const IncomingDevMode& caller, HostVariant variant) {
  const DEVMODEW& in = caller.record.dm;
  SHORT resolution = 0;
  if (caller.IsMarked(DM_PRINTQUALITY) && IsTableResolution(in.dmPrintQuality, variant))
    resolution = in.dmPrintQuality;
  else if (caller.IsMarked(DM_YRESOLUTION) && IsTableResolution(in.dmYResolution, variant))
    resolution = in.dmYResolution;
  if (resolution == 0) return;
  out.dmPrintQuality = resolution;
  out.dmYResolution = resolution;
  out.dmLogPixels = static_cast<WORD>(resolution);
}

}  // namespace

void MergeDevMode(HostDevMode& target, const IncomingDevMode& caller, const PaperTable& papers) {
  if (!caller.complete) return;
  const HostVariant variant = papers.variant();
  const DEVMODEW& in = caller.record.dm;
  DEVMODEW& out = target.dm;

  MergePaper(out, caller, papers);
  if (caller.IsMarked(DM_FORMNAME)) {
    std::copy(std::begin(in.dmFormName), std::end(in.dmFormName), out.dmFormName);
    out.dmFormName[CCHFORMNAME - 1] = u'\0';
  }
  if (caller.IsMarked(DM_DEFAULTSOURCE))
    out.dmDefaultSource = static_cast<SHORT>(SourceBinOfIndex(SourceIndexOfBin(in.dmDefaultSource)));
  MergeResolution(out, caller, variant);
  if (caller.IsMarked(DM_COPIES)) out.dmCopies = static_cast<SHORT>(std::clamp<std::int32_t>(in.dmCopies, 1, MaxCopies(variant)));
  if (caller.IsMarked(DM_ORIENTATION))
    out.dmOrientation = in.dmOrientation == DMORIENT_LANDSCAPE ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;

  const std::int32_t privateCollate = caller.record.dpCollate;
  target.dpCollate = privateCollate == 0 || privateCollate == 1 ? privateCollate : 0;
  if (caller.IsMarked(DM_COLLATE)) target.dpCollate = in.dmCollate == DMCOLLATE_TRUE ? 1 : 0;
  out.dmCollate = static_cast<SHORT>(target.dpCollate);

  CopyBlocks(caller.record.blocks, target.blocks, variant);
}

}  // namespace k460::hostsettings
