// The PJL header of a job: duplex, binding and gutters, finishing, then the
// media lines. Every line ends with a carriage return and a line feed.
#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "driver/pcl/printer_common/nt/pclxl/xljob.h"
#include "driver/pcl/printer_common/nt/pclxl/xltrace.h"
#include "driver/pcl/printer_common/settings/settings.h"

namespace {

// PJL lines gathered in one buffer and written together.
class PjlLines {
 public:
  void Add(const char* format, ...) __attribute__((format(printf, 2, 3))) {
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(text_ + used_, sizeof text_ - used_, format, args);
    va_end(args);
    if (n < 0 || static_cast<std::size_t>(n) + 2 >= sizeof text_ - used_) return;  // cannot happen: lines are short
    used_ += static_cast<std::size_t>(n);
    text_[used_++] = '\r';
    text_[used_++] = '\n';
  }
  void WriteTo(XlStream* stream) {
    HP_RawBytes(stream, text_, static_cast<DWORD>(used_));
    used_ = 0;
  }

 private:
  char text_[1024];
  std::size_t used_ = 0;
};

// A gutter in dots at 600 dpi: the whole inches or millimetres of the
// setting. A value that is no number, or is negative, is no gutter.
long GutterDots(float value, int unit) {
  if (!std::isfinite(value) || value <= 0.0f) return 0;
  long whole = static_cast<long>(std::fmin(value, 100000.0f));
  return whole * (unit == kUnitInch ? 600 : 23);
}

// Tenths of a millimetre in decipoints.
long Decipoints(long tenths) { return static_cast<long>(std::floor(tenths * 720.0 / 254.0 + 0.5)); }

const char* StapleValue(int staple, int edge) {
  switch (staple) {
    case 1: return edge == 0 ? "+1" : edge == 1 ? "-1" : nullptr;
    case 2: return edge == 0 ? "-1" : edge == 2 ? "+1" : nullptr;
    case 4: return edge == 0 ? "2" : nullptr;
    case 8: return edge == 1 ? "2" : nullptr;
    case 16: return edge == 2 ? "2" : nullptr;
    default: return nullptr;
  }
}

bool KnownStaple(int staple) { return staple == 1 || staple == 2 || staple == 4 || staple == 8 || staple == 16; }

const char* InputTrayName(int tray) {
  switch (tray) {
    case 1: return "MANUALTRAY";
    case 2: return "TRAY1";
    case 3: return "TRAY2";
    case 4: return "TRAY3";
    case 5: return "TRAY4";
    case 6: return "LARGETRAY";
    default: return "AUTO";
  }
}

const char* MediaTypeName(int mediaType) {
  switch (mediaType) {
    case 1: return "THICK";
    case 2: return "TRANSPARENCY";
    case 3: return "SPECIAL";
    default: return "PLAIN";
  }
}

void WriteBindingAndGutters(PDEV* pdev, PjlLines& lines, int duplex) {
  const PrivateSettings& pv = pdev->settings.pv;
  int edge = pv.pvBindingEdge;
  bool booklet = BookletOn(pdev);
  const char* binding = "SHORTEDGE";
  if (!booklet) {
    bool landscape = LeGet(pdev->settings.dm.dmOrientation) == DMORIENT_LANDSCAPE;
    int pages = pv.pvPagesPerSheet;
    bool longEdge = (pages == 1 || pages == 4) ? landscape : !landscape;
    if (edge != 0) longEdge = !longEdge;
    binding = longEdge ? "LONGEDGE" : "SHORTEDGE";
  }
  lines.Add("@PJL SET BINDING = %s", binding);
  long front = booklet ? 0 : GutterDots(pv.pvGutterFront, pv.pvGutterUnit);
  lines.Add("@PJL SET FRONTGUTTER = %s%ld", edge == 2 ? "-" : "", front);
  if (duplex != kDuplexOff) {
    long back = booklet ? 0 : GutterDots(pv.pvGutterBack, pv.pvGutterUnit);
    lines.Add("@PJL SET BACKGUTTER = %ld", back);
  }
}

void WriteFinishing(PDEV* pdev, PjlLines& lines) {
  const PrivateSettings& pv = pdev->settings.pv;
  int staple = pv.pvStaple, punch = pv.pvPunch, edge = pv.pvBindingEdge;
  lines.Add("@PJL SET FINISH = %s", staple && punch ? "BOTH" : staple ? "STAPLE" : punch ? "PUNCH" : "NONE");
  if (staple) {
    if (edge < 0 || edge > 2) {
      XlTrace("Invalid Binding\n");
    } else if (!KnownStaple(staple)) {
      XlTrace("Invalid Staple Value\n");
    } else if (const char* value = StapleValue(staple, edge)) {
      lines.Add("@PJL SET STAPLE = %s", value);
    }
  }
  if (punch) {
    if (punch == 1 || punch == 4 || punch == 16) {
      lines.Add("@PJL SET PUNCH = 2");
    } else if (punch == 2 || punch == 8 || punch == 32) {
      lines.Add("@PJL SET PUNCH = 3");
    } else {
      XlTrace("Invalid Punch Value\n");
    }
  }
}

// The paper line(s); records the paper as the device's current one.
void WritePaper(PDEV* pdev, PjlLines& lines) {
  const DEVMODEW& dm = pdev->settings.dm;
  const PrivateSettings& pv = pdev->settings.pv;
  int paperId;
  long width, length;
  if (pv.pvPrintToPaper != 0) {
    paperId = pv.pvPrintToPaperSize;
    width = pv.pvPrintToPaperWidth;
    length = pv.pvPrintToPaperLength;
  } else {
    paperId = BookletOn(pdev) ? pv.pvBookletPaperSize.value() : LeGet(dm.dmPaperSize);
    width = LeGet(dm.dmPaperWidth);
    length = LeGet(dm.dmPaperLength);
  }
  // Sizes that are not positive are no custom size.
  bool custom = width > 0 && length > 0;
  if (custom) {
    lines.Add("@PJL SET PAPER = CUSTOM");
    lines.Add("@PJL SET PAPERLENGTH = %ld", Decipoints(length));
    lines.Add("@PJL SET PAPERWIDTH = %ld", Decipoints(width));
    pdev->paper = {paperId, static_cast<LONG>(length / 10), static_cast<LONG>(width / 10)};
  } else {
    lines.Add("@PJL SET PAPER = %s", PjlPaperName(paperId));
    pdev->paper = {paperId, 0, 0};
  }
}

}  // namespace

void SendPJLCommands(PDEV* pdev) {
  XlStream* stream = pdev->pStream;
  if (!stream) return;
  const DEVMODEW& dm = pdev->settings.dm;
  PrivateSettings& pv = pdev->settings.pv;
  PjlLines lines;

  int duplex = EffectiveDuplex(&pdev->settings);
  if (duplex == kDuplexOff) lines.Add("@PJL SET DUPLEX = OFF");
  if (duplex == kDuplexTopEdge || duplex == kDuplexSideEdge) lines.Add("@PJL SET DUPLEX = ON");
  if (duplex == kDuplexTopEdge || duplex == kDuplexSideEdge || pv.pvStaple != 0 || pv.pvPunch != 0) {
    WriteBindingAndGutters(pdev, lines, duplex);
  }
  WriteFinishing(pdev, lines);
  lines.WriteTo(stream);

  lines.Add("@PJL SET ECONOMODE = %s", pv.pvTonerSave == 1 ? "ON" : "OFF");
  int bin = pv.pvOutputBin;
  lines.Add("@PJL SET OUTBIN = %s", bin == kBinTwoBinUpper || bin == kBinFinisherLower ? "OPTIONALOUTBIN1" : "UPPER");
  WritePaper(pdev, lines);
  lines.Add("@PJL SET RESOLUTION = %s",
            pdev->resolution == 300 ? "300" : pdev->resolution == 1200 ? "1200" : "600");
  lines.Add("@PJL SET INTRAY =%s", InputTrayName(pv.pvInputTray));
  int copies = LeGet(dm.dmCopies);
  bool collate = LeGet(dm.dmCollate) == DMCOLLATE_TRUE || pv.pvSort == 1;
  lines.Add(collate && copies > 1 ? "@PJL SET QTY = %d" : "@PJL SET COPIES = %d", copies);
  lines.Add("@PJL SET MEDIATYPE = %s", MediaTypeName(pv.pvMediaType));
  lines.Add("@PJL SET SHIFT = %s", pv.pvShift != 0 ? "ON" : "OFF");
  lines.Add("@PJL SET DENSITYBIAS = %d", pv.pvDensity.value());
  lines.WriteTo(stream);

  pv.pvPjlSent = 1;
  XlTrace("Exiting SendPJLCommands\n");
}
