// Key handles: the predefined keys and the handles that opening a key
// returns. A handle names its key by hive and path and remembers the key's
// identity, so that it notices when the key has been deleted (even by
// another process, and even when a new key of the same name took its place).
#pragma once

#include <functional>

#include <string>

#include "platform/registry/hive_store.h"
#include "platform/registry/registry.h"

namespace k460::registry {

struct OpenKey {
  Hive hive = Hive::LocalMachine;
  Path path;              // upper-cased components below the hive's root
  std::uint64_t id = 0;   // of the key when it was opened (unused for a root)
  REGSAM access = 0;
};

// A predefined key (all rights) or an open key handle; anything else is
// ERROR_INVALID_HANDLE.
LONG ResolveKey(HKEY hKey, OpenKey* key);

// The key that `open` stands for in `root`; null with ERROR_KEY_DELETED when
// it is gone.
Key* FindOpenKey(const Key& root, const OpenKey& open, LONG* error);

// Resolves `hKey`, checks that it was opened with `access`, and runs `read`
// on its key as the hive holds it now.
LONG ReadOpenKey(HKEY hKey, REGSAM access, const std::function<LONG(const Key& key)>& read);

HKEY NewKeyHandle(OpenKey key);
// Closes an open key handle; false when `hKey` is none.
bool CloseKeyHandle(HKEY hKey);

// The hive of a predefined key; false for other handles.
bool PredefinedHive(HKEY hKey, Hive* hive);

}  // namespace k460::registry
