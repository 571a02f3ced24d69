#include "tests/driver/winnt/printer/src/common/hostsettings_support.h"

#include <string>

#include "platform/spooler/host.h"

namespace k460::testing {

std::vector<std::uint8_t> BytesOf(const HostDevMode& devMode) {
  std::vector<std::uint8_t> bytes(kHostDevModeSize);
  StoreHostDevMode(devMode, std::span<std::uint8_t, kHostDevModeSize>(bytes.data(), kHostDevModeSize));
  return bytes;
}

std::vector<std::uint8_t> BytesOf(const HostSettings& settings) {
  std::vector<std::uint8_t> bytes(kHostSettingsSize);
  StoreHostSettings(settings, std::span<std::uint8_t, kHostSettingsSize>(bytes.data(), kHostSettingsSize));
  return bytes;
}

HostDevMode DefaultDevMode(HostVariant variant, std::int32_t countryCode) {
  return BuildHostDevMode(DefaultHostSettings(variant, countryCode), PaperTable(variant), {}, countryCode);
}

IncomingDevMode Incoming(const HostDevMode& devMode) {
  auto incoming = ReadIncomingDevMode(BytesOf(devMode));
  EXPECT_TRUE(incoming.has_value());
  return incoming.value_or(IncomingDevMode{});
}

void PrinterDataTest::SetUp() {
  MachineTest::SetUp();
  ASSERT_TRUE(InstallDriver({u"Velkaro Ar+Vento2 K-410/460", u"hbgraph.dll", u"hbui.dll", u"", u"", {u"K460.ini"}, u"", u"RAW"}));
  ASSERT_TRUE(AddPrinter({kPrinter, u"Velkaro Ar+Vento2 K-410/460", u"FILE:"}));
  printer_ = Open();
  ASSERT_NE(printer_, nullptr);
}

void PrinterDataTest::TearDown() {
  if (printer_) ClosePrinter(printer_);
  ShutdownSpooler();
  MachineTest::TearDown();
}

HANDLE PrinterDataTest::Open(DWORD access) {
  PRINTER_DEFAULTSW defaults{nullptr, nullptr, access};
  std::u16string name = kPrinter;
  HANDLE h = nullptr;
  EXPECT_TRUE(OpenPrinterW(name.data(), &h, &defaults)) << GetLastError();
  return h;
}

void PrinterDataTest::PutRaw(const char16_t* name, DWORD type, const std::vector<std::uint8_t>& bytes) {
  std::u16string value = name;
  std::vector<std::uint8_t> data = bytes;
  ASSERT_EQ(SetPrinterDataW(printer_, value.data(), type, data.empty() ? nullptr : data.data(),
                            static_cast<DWORD>(data.size())),
            ERROR_SUCCESS);
}

void PrinterDataTest::PutSize(const char16_t* name, std::uint32_t size) {
  std::vector<std::uint8_t> bytes(4);
  StoreLe(bytes.data(), size);
  PutRaw(name, REG_DWORD, bytes);
}

}  // namespace k460::testing
