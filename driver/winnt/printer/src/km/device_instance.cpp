#include "driver/winnt/printer/src/km/device_instance.h"

#include <mutex>
#include <set>

namespace k460::hbgraph {

namespace {

// Drawing calls come without the process-wide lock, so the set has its own.
std::mutex& RegistryMutex() {
  static std::mutex mutex;
  return mutex;
}

std::set<const HbDevice*>& LiveDevices() {
  static std::set<const HbDevice*> devices;
  return devices;
}

bool IsLive(const HbDevice* device) {
  std::lock_guard lock(RegistryMutex());
  return LiveDevices().contains(device);
}

HbDevice* Refuse() {
  SetLastError(ERROR_INVALID_PARAMETER);
  return nullptr;
}

}  // namespace

PlacementInputs HbDevice::Placement() const {
  PlacementInputs p;
  p.pagesPerSheet = job.pagesPerSheet;
  p.order = job.placementOrder;
  p.grid = geometry.grid;
  p.fit = job.fit;
  p.scale = geometry.EffectiveScale();
  p.pagePrintable = geometry.pagePrintable;
  p.margin = geometry.margin;
  p.surface = geometry.surface;
  return p;
}

PageView HbDevice::CurrentPageView() const { return LogicalPageView(static_cast<std::int32_t>(logicalPages), Placement()); }

DHPDEV RegisterDevice(std::unique_ptr<HbDevice> device) {
  HbDevice* raw = device.release();
  std::lock_guard lock(RegistryMutex());
  LiveDevices().insert(raw);
  return reinterpret_cast<DHPDEV>(raw);
}

void DestroyDevice(HbDevice* device) {
  {
    std::lock_guard lock(RegistryMutex());
    if (LiveDevices().erase(device) == 0) return;
  }
  // The tags go first, so a stale handle that slips through fails their check.
  device->tagSlot = device->tagHead = device->tagTail = device->tagEnd = Tag{};
  delete device;
}

HbDevice* DrawingDevice(DHPDEV dhpdev) {
  auto* device = reinterpret_cast<HbDevice*>(dhpdev);
  if (!device || !IsLive(device)) return Refuse();
  if (device->tagSlot != kTagSlot || device->size != sizeof(HbDevice) || device->tagEnd != kTagSdev) return Refuse();
  return device;
}

HbDevice* FrameDevice(DHPDEV dhpdev) {
  auto* device = reinterpret_cast<HbDevice*>(dhpdev);
  if (!device || !IsLive(device)) return Refuse();
  if (device->tagHead != kTagPhct || device->tagTail != kTagPhct) return Refuse();
  return device;
}

HbDevice* DeviceOfSurface(const SURFOBJ* pso) {
  if (!pso) return Refuse();
  return DrawingDevice(pso->dhpdev);
}

}  // namespace k460::hbgraph
