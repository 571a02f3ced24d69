// Cuts the page stream of one job into pages, whatever the sizes of the
// pieces it arrives in: a record header may come one byte at a time, and one
// piece may hold the end of one page and the start of the next.
//
// For each page the reader assembles and checks the record header, hands it
// to a consumer, passes the raster on as it arrives (or in blocks of whole
// rows, or as one whole page, as the consumer asks) and tells the consumer
// when the page is complete. It holds at most one block of raster, so it never
// keeps more than the current page unless the consumer asks for whole pages.
//
// Job-level fields and `DevId` come from the first page: on every later page
// the reader replaces them, in the bytes and in the decoded header, by the
// first page's values, so a job cannot change them between pages.
//
// Anything malformed ends the stream with a PageStreamFailure; the reader
// then consumes nothing more until Reset or Finish.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "monitors/common/page_records.h"
#include "monitors/common/page_stream_error.h"

namespace k460::pagestream {

// One page as the reader hands it out, its header checked.
struct PageRecord {
  RecordForm form = RecordForm::kFull;
  std::uint32_t number = 0;  // 1 for the job's first page
  PageKind kind = PageKind::kUnknown;
  PageInfo info{};
  PageHeader header{};  // a short record loads the fax fields as zero
  BitmapHeaderBlock bitmap{};
  std::uint32_t rasterBytes = 0;  // `Length` - 62
  std::uint32_t rowBytes = 0;     // bytes per raster row as the rows arrive
  // The record header as the reader uses it (job-level fields from page 1).
  std::array<std::uint8_t, kFullRecordHeaderSize> bytes{};

  std::span<const std::uint8_t> RecordHeaderBytes() const { return std::span(bytes).first(RecordHeaderSize(form)); }
  std::span<const std::uint8_t> PageHeaderBytes() const {
    return std::span(bytes).subspan(kPageInfoSize, PageHeaderSize(form));
  }
  std::span<const std::uint8_t, kBitmapHeaderBlockSize> BitmapHeaderBytes() const {
    return std::span(bytes).subspan(HeaderBlockSize(form)).first<kBitmapHeaderBlockSize>();
  }
};

// How the consumer wants a page's raster.
struct RasterDelivery {
  bool accept = true;
  // 0: every piece as it arrives (any size, not aligned to rows). Otherwise
  // blocks of this many bytes, cut down to whole rows (at least one) and to
  // the page; the last block of a page may be shorter.
  std::uint32_t blockBytes = 0;

  static RasterDelivery Pieces() { return {}; }
  static RasterDelivery Blocks(std::uint32_t bytes) { return {true, bytes}; }
  static RasterDelivery WholePage(const PageRecord& page) { return {true, page.rasterBytes}; }
  static RasterDelivery Refuse() { return {false, 0}; }
};

// What a monitor does with the pages. The callbacks must not throw.
class PageConsumer {
 public:
  virtual ~PageConsumer() = default;
  // The header of `page` is complete and checked; the raster follows.
  virtual RasterDelivery OnPageStart(const PageRecord& page) = 0;
  // Raster bytes in stream order. False fails the stream.
  virtual bool OnRaster(const PageRecord& page, std::span<const std::uint8_t> raster) = 0;
  // The last raster byte of `page` has been handed over. False fails the stream.
  virtual bool OnPageEnd(const PageRecord& page) = 0;
  // A started page that gets no OnPageEnd: the stream ended or failed in its
  // raster. The consumer drops what it made for the page.
  virtual void OnPageDropped(const PageRecord& page) { (void)page; }
};

enum class FeedStatus {
  kNeedMore,   // everything offered was consumed
  kPageEnded,  // a page ended; bytes after it were left for the next call
  kFailed,     // see failure()
};

struct FeedResult {
  std::size_t consumed = 0;
  FeedStatus status = FeedStatus::kNeedMore;
};

// How the stream ended at Finish.
struct EndOfStream {
  std::uint32_t pages = 0;               // pages completed
  std::uint32_t partialHeaderBytes = 0;  // of a record header left incomplete
  std::uint32_t partialRasterBytes = 0;  // of a page left incomplete (raster received)
  bool pageDropped = false;              // a started page was left incomplete
  bool Clean() const { return partialHeaderBytes == 0 && !pageDropped; }
};

class PageStreamReader {
 public:
  explicit PageStreamReader(RecordForm form = RecordForm::kFull);

  // Consumes bytes of `data` and drives `consumer`. Stops right after a page
  // ends, so that the caller can act on the finished page before the next
  // record begins; the caller offers the rest again.
  FeedResult Feed(std::span<const std::uint8_t> data, PageConsumer& consumer);
  // The job ends: an incomplete page is dropped (OnPageDropped), an
  // incomplete header discarded. The reader is ready for a new job.
  EndOfStream Finish(PageConsumer& consumer);
  // Forgets the job without telling anyone.
  void Reset();

  RecordForm form() const { return form_; }
  bool failed() const { return failure_.error != PageStreamError::kNone; }
  const PageStreamFailure& failure() const { return failure_; }
  // Pages whose header was accepted (the monitors' TotalPages).
  std::uint32_t pagesStarted() const { return pagesStarted_; }
  std::uint32_t pagesCompleted() const { return pagesCompleted_; }
  bool pageStarted() const { return pageStarted_; }
  // The first page's record, once its header was accepted.
  const PageRecord* firstPage() const { return firstPage_ ? &*firstPage_ : nullptr; }
  // Bytes consumed since the job began.
  std::uint64_t offset() const { return offset_; }

 private:
  bool StartPage(PageConsumer& consumer);
  bool DeliverRaster(std::span<const std::uint8_t> data, PageConsumer& consumer);
  bool AppendToBlock(std::span<const std::uint8_t> data, std::uint32_t target);
  void Fail(PageStreamError error, std::string_view field, PageConsumer& consumer);
  void ReleaseBlock();

  RecordForm form_;
  std::size_t headerSize_;
  std::array<std::uint8_t, kFullRecordHeaderSize> headerBytes_{};
  std::size_t headerFill_ = 0;
  std::optional<PageRecord> firstPage_;
  PageRecord page_{};
  bool pageStarted_ = false;
  std::uint32_t rasterDue_ = 0;   // raster bytes of the page not yet received
  std::uint32_t blockBytes_ = 0;  // 0: pieces
  std::vector<std::uint8_t> block_;
  std::uint32_t pagesStarted_ = 0;
  std::uint32_t pagesCompleted_ = 0;
  std::uint64_t offset_ = 0;
  std::uint64_t recordOffset_ = 0;
  PageStreamFailure failure_;
};

}  // namespace k460::pagestream
