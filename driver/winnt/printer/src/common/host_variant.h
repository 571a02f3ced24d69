// The two drivers built from the same sources: the host-based printer driver
// (hbgraph, hbui) and the fax driver (faxgraph, faxui). Wherever their
// settings differ, the variant is an explicit parameter.
#pragma once

namespace k460::hostsettings {

enum class HostVariant { kHostBased, kFax };

}  // namespace k460::hostsettings
