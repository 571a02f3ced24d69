// The live objects of one kind that a library hands out as handles. A
// handle is a number that is never reused, so a stale or invented handle is
// refused instead of touching another object; lookups keep the object alive
// while a call works with it, even if another thread deletes it meanwhile.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

#include "platform/base/types.h"

namespace k460::cmdlib {

template <class T>
class HandleRegistry {
 public:
  // Handles count from `base`, so that the kinds of a library differ.
  explicit HandleRegistry(std::uintptr_t base) : next_(base) {}

  HANDLE Insert(std::shared_ptr<T> object) {
    std::lock_guard lock(mutex_);
    next_ += 4;
    objects_[next_] = std::move(object);
    return reinterpret_cast<HANDLE>(next_);
  }
  std::shared_ptr<T> Find(HANDLE handle) {
    std::lock_guard lock(mutex_);
    auto found = objects_.find(reinterpret_cast<std::uintptr_t>(handle));
    return found == objects_.end() ? nullptr : found->second;
  }
  bool Remove(HANDLE handle) {
    std::lock_guard lock(mutex_);
    return objects_.erase(reinterpret_cast<std::uintptr_t>(handle)) != 0;
  }

 private:
  std::mutex mutex_;
  std::uintptr_t next_;
  std::map<std::uintptr_t, std::shared_ptr<T>> objects_;
};

}  // namespace k460::cmdlib
