#include "monitors/netmon/monitor_registry.h"

#include "monitors/netmon/monitor_strings.h"
#include "platform/registry/registry.h"

namespace netmon {
namespace {

constexpr DWORD kMaxInstallAddresses = 32;
constexpr DWORD kInstallNameCapacity = 32;  // 31 characters and the terminator

struct Tunable {
  const char16_t* name;
  DWORD defaultValue;
};
constexpr Tunable kTunables[] = {
    {u"BitmapRotate", 1},
    {u"SendPageWaitTime", 30000},
    {u"SendPageWaitIntervalCount", 10},
};

// Closes a registry key when it goes out of scope.
class Key {
 public:
  Key() = default;
  ~Key() {
    if (key_) RegCloseKey(key_);
  }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  HKEY* out() { return &key_; }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

std::u16string ValueName(HKEY key, DWORD index, DWORD capacity, LONG* result) {
  std::u16string name(capacity, u'\0');
  DWORD length = capacity;
  *result = RegEnumValueW(key, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
  name.resize(*result == ERROR_SUCCESS ? length : 0);
  return name;
}

}  // namespace

std::u16string RootKeyPath() { return u"SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\" + MonitorName(); }
std::u16string PortsKeyPath() { return RootKeyPath() + u"\\Ports"; }
std::u16string InstallKeyPath() { return RootKeyPath() + u"\\Install"; }

std::vector<std::u16string> ReadPortValueNames() {
  std::vector<std::u16string> names;
  Key ports;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, PortsKeyPath().c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ,
                      nullptr, ports.out(), nullptr) != ERROR_SUCCESS)
    return names;
  for (DWORD index = 0;; ++index) {
    LONG result;
    std::u16string name = ValueName(ports.get(), index, 260, &result);
    if (result == ERROR_NO_MORE_ITEMS) break;
    if (result == ERROR_SUCCESS) names.push_back(std::move(name));
    else if (result != ERROR_MORE_DATA) break;  // a name too long for a port is passed over
  }
  return names;
}

bool EnsureTunables() {
  for (const Tunable& tunable : kTunables) {
    Key root;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, RootKeyPath().c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, root.out(), nullptr) != ERROR_SUCCESS)
      return false;
    DWORD value = 0, size = sizeof value, type = 0;
    if (RegQueryValueExW(root.get(), tunable.name, nullptr, &type, reinterpret_cast<LPBYTE>(&value), &size) ==
        ERROR_SUCCESS)
      continue;
    BYTE bytes[4] = {static_cast<BYTE>(tunable.defaultValue), static_cast<BYTE>(tunable.defaultValue >> 8),
                     static_cast<BYTE>(tunable.defaultValue >> 16), static_cast<BYTE>(tunable.defaultValue >> 24)};
    if (RegSetValueExW(root.get(), tunable.name, 0, REG_DWORD, bytes, sizeof bytes) != ERROR_SUCCESS) return false;
  }
  return true;
}

std::vector<std::u16string> TakeInstallAddresses() {
  std::vector<std::u16string> addresses;
  const std::u16string path = InstallKeyPath();
  {
    Key install;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, install.out()) != ERROR_SUCCESS)
      return addresses;
    for (DWORD index = 0; addresses.size() < kMaxInstallAddresses; ++index) {
      LONG result;
      std::u16string name = ValueName(install.get(), index, kInstallNameCapacity, &result);
      if (result == ERROR_NO_MORE_ITEMS) break;
      if (result == ERROR_SUCCESS) addresses.push_back(std::move(name));
      else if (result != ERROR_MORE_DATA) break;  // a name longer than an address is passed over
    }
  }
  RegDeleteKeyW(HKEY_LOCAL_MACHINE, path.c_str());
  return addresses;
}

bool CreatePortValue(const std::u16string& portName) {
  Key ports;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, PortsKeyPath().c_str(), 0, KEY_ALL_ACCESS, ports.out()) != ERROR_SUCCESS)
    return false;
  DWORD size = 0;
  if (RegQueryValueExW(ports.get(), portName.c_str(), nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) return false;
  const WCHAR empty[1] = {0};
  return RegSetValueExW(ports.get(), portName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(empty),
                        sizeof empty) == ERROR_SUCCESS;
}

bool DeletePortValue(const std::u16string& portName) {
  Key ports;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, PortsKeyPath().c_str(), 0, KEY_ALL_ACCESS, ports.out()) != ERROR_SUCCESS)
    return false;
  // Value names compare without regard to case in the registry; the port
  // to delete must carry exactly this name.
  for (DWORD index = 0;; ++index) {
    LONG result;
    std::u16string name = ValueName(ports.get(), index, 260, &result);
    if (result == ERROR_NO_MORE_ITEMS) return false;
    if (result == ERROR_SUCCESS && name == portName)
      return RegDeleteValueW(ports.get(), portName.c_str()) == ERROR_SUCCESS;
    if (result != ERROR_SUCCESS && result != ERROR_MORE_DATA) return false;
  }
}

}  // namespace netmon
