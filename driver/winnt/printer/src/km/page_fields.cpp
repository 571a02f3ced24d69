#include "driver/winnt/printer/src/km/page_fields.h"

#include <algorithm>
#include <cstring>

#include "driver/winnt/printer/src/common/fax_users.h"
#include "driver/winnt/printer/src/common/settings_codes.h"
#include "driver/winnt/printer/src/km/driver_state.h"
#include "monitors/common/page_codes.h"

namespace k460::hbgraph {

namespace {

std::int16_t S16(std::int32_t value) { return static_cast<std::int16_t>(value); }
std::int16_t Flag(bool value) { return value ? 1 : 0; }

template <std::size_t N>
void CopyText(char (&field)[N], std::string_view text) {
  std::memset(field, 0, N);
  std::memcpy(field, text.data(), std::min(text.size(), N - 1));
}

}  // namespace

PageFields MakePageFields(const HbDevice& d) {
  using namespace pagestream;
  const DriverProfile& profile = Profile();
  const hostsettings::HostBlocks& b = d.settings.blocks;
  const DeviceGeometry& g = d.geometry;
  const Finishing& fin = d.finishing;
  const bool finishing = fin.active && profile.finishing;
  const bool rowTurnDiffers = finishing && (fin.codes.turn != 0) != g.sheetTurn;

  PageFields fields;
  PageInfo& info = fields.info;
  info.DevId = profile.devId;
  info.iBmpHdr = {0, g.surface.width, g.surface.height, g.bytesPerRow, 1, 1, 0};
  info.BmpRotate = finishing ? S16(fin.codes.turn != 0 ? 3 : 0) : Flag(g.sheetTurn);
  info.dmLogPixels = S16(g.resolution);
  std::copy_n(profile.driverName.begin(), std::min(profile.driverName.size(), kDriverNameChars - 1), info.DriverName);

  PageHeader& h = fields.header;
  h.Resolution = S16(g.resolution);
  h.Width = S16(g.surface.width);
  h.Height = S16(g.surface.height);
  h.Coding = kCodingMH;
  h.CopyNum = S16(d.devMode.dm.dmCopies);
  // The paper of the sheet as it is rendered: in a document whose device was
  // replaced, the first page's output paper.
  h.Paper = S16(g.sheetPaper >= hostsettings::kFreeSizePaperCode ? kPaperCustom : g.sheetPaper);
  h.Orient = Flag(g.sheetTurn != g.sheetLandscape);
  if (rowTurnDiffers) h.Orient = Flag(h.Orient == 0);
  h.Casset = S16(d.settings.hsSourceIndex);
  h.Priority = S16(hostsettings::PriorityCodeOfIndex(d.settings.hsPriorityIndex));
  h.PaperType = S16(b.hsPaperType);
  h.TonerSaving = S16(b.hsTonerSave);
  h.OutputOder = S16(b.hsOutputOrder);
  h.Stack = S16(b.hsStackRotate == 1 ? 2 : b.hsShift);
  h.Duplex = S16(b.hsDuplex);
  h.MultPagePrint = S16(d.job.booklet ? kMultPageBooklet : b.hsNup);
  h.MultPageBorder = S16(b.hsNupBorder);
  h.MultPageOrder = S16(b.hsNupOrder);
  h.MultPageView = 0;
  h.Zoom = S16(b.hsFitToPaper);
  h.ZoomOutputPaper = S16(b.hsZoomPaper);
  h.ZoomNumber = S16(b.hsZoom / 10);
  h.SecurityPrint = 0;
  if (profile.finishing) {
    h.Collated = S16(d.settings.hsCollate);
    if ((d.devMode.dm.dmCopies >= 2 && d.job.duplex) || b.hsStaple == 1) h.Collated = 1;
    h.Outbin = S16(b.hsFinisher == 1 ? (b.hsOutbin == 0 ? 1 : 0) : b.hsOutbin);
    switch (b.hsDuplexBinding) {
      case 0: h.DuplexBinding = Flag(!g.sheetLandscape); break;
      case 1:
      case 2: h.DuplexBinding = Flag(g.sheetLandscape); break;
      default: h.DuplexBinding = 0; break;
    }
    h.Angle = S16(fin.codes.angle != 0 ? 180 : 0);
    if (!d.job.booklet) {
      h.Punch = fin.codes.punch;
      h.PunchHoles = fin.codes.punchHoles;
      h.Staple = fin.codes.staple;
      h.StaplePoint = fin.codes.staplePoint;
    }
  } else {
    h.Collated = S16(d.settings.hsCollate);
    h.Outbin = S16(b.hsOutbin);
    h.DuplexBinding = S16(b.hsDuplexBinding);
  }
  CopyText(h.FaxUserName, hostsettings::FaxUserNameText(d.users, b.hsFaxUserKey, GetACP()));
  CopyText(h.FaxPassword, std::string_view(b.hsFaxPassword, strnlen(b.hsFaxPassword, sizeof(b.hsFaxPassword))));
  h.FaxAuto = Flag(b.hsFaxAuto == 1);
  h.FaxItem = S16(b.hsFaxItem);
  h.FaxTxDocList = S16(b.hsFaxTxDocList);
  return fields;
}

}  // namespace k460::hbgraph
