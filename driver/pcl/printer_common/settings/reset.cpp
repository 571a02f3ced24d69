#include "driver/pcl/printer_common/settings/paper_table.h"
#include "driver/pcl/printer_common/settings/settings.h"

void SettingsReset(JobSettings& record) {
  const bool letter = UsesLetterPaper();
  const SHORT paper = letter ? DMPAPER_LETTER : DMPAPER_A4;
  const int unit = letter ? kUnitInch : kUnitMillimetre;
  DEVMODEW& dm = record.dm;
  PrivateSettings& pv = record.pv;

  for (LeFloat* margin : {&pv.pvStapleMarginFront, &pv.pvStapleMarginBack, &pv.pvPunchMarginFront,
                          &pv.pvPunchMarginBack, &pv.pvGutterFront, &pv.pvGutterBack})
    *margin = 0.0f;
  LeSet(dm.dmPaperSize, paper);
  pv.pvPaperIndex = FindPaperIndex(paper);
  pv.pvPrintToPaperSize = paper;
  pv.pvPrintToPaperIndex = FindPaperIndex(paper);
  pv.pvStapleMarginUnit = unit;
  pv.pvPunchMarginUnit = unit;
  pv.pvGutterUnit = unit;

  LeSet(dm.dmScale, 100);
  pv.pvZoom = 100;
  pv.pvTonerSave = 2;

  LeSet(dm.dmPaperWidth, 0);
  LeSet(dm.dmPaperLength, 0);
  LeSet(dm.dmCollate, DMCOLLATE_FALSE);
  for (LeInt32* off : {&pv.pvInputTray, &pv.pvMediaType, &pv.pvPrintToPaperWidth, &pv.pvPrintToPaperLength,
                       &pv.pvFitToPaper, &pv.pvPrintToPaper, &pv.pvReverseOrder, &pv.pvNupBorder,
                       &pv.pvWatermarkIndex, &pv.pvWatermarkFirstPageOnly, &pv.pvBookletIndex,
                       &pv.pvBookletBinding, &pv.pvBookletPaperSize, &pv.pvShift, &pv.pvSort, &pv.pvStaple,
                       &pv.pvPunch, &pv.pvTrueTypeMode, &pv.pvGraphicsMode, &pv.lReserved4036})
    *off = 0;

  LeSet(dm.dmOrientation, DMORIENT_PORTRAIT);
  LeSet(dm.dmCopies, 1);
  LeSet(dm.dmDuplex, DMDUP_SIMPLEX);
  for (LeInt32* one : {&pv.pvPagesPerSheet, &pv.pvBindingEdge, &pv.pvDuplexBinding, &pv.pvNupOrder,
                       &pv.pvLastStaple})
    *one = 1;
  pv.pvDuplex = kDuplexOff;
  pv.pvLastPunch = 4;

  LeSet(dm.dmPrintQuality, 600);
  LeSet(dm.dmYResolution, 600);
  LeSet(dm.dmDefaultSource, kSourceBase);
  pv.pvOutputBin = pv.pvFinisher == 1 ? kBinFinisherUpper : kBinStandard;
}
