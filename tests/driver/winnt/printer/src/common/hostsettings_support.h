// Helpers of the settings tests: device modes as bytes, and a machine with a
// printer of the host-based driver.
#pragma once

#include <cstdint>
#include <vector>

#include "driver/winnt/printer/src/common/devmode_conversion.h"
#include "driver/winnt/printer/src/common/host_devmode.h"
#include "driver/winnt/printer/src/common/settings_codes.h"
#include "driver/winnt/printer/src/common/settings_defaults.h"
#include "platform/spooler/spooler.h"
#include "tests/support/machine_fixture.h"

namespace k460::testing {

using namespace k460::hostsettings;

std::vector<std::uint8_t> BytesOf(const HostDevMode& devMode);
std::vector<std::uint8_t> BytesOf(const HostSettings& settings);
// A device mode the drivers would write for the default settings.
HostDevMode DefaultDevMode(HostVariant variant, std::int32_t countryCode = 81);
IncomingDevMode Incoming(const HostDevMode& devMode);

// Stored records, as many as given (the drivers' writers cut to their tables).
template <class Rec>
std::vector<std::uint8_t> StoreRecordsForTest(const std::vector<Rec>& records) {
  std::vector<std::uint8_t> bytes(records.size() * sizeof(Rec));
  for (std::size_t i = 0; i < records.size(); ++i) StoreFields(records[i], std::span(bytes).subspan(i * sizeof(Rec)));
  return bytes;
}

// A machine with the host-based driver installed and one printer on FILE:.
class PrinterDataTest : public MachineTest {
 protected:
  void SetUp() override;
  void TearDown() override;
  HANDLE Open(DWORD access = PRINTER_ALL_ACCESS);
  // Stores a raw printer-data entry, bypassing the size-first convention.
  void PutRaw(const char16_t* name, DWORD type, const std::vector<std::uint8_t>& bytes);
  void PutSize(const char16_t* name, std::uint32_t size);

  static constexpr char16_t kPrinter[] = u"K460 Test";
  HANDLE printer_ = nullptr;
};

}  // namespace k460::testing
