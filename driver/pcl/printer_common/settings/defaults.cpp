#include <cstring>

#include "driver/pcl/printer_common/settings/paper_table.h"
#include "driver/pcl/printer_common/settings/settings.h"

namespace {

void SetPublicDefaults(DEVMODEW& dm, bool letter) {
  LeSet(dm.dmSpecVersion, DM_SPECVERSION);
  LeSet(dm.dmDriverVersion, kJobSettingsDriverVersion);
  LeSet(dm.dmSize, kJobSettingsPublicSize);
  LeSet(dm.dmDriverExtra, kJobSettingsPrivateSize);
  LeSet(dm.dmFields, kDefaultFields);
  LeSet(dm.dmOrientation, DMORIENT_PORTRAIT);
  LeSet(dm.dmPaperSize, letter ? DMPAPER_LETTER : DMPAPER_A4);
  LeSet(dm.dmScale, 100);
  LeSet(dm.dmCopies, 1);
  LeSet(dm.dmDefaultSource, kSourceBase);
  LeSet(dm.dmPrintQuality, 600);
  LeSet(dm.dmColor, DMCOLOR_MONOCHROME);
  LeSet(dm.dmDuplex, DMDUP_SIMPLEX);
  LeSet(dm.dmTTOption, DMTT_SUBDEV);
  StoreText(dm.dmFormName, CCHFORMNAME, letter ? u"Letter" : u"A4");
}

void SetPrivateDefaults(PrivateSettings& pv, bool letter, const DriverIni* ini) {
  const int paper = letter ? DMPAPER_LETTER : DMPAPER_A4;
  const int unit = letter ? kUnitInch : kUnitMillimetre;
  pv.pvSignature = kPrivSignature;
  pv.pvPaperIndex = FindPaperIndex(paper);
  pv.pvOutputBin = kBinStandard;
  StoreText(pv.pvPresetName, 16, u"Factory Default");
  pv.pvTonerSave = 2;
  pv.lReserved288 = 1;
  pv.pvDeviceFontSubstitution = 1;
  pv.pvPrintToPaperSize = paper;
  pv.pvPrintToPaperIndex = FindPaperIndex(paper);
  pv.pvPrintToPaperWidth = 216;
  pv.pvPrintToPaperLength = 280;
  pv.pvZoom = 100;
  pv.pvPagesPerSheet = 1;
  pv.pvNupOrder = 1;
  pv.lReserved420 = 1;
  DefaultWatermarkRecord(pv.pvWatermark);
  pv.pvStapleMarginUnit = unit;
  pv.pvPunchMarginUnit = unit;
  pv.pvGutterUnit = unit;
  std::memset(pv.abReserved1144, 0xFF, sizeof pv.abReserved1144);
  pv.sReserved1160 = -1;
  pv.sReserved1162 = -1;
  pv.pvBindingEdge = 1;
  pv.pvDuplexBinding = 1;
  pv.pvLastPunch = 4;
  pv.pvLastStaple = 1;
  const int forceDuplex = ini ? ini->ReadInt(kDevmodeSection, kForceDuplexKey, 0) : 0;
  pv.pvForceDuplexField = static_cast<WORD>(forceDuplex);
  pv.pvDuplex = kDuplexOff;
}

}  // namespace

void DefaultWatermarkRecord(WatermarkRecord& watermark) {
  std::memset(&watermark, 0, sizeof watermark);
  StoreText(watermark.szFaceName, std::size(watermark.szFaceName), u"Albertus (WN)");
  watermark.lFontSize = 72;
  watermark.lBold = 1;
  watermark.lAngle = 45;
  watermark.lPosition = 1;
}

void SettingsDefaults(JobSettings& record, const WCHAR* deviceName, bool letter, const DriverIni* ini) {
  std::memset(&record, 0, sizeof record);
  if (deviceName) StoreText(record.dm.dmDeviceName, CCHDEVICENAME, deviceName);
  SetPublicDefaults(record.dm, letter);
  SetPrivateDefaults(record.pv, letter, ini);
}
