// Key handles live in the platform's handle table.
#include "platform/registry/key_handle.h"
#include "platform/registry/hive_store.h"

#include "platform/base/internal.h"

namespace k460::registry {
namespace {

class KeyObject : public KernelObject {
 public:
  explicit KeyObject(OpenKey key) : key(std::move(key)) {}
  const OpenKey key;
};

}  // namespace

bool PredefinedHive(HKEY hKey, Hive* hive) {
  const HKEY predefined[kHiveCount] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS};
  const Hive hives[kHiveCount] = {Hive::ClassesRoot, Hive::CurrentUser, Hive::LocalMachine, Hive::Users};
  for (int i = 0; i < kHiveCount; ++i)
    if (hKey == predefined[i]) {
      *hive = hives[i];
      return true;
    }
  return false;
}

LONG ResolveKey(HKEY hKey, OpenKey* key) {
  Hive hive;
  if (PredefinedHive(hKey, &hive)) {
    *key = OpenKey{hive, {}, 0, KEY_ALL_ACCESS};
    return ERROR_SUCCESS;
  }
  auto object = LookupHandleAs<KeyObject>(hKey);
  if (!object) return ERROR_INVALID_HANDLE;
  *key = object->key;
  return ERROR_SUCCESS;
}

Key* FindOpenKey(const Key& root, const OpenKey& open, LONG* error) {
  Key* key = WalkPath(root, open.path);
  if (!key || (!open.path.empty() && key->id != open.id)) {
    *error = ERROR_KEY_DELETED;
    return nullptr;
  }
  return key;
}

HKEY NewKeyHandle(OpenKey key) { return static_cast<HKEY>(InsertHandle(std::make_shared<KeyObject>(std::move(key)))); }

bool CloseKeyHandle(HKEY hKey) { return LookupHandleAs<KeyObject>(hKey) && RemoveHandle(hKey); }

LONG ReadOpenKey(HKEY hKey, REGSAM access, const std::function<LONG(const Key& key)>& read) {
  OpenKey open;
  if (LONG rc = ResolveKey(hKey, &open)) return rc;
  if (!(open.access & access)) return ERROR_ACCESS_DENIED;
  return ReadHive(open.hive, [&](const Key& root) -> LONG {
    LONG error;
    const Key* key = FindOpenKey(root, open, &error);
    return key ? read(*key) : error;
  });
}

}  // namespace k460::registry
