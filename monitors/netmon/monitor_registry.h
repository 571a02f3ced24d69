// The monitor's registry key under HKEY_LOCAL_MACHINE:
// SYSTEM\CurrentControlSet\Control\Print\Monitors\<monitor name> with the
// tunables, "\Ports" (one REG_SZ value per device port, the persistent port
// list) and "\Install" (addresses an installer left for the next AddPort).
#pragma once

#include <string>
#include <vector>

#include "platform/base/base.h"

namespace netmon {

std::u16string RootKeyPath();
std::u16string PortsKeyPath();
std::u16string InstallKeyPath();

// The value names of the Ports key (created when missing), in order.
std::vector<std::u16string> ReadPortValueNames();

// Makes sure that BitmapRotate, SendPageWaitTime and SendPageWaitIntervalCount
// exist, writing the default of each one that cannot be read. Stops at the
// first key or value that cannot be created; answers whether all three are
// there.
bool EnsureTunables();

// Up to 32 addresses left in the Install key (names of up to 31
// characters), in enumeration order; the key is deleted whatever it held.
std::vector<std::u16string> TakeInstallAddresses();

// The registry side of adding and deleting a port. Adding fails when the
// Ports key cannot be opened, the value exists already, or the write fails.
// Deleting finds the value by its exact name.
bool CreatePortValue(const std::u16string& portName);
bool DeletePortValue(const std::u16string& portName);

}  // namespace netmon
