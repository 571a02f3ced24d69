// The library's entry points called directly: the driver table, the
// queries, the escapes, and instances that are not (or no longer) ours.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "driver/winnt/printer/src/km/device_instance.h"
#include "driver/winnt/printer/src/km/entry_points.h"
#include "platform/module/module.h"
#include "platform/spooler/capture.h"
#include "tests/support/machine_fixture.h"

namespace k460::hbgraph {
namespace {

using hostsettings::HostVariant;

class EntryPointsTest : public testing::MachineTest {
 protected:
  void SetUp() override {
    MachineTest::SetUp();
    DRVENABLEDATA data{};
    ASSERT_TRUE(EnableDriver(HostVariant::kHostBased, ENGINE_VERSION, sizeof(data), &data));
    printer_ = OpenCapturePrinter();
  }
  void TearDown() override {
    DisableDriver();
    CloseHandle(printer_);
    MachineTest::TearDown();
  }

  // A device enabled without a device mode (the printer's defaults).
  DHPDEV Enable(GDIINFO& caps, DEVINFO& info) {
    HSURF patterns[HS_DDI_MAX];
    std::fill(std::begin(patterns), std::end(patterns), reinterpret_cast<HSURF>(1));
    DHPDEV dev = DrvEnablePDEV(nullptr, nullptr, HS_DDI_MAX, patterns, sizeof(caps), &caps, sizeof(info), &info,
                               nullptr, nullptr, printer_);
    for (HSURF p : patterns) EXPECT_EQ(p, nullptr);
    return dev;
  }

  HANDLE printer_ = nullptr;
};

TEST_F(EntryPointsTest, TheDriverTableHoldsTheTwentyFiveEntryPointsOnce) {
  DRVENABLEDATA data{};
  ASSERT_TRUE(EnableDriver(HostVariant::kHostBased, DDI_DRIVER_VERSION_NT4, 12, &data));
  EXPECT_EQ(data.iDriverVersion, 0x20000u);
  ASSERT_EQ(data.c, 25u);
  std::set<ULONG> indexes;
  for (ULONG i = 0; i < data.c; ++i) {
    indexes.insert(data.pdrvfn[i].iFunc);
    EXPECT_NE(data.pdrvfn[i].pfn, nullptr);
  }
  EXPECT_EQ(indexes.size(), 25u);
  EXPECT_EQ(data.pdrvfn[0].iFunc, INDEX_DrvEnablePDEV);
  EXPECT_EQ(data.pdrvfn[24].iFunc, INDEX_DrvSetPalette);

  SetLastError(0);
  EXPECT_FALSE(EnableDriver(HostVariant::kHostBased, 0x1FFFF, sizeof(data), &data));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_FALSE(EnableDriver(HostVariant::kHostBased, ENGINE_VERSION, 11, &data));
  EXPECT_FALSE(EnableDriver(HostVariant::kHostBased, ENGINE_VERSION, 12, nullptr));
}

TEST_F(EntryPointsTest, QueryDriverInfoAnswersUserModeOnly) {
  DWORD value = 0, needed = 0;
  EXPECT_TRUE(QueryDriverInfo(DRVQUERY_USERMODE, &value, sizeof(value), &needed));
  EXPECT_EQ(value, 1u);
  EXPECT_EQ(needed, 4u);
  EXPECT_FALSE(QueryDriverInfo(DRVQUERY_USERMODE, &value, 3, &needed));
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(needed, 4u);
  EXPECT_FALSE(QueryDriverInfo(2, &value, sizeof(value), &needed));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_FALSE(QueryDriverInfo(DRVQUERY_USERMODE, &value, sizeof(value), nullptr));
}

TEST_F(EntryPointsTest, EscapesAnswerAsTheDriverSupportsThem) {
  auto query = [](std::uint16_t escape) {
    return DrvEscape(nullptr, QUERYESCSUPPORT, sizeof(escape), &escape, 0, nullptr);
  };
  EXPECT_EQ(query(QUERYESCSUPPORT), 1u);
  EXPECT_EQ(query(SETCOPYCOUNT), 1u);
  EXPECT_EQ(query(GETTECHNOLOGY), 0u) << "although GETTECHNOLOGY itself answers";
  EXPECT_EQ(DrvEscape(nullptr, QUERYESCSUPPORT, 0, nullptr, 0, nullptr), 0u);

  char technology[8] = {};
  EXPECT_EQ(DrvEscape(nullptr, GETTECHNOLOGY, 0, nullptr, sizeof(technology), technology), 1u);
  EXPECT_STREQ(technology, "Raster");
  char small[6] = {};
  EXPECT_EQ(DrvEscape(nullptr, GETTECHNOLOGY, 0, nullptr, sizeof(small), small), 0u);

  struct Case {
    std::uint32_t asked;
    std::uint32_t answered;
  } cases[] = {{0, 1}, {5, 5}, {999, 999}, {5000, 999}, {0x80000000u, 999}};
  for (const Case& c : cases) {
    std::uint32_t in = c.asked, out = 0;
    EXPECT_EQ(DrvEscape(nullptr, SETCOPYCOUNT, sizeof(in), &in, sizeof(out), &out), 0u);
    EXPECT_EQ(out, c.answered) << c.asked;
  }
  EXPECT_EQ(DrvEscape(nullptr, SETCOPYCOUNT, 0, nullptr, 0, nullptr), 0xFFFFFFFFu);
  std::uint16_t shortCount = 3;
  EXPECT_EQ(DrvEscape(nullptr, SETCOPYCOUNT, sizeof(shortCount), &shortCount, 0, nullptr), 0xFFFFFFFFu);
  EXPECT_EQ(DrvEscape(nullptr, 4711, 0, nullptr, 0, nullptr), 0u);
  EXPECT_EQ(DrvDrawEscape(nullptr, 4711, nullptr, nullptr, 0, nullptr), 0xFFFFFFFFu);
  EXPECT_EQ(DrvDitherColor(nullptr, 0, 0x808080, nullptr), DCR_HALFTONE);
  EXPECT_FALSE(DrvSetPalette(nullptr, nullptr, 0, 0, 0));
}

TEST_F(EntryPointsTest, TheFaxLibraryLimitsCopiesTo99) {
  DRVENABLEDATA data{};
  ASSERT_TRUE(EnableDriver(HostVariant::kFax, ENGINE_VERSION, sizeof(data), &data));
  std::uint32_t in = 150, out = 0;
  EXPECT_EQ(DrvEscape(nullptr, SETCOPYCOUNT, sizeof(in), &in, sizeof(out), &out), 0u);
  EXPECT_EQ(out, 99u);
}

TEST_F(EntryPointsTest, AnEnabledDeviceReportsItsPageAndAPalette) {
  GDIINFO caps{};
  DEVINFO info{};
  DHPDEV dev = Enable(caps, info);
  ASSERT_NE(dev, nullptr);
  EXPECT_EQ(caps.ulVersion, 0x400u);
  EXPECT_EQ(caps.ulTechnology, DT_RASPRINTER);
  EXPECT_EQ(caps.ulHorzRes, 4960u - 216);
  EXPECT_EQ(caps.ulVertRes, 7015u - 216);
  EXPECT_NE(info.hpalDefault, nullptr);
  EXPECT_EQ(info.iDitherFormat, BMF_24BPP);
  DrvDisablePDEV(dev);
}

TEST_F(EntryPointsTest, ShortCapabilityRecordsGetWhatFits) {
  GDIINFO caps{};
  DEVINFO info{};
  std::memset(&caps, 0xAB, sizeof(caps));
  DHPDEV dev = DrvEnablePDEV(nullptr, nullptr, 0, nullptr, 8, &caps, sizeof(info), &info, nullptr, nullptr, printer_);
  ASSERT_NE(dev, nullptr);
  EXPECT_EQ(caps.ulVersion, 0x400u);
  EXPECT_EQ(caps.ulTechnology, DT_RASPRINTER);
  EXPECT_EQ(caps.ulHorzSize, 0xABABABABu) << "beyond the caller's size nothing is written";
  DrvDisablePDEV(dev);
  SetLastError(0);
  EXPECT_EQ(DrvEnablePDEV(nullptr, nullptr, 0, nullptr, sizeof(caps), nullptr, sizeof(info), &info, nullptr, nullptr,
                          printer_),
            nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(EntryPointsTest, InstancesThatAreNotOursOrNoLongerLiveAreRefused) {
  GDIINFO caps{};
  DEVINFO info{};
  DHPDEV dev = Enable(caps, info);
  ASSERT_NE(dev, nullptr);
  SURFOBJ so{};
  so.dhpdev = dev;
  POINTL origin{};

  // Broken closing tag: the drawing checks fail, the frame checks pass.
  auto* device = reinterpret_cast<HbDevice*>(dev);
  const Tag end = device->tagEnd;
  device->tagEnd = Tag{'x', 'x', 'x', 'x'};
  SetLastError(0);
  EXPECT_FALSE(DrvStartBanding(&so, &origin));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  DrvCompletePDEV(dev, reinterpret_cast<HDEV>(7));
  EXPECT_EQ(device->hdev, reinterpret_cast<HDEV>(7));
  device->tagEnd = end;

  DrvDisablePDEV(dev);
  SetLastError(0);
  EXPECT_FALSE(DrvStartPage(&so));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(DrvEnableSurface(dev), nullptr);
  DrvDisablePDEV(dev);  // a second time: nothing happens
  so.dhpdev = reinterpret_cast<DHPDEV>(&so);
  EXPECT_FALSE(DrvBitBlt(&so, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0));
  EXPECT_FALSE(DrvEndDoc(&so, 0));
  EXPECT_EQ(GetLastError(), ERROR_PRINT_CANCELLED);
  EXPECT_FALSE(DrvResetPDEV(dev, dev));
  EXPECT_FALSE(DrvStartDoc(nullptr, nullptr, 0));
  EXPECT_FALSE(DrvNextBand(&so, nullptr));
}

}  // namespace
}  // namespace k460::hbgraph
