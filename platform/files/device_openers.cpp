// Openers of the device names below "\\.\", registered by their facilities.
#include <mutex>
#include <utility>
#include <vector>

#include "platform/base/text.h"
#include "platform/files/io_object.h"

namespace k460 {
namespace {

std::mutex gMutex;

std::vector<std::pair<std::u16string, DeviceOpener>>& Openers() {
  static auto* openers = new std::vector<std::pair<std::u16string, DeviceOpener>>();
  return *openers;
}

}  // namespace

void RegisterDeviceOpener(std::u16string prefix, DeviceOpener opener) {
  std::lock_guard lock(gMutex);
  for (auto& [known, existing] : Openers())
    if (EqualsNoCase(known, prefix)) {
      existing = std::move(opener);
      return;
    }
  Openers().emplace_back(std::move(prefix), std::move(opener));
}

DeviceOpener FindDeviceOpener(std::u16string_view name) {
  std::lock_guard lock(gMutex);
  for (const auto& [prefix, opener] : Openers())
    if (name.size() >= prefix.size() && EqualsNoCase(name.substr(0, prefix.size()), prefix)) return opener;
  return {};
}

}  // namespace k460
