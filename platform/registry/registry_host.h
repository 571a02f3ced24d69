// Registry helpers for hosts, tests and the other facilities of the
// platform (the suite itself uses registry.h only).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/registry/registry.h"

namespace k460 {

// The file that keeps the hive of a predefined key
// (<root>/registry/HKEY_LOCAL_MACHINE.hive, ...); empty for other handles.
std::filesystem::path RegistryHiveFile(HKEY predefinedKey);

// Deletes lpSubKey below hKey together with everything below it, in one
// change of the hive (the spooler removing a printer's key). An empty
// lpSubKey empties hKey's own key of values and subkeys. Needs a handle
// that may change its key.
LONG DeleteRegistryTree(HKEY hKey, LPCWSTR lpSubKey);

// A value as ReadRegistryValues hands it out.
struct RegistryValue {
  std::u16string name;
  DWORD type = 0;
  std::vector<BYTE> data;
};

// Every value of hKey's key in one read of its hive: for callers that read
// a whole record (the spooler's printers) many times a second. Needs
// KEY_QUERY_VALUE.
LONG ReadRegistryValues(HKEY hKey, std::vector<RegistryValue>* values);

}  // namespace k460
