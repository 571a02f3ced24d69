// `HostDevMode`, the job settings of the host-based and fax drivers as they
// travel with every job: the system's 220-byte wide-character device mode,
// then a 452-byte private part (672 bytes in all) whose blocks are bytes 40
// to 463 of `HostSettings`.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <type_traits>

#include "driver/winnt/printer/src/common/host_settings.h"
#include "platform/base/devmode.h"

namespace k460::hostsettings {

inline constexpr std::size_t kDevModePublicSize = 220;
inline constexpr std::size_t kDevModePrivateSize = 452;
inline constexpr std::size_t kHostDevModeSize = kDevModePublicSize + kDevModePrivateSize;
inline constexpr std::size_t kDevModeBlocksOffset = 248;

inline constexpr char16_t kDevModeDeviceName[] = u"Velkaro Printer";
inline constexpr WORD kDevModeSpecVersion = 0x0401;
inline constexpr WORD kDevModeDriverVersion = 0x0400;
// Orientation, paper size, copies, default source, print quality, duplex,
// Y resolution and form name.
inline constexpr DWORD kDevModeFields = 0x00013703;
static_assert(kDevModeFields == (DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES | DM_DEFAULTSOURCE | DM_PRINTQUALITY |
                                 DM_DUPLEX | DM_YRESOLUTION | DM_FORMNAME));

// `dpCountryCode` when the user's country code was not available.
inline constexpr std::int32_t kNoCountryCode = -1;

struct HostDevMode {
  DEVMODEW dm;
  std::uint8_t reserved220[4];
  std::int32_t dpPriority;      // device priority code 0, 1 or 2
  std::int32_t dpReserved228;   // device value 0, 1, 2, 3 or 11 of hsReserved28
  std::int32_t dpCollate;
  std::int32_t dpReverseOrder;
  std::int32_t dpCountryCode;   // kNoCountryCode when none was available
  std::uint8_t reserved244[4];
  HostBlocks blocks;
};

template <class Rec>
concept DevModeRecord = std::is_same_v<std::remove_const_t<Rec>, DEVMODEW>;
template <class Rec>
concept HostDevModeRecord = std::is_same_v<std::remove_const_t<Rec>, HostDevMode>;

template <DevModeRecord Rec, class F>
constexpr void ForEachField(Rec& r, F&& f) {
#define K460_DM_FIELD(name) f(offsetof(DEVMODEW, name), r.name)
  K460_DM_FIELD(dmDeviceName);
  K460_DM_FIELD(dmSpecVersion);
  K460_DM_FIELD(dmDriverVersion);
  K460_DM_FIELD(dmSize);
  K460_DM_FIELD(dmDriverExtra);
  K460_DM_FIELD(dmFields);
  K460_DM_FIELD(dmOrientation);
  K460_DM_FIELD(dmPaperSize);
  K460_DM_FIELD(dmPaperLength);
  K460_DM_FIELD(dmPaperWidth);
  K460_DM_FIELD(dmScale);
  K460_DM_FIELD(dmCopies);
  K460_DM_FIELD(dmDefaultSource);
  K460_DM_FIELD(dmPrintQuality);
  K460_DM_FIELD(dmColor);
  K460_DM_FIELD(dmDuplex);
  K460_DM_FIELD(dmYResolution);
  K460_DM_FIELD(dmTTOption);
  K460_DM_FIELD(dmCollate);
  K460_DM_FIELD(dmFormName);
  K460_DM_FIELD(dmLogPixels);
  K460_DM_FIELD(dmBitsPerPel);
  K460_DM_FIELD(dmPelsWidth);
  K460_DM_FIELD(dmPelsHeight);
  K460_DM_FIELD(dmNup);
  K460_DM_FIELD(dmDisplayFrequency);
  K460_DM_FIELD(dmICMMethod);
  K460_DM_FIELD(dmICMIntent);
  K460_DM_FIELD(dmMediaType);
  K460_DM_FIELD(dmDitherType);
  K460_DM_FIELD(dmReserved1);
  K460_DM_FIELD(dmReserved2);
  K460_DM_FIELD(dmPanningWidth);
  K460_DM_FIELD(dmPanningHeight);
#undef K460_DM_FIELD
}

template <HostDevModeRecord Rec, class F>
constexpr void ForEachField(Rec& r, F&& f) {
  ForEachField(r.dm, f);
  f(offsetof(HostDevMode, reserved220), r.reserved220);
  f(offsetof(HostDevMode, dpPriority), r.dpPriority);
  f(offsetof(HostDevMode, dpReserved228), r.dpReserved228);
  f(offsetof(HostDevMode, dpCollate), r.dpCollate);
  f(offsetof(HostDevMode, dpReverseOrder), r.dpReverseOrder);
  f(offsetof(HostDevMode, dpCountryCode), r.dpCountryCode);
  f(offsetof(HostDevMode, reserved244), r.reserved244);
  ForEachField(r.blocks, [&](std::size_t offset, auto& field) { f(kDevModeBlocksOffset + offset, field); });
}

static_assert(std::is_standard_layout_v<HostDevMode> && sizeof(HostDevMode) == kHostDevModeSize);
static_assert(FieldsCoverRecord<DEVMODEW>(kDevModePublicSize));
static_assert(FieldsCoverRecord<HostDevMode>(kHostDevModeSize));
static_assert(offsetof(HostDevMode, reserved220) == 220 && offsetof(HostDevMode, dpPriority) == 224 &&
              offsetof(HostDevMode, dpReserved228) == 228 && offsetof(HostDevMode, dpCollate) == 232 &&
              offsetof(HostDevMode, dpReverseOrder) == 236 && offsetof(HostDevMode, dpCountryCode) == 240 &&
              offsetof(HostDevMode, reserved244) == 244 && offsetof(HostDevMode, blocks) == kDevModeBlocksOffset);
// A block field sits 208 bytes further in the device mode than in HostSettings.
static_assert(kDevModeBlocksOffset - kHostBlocksOffset == 208);
static_assert(offsetof(HostDevMode, blocks) + offsetof(HostBlocks, hsSkipBlankPages) == 316);

void StoreHostDevMode(const HostDevMode& devMode, std::span<std::uint8_t, kHostDevModeSize> out);
HostDevMode LoadHostDevMode(std::span<const std::uint8_t, kHostDevModeSize> in);
// The public part alone: `in` holds `publicSize` (at most 220) bytes; the
// fields beyond it load as zero.
DEVMODEW LoadDevModePublic(std::span<const std::uint8_t> in);

}  // namespace k460::hostsettings
