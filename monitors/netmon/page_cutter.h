// The first stage of a printer job: the page stream reader's consumer. For
// each printer page it works out what the device is told (the turned size,
// MMR coding), hands the rows to the encoding stage in blocks of about 1 MiB
// as they arrive (a page to be turned first collects its raster in a "Rot"
// file and is read back turned when complete), and hands the finished page
// to the sending stage.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "monitors/common/encoder_library.h"
#include "monitors/common/page_stream_reader.h"
#include "monitors/netmon/job_files.h"
#include "monitors/netmon/page_pipeline.h"

namespace netmon {

class PageCutter final : public k460::pagestream::PageConsumer {
 public:
  // `library` turns pages; `tracing` keeps a viewable "Bmt" bitmap of every
  // page.
  PageCutter(PageEncoder& encoder, PageSender& sender, const k460::encoder::EncoderLibrary& library, bool tracing);
  ~PageCutter() override;

  k460::pagestream::RasterDelivery OnPageStart(const k460::pagestream::PageRecord& page) override;
  bool OnRaster(const k460::pagestream::PageRecord& page, std::span<const std::uint8_t> raster) override;
  bool OnPageEnd(const k460::pagestream::PageRecord& page) override;
  void OnPageDropped(const k460::pagestream::PageRecord& page) override;

  // Why the last page was refused or failed (a Windows error code), and
  // whether it was the page sender that failed.
  DWORD error() const { return error_; }
  bool sendFailed() const { return sendFailed_; }

 private:
  bool Fail(DWORD error);
  bool EncodeArrivedRows(std::span<const std::uint8_t> rows);
  bool EncodeTurnedPage();
  void StartTrace(const k460::pagestream::PageRecord& page);
  void EndPageFiles();

  PageEncoder& encoder_;
  PageSender& sender_;
  const k460::encoder::EncoderLibrary& library_;
  const bool tracing_;

  // The page in hand.
  k460::pagestream::PageHeader header_{};  // as the device is told
  std::int16_t bmpRotate_ = 0;
  std::uint32_t arrivedRowBytes_ = 0;  // row pitch of the raster as it arrives
  std::uint32_t rowBytes_ = 0;         // `WidthBytes`: 16-bit rows of the (turned) page
  std::uint32_t blockBytes_ = 0;       // of the (turned) page
  std::vector<std::uint8_t> rows_;     // rows repacked or turned for the encoder
  TempFile turn_;                      // "Rot": the raster of a page to be turned
  TempFile bitmap_;                    // "Bmt": the trace's copy of the page
  DWORD error_ = ERROR_SUCCESS;
  bool sendFailed_ = false;
};

}  // namespace netmon
