#include "driver/winnt/printer/src/km/device_setup.h"

#include <algorithm>
#include <new>
#include <vector>

#include "driver/winnt/printer/src/common/devmode_conversion.h"
#include "driver/winnt/printer/src/common/settings_codes.h"
#include "driver/winnt/printer/src/common/settings_loading.h"
#include "driver/winnt/printer/src/km/driver_state.h"
#include "driver/winnt/printer/src/km/own_port.h"
#include "platform/spooler/spooler.h"

namespace k460::hbgraph {

namespace {

using hostsettings::PaperEntry;

const PaperEntry& PaperOfDeviceCode(const HbDevice& d, std::int32_t code) {
  if (auto position = d.papers.FindDeviceCode(code)) return d.papers[*position];
  return d.papers[d.papers.PositionOfDeviceCode(code, d.countryCode)];
}

std::u16string PortNameOf(HANDLE hPrinter) {
  DWORD needed = 0;
  GetPrinterW(hPrinter, 2, nullptr, 0, &needed);
  if (needed < sizeof(PRINTER_INFO_2W)) return {};
  std::vector<BYTE> buffer(needed);
  if (!GetPrinterW(hPrinter, 2, buffer.data(), needed, &needed)) return {};
  const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
  return info->pPortName ? std::u16string(reinterpret_cast<const char16_t*>(info->pPortName)) : std::u16string{};
}

DWORD OsMajorVersion() {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof(info);
  return GetVersionExW(&info) ? info.dwMajorVersion : 6;
}

// The resolution the device renders at: the job's print quality when the
// driver has it in its table, else the driver's default.
std::int32_t RenderResolution(std::int32_t printQuality, hostsettings::HostVariant variant) {
  if (hostsettings::IsTableResolution(printQuality, variant)) return printQuality;
  return hostsettings::ResolutionOfIndex(hostsettings::DefaultResolutionIndex(variant), variant);
}

void ComputeGeometry(HbDevice& d) {
  const DocumentState& doc = Document();
  DeviceGeometry& g = d.geometry;
  const JobValues& job = d.job;
  g.r = g.resolution / 100;
  g.margin = MarginPixels(g.r);
  g.jobLandscape = d.devMode.dm.dmOrientation == 2;

  const PaperEntry& page = d.papers[static_cast<std::size_t>(d.settings.hsPaperIndex)];
  g.pagePaper = page.deviceCode;
  const PixelSize pagePaper = PaperSize(page.Side(g.jobLandscape), g.r);
  g.pagePrintable = {std::max(1, pagePaper.width - 2 * g.margin), std::max(1, pagePaper.height - 2 * g.margin)};

  // Once the document has a page, its sheets keep the first page's paper and orientation.
  g.sheetPaper = doc.first ? doc.first->sheetPaper : job.outputPaper;
  g.sheetLandscape = doc.first ? doc.first->sheetLandscape : g.jobLandscape != TurnsSheet(job.pagesPerSheet);
  const PaperEntry& sheet = PaperOfDeviceCode(d, g.sheetPaper);
  const hostsettings::PaperSide& side = sheet.Side(g.sheetLandscape);
  g.sheetTurn = side.turn != 0;
  g.sheetPaperSize = PaperSize(side, g.r);
  g.surface = SurfaceSize(side, g.r);
  g.bytesPerRow = g.surface.width / 8;
  g.sheetBytes = static_cast<std::size_t>(g.bytesPerRow) * static_cast<std::size_t>(g.surface.height);

  ScaleInputs s;
  s.pagesPerSheet = job.pagesPerSheet;
  s.margin = g.margin;
  s.fit = job.fit;
  s.zoom = job.zoom;
  s.inDocument = doc.InDocument();
  s.jobLandscape = g.jobLandscape;
  s.firstLandscape = doc.first ? doc.first->orientation == 2 : g.jobLandscape;
  s.samePaperAsFirst = !doc.first || doc.first->windowsPaper == d.devMode.dm.dmPaperSize;
  s.sheetPaper = PaperSize(PaperOfDeviceCode(d, job.outputPaper).portrait, g.r);
  s.firstSheetPaper = doc.first ? PaperSize(PaperOfDeviceCode(d, doc.first->sheetPaper).portrait, g.r) : s.sheetPaper;
  s.pagePrintable = g.pagePrintable;
  g.scale = ComputeScale(s);
  g.grid = PlacementGrid(s);
}

void ComputeScaledMode(HbDevice& d) {
  const DocumentState& doc = Document();
  OwnPortInputs port;
  port.portName = d.portName;
  port.logAddress = d.logAddress;
  port.printerName = d.printerName;
  port.osMajorVersion = OsMajorVersion();
  port.documentStarted = doc.started;
  port.pageSent = doc.pageSent;
  port.documentHasPages = doc.logicalPages > 0;
  DeviceGeometry& g = d.geometry;
  g.scaledMode = doc.nupContinuation || d.job.pagesPerSheet != 1 || g.scale != 1000;
  if (!PrintsToOwnPort(port)) g.scaledMode = false;
  if (d.settings.blocks.hsFromPaint != 0) g.scaledMode = true;
}

void ComputeFinishing(HbDevice& d) {
  const PaperEntry& sheet = PaperOfDeviceCode(d, d.geometry.sheetPaper);
  FinishingInputs in;
  in.enabled = Profile().finishing;
  in.booklet = d.job.booklet;
  in.duplex = d.job.duplex;
  in.landscape = d.geometry.sheetLandscape != TurnsSheet(d.job.pagesPerSheet);
  in.longPaper = std::max(sheet.portrait.width, sheet.portrait.length) > 2970 ||
                 sheet.deviceCode >= hostsettings::kFreeSizePaperCode ||
                 sheet.windowsCode >= hostsettings::kFreeSizePaperCode;
  in.sheetTurn = d.geometry.sheetTurn;
  in.resolution = d.geometry.resolution;
  d.finishing = hbgraph::ComputeFinishing(d.settings.blocks, in);
}

void LoadDitherInputs(const hostsettings::RendererSettings& loaded) {
  DitherInputs& dither = Document().dither;
  dither = DitherInputs{};
  dither.density = loaded.settings.blocks.hsDensity;
  if (loaded.ditherBase && loaded.ditherContrast) {
    dither.base = loaded.ditherBase;
    dither.contrast = loaded.ditherContrast;
  }
}

}  // namespace

std::unique_ptr<HbDevice> BuildDevice(const EnableRequest& request) {
  DocumentState& doc = Document();
  const hostsettings::HostVariant variant = Profile().variant;
  doc.devModeSize = std::min(request.devMode.size(), doc.devMode.size());
  std::copy_n(request.devMode.begin(), doc.devModeSize, doc.devMode.begin());

  std::unique_ptr<HbDevice> d(new (std::nothrow) HbDevice);
  if (!d) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  d->hPrinter = request.hPrinter;
  d->logAddress.assign(request.logAddress);
  d->printerName.assign(request.printerName);
  d->portName = PortNameOf(request.hPrinter);
  d->jobDevModeSize = doc.devModeSize;
  std::copy_n(doc.devMode.begin(), doc.devModeSize, d->jobDevMode.begin());

  hostsettings::RendererSettings loaded = hostsettings::LoadRendererSettings(request.hPrinter, request.devMode, variant);
  d->settings = loaded.settings;
  d->papers = loaded.papers;
  d->users = loaded.users;
  d->countryCode = loaded.countryCode;
  if (d->settings.hsPaperIndex < 0 || static_cast<std::size_t>(d->settings.hsPaperIndex) >= d->papers.size()) {
    d->settings.hsPaperIndex = static_cast<std::int32_t>(d->papers.DefaultPosition(d->countryCode));
  }
  LoadDitherInputs(loaded);

  // The device mode the device works with: rebuilt from the settings, which
  // already hold what the job's device mode asked for, checked and repaired.
  d->devMode = hostsettings::BuildHostDevMode(d->settings, d->papers, loaded.forms, d->countryCode);
  const std::int32_t resolution = RenderResolution(d->devMode.dm.dmPrintQuality, variant);
  d->devMode.dm.dmPrintQuality = d->devMode.dm.dmYResolution = d->devMode.dm.dmLogPixels =
      static_cast<decltype(d->devMode.dm.dmLogPixels)>(resolution);
  d->geometry.resolution = resolution;

  const hostsettings::PaperEntry& page = d->papers[static_cast<std::size_t>(d->settings.hsPaperIndex)];
  d->job = DeriveJobValues(d->settings, page.deviceCode, resolution);
  if (d->job.nupContinuation) doc.nupContinuation = true;
  ComputeGeometry(*d);
  ComputeScaledMode(*d);
  if (d->job.pagesPerSheet > 1 && d->geometry.scaledMode) doc.nupContinuation = true;
  ComputeFinishing(*d);
  return d;
}

CapsInputs CapsOf(const HbDevice& d) {
  CapsInputs in;
  in.printQuality = d.devMode.dm.dmPrintQuality;
  in.yResolution = d.devMode.dm.dmYResolution;
  in.scalePercent = d.devMode.dm.dmScale;
  in.r = d.geometry.r;
  in.margin = d.geometry.margin;
  in.printableWidth = d.geometry.pagePrintable.width;
  in.printableHeight = d.geometry.pagePrintable.height;
  in.scaledMode = d.geometry.scaledMode;
  in.scale = d.geometry.scale;
  in.pagesPerSheet = d.job.pagesPerSheet;
  in.enhance = d.settings.blocks.hsGraphicEnhance == 1;
  return in;
}

}  // namespace k460::hbgraph
