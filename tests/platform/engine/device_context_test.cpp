// Enabling, documents, pages, banding and resets through the device
// context, as the recording driver sees them.
#include <gtest/gtest.h>

#include "platform/spooler/host.h"
#include "tests/platform/engine/engine_test_support.h"

namespace k460::testing {
namespace {

using engine::DeviceContext;
using Calls = std::vector<std::string>;

TEST_F(EngineDriverTest, DeviceLifecycleCallsTheDriverInOrder) {
  auto dc = Open({}, {.deviceName = u"K460 Test", .logAddress = u"FILE:"});
  ASSERT_TRUE(dc) << GetLastError();
  EXPECT_EQ(journal().calls, (Calls{"DrvEnableDriver", "DrvEnablePDEV", "DrvCompletePDEV", "DrvEnableSurface"}));
  EXPECT_EQ(journal().engineVersion, ENGINE_VERSION);
  EXPECT_EQ(journal().deviceName, u"K460 Test");
  EXPECT_EQ(journal().logAddress, u"FILE:");
  EXPECT_EQ(journal().printer, printer());
  EXPECT_EQ(journal().patternCount, HS_DDI_MAX);
  EXPECT_EQ(dc->Caps().ulHorzRes, 64u);
  EXPECT_FALSE(dc->Banding());

  size_t mark = journal().calls.size();
  ASSERT_TRUE(dc->StartDoc(u"Report"));
  EXPECT_NE(dc->JobId(), 0u);
  for (int page = 0; page < 2; ++page) {
    ASSERT_TRUE(dc->StartPage());
    ASSERT_TRUE(dc->EndPage());
  }
  ASSERT_TRUE(dc->EndDoc());
  DWORD job = dc->JobId();
  dc->Close();
  EXPECT_EQ(CallsSince(mark), (Calls{"DrvStartDoc", "DrvStartPage", "DrvSendPage", "DrvStartPage", "DrvSendPage",
                                     "DrvEndDoc", "DrvDisableSurface", "DrvDisablePDEV", "DrvDisableDriver"}));
  EXPECT_EQ(journal().documentName, u"Report");
  EXPECT_EQ(journal().jobId, job);
  EXPECT_EQ(journal().lastEndDocFlags, 0u);
  EXPECT_EQ(journal().pages.size(), 2u);
}

TEST_F(EngineDriverTest, DevicesOfOneDriverShareOneEnabledDriver) {
  auto first = Open({});
  auto second = Open({});
  ASSERT_TRUE(first && second);
  first.reset();
  Calls calls = journal().calls;
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "DrvEnableDriver"), 1);
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "DrvDisableDriver"), 0);
  second.reset();
  EXPECT_EQ(journal().calls.back(), "DrvDisableDriver");
}

TEST_F(EngineDriverTest, OpeningFailsWithTheReason) {
  TestDevMode devMode;
  DEVMODEW noSettings{};
  noSettings.dmSize = sizeof(DEVMODEW);
  DEVMODEW badSize{};
  badSize.dmSize = 2;
  struct Case {
    const char* what;
    std::u16string library;
    const DEVMODEW* devMode;
    ULONG engineVersion;
    DWORD error;
  } cases[] = {
      {"missing library", u"k460nosuchdriver", &devMode.dm, ENGINE_VERSION, ERROR_MOD_NOT_FOUND},
      {"library without DrvEnableDriver", u"k460modbare", &devMode.dm, ENGINE_VERSION, ERROR_PROC_NOT_FOUND},
      {"engine too old for the driver", kTestDriverName, &devMode.dm, 0x1FFFF, ERROR_BAD_DRIVER_LEVEL},
      {"driver refuses the device mode", kTestDriverName, &noSettings, ENGINE_VERSION, ERROR_INVALID_PARAMETER},
      {"malformed device mode", kTestDriverName, &badSize, ENGINE_VERSION, ERROR_INVALID_PARAMETER},
      {"no library name", u"", &devMode.dm, ENGINE_VERSION, ERROR_INVALID_PARAMETER},
  };
  for (const Case& c : cases) {
    SetLastError(0);
    auto dc = DeviceContext::Open(c.library, printer(), c.devMode, {u"", u"", c.engineVersion});
    EXPECT_FALSE(dc) << c.what;
    EXPECT_EQ(GetLastError(), c.error) << c.what;
  }
  // A refused device leaves the driver disabled again.
  EXPECT_EQ(journal().calls.back(), "DrvDisableDriver");
}

TEST_F(EngineDriverTest, CallsOutOfOrderAreRefused) {
  auto dc = Open({});
  ASSERT_TRUE(dc);
  auto refused = [](bool result) { return !result && GetLastError() == ERROR_INVALID_PARAMETER; };
  EXPECT_TRUE(refused(dc->StartPage()));
  EXPECT_TRUE(refused(dc->EndPage()));
  EXPECT_TRUE(refused(dc->EndDoc()));
  EXPECT_TRUE(refused(dc->AbortDoc()));
  ASSERT_TRUE(dc->StartDoc(u"doc"));
  EXPECT_TRUE(refused(dc->StartDoc(u"again")));
  EXPECT_TRUE(refused(dc->EndPage()));
  ASSERT_TRUE(dc->StartPage());
  EXPECT_TRUE(refused(dc->StartPage()));
  TestDevMode devMode;
  EXPECT_TRUE(refused(dc->ResetDevice(&devMode.dm)));
  auto memory = DeviceContext::OpenBitmap(8, 8, BMF_1BPP);
  ASSERT_TRUE(memory);
  EXPECT_TRUE(refused(memory->StartDoc(u"doc")));
}

TEST_F(EngineDriverTest, ClosingInsideADocumentAbortsIt) {
  auto dc = Open({});
  ASSERT_TRUE(dc && dc->StartDoc(u"doc") && dc->StartPage());
  dc.reset();
  EXPECT_EQ(journal().lastEndDocFlags, ED_ABORTDOC);
  EXPECT_EQ(journal().calls.back(), "DrvDisableDriver");
}

TEST_F(EngineDriverTest, BandingVisitsEveryBandOnceInsteadOfSendPage) {
  TestDriverSettings settings;
  settings.height = 48;
  settings.bandHeight = 10;
  auto dc = Open(settings);
  ASSERT_TRUE(dc);
  EXPECT_TRUE(dc->Banding());
  EXPECT_EQ(dc->Surface()->sizlBitmap.cy, 10);
  ASSERT_TRUE(dc->StartDoc(u"doc") && dc->StartPage());
  size_t mark = journal().calls.size();
  ASSERT_TRUE(dc->EndPage());
  EXPECT_EQ(CallsSince(mark), (Calls{"DrvStartBanding", "DrvNextBand", "DrvNextBand", "DrvNextBand", "DrvNextBand",
                                     "DrvNextBand"}));
  std::vector<LONG> tops;
  for (POINTL p : journal().bandOrigins) tops.push_back(p.y);
  EXPECT_EQ(tops, (std::vector<LONG>{0, 10, 20, 30, 40, -1}));
  EXPECT_EQ(journal().pages.size(), 1u);
  EXPECT_TRUE(dc->EndDoc());
}

TEST_F(EngineDriverTest, ResetBetweenPagesContinuesTheDocumentOnANewDevice) {
  auto dc = Open({});
  ASSERT_TRUE(dc && dc->StartDoc(u"doc") && dc->StartPage() && dc->EndPage());
  DWORD job = dc->JobId();
  TestDevMode wider;
  wider.settings.width = 96;
  size_t mark = journal().calls.size();
  ASSERT_TRUE(dc->ResetDevice(&wider.dm));
  EXPECT_EQ(CallsSince(mark), (Calls{"DrvEnablePDEV", "DrvCompletePDEV", "DrvResetPDEV", "DrvDisableSurface",
                                     "DrvDisablePDEV", "DrvEnableSurface", "DrvStartDoc"}));
  EXPECT_EQ(dc->Caps().ulHorzRes, 96u);
  EXPECT_EQ(dc->Surface()->sizlBitmap.cx, 96);
  EXPECT_EQ(journal().jobId, job);
  ASSERT_TRUE(dc->StartPage() && dc->EndPage() && dc->EndDoc());
  EXPECT_EQ(journal().pages.size(), 2u);
}

TEST_F(EngineDriverTest, ResetRefusedByTheDriverKeepsTheOldDevice) {
  auto dc = Open({});
  ASSERT_TRUE(dc && dc->StartDoc(u"doc"));
  TestDevMode refusing;
  refusing.settings.flags = kFailReset;
  refusing.settings.width = 96;
  size_t mark = journal().calls.size();
  EXPECT_FALSE(dc->ResetDevice(&refusing.dm));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_DATA);
  EXPECT_EQ(CallsSince(mark), (Calls{"DrvEnablePDEV", "DrvCompletePDEV", "DrvResetPDEV", "DrvDisablePDEV"}));
  EXPECT_EQ(dc->Caps().ulHorzRes, 64u);
  EXPECT_TRUE(dc->StartPage() && dc->EndPage() && dc->EndDoc());
}

TEST_F(EngineDriverTest, CancelMakesEngCheckAbortAnswerTrue) {
  auto dc = Open({});
  ASSERT_TRUE(dc && dc->StartDoc(u"doc"));
  EXPECT_FALSE(EngCheckAbort(dc->Surface()));
  dc->Cancel();
  EXPECT_TRUE(EngCheckAbort(dc->Surface()));
  EXPECT_TRUE(dc->AbortDoc());
  EXPECT_EQ(journal().lastEndDocFlags, ED_ABORTDOC);
}

TEST_F(EngineDriverTest, SurfaceNotAssociatedByTheDriverGetsNoHooks) {
  TestDriverSettings settings;
  settings.flags = kNoAssociate;
  settings.hooks = HOOK_BITBLT;
  auto dc = Open(settings);
  ASSERT_TRUE(dc);
  EXPECT_NE(dc->Surface()->hdev, nullptr);
}

TEST_F(EngineDriverTest, APrinterOfTheSpoolerGetsAJobPerDocument) {
  ASSERT_TRUE(InstallDriver({u"Engine Test Driver", u"k460enginetestdrv.dll", u"", u"", u"", {}, u"", u"RAW"}));
  ASSERT_TRUE(AddPrinter({u"Engine Printer", u"Engine Test Driver", u"FILE:"}));
  ClearFinishedJobs();
  std::u16string name = u"Engine Printer";
  HANDLE printer = nullptr;
  ASSERT_TRUE(OpenPrinterW(name.data(), &printer, nullptr));
  TestDevMode devMode;
  auto dc = DeviceContext::Open(kTestDriverName, printer, &devMode.dm, {name, u"", ENGINE_VERSION});
  ASSERT_TRUE(dc);
  ASSERT_TRUE(dc->StartDoc(u"Spooled"));
  EXPECT_NE(dc->JobId(), 0u);
  EXPECT_EQ(journal().jobId, dc->JobId()) << "the driver prints under the spooler's job";
  EXPECT_FALSE(EngCheckAbort(dc->Surface()));
  // Cancelling the job in the spooler reaches the driver through EngCheckAbort.
  EXPECT_TRUE(SetJobW(printer, dc->JobId(), 0, nullptr, JOB_CONTROL_CANCEL));
  EXPECT_TRUE(EngCheckAbort(dc->Surface()));
  EXPECT_TRUE(dc->AbortDoc());
  dc.reset();
  ClosePrinter(printer);
  ShutdownSpooler();
}

}  // namespace
}  // namespace k460::testing
