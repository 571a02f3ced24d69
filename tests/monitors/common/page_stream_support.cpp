#include "tests/monitors/common/page_stream_support.h"

#include <algorithm>
#include <array>

#include <gtest/gtest.h>

#include "monitors/common/raster_geometry.h"

namespace k460::pagestream::testing {

TestPage MakePage(std::int32_t devId, std::int16_t width, std::int16_t height, std::uint32_t seed,
                  std::uint32_t rowBytes) {
  TestPage page;
  if (rowBytes == 0) rowBytes = RowBytes32(width);
  page.info.DevId = devId;
  page.info.iBmpHdr = {0, width, height, static_cast<std::int32_t>(rowBytes), 1, 1, 0};
  page.info.dmLogPixels = 600;
  const std::u16string_view name = u"Velkaro Ar+Vento2 K-410/460";
  std::copy(name.begin(), name.end(), page.info.DriverName);
  page.header.Resolution = 600;
  page.header.Width = width;
  page.header.Height = height;
  page.header.CopyNum = 1;
  page.raster.resize(std::size_t{rowBytes} * static_cast<std::size_t>(height), 0xFF);
  std::uint32_t state = seed * 2654435761u + 1;
  for (auto& byte : page.raster) {
    state = state * 1664525u + 1013904223u;
    if ((state >> 28) == 0) byte = static_cast<std::uint8_t>(state >> 16);
  }
  return page;
}

std::vector<std::uint8_t> EncodeRaw(const PageInfo& info, const PageHeader& header, const BitmapHeaderBlock& bitmap,
                                    std::span<const std::uint8_t> raster, RecordForm form) {
  std::vector<std::uint8_t> bytes(RecordHeaderSize(form));
  auto span = std::span(bytes);
  StorePageInfo(info, span.first<kPageInfoSize>());
  StorePageHeader(header, span.subspan(kPageInfoSize, PageHeaderSize(form)));
  StoreBitmapHeaderBlock(bitmap, span.subspan(HeaderBlockSize(form)).first<kBitmapHeaderBlockSize>());
  bytes.insert(bytes.end(), raster.begin(), raster.end());
  return bytes;
}

std::vector<std::uint8_t> EncodeRecord(const TestPage& page, RecordForm form) {
  PageHeader header = page.header;
  const auto rasterBytes = static_cast<std::uint32_t>(page.raster.size());
  header.Length = rasterBytes + kBitmapHeaderBlockSize;
  return EncodeRaw(page.info, header, MakeBitmapHeaderBlock(header.Width, header.Height, rasterBytes), page.raster,
                   form);
}

RasterDelivery RecordingConsumer::OnPageStart(const PageRecord& page) {
  if (page.number == refusePage) return RasterDelivery::Refuse();
  pages.push_back({page, {}, {}, false, false});
  return delivery(page);
}

bool RecordingConsumer::OnRaster(const PageRecord& page, std::span<const std::uint8_t> raster) {
  if (pages.empty() || pages.back().record.number != page.number) {
    ADD_FAILURE() << "raster outside a started page";
    return false;
  }
  if (rasterCalls++ == failRasterCall) return false;
  pages.back().raster.insert(pages.back().raster.end(), raster.begin(), raster.end());
  pages.back().pieces.push_back(raster.size());
  return true;
}

bool RecordingConsumer::OnPageEnd(const PageRecord& page) {
  if (pages.empty() || pages.back().record.number != page.number) {
    ADD_FAILURE() << "end of a page that was not started";
    return false;
  }
  pages.back().ended = true;
  return page.number != failPageEnd;
}

void RecordingConsumer::OnPageDropped(const PageRecord& page) {
  if (!pages.empty() && pages.back().record.number == page.number) pages.back().dropped = true;
}

std::size_t FeedInPieces(PageStreamReader& reader, std::span<const std::uint8_t> stream, PageConsumer& consumer,
                         const std::function<std::size_t()>& nextPiece) {
  std::size_t at = 0;
  std::size_t pending = 0;  // bytes of the current piece still to be offered
  while (at < stream.size()) {
    if (pending == 0) pending = std::min(std::max<std::size_t>(nextPiece(), 1), stream.size() - at);
    const FeedResult result = reader.Feed(stream.subspan(at, pending), consumer);
    at += result.consumed;
    pending -= result.consumed;
    if (result.status == FeedStatus::kFailed) break;
    if (result.consumed == 0) break;  // no progress: a reader fault, caught by the caller's checks
  }
  return at;
}

std::size_t FeedInPieces(PageStreamReader& reader, std::span<const std::uint8_t> stream, PageConsumer& consumer,
                         std::size_t pieceSize) {
  return FeedInPieces(reader, stream, consumer, [pieceSize] { return pieceSize; });
}

}  // namespace k460::pagestream::testing
