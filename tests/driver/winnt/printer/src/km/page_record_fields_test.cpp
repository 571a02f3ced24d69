// Settings of a job against every field of the page record the driver
// writes, read back with the monitors' page stream reader.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <functional>

#include "monitors/common/page_codes.h"
#include "tests/driver/winnt/printer/src/km/hbgraph_test_support.h"

namespace k460::testing {
namespace {

using namespace hostsettings;
using pagestream::PageHeader;
using pagestream::PageInfo;

using HeaderBytes = std::array<std::uint8_t, pagestream::kPageInfoSize + pagestream::kPageHeaderSize>;

HeaderBytes BytesOf(const PageInfo& info, const PageHeader& header) {
  HeaderBytes bytes{};
  pagestream::StorePageInfo(info, std::span(bytes).first<pagestream::kPageInfoSize>());
  pagestream::StorePageHeader(header, std::span(bytes).subspan(pagestream::kPageInfoSize));
  return bytes;
}

// The sheet of `width` x `height` pixels, rows of `rowBytes`, as both
// records describe it.
void SetGeometry(PageInfo& i, PageHeader& h, std::int16_t width, std::int16_t height, std::int32_t rowBytes) {
  h.Width = width;
  h.Height = height;
  h.Length = static_cast<std::uint32_t>(height) * static_cast<std::uint32_t>(rowBytes) + 62;
  i.iBmpHdr = {0, width, height, rowBytes, 1, 1, 0};
}

// The offsets at which two record headers differ, for a readable failure.
std::string Differences(const HeaderBytes& expected, const HeaderBytes& actual) {
  std::string text;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    if (expected[i] == actual[i]) continue;
    const bool inHeader = i >= pagestream::kPageInfoSize;
    text += (inHeader ? " PageHeader+" : " PageInfo+") +
            std::to_string(inHeader ? i - pagestream::kPageInfoSize : i) + ": " + std::to_string(expected[i]) +
            " != " + std::to_string(actual[i]) + ";";
  }
  return text;
}

class PageRecordFieldsTest : public HbgraphTest {
 protected:
  Sheet PrintOne(JobDevMode& job, const std::function<void(HostDevMode&)>& tweak = {}) {
    auto sheets = PrintPages(job.Build(tweak), 1);
    EXPECT_EQ(sheets.size(), 1u);
    return sheets.empty() ? Sheet{} : sheets.front();
  }
};

TEST_F(PageRecordFieldsTest, AnA4JobAt600DpiHasTheDriversDefaultRecord) {
  JobDevMode job;
  const Sheet sheet = PrintOne(job);
  const PageInfo& info = sheet.info;
  const PageHeader& h = sheet.header;
  EXPECT_EQ(info.DevId, 205);
  EXPECT_EQ(info.iBmpHdr.bmWidth, 4992);
  EXPECT_EQ(info.iBmpHdr.bmHeight, 7040);
  EXPECT_EQ(info.iBmpHdr.bmWidthBytes, 624);
  EXPECT_EQ(info.iBmpHdr.bmPlanes, 1);
  EXPECT_EQ(info.iBmpHdr.bmBitsPixel, 1);
  EXPECT_EQ(info.BmpRotate, 0);
  EXPECT_EQ(info.dmLogPixels, 600);
  EXPECT_EQ(std::u16string(info.DriverName), u"Velkaro Ar+Vento2 K-410/460");
  EXPECT_EQ(h.Length, 7040u * 624 + 62);
  EXPECT_EQ(h.Resolution, 600);
  EXPECT_EQ(h.Width, 4992);
  EXPECT_EQ(h.Height, 7040);
  EXPECT_EQ(h.Coding, 0);
  EXPECT_EQ(h.CopyNum, 1);
  EXPECT_EQ(h.Paper, 0);
  EXPECT_EQ(h.Orient, 0);
  EXPECT_EQ(h.Casset, 0);
  EXPECT_EQ(h.Collated, 0);
  EXPECT_EQ(h.Priority, 1);
  EXPECT_EQ(h.Outbin, 0);
  EXPECT_EQ(h.Duplex, 0);
  EXPECT_EQ(h.DuplexBinding, 0);
  EXPECT_EQ(h.MultPagePrint, 0);
  EXPECT_EQ(h.Zoom, 0);
  EXPECT_EQ(h.ZoomNumber, 100);
  EXPECT_EQ(h.Angle, 0);
  EXPECT_EQ(h.Staple, 0);
  EXPECT_EQ(h.Punch, 0);
  EXPECT_EQ(std::string(h.FaxUserName), ":");
  EXPECT_EQ(sheet.BlackCount(), 0u) << "nothing drawn: a white sheet";
}

TEST_F(PageRecordFieldsTest, SettingsSetTheirFields) {
  JobDevMode base;
  const Sheet baseline = PrintOne(base);
  struct Case {
    const char* what;
    std::function<void(HostSettings&)> settings;
    std::function<void(HostDevMode&)> devMode;
    std::function<void(PageInfo&, PageHeader&)> expect;
  } cases[] = {
      {"copies, collated", [](HostSettings& s) { s.hsCopies = 3; s.hsCollate = 1; }, {},
       [](PageInfo&, PageHeader& h) { h.CopyNum = 3; h.Collated = 1; }},
      {"two copies in duplex are collated",
       [](HostSettings& s) { s.hsCopies = 2; s.blocks.hsDuplex = 1; s.blocks.hsDuplexBinding = 1; }, {},
       [](PageInfo&, PageHeader& h) { h.CopyNum = 2; h.Collated = 1; h.Duplex = 1; h.DuplexBinding = 0; }},
      {"duplex bound at the top of a portrait sheet",
       [](HostSettings& s) { s.blocks.hsDuplex = 1; s.blocks.hsDuplexBinding = 0; }, {},
       [](PageInfo&, PageHeader& h) { h.Duplex = 1; h.DuplexBinding = 1; }},
      {"landscape", [](HostSettings& s) { s.hsLandscape = 1; }, {},
       [](PageInfo& i, PageHeader& h) {
         h.Orient = 1;
         h.DuplexBinding = 1;  // left binding on a landscape sheet
         SetGeometry(i, h, 7040, 4992, 880);
       }},
      {"A5 is turned by the device", [](HostSettings& s) { s.hsPaperIndex = 6; }, {},
       [](PageInfo& i, PageHeader& h) {
         i.BmpRotate = 1;
         h.Paper = 1;
         h.Orient = 1;
         SetGeometry(i, h, 3520, 4992, 440);
       }},
      {"source", [](HostSettings& s) { s.hsSourceIndex = 3; }, {}, [](PageInfo&, PageHeader& h) { h.Casset = 3; }},
      {"priority", [](HostSettings& s) { s.hsPriorityIndex = 0; }, {},
       [](PageInfo&, PageHeader& h) { h.Priority = 2; }},
      {"finisher turns the output bin round", [](HostSettings& s) { s.blocks.hsOutbin = 1; s.blocks.hsFinisher = 1; },
       {}, [](PageInfo&, PageHeader& h) { h.Outbin = 0; }},
      {"output bin", [](HostSettings& s) { s.blocks.hsOutbin = 1; }, {},
       [](PageInfo&, PageHeader& h) { h.Outbin = 1; }},
      {"paper type, toner, order, shift",
       [](HostSettings& s) {
         s.blocks.hsPaperType = 2;
         s.blocks.hsTonerSave = 1;
         s.blocks.hsOutputOrder = 1;
         s.hsReverseOrder = 1;
         s.blocks.hsShift = 1;
       },
       {}, [](PageInfo&, PageHeader& h) { h.PaperType = 2; h.TonerSaving = 1; h.OutputOder = 1; h.Stack = 1; }},
      {"stacking by rotation", [](HostSettings& s) { s.blocks.hsStackRotate = 1; }, {},
       [](PageInfo&, PageHeader& h) { h.Stack = 2; }},
      {"four up with border", [](HostSettings& s) { s.blocks.hsNup = 3; s.blocks.hsNupBorder = 1; s.blocks.hsNupOrder = 2; },
       {}, [](PageInfo&, PageHeader& h) { h.MultPagePrint = 3; h.MultPageBorder = 1; h.MultPageOrder = 2; }},
      {"two up turns the sheet", [](HostSettings& s) { s.blocks.hsNup = 1; }, {},
       [](PageInfo& i, PageHeader& h) {
         h.MultPagePrint = 1;
         h.Orient = 1;
         h.DuplexBinding = 1;
         SetGeometry(i, h, 7040, 4992, 880);
       }},
      {"booklet leaves out stapling",
       [](HostSettings& s) { s.blocks.hsBooklet = 6; s.blocks.hsStaple = 1; s.blocks.hsStaplePosition = 1; }, {},
       [](PageInfo&, PageHeader& h) { h.MultPagePrint = 9; h.Collated = 1; }},
      {"zoom to A3",
       [](HostSettings& s) { s.blocks.hsZoomToPaper = 1; s.blocks.hsZoomPaper = 6; s.blocks.hsFitToPaper = 1; }, {},
       [](PageInfo& i, PageHeader& h) {
         h.Paper = 6;
         h.Zoom = 1;
         h.ZoomOutputPaper = 6;
         SetGeometry(i, h, 7040, 9952, 880);
       }},
      {"zoom 50 %", [](HostSettings& s) { s.blocks.hsZoom = 500; }, {},
       [](PageInfo&, PageHeader& h) { h.ZoomNumber = 50; }},
      {"one staple upper left", [](HostSettings& s) { s.blocks.hsStaple = 1; s.blocks.hsStaplePosition = 1; }, {},
       [](PageInfo& i, PageHeader& h) {
         i.BmpRotate = 3;
         h.Orient = 1;
         h.Collated = 1;
         h.Staple = 3;
         h.StaplePoint = 2;
         h.Angle = 180;
       }},
      {"two holes at the top", [](HostSettings& s) { s.blocks.hsPunch = 1; s.blocks.hsPunchPosition = 2; }, {},
       [](PageInfo&, PageHeader& h) { h.Punch = 1; h.PunchHoles = 0; h.Angle = 180; }},
      {"automatic fax fields",
       [](HostSettings& s) {
         std::strcpy(s.blocks.hsFaxPassword, "secret");
         s.blocks.hsFaxAuto = 1;
         s.blocks.hsFaxItem = 2;
         s.blocks.hsFaxTxDocList = 1;
       },
       {},
       [](PageInfo&, PageHeader& h) {
         std::strcpy(h.FaxPassword, "secret");
         h.FaxAuto = 1;
         h.FaxItem = 2;
         h.FaxTxDocList = 1;
       }},
      {"a print quality not in the table renders at 600 dpi", {},
       [](HostDevMode& d) { d.dm.dmPrintQuality = d.dm.dmYResolution = d.dm.dmLogPixels = 400; },
       [](PageInfo&, PageHeader&) {}},
      {"300 dpi", [](HostSettings& s) { s.hsResolutionIndex = 1; }, {},
       [](PageInfo& i, PageHeader& h) {
         h.Resolution = 300;
         i.dmLogPixels = 300;
         SetGeometry(i, h, 2496, 3520, 312);
       }},
      {"a free size is a custom paper", {},
       [](HostDevMode& d) {
         d.dm.dmPaperSize = 256;
         d.dm.dmPaperWidth = 2000;
         d.dm.dmPaperLength = 2800;
         d.dm.dmFields |= DM_PAPERWIDTH | DM_PAPERLENGTH;
       },
       [](PageInfo& i, PageHeader& h) {
         h.Paper = 16;
         SetGeometry(i, h, 4736, 6624, 592);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    JobDevMode job;
    if (c.settings) c.settings(job.settings);
    CapturedOutputReset();
    const Sheet sheet = PrintOne(job, c.devMode);
    PageInfo info = baseline.info;
    PageHeader header = baseline.header;
    c.expect(info, header);
    EXPECT_EQ(Differences(BytesOf(info, header), BytesOf(sheet.info, sheet.header)), "");
  }
}

}  // namespace
}  // namespace k460::testing
