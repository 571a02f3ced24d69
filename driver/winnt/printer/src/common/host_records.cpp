// Stored bytes of HostSettings and HostDevMode.
#include "driver/winnt/printer/src/common/host_devmode.h"
#include "driver/winnt/printer/src/common/host_settings.h"

namespace k460::hostsettings {

void StoreHostBlocks(const HostBlocks& blocks, std::span<std::uint8_t, kHostBlocksSize> out) {
  HostBlocks stored = blocks;
  stored.hsRuntime56 = 0;
  StoreFields(stored, out);
}

HostBlocks LoadHostBlocks(std::span<const std::uint8_t, kHostBlocksSize> in) {
  HostBlocks blocks = LoadFields<HostBlocks>(in);
  blocks.hsRuntime56 = 0;
  return blocks;
}

void StoreHostSettings(const HostSettings& settings, std::span<std::uint8_t, kHostSettingsSize> out) {
  HostSettings stored = settings;
  stored.blocks.hsRuntime56 = 0;
  StoreFields(stored, out);
}

HostSettings LoadHostSettings(std::span<const std::uint8_t, kHostSettingsSize> in) {
  HostSettings settings = LoadFields<HostSettings>(in);
  settings.blocks.hsRuntime56 = 0;
  return settings;
}

void StoreHostDevMode(const HostDevMode& devMode, std::span<std::uint8_t, kHostDevModeSize> out) {
  HostDevMode stored = devMode;
  stored.blocks.hsRuntime56 = 0;
  StoreFields(stored, out);
}

HostDevMode LoadHostDevMode(std::span<const std::uint8_t, kHostDevModeSize> in) {
  HostDevMode devMode = LoadFields<HostDevMode>(in);
  devMode.blocks.hsRuntime56 = 0;
  return devMode;
}

DEVMODEW LoadDevModePublic(std::span<const std::uint8_t> in) {
  DEVMODEW dm{};
  ForEachField(dm, [&](std::size_t offset, auto& field) {
    if (offset + sizeof(field) <= in.size()) LoadField<std::remove_cvref_t<decltype(field)>>(in.data() + offset, field);
  });
  return dm;
}

}  // namespace k460::hostsettings
