#include "tools/print/pcl_fields.h"

#include <cstddef>

#include "driver/pcl/printer_common/settings/job_settings.h"

namespace k460::print {

#define K460_MEMBER(Record, member) MakeField<decltype(Record::member)>(#member, offsetof(Record, member))
#define K460_DM(member, bit) MakeField<decltype(DEVMODEW::member)>(#member, offsetof(JobSettings, dm.member), bit)
#define K460_PV(member) MakeField<decltype(PrivateSettings::member)>(#member, offsetof(JobSettings, pv.member))

namespace {

constexpr FieldInfo kWatermarkFields[] = {
    K460_MEMBER(WatermarkRecord, szName),     K460_MEMBER(WatermarkRecord, szText),
    K460_MEMBER(WatermarkRecord, lGrayLevel), K460_MEMBER(WatermarkRecord, szFaceName),
    K460_MEMBER(WatermarkRecord, lFontSize),  K460_MEMBER(WatermarkRecord, lBold),
    K460_MEMBER(WatermarkRecord, bItalic),    K460_MEMBER(WatermarkRecord, abPad317),
    K460_MEMBER(WatermarkRecord, lAngle),     K460_MEMBER(WatermarkRecord, lPosition),
    K460_MEMBER(WatermarkRecord, lOffsetX),   K460_MEMBER(WatermarkRecord, lOffsetY),
    K460_MEMBER(WatermarkRecord, lDiagonal),  K460_MEMBER(WatermarkRecord, alAdvance),
};
static_assert(CoversRecord(kWatermarkFields, sizeof(WatermarkRecord)));

constexpr FieldInfo kCustomPaperFields[] = {
    K460_MEMBER(CustomPaperEntry, szName),
    K460_MEMBER(CustomPaperEntry, fWidth),
    K460_MEMBER(CustomPaperEntry, fLength),
    K460_MEMBER(CustomPaperEntry, lUnit),
};
static_assert(CoversRecord(kCustomPaperFields, sizeof(CustomPaperEntry)));

}  // namespace

template <>
struct RecordMembers<WatermarkRecord> {
  static constexpr std::span<const FieldInfo> value{kWatermarkFields};
};
template <>
struct RecordMembers<CustomPaperEntry> {
  static constexpr std::span<const FieldInfo> value{kCustomPaperFields};
};

namespace {

constexpr FieldInfo kJobSettingsFields[] = {
    // DEVMODEW
    K460_DM(dmDeviceName, 0),
    K460_DM(dmSpecVersion, 0),
    K460_DM(dmDriverVersion, 0),
    K460_DM(dmSize, 0),
    K460_DM(dmDriverExtra, 0),
    K460_DM(dmFields, 0),
    K460_DM(dmOrientation, DM_ORIENTATION),
    K460_DM(dmPaperSize, DM_PAPERSIZE),
    K460_DM(dmPaperLength, DM_PAPERLENGTH),
    K460_DM(dmPaperWidth, DM_PAPERWIDTH),
    K460_DM(dmScale, DM_SCALE),
    K460_DM(dmCopies, DM_COPIES),
    K460_DM(dmDefaultSource, DM_DEFAULTSOURCE),
    K460_DM(dmPrintQuality, DM_PRINTQUALITY),
    K460_DM(dmColor, DM_COLOR),
    K460_DM(dmDuplex, DM_DUPLEX),
    K460_DM(dmYResolution, DM_YRESOLUTION),
    K460_DM(dmTTOption, DM_TTOPTION),
    K460_DM(dmCollate, DM_COLLATE),
    K460_DM(dmFormName, DM_FORMNAME),
    K460_DM(dmLogPixels, DM_LOGPIXELS),
    K460_DM(dmBitsPerPel, DM_BITSPERPEL),
    K460_DM(dmPelsWidth, DM_PELSWIDTH),
    K460_DM(dmPelsHeight, DM_PELSHEIGHT),
    K460_DM(dmNup, DM_NUP),
    K460_DM(dmDisplayFrequency, DM_DISPLAYFREQUENCY),
    K460_DM(dmICMMethod, DM_ICMMETHOD),
    K460_DM(dmICMIntent, DM_ICMINTENT),
    K460_DM(dmMediaType, DM_MEDIATYPE),
    K460_DM(dmDitherType, DM_DITHERTYPE),
    K460_DM(dmReserved1, 0),
    K460_DM(dmReserved2, 0),
    K460_DM(dmPanningWidth, 0),
    K460_DM(dmPanningHeight, 0),
    // PrivateSettings
    K460_PV(pvSignature),
    K460_PV(pvFirstPageSourceOn),
    K460_PV(pvPaperIndex),
    K460_PV(pvInputTray),
    K460_PV(pvMediaType),
    K460_PV(pvFirstPageSource),
    K460_PV(pvOutputBin),
    K460_PV(lReserved248),
    K460_PV(pvPresetName),
    K460_PV(pvTonerSave),
    K460_PV(lReserved288),
    K460_PV(pvTrueTypeMode),
    K460_PV(pvDeviceFontSubstitution),
    K460_PV(alReserved300),
    K460_PV(pvDuplexUnit),
    K460_PV(pvTwoBinTray),
    K460_PV(abReserved320),
    K460_PV(pvPrintToPaper),
    K460_PV(pvPrintToPaperSize),
    K460_PV(pvPrintToPaperIndex),
    K460_PV(pvPrintToPaperWidth),
    K460_PV(pvPrintToPaperLength),
    K460_PV(pvZoom),
    K460_PV(pvFitToPaper),
    K460_PV(pvGraphicsMode),
    K460_PV(pvPagesPerSheet),
    K460_PV(pvNupOrder),
    K460_PV(lReserved416),
    K460_PV(lReserved420),
    K460_PV(pvNupBorder),
    K460_PV(pvWatermarkIndex),
    K460_PV(pvWatermarkFirstPageOnly),
    K460_PV(pvWatermarkLayer),
    K460_PV(lReserved440),
    K460_PV(pvWatermark),
    K460_PV(pvWatermarkSin),
    K460_PV(pvWatermarkCos),
    K460_PV(lReserved916),
    K460_PV(pvWatermarkSkipJapaneseFaces),
    K460_PV(pvBookletBinding),
    K460_PV(pvBookletIndex),
    K460_PV(pvBookletPaperSize),
    K460_PV(pvFinisher),
    K460_PV(pvPunchKit),
    K460_PV(pvStapleMarginUnit),
    K460_PV(pvStapleMarginFront),
    K460_PV(pvStapleMarginBack),
    K460_PV(pvPunchMarginUnit),
    K460_PV(pvPunchMarginFront),
    K460_PV(pvPunchMarginBack),
    K460_PV(alReserved968),
    K460_PV(pvShift),
    K460_PV(lReserved984),
    K460_PV(pvStaple),
    K460_PV(pvPunch),
    K460_PV(pvCassette3),
    K460_PV(pvCassette2),
    K460_PV(pvCassette4),
    K460_PV(pvFeedCabinet),
    K460_PV(lReserved1012),
    K460_PV(pvGutterUnit),
    K460_PV(pvGutterFront),
    K460_PV(pvGutterBack),
    K460_PV(lReserved1028),
    K460_PV(pvSort),
    K460_PV(abReserved1036),
    K460_PV(abReserved1144),
    K460_PV(abReserved1147),
    K460_PV(sReserved1160),
    K460_PV(sReserved1162),
    K460_PV(abReserved1164),
    K460_PV(pvCustomPapers),
    K460_PV(pvDensity),
    K460_PV(pvCustomMinimum),
    K460_PV(pvBindingEdge),
    K460_PV(pvDuplexBinding),
    K460_PV(pvLastPunch),
    K460_PV(pvLastStaple),
    K460_PV(pvReverseOrder),
    K460_PV(pvPjlSent),
    K460_PV(pvNewEngine),
    K460_PV(lReserved4036),
    K460_PV(pvForceDuplexField),
    K460_PV(pvDuplex),
    K460_PV(abReserved4044),
};
// Every byte of the record is named: a field added to JobSettings and
// missing here fails the build.
static_assert(CoversRecord(kJobSettingsFields, sizeof(JobSettings)));

}  // namespace

#undef K460_MEMBER
#undef K460_DM
#undef K460_PV

std::span<const FieldInfo> JobSettingsFields() { return kJobSettingsFields; }

}  // namespace k460::print
