#include "driver/winnt/printer/src/common/incoming_devmode.h"

#include <algorithm>

namespace k460::hostsettings {
namespace {

// Where each public field that the drivers read ends.
struct FieldEnd {
  DWORD field;
  std::size_t end;
};
constexpr FieldEnd kFieldEnds[] = {
    {DM_ORIENTATION, offsetof(DEVMODEW, dmOrientation) + 2},
    {DM_PAPERSIZE, offsetof(DEVMODEW, dmPaperSize) + 2},
    {DM_PAPERLENGTH, offsetof(DEVMODEW, dmPaperLength) + 2},
    {DM_PAPERWIDTH, offsetof(DEVMODEW, dmPaperWidth) + 2},
    {DM_SCALE, offsetof(DEVMODEW, dmScale) + 2},
    {DM_COPIES, offsetof(DEVMODEW, dmCopies) + 2},
    {DM_DEFAULTSOURCE, offsetof(DEVMODEW, dmDefaultSource) + 2},
    {DM_PRINTQUALITY, offsetof(DEVMODEW, dmPrintQuality) + 2},
    {DM_COLOR, offsetof(DEVMODEW, dmColor) + 2},
    {DM_DUPLEX, offsetof(DEVMODEW, dmDuplex) + 2},
    {DM_YRESOLUTION, offsetof(DEVMODEW, dmYResolution) + 2},
    {DM_TTOPTION, offsetof(DEVMODEW, dmTTOption) + 2},
    {DM_COLLATE, offsetof(DEVMODEW, dmCollate) + 2},
    {DM_FORMNAME, offsetof(DEVMODEW, dmFormName) + sizeof(DEVMODEW::dmFormName)},
    {DM_LOGPIXELS, offsetof(DEVMODEW, dmLogPixels) + 2},
};

constexpr std::size_t kSizeWordsEnd = offsetof(DEVMODEW, dmDriverExtra) + 2;

}  // namespace

bool IncomingDevMode::IsMarked(DWORD field) const {
  const auto it = std::ranges::find(kFieldEnds, field, &FieldEnd::field);
  return it != std::end(kFieldEnds) && it->end <= publicSize && (record.dm.dmFields & field) != 0;
}

bool IncomingDevMode::Gives(DWORD field) const {
  return IsMarked(field) || (complete && std::ranges::find(kFieldEnds, field, &FieldEnd::field) != std::end(kFieldEnds));
}

std::optional<IncomingDevMode> ReadIncomingDevMode(std::span<const std::uint8_t> buffer) {
  if (buffer.size() < kSizeWordsEnd) return std::nullopt;
  const std::size_t dmSize = LoadLe<WORD>(buffer.data() + offsetof(DEVMODEW, dmSize));
  const std::size_t dmDriverExtra = LoadLe<WORD>(buffer.data() + offsetof(DEVMODEW, dmDriverExtra));
  if (dmSize < kMinDevModePublicSize || dmSize > kDevModePublicSize || dmSize > buffer.size()) return std::nullopt;

  IncomingDevMode incoming;
  incoming.publicSize = dmSize;
  incoming.complete = dmSize == kDevModePublicSize && dmDriverExtra == kDevModePrivateSize &&
                      buffer.size() >= kHostDevModeSize;
  if (incoming.complete) {
    incoming.record = LoadHostDevMode(buffer.first<kHostDevModeSize>());
  } else {
    incoming.record.dm = LoadDevModePublic(buffer.first(dmSize));
  }
  return incoming;
}

std::span<const std::uint8_t> DevModeBytes(const DEVMODEW* devMode) {
  return DevModeBytes(devMode, kHostDevModeSize);
}

std::span<const std::uint8_t> DevModeBytes(const DEVMODEW* devMode, std::size_t bufferSize) {
  if (!devMode || bufferSize < kSizeWordsEnd) return {};
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(devMode);
  const std::size_t declared = std::size_t{LoadLe<WORD>(bytes + offsetof(DEVMODEW, dmSize))} +
                               LoadLe<WORD>(bytes + offsetof(DEVMODEW, dmDriverExtra));
  return {bytes, std::min({declared, bufferSize, kHostDevModeSize})};
}

}  // namespace k460::hostsettings
