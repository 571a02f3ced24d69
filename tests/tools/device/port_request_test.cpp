// The port library hands out each command as an HTTP request in pieces; the
// device's command handling, fed those bytes as a port delivers them, runs
// the language monitor's job: CREATE, data, ADD, data, END, without service
// ids or sender addresses.
#include "platform/outside/command/answer_document.h"
#include "platform/outside/device/port_request.h"
#include "tests/tools/device/device_fixture.h"

namespace k460::testing {
namespace {

class PortRequestTest : public DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    ASSERT_EQ(port.Load(), "");
  }
  void TearDown() override {
    port.Unload();
    DeviceTest::TearDown();
  }

  // Takes the request in pieces of `piece` bytes, feeding each to the
  // device as it comes; the device's CODE.
  std::string Deliver(HANDLE hCmd, const char* path, DWORD piece) {
    EXPECT_TRUE(port.OpenRequest(hCmd, 0, path, MCMD_REQUEST_HTTP));
    const DWORD total = port.GetRequestSize(hCmd);
    std::string bytes, buffer(piece, '\0');
    device::DeviceRequest request;
    device::PortRequestResult read;
    DWORD got = 0;
    while (port.ReadRequest(hCmd, buffer.data(), piece, &got) && got > 0) {
      EXPECT_TRUE(got == piece || bytes.size() + got == total) << "only the last piece is shorter";
      bytes.append(buffer.data(), got);
      read = device::ReadPortRequest(bytes, 64u << 20, &request);
      EXPECT_NE(read.status, device::PortRequestStatus::Bad) << read.error;
      if (read.status != device::PortRequestStatus::Incomplete) break;
    }
    EXPECT_TRUE(port.CloseRequest(hCmd));
    EXPECT_EQ(bytes.size(), total);
    if (read.status != device::PortRequestStatus::Complete) return "incomplete";
    EXPECT_EQ(read.consumed, total);
    device::DeviceAnswer answer = device().core().Handle(request);
    std::vector<cmdlib::AnswerElement> elements;
    EXPECT_EQ(cmdlib::ParseAnswer(answer.body, &elements), "");
    for (const auto& element : elements) {
      if (element.name == "CODE") return element.text;
    }
    return "no code";
  }

  PortLibrary port;
};

TEST_F(PortRequestTest, LanguageMonitorJobOverThePort) {
  PageSetup setup;
  setup.width = 500;
  setup.height = 64;
  std::vector<Raster> pages = {MakePage(PageKind::Text, 500, 64, 1), MakePage(PageKind::Noise, 500, 64, 2)};
  HANDLE hCmd = port.Create(command::kCommandKeyTable);
  BuildPrintCommand(port, hCmd, "CREATE", 0, 0, setup, false);
  EXPECT_EQ(Deliver(hCmd, "/upcmd.cgi", 1000), "600");
  for (LONG number = 1; number <= 2; ++number) {
    if (number > 1) {
      BuildPrintCommand(port, hCmd, "ADD", 0, number - 1, setup, false);
      EXPECT_EQ(Deliver(hCmd, "/upcmd.cgi", 7), "600");
    }
    std::vector<BYTE> mmr = EncodeMmr(pages[static_cast<std::size_t>(number - 1)]);
    WriteMachineFile(u"C:\\Windows\\Temp\\Mmr.tmp", std::string(mmr.begin(), mmr.end()));
    port.Clear(hCmd);
    port.AddParamNumber(hCmd, "pagenumber", number);
    ASSERT_TRUE(port.AttachFile(hCmd, "C:\\Windows\\Temp\\Mmr.tmp"));
    EXPECT_EQ(Deliver(hCmd, "/updata.cgi", 4096), "600");
  }
  BuildPrintCommand(port, hCmd, "END", 0, 2, setup, false);
  EXPECT_EQ(Deliver(hCmd, "/upcmd.cgi", 1 << 20), "600");
  port.Delete(hCmd);

  auto jobs = device().core().Jobs();
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0].transport, device::Transport::Port);
  EXPECT_EQ(jobs[0].state, device::JobState::Completed);
  EXPECT_EQ(jobs[0].pages.size(), 2u);
  EXPECT_TRUE(jobs[0].senderIp.empty());
}

TEST_F(PortRequestTest, RequestCallsCheckTheirState) {
  HANDLE hCmd = port.Create(command::kCommandKeyTable);
  DWORD got = 5;
  char buffer[8];
  EXPECT_EQ(port.GetRequestSize(hCmd), 0u);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_FUNCTION);
  EXPECT_FALSE(port.ReadRequest(hCmd, buffer, sizeof buffer, &got));
  EXPECT_EQ(got, 0u);
  EXPECT_FALSE(port.CloseRequest(hCmd));
  EXPECT_FALSE(port.OpenRequest(hCmd, 1, "/upcmd.cgi", MCMD_REQUEST_HTTP));
  EXPECT_FALSE(port.OpenRequest(hCmd, 0, "upcmd.cgi", MCMD_REQUEST_HTTP));
  EXPECT_FALSE(port.OpenRequest(hCmd, 0, "/../x", MCMD_REQUEST_HTTP));
  EXPECT_FALSE(port.OpenRequest(hCmd, 0, "/upcmd.cgi", 2));
  EXPECT_FALSE(port.OpenRequest(reinterpret_cast<HANDLE>(0x42), 0, "/upcmd.cgi", MCMD_REQUEST_HTTP));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_TRUE(port.OpenRequest(hCmd, 0, "/upcmd.cgi", MCMD_REQUEST_HTTP));
  EXPECT_FALSE(port.ReadRequest(hCmd, nullptr, 8, &got));
  EXPECT_TRUE(port.ReadRequest(hCmd, buffer, 4, &got));
  EXPECT_EQ(std::string(buffer, got), "POST");
  EXPECT_TRUE(port.AbortRequest(hCmd));
  EXPECT_FALSE(port.AbortRequest(hCmd));
  port.Delete(hCmd);
}

TEST(ReadPortRequestTest, RefusesWhatIsNoRequest) {
  device::DeviceRequest request;
  struct Case {
    const char* name;
    std::string bytes;
    device::PortRequestStatus status;
  };
  const std::string form = "Content-Type: multipart/form-data; boundary=b\r\n";
  std::vector<Case> cases = {
      {"headers still coming", "POST /upcmd.cgi HTTP/1.1\r\nHost: x\r\n", device::PortRequestStatus::Incomplete},
      {"body still coming", "POST /upcmd.cgi HTTP/1.1\r\n" + form + "Content-Length: 100\r\n\r\n--b",
       device::PortRequestStatus::Incomplete},
      {"endless headers", "POST /upcmd.cgi HTTP/1.1\r\n" + std::string(20000, 'x'), device::PortRequestStatus::Bad},
      {"a GET", "GET / HTTP/1.1\r\n\r\n", device::PortRequestStatus::Bad},
      {"no length", "POST /upcmd.cgi HTTP/1.1\r\n" + form + "\r\n", device::PortRequestStatus::Bad},
      {"huge length", "POST /upcmd.cgi HTTP/1.1\r\n" + form + "Content-Length: 99999999999999\r\n\r\n",
       device::PortRequestStatus::Bad},
      {"length not a number", "POST /upcmd.cgi HTTP/1.1\r\n" + form + "Content-Length: 1x\r\n\r\n",
       device::PortRequestStatus::Bad},
      {"not a form", "POST /upcmd.cgi HTTP/1.1\r\nContent-Type: text/xml\r\nContent-Length: 2\r\n\r\nab",
       device::PortRequestStatus::Bad},
      {"a broken form", "POST /upcmd.cgi HTTP/1.1\r\n" + form + "Content-Length: 5\r\n\r\n--b\r\n",
       device::PortRequestStatus::Bad},
      {"chunked", "POST /upcmd.cgi HTTP/1.1\r\n" + form + "Transfer-Encoding: chunked\r\n\r\n",
       device::PortRequestStatus::Bad},
  };
  for (const Case& c : cases) {
    device::PortRequestResult result = device::ReadPortRequest(c.bytes, 1u << 20, &request);
    EXPECT_EQ(result.status, c.status) << c.name << ": " << result.error;
  }
}

}  // namespace
}  // namespace k460::testing
