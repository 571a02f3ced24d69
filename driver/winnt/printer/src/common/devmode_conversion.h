// Conversions between the job's device mode (`HostDevMode`) and the settings
// record (`HostSettings`): the validity rule of the user interfaces, building
// a device mode from settings, unpacking a device mode into settings, merging
// a caller's device mode, and applying a sheet's edited values.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "driver/winnt/printer/src/common/host_devmode.h"
#include "driver/winnt/printer/src/common/host_settings.h"
#include "driver/winnt/printer/src/common/incoming_devmode.h"
#include "driver/winnt/printer/src/common/paper_table.h"
#include "driver/winnt/printer/src/common/printer_data_records.h"

namespace k460::hostsettings {

// The country code to decide defaults by: kNoCountryCode gives 81.
std::int32_t EffectiveCountryCode(std::int32_t countryCode);

// A device mode the user interface accepts as it is: one of our own records
// (dmSize 220, dmDriverExtra 452, the whole 672 bytes there) of versions
// 0x0401/0x0400 with orientation 1 or 2, a known paper code, a source of the
// source table, collate 0 or 1, scale 25 to 400, copies 1 to 999 (fax 99),
// print quality, Y resolution and log pixels equal and in the resolution
// table, colour, duplex and TrueType option 1. Anything else is rebuilt from
// the settings.
bool IsValidHostDevMode(const IncomingDevMode& devMode, HostVariant variant);
bool IsValidHostDevMode(std::span<const std::uint8_t> buffer, HostVariant variant);
// Paper codes a valid device mode may carry: 1, 4 to 9, 11 to 13, 27, 28, 43,
// 60, 69 to 71, 74, 119, 120, 256 to 513, and every built-in paper of the
// driver (COM10's 20, the fax driver's Monarch 37).
bool IsAcceptedPaperCode(std::int32_t code, HostVariant variant);

// The device mode of `settings`: the public part as the drivers write it
// (paper code, source, resolution, copies, collate and form name from the
// settings; the sizes of a user-defined paper from its portrait side), the
// private words and the blocks. `forms` names the papers by position.
// `countryCode` goes into dpCountryCode as given. Out-of-range settings are
// written with their fallbacks.
HostDevMode BuildHostDevMode(const HostSettings& settings, const PaperTable& papers,
                             std::span<const FormRecord> forms, std::int32_t countryCode);

// Unpacks a device mode into settings that start from `base` (the printer's
// settings): paper position, source, orientation, copies and resolution from
// the public fields it gives; collate, reverse order, priority, the reserved
// selector and the blocks (block G by its size) from one of our own records.
// The edited values of block A follow the head, so that what the application
// changed in the public part shows and stays. `skipBlankPages` (the INI
// switch), when given, replaces hsSkipBlankPages. The result is normalised.
HostSettings SettingsFromDevMode(const IncomingDevMode& devMode, const HostSettings& base, const PaperTable& papers,
                                 std::int32_t countryCode, std::optional<std::int32_t> skipBlankPages = std::nullopt);

// Merges a caller's device mode into `target` (one of our own records), as a
// user interface does for a call with an input device mode: only from a
// caller's record that is one of our own, and only the public fields its
// dmFields marks: paper size (a code of the paper table or 256), paper
// length and width, form name, source (through the source table), resolution
// (from the table only, all three fields together), copies, collate,
// orientation; then dpCollate (0 or 1) and the blocks. A marked public collate
// wins over the private one.
void MergeDevMode(HostDevMode& target, const IncomingDevMode& caller, const PaperTable& papers);

// A sheet's apply: the edited values of block A become the head
// (hsPaperIndex from hsPaper, hsSourceIndex from hsSource, hsLandscape,
// hsCopies, hsCollate, hsReverseOrder, hsResolutionIndex from the choice).
void ApplyEditedValues(HostSettings& settings, const PaperTable& papers, std::int32_t countryCode);

// The free size a device mode asks for: Windows paper code 256 with its own
// width and length.
std::optional<FreeSize> FreeSizeOf(const IncomingDevMode& devMode);

}  // namespace k460::hostsettings
