#include "platform/engine/objects.h"

#include <map>

namespace k460::engine {
namespace {

struct ObjectTable {
  std::mutex mutex;
  std::map<ULONG_PTR, std::shared_ptr<EngineObject>> objects;
  ULONG_PTR next = 0x4000;
};

ObjectTable& Table() {
  static ObjectTable table;
  return table;
}

}  // namespace

void* InsertObject(std::shared_ptr<EngineObject> object) {
  auto& t = Table();
  std::lock_guard lock(t.mutex);
  ULONG_PTR value = t.next;
  t.next += 4;
  t.objects.emplace(value, std::move(object));
  return reinterpret_cast<void*>(value);
}

std::shared_ptr<EngineObject> LookupObject(const void* handle) {
  auto& t = Table();
  std::lock_guard lock(t.mutex);
  auto it = t.objects.find(reinterpret_cast<ULONG_PTR>(handle));
  return it == t.objects.end() ? nullptr : it->second;
}

bool RemoveObject(const void* handle) {
  std::shared_ptr<EngineObject> doomed;  // destroyed outside the lock
  auto& t = Table();
  std::lock_guard lock(t.mutex);
  auto it = t.objects.find(reinterpret_cast<ULONG_PTR>(handle));
  if (it == t.objects.end()) return false;
  doomed = std::move(it->second);
  t.objects.erase(it);
  return true;
}

}  // namespace k460::engine
