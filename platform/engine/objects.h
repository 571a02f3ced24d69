// The engine's object tables: handles of surfaces, palettes and devices,
// and the registry that maps the objects handed to drivers (SURFOBJ,
// CLIPOBJ, XLATEOBJ, BRUSHOBJ) back to the engine's own records, so that a
// pointer the engine never made is recognised instead of being trusted.
#pragma once

#include <memory>
#include <mutex>
#include <unordered_map>

#include "platform/base/base.h"

namespace k460::engine {

class EngineObject {
 public:
  virtual ~EngineObject() = default;
};

// Handle values are never reused, so a stale handle is refused.
void* InsertObject(std::shared_ptr<EngineObject> object);
std::shared_ptr<EngineObject> LookupObject(const void* handle);
template <class T>
std::shared_ptr<T> LookupObjectAs(const void* handle) {
  return std::dynamic_pointer_cast<T>(LookupObject(handle));
}
bool RemoveObject(const void* handle);

// Public object address → the engine record that owns it.
template <class Record>
class Registry {
 public:
  void Add(const void* address, Record* record) {
    std::lock_guard lock(mutex_);
    map_[address] = record;
  }
  void Remove(const void* address) {
    std::lock_guard lock(mutex_);
    map_.erase(address);
  }
  Record* Find(const void* address) {
    if (!address) return nullptr;
    std::lock_guard lock(mutex_);
    auto it = map_.find(address);
    return it == map_.end() ? nullptr : it->second;
  }

 private:
  std::mutex mutex_;
  std::unordered_map<const void*, Record*> map_;
};

// Sets the last error and answers `result`: the one-line failure of a service.
template <class T>
T Fail(DWORD error, T result) {
  SetLastError(error);
  return result;
}

}  // namespace k460::engine
