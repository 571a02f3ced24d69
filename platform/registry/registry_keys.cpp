// Creating, opening, deleting, listing and describing keys.
#include <algorithm>
#include <cstring>
#include <iterator>

#include "platform/base/text.h"
#include "platform/registry/call_hook.h"
#include "platform/registry/key_handle.h"

namespace reg = k460::registry;

namespace {

// Rights that let a handle change what lies below its key.
constexpr REGSAM kDeleteRight = 0x00010000;
constexpr REGSAM kChangeRights = KEY_SET_VALUE | KEY_CREATE_SUB_KEY | kDeleteRight;

void SetFileTime(PFILETIME ft, std::uint64_t ticks) {
  if (!ft) return;
  ft->dwLowDateTime = static_cast<DWORD>(ticks);
  ft->dwHighDateTime = static_cast<DWORD>(ticks >> 32);
}

}  // namespace

K460_API LONG RegCreateKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD, LPWSTR, DWORD dwOptions, REGSAM samDesired,
                              const LPSECURITY_ATTRIBUTES, PHKEY phkResult, LPDWORD lpdwDisposition) {
  LONG result;
  if (reg::Injected("RegCreateKeyExW", lpSubKey, &result)) return result;
  if (!phkResult || !lpSubKey) return ERROR_INVALID_PARAMETER;
  *phkResult = nullptr;
  if (dwOptions != REG_OPTION_NON_VOLATILE) return ERROR_INVALID_PARAMETER;
  reg::OpenKey parent;
  if (LONG rc = reg::ResolveKey(hKey, &parent)) return rc;
  std::vector<std::u16string> parts;
  if (LONG rc = reg::SplitKeyPath(k460::WideView(lpSubKey), &parts)) return rc;
  if (parent.path.size() + parts.size() > reg::kMaxDepth) return ERROR_INVALID_PARAMETER;

  reg::OpenKey opened{parent.hive, parent.path, 0, samDesired};
  auto upper = reg::UpperPath(parts);
  opened.path.insert(opened.path.end(), upper.begin(), upper.end());
  DWORD disposition = REG_OPENED_EXISTING_KEY;
  LONG rc = reg::ChangeHive(parent.hive, [&](reg::Key& root, bool* changed) -> LONG {
    LONG error;
    reg::Key* key = reg::FindOpenKey(root, parent, &error);
    if (!key) return error;
    std::size_t i = 0;
    for (; i < parts.size(); ++i) {
      reg::Key* next = key->FindSubkey(parts[i]);
      if (!next) break;
      key = next;
    }
    if (i < parts.size()) {
      if (!(parent.access & KEY_CREATE_SUB_KEY)) return ERROR_ACCESS_DENIED;
      std::uint64_t now = reg::NowFileTime();
      key->lastWrite = now;
      for (; i < parts.size(); ++i) {
        auto sub = std::make_unique<reg::Key>();
        sub->name = parts[i];
        sub->id = reg::NewKeyId();
        sub->lastWrite = now;
        key = key->subkeys.emplace(upper[i], std::move(sub)).first->second.get();
      }
      *changed = true;
      disposition = REG_CREATED_NEW_KEY;
    }
    opened.id = key->id;
    return ERROR_SUCCESS;
  });
  if (rc != ERROR_SUCCESS) return rc;
  *phkResult = reg::NewKeyHandle(std::move(opened));
  if (lpdwDisposition) *lpdwDisposition = disposition;
  return ERROR_SUCCESS;
}

K460_API LONG RegOpenKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD, REGSAM samDesired, PHKEY phkResult) {
  LONG result;
  if (reg::Injected("RegOpenKeyExW", lpSubKey, &result)) return result;
  if (!phkResult) return ERROR_INVALID_PARAMETER;
  *phkResult = nullptr;
  reg::OpenKey parent;
  if (LONG rc = reg::ResolveKey(hKey, &parent)) return rc;
  std::vector<std::u16string> parts;
  if (LONG rc = reg::SplitKeyPath(k460::WideView(lpSubKey), &parts)) return rc;

  reg::OpenKey opened{parent.hive, parent.path, 0, samDesired};
  auto upper = reg::UpperPath(parts);
  opened.path.insert(opened.path.end(), upper.begin(), upper.end());
  LONG rc = reg::ReadHive(parent.hive, [&](const reg::Key& root) -> LONG {
    LONG error;
    const reg::Key* key = reg::FindOpenKey(root, parent, &error);
    if (!key) return error;
    key = reg::WalkPath(*key, upper);
    if (!key) return ERROR_FILE_NOT_FOUND;
    opened.id = key->id;
    return ERROR_SUCCESS;
  });
  if (rc != ERROR_SUCCESS) return rc;
  *phkResult = reg::NewKeyHandle(std::move(opened));
  return ERROR_SUCCESS;
}

K460_API LONG RegCloseKey(HKEY hKey) {
  reg::Hive hive;
  if (reg::PredefinedHive(hKey, &hive)) return ERROR_SUCCESS;
  return reg::CloseKeyHandle(hKey) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

K460_API LONG RegDeleteKeyW(HKEY hKey, LPCWSTR lpSubKey) {
  LONG result;
  if (reg::Injected("RegDeleteKeyW", lpSubKey, &result)) return result;
  if (!lpSubKey) return ERROR_INVALID_PARAMETER;
  reg::OpenKey parent;
  if (LONG rc = reg::ResolveKey(hKey, &parent)) return rc;
  if (!(parent.access & kChangeRights)) return ERROR_ACCESS_DENIED;
  std::vector<std::u16string> parts;
  if (LONG rc = reg::SplitKeyPath(k460::WideView(lpSubKey), &parts)) return rc;
  reg::Path doomed = parent.path;
  auto upper = reg::UpperPath(parts);
  doomed.insert(doomed.end(), upper.begin(), upper.end());
  if (doomed.empty()) return ERROR_ACCESS_DENIED;  // the root of a hive stays

  return reg::ChangeHive(parent.hive, [&](reg::Key& root, bool* changed) -> LONG {
    LONG error;
    if (!reg::FindOpenKey(root, parent, &error)) return error;
    reg::Key* owner = reg::WalkPath(root, reg::Path(doomed.begin(), doomed.end() - 1));
    if (!owner) return ERROR_FILE_NOT_FOUND;
    auto it = owner->subkeys.find(doomed.back());
    if (it == owner->subkeys.end()) return ERROR_FILE_NOT_FOUND;
    if (!it->second->subkeys.empty()) return ERROR_ACCESS_DENIED;
    owner->subkeys.erase(it);
    owner->lastWrite = reg::NowFileTime();
    *changed = true;
    return ERROR_SUCCESS;
  });
}

K460_API LONG RegEnumKeyExW(HKEY hKey, DWORD dwIndex, LPWSTR lpName, LPDWORD lpcchName, LPDWORD lpReserved,
                            LPWSTR lpClass, LPDWORD lpcchClass, PFILETIME lpftLastWriteTime) {
  LONG result;
  if (reg::Injected("RegEnumKeyExW", nullptr, &result)) return result;
  if (!lpName || !lpcchName || lpReserved || (lpClass && !lpcchClass)) return ERROR_INVALID_PARAMETER;
  return reg::ReadOpenKey(hKey, KEY_ENUMERATE_SUB_KEYS, [&](const reg::Key& openKey) -> LONG {
    const reg::Key* key = &openKey;
    if (dwIndex >= key->subkeys.size()) return ERROR_NO_MORE_ITEMS;
    const reg::Key& sub = *std::next(key->subkeys.begin(), dwIndex)->second;
    if (sub.name.size() + 1 > *lpcchName) return ERROR_MORE_DATA;
    std::copy(sub.name.begin(), sub.name.end(), lpName);
    lpName[sub.name.size()] = 0;
    *lpcchName = static_cast<DWORD>(sub.name.size());
    if (lpcchClass) {  // keys carry no class
      if (lpClass && *lpcchClass > 0) lpClass[0] = 0;
      *lpcchClass = 0;
    }
    SetFileTime(lpftLastWriteTime, sub.lastWrite);
    return ERROR_SUCCESS;
  });
}

K460_API LONG RegQueryInfoKeyW(HKEY hKey, LPWSTR lpClass, LPDWORD lpcchClass, LPDWORD lpReserved,
                               LPDWORD lpcSubKeys, LPDWORD lpcbMaxSubKeyLen, LPDWORD lpcbMaxClassLen,
                               LPDWORD lpcValues, LPDWORD lpcbMaxValueNameLen, LPDWORD lpcbMaxValueLen,
                               LPDWORD lpcbSecurityDescriptor, PFILETIME lpftLastWriteTime) {
  LONG result;
  if (reg::Injected("RegQueryInfoKeyW", nullptr, &result)) return result;
  if (lpReserved || (lpClass && !lpcchClass)) return ERROR_INVALID_PARAMETER;
  return reg::ReadOpenKey(hKey, KEY_QUERY_VALUE, [&](const reg::Key& openKey) -> LONG {
    const reg::Key* key = &openKey;
    std::size_t maxSubKey = 0, maxName = 0, maxData = 0;
    for (auto& [upper, sub] : key->subkeys) maxSubKey = std::max(maxSubKey, sub->name.size());
    for (auto& v : key->values) {
      maxName = std::max(maxName, v.name.size());
      maxData = std::max(maxData, v.data.size());
    }
    if (lpcchClass) {
      if (lpClass && *lpcchClass > 0) lpClass[0] = 0;
      *lpcchClass = 0;
    }
    if (lpcSubKeys) *lpcSubKeys = static_cast<DWORD>(key->subkeys.size());
    if (lpcbMaxSubKeyLen) *lpcbMaxSubKeyLen = static_cast<DWORD>(maxSubKey);
    if (lpcbMaxClassLen) *lpcbMaxClassLen = 0;
    if (lpcValues) *lpcValues = static_cast<DWORD>(key->values.size());
    if (lpcbMaxValueNameLen) *lpcbMaxValueNameLen = static_cast<DWORD>(maxName);
    if (lpcbMaxValueLen) *lpcbMaxValueLen = static_cast<DWORD>(maxData);
    if (lpcbSecurityDescriptor) *lpcbSecurityDescriptor = 0;
    SetFileTime(lpftLastWriteTime, key->lastWrite);
    return ERROR_SUCCESS;
  });
}

K460_API LONG RegFlushKey(HKEY hKey) {
  LONG result;
  if (reg::Injected("RegFlushKey", nullptr, &result)) return result;
  reg::OpenKey open;
  if (LONG rc = reg::ResolveKey(hKey, &open)) return rc;
  return reg::FlushHive(open.hive);
}
