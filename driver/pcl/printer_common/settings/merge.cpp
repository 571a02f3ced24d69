#include <new>
#include <utility>

#include "driver/pcl/printer_common/settings/paper_table.h"
#include "driver/pcl/printer_common/settings/settings.h"
#include "platform/base/base.h"

namespace {

bool HasPrivSignature(const JobSettings& record) { return record.pv.pvSignature == kPrivSignature; }

// Copies a public field from the scratch into the target when the incoming
// record marks it, replacing values out of range, and marks it in the target.
void MergePublicFields(JobSettings& target, const JobSettings& scratch) {
  const DWORD fields = LeGet(scratch.dm.dmFields);
  DWORD targetFields = LeGet(target.dm.dmFields);
  auto take = [&](DWORD bit, SHORT DEVMODEW::*field, auto accept, SHORT otherwise) {
    if (!(fields & bit)) return;
    const SHORT value = LeGet(scratch.dm.*field);
    LeSet(target.dm.*field, accept(value) ? value : otherwise);
    targetFields |= bit;
  };
  take(DM_DEFAULTSOURCE, &DEVMODEW::dmDefaultSource, [](SHORT) { return true; }, 0);
  take(DM_ORIENTATION, &DEVMODEW::dmOrientation,
       [](SHORT v) { return v == DMORIENT_PORTRAIT || v == DMORIENT_LANDSCAPE; }, DMORIENT_PORTRAIT);
  take(DM_COPIES, &DEVMODEW::dmCopies, [](SHORT v) { return v >= 1 && v <= 999; }, 1);
  take(DM_PRINTQUALITY, &DEVMODEW::dmPrintQuality, [](SHORT v) { return v == 600 || v == 300; }, 600);
  take(DM_COLOR, &DEVMODEW::dmColor, [](SHORT v) { return v == DMCOLOR_COLOR; }, DMCOLOR_MONOCHROME);
  if (fields & DM_DUPLEX) {
    const SHORT duplex = LeGet(scratch.dm.dmDuplex);
    if (duplex == DMDUP_SIMPLEX || duplex == DMDUP_VERTICAL || duplex == DMDUP_HORIZONTAL || duplex == 100 ||
        duplex == 101) {
      LeSet(target.dm.dmDuplex, duplex);
      targetFields |= DM_DUPLEX;
    } else {
      LeSet(target.dm.dmDuplex, DMDUP_SIMPLEX);
    }
  }
  LeSet(target.dm.dmFields, targetFields);
}

// Brings the scratch's paper code into the paper table or the custom range.
void CheckPaperCode(JobSettings& scratch, SHORT fallback) {
  const SHORT code = LeGet(scratch.dm.dmPaperSize);
  if (const int index = FindPaperIndex(code); index >= 0) {
    scratch.pv.pvPaperIndex = index;
  } else if (code < kFirstCustomPaperCode) {
    LeSet(scratch.dm.dmPaperSize, fallback);
  } else if (code > kLastCustomPaperCode) {
    LeSet(scratch.dm.dmPaperLength, 0);
    LeSet(scratch.dm.dmPaperWidth, 0);
    LeSet(scratch.dm.dmPaperSize, fallback);
  }
}

// Tenths of a millimetre of a custom paper dimension, truncated; false when
// it is no usable size (negative, not a number, or beyond the field).
bool CustomTenths(float value, int unit, SHORT& tenths) {
  const double t = unit == kUnitMillimetre ? static_cast<double>(value) * 10.0 : static_cast<double>(value) * 25.4 * 10.0;
  if (!(t >= 0.0 && t < 32768.0)) return false;
  tenths = static_cast<SHORT>(t);
  return true;
}

struct PaperDimensions {
  SHORT width = 0;
  SHORT length = 0;
};

// Width and length of custom paper `code` from the scratch's custom paper
// list, exchanged in landscape; 0 by 0 when the entry is empty or unusable.
PaperDimensions CustomPaperDimensions(const JobSettings& scratch, SHORT code) {
  const CustomPaperEntry& entry = scratch.pv.pvCustomPapers[code - kFirstCustomPaperCode];
  const int unit = entry.lUnit;
  PaperDimensions size;
  if (unit == kUnitNone || !CustomTenths(entry.fWidth, unit, size.width) ||
      !CustomTenths(entry.fLength, unit, size.length))
    return {};
  if (LeGet(scratch.dm.dmOrientation) == DMORIENT_LANDSCAPE) std::swap(size.width, size.length);
  return size;
}

// The target takes the scratch's paper code with the matching dimensions.
void TakePaper(JobSettings& target, const JobSettings& scratch, SHORT fallback) {
  SHORT code = LeGet(scratch.dm.dmPaperSize);
  PaperDimensions size;
  if (IsCustomPaperCode(code)) {
    size = CustomPaperDimensions(scratch, code);
    if (size.width == 0 && size.length == 0) code = fallback;
  }
  LeSet(target.dm.dmPaperSize, code);
  LeSet(target.dm.dmPaperWidth, size.width);
  LeSet(target.dm.dmPaperLength, size.length);
}

void MergePaperFields(JobSettings& target, const JobSettings& scratch, SHORT fallback) {
  const DWORD fields = LeGet(scratch.dm.dmFields);
  DWORD targetFields = LeGet(target.dm.dmFields);
  const bool sizeGiven = (fields & DM_PAPERLENGTH) && (fields & DM_PAPERWIDTH) &&
                         LeGet(scratch.dm.dmPaperWidth) > 0 && LeGet(scratch.dm.dmPaperLength) > 0;
  if (sizeGiven) {
    TakePaper(target, scratch, fallback);
    targetFields = (targetFields | DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH) & ~DM_FORMNAME;
  } else if (fields & DM_PAPERSIZE) {
    TakePaper(target, scratch, fallback);
    targetFields = (targetFields | DM_PAPERSIZE) & ~(DM_PAPERLENGTH | DM_PAPERWIDTH | DM_FORMNAME);
  } else if (fields & DM_FORMNAME) {
    CopyBoundedString(target.dm.dmFormName, scratch.dm.dmFormName, CCHFORMNAME);
    targetFields = (targetFields | DM_FORMNAME) & ~(DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH);
  }
  LeSet(target.dm.dmFields, targetFields);
}

}  // namespace

bool SettingsMerge(JobSettings& target, const void* incoming, std::size_t incomingBytes, bool letter) {
  if (!incoming) return true;
  void* block = LocalAlloc(LMEM_FIXED, sizeof(JobSettings));
  if (!block) return false;
  // The scratch holds the incoming values in the current layout and the
  // target's wherever the incoming record is shorter.
  auto* scratch = new (block) JobSettings(target);
  LeSet(scratch->dm.dmSize, kJobSettingsPublicSize);
  LeSet(scratch->dm.dmDriverExtra, kJobSettingsPrivateSize);
  if (SettingsConvert(incoming, incomingBytes, scratch, sizeof *scratch) == 0) {
    LocalFree(block);
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  // A private part without the signature is another driver's: its bytes are
  // no settings of ours, not even the custom papers the paper code may name.
  const bool ours = HasPrivSignature(*scratch);
  if (!ours) scratch->pv = target.pv;

  const SHORT fallback = letter ? DMPAPER_LETTER : DMPAPER_A4;
  MergePublicFields(target, *scratch);
  CheckPaperCode(*scratch, fallback);
  MergePaperFields(target, *scratch, fallback);
  if (ours) target.pv = scratch->pv;
  LocalFree(block);
  return true;
}
