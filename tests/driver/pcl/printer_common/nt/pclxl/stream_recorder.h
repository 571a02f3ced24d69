// A stream whose flushes are recorded one by one, for tests of the writer.
#pragma once

#include <string>
#include <vector>

#include "driver/pcl/printer_common/nt/pclxl/xlstream.h"

namespace k460::testing {

class StreamRecorder {
 public:
  explicit StreamRecorder(DWORD capacity = XL_DRIVER_BUFFER_SIZE, bool storeMode = true)
      : stream_(HP_NewStream(capacity, &StreamRecorder::Flush, this)) {
    // Store mode keeps operators in the buffer until it is full or flushed.
    if (stream_) stream_->devParams.bReverse = storeMode;
  }
  ~StreamRecorder() {
    if (stream_) HP_CloseStream(stream_);
  }
  StreamRecorder(const StreamRecorder&) = delete;
  StreamRecorder& operator=(const StreamRecorder&) = delete;

  XlStream* stream() const { return stream_; }
  const std::vector<std::string>& flushes() const { return flushes_; }
  // Everything flushed so far plus what is still in the buffer.
  std::string Bytes() const {
    std::string all;
    for (const auto& f : flushes_) all += f;
    if (stream_) all.append(reinterpret_cast<const char*>(stream_->pBuffer), stream_->cbUsed);
    return all;
  }

 private:
  static void Flush(XlStream* stream, void* user, BYTE* buffer, DWORD used) {
    static_cast<StreamRecorder*>(user)->flushes_.emplace_back(reinterpret_cast<const char*>(buffer), used);
    stream->cbUsed = 0;
  }

  XlStream* stream_;
  std::vector<std::string> flushes_;
};

}  // namespace k460::testing
