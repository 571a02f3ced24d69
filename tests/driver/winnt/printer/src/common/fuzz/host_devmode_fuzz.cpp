// Feeds the settings library device modes as applications, the spooler and
// the engine hand them over: raw bytes, or a record of the drivers with bytes
// patched, in buffers of any size, with custom papers read from stored bytes.
// Whatever comes in must be read within its buffer and must unpack into
// settings that are in range, that build a valid device mode, and that come
// back unchanged from it; merging it must keep a valid device mode valid.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "driver/winnt/printer/src/common/devmode_conversion.h"
#include "driver/winnt/printer/src/common/incoming_devmode.h"
#include "driver/winnt/printer/src/common/printer_data_records.h"
#include "driver/winnt/printer/src/common/settings_defaults.h"

namespace {

using namespace k460::hostsettings;

void Require(bool condition) {
  if (!condition) std::abort();
}

std::vector<std::uint8_t> BytesOf(const HostDevMode& devMode) {
  std::vector<std::uint8_t> bytes(kHostDevModeSize);
  StoreHostDevMode(devMode, std::span<std::uint8_t, kHostDevModeSize>(bytes.data(), kHostDevModeSize));
  return bytes;
}

std::int32_t ChooseCountry(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange<int>(0, 3)) {
    case 0: return 81;
    case 1: return 1;
    case 2: return kNoCountryCode;
    default: return in.ConsumeIntegral<std::int32_t>();
  }
}

// A record of the drivers with a few bytes changed, or raw bytes.
std::vector<std::uint8_t> ChooseDevMode(FuzzedDataProvider& in, HostVariant variant, std::int32_t country,
                                        const PaperTable& papers) {
  if (in.ConsumeBool()) return in.ConsumeRemainingBytes<std::uint8_t>();
  std::vector<std::uint8_t> bytes =
      BytesOf(BuildHostDevMode(DefaultHostSettings(variant, EffectiveCountryCode(country)), papers, {}, country));
  const int patches = in.ConsumeIntegralInRange<int>(0, 12);
  for (int i = 0; i < patches; ++i) {
    const auto at = in.ConsumeIntegralInRange<std::size_t>(0, bytes.size() - 1);
    bytes[at] = in.ConsumeIntegral<std::uint8_t>();
  }
  bytes.resize(in.ConsumeIntegralInRange<std::size_t>(0, kHostDevModeSize + 16), 0);
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const HostVariant variant = in.ConsumeBool() ? HostVariant::kFax : HostVariant::kHostBased;
  const std::int32_t country = ChooseCountry(in);
  const std::int32_t effectiveCountry = EffectiveCountryCode(country);
  const std::vector<std::uint8_t> stored =
      in.ConsumeBytes<std::uint8_t>(in.ConsumeIntegralInRange<std::size_t>(0, 4 * kCustomPaperRecordSize));
  const std::vector<CustomPaperRecord> customPapers = ParseCustomPapers(stored);
  const std::optional<std::int32_t> skipBlankPages =
      in.ConsumeBool() ? std::optional<std::int32_t>(in.ConsumeIntegral<std::int32_t>()) : std::nullopt;

  // Exactly the caller's buffer, so that any read beyond it is caught.
  const std::vector<std::uint8_t> buffer = ChooseDevMode(in, variant, country, PaperTable::Build(variant, customPapers));
  const auto* devMode = reinterpret_cast<const DEVMODEW*>(buffer.data());
  Require(DevModeBytes(buffer.empty() ? nullptr : devMode, buffer.size()).size() <= buffer.size());

  const auto incoming = ReadIncomingDevMode(buffer);
  if (!incoming) return 0;
  Require(incoming->publicSize >= kMinDevModePublicSize && incoming->publicSize <= buffer.size());
  const bool valid = IsValidHostDevMode(*incoming, variant);
  Require(!valid || incoming->complete);

  const PaperTable papers = PaperTable::Build(variant, customPapers, FreeSizeOf(*incoming));
  const HostSettings base = DefaultHostSettings(variant, effectiveCountry);
  const HostSettings settings = SettingsFromDevMode(*incoming, base, papers, country, skipBlankPages);

  // In range: normalising again changes nothing.
  HostSettings again = settings;
  NormaliseSettings(again, papers, effectiveCountry);
  Require(again == settings);
  Require(settings.hsPaperIndex >= 0 && static_cast<std::size_t>(settings.hsPaperIndex) < papers.size());
  Require(settings.blocks.hsGraphicsSize == kGraphicsBlockSize);

  // The device mode of the settings is valid and brings them back (the
  // reserved selector keeps only its indexes 0 and 1).
  const std::vector<std::uint8_t> built = BytesOf(BuildHostDevMode(settings, papers, {}, country));
  const auto builtIncoming = ReadIncomingDevMode(built);
  Require(builtIncoming && IsValidHostDevMode(*builtIncoming, variant));
  HostSettings expected = settings;
  if (expected.hsReserved28 > 1) expected.hsReserved28 = 0;
  Require(SettingsFromDevMode(*builtIncoming, base, papers, country) == expected);

  // Merging the caller's record keeps a valid device mode valid.
  HostDevMode target = BuildHostDevMode(base, papers, {}, country);
  MergeDevMode(target, *incoming, papers);
  Require(IsValidHostDevMode(BytesOf(target), variant));
  return 0;
}
