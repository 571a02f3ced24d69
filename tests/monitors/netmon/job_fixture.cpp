#include "tests/monitors/netmon/job_fixture.h"

#include <png.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

#include "platform/outside/qtxtoenc/qtxtoenc.h"
#include "platform/base/text.h"
#include "platform/registry/registry.h"
#include "platform/spooler/host.h"

namespace k460::testing {

void NetmonJobTest::SetUp() {
  NetmonTest::SetUp();
  ClearFinishedJobs();
  device_ = std::make_unique<device::Emulator>(device::EmulatorOptions{0, root() / "device", 64u << 20});
  ASSERT_EQ(device_->Start(), "");
  ASSERT_TRUE(AddPort(u"127.0.0.1"));

  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Velkaro\\Ar+Vento\\Common", 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &key, nullptr),
            ERROR_SUCCESS);
  const std::u16string port = Utf8ToUtf16(std::to_string(device_->port()));
  RegSetValueExW(key, u"HttpPort", 0, REG_SZ, reinterpret_cast<const BYTE*>(port.c_str()),
                 static_cast<DWORD>((port.size() + 1) * sizeof(char16_t)));
  RegCloseKey(key);

  ASSERT_TRUE(InstallDriver({u"K460 Network Test", u"hbgraph.dll", u"", u"", u"", {}, u"", u"RAW"}));
  PrinterSetup printer;
  printer.name = kJobPrinter;
  printer.driverName = u"K460 Network Test";
  printer.portName = u"KP2_127.0.0.1";
  printer.attributes |= PRINTER_ATTRIBUTE_ENABLE_BIDI;
  ASSERT_TRUE(AddPrinter(printer));
}

void NetmonJobTest::TearDown() {
  ShutdownSpooler();
  if (device_) device_->Stop();
  NetmonTest::TearDown();
}

bool NetmonJobTest::PrintStream(const std::vector<std::uint8_t>& stream, const std::u16string& document) {
  HANDLE printer = nullptr;
  std::u16string name = kJobPrinter, doc = document, type = u"RAW";
  if (!OpenPrinterW(name.data(), &printer, nullptr)) return false;
  DOC_INFO_1W info{doc.data(), nullptr, type.data()};
  lastJobId_ = StartDocPrinterW(printer, 1, reinterpret_cast<LPBYTE>(&info));
  DWORD written = 0;
  bool ok = lastJobId_ != 0 && WritePrinter(printer, const_cast<std::uint8_t*>(stream.data()),
                                            static_cast<DWORD>(stream.size()), &written);
  ok = EndDocPrinter(printer) && ok;
  ClosePrinter(printer);
  return ok;
}

std::vector<std::string> NetmonJobTest::Conversation(bool withStatus) {
  static const std::regex command("<COMMAND>([^<]*)</COMMAND>\\s*<TYPE>([^<]*)</TYPE>");
  std::vector<std::string> out;
  for (const auto& request : device_->core().Received()) {
    if (request.path == device::kDataPath) {
      out.push_back("DATA");
      continue;
    }
    std::smatch match;
    std::string name = std::regex_search(request.document, match, command) ? match[1].str() : "?";
    if (match.size() > 2 && match[2] == "FAX/STRAGE") name += " FAX";
    if (withStatus || name != "GETSTATUS") out.push_back(name);
  }
  return out;
}

std::vector<ShownMessage> NetmonJobTest::ProgramMessages(std::size_t expected) {
  auto shown = Messages("ProgramMessage");
  for (int i = 0; i < 500 && shown.size() < expected; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    shown = Messages("ProgramMessage");
  }
  return shown;
}

std::vector<std::string> NetmonJobTest::LeftoverFiles() {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root()))
    if (entry.is_regular_file() && entry.path().parent_path().filename() == "qtxport")
      names.push_back(entry.path().filename().string());
  return names;
}

std::vector<std::uint8_t> NetmonJobTest::PrinterJob(const std::vector<std::int16_t>& papers,
                                                    std::vector<pagestream::testing::TestPage>* pages) {
  std::vector<std::uint8_t> stream;
  std::uint32_t seed = 1;
  for (std::int16_t paper : papers) {
    auto page = pagestream::testing::MakePage(kPrinterDevId, 96, 64, seed++);
    page.header.Paper = paper;
    const auto bytes = pagestream::testing::EncodeRecord(page);
    stream.insert(stream.end(), bytes.begin(), bytes.end());
    if (pages) pages->push_back(page);
  }
  return stream;
}

std::vector<std::uint8_t> NetmonJobTest::DevicePageRows(const std::string& folder, const std::string& image,
                                                        int* width, int* height) {
  std::ifstream in(root() / "device" / folder / image, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  const std::string png = bytes.str();
  png_image decoded{};
  decoded.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&decoded, png.data(), png.size())) return {};
  decoded.format = PNG_FORMAT_GRAY;
  std::vector<std::uint8_t> gray(PNG_IMAGE_SIZE(decoded));
  if (!png_image_finish_read(&decoded, nullptr, gray.data(), 0, nullptr)) return {};
  *width = static_cast<int>(decoded.width);
  *height = static_cast<int>(decoded.height);
  const std::uint32_t rowBytes = ENCODE_ROW_BYTES(*width);
  std::vector<std::uint8_t> rows(std::size_t{rowBytes} * *height, 0xFF);
  for (int y = 0; y < *height; ++y)
    for (int x = 0; x < *width; ++x)
      if (gray[std::size_t(y) * *width + x] < 128) rows[std::size_t(y) * rowBytes + x / 8] &= ~(0x80 >> (x % 8));
  return rows;
}

}  // namespace k460::testing
