#include "tools/k460/device_road.h"

#include <charconv>
#include <vector>

#include "platform/base/text.h"
#include "platform/registry/registry.h"
#include "platform/spooler/host.h"
#include "tools/k460/network_ports.h"
#include "tools/k460/suite_defaults.h"

namespace k460::tool {
namespace {

// A decimal number of at most `maxDigits` digits, nothing else.
std::optional<unsigned> DecimalNumber(std::string_view text, std::size_t maxDigits) {
  if (text.empty() || text.size() > maxDigits) return std::nullopt;
  unsigned value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// Four decimal parts 0..255 without leading zeros (which the monitor's own
// parser would read as octal), and neither 0.0.0.0 nor the broadcast
// address, which name no device.
bool IsDottedDeviceAddress(std::string_view text) {
  int parts = 0;
  bool allZero = true, allOnes = true;
  while (true) {
    const std::size_t dot = text.find('.');
    const std::string_view part = text.substr(0, dot);
    auto value = DecimalNumber(part, 3);
    if (!value || *value > 255 || (part.size() > 1 && part.front() == '0')) return false;
    allZero = allZero && *value == 0;
    allOnes = allOnes && *value == 255;
    ++parts;
    if (dot == std::string_view::npos) break;
    text.remove_prefix(dot + 1);
  }
  return parts == 4 && !allZero && !allOnes;
}

bool IsSuiteHostBasedPrinter(const PrinterSetup& printer) {
  // The suite's default printers are named after their drivers.
  if (printer.name != printer.driverName) return false;
  auto driver = FindDriver(printer.driverName);
  return driver && EqualsNoCase(driver->driverFile, u"hbgraph.dll");
}

std::optional<PrinterSetup> FindSuiteHostBasedPrinter() {
  for (const auto& printer : ListPrinters())
    if (IsSuiteHostBasedPrinter(printer)) return printer;
  return std::nullopt;
}

// The HttpPort value: nullopt when there is none, "?" when it is no text.
std::optional<std::string> HttpPortSetting() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kHttpPortKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
  char16_t text[131] = {};  // the monitor reads up to 260 bytes
  DWORD type = 0, size = sizeof text - sizeof(char16_t);
  const LONG read = RegQueryValueExW(key, kHttpPortValue, nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
  RegCloseKey(key);
  if (read == ERROR_FILE_NOT_FOUND) return std::nullopt;
  if (read != ERROR_SUCCESS || type != REG_SZ) return "?";
  return Utf16ToUtf8(text);
}

bool WriteHttpPortSetting(const std::u16string& text) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kHttpPortKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return false;
  const bool ok = RegSetValueExW(key, kHttpPortValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                 static_cast<DWORD>((text.size() + 1) * sizeof(char16_t))) == ERROR_SUCCESS;
  RegCloseKey(key);
  return ok;
}

// Adds the device's port through the spooler unless it is there already
// (a second AddPort for it would only bring up the monitor's message).
bool EnsurePort(const std::u16string& address, const std::u16string& port, std::string& problem) {
  if (PortListed(port)) return true;
  if (!LeaveInstallAddress(address)) {
    problem = "cannot write the network port monitor's Install key";
    return false;
  }
  std::u16string monitor = kNetworkMonitorName;
  if (!AddPortW(nullptr, nullptr, monitor.data())) {
    problem = "the network port monitor did not add the port " + Utf16ToUtf8(port) + " (error " +
              std::to_string(GetLastError()) + ")";
    return false;
  }
  if (!PortListed(port)) {
    problem = "the network port monitor did not add the port " + Utf16ToUtf8(port);
    return false;
  }
  return true;
}

// Moves the printer onto `port` (PRINTER_INFO_2 with the new port name).
bool SetPrinterPort(const std::u16string& printerName, const std::u16string& port, std::string& problem) {
  std::u16string name = printerName;
  PRINTER_DEFAULTSW defaults{nullptr, nullptr, PRINTER_ALL_ACCESS};
  HANDLE printer = nullptr;
  if (!OpenPrinterW(name.data(), &printer, &defaults)) {
    problem = "cannot open the printer \"" + Utf16ToUtf8(printerName) + "\" (error " + std::to_string(GetLastError()) +
              ")";
    return false;
  }
  DWORD needed = 0;
  GetPrinterW(printer, 2, nullptr, 0, &needed);
  std::vector<BYTE> buffer(needed ? needed : 1);
  bool ok = needed && GetPrinterW(printer, 2, buffer.data(), needed, &needed);
  if (ok) {
    auto* info = reinterpret_cast<PRINTER_INFO_2W*>(buffer.data());
    std::u16string newPort = port;
    info->pPortName = newPort.data();
    ok = SetPrinterW(printer, 2, buffer.data(), 0);
  }
  if (!ok)
    problem = "cannot set the port of the printer \"" + Utf16ToUtf8(printerName) + "\" (error " +
              std::to_string(GetLastError()) + ")";
  ClosePrinter(printer);
  return ok;
}

}  // namespace

std::optional<DeviceTarget> ParseDeviceTarget(const std::string& text, std::string& problem) {
  const std::size_t colon = text.find(':');
  DeviceTarget target;
  target.address = text.substr(0, colon);
  if (!IsDottedDeviceAddress(target.address)) {
    problem = "bad device address \"" + target.address + "\": a dotted IPv4 address (such as 192.168.1.10) is needed";
    return std::nullopt;
  }
  if (colon != std::string::npos) {
    const std::string portText = text.substr(colon + 1);
    auto port = DecimalNumber(portText, 5);
    if (!port || *port < 1 || *port > 65535) {
      problem = "bad HTTP port \"" + portText + "\" of the device: a port number from 1 to 65535 is needed";
      return std::nullopt;
    }
    target.httpPort = *port;
  }
  return target;
}

std::optional<DeviceRoad> SetUpDeviceRoad(const DeviceTarget& target, std::string& problem) {
  if (!EnsureSuiteDefaults()) {
    problem = "cannot install the suite's printers";
    return std::nullopt;
  }
  if (!RegisterNetworkMonitor()) {
    problem = "cannot register the network port monitor";
    return std::nullopt;
  }
  DeviceRoad road;
  const std::u16string address = Utf8ToUtf16(target.address);
  road.port = kNetworkPortPrefix + address;
  if (!EnsurePort(address, road.port, problem)) return std::nullopt;

  auto printer = FindSuiteHostBasedPrinter();
  if (!printer) {
    // Removed since: an installer puts the suite's printers back.
    InstallSuiteDefaults();
    printer = FindSuiteHostBasedPrinter();
  }
  if (!printer) {
    problem = "cannot install the suite's host-based printer";
    return std::nullopt;
  }
  road.printer = printer->name;
  if (!EqualsNoCase(printer->portName, road.port) && !SetPrinterPort(road.printer, road.port, problem))
    return std::nullopt;

  auto existing = target.httpPort ? std::nullopt : HttpPortSetting();
  if (existing) {
    road.httpPort = *existing;
  } else {
    road.httpPort = std::to_string(target.httpPort.value_or(80));
    if (!WriteHttpPortSetting(Utf8ToUtf16(road.httpPort))) {
      problem = "cannot write the device's HTTP port to the registry";
      return std::nullopt;
    }
  }
  return road;
}

RoadSettings SaveRoadSettings() {
  RoadSettings settings;
  if (auto printer = FindSuiteHostBasedPrinter()) {
    settings.printer = printer->name;
    settings.port = printer->portName;
  }
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kHttpPortKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return settings;
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(key, kHttpPortValue, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
    std::vector<BYTE> bytes(size);
    if (RegQueryValueExW(key, kHttpPortValue, nullptr, &type, bytes.data(), &size) == ERROR_SUCCESS) {
      bytes.resize(size);
      settings.httpPort.emplace(type, std::move(bytes));
    }
  }
  RegCloseKey(key);
  return settings;
}

bool RestoreRoadSettings(const RoadSettings& settings) {
  std::string problem;
  bool ok = !settings.printer || SetPrinterPort(*settings.printer, *settings.port, problem);
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kHttpPortKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return false;
  if (settings.httpPort) {
    const auto& [type, bytes] = *settings.httpPort;
    ok = RegSetValueExW(key, kHttpPortValue, 0, type, bytes.data(), static_cast<DWORD>(bytes.size())) ==
             ERROR_SUCCESS &&
         ok;
  } else {
    const LONG deleted = RegDeleteValueW(key, kHttpPortValue);
    ok = (deleted == ERROR_SUCCESS || deleted == ERROR_FILE_NOT_FOUND) && ok;
  }
  RegCloseKey(key);
  return ok;
}

}  // namespace k460::tool
