#include "driver/winnt/printer/src/km/driver_profile.h"

namespace k460::hbgraph {

const DriverProfile& ProfileOf(hostsettings::HostVariant variant) {
  static constexpr DriverProfile kHostBased{hostsettings::HostVariant::kHostBased, 205,
                                            u"Velkaro Ar+Vento2 K-410/460", 999, true};
  static constexpr DriverProfile kFax{hostsettings::HostVariant::kFax, 4, u"Velkaro Ar+Vento2 K-410/460Fax", 99,
                                      false};
  return variant == hostsettings::HostVariant::kFax ? kFax : kHostBased;
}

}  // namespace k460::hbgraph
