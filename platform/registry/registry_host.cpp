// Registry helpers for hosts, tests and other platform facilities.
#include "platform/registry/registry_host.h"

#include "platform/registry/call_hook.h"
#include "platform/registry/key_handle.h"

namespace k460 {

std::filesystem::path RegistryHiveFile(HKEY predefinedKey) {
  registry::Hive hive;
  return registry::PredefinedHive(predefinedKey, &hive) ? registry::HiveFilePath(hive) : std::filesystem::path();
}

LONG DeleteRegistryTree(HKEY hKey, LPCWSTR lpSubKey) {
  namespace reg = registry;
  LONG result;
  if (reg::Injected("DeleteRegistryTree", lpSubKey, &result)) return result;
  reg::OpenKey parent;
  if (LONG rc = reg::ResolveKey(hKey, &parent)) return rc;
  if (!(parent.access & (KEY_SET_VALUE | KEY_CREATE_SUB_KEY | 0x00010000))) return ERROR_ACCESS_DENIED;
  std::vector<std::u16string> parts;
  if (LONG rc = reg::SplitKeyPath(WideView(lpSubKey), &parts)) return rc;
  auto upper = reg::UpperPath(parts);
  return reg::ChangeHive(parent.hive, [&](reg::Key& root, bool* changed) -> LONG {
    LONG error;
    reg::Key* key = reg::FindOpenKey(root, parent, &error);
    if (!key) return error;
    if (upper.empty()) {
      key->values.clear();
      key->subkeys.clear();
    } else {
      reg::Key* owner = reg::WalkPath(*key, reg::Path(upper.begin(), upper.end() - 1));
      if (!owner || owner->subkeys.erase(upper.back()) == 0) return ERROR_FILE_NOT_FOUND;
      key = owner;
    }
    key->lastWrite = reg::NowFileTime();
    *changed = true;
    return ERROR_SUCCESS;
  });
}

LONG ReadRegistryValues(HKEY hKey, std::vector<RegistryValue>* values) {
  LONG result;
  if (registry::Injected("ReadRegistryValues", nullptr, &result)) return result;
  if (!values) return ERROR_INVALID_PARAMETER;
  return registry::ReadOpenKey(hKey, KEY_QUERY_VALUE, [&](const registry::Key& key) -> LONG {
    values->clear();
    for (const auto& value : key.values) values->push_back({value.name, value.type, value.data});
    return ERROR_SUCCESS;
  });
}

}  // namespace k460
