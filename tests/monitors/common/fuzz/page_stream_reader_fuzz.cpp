// Feeds the page stream reader arbitrary streams in arbitrary pieces. The
// input chooses the record form, how the raster is wanted, optionally a few
// well-formed records (so that the fuzzer reaches the raster paths at once),
// then raw bytes. Each stream is read twice, once whole and once in random
// pieces: what the consumer sees must not depend on the pieces, and must
// keep the reader's promises (whole-row blocks, every raster byte once, an end
// or a drop for every started page).
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "monitors/common/page_codes.h"
#include "monitors/common/page_description.h"
#include "monitors/common/page_stream_reader.h"
#include "monitors/common/raster_geometry.h"

namespace {

using namespace k460::pagestream;

void Require(bool condition) {
  if (!condition) std::abort();
}

// What the consumer saw, apart from the sizes of raster pieces.
struct Transcript {
  std::vector<std::string> events;
  std::vector<std::uint8_t> raster;
  std::vector<std::uint32_t> blocks;

  bool operator==(const Transcript&) const = default;
};

class CheckingConsumer : public PageConsumer {
 public:
  CheckingConsumer(int mode, std::uint32_t blockBytes) : mode_(mode), blockBytes_(blockBytes) {}

  RasterDelivery OnPageStart(const PageRecord& page) override {
    Require(!inPage_);
    Require(page.rowBytes > 0 && std::uint64_t{page.rowBytes} * static_cast<std::uint32_t>(page.header.Height) ==
                                     page.rasterBytes);
    inPage_ = true;
    received_ = 0;
    log.events.push_back("start " + DescribePage(page));
    switch (mode_) {
      case 0: return RasterDelivery::Pieces();
      case 1: expectedBlock_ = std::min(std::max(blockBytes_ / page.rowBytes, 1u) * page.rowBytes, page.rasterBytes);
              return RasterDelivery::Blocks(blockBytes_);
      default: expectedBlock_ = page.rasterBytes; return RasterDelivery::WholePage(page);
    }
  }
  bool OnRaster(const PageRecord& page, std::span<const std::uint8_t> raster) override {
    Require(inPage_ && !raster.empty() && received_ + raster.size() <= page.rasterBytes);
    if (mode_ != 0) {
      // Blocks are all of one size but the page's last, which may be shorter.
      const bool last = received_ + raster.size() == page.rasterBytes;
      Require(last ? raster.size() <= expectedBlock_ : raster.size() == expectedBlock_);
      Require(raster.size() % page.rowBytes == 0);
      log.blocks.push_back(static_cast<std::uint32_t>(raster.size()));
      CountBlackPixels(raster, page.header.Width, page.rowBytes);
    }
    received_ += raster.size();
    log.raster.insert(log.raster.end(), raster.begin(), raster.end());
    return true;
  }
  bool OnPageEnd(const PageRecord& page) override {
    Require(inPage_ && received_ == page.rasterBytes);
    inPage_ = false;
    log.events.push_back("end " + std::to_string(page.number));
    return true;
  }
  void OnPageDropped(const PageRecord& page) override {
    Require(inPage_ && received_ < page.rasterBytes);
    inPage_ = false;
    log.events.push_back("dropped " + std::to_string(page.number));
  }

  Transcript log;

 private:
  int mode_;
  std::uint32_t blockBytes_;
  std::uint32_t expectedBlock_ = 0;
  bool inPage_ = false;
  std::uint64_t received_ = 0;
};

// A well-formed record whose fields the input chooses.
void AppendRecord(FuzzedDataProvider& in, RecordForm form, std::vector<std::uint8_t>& stream) {
  static const std::int32_t kDevIds[] = {PI_DEVID_FAX, PI_DEVID_TIF, PI_DEVID_FAX2, 205};
  PageInfo info{};
  PageHeader header{};
  info.DevId = kDevIds[in.ConsumeIntegralInRange<int>(0, 3)];
  info.BmpRotate = in.ConsumeIntegralInRange<std::int16_t>(0, 3);
  header.Width = in.ConsumeIntegralInRange<std::int16_t>(1, 300);
  header.Height = in.ConsumeIntegralInRange<std::int16_t>(1, 40);
  header.Resolution = 600;
  for (const CodeTable& table : CodeTables()) {
    header.*table.member = static_cast<std::int16_t>(
        in.ConsumeIntegralInRange<std::size_t>(0, table.keywords.size() - 1));
  }
  const std::uint32_t rowBytes = in.ConsumeBool() ? RowBytes16(header.Width) : RowBytes32(header.Width);
  const std::uint32_t rasterBytes = rowBytes * static_cast<std::uint32_t>(header.Height);
  header.Length = rasterBytes + kBitmapHeaderBlockSize;

  std::vector<std::uint8_t> record(RecordHeaderSize(form));
  auto bytes = std::span(record);
  StorePageInfo(info, bytes.first<kPageInfoSize>());
  StorePageHeader(header, bytes.subspan(kPageInfoSize, PageHeaderSize(form)));
  StoreBitmapHeaderBlock(MakeBitmapHeaderBlock(header.Width, header.Height, rasterBytes),
                         bytes.subspan(HeaderBlockSize(form)).first<kBitmapHeaderBlockSize>());
  std::vector<std::uint8_t> raster = in.ConsumeBytes<std::uint8_t>(rasterBytes);
  raster.resize(rasterBytes, 0xFF);
  record.insert(record.end(), raster.begin(), raster.end());
  stream.insert(stream.end(), record.begin(), record.end());
}

// Reads `stream` in pieces from `nextPiece` (each at least 1 byte), offering
// again what a call left, as the spooler does.
template <class NextPiece>
Transcript Read(std::span<const std::uint8_t> stream, RecordForm form, int mode, std::uint32_t blockBytes,
                NextPiece nextPiece) {
  PageStreamReader reader(form);
  CheckingConsumer consumer(mode, blockBytes);
  std::size_t at = 0;
  std::size_t pending = 0;
  while (at < stream.size()) {
    if (pending == 0) pending = std::min(nextPiece(), stream.size() - at);
    // A copy of exactly the offered bytes, so that ASan sees any read past them.
    const std::vector<std::uint8_t> piece(stream.begin() + static_cast<std::ptrdiff_t>(at),
                                          stream.begin() + static_cast<std::ptrdiff_t>(at + pending));
    const FeedResult result = reader.Feed(piece, consumer);
    Require(result.consumed <= pending);
    at += result.consumed;
    pending -= result.consumed;
    if (result.status == FeedStatus::kFailed) {
      Require(reader.failed());
      Require(reader.Feed(piece, consumer).consumed == 0);
      const PageStreamFailure& failure = reader.failure();
      consumer.log.events.push_back("failed " + DescribeFailure(failure));
      break;
    }
    Require(result.consumed > 0);
    Require(result.status == FeedStatus::kPageEnded || pending == 0);
  }
  const EndOfStream end = reader.Finish(consumer);
  consumer.log.events.push_back("finish " + std::to_string(end.pages) + " " + std::to_string(end.partialHeaderBytes) +
                                " " + std::to_string(end.partialRasterBytes) + " " + std::to_string(end.pageDropped));
  return consumer.log;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const RecordForm form = in.ConsumeBool() ? RecordForm::kShort : RecordForm::kFull;
  const int mode = in.ConsumeIntegralInRange<int>(0, 2);
  const std::uint32_t blockBytes = in.ConsumeIntegralInRange<std::uint32_t>(1, 4096);
  std::uint32_t pieceState = in.ConsumeIntegral<std::uint32_t>();
  const std::size_t maxPiece = in.ConsumeIntegralInRange<std::size_t>(1, 1024);

  std::vector<std::uint8_t> stream;
  const int records = in.ConsumeIntegralInRange<int>(0, 3);
  for (int i = 0; i < records; ++i) AppendRecord(in, form, stream);
  const std::vector<std::uint8_t> tail = in.ConsumeRemainingBytes<std::uint8_t>();
  stream.insert(stream.end(), tail.begin(), tail.end());

  const Transcript whole = Read(stream, form, mode, blockBytes, [&] { return stream.size(); });
  const Transcript pieces = Read(stream, form, mode, blockBytes, [&] {
    pieceState = pieceState * 1664525u + 1013904223u;
    return 1 + (pieceState >> 8) % maxPiece;
  });
  Require(whole == pieces);
  return 0;
}
