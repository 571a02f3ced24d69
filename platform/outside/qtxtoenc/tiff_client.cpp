#include "platform/outside/qtxtoenc/tiff_client.h"

#include <algorithm>
#include <cstdio>

#include "platform/base/base.h"

namespace qtxtoenc {

namespace {

constexpr toff_t kBadOffset = static_cast<toff_t>(-1);
constexpr std::uint64_t kMaxOffset = 0x7FFFFFFF;  // the seek callback's reach

TiffClient* Client(thandle_t handle) { return static_cast<TiffClient*>(handle); }

tmsize_t Read(thandle_t h, void* buffer, tmsize_t size) { return Client(h)->ReadProc(buffer, size); }
tmsize_t Write(thandle_t h, void* buffer, tmsize_t size) { return Client(h)->WriteProc(buffer, size); }
toff_t Seek(thandle_t h, toff_t offset, int whence) { return Client(h)->SeekProc(offset, whence); }
toff_t Size(thandle_t h) { return Client(h)->SizeProc(); }
int Close(thandle_t) { return 0; }  // the caller owns its file
int Map(thandle_t, void**, toff_t*) { return 0; }
void Unmap(thandle_t, void*, toff_t) {}

// libtiff's complaints are answered through the result codes; they must not
// reach the spooler's standard error.
int Quiet(TIFF*, void*, const char*, const char*, va_list) { return 1; }

}  // namespace

TIFF* TiffClient::Open(const char* mode) {
  TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
  if (!options) return nullptr;
  TIFFOpenOptionsSetErrorHandlerExtR(options, Quiet, nullptr);
  TIFFOpenOptionsSetWarningHandlerExtR(options, Quiet, nullptr);
  TIFF* tiff = TIFFClientOpenExt("qtxtoenc", mode, this, Read, Write, Seek, Close, Size, Map, Unmap, options);
  TIFFOpenOptionsFree(options);
  return tiff;
}

tmsize_t TiffClient::ReadProc(void* buffer, tmsize_t size) {
  if (mode_ == Mode::StripOnly || size < 0 || static_cast<std::uint64_t>(size) > kMaxOffset) return 0;
  return file_.Read(buffer, static_cast<DWORD>(size));
}

tmsize_t TiffClient::WriteProc(const void* buffer, tmsize_t size) {
  if (discarding_) return size;
  if (size < 0 || static_cast<std::uint64_t>(size) > kMaxOffset) return -1;
  if (mode_ == Mode::StripOnly) return WriteStripOnly(buffer, size);
  return file_.Write(buffer, static_cast<DWORD>(size)) ? size : -1;
}

tmsize_t TiffClient::WriteStripOnly(const void* buffer, tmsize_t size) {
  if (inStrip_) {
    if (!stripStarted_) {
      stripStarted_ = true;
      stripStart_ = position_;
    }
    // The strip grows by appends only; anything else would be lost data.
    if (position_ != stripStart_ + passed_) {
      if (failure_ == 0) failure_ = ERROR_INVALID_DATA;
      return -1;
    }
    if (!file_.Write(buffer, static_cast<DWORD>(size))) return -1;
    passed_ += static_cast<std::uint64_t>(size);
  }
  position_ += static_cast<std::uint64_t>(size);
  size_ = std::max(size_, position_);
  return size;
}

toff_t TiffClient::SeekProc(toff_t offset, int whence) {
  if (mode_ == Mode::StripOnly) return SeekStripOnly(offset, whence);
  // Offsets from the current position or the end may be negative.
  auto distance = static_cast<std::int64_t>(offset);
  if (whence == SEEK_SET && offset > kMaxOffset) return kBadOffset;
  if (distance > static_cast<std::int64_t>(kMaxOffset) || distance < -static_cast<std::int64_t>(kMaxOffset))
    return kBadOffset;
  DWORD method = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? 1 : 2;
  DWORD position = 0;
  if (!file_.Seek(static_cast<LONG>(distance), method, &position)) return kBadOffset;
  return position;
}

toff_t TiffClient::SeekStripOnly(toff_t offset, int whence) {
  auto distance = static_cast<std::int64_t>(offset);
  std::int64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? static_cast<std::int64_t>(position_)
                                                                   : static_cast<std::int64_t>(size_);
  std::int64_t target = base + distance;
  if (target < 0 || target > static_cast<std::int64_t>(kMaxOffset)) return kBadOffset;
  position_ = static_cast<std::uint64_t>(target);
  return position_;
}

toff_t TiffClient::SizeProc() {
  if (mode_ == Mode::StripOnly) return size_;
  DWORD size = 0;
  return file_.Size(&size) ? size : 0;
}

}  // namespace qtxtoenc
