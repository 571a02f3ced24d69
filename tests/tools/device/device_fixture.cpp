#include "tests/tools/device/device_fixture.h"

#include <httplib.h>
#include <png.h>
#include <pugixml.hpp>

#include "platform/base/text.h"
#include "tests/platform/outside/test_files.h"

namespace k460::testing {

using namespace k460::command;

void BuildPrintCommand(const CommandFunctions& f, HANDLE hCmd, const std::string& command, DWORD serviceId,
                       LONG pageNumber, const PageSetup& page, bool network) {
  f.Clear(hCmd);
  f.SetMode(hCmd, MCMD_MODE_JOB);
  f.Begin(hCmd, KEY_JOB);
  f.AddString(hCmd, KEY_COMMAND, command.c_str());
  f.AddString(hCmd, KEY_TYPE, "PRINT");
  f.Begin(hCmd, KEY_PARAM);
  f.Begin(hCmd, KEY_PRINT);
  f.Begin(hCmd, KEY_JOBINFO);
  if (command == "GETSTATUS") {
    f.AddHex(hCmd, KEY_SERVICEID, serviceId, 8);
  } else {
    if (command == "CREATE") {
      f.AddString(hCmd, KEY_JOBNAME, page.jobName.c_str());
      f.AddString(hCmd, KEY_OUTPUTPC, "K460-HOST");
    } else {
      if (network) f.AddHex(hCmd, KEY_SERVICEID, serviceId, 8);
      f.AddNumber(hCmd, KEY_PAGENUMBER, pageNumber);
    }
    if (network) f.AddString(hCmd, KEY_SENDERIP, "127.0.0.1");
  }
  f.End(hCmd);
  if (command == "CREATE" || command == "ADD") {
    f.Begin(hCmd, KEY_IMAGEINFO);
    f.AddString(hCmd, KEY_IMAGEFORMAT, "MMR");
    f.AddString(hCmd, KEY_ORIENTATION, page.orientation.c_str());
    f.AddString(hCmd, KEY_SETPAGESIZE, page.paper.c_str());
    f.AddNumber(hCmd, KEY_XSIZE, page.width);
    f.AddNumber(hCmd, KEY_YSIZE, page.height);
    f.AddNumber(hCmd, KEY_XRESOLUTION, page.resolution);
    f.AddNumber(hCmd, KEY_YRESOLUTION, page.resolution);
    f.AddNumber(hCmd, KEY_ANGLE, page.angle);
    f.End(hCmd);
    f.Begin(hCmd, KEY_OUTPUTINFO);
    f.AddString(hCmd, KEY_PAPERSOURCE, "AUTOSELECT");
    f.AddString(hCmd, KEY_OUTBIN, "LOWER");
    f.AddString(hCmd, KEY_PAPERTYPE, "PLAIN");
    f.AddString(hCmd, KEY_ECNOMODE, "OFF");
    f.AddString(hCmd, KEY_OUTPUTORDER, "NORMAL");
    f.AddString(hCmd, KEY_STACK, "OFF");
    f.AddString(hCmd, KEY_DUPLEX, page.duplex ? "ON" : "OFF");
    if (page.duplex != page.wrongBinding) f.AddString(hCmd, KEY_BINDING, "LONGEDGE");
    f.AddNumber(hCmd, page.collated ? KEY_QTY : KEY_COPIES, page.copies);
    f.AddString(hCmd, KEY_PUNCH, page.punch.c_str());
    if (page.punch != "OFF") f.AddString(hCmd, KEY_PUNCHHOLES, "HOLES2");
    f.AddString(hCmd, KEY_STAPLE, page.staple.c_str());
    if (page.staple != "OFF") f.AddString(hCmd, KEY_STAPLEPOINT, "UPPERLEFT");
    f.End(hCmd);
  }
  f.End(hCmd);
  f.End(hCmd);
  f.End(hCmd);
}

void BuildCreateFax(const CommandFunctions& f, HANDLE hCmd, LONG fileSizeKb, bool faxAuto, const std::string& item) {
  f.Clear(hCmd);
  f.SetMode(hCmd, MCMD_MODE_JOB);
  if (faxAuto) {
    f.AddParamString(hCmd, "faxauto", "1");
    f.AddParamString(hCmd, "userno", "0002");
    f.AddParamString(hCmd, "password", "secret");
    f.AddParamString(hCmd, "item", item.c_str());
    if (item != "tmp") f.AddParamString(hCmd, "txdoc", "1");
  } else {
    f.AddParamString(hCmd, "faxauto", "0");
  }
  f.Begin(hCmd, KEY_JOB);
  f.AddString(hCmd, KEY_COMMAND, "CREATE");
  f.AddString(hCmd, KEY_TYPE, "FAX/STRAGE");
  f.Begin(hCmd, KEY_PARAM);
  f.Begin(hCmd, KEY_FAX);
  f.Begin(hCmd, KEY_JOBINFO);
  f.AddString(hCmd, KEY_JOBNAME, "Fax to head office");
  f.AddString(hCmd, KEY_OUTPUTPC, "K460-HOST");
  f.AddString(hCmd, KEY_SENDERIP, "127.0.0.1");
  f.End(hCmd);
  f.Begin(hCmd, KEY_CONDITION);
  f.AddNumber(hCmd, KEY_FILESIZE, fileSizeKb);
  f.End(hCmd);
  f.End(hCmd);
  f.End(hCmd);
  f.End(hCmd);
}

namespace {
void OutlineOf(pugi::xml_node node, std::string* out) {
  *out += node.name();
  bool hasElements = false;
  for (pugi::xml_node child : node.children()) hasElements = hasElements || child.type() == pugi::node_element;
  if (!hasElements) {
    *out += "=" + std::string(node.text().get());
    return;
  }
  *out += "(";
  bool first = true;
  for (pugi::xml_node child : node.children()) {
    if (child.type() != pugi::node_element) continue;
    if (!first) *out += " ";
    first = false;
    OutlineOf(child, out);
  }
  *out += ")";
}
}  // namespace

std::string Outline(const std::string& xml) {
  pugi::xml_document document;
  if (!document.load_string(xml.c_str())) return "(not XML)";
  std::string out;
  OutlineOf(document.document_element(), &out);
  return out;
}

std::string ReadPng(const std::string& bytes, Raster* raster) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return image.message;
  image.format = PNG_FORMAT_GRAY;
  std::vector<png_byte> grey(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, grey.data(), 0, nullptr)) return image.message;
  *raster = Raster(static_cast<LONG>(image.width), static_cast<LONG>(image.height));
  for (LONG y = 0; y < raster->height; ++y)
    for (LONG x = 0; x < raster->width; ++x) raster->Set(x, y, grey[static_cast<std::size_t>(y) * image.width + x] < 128);
  return "";
}

void DeviceTest::SetUp() {
  MachineTest::SetUp();
  ASSERT_EQ(lib.Load(), "");
  std::string failure;
  ASSERT_TRUE(encoder.Load(&failure)) << failure;
  // Loopback answers come at once; a test that waits for a time-out sets its own.
  ASSERT_TRUE(lib.SetDefaultTimeouts(5000, 20000));
  device_ = std::make_unique<device::Emulator>(device::EmulatorOptions{0, root() / "jobs"});
  ASSERT_EQ(device_->Start(), "");
}

void DeviceTest::TearDown() {
  if (device_) device_->Stop();
  device_.reset();
  encoder.Unload();
  lib.Unload();
  MachineTest::TearDown();
}

Exchange DeviceTest::Post(HANDLE hCmd, const char* cgi, DWORD totalTimeoutMs) {
  Exchange exchange;
  HANDLE hNet = lib.CreateNet("127.0.0.1");
  EXPECT_NE(hNet, nullptr);
  if (totalTimeoutMs) lib.SetTimeouts(hNet, 0, totalTimeoutMs);
  exchange.posted = lib.PostFile(hNet, port(), cgi, hCmd);
  exchange.netError = lib.GetLastNetError(hNet);
  if (LPCSTR code = lib.GetAnswer(hCmd, KEY_CODE)) exchange.code = code;
  if (LPCSTR id = lib.GetAnswer(hCmd, KEY_SERVICEID)) exchange.serviceId = id;
  lib.DeleteNet(hNet);
  return exchange;
}

Exchange DeviceTest::SendPrint(const std::string& command, DWORD serviceId, LONG pageNumber, const PageSetup& page) {
  HANDLE hCmd = NewCommand();
  BuildPrintCommand(lib, hCmd, command, serviceId, pageNumber, page);
  Exchange exchange = Post(hCmd, "upcmd.cgi");
  lib.Delete(hCmd);
  return exchange;
}

DWORD DeviceTest::Create(const PageSetup& page) {
  Exchange created = SendPrint("CREATE", 0, 0, page);
  EXPECT_EQ(created.code, "600");
  DWORD id = 0;
  EXPECT_TRUE(created.serviceId && lib.HexToNumber(created.serviceId->c_str(), &id));
  return id;
}

Exchange DeviceTest::Upload(DWORD serviceId, LONG pageNumber, const std::vector<BYTE>& data) {
  std::u16string name = u"C:\\Windows\\Temp\\Mmr" + Utf8ToUtf16(std::to_string(++files_)) + u".tmp";
  WriteMachineFile(name, std::string(data.begin(), data.end()));
  HANDLE hCmd = NewCommand();
  lib.Clear(hCmd);
  lib.AddParamHex(hCmd, "serviceid", serviceId, 8);
  lib.AddParamNumber(hCmd, "pagenumber", pageNumber);
  EXPECT_TRUE(lib.AttachFile(hCmd, Utf16ToUtf8(name).c_str()));
  Exchange exchange = Post(hCmd, "updata.cgi");
  lib.Delete(hCmd);
  return exchange;
}

std::vector<BYTE> DeviceTest::EncodeMmr(const Raster& page) {
  MemoryFile file;
  FAXENCODESTATE state{};
  EXPECT_TRUE(encoder.FaxEncodeInit(&state, page.width, page.height, ENCODE_ROW_FORMAT, ENCODE_CODING_MMR, 600,
                                    MemoryFile::Write, MemoryFile::Read, MemoryFile::Seek, file.handle()));
  EXPECT_TRUE(encoder.FaxEncodeOut(&state, page.Row(0), static_cast<DWORD>(page.height)));
  EXPECT_TRUE(encoder.FaxEncodeFree(&state));
  return file.bytes;
}

std::vector<BYTE> DeviceTest::EncodeFaxTiff(const std::vector<Raster>& pages) {
  MemoryFile file;
  for (const Raster& page : pages) {
    TIFFENCODESTATE state{};
    EXPECT_TRUE(encoder.TiffEncodeInit(&state, page.width, page.height, ENCODE_ROW_FORMAT, ENCODE_CODING_MMR, 200,
                                       MemoryFile::Write, MemoryFile::Read, MemoryFile::Seek, file.handle()));
    EXPECT_TRUE(encoder.TiffEncodeOut(&state, page.Row(0), static_cast<DWORD>(page.height)));
    EXPECT_TRUE(encoder.TiffEncodeFree(&state));
  }
  return file.bytes;
}

std::string DeviceTest::Get(const std::string& path, int* status) {
  httplib::Client client("127.0.0.1", port());
  client.set_connection_timeout(5);
  client.set_read_timeout(10);
  auto result = client.Get(path);
  *status = result ? result->status : 0;
  return result ? result->body : std::string();
}

}  // namespace k460::testing
