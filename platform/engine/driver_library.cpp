#include "platform/engine/device.h"

#include <map>
#include <mutex>

#include "platform/base/internal.h"
#include "platform/engine/engine.h"

namespace k460::engine {
namespace {

// One enabled driver per loaded library.
std::mutex gDriversMutex;
std::map<HMODULE, std::weak_ptr<DriverLibrary>>& Drivers() {
  static std::map<HMODULE, std::weak_ptr<DriverLibrary>> drivers;
  return drivers;
}

constexpr ULONG kRequired[] = {INDEX_DrvEnablePDEV, INDEX_DrvCompletePDEV, INDEX_DrvDisablePDEV,
                               INDEX_DrvEnableSurface, INDEX_DrvDisableSurface};

}  // namespace

DriverLibrary::~DriverLibrary() {
  {
    std::lock_guard lock(gDriversMutex);
    auto it = Drivers().find(module);
    if (it != Drivers().end() && it->second.expired()) Drivers().erase(it);
  }
  if (auto disable = reinterpret_cast<PFN_DrvDisableDriver>(GetProcAddress(module, "DrvDisableDriver"))) disable();
  FreeLibrary(module);
}

std::shared_ptr<DriverLibrary> LoadDriver(std::u16string_view library, ULONG engineVersion) {
  std::u16string name(library);
  HMODULE module = LoadLibraryW(name.c_str());
  if (!module) return nullptr;
  std::lock_guard lock(gDriversMutex);
  if (auto it = Drivers().find(module); it != Drivers().end()) {
    if (auto loaded = it->second.lock()) {
      FreeLibrary(module);  // the enabled driver holds its own reference
      return loaded;
    }
  }
  auto enable = reinterpret_cast<PFN_DrvEnableDriver>(GetProcAddress(module, "DrvEnableDriver"));
  if (!enable) {
    FreeLibrary(module);
    return Fail(ERROR_PROC_NOT_FOUND, nullptr);
  }
  DRVENABLEDATA data{};
  if (!enable(engineVersion, sizeof(data), &data) || data.iDriverVersion < DDI_DRIVER_VERSION_NT4 ||
      (data.c && !data.pdrvfn)) {
    FreeLibrary(module);
    return Fail(ERROR_BAD_DRIVER_LEVEL, nullptr);
  }
  std::array<PFN, INDEX_LAST> functions{};
  for (ULONG i = 0; i < data.c; ++i) {
    if (data.pdrvfn[i].iFunc < INDEX_LAST) functions[data.pdrvfn[i].iFunc] = data.pdrvfn[i].pfn;
  }
  for (ULONG index : kRequired) {
    if (!functions[index]) {
      if (auto disable = reinterpret_cast<PFN_DrvDisableDriver>(GetProcAddress(module, "DrvDisableDriver"))) disable();
      FreeLibrary(module);
      return Fail(ERROR_BAD_DRIVER_LEVEL, nullptr);
    }
  }
  auto driver = std::shared_ptr<DriverLibrary>(new DriverLibrary);
  driver->module = module;
  driver->driverVersion = data.iDriverVersion;
  driver->functions = functions;
  Drivers()[module] = driver;
  return driver;
}

std::shared_ptr<Device> DeviceOfSurface(const SURFOBJ* so) {
  if (!so || !so->hdev) return nullptr;
  return LookupObjectAs<Device>(so->hdev);
}

}  // namespace k460::engine
