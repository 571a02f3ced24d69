// The device commands as the monitors build them: the real network command
// library, bound as the monitors bind it, posts each command to the
// in-process device emulator, which records the XML document and parameters
// it received and answers (faults on request) for the answer parsing.
#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "monitors/common/command_keys.h"
#include "monitors/common/device_commands.h"
#include "monitors/common/page_codes.h"
#include "platform/base/host.h"
#include "platform/module/module.h"
#include "platform/outside/device/emulator.h"
#include "tests/support/machine_fixture.h"

namespace k460::command {
namespace {

using pagestream::PageHeader;
using Params = std::vector<std::pair<std::string, std::string>>;

constexpr std::uint32_t kServiceId = 0x1A2B3C4D;

// A printer page whose settings are all different from the codes' zero
// values, so that a field sent for another shows.
CommandJob PrinterJob() {
  CommandJob job;
  job.devId = 205;
  PageHeader& h = job.header;
  h.Resolution = 600;
  h.Width = 4960;
  h.Height = 3520;
  h.Coding = pagestream::kCodingMMR;
  h.CopyNum = 2;
  h.Paper = 3;  // LETTER
  h.Orient = 1;
  h.Casset = 2;
  h.Collated = 1;
  h.Outbin = 1;
  h.PaperType = 3;
  h.TonerSaving = 1;
  h.OutputOder = 1;
  h.Stack = 2;
  h.Angle = 180;
  std::strcpy(h.FaxUserName, "0002");
  std::strcpy(h.FaxPassword, "secret");
  job.documentName = "Quarterly report";
  job.computerName = "K460-HOST";
  job.senderIp = "10.1.2.3";
  job.serviceId = kServiceId;
  job.faxFileBytes = 5000;
  return job;
}

const std::string kJobInfoCreate = "JOBINFO(JOBNAME=Quarterly report OUTPUTPC=K460-HOST SENDERIP=10.1.2.3)";
const std::string kImageInfo =
    "IMAGEINFO(IMAGEFORMAT=MMR ORIENTATION=LANDSCAPE SETPAGESIZE=LETTER XSIZE=4960 YSIZE=3520 XRESOLUTION=600 "
    "YRESOLUTION=600 ANGLE=180)";
const std::string kOutputInfo =
    "OUTPUTINFO(PAPERSOURCE=TRAY2 OUTBIN=UPPER PAPERTYPE=LETTERHEAD ECNOMODE=ON OUTPUTORDER=REVERSE STACK=ROTATE "
    "DUPLEX=OFF QTY=2 PUNCH=OFF STAPLE=OFF)";

std::string Print(const std::string& command, const std::string& sections) {
  return "JOB[mode=2](COMMAND=" + command + " TYPE=PRINT PARAM(PRINT(" + sections + ")))";
}

void OutlineOf(pugi::xml_node node, std::string* out) {
  *out += node.name();
  for (pugi::xml_attribute a : node.attributes()) *out += "[" + std::string(a.name()) + "=" + a.value() + "]";
  std::string children;
  for (pugi::xml_node child : node.children()) {
    if (child.type() != pugi::node_element) continue;
    if (!children.empty()) children += " ";
    OutlineOf(child, &children);
  }
  *out += children.empty() ? "=" + std::string(node.text().get()) : "(" + children + ")";
}

// Request parameters as the device reads them: by name, not in order.
Params Sorted(Params params) {
  std::sort(params.begin(), params.end());
  return params;
}

// The element outline of a command document: "JOB[mode=2](COMMAND=X ...)".
std::string Outline(const std::string& xml) {
  pugi::xml_document document;
  if (!document.load_string(xml.c_str())) return "(not XML)";
  std::string out;
  OutlineOf(document.document_element(), &out);
  return out;
}

// The part of an outline from "NAME(" to its closing parenthesis (sections
// hold value elements only).
std::string Section(const std::string& outline, const std::string& name) {
  const std::size_t start = outline.find(name + "(");
  if (start == std::string::npos) return "";
  return outline.substr(start, outline.find(')', start) - start + 1);
}

class CommandLibraryTest : public testing::MachineTest {};

TEST_F(CommandLibraryTest, BindsEveryFunctionOrLeavesTheLibraryUnloaded) {
  std::optional<CommandLibrary> library = LoadNetworkCommandLibrary();
  ASSERT_TRUE(library);
  for (auto proc : {reinterpret_cast<const void*>(library->CreateCommandObject),
                    reinterpret_cast<const void*>(library->HexToNumber),
                    reinterpret_cast<const void*>(library->GetAnswer),
                    reinterpret_cast<const void*>(library->MnetPostFile)}) {
    EXPECT_NE(proc, nullptr);
  }
  FreeCommandLibrary(*library);
  EXPECT_EQ(library->module, nullptr);
  EXPECT_EQ(library->AddHex, nullptr);
  EXPECT_EQ(GetModuleHandleW(u"qtxnpxml.dll"), nullptr);

  // The library missing, its first or its last function missing.
  const struct {
    const char* function;
    int skip;
    DWORD error;
  } failures[] = {{"LoadLibraryW", 0, ERROR_MOD_NOT_FOUND},
                  {"GetProcAddress", 0, ERROR_PROC_NOT_FOUND},
                  {"GetProcAddress", 19, ERROR_PROC_NOT_FOUND}};
  for (const auto& failure : failures) {
    SCOPED_TRACE(std::string(failure.function) + " after " + std::to_string(failure.skip));
    InjectFault(failure.function, failure.skip, 1, failure.error);
    SetLastError(0);
    EXPECT_FALSE(LoadNetworkCommandLibrary());
    EXPECT_EQ(GetLastError(), failure.error);
    EXPECT_EQ(GetModuleHandleW(u"qtxnpxml.dll"), nullptr);
    ClearFaults();
  }
}

TEST(CommandFormulasTest, FaxKilobytesAndTurns) {
  const std::pair<std::uint32_t, std::uint32_t> sizes[] = {
      {0, 2}, {999, 2}, {1000, 2}, {1999, 2}, {2000, 3}, {5000, 6}, {0xFFFFFFFF, 4294968}};
  for (auto [bytes, kb] : sizes) EXPECT_EQ(FaxFileKilobytes(bytes), kb) << bytes << " bytes";
  EXPECT_EQ(ExpectedBuildResult(kCmdCreate), 15);
  EXPECT_EQ(ExpectedBuildResult(kCmdAdd), 15);
  EXPECT_EQ(ExpectedBuildResult(kCmdEnd), 9);
  EXPECT_EQ(ExpectedBuildResult(kCmdGetStatus), 1);
  EXPECT_EQ(ExpectedBuildResult(kCmdCreateFax), 7);
  EXPECT_EQ(ExpectedBuildResult(kCmdData), -1);
}

class DeviceCommandsTest : public testing::MachineTest {
 protected:
  void SetUp() override {
    MachineTest::SetUp();
    std::optional<CommandLibrary> loaded = LoadNetworkCommandLibrary();
    ASSERT_TRUE(loaded) << "error " << GetLastError();
    lib_ = *loaded;
    device_ = std::make_unique<device::Emulator>(device::EmulatorOptions{0, root() / "jobs"});
    ASSERT_EQ(device_->Start(), "");
    hCmd_ = lib_.CreateCommandObject(kCommandKeyTable);
    hNet_ = lib_.MnetCreateNetworkObject("127.0.0.1");
    ASSERT_NE(hCmd_, nullptr);
    ASSERT_NE(hNet_, nullptr);
  }
  void TearDown() override {
    if (hNet_) lib_.MnetDeleteNetworkObject(hNet_);
    if (hCmd_) lib_.DeleteCommandObject(hCmd_);
    if (device_) device_->Stop();
    device_.reset();
    FreeCommandLibrary(lib_);
    MachineTest::TearDown();
  }

  int Build(const CommandJob& job, int command, int portId, DWORD pages = 1) {
    return SetCommandData(lib_, hCmd_, job, command, portId, pages);
  }
  // Posts the command object; what the device received.
  device::ReceivedRequest Post(const char* cgi = "upcmd.cgi") {
    device_->core().ClearReceived();
    EXPECT_TRUE(lib_.MnetPostFile(hNet_, device_->port(), cgi, hCmd_)) << "error " << lib_.MnetGetLastError(hNet_);
    auto received = device_->core().Received();
    return received.empty() ? device::ReceivedRequest{} : received.back();
  }
  std::string PostedOutline() { return Outline(Post().document); }
  int Parse(CommandJob& job, int command, int portId, int* error) {
    return ParseResponse(lib_, hCmd_, &job, command, portId, error);
  }

  CommandLibrary lib_;
  std::unique_ptr<device::Emulator> device_;
  HANDLE hCmd_ = nullptr;
  HANDLE hNet_ = nullptr;
};

TEST_F(DeviceCommandsTest, BuildsEachCommandTree) {
  const std::string fax = "JOB[mode=2](COMMAND=CREATE TYPE=FAX/STRAGE PARAM(FAX(";
  const struct {
    const char* name;
    int command;
    int portId;
    DWORD pages;
    std::string tree;
  } cases[] = {
      {"CREATE network", kCmdCreate, kPortIdNetwork, 1,
       Print("CREATE", kJobInfoCreate + " " + kImageInfo + " " + kOutputInfo)},
      {"CREATE port", kCmdCreate, kPortIdPrinterPort, 1,
       Print("CREATE", "JOBINFO(JOBNAME=Quarterly report OUTPUTPC=K460-HOST) " + kImageInfo + " " + kOutputInfo)},
      {"ADD page 5 network", kCmdAdd, kPortIdNetwork, 5,
       Print("ADD", "JOBINFO(SERVICEID=1A2B3C4D PAGENUMBER=4 SENDERIP=10.1.2.3) " + kImageInfo + " " + kOutputInfo)},
      {"ADD page 5 port", kCmdAdd, kPortIdPrinterPort, 5,
       Print("ADD", "JOBINFO(PAGENUMBER=4) " + kImageInfo + " " + kOutputInfo)},
      {"END after 7 network", kCmdEnd, kPortIdNetwork, 7,
       Print("END", "JOBINFO(SERVICEID=1A2B3C4D PAGENUMBER=7 SENDERIP=10.1.2.3)")},
      {"END after 7 port", kCmdEnd, kPortIdPrinterPort, 7, Print("END", "JOBINFO(PAGENUMBER=7)")},
      {"GETSTATUS network", kCmdGetStatus, kPortIdNetwork, 3, Print("GETSTATUS", "JOBINFO(SERVICEID=1A2B3C4D)")},
      {"GETSTATUS port", kCmdGetStatus, kPortIdPrinterPort, 3, Print("GETSTATUS", "JOBINFO(SERVICEID=1A2B3C4D)")},
      {"CREATE FAX network", kCmdCreateFax, kPortIdNetwork, 1,
       fax + kJobInfoCreate + " CONDITION(FILESIZE=6))))"},
      {"CREATE FAX port", kCmdCreateFax, kPortIdPrinterPort, 1,
       fax + "JOBINFO(JOBNAME=Quarterly report OUTPUTPC=K460-HOST) CONDITION(FILESIZE=6))))"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CommandJob job = PrinterJob();
    job.devId = c.command == kCmdCreateFax ? pagestream::PI_DEVID_FAX : 205;
    ASSERT_EQ(Build(job, c.command, c.portId, c.pages), ExpectedBuildResult(c.command));
    device::ReceivedRequest received = Post();
    EXPECT_EQ(Outline(received.document), c.tree);
    EXPECT_TRUE(received.params.empty());
    EXPECT_FALSE(received.hasFile);
  }
}

// The device reads every tree letter for letter: a conversation of the
// commands as built here is accepted, and the service id of its answer
// names the job in the commands that follow.
TEST_F(DeviceCommandsTest, DeviceAcceptsTheCommandsOfAJob) {
  CommandJob job = PrinterJob();
  job.senderIp = "127.0.0.1";
  job.serviceId = 0;
  int error = -1;
  ASSERT_EQ(Build(job, kCmdGetStatus, kPortIdNetwork), 1);
  Post();
  EXPECT_EQ(Parse(job, kCmdGetStatus, kPortIdNetwork, &error), kAnswerAccepted);
  EXPECT_EQ(error, 0);

  ASSERT_EQ(Build(job, kCmdCreate, kPortIdNetwork), 15);
  Post();
  EXPECT_EQ(Parse(job, kCmdCreate, kPortIdNetwork, &error), kAnswerAccepted);
  ASSERT_EQ(device_->core().Jobs().size(), 1u);
  EXPECT_EQ(job.serviceId, device_->core().Jobs().front().serviceId);
  EXPECT_NE(job.serviceId, 0u);

  // No page has arrived yet: ADD before page 1 announces none, END none.
  ASSERT_EQ(Build(job, kCmdAdd, kPortIdNetwork, 1), 15);
  Post();
  EXPECT_EQ(Parse(job, kCmdAdd, kPortIdNetwork, &error), kAnswerAccepted);
  ASSERT_EQ(Build(job, kCmdEnd, kPortIdNetwork, 0), 9);
  Post();
  EXPECT_EQ(Parse(job, kCmdEnd, kPortIdNetwork, &error), kAnswerAccepted);

  CommandJob fax = PrinterJob();
  fax.devId = pagestream::PI_DEVID_FAX2;
  fax.header.FaxAuto = 1;
  fax.header.FaxItem = 4;
  fax.senderIp = "127.0.0.1";
  ASSERT_EQ(Build(fax, kCmdCreateFax, kPortIdNetwork), 7);
  Post();
  EXPECT_EQ(Parse(fax, kCmdCreateFax, kPortIdNetwork, &error), kAnswerAccepted);
  EXPECT_EQ(fax.serviceId, device_->core().Jobs().front().serviceId);
}

TEST_F(DeviceCommandsTest, OutputInfoFollowsThePageSettings) {
  const std::string head =
      "OUTPUTINFO(PAPERSOURCE=TRAY2 OUTBIN=UPPER PAPERTYPE=LETTERHEAD ECNOMODE=ON OUTPUTORDER=REVERSE STACK=ROTATE ";
  const struct {
    const char* name;
    std::function<void(PageHeader&)> set;
    std::string rest;
  } cases[] = {
      {"not collated", [](PageHeader& h) { h.Collated = 0, h.CopyNum = 3; },
       "DUPLEX=OFF COPIES=3 PUNCH=OFF STAPLE=OFF)"},
      {"duplex short edge", [](PageHeader& h) { h.Duplex = 1, h.DuplexBinding = 1; },
       "DUPLEX=ON BINDING=SHORTEDGE QTY=2 PUNCH=OFF STAPLE=OFF)"},
      {"binding without duplex", [](PageHeader& h) { h.DuplexBinding = 7; },
       "DUPLEX=OFF QTY=2 PUNCH=OFF STAPLE=OFF)"},
      {"punch left, three holes", [](PageHeader& h) { h.Punch = 3, h.PunchHoles = 1; },
       "DUPLEX=OFF QTY=2 PUNCH=LEFT PUNCHHOLES=HOLES3 STAPLE=OFF)"},
      {"holes without punch", [](PageHeader& h) { h.PunchHoles = 9; }, "DUPLEX=OFF QTY=2 PUNCH=OFF STAPLE=OFF)"},
      {"staple upper right", [](PageHeader& h) { h.Staple = 1, h.StaplePoint = 2; },
       "DUPLEX=OFF QTY=2 PUNCH=OFF STAPLE=UPPER STAPLEPOINT=UPPERRIGHT)"},
      {"point without staple", [](PageHeader& h) { h.StaplePoint = -1; }, "DUPLEX=OFF QTY=2 PUNCH=OFF STAPLE=OFF)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CommandJob job = PrinterJob();
    c.set(job.header);
    ASSERT_EQ(Build(job, kCmdCreate, kPortIdNetwork), 15);
    EXPECT_EQ(Section(PostedOutline(), "OUTPUTINFO"), head + c.rest);
  }
}

TEST_F(DeviceCommandsTest, TurnedPagesCorrectTheAngle) {
  const struct {
    std::int16_t bmpRotate, paper, angle, sent;
    bool right;
  } cases[] = {
      {0, 0, 180, 180, false},    // not turned
      {1, 0, 0, 270, false},      // A4: left
      {1, 9, 0, 90, true},        // B5: right
      {1, 1, 180, 270, true},     // A5: right
      {1, 12, 270, 0, true},      // HALFLETTER: right, 360 is 0
      {2, 9, 180, 90, false},     // always left
      {3, 0, 270, 0, true},       // always right
      {4, 1, 90, 0, false},       // 4 and more: left
      {-1, 9, 0, 270, false},     // no valid turn: left
      {1, 0, -90, 180, false},    // an angle outside 0..359 comes back into it
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("BmpRotate " + std::to_string(c.bmpRotate) + " Paper " + std::to_string(c.paper) + " Angle " +
                 std::to_string(c.angle));
    if (c.bmpRotate != 0) {
      EXPECT_EQ(TurnsRight(c.bmpRotate, c.paper), c.right);
    }
    CommandJob job = PrinterJob();
    job.bmpRotate = c.bmpRotate;
    job.header.Paper = c.paper;
    job.header.Angle = c.angle;
    const std::regex angle("ANGLE=(-?[0-9]+)\\)");
    // Built twice, as after a busy answer: the same angle both times.
    for (int attempt = 0; attempt < 2; ++attempt) {
      ASSERT_EQ(Build(job, attempt ? kCmdAdd : kCmdCreate, kPortIdNetwork, 2), 15);
      std::smatch match;
      const std::string outline = PostedOutline();
      ASSERT_TRUE(std::regex_search(outline, match, angle)) << outline;
      EXPECT_EQ(match[1], std::to_string(c.sent));
    }
  }
}

TEST_F(DeviceCommandsTest, FaxParametersAndFileSize) {
  const struct {
    const char* name;
    std::int32_t devId;
    std::int16_t faxAuto, item, txDoc;
    std::uint32_t bytes;
    Params params;
    const char* fileSize;
  } cases[] = {
      {"keep on the device", 4, 1, 4, 1, 0,
       {{"faxauto", "1"}, {"userno", "0002"}, {"password", "secret"}, {"item", "tmp"}}, "2"},
      {"send with document list", 4, 1, 0, 1, 999,
       {{"faxauto", "1"}, {"userno", "0002"}, {"password", "secret"}, {"item", "tx"}, {"txdoc", "1"}}, "2"},
      {"workflow, no list", 4, 1, 3, 0, 5000,
       {{"faxauto", "1"}, {"userno", "0002"}, {"password", "secret"}, {"item", "wfl"}, {"txdoc", "0"}}, "6"},
      {"not automatic", 4, 0, 3, 1, 1000, {{"faxauto", "0"}}, "2"},
      {"plain fax device", 1, 1, 4, 1, 2000, {}, "3"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CommandJob job = PrinterJob();
    job.devId = c.devId;
    job.header.FaxAuto = c.faxAuto;
    job.header.FaxItem = c.item;
    job.header.FaxTxDocList = c.txDoc;
    job.faxFileBytes = c.bytes;
    ASSERT_EQ(Build(job, kCmdCreateFax, kPortIdNetwork), 7);
    device::ReceivedRequest received = Post();
    EXPECT_EQ(Sorted(received.params), Sorted(c.params));
    EXPECT_EQ(Section(Outline(received.document), "CONDITION"), std::string("CONDITION(FILESIZE=") + c.fileSize + ")");
  }

  // User and password that fill their fields without a NUL end there.
  CommandJob job = PrinterJob();
  job.devId = pagestream::PI_DEVID_FAX2;
  job.header.FaxAuto = 1;
  std::memset(job.header.FaxUserName, 'u', sizeof job.header.FaxUserName);
  std::memset(job.header.FaxPassword, 'p', sizeof job.header.FaxPassword);
  std::memset(job.header.Reserved158, 'x', sizeof job.header.Reserved158);
  ASSERT_EQ(Build(job, kCmdCreateFax, kPortIdNetwork), 7);
  const Params params = Sorted(Post().params);
  EXPECT_EQ(params, Sorted({{"faxauto", "1"},
                            {"userno", std::string(40, 'u')},
                            {"password", std::string(32, 'p')},
                            {"item", "tx"},
                            {"txdoc", "0"}}));
}

// A value that cannot be sent ends the build where it stands, so the result
// differs from the expected one and the command is not sent.
TEST_F(DeviceCommandsTest, BuildStopsAtWhatCannotBeSent) {
  const struct {
    const char* name;
    std::function<void(CommandJob&)> spoil;
    int command, portId;
    DWORD pages;
    int result;
  } cases[] = {
      {"paper without keyword", [](CommandJob& j) { j.header.Paper = 24; }, kCmdCreate, 1, 1, 1},
      {"coding without keyword", [](CommandJob& j) { j.header.Coding = 7; }, kCmdAdd, 0, 2, 1},
      {"tray without keyword", [](CommandJob& j) { j.header.Casset = -1; }, kCmdCreate, 1, 1, 3},
      {"binding of duplex", [](CommandJob& j) { j.header.Duplex = 1, j.header.DuplexBinding = 2; }, kCmdAdd, 1, 2, 3},
      {"holes of punch", [](CommandJob& j) { j.header.Punch = 1, j.header.PunchHoles = 2; }, kCmdCreate, 0, 1, 3},
      {"point of staple", [](CommandJob& j) { j.header.Staple = 4, j.header.StaplePoint = 3; }, kCmdCreate, 1, 1, 3},
      {"END carries no page settings", [](CommandJob& j) { j.header.Paper = 99; }, kCmdEnd, 1, 3, 9},
      {"fax item without keyword",
       [](CommandJob& j) { j.devId = 4, j.header.FaxAuto = 1, j.header.FaxItem = 5; }, kCmdCreateFax, 1, 1, 0},
      {"fax item not sent", [](CommandJob& j) { j.devId = 4, j.header.FaxItem = 5; }, kCmdCreateFax, 1, 1, 7},
      {"unknown command", [](CommandJob&) {}, 5, 1, 1, 0},
      {"upload is no command", [](CommandJob&) {}, kCmdData, 1, 1, 0},
      {"ADD before page 1", [](CommandJob&) {}, kCmdAdd, 1, 0, 0},
      {"page count beyond a number", [](CommandJob&) {}, kCmdEnd, 1, 0x80000000u, 0},
      {"unknown port id", [](CommandJob&) {}, kCmdCreate, 2, 1, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CommandJob job = PrinterJob();
    c.spoil(job);
    EXPECT_EQ(Build(job, c.command, c.portId, c.pages), c.result);
  }
  EXPECT_EQ(SetCommandData(lib_, nullptr, PrinterJob(), kCmdCreate, kPortIdNetwork, 1), 0);
  EXPECT_EQ(SetCommandData(CommandLibrary{}, hCmd_, PrinterJob(), kCmdCreate, kPortIdNetwork, 1), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  // A failed build leaves nothing behind for the next one.
  ASSERT_EQ(Build(PrinterJob(), kCmdEnd, kPortIdPrinterPort, 7), 9);
  EXPECT_EQ(PostedOutline(), Print("END", "JOBINFO(PAGENUMBER=7)"));
}

TEST_F(DeviceCommandsTest, UploadCarriesPageAndServiceId) {
  WriteMachineFile(u"C:\\Windows\\Temp\\Mmr5.tmp", std::string(300, '\x55'));
  const std::string file = "C:\\Windows\\Temp\\Mmr5.tmp";
  const struct {
    const char* name;
    int portId;
    DWORD pages;
    std::string file;
    bool built;
    Params params;
  } cases[] = {
      {"network page 5", kPortIdNetwork, 5, file, true, {{"serviceid", "1A2B3C4D"}, {"pagenumber", "5"}}},
      {"port page 5", kPortIdPrinterPort, 5, file, true, {{"pagenumber", "5"}}},
      {"page 0", kPortIdNetwork, 0, file, false, {}},
      {"no such file", kPortIdNetwork, 1, "C:\\Windows\\Temp\\Mmr6.tmp", false, {}},
      {"no file name", kPortIdNetwork, 1, "", false, {}},
      {"name with a NUL", kPortIdNetwork, 1, file + std::string(1, '\0') + "x", false, {}},
      {"unknown port id", 3, 1, file, false, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CommandJob job = PrinterJob();
    ASSERT_EQ(SetUploadData(lib_, hCmd_, job, c.portId, c.pages, c.file), c.built);
    if (!c.built) continue;
    device::ReceivedRequest received = Post("updata.cgi");
    EXPECT_EQ(Sorted(received.params), Sorted(c.params));
    EXPECT_TRUE(received.hasFile);
    EXPECT_EQ(received.fileName, "Mmr5.tmp");
    EXPECT_EQ(received.fileSize, 300u);
    EXPECT_EQ(received.document, "");
  }
}

TEST_F(DeviceCommandsTest, ParsesTheDevicesAnswer) {
  constexpr std::uint32_t kUnchanged = 0x11111111;
  const struct {
    const char* fault;
    int command, portId;
    int code, error;
    bool newServiceId;
  } cases[] = {
      {"", kCmdCreate, kPortIdNetwork, 600, 0, true},
      {"", kCmdCreateFax, kPortIdNetwork, 600, 0, true},
      {"", kCmdGetStatus, kPortIdNetwork, 600, 0, false},
      {"nocode@CREATE", kCmdCreate, kPortIdNetwork, -1, kErrorNoCode, false},
      {"badcode@GETSTATUS", kCmdGetStatus, kPortIdNetwork, -1, kErrorCodeNotNumber, false},
      {"badcode@FAX", kCmdCreateFax, kPortIdNetwork, -1, kErrorCodeNotNumber, false},
      {"noserviceid@CREATE", kCmdCreate, kPortIdNetwork, -1, kErrorNoServiceId, false},
      {"noserviceid@FAX", kCmdCreateFax, kPortIdNetwork, -1, kErrorNoServiceId, false},
      {"badserviceid@CREATE", kCmdCreate, kPortIdNetwork, -1, kErrorServiceIdNotNumber, false},
      // The printer port has no service ids.
      {"noserviceid@CREATE", kCmdCreate, kPortIdPrinterPort, 600, 0, false},
      // Busy, create-again and refusal answers carry no service id: the
      // code is what counts.
      {"busy=602@CREATE", kCmdCreate, kPortIdNetwork, 602, 0, false},
      {"retry@CREATE", kCmdCreate, kPortIdNetwork, 604, 0, false},
      {"busy=601@FAX", kCmdCreateFax, kPortIdNetwork, 601, 0, false},
      {"refuse@CREATE", kCmdCreate, kPortIdNetwork, 650, 0, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.fault) + " to command " + std::to_string(c.command) + " port " +
                 std::to_string(c.portId));
    ASSERT_EQ(device_->core().faults().AddText(c.fault), "");
    CommandJob job = PrinterJob();
    job.senderIp = "127.0.0.1";
    job.devId = c.command == kCmdCreateFax ? pagestream::PI_DEVID_FAX2 : 205;
    // Built for the network (the emulator's transport), read as `portId`.
    ASSERT_EQ(Build(job, c.command, kPortIdNetwork), ExpectedBuildResult(c.command));
    Post();
    job.serviceId = kUnchanged;
    int error = -1;
    EXPECT_EQ(Parse(job, c.command, c.portId, &error), c.code);
    EXPECT_EQ(error, c.error);
    if (c.newServiceId) {
      EXPECT_EQ(job.serviceId, device_->core().Jobs().front().serviceId);
    } else {
      EXPECT_EQ(job.serviceId, kUnchanged);
    }
    device_->core().faults().Clear();
  }

  // No job, no answer yet, and a caller that does not want the reason.
  int error = 0;
  EXPECT_EQ(ParseResponse(lib_, hCmd_, nullptr, kCmdCreate, kPortIdNetwork, &error), -1);
  EXPECT_EQ(error, kErrorNoJob);
  CommandJob job = PrinterJob();
  ASSERT_TRUE(lib_.Clear(hCmd_));
  EXPECT_EQ(Parse(job, kCmdAdd, kPortIdNetwork, &error), -1);
  EXPECT_EQ(error, kErrorNoCode);
  EXPECT_EQ(Parse(job, kCmdAdd, kPortIdNetwork, nullptr), -1);
}

}  // namespace
}  // namespace k460::command
