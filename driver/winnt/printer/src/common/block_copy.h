// Moving the blocks A to G between a device mode and a settings record. The
// blocks are the same bytes in both, so they are copied as bytes.
#pragma once

#include "driver/winnt/printer/src/common/host_settings.h"
#include "driver/winnt/printer/src/common/host_variant.h"

namespace k460::hostsettings {

// Copies the bytes of `range` (offsets of HostSettings, within the blocks).
void CopyBlockRange(const HostBlocks& from, HostBlocks& to, BlockRange range);
void ClearBlockRange(HostBlocks& blocks, BlockRange range);

// The blocks as the drivers move them: A to F byte for byte (the fax driver
// leaves its finishing block E out), then block G by its own size word: at
// most that many and at most 48 bytes are taken (a negative size takes
// none), and the size word becomes 48. So a shorter block G from an older
// record keeps the destination's values for the fields it lacks.
void CopyBlocks(const HostBlocks& from, HostBlocks& to, HostVariant variant);

}  // namespace k460::hostsettings
