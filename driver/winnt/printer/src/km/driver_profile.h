// What tells the host-based graphics library from the fax graphics library
// built from the same sources: the page kind and driver name written into
// every page record, the copy limit of SETCOPYCOUNT and whether the
// finishing settings take part. The entry file of each library picks its
// profile when the driver is enabled.
#pragma once

#include <cstdint>
#include <string_view>

#include "driver/winnt/printer/src/common/host_variant.h"

namespace k460::hbgraph {

struct DriverProfile {
  hostsettings::HostVariant variant;
  std::int32_t devId;               // `DevId` of every page record
  std::u16string_view driverName;   // `DriverName` of every page record
  std::uint32_t copyLimit;          // SETCOPYCOUNT's highest count
  bool finishing;                   // staple, punch and their shifts (block E)
};

const DriverProfile& ProfileOf(hostsettings::HostVariant variant);

}  // namespace k460::hbgraph
