// Both sides treat the other as untrusted: the device refuses requests that
// are not commands with a clear answer and stays up; the libraries refuse bad
// arguments with the right last error and bad answers with their own error.
#include <arpa/inet.h>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/outside/command/answer_document.h"
#include "platform/outside/command/number_text.h"
#include "platform/outside/device/status_page.h"
#include "tests/tools/device/device_fixture.h"

namespace k460::testing {
namespace {

// Sends raw bytes to the device and returns what comes back until it closes.
std::string RawExchange(int port, const std::string& request) {
  int sock = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  timeval timeout{10, 0};
  ::setsockopt(sock, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  std::string answer;
  if (::connect(sock, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
    ::send(sock, request.data(), request.size(), MSG_NOSIGNAL);
    char buffer[4096];
    ssize_t got;
    while ((got = ::recv(sock, buffer, sizeof buffer, 0)) > 0) answer.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(sock);
  return answer;
}

std::string RawPost(const std::string& path, const std::string& contentType, const std::string& body,
                 const std::string& length = "") {
  return "POST " + path + " HTTP/1.1\r\nHost: printer\r\nConnection: close\r\nContent-Type: " + contentType +
         "\r\nContent-Length: " + (length.empty() ? std::to_string(body.size()) : length) + "\r\n\r\n" + body;
}

std::string Form(const std::string& document) {
  return "--b\r\nContent-Disposition: form-data; name=\"command\"\r\nContent-Type: text/xml\r\n\r\n" + document +
         "\r\n--b--\r\n";
}

TEST_F(DeviceTest, DeviceRefusesWhatIsNoCommand) {
  const std::string form = "multipart/form-data; boundary=b";
  std::string deep = "<JOB mode=\"2\">";
  for (int i = 0; i < 20000; ++i) deep += "<COMMAND>";
  struct Case {
    const char* name;
    std::string request;
    const char* expect;  // in the answer
  };
  std::vector<Case> cases = {
      {"a huge declared length", RawPost("/upcmd.cgi", form, "x", "99999999999"), "HTTP/1.1 413"},
      {"a body over the limit", RawPost("/updata.cgi", form, std::string((64u << 20) + 1, 'x')), "HTTP/1.1 413"},
      {"the wrong content type", RawPost("/upcmd.cgi", "text/xml", "<JOB/>"), "HTTP/1.1 415"},
      {"a form without boundary", RawPost("/upcmd.cgi", "multipart/form-data", Form("<JOB/>")), "HTTP/1.1 400"},
      {"a broken form", RawPost("/upcmd.cgi", form, "--b\r\nnot a header\r\n\r\nx"), "HTTP/1.1 400"},
      {"malformed XML", RawPost("/upcmd.cgi", form, Form("<JOB mode=\"2\"><COMMAND>GETSTATUS</JOB>")),
       "<CODE>610</CODE>"},
      {"deeply nested XML", RawPost("/upcmd.cgi", form, Form(deep)), "<CODE>610</CODE>"},
      {"a document of text", RawPost("/upcmd.cgi", form, Form("hello")), "<CODE>610</CODE>"},
      {"an unknown root", RawPost("/upcmd.cgi", form, Form("<PRINTER mode=\"2\"/>")), "<CODE>612</CODE>"},
      {"no command part",
       RawPost("/upcmd.cgi", form, "--b\r\nContent-Disposition: form-data; name=\"faxauto\"\r\n\r\n0\r\n--b--\r\n"),
       "<CODE>612</CODE>"},
      {"an empty form", RawPost("/upcmd.cgi", form, "--b--\r\n"), "HTTP/1.1 400"},
      {"an unknown endpoint", RawPost("/admin.cgi", form, Form("<JOB/>")), "HTTP/1.1 404"},
  };
  for (const Case& c : cases) {
    std::string answer = RawExchange(port(), c.request);
    EXPECT_NE(answer.find(c.expect), std::string::npos) << c.name << ":\n" << answer.substr(0, 300);
  }
  // Still up and well.
  EXPECT_EQ(SendPrint("GETSTATUS", 0, 0, PageSetup{}).code, "600");
}

// Texts from the jobs are escaped on the status page.
TEST_F(DeviceTest, StatusPageEscapesJobTexts) {
  PageSetup setup;
  setup.jobName = "<script>alert(\"job\")</script>";
  ASSERT_EQ(SendPrint("CREATE", 0, 0, setup).code, "600");
  int status = 0;
  std::string page = Get("/", &status);
  EXPECT_EQ(page.find("<script"), std::string::npos);
  EXPECT_NE(page.find("&lt;script&gt;alert(&quot;job&quot;)"), std::string::npos);
  EXPECT_EQ(device::HtmlEscape("<img src=x onerror=\"a\">&"), "&lt;img src=x onerror=&quot;a&quot;&gt;&amp;");
  // Only the files of the jobs are served.
  for (const char* path : {"/jobs/../../etc/passwd", "/jobs/x/job.log", "/jobs/%2e%2e/machine.ini"}) {
    Get(path, &status);
    EXPECT_EQ(status, 404) << path;
  }
}

// Bad arguments of the command object functions answer like their system
// counterparts.
TEST_F(DeviceTest, LibraryChecksItsArguments) {
  using namespace k460::command;
  EXPECT_EQ(lib.Create(nullptr), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  HANDLE hCmd = NewCommand();
  HANDLE stale = NewCommand();
  lib.Delete(stale);
  struct Case {
    const char* name;
    BOOL result;
    DWORD error;
  };
  std::vector<Case> cases = {
      {"stale handle", lib.Begin(stale, KEY_JOB), ERROR_INVALID_HANDLE},
      {"invented handle", lib.Clear(reinterpret_cast<HANDLE>(0x1234)), ERROR_INVALID_HANDLE},
      {"value with no element open", lib.AddString(hCmd, KEY_JOBNAME, "x"), ERROR_INVALID_PARAMETER},
      {"end with no element open", lib.End(hCmd), ERROR_INVALID_PARAMETER},
      {"key past the table", lib.Begin(hCmd, 70), ERROR_INVALID_PARAMETER},
      {"empty entry", lib.Begin(hCmd, 56), ERROR_INVALID_PARAMETER},
      {"negative key", lib.Begin(hCmd, -1), ERROR_INVALID_PARAMETER},
      {"second root", (lib.Begin(hCmd, KEY_JOB), lib.End(hCmd), lib.Begin(hCmd, KEY_JOB)), ERROR_INVALID_PARAMETER},
      {"null text", (lib.Clear(hCmd), lib.Begin(hCmd, KEY_JOB), lib.AddString(hCmd, KEY_JOBNAME, nullptr)),
       ERROR_INVALID_PARAMETER},
      {"nine hex digits", lib.AddHex(hCmd, KEY_SERVICEID, 1, 9), ERROR_INVALID_PARAMETER},
      {"bad parameter name", lib.AddParamString(hCmd, "service id", "1"), ERROR_INVALID_PARAMETER},
      {"mode 3", lib.SetMode(hCmd, 3), ERROR_INVALID_PARAMETER},
      {"missing file", lib.AttachFile(hCmd, "C:\\Windows\\Temp\\none.tmp"), ERROR_FILE_NOT_FOUND},
      {"null number text", lib.StringToNumber(nullptr, nullptr), ERROR_INVALID_PARAMETER},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(c.result) << c.name;
  }
  // Each call sets its own error: check them one by one.
  EXPECT_FALSE(lib.Begin(stale, KEY_JOB));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_FALSE(lib.Begin(hCmd, 56));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_FALSE(lib.AttachFile(hCmd, "C:\\Windows\\Temp\\none.tmp"));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);

  // The network object: bad addresses, ports and endpoints.
  EXPECT_EQ(lib.CreateNet("printer.local"), nullptr);
  EXPECT_EQ(lib.CreateNet("300.1.1.1"), nullptr);
  EXPECT_EQ(lib.CreateNet(nullptr), nullptr);
  HANDLE hNet = lib.CreateNet("127.0.0.1");
  for (auto [port, cgi] : {std::pair{0, "upcmd.cgi"}, std::pair{70000, "upcmd.cgi"}, std::pair{80, "../x"},
                           std::pair{80, "a b"}, std::pair{80, ""}}) {
    EXPECT_FALSE(lib.PostFile(hNet, port, cgi, hCmd)) << cgi;
    EXPECT_EQ(lib.GetLastNetError(hNet), MNET_ERROR_INVALID_ARGUMENT);
  }
  EXPECT_FALSE(lib.PostFile(hNet, port(), "upcmd.cgi", stale));
  EXPECT_EQ(lib.GetLastNetError(hNet), MNET_ERROR_INVALID_ARGUMENT);
  EXPECT_EQ(lib.GetLastNetError(reinterpret_cast<HANDLE>(0x99)), MNET_ERROR_INVALID_ARGUMENT);
  EXPECT_FALSE(lib.SetProgressWindow(hNet, 0, "t", "m", "b"));
  EXPECT_TRUE(lib.SetProgressWindow(hNet, 60, "Velkaro Ar+Vento2 K-410/460Fax", "m", "b"));
  lib.DeleteNet(hNet);
  EXPECT_FALSE(lib.DeleteNet(hNet));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  lib.Delete(hCmd);
}

TEST(NumberTextTest, ReadsOnlyWholeNumbers) {
  using cmdlib::ParseDecimal;
  using cmdlib::ParseHex;
  EXPECT_EQ(ParseDecimal(" 600 "), 600);
  EXPECT_EQ(ParseDecimal("-5"), -5);
  EXPECT_EQ(ParseDecimal("+7"), 7);
  for (const char* bad : {"", " ", "6OO", "600x", "+-1", "--1", "2147483648", "0x10", "1 2"})
    EXPECT_FALSE(ParseDecimal(bad).has_value()) << bad;
  EXPECT_EQ(ParseHex("0000ABCD"), 0xABCDu);
  EXPECT_EQ(ParseHex("ffffffff"), 0xFFFFFFFFu);
  for (const char* bad : {"", "123456789", "0x1", "JOB-1234", "12 34", "-1"})
    EXPECT_FALSE(ParseHex(bad).has_value()) << bad;
  EXPECT_EQ(cmdlib::HexText(0x1A, 8), "0000001A");
  EXPECT_EQ(cmdlib::HexText(0xDEADBEEF, 4), "DEADBEEF");
}

TEST(AnswerDocumentTest, BoundsWhatItReads) {
  std::vector<cmdlib::AnswerElement> elements;
  EXPECT_EQ(cmdlib::ParseAnswer("<JOB><RESPONCE><CODE>600</CODE></RESPONCE></JOB>", &elements), "");
  ASSERT_EQ(elements.size(), 3u);
  EXPECT_EQ(elements[2].name, "CODE");
  EXPECT_EQ(elements[2].text, "600");
  std::string deep;
  for (int i = 0; i < 33; ++i) deep += "<A>";
  for (int i = 0; i < 33; ++i) deep += "</A>";
  std::string many = "<R>";
  for (int i = 0; i < 10001; ++i) many += "<E/>";
  many += "</R>";
  for (const std::string& bad : {std::string("not xml"), std::string(""), std::string("<A><B></A>"), deep, many,
                                 std::string(cmdlib::kMaxAnswerBytes + 1, ' ')}) {
    EXPECT_NE(cmdlib::ParseAnswer(bad, &elements), "") << bad.substr(0, 40);
    EXPECT_TRUE(elements.empty());
  }
}

}  // namespace
}  // namespace k460::testing
