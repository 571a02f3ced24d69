// The merge of an incoming record into a target record: a table of
// incoming records and the target each one must give.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <optional>

#include "tests/driver/pcl/printer_common/settings/settings_test_support.h"
#include "tests/support/machine_fixture.h"

namespace {

using namespace settings_test;
using MergeTest = k460::testing::MachineTest;

void SetCustomPaper(JobSettings& r, int entry, float width, float length, int unit) {
  r.pv.pvCustomPapers[entry].fWidth = width;
  r.pv.pvCustomPapers[entry].fLength = length;
  r.pv.pvCustomPapers[entry].lUnit = unit;
}

void SetPaper(JobSettings& r, SHORT code, SHORT width = 0, SHORT length = 0) {
  LeSet(r.dm.dmPaperSize, code);
  LeSet(r.dm.dmPaperWidth, width);
  LeSet(r.dm.dmPaperLength, length);
}

// The target fields a case looks at; unset ones must keep the target's value.
struct Expected {
  std::optional<DWORD> fields = {};
  std::optional<SHORT> orientation = {};
  std::optional<SHORT> copies = {};
  std::optional<SHORT> quality = {};
  std::optional<SHORT> color = {};
  std::optional<SHORT> duplex = {};
  std::optional<SHORT> source = {};
  std::optional<SHORT> paper = {};
  std::optional<SHORT> width = {};
  std::optional<SHORT> length = {};
  std::optional<int> paperIndex = {};
  std::optional<std::u16string> formName = {};
  std::optional<int> zoom = {};
  std::optional<WORD> pvDuplex = {};
};

struct MergeCase {
  const char* name;
  DWORD incomingFields;
  std::function<void(JobSettings&)> edit;  // on the incoming record (the A4 defaults)
  Expected expected;
  bool letter = false;
  DWORD targetFields = 0;
  std::size_t incomingPrivateSize = kJobSettingsPrivateSize;
};

constexpr DWORD kSizeBits = DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH;

const MergeCase kCases[] = {
    // Public fields: out-of-range values are replaced, each taken field marked.
    {"copies 0", DM_COPIES, [](JobSettings& r) { LeSet(r.dm.dmCopies, 0); }, {.fields = DM_COPIES, .copies = 1}},
    {"copies 1000", DM_COPIES, [](JobSettings& r) { LeSet(r.dm.dmCopies, 1000); }, {.fields = DM_COPIES, .copies = 1}},
    {"copies 999", DM_COPIES, [](JobSettings& r) { LeSet(r.dm.dmCopies, 999); }, {.fields = DM_COPIES, .copies = 999}},
    {"copies -3", DM_COPIES, [](JobSettings& r) { LeSet(r.dm.dmCopies, -3); }, {.fields = DM_COPIES, .copies = 1}},
    {"quality 1200", DM_PRINTQUALITY, [](JobSettings& r) { LeSet(r.dm.dmPrintQuality, 1200); },
     {.fields = DM_PRINTQUALITY, .quality = 600}},
    {"quality 300", DM_PRINTQUALITY, [](JobSettings& r) { LeSet(r.dm.dmPrintQuality, 300); },
     {.fields = DM_PRINTQUALITY, .quality = 300}},
    {"color 3", DM_COLOR, [](JobSettings& r) { LeSet(r.dm.dmColor, 3); }, {.fields = DM_COLOR, .color = 1}},
    {"color 2", DM_COLOR, [](JobSettings& r) { LeSet(r.dm.dmColor, 2); }, {.fields = DM_COLOR, .color = 2}},
    {"orientation 3", DM_ORIENTATION, [](JobSettings& r) { LeSet(r.dm.dmOrientation, 3); },
     {.fields = DM_ORIENTATION, .orientation = 1}},
    {"orientation 2", DM_ORIENTATION, [](JobSettings& r) { LeSet(r.dm.dmOrientation, 2); },
     {.fields = DM_ORIENTATION, .orientation = 2}},
    {"any default source", DM_DEFAULTSOURCE, [](JobSettings& r) { LeSet(r.dm.dmDefaultSource, 999); },
     {.fields = DM_DEFAULTSOURCE, .source = 999}},
    {"duplex 4 leaves the bit out", DM_DUPLEX, [](JobSettings& r) { LeSet(r.dm.dmDuplex, 4); },
     {.fields = 0, .duplex = 1}},
    {"duplex 3", DM_DUPLEX, [](JobSettings& r) { LeSet(r.dm.dmDuplex, 3); }, {.fields = DM_DUPLEX, .duplex = 3}},
    {"duplex 101", DM_DUPLEX, [](JobSettings& r) { LeSet(r.dm.dmDuplex, 101); }, {.fields = DM_DUPLEX, .duplex = 101}},
    {"unmarked fields are not taken", 0,
     [](JobSettings& r) {
       LeSet(r.dm.dmCopies, 5);
       LeSet(r.dm.dmOrientation, 2);
       LeSet(r.dm.dmDuplex, 2);
     },
     {.fields = 0, .orientation = 1, .copies = 1, .duplex = 1}},
    // Paper: the DM_PAPERSIZE branch.
    {"standard paper", DM_PAPERSIZE, [](JobSettings& r) { SetPaper(r, DMPAPER_A3); },
     {.fields = DM_PAPERSIZE, .paper = DMPAPER_A3, .width = 0, .length = 0, .paperIndex = 4},
     false, DM_PAPERLENGTH | DM_PAPERWIDTH | DM_FORMNAME},
    {"driver paper code 8K", DM_PAPERSIZE, [](JobSettings& r) { SetPaper(r, kPaper8K); },
     {.fields = DM_PAPERSIZE, .paper = kPaper8K, .paperIndex = 11}},
    {"unknown code falls back to A4", DM_PAPERSIZE, [](JobSettings& r) { SetPaper(r, 50); },
     {.fields = DM_PAPERSIZE, .paper = DMPAPER_A4, .width = 0, .length = 0}},
    {"unknown code falls back to Letter", DM_PAPERSIZE, [](JobSettings& r) { SetPaper(r, 50); },
     {.fields = DM_PAPERSIZE, .paper = DMPAPER_LETTER}, true},
    {"custom millimetres", DM_PAPERSIZE,
     [](JobSettings& r) {
       SetPaper(r, 300);
       SetCustomPaper(r, 39, 100.0f, 148.0f, kUnitMillimetre);
     },
     {.fields = DM_PAPERSIZE, .paper = 300, .width = 1000, .length = 1480}},
    {"custom millimetres in landscape", DM_PAPERSIZE,
     [](JobSettings& r) {
       SetPaper(r, 300);
       LeSet(r.dm.dmOrientation, 2);
       SetCustomPaper(r, 39, 100.0f, 148.0f, kUnitMillimetre);
     },
     {.fields = DM_PAPERSIZE, .paper = 300, .width = 1480, .length = 1000}},
    {"custom inches", DM_PAPERSIZE,
     [](JobSettings& r) {
       SetPaper(r, 300);
       SetCustomPaper(r, 39, 8.5f, 11.0f, kUnitInch);
     },
     {.fields = DM_PAPERSIZE, .paper = 300, .width = 2159, .length = 2794}},
    {"custom inches are truncated", DM_PAPERSIZE,
     [](JobSettings& r) {
       SetPaper(r, 261);
       SetCustomPaper(r, 0, 6.0f, 4.0f, kUnitInch);
     },
     {.fields = DM_PAPERSIZE, .paper = 261, .width = 1523, .length = 1016}},
    {"custom millimetres are truncated", DM_PAPERSIZE,
     [](JobSettings& r) {
       SetPaper(r, 310);
       SetCustomPaper(r, 49, 99.99f, 148.06f, kUnitMillimetre);
     },
     {.fields = DM_PAPERSIZE, .paper = 310, .width = 999, .length = 1480}},
    {"empty custom entry falls back", DM_PAPERSIZE,
     [](JobSettings& r) {
       SetPaper(r, 300);
       SetCustomPaper(r, 39, 100.0f, 148.0f, kUnitNone);  // stale sizes of an unused entry
     },
     {.fields = DM_PAPERSIZE, .paper = DMPAPER_A4, .width = 0, .length = 0}},
    {"empty custom entry falls back to Letter", DM_PAPERSIZE, [](JobSettings& r) { SetPaper(r, 300); },
     {.fields = DM_PAPERSIZE, .paper = DMPAPER_LETTER, .width = 0, .length = 0}, true},
    {"custom entry that is no size falls back", DM_PAPERSIZE,
     [](JobSettings& r) {
       SetPaper(r, 300);
       SetCustomPaper(r, 39, std::nanf(""), 1e30f, kUnitInch);
     },
     {.fields = DM_PAPERSIZE, .paper = DMPAPER_A4, .width = 0, .length = 0}},
    {"negative custom size falls back", DM_PAPERSIZE,
     [](JobSettings& r) {
       SetPaper(r, 300);
       SetCustomPaper(r, 39, -100.0f, 148.0f, kUnitMillimetre);
     },
     {.fields = DM_PAPERSIZE, .paper = DMPAPER_A4, .width = 0, .length = 0}},
    {"code above the custom range falls back", DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH,
     [](JobSettings& r) { SetPaper(r, 400, 1000, 1480); },
     {.fields = DM_PAPERSIZE, .paper = DMPAPER_A4, .width = 0, .length = 0}},
    // Paper: the width-and-length branch.
    {"given size with a standard code", DM_PAPERLENGTH | DM_PAPERWIDTH,
     [](JobSettings& r) { SetPaper(r, DMPAPER_B5, 1111, 2222); },
     {.fields = kSizeBits, .paper = DMPAPER_B5, .width = 0, .length = 0, .paperIndex = 9},
     false, DM_FORMNAME},
    {"given size with a custom code takes the entry's", DM_PAPERLENGTH | DM_PAPERWIDTH,
     [](JobSettings& r) {
       SetPaper(r, 300, 1111, 2222);
       SetCustomPaper(r, 39, 100.0f, 148.0f, kUnitMillimetre);
     },
     {.fields = kSizeBits, .paper = 300, .width = 1000, .length = 1480}},
    {"given size with an empty custom entry", DM_PAPERLENGTH | DM_PAPERWIDTH,
     [](JobSettings& r) { SetPaper(r, 300, 1111, 2222); },
     {.fields = kSizeBits, .paper = DMPAPER_A4, .width = 0, .length = 0}},
    {"zero width goes to the paper-size branch", kSizeBits,
     [](JobSettings& r) { SetPaper(r, DMPAPER_A5, 0, 2222); },
     {.fields = DM_PAPERSIZE, .paper = DMPAPER_A5, .width = 0, .length = 0}, false, kSizeBits},
    // Paper: the form-name branch.
    {"form name", DM_FORMNAME | DM_PAPERLENGTH | DM_PAPERWIDTH,
     [](JobSettings& r) {
       SetPaper(r, DMPAPER_A3, 0, 0);
       StoreText(r.dm.dmFormName, CCHFORMNAME, u"Legal");
     },
     {.fields = DM_FORMNAME, .paper = DMPAPER_A4, .formName = u"Legal"}, false, kSizeBits},
    {"unterminated form name is cut", DM_FORMNAME,
     [](JobSettings& r) {
       for (int i = 0; i < CCHFORMNAME; ++i) LeSet(r.dm.dmFormName[i], u'F');
     },
     {.fields = DM_FORMNAME, .formName = std::u16string(31, u'F')}},
    // The private part.
    {"signed private part is taken", 0, [](JobSettings& r) { r.pv.pvZoom = 50; }, {.zoom = 50}},
    {"unsigned private part is not", 0,
     [](JobSettings& r) {
       r.pv.pvZoom = 50;
       r.pv.pvSignature = 0x41424344;
     },
     {.zoom = 100}},
    {"old private part brings dmDuplex into pvDuplex", DM_DUPLEX, [](JobSettings& r) { LeSet(r.dm.dmDuplex, 2); },
     {.fields = DM_DUPLEX, .duplex = 2, .pvDuplex = 2}, false, 0, kOldPrivateSizeMax},
    {"public-only record brings dmDuplex into pvDuplex", 0, [](JobSettings& r) { LeSet(r.dm.dmDuplex, 3); },
     {.duplex = 1, .pvDuplex = 3}, false, 0, 0},
};

TEST_F(MergeTest, IncomingRecordsGiveTheirTargets) {
  for (const MergeCase& c : kCases) {
    SCOPED_TRACE(c.name);
    JobSettings target = Defaults(c.letter);
    LeSet(target.dm.dmFields, c.targetFields);
    JobSettings incoming = Defaults(false);
    LeSet(incoming.dm.dmFields, c.incomingFields);
    c.edit(incoming);
    const Bytes bytes = RecordBytes(incoming, c.incomingPrivateSize);

    const JobSettings before = target;
    ASSERT_TRUE(SettingsMerge(target, bytes.data(), bytes.size(), c.letter));

    const Expected& e = c.expected;
    auto check = [](const auto& expected, auto actual, const auto& unchanged, const char* what) {
      EXPECT_EQ(actual, expected.value_or(unchanged)) << what;
    };
    check(e.fields, LeGet(target.dm.dmFields), LeGet(before.dm.dmFields), "dmFields");
    check(e.orientation, LeGet(target.dm.dmOrientation), LeGet(before.dm.dmOrientation), "dmOrientation");
    check(e.copies, LeGet(target.dm.dmCopies), LeGet(before.dm.dmCopies), "dmCopies");
    check(e.quality, LeGet(target.dm.dmPrintQuality), LeGet(before.dm.dmPrintQuality), "dmPrintQuality");
    check(e.color, LeGet(target.dm.dmColor), LeGet(before.dm.dmColor), "dmColor");
    check(e.duplex, LeGet(target.dm.dmDuplex), LeGet(before.dm.dmDuplex), "dmDuplex");
    check(e.source, LeGet(target.dm.dmDefaultSource), LeGet(before.dm.dmDefaultSource), "dmDefaultSource");
    check(e.paper, LeGet(target.dm.dmPaperSize), LeGet(before.dm.dmPaperSize), "dmPaperSize");
    check(e.width, LeGet(target.dm.dmPaperWidth), LeGet(before.dm.dmPaperWidth), "dmPaperWidth");
    check(e.length, LeGet(target.dm.dmPaperLength), LeGet(before.dm.dmPaperLength), "dmPaperLength");
    if (e.paperIndex) {
      EXPECT_EQ(target.pv.pvPaperIndex, *e.paperIndex) << "pvPaperIndex";
    }
    check(e.formName, LoadText(target.dm.dmFormName, CCHFORMNAME), LoadText(before.dm.dmFormName, CCHFORMNAME),
          "dmFormName");
    check(e.zoom, target.pv.pvZoom.value(), before.pv.pvZoom.value(), "pvZoom");
    check(e.pvDuplex, target.pv.pvDuplex.value(), before.pv.pvDuplex.value(), "pvDuplex");
    // Never taken from an incoming record, and the target keeps its layout.
    EXPECT_EQ(LeGet(target.dm.dmScale), LeGet(before.dm.dmScale));
    EXPECT_EQ(LeGet(target.dm.dmCollate), LeGet(before.dm.dmCollate));
    EXPECT_EQ(LeGet(target.dm.dmSize), kJobSettingsPublicSize);
    EXPECT_EQ(LeGet(target.dm.dmDriverExtra), kJobSettingsPrivateSize);
  }
}

TEST_F(MergeTest, ScaleResolutionTrueTypeAndCollateAreNeverTaken) {
  JobSettings target = Defaults(false);
  JobSettings incoming = Defaults(false);
  LeSet(incoming.dm.dmFields, DM_SCALE | DM_YRESOLUTION | DM_TTOPTION | DM_COLLATE);
  LeSet(incoming.dm.dmScale, 50);
  LeSet(incoming.dm.dmYResolution, 300);
  LeSet(incoming.dm.dmTTOption, 1);
  LeSet(incoming.dm.dmCollate, 1);
  incoming.pv.pvSignature = 0;  // and no private part carries them in
  const JobSettings before = target;
  const Bytes bytes = RecordBytes(incoming);
  ASSERT_TRUE(SettingsMerge(target, bytes.data(), bytes.size(), false));
  EXPECT_EQ(Raw(target), Raw(before));
}

TEST_F(MergeTest, UnsignedRecordLeavesThePrivatePartAndItsCustomPapersAlone) {
  JobSettings target = Defaults(false);
  SetCustomPaper(target, 39, 100.0f, 148.0f, kUnitMillimetre);
  JobSettings incoming = Defaults(false);
  incoming.pv.pvSignature = 0;  // another driver's private part
  SetCustomPaper(incoming, 39, 5.0f, 5.0f, kUnitInch);
  SetCustomPaper(incoming, 2, 5.0f, 5.0f, kUnitInch);
  LeSet(incoming.dm.dmFields, DM_PAPERSIZE);
  SetPaper(incoming, 300);
  const JobSettings before = target;
  const Bytes bytes = RecordBytes(incoming);
  ASSERT_TRUE(SettingsMerge(target, bytes.data(), bytes.size(), false));
  EXPECT_EQ(std::memcmp(&target.pv, &before.pv, sizeof target.pv), 0);
  // The paper code names the target's own custom paper, not the foreign bytes.
  EXPECT_EQ(LeGet(target.dm.dmPaperSize), 300);
  EXPECT_EQ(LeGet(target.dm.dmPaperWidth), 1000);
  EXPECT_EQ(LeGet(target.dm.dmPaperLength), 1480);
}

TEST_F(MergeTest, NothingToMergeAndRecordsThatContributeNothing) {
  const JobSettings incoming = Defaults(true);
  struct Case {
    const char* name;
    Bytes bytes;
    bool absent;
    bool result;
  } cases[] = {
      {"no incoming record", {}, true, true},
      {"claims more than its buffer", RecordBytes(incoming, 3856, 220, 4075), false, false},
      {"public part larger than its buffer", RecordBytes(incoming, 0, 220, 200), false, false},
      {"buffer shorter than a header", Bytes(50, 0), false, false},
      {"dmSize too small for the header", RecordBytes(incoming, 3856, 60), false, false},
      {"empty buffer", Bytes(), false, false},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    // An exactly sized heap buffer, so that a read past it is caught.
    std::unique_ptr<BYTE[]> buffer(new BYTE[c.bytes.size()]);
    if (!c.bytes.empty()) std::memcpy(buffer.get(), c.bytes.data(), c.bytes.size());
    JobSettings target = Defaults(false);
    const JobSettings before = target;
    SetLastError(0);
    EXPECT_EQ(SettingsMerge(target, c.absent ? nullptr : buffer.get(), c.bytes.size(), false), c.result);
    if (!c.result) {
      EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    }
    EXPECT_EQ(Raw(target), Raw(before));
  }
}

TEST_F(MergeTest, ScratchCopyThatCannotBeMadeLeavesTheTargetAlone) {
  JobSettings target = Defaults(false);
  const JobSettings before = target;
  JobSettings incoming = Defaults(true);
  LeSet(incoming.dm.dmCopies, 7);
  const Bytes bytes = RecordBytes(incoming);
  k460::InjectFault("LocalAlloc", 0, 1, ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_FALSE(SettingsMerge(target, bytes.data(), bytes.size(), false));
  EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_EQ(Raw(target), Raw(before));
  EXPECT_TRUE(SettingsMerge(target, bytes.data(), bytes.size(), false));
  EXPECT_EQ(LeGet(target.dm.dmCopies), 7);
}

TEST_F(MergeTest, RecordWithALargerPublicPartIsReadWhereItsPrivatePartIs) {
  JobSettings incoming = Defaults(false);
  LeSet(incoming.dm.dmFields, DM_COPIES);
  LeSet(incoming.dm.dmCopies, 12);
  incoming.pv.pvZoom = 250;
  const Bytes bytes = RecordBytes(incoming, kJobSettingsPrivateSize, 300);
  JobSettings target = Defaults(false);
  ASSERT_TRUE(SettingsMerge(target, bytes.data(), bytes.size(), false));
  EXPECT_EQ(LeGet(target.dm.dmCopies), 12);
  EXPECT_EQ(target.pv.pvZoom, 250);
  EXPECT_EQ(LeGet(target.dm.dmSize), kJobSettingsPublicSize);
}

}  // namespace
