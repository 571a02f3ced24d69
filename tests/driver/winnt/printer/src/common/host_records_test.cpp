// The stored bytes of HostSettings and HostDevMode: little-endian at the
// documented offsets, the blocks shared byte for byte, every byte kept.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <numeric>
#include <random>

#include "tests/driver/winnt/printer/src/common/hostsettings_support.h"

namespace k460::testing {
namespace {

std::uint64_t ReadLe(const std::vector<std::uint8_t>& bytes, std::size_t at, std::size_t size) {
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < size; ++i) value |= std::uint64_t{bytes[at + i]} << (8 * i);
  return value;
}

struct StoredField {
  const char* name;
  std::function<void(HostSettings&)> set;
  std::size_t offset;
  std::size_t size;
  std::uint64_t stored;
};

TEST(HostRecordsTest, SettingsFieldsAreStoredLittleEndianAtTheirOffsets) {
  const StoredField fields[] = {
      {"hsPaperIndex", [](HostSettings& s) { s.hsPaperIndex = 0x01020304; }, 0, 4, 0x01020304},
      {"hsReverseOrder", [](HostSettings& s) { s.hsReverseOrder = -2; }, 32, 4, 0xFFFFFFFE},
      {"hsZoom", [](HostSettings& s) { s.blocks.hsZoom = 0x0A0B0C0D; }, 100, 4, 0x0A0B0C0D},
      {"hsSkipBlankPages", [](HostSettings& s) { s.blocks.hsSkipBlankPages = 1; }, 108, 4, 1},
      {"hsMarginBack", [](HostSettings& s) { s.blocks.hsMarginBack = 300; }, 172, 4, 300},
      {"hsMemoryMb", [](HostSettings& s) { s.blocks.hsMemoryMb = 144; }, 272, 4, 144},
      {"hsPunchMarginBack", [](HostSettings& s) { s.blocks.hsPunchMarginBack = 77; }, 344, 4, 77},
      {"hsFaxPassword", [](HostSettings& s) { std::memcpy(s.blocks.hsFaxPassword, "pw", 2); }, 360, 2, 0x7770},
      {"hsFaxTxDocList", [](HostSettings& s) { s.blocks.hsFaxTxDocList = 1; }, 412, 4, 1},
      {"hsEnhanceRop", [](HostSettings& s) { s.blocks.hsEnhanceRop = 0xCCCC; }, 432, 4, 0xCCCC},
      {"hsReduction", [](HostSettings& s) { s.blocks.hsReduction = -3; }, 436, 2, 0xFFFD},
      {"hsReductionThreshold", [](HostSettings& s) { s.blocks.hsReductionThreshold = 0x1234; }, 438, 2, 0x1234},
  };
  for (const StoredField& field : fields) {
    SCOPED_TRACE(field.name);
    HostSettings settings{};
    field.set(settings);
    const auto bytes = BytesOf(settings);
    EXPECT_EQ(ReadLe(bytes, field.offset, field.size), field.stored);
    // Nothing else is touched.
    const auto nonzero = std::count_if(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b != 0; });
    std::size_t expected = 0;
    for (std::size_t i = 0; i < field.size; ++i) expected += ((field.stored >> (8 * i)) & 0xFF) != 0;
    EXPECT_EQ(static_cast<std::size_t>(nonzero), expected);
  }
}

TEST(HostRecordsTest, DevModeFieldsAreStoredLittleEndianAtTheirOffsets) {
  HostDevMode devMode{};
  devMode.dm.dmSize = 220;
  devMode.dm.dmDriverExtra = 452;
  devMode.dm.dmPaperSize = 0x0102;
  devMode.dm.dmLogPixels = 600;
  devMode.dm.dmFormName[0] = u'A';
  devMode.dpPriority = 2;
  devMode.dpCountryCode = -1;
  devMode.blocks.hsZoom = 4000;
  const auto bytes = BytesOf(devMode);
  EXPECT_EQ(ReadLe(bytes, 68, 2), 220u);
  EXPECT_EQ(ReadLe(bytes, 70, 2), 452u);
  EXPECT_EQ(ReadLe(bytes, 78, 2), 0x0102u);
  EXPECT_EQ(ReadLe(bytes, 102, 2), std::uint64_t{u'A'});
  EXPECT_EQ(ReadLe(bytes, 166, 2), 600u);
  EXPECT_EQ(ReadLe(bytes, 224, 4), 2u);
  EXPECT_EQ(ReadLe(bytes, 240, 4), 0xFFFFFFFFu);
  EXPECT_EQ(ReadLe(bytes, 100 + 208, 4), 4000u);
}

TEST(HostRecordsTest, DevModeCarriesTheSettingsBlocksByteForByte) {
  HostSettings settings{};
  std::vector<std::uint8_t> pattern(kHostSettingsSize);
  std::iota(pattern.begin(), pattern.end(), std::uint8_t{1});
  settings = LoadHostSettings(std::span<const std::uint8_t, kHostSettingsSize>(pattern.data(), kHostSettingsSize));
  HostDevMode devMode{};
  devMode.blocks = settings.blocks;
  const auto settingsBytes = BytesOf(settings);
  const auto devModeBytes = BytesOf(devMode);
  EXPECT_TRUE(std::equal(settingsBytes.begin() + 40, settingsBytes.end(), devModeBytes.begin() + 248));
}

TEST(HostRecordsTest, LoadAndStoreKeepEveryByteButTheRunTimeWord) {
  std::mt19937 random(4);
  std::vector<std::uint8_t> settingsBytes(kHostSettingsSize), devModeBytes(kHostDevModeSize);
  for (auto& b : settingsBytes) b = static_cast<std::uint8_t>(random());
  for (auto& b : devModeBytes) b = static_cast<std::uint8_t>(random());

  const HostSettings settings =
      LoadHostSettings(std::span<const std::uint8_t, kHostSettingsSize>(settingsBytes.data(), kHostSettingsSize));
  EXPECT_EQ(settings.blocks.hsRuntime56, 0u);
  auto again = BytesOf(settings);
  std::fill_n(settingsBytes.begin() + 56, 4, 0);
  EXPECT_EQ(again, settingsBytes);

  const HostDevMode devMode =
      LoadHostDevMode(std::span<const std::uint8_t, kHostDevModeSize>(devModeBytes.data(), kHostDevModeSize));
  again = BytesOf(devMode);
  std::fill_n(devModeBytes.begin() + 56 + 208, 4, 0);
  EXPECT_EQ(again, devModeBytes);
}

TEST(HostRecordsTest, PublicPartShorterThanTheRecordLoadsTheRestAsZero) {
  auto bytes = BytesOf(DefaultDevMode(HostVariant::kHostBased));
  const DEVMODEW dm = LoadDevModePublic(std::span(bytes).first(188));
  EXPECT_EQ(dm.dmPaperSize, 9);
  EXPECT_EQ(dm.dmICMMethod, 0u);  // at 188, beyond the part
}

}  // namespace
}  // namespace k460::testing
