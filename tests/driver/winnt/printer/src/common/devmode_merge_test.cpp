// Merging a caller's device mode into the user interface's own record.
#include <gtest/gtest.h>

#include <functional>

#include "tests/driver/winnt/printer/src/common/hostsettings_support.h"

namespace k460::testing {
namespace {

struct MergeCase {
  const char* name;
  DWORD fields;  // the caller's dmFields
  std::function<void(HostDevMode&)> caller;
  std::function<bool(const HostDevMode&)> merged;
  HostVariant variant = HostVariant::kHostBased;
  std::uint16_t driverExtra = 452;
};

TEST(DevModeMergeTest, MarkedFieldsOfTheCallersRecordAreTaken) {
  const MergeCase cases[] = {
      {"Legal", DM_PAPERSIZE, [](HostDevMode& d) { d.dm.dmPaperSize = 5; d.dm.dmPaperWidth = 99; },
       [](const HostDevMode& d) { return d.dm.dmPaperSize == 5 && d.dm.dmPaperWidth == 0; }},
      {"custom paper takes the table's size", DM_PAPERSIZE | DM_PAPERWIDTH,
       [](HostDevMode& d) { d.dm.dmPaperSize = 257; d.dm.dmPaperWidth = 5; },
       [](const HostDevMode& d) {
         return d.dm.dmPaperSize == 257 && d.dm.dmPaperWidth == 1480 && d.dm.dmPaperLength == 2100;
       }},
      {"unknown custom code is refused", DM_PAPERSIZE, [](HostDevMode& d) { d.dm.dmPaperSize = 300; },
       [](const HostDevMode& d) { return d.dm.dmPaperSize == 9; }},
      {"free size takes the caller's size", DM_PAPERSIZE | DM_PAPERWIDTH | DM_PAPERLENGTH,
       [](HostDevMode& d) { d.dm.dmPaperSize = 256; d.dm.dmPaperWidth = 1200; d.dm.dmPaperLength = 1800; },
       [](const HostDevMode& d) {
         return d.dm.dmPaperSize == 256 && d.dm.dmPaperWidth == 1200 && d.dm.dmPaperLength == 1800;
       }},
      {"unmarked paper is ignored", DM_COPIES, [](HostDevMode& d) { d.dm.dmPaperSize = 5; },
       [](const HostDevMode& d) { return d.dm.dmPaperSize == 9; }},
      {"form name", DM_FORMNAME,
       [](HostDevMode& d) { std::fill(std::begin(d.dm.dmFormName), std::end(d.dm.dmFormName), u'F'); },
       [](const HostDevMode& d) { return d.dm.dmFormName[30] == u'F' && d.dm.dmFormName[31] == u'\0'; }},
      {"source through the table", DM_DEFAULTSOURCE, [](HostDevMode& d) { d.dm.dmDefaultSource = 11; },
       [](const HostDevMode& d) { return d.dm.dmDefaultSource == 11; }},
      {"unknown source is auto select", DM_DEFAULTSOURCE, [](HostDevMode& d) { d.dm.dmDefaultSource = 15; },
       [](const HostDevMode& d) { return d.dm.dmDefaultSource == 7; }},
      {"print quality sets all three", DM_PRINTQUALITY, [](HostDevMode& d) { d.dm.dmPrintQuality = 300; },
       [](const HostDevMode& d) {
         return d.dm.dmPrintQuality == 300 && d.dm.dmYResolution == 300 && d.dm.dmLogPixels == 300;
       }},
      {"Y resolution when the quality is no table value", DM_PRINTQUALITY | DM_YRESOLUTION,
       [](HostDevMode& d) { d.dm.dmPrintQuality = -4; d.dm.dmYResolution = 200; },
       [](const HostDevMode& d) { return d.dm.dmPrintQuality == 200 && d.dm.dmLogPixels == 200; }},
      {"no table resolution keeps the record's", DM_PRINTQUALITY, [](HostDevMode& d) { d.dm.dmPrintQuality = 400; },
       [](const HostDevMode& d) { return d.dm.dmPrintQuality == 600; }},
      {"fax resolution table", DM_PRINTQUALITY, [](HostDevMode& d) { d.dm.dmPrintQuality = 400; },
       [](const HostDevMode& d) { return d.dm.dmPrintQuality == 400 && d.dm.dmLogPixels == 400; },
       HostVariant::kFax},
      {"copies at least 1", DM_COPIES, [](HostDevMode& d) { d.dm.dmCopies = 0; },
       [](const HostDevMode& d) { return d.dm.dmCopies == 1; }},
      {"copies at most 999", DM_COPIES, [](HostDevMode& d) { d.dm.dmCopies = 32000; },
       [](const HostDevMode& d) { return d.dm.dmCopies == 999; }},
      {"orientation", DM_ORIENTATION, [](HostDevMode& d) { d.dm.dmOrientation = 2; },
       [](const HostDevMode& d) { return d.dm.dmOrientation == 2; }},
      {"odd orientation is portrait", DM_ORIENTATION, [](HostDevMode& d) { d.dm.dmOrientation = 9; },
       [](const HostDevMode& d) { return d.dm.dmOrientation == 1; }},
      {"private collate", 0, [](HostDevMode& d) { d.dpCollate = 1; },
       [](const HostDevMode& d) { return d.dpCollate == 1 && d.dm.dmCollate == 1; }},
      {"private collate 7 is off", 0, [](HostDevMode& d) { d.dpCollate = 7; },
       [](const HostDevMode& d) { return d.dpCollate == 0 && d.dm.dmCollate == 0; }},
      {"marked public collate wins", DM_COLLATE, [](HostDevMode& d) { d.dm.dmCollate = 1; d.dpCollate = 0; },
       [](const HostDevMode& d) { return d.dpCollate == 1 && d.dm.dmCollate == 1; }},
      {"blocks", 0, [](HostDevMode& d) { d.blocks.hsBooklet = 6; d.blocks.hsStaple = 1; },
       [](const HostDevMode& d) { return d.blocks.hsBooklet == 6 && d.blocks.hsStaple == 1; }},
      {"fax leaves finishing out", 0, [](HostDevMode& d) { d.blocks.hsBooklet = 6; d.blocks.hsStaple = 1; },
       [](const HostDevMode& d) { return d.blocks.hsBooklet == 6 && d.blocks.hsStaple == 0; }, HostVariant::kFax},
      {"another driver's record is not merged", DM_COPIES | DM_PAPERSIZE,
       [](HostDevMode& d) { d.dm.dmCopies = 5; d.dm.dmPaperSize = 5; },
       [](const HostDevMode& d) { return d.dm.dmCopies == 1 && d.dm.dmPaperSize == 9; }, HostVariant::kHostBased,
       0},
  };
  const CustomPaperRecord custom = MakeCustomPaper(257, 0, 1480, 2100, u"Card");
  for (const MergeCase& c : cases) {
    SCOPED_TRACE(c.name);
    const PaperTable papers = PaperTable::Build(c.variant, std::span(&custom, 1));
    HostDevMode caller = DefaultDevMode(c.variant);
    caller.dm.dmFields = c.fields;
    caller.dm.dmDriverExtra = c.driverExtra;
    c.caller(caller);
    HostDevMode target = DefaultDevMode(c.variant);
    MergeDevMode(target, Incoming(caller), papers);
    EXPECT_TRUE(c.merged(target));
  }
}

}  // namespace
}  // namespace k460::testing
