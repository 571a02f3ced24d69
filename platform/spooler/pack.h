// Filling the caller's buffer with a variable-size answer (printer, driver,
// job and port information): fixed records first, then the strings and
// records they point to. Measured first, so a short buffer gets
// ERROR_INSUFFICIENT_BUFFER and the size it needs.
#pragma once

#include <cstring>
#include <string_view>
#include <vector>

#include "platform/base/base.h"

namespace k460::spooler {

class Packer {
 public:
  Packer(BYTE* base, std::size_t fixedSize) : base_(base), offset_(fixedSize) {}

  // The i-th fixed record (a scratch record while measuring).
  template <class T>
  T* Fixed(std::size_t index) {
    static_assert(sizeof(T) <= sizeof(scratch_));
    return base_ ? reinterpret_cast<T*>(base_) + index : reinterpret_cast<T*>(scratch_);
  }

  LPWSTR String(std::u16string_view s) {
    auto* p = static_cast<WCHAR*>(Reserve((s.size() + 1) * sizeof(WCHAR), alignof(WCHAR)));
    if (p) {
      std::memcpy(p, s.data(), s.size() * sizeof(WCHAR));
      p[s.size()] = 0;
    }
    return p;
  }

  // Strings one after another, each NUL-terminated, and a final NUL.
  LPWSTR MultiString(const std::vector<std::u16string>& items) {
    std::u16string all;
    for (const auto& item : items) all += item + u'\0';
    all += u'\0';
    auto* p = static_cast<WCHAR*>(Reserve(all.size() * sizeof(WCHAR), alignof(WCHAR)));
    if (p) std::memcpy(p, all.data(), all.size() * sizeof(WCHAR));
    return p;
  }

  void* Bytes(const void* data, std::size_t size) {
    void* p = Reserve(size, 8);
    if (p && size) std::memcpy(p, data, size);
    return p;
  }

  std::size_t size() const { return offset_; }

 private:
  void* Reserve(std::size_t size, std::size_t align) {
    offset_ = (offset_ + align - 1) / align * align;
    std::size_t at = offset_;
    offset_ += size;
    return base_ ? base_ + at : nullptr;
  }

  BYTE* base_;
  std::size_t offset_;
  alignas(16) BYTE scratch_[256];
};

// Runs `fill(packer)` once to measure and, when the buffer holds the answer,
// once more to write it.
template <class Fill>
BOOL PackInfo(LPBYTE buffer, DWORD cbBuf, LPDWORD pcbNeeded, std::size_t fixedSize, Fill fill) {
  Packer measure(nullptr, fixedSize);
  fill(measure);
  const std::size_t needed = measure.size();
  if (pcbNeeded) *pcbNeeded = static_cast<DWORD>(needed);
  if (!buffer || cbBuf < needed) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  std::memset(buffer, 0, needed);
  Packer write(buffer, fixedSize);
  fill(write);
  return TRUE;
}

}  // namespace k460::spooler
