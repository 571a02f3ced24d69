// Helpers for tests of the page stream: valid pages to start from, their
// bytes, a consumer that records what the reader hands it and a feeder that
// cuts a stream into pieces.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "monitors/common/page_records.h"
#include "monitors/common/page_stream_reader.h"

namespace k460::pagestream::testing {

struct TestPage {
  PageInfo info{};
  PageHeader header{};
  std::vector<std::uint8_t> raster;
};

// A valid page of `width` x `height` pixels, rows padded to `rowBytes`
// (0: 32-bit rule), with a pattern of black pixels that depends on `seed`.
TestPage MakePage(std::int32_t devId, std::int16_t width, std::int16_t height, std::uint32_t seed = 1,
                  std::uint32_t rowBytes = 0);

// The record's bytes as a driver writes them, with `Length` and the bitmap
// header block filled in from the raster.
std::vector<std::uint8_t> EncodeRecord(const TestPage& page, RecordForm form = RecordForm::kFull);

// The bytes of one record with its header fields as they stand (no fixing up
// of `Length` or the bitmap header): for malformed records.
std::vector<std::uint8_t> EncodeRaw(const PageInfo& info, const PageHeader& header, const BitmapHeaderBlock& bitmap,
                                    std::span<const std::uint8_t> raster, RecordForm form = RecordForm::kFull);

struct ReceivedPage {
  PageRecord record;
  std::vector<std::uint8_t> raster;
  std::vector<std::size_t> pieces;  // sizes of the OnRaster calls
  bool ended = false;
  bool dropped = false;
};

class RecordingConsumer : public PageConsumer {
 public:
  // How every page's raster is wanted.
  std::function<RasterDelivery(const PageRecord&)> delivery = [](const PageRecord&) { return RasterDelivery::Pieces(); };
  std::uint32_t refusePage = 0;     // refuse the page with this number (0: none)
  int failRasterCall = -1;          // fail this OnRaster call (counted from 0 over the job)
  std::uint32_t failPageEnd = 0;    // fail OnPageEnd of this page number

  std::vector<ReceivedPage> pages;
  int rasterCalls = 0;

  RasterDelivery OnPageStart(const PageRecord& page) override;
  bool OnRaster(const PageRecord& page, std::span<const std::uint8_t> raster) override;
  bool OnPageEnd(const PageRecord& page) override;
  void OnPageDropped(const PageRecord& page) override;
};

// Feeds `stream` in pieces of the sizes `nextPiece` gives (each at least 1),
// offering again what a call left over, like the spooler does. Stops at the
// end of the stream or at the first failure; returns the bytes consumed.
std::size_t FeedInPieces(PageStreamReader& reader, std::span<const std::uint8_t> stream, PageConsumer& consumer,
                         const std::function<std::size_t()>& nextPiece);
std::size_t FeedInPieces(PageStreamReader& reader, std::span<const std::uint8_t> stream, PageConsumer& consumer,
                         std::size_t pieceSize);

}  // namespace k460::pagestream::testing
