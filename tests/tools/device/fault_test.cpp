// Every fault the device can be asked for, and what the monitors then see
// through the network library: a network error of its own, or an answer
// whose CODE or SERVICEID is missing, wrong or a busy or refusal code.
#include <httplib.h>

#include <thread>

#include "tests/tools/device/device_fixture.h"

namespace k460::testing {
namespace {

struct FaultCase {
  std::string name;
  std::string fault;       // the fault asked for
  std::string command;     // CREATE or GETSTATUS, or DATA for an upload
  BOOL posted;             // MnetPostFile's result
  DWORD netError;          // MnetGetLastError afterwards
  std::optional<std::string> code;
  bool serviceId = false;  // SERVICEID in the answer
  bool numericCode = true; // McmdStringToNumber reads CODE
  bool hexServiceId = true;
};

std::vector<FaultCase> Cases() {
  return {
      {"Busy", "busy=602@CREATE", "CREATE", TRUE, 0, "602"},
      {"BusyForStatus", "busy@GETSTATUS", "GETSTATUS", TRUE, 0, "601"},
      {"Refuse", "refuse=650@CREATE", "CREATE", TRUE, 0, "650"},
      {"RefuseUpload", "refuse=677@DATA", "DATA", TRUE, 0, "677"},
      {"CreateAgain", "retry@CREATE", "CREATE", TRUE, 0, "604"},
      {"NoCode", "nocode@CREATE", "CREATE", TRUE, 0, std::nullopt, true},
      {"NoServiceId", "noserviceid@CREATE", "CREATE", TRUE, 0, "600", false},
      {"CodeNotANumber", "badcode", "CREATE", TRUE, 0, "OK", true, false},
      {"ServiceIdNotHex", "badserviceid", "CREATE", TRUE, 0, "600", true, true, false},
      {"DroppedConnection", "drop@GETSTATUS", "GETSTATUS", FALSE, MNET_ERROR_CONNECTION_LOST, std::nullopt},
      {"AnswerTooLate", "delay=5000", "GETSTATUS", FALSE, MNET_ERROR_TIMEOUT, std::nullopt},
      {"NotXml", "garbage", "CREATE", FALSE, MNET_ERROR_BAD_ANSWER, std::nullopt},
      {"AnswerTooLarge", "huge", "GETSTATUS", FALSE, MNET_ERROR_BAD_ANSWER, std::nullopt},
      {"HttpError", "httperror=503", "CREATE", FALSE, MNET_ERROR_HTTP_STATUS, std::nullopt},
      {"WrongContentType", "wrongtype", "GETSTATUS", FALSE, MNET_ERROR_BAD_ANSWER, std::nullopt},
      {"UploadDropped", "drop@DATA", "DATA", FALSE, MNET_ERROR_CONNECTION_LOST, std::nullopt},
  };
}

class FaultTest : public DeviceTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(FaultTest, MonitorsSeeTheFault) {
  const FaultCase& c = GetParam();
  PageSetup page;
  page.width = 64;
  page.height = 16;
  DWORD job = c.command == "DATA" ? Create(page) : 0;
  ASSERT_EQ(device().core().faults().AddText(c.fault), "");
  HANDLE hCmd = NewCommand();
  if (c.command == "DATA") {
    std::u16string file = u"C:\\Windows\\Temp\\Mmr1.tmp";
    std::vector<BYTE> mmr = EncodeMmr(MakePage(PageKind::Text, 64, 16));
    WriteMachineFile(file, std::string(mmr.begin(), mmr.end()));
    lib.AddParamHex(hCmd, "serviceid", job, 8);
    lib.AddParamNumber(hCmd, "pagenumber", 1);
    lib.AttachFile(hCmd, "C:\\Windows\\Temp\\Mmr1.tmp");
  } else {
    BuildPrintCommand(lib, hCmd, c.command, job, 0, page);
  }
  // The delayed answer comes after the client gave up.
  Exchange answer = Post(hCmd, c.command == "DATA" ? "updata.cgi" : "upcmd.cgi", 400);
  EXPECT_EQ(answer.posted, c.posted);
  EXPECT_EQ(answer.netError, c.netError);
  EXPECT_EQ(answer.code, c.code);
  EXPECT_EQ(answer.serviceId.has_value(), c.serviceId);
  if (answer.code) {
    LONG code = 0;
    EXPECT_EQ(lib.StringToNumber(answer.code->c_str(), &code), c.numericCode);
  }
  if (answer.serviceId) {
    DWORD id = 0;
    EXPECT_EQ(lib.HexToNumber(answer.serviceId->c_str(), &id), c.hexServiceId);
  }
  // A failed post leaves no answer from before.
  if (!c.posted) {
    EXPECT_EQ(lib.GetAnswer(hCmd, MCMD_ANY_ELEMENT), nullptr);
  }
  // The fault is used up: the next exchange is a good one.
  if (c.command != "DATA") {
    Exchange next = Post(hCmd, "upcmd.cgi");
    EXPECT_EQ(next.netError, 0u);
    EXPECT_EQ(next.code, "600");
  }
  lib.Delete(hCmd);
}

INSTANTIATE_TEST_SUITE_P(Faults, FaultTest, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return info.param.name; });

// The device answers busy three times, then takes the command.
TEST_F(DeviceTest, BusyAnswersAreCounted) {
  ASSERT_EQ(device().core().faults().AddText("busy=603@GETSTATUS*3"), "");
  std::vector<std::string> codes;
  for (int i = 0; i < 5; ++i) codes.push_back(SendPrint("GETSTATUS", 0, 0, PageSetup{}).code.value_or("none"));
  EXPECT_EQ(codes, (std::vector<std::string>{"603", "603", "603", "600", "600"}));
}

// Offline, the device refuses connections; once back, it answers again.
TEST_F(DeviceTest, OfflineDeviceRefusesConnections) {
  device().GoOffline(0);
  Exchange refused = SendPrint("GETSTATUS", 0, 0, PageSetup{});
  EXPECT_FALSE(refused.posted);
  EXPECT_EQ(refused.netError, MNET_ERROR_CONNECTION_REFUSED);
  device().GoOnline();
  EXPECT_EQ(SendPrint("GETSTATUS", 0, 0, PageSetup{}).code, "600");
}

// A fault that refuses the command leaves the device's state alone: the
// refused CREATE opens no job.
TEST_F(DeviceTest, ReplacedCommandIsNotCarriedOut) {
  ASSERT_EQ(device().core().faults().AddText("refuse@CREATE busy@CREATE"), "");
  EXPECT_EQ(SendPrint("CREATE", 0, 0, PageSetup{}).code, "650");
  EXPECT_EQ(SendPrint("CREATE", 0, 0, PageSetup{}).code, "601");
  EXPECT_TRUE(device().core().Jobs().empty());
  // A spoiled answer, by contrast, comes after the command was carried out.
  ASSERT_EQ(device().core().faults().AddText("noserviceid@CREATE"), "");
  EXPECT_EQ(SendPrint("CREATE", 0, 0, PageSetup{}).code, "600");
  EXPECT_EQ(device().core().Jobs().size(), 1u);
}

TEST(FaultTextTest, BadFaultsAreRefused) {
  device::FaultPlan plan;
  for (const char* text : {"explode", "busy=600", "busy@PRINT", "delay=-1", "busy*0", "nocode=3", "retry=604",
                           "httperror=200"}) {
    EXPECT_NE(plan.AddText(text), "") << text;
  }
  EXPECT_TRUE(plan.Pending().empty());
  EXPECT_EQ(plan.AddText("busy=602@GETSTATUS*3, drop@DATA*always\nrefuse"), "");
  std::vector<std::string> texts;
  for (const device::Fault& fault : plan.Pending()) texts.push_back(device::FaultText(fault));
  EXPECT_EQ(texts, (std::vector<std::string>{"busy=602@GETSTATUS*3", "drop@DATA*always", "refuse=650@**1"}));
}

}  // namespace
}  // namespace k460::testing

namespace k460::testing {
namespace {

// The control endpoint, as a test in another process or a person uses it.
TEST_F(DeviceTest, ControlEndpointSetsFaultsAndGoesOffline) {
  httplib::Client control("127.0.0.1", port());
  auto added = control.Post("/control/faults", "busy=602@GETSTATUS", "text/plain");
  ASSERT_TRUE(added);
  EXPECT_EQ(added->status, 200);
  auto refused = control.Post("/control/faults", "explode", "text/plain");
  ASSERT_TRUE(refused);
  EXPECT_EQ(refused->status, 400);
  EXPECT_EQ(control.Get("/control/faults")->body, "busy=602@GETSTATUS*1\n");
  EXPECT_EQ(SendPrint("GETSTATUS", 0, 0, PageSetup{}).code, "602");

  auto offline = control.Post("/control/offline?ms=0", "", "text/plain");
  ASSERT_TRUE(offline);
  EXPECT_EQ(offline->status, 202);
  // It takes effect after the answer; wait for it (no time is asserted).
  while (device().online()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_EQ(SendPrint("GETSTATUS", 0, 0, PageSetup{}).netError, MNET_ERROR_CONNECTION_REFUSED);
  device().GoOnline();
  EXPECT_EQ(SendPrint("GETSTATUS", 0, 0, PageSetup{}).code, "600");
}

}  // namespace
}  // namespace k460::testing
