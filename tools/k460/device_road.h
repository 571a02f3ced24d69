// The road of a host-based job to a network device, set up as an installer
// would: the network port monitor registered, the device's port
// "KP2_<address>" added through the spooler, the suite's host-based printer
// moved onto that port, and the device's HTTP port in the registry where the
// monitor reads it. `k460 print --device`, `k460 demo` and the network
// monitor's benchmark use it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/base/types.h"

namespace k460::tool {

// A device as `--device ADDRESS[:HTTPPORT]` names it.
struct DeviceTarget {
  std::string address;               // dotted IPv4: four decimal parts 0..255
  std::optional<unsigned> httpPort;  // 1..65535, when given
};

// Reads "ADDRESS[:HTTPPORT]". On a bad address or port number answers
// nullopt and says in `problem` what is wrong.
std::optional<DeviceTarget> ParseDeviceTarget(const std::string& text, std::string& problem);

// Where the network port monitor reads the device's HTTP port: a REG_SZ
// decimal value under HKEY_LOCAL_MACHINE; 80 when it is missing.
inline constexpr char16_t kHttpPortKey[] = u"Software\\Velkaro\\Ar+Vento\\Common";
inline constexpr char16_t kHttpPortValue[] = u"HttpPort";

struct DeviceRoad {
  std::u16string printer;  // the suite's host-based printer, now on `port`
  std::u16string port;     // "KP2_<address>"
  std::string httpPort;    // the HttpPort value in effect, as text
};

// Sets up the road to `target`. The HttpPort value is written when the
// target names a port; otherwise an existing value is kept and a missing one
// becomes "80". Answers nullopt with `problem` set when a step fails.
std::optional<DeviceRoad> SetUpDeviceRoad(const DeviceTarget& target, std::string& problem);

// What the road changes on a machine, as it was before: the suite's
// host-based printer's port and the HttpPort value (type and bytes). A
// demonstration puts them back when it is done, so that the machine does
// not go on printing to a device that is gone.
struct RoadSettings {
  std::optional<std::u16string> printer, port;
  std::optional<std::pair<DWORD, std::vector<BYTE>>> httpPort;
};
RoadSettings SaveRoadSettings();
// Answers whether everything could be put back.
bool RestoreRoadSettings(const RoadSettings& settings);

}  // namespace k460::tool
