// Reading, writing, deleting and listing the values of a key.
#include <algorithm>
#include <cstring>

#include "platform/registry/call_hook.h"
#include "platform/registry/key_handle.h"

namespace reg = k460::registry;

namespace {

// Copies a value's bytes to the caller: a null buffer asks for the size, a
// short one gets ERROR_MORE_DATA and the size it needs.
LONG CopyData(const reg::Value& value, LPBYTE data, LPDWORD size) {
  if (!size) return ERROR_SUCCESS;
  DWORD needed = static_cast<DWORD>(value.data.size());
  if (data) {
    if (*size < needed) {
      *size = needed;
      return ERROR_MORE_DATA;
    }
    std::copy(value.data.begin(), value.data.end(), data);
  }
  *size = needed;
  return ERROR_SUCCESS;
}

}  // namespace

K460_API LONG RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData,
                               LPDWORD lpcbData) {
  LONG result;
  if (reg::Injected("RegQueryValueExW", lpValueName, &result)) return result;
  if (lpReserved || (lpData && !lpcbData)) return ERROR_INVALID_PARAMETER;
  return reg::ReadOpenKey(hKey, KEY_QUERY_VALUE, [&](const reg::Key& openKey) -> LONG {
    const reg::Key* key = &openKey;
    const reg::Value* value = key->FindValue(k460::WideView(lpValueName));
    if (!value) return ERROR_FILE_NOT_FOUND;
    if (lpType) *lpType = value->type;
    return CopyData(*value, lpData, lpcbData);
  });
}

K460_API LONG RegSetValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD, DWORD dwType, const BYTE* lpData,
                             DWORD cbData) {
  LONG result;
  if (reg::Injected("RegSetValueExW", lpValueName, &result)) return result;
  if (!lpData && cbData) return ERROR_NOACCESS;
  std::u16string_view name = k460::WideView(lpValueName);
  if (name.size() > reg::kMaxValueNameChars) return ERROR_INVALID_PARAMETER;
  reg::OpenKey open;
  if (LONG rc = reg::ResolveKey(hKey, &open)) return rc;
  if (!(open.access & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
  return reg::ChangeHive(open.hive, [&](reg::Key& root, bool* changed) -> LONG {
    LONG error;
    reg::Key* key = reg::FindOpenKey(root, open, &error);
    if (!key) return error;
    reg::Value* value = key->FindValue(name);
    if (!value) value = &key->values.emplace_back(reg::Value{std::u16string(name), 0, {}});
    value->type = dwType;
    value->data.assign(lpData, lpData + cbData);
    key->lastWrite = reg::NowFileTime();
    *changed = true;
    return ERROR_SUCCESS;
  });
}

K460_API LONG RegDeleteValueW(HKEY hKey, LPCWSTR lpValueName) {
  LONG result;
  if (reg::Injected("RegDeleteValueW", lpValueName, &result)) return result;
  reg::OpenKey open;
  if (LONG rc = reg::ResolveKey(hKey, &open)) return rc;
  if (!(open.access & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
  return reg::ChangeHive(open.hive, [&](reg::Key& root, bool* changed) -> LONG {
    LONG error;
    reg::Key* key = reg::FindOpenKey(root, open, &error);
    if (!key) return error;
    reg::Value* value = key->FindValue(k460::WideView(lpValueName));
    if (!value) return ERROR_FILE_NOT_FOUND;
    key->values.erase(key->values.begin() + (value - key->values.data()));
    key->lastWrite = reg::NowFileTime();
    *changed = true;
    return ERROR_SUCCESS;
  });
}

K460_API LONG RegEnumValueW(HKEY hKey, DWORD dwIndex, LPWSTR lpValueName, LPDWORD lpcchValueName,
                            LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
  LONG result;
  if (reg::Injected("RegEnumValueW", nullptr, &result)) return result;
  if (!lpValueName || !lpcchValueName || lpReserved || (lpData && !lpcbData)) return ERROR_INVALID_PARAMETER;
  return reg::ReadOpenKey(hKey, KEY_QUERY_VALUE, [&](const reg::Key& openKey) -> LONG {
    const reg::Key* key = &openKey;
    if (dwIndex >= key->values.size()) return ERROR_NO_MORE_ITEMS;
    const reg::Value& value = key->values[dwIndex];
    if (value.name.size() + 1 > *lpcchValueName) return ERROR_MORE_DATA;
    std::copy(value.name.begin(), value.name.end(), lpValueName);
    lpValueName[value.name.size()] = 0;
    *lpcchValueName = static_cast<DWORD>(value.name.size());
    if (lpType) *lpType = value.type;
    return CopyData(value, lpData, lpcbData);
  });
}
