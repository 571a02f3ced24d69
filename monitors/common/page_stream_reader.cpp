#include "monitors/common/page_stream_reader.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "monitors/common/page_checks.h"

namespace k460::pagestream {
namespace {

// The block buffer grows with the bytes that actually arrive (from this
// size on), so a header that promises a huge page costs no memory by itself.
constexpr std::size_t kFirstBlockReserve = 64 * 1024;

// Puts page 1's `DevId` and job-level fields into a later page's header.
void TakeJobLevelFields(std::span<std::uint8_t> header, std::span<const std::uint8_t> first) {
  std::memcpy(&header[offsetof(PageInfo, DevId)], &first[offsetof(PageInfo, DevId)], sizeof(PageInfo::DevId));
  for (const auto& range : kJobLevelRanges) {
    std::memcpy(&header[kPageInfoSize + range.offset], &first[kPageInfoSize + range.offset], range.size);
  }
}

}  // namespace

PageStreamReader::PageStreamReader(RecordForm form) : form_(form), headerSize_(RecordHeaderSize(form)) {}

void PageStreamReader::Reset() {
  headerBytes_ = {};
  headerFill_ = 0;
  firstPage_.reset();
  page_ = PageRecord{};
  pageStarted_ = false;
  rasterDue_ = 0;
  blockBytes_ = 0;
  ReleaseBlock();
  pagesStarted_ = 0;
  pagesCompleted_ = 0;
  offset_ = 0;
  recordOffset_ = 0;
  failure_ = {};
}

FeedResult PageStreamReader::Feed(std::span<const std::uint8_t> data, PageConsumer& consumer) {
  if (failed()) return {0, FeedStatus::kFailed};
  std::size_t used = 0;
  while (used < data.size()) {
    if (!pageStarted_) {
      if (headerFill_ == 0) recordOffset_ = offset_;
      const std::size_t n = std::min(headerSize_ - headerFill_, data.size() - used);
      std::memcpy(headerBytes_.data() + headerFill_, data.data() + used, n);
      headerFill_ += n;
      used += n;
      offset_ += n;
      if (headerFill_ < headerSize_) break;
      if (!StartPage(consumer)) return {used, FeedStatus::kFailed};
      continue;
    }
    const std::size_t n = std::min<std::size_t>(rasterDue_, data.size() - used);
    const auto piece = data.subspan(used, n);
    used += n;
    offset_ += n;
    if (!DeliverRaster(piece, consumer)) return {used, FeedStatus::kFailed};
    if (rasterDue_ == 0) {
      pageStarted_ = false;
      headerFill_ = 0;
      ReleaseBlock();
      ++pagesCompleted_;
      if (!consumer.OnPageEnd(page_)) {
        Fail(PageStreamError::kConsumerFailed, {}, consumer);
        return {used, FeedStatus::kFailed};
      }
      return {used, FeedStatus::kPageEnded};
    }
  }
  return {used, FeedStatus::kNeedMore};
}

bool PageStreamReader::StartPage(PageConsumer& consumer) {
  auto bytes = std::span(headerBytes_).first(headerSize_);
  if (firstPage_) TakeJobLevelFields(bytes, firstPage_->bytes);

  page_ = PageRecord{};
  page_.form = form_;
  page_.number = pagesStarted_ + 1;
  std::copy(bytes.begin(), bytes.end(), page_.bytes.begin());
  page_.info = LoadPageInfo(bytes.first<kPageInfoSize>());
  page_.header = LoadPageHeader(bytes.subspan(kPageInfoSize, PageHeaderSize(form_)));
  page_.bitmap = LoadBitmapHeaderBlock(bytes.subspan(HeaderBlockSize(form_)).first<kBitmapHeaderBlockSize>());
  page_.kind = KindOfDevId(page_.info.DevId);
  auto fault = CheckPageFields(page_.info, page_.header, page_.rowBytes);
  if (!fault && !BitmapHeaderBlockMatches(page_.bitmap, page_.header)) {
    fault = PageFault{PageStreamError::kBadBitmapHeader, "bitmap header"};
  }
  if (fault) {
    Fail(fault->error, fault->field, consumer);
    return false;
  }
  page_.rasterBytes = page_.header.Length - static_cast<std::uint32_t>(kBitmapHeaderBlockSize);

  const RasterDelivery delivery = consumer.OnPageStart(page_);
  if (!delivery.accept) {
    Fail(PageStreamError::kPageRefused, {}, consumer);
    return false;
  }
  blockBytes_ = 0;
  if (delivery.blockBytes != 0) {
    const std::uint32_t rows = std::max<std::uint32_t>(delivery.blockBytes / page_.rowBytes, 1);
    blockBytes_ = static_cast<std::uint32_t>(
        std::min<std::uint64_t>(std::uint64_t{rows} * page_.rowBytes, page_.rasterBytes));
  }
  if (!firstPage_) firstPage_ = page_;
  ++pagesStarted_;
  pageStarted_ = true;
  rasterDue_ = page_.rasterBytes;
  return true;
}

bool PageStreamReader::DeliverRaster(std::span<const std::uint8_t> piece, PageConsumer& consumer) {
  if (blockBytes_ == 0) {
    rasterDue_ -= static_cast<std::uint32_t>(piece.size());
    if (piece.empty() || consumer.OnRaster(page_, piece)) return true;
    Fail(PageStreamError::kConsumerFailed, {}, consumer);
    return false;
  }
  while (!piece.empty()) {
    // The block in the making ends after blockBytes_ or at the page's end.
    const std::size_t target = std::min<std::size_t>(blockBytes_, block_.size() + rasterDue_);
    std::span<const std::uint8_t> ready;
    if (block_.empty() && piece.size() >= target) {
      ready = piece.first(target);  // a whole block in the piece: no copy
      piece = piece.subspan(target);
      rasterDue_ -= static_cast<std::uint32_t>(target);
    } else {
      const std::size_t n = std::min(target - block_.size(), piece.size());
      if (!AppendToBlock(piece.first(n), target)) {
        Fail(PageStreamError::kOutOfMemory, {}, consumer);
        return false;
      }
      piece = piece.subspan(n);
      rasterDue_ -= static_cast<std::uint32_t>(n);
      if (block_.size() < target) continue;
      ready = block_;
    }
    const bool ok = consumer.OnRaster(page_, ready);
    block_.clear();
    if (!ok) {
      Fail(PageStreamError::kConsumerFailed, {}, consumer);
      return false;
    }
  }
  return true;
}

bool PageStreamReader::AppendToBlock(std::span<const std::uint8_t> data, std::uint32_t target) {
  try {
    const std::size_t needed = block_.size() + data.size();
    if (block_.capacity() < needed) {
      block_.reserve(std::min<std::size_t>(target, std::max({needed, 2 * block_.capacity(), kFirstBlockReserve})));
    }
    block_.insert(block_.end(), data.begin(), data.end());
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

void PageStreamReader::Fail(PageStreamError error, std::string_view field, PageConsumer& consumer) {
  failure_ = {error, page_.number, recordOffset_, field};
  ReleaseBlock();
  if (pageStarted_) {
    pageStarted_ = false;
    consumer.OnPageDropped(page_);
  }
}

void PageStreamReader::ReleaseBlock() { std::vector<std::uint8_t>().swap(block_); }

EndOfStream PageStreamReader::Finish(PageConsumer& consumer) {
  EndOfStream end;
  end.pages = pagesCompleted_;
  if (!failed()) {
    if (pageStarted_) {
      end.pageDropped = true;
      end.partialRasterBytes = page_.rasterBytes - rasterDue_;
      pageStarted_ = false;
      consumer.OnPageDropped(page_);
    } else {
      end.partialHeaderBytes = static_cast<std::uint32_t>(headerFill_);
    }
  }
  Reset();
  return end;
}

}  // namespace k460::pagestream
