// Names of events, mutexes and semaphores, shared by the whole process. A
// name lives as long as some handle keeps its object alive.
#include <map>
#include <string>

#include "platform/sync/waitable.h"

namespace k460 {
namespace {

std::map<std::u16string, std::weak_ptr<Waitable>, std::less<>>& Names() {
  static auto* names = new std::map<std::u16string, std::weak_ptr<Waitable>, std::less<>>();
  return *names;
}

}  // namespace

std::mutex& NamedObjectLock() {
  static auto* lock = new std::mutex();
  return *lock;
}

std::shared_ptr<Waitable> FindNamedObject(std::u16string_view name) {
  auto& names = Names();
  auto it = names.find(name);
  if (it == names.end()) return nullptr;
  auto object = it->second.lock();
  if (!object) names.erase(it);
  return object;
}

void AddNamedObject(std::u16string_view name, const std::shared_ptr<Waitable>& object) {
  auto& names = Names();
  // Drop names whose objects are gone, so the table does not grow without end.
  for (auto it = names.begin(); it != names.end();) it = it->second.expired() ? names.erase(it) : std::next(it);
  names[std::u16string(name)] = object;
}

}  // namespace k460
