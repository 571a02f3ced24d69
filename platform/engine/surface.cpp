#include "platform/engine/surface.h"

#include <cstring>
#include <new>
#include <map>
#include <mutex>

#include "platform/base/internal.h"
#include "platform/engine/device.h"
#include "platform/engine/engine.h"

namespace k460::engine {
namespace {

std::mutex gSurfacesMutex;
// Never destroyed: surfaces still held by the handle table when the
// process exits unregister themselves after function statics are gone.
std::map<const SURFOBJ*, std::weak_ptr<Surface>>& Surfaces() {
  static auto* surfaces = new std::map<const SURFOBJ*, std::weak_ptr<Surface>>;
  return *surfaces;
}

ULONG NextUniq() {
  static std::atomic<ULONG> next{1};
  return next++;
}

std::shared_ptr<Surface> Register(std::shared_ptr<Surface> surface) {
  surface->so.hsurf = static_cast<HSURF>(InsertObject(surface));
  std::lock_guard lock(gSurfacesMutex);
  Surfaces()[&surface->so] = surface;
  return surface;
}

// Locked surface objects keep their record alive until unlocked.
std::mutex gLocksMutex;
std::multimap<const SURFOBJ*, std::shared_ptr<Surface>>& Locks() {
  static std::multimap<const SURFOBJ*, std::shared_ptr<Surface>> locks;
  return locks;
}

}  // namespace

Surface::Surface() { so.iUniq = NextUniq(); }

Surface::~Surface() {
  std::lock_guard lock(gSurfacesMutex);
  Surfaces().erase(&so);
}

PaletteData Surface::EffectivePalette() const { return palette ? *palette : PaletteData::DefaultFor(so.iBitmapFormat); }

int BitsPerPixel(ULONG format) {
  switch (format) {
    case BMF_1BPP: return 1;
    case BMF_4BPP: return 4;
    case BMF_8BPP: return 8;
    case BMF_16BPP: return 16;
    case BMF_24BPP: return 24;
    case BMF_32BPP: return 32;
    default: return 0;
  }
}

LONG AlignedRowBytes(ULONG format, LONG width) {
  return static_cast<LONG>(((static_cast<LONGLONG>(width) * BitsPerPixel(format) + 31) / 32) * 4);
}

std::shared_ptr<Surface> CreateBitmapSurface(SIZEL size, ULONG format, bool zero) {
  auto surface = std::make_shared<Surface>();
  LONG stride = AlignedRowBytes(format, size.cx);
  size_t bytes = static_cast<size_t>(stride) * static_cast<size_t>(size.cy);
  surface->ownBits.reset(zero ? new (std::nothrow) BYTE[bytes ? bytes : 1]()
                              : new (std::nothrow) BYTE[bytes ? bytes : 1]);
  if (!surface->ownBits) return Fail(ERROR_NOT_ENOUGH_MEMORY, nullptr);
  SURFOBJ& so = surface->so;
  so.sizlBitmap = size;
  so.cjBits = static_cast<ULONG>(bytes);
  so.pvBits = surface->ownBits.get();
  so.pvScan0 = so.pvBits;
  so.lDelta = stride;
  so.iBitmapFormat = format;
  so.iType = STYPE_BITMAP;
  so.fjBitmap = BMF_TOPDOWN;
  return Register(std::move(surface));
}

void ForgetSurface(Surface& surface) {
  if (surface.so.hsurf) RemoveObject(surface.so.hsurf);
}

std::shared_ptr<Surface> FindSurface(const SURFOBJ* so) {
  if (!so) return nullptr;
  std::lock_guard lock(gSurfacesMutex);
  auto it = Surfaces().find(so);
  return it == Surfaces().end() ? nullptr : it->second.lock();
}

}  // namespace k460::engine

using namespace k460::engine;

namespace {

bool ValidSize(SIZEL sizl) {
  // Up to 2^31 bytes of 32-bit pixels; anything larger is surely a mistake.
  return sizl.cx > 0 && sizl.cy > 0 && static_cast<LONGLONG>(sizl.cx) * sizl.cy <= (1LL << 29);
}

}  // namespace

K460_API HSURF EngCreateDeviceSurface(DHSURF dhsurf, SIZEL sizl, ULONG iFormatCompat) {
  if (k460::CallFailsSetError("EngCreateDeviceSurface")) return nullptr;
  if (!ValidSize(sizl) || BitsPerPixel(iFormatCompat) == 0) return Fail(ERROR_INVALID_PARAMETER, HSURF{});
  auto surface = std::make_shared<Surface>();
  surface->so.dhsurf = dhsurf;
  surface->so.sizlBitmap = sizl;
  surface->so.iBitmapFormat = iFormatCompat;
  surface->so.iType = STYPE_DEVICE;
  HSURF handle = static_cast<HSURF>(InsertObject(surface));
  surface->so.hsurf = handle;
  std::lock_guard lock(gSurfacesMutex);
  Surfaces()[&surface->so] = surface;
  return handle;
}

K460_API HBITMAP EngCreateBitmap(SIZEL sizl, LONG lWidth, ULONG iFormat, FLONG fl, PVOID pvBits) {
  if (k460::CallFailsSetError("EngCreateBitmap")) return nullptr;
  if (!ValidSize(sizl) || BitsPerPixel(iFormat) == 0 || lWidth < 0) return Fail(ERROR_INVALID_PARAMETER, HBITMAP{});
  LONG minimum = static_cast<LONG>((static_cast<LONGLONG>(sizl.cx) * BitsPerPixel(iFormat) + 7) / 8);
  if (lWidth != 0 && lWidth < minimum) return Fail(ERROR_INVALID_PARAMETER, HBITMAP{});
  LONG stride = lWidth ? lWidth : AlignedRowBytes(iFormat, sizl.cx);
  size_t bytes = static_cast<size_t>(stride) * static_cast<size_t>(sizl.cy);
  auto surface = std::make_shared<Surface>();
  BYTE* bits = static_cast<BYTE*>(pvBits);
  if (!bits) {
    surface->ownBits.reset((fl & BMF_NOZEROINIT) ? new (std::nothrow) BYTE[bytes] : new (std::nothrow) BYTE[bytes]());
    if (!surface->ownBits) return Fail(ERROR_NOT_ENOUGH_MEMORY, HBITMAP{});
    bits = surface->ownBits.get();
  }
  SURFOBJ& so = surface->so;
  so.sizlBitmap = sizl;
  so.cjBits = static_cast<ULONG>(bytes);
  so.pvBits = bits;
  bool topDown = fl & BMF_TOPDOWN;
  so.pvScan0 = topDown ? bits : bits + static_cast<size_t>(stride) * (sizl.cy - 1);
  so.lDelta = topDown ? stride : -stride;
  so.iBitmapFormat = iFormat;
  so.iType = STYPE_BITMAP;
  so.fjBitmap = static_cast<USHORT>((topDown ? BMF_TOPDOWN : 0) | (pvBits ? BMF_USERMEM : 0));
  HSURF handle = static_cast<HSURF>(InsertObject(surface));
  so.hsurf = handle;
  std::lock_guard lock(gSurfacesMutex);
  Surfaces()[&so] = surface;
  return reinterpret_cast<HBITMAP>(handle);
}

K460_API BOOL EngAssociateSurface(HSURF hsurf, HDEV hdev, FLONG flHooks) {
  if (k460::CallFailsSetError("EngAssociateSurface")) return FALSE;
  auto surface = LookupObjectAs<Surface>(hsurf);
  if (!surface) return Fail(ERROR_INVALID_HANDLE, FALSE);
  auto device = LookupObjectAs<Device>(hdev);
  if (!device) return Fail(ERROR_INVALID_HANDLE, FALSE);
  surface->so.hdev = hdev;
  surface->so.dhpdev = device->dhpdev;
  surface->hooks = flHooks & HOOK_FLAGS;
  surface->device = device;
  surface->palette = device->palette;
  return TRUE;
}

K460_API BOOL EngMarkBandingSurface(HSURF hsurf) {
  auto surface = LookupObjectAs<Surface>(hsurf);
  if (!surface) return Fail(ERROR_INVALID_HANDLE, FALSE);
  surface->banding = true;
  return TRUE;
}

K460_API BOOL EngDeleteSurface(HSURF hsurf) {
  if (!LookupObjectAs<Surface>(hsurf)) return Fail(ERROR_INVALID_HANDLE, FALSE);
  RemoveObject(hsurf);
  return TRUE;
}

K460_API SURFOBJ* EngLockSurface(HSURF hsurf) {
  auto surface = LookupObjectAs<Surface>(hsurf);
  if (!surface) return Fail(ERROR_INVALID_HANDLE, static_cast<SURFOBJ*>(nullptr));
  SURFOBJ* so = &surface->so;
  std::lock_guard lock(gLocksMutex);
  Locks().emplace(so, std::move(surface));
  return so;
}

K460_API void EngUnlockSurface(SURFOBJ* pso) {
  std::shared_ptr<Surface> released;  // destroyed outside the lock
  std::lock_guard lock(gLocksMutex);
  auto it = Locks().find(pso);
  if (it == Locks().end()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return;
  }
  released = std::move(it->second);
  Locks().erase(it);
}
