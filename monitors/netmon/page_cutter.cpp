#include "monitors/netmon/page_cutter.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "monitors/common/device_commands.h"
#include "monitors/common/page_codes.h"
#include "monitors/common/raster_geometry.h"
#include "platform/files/files.h"

namespace netmon {

using k460::pagestream::PageKind;
using k460::pagestream::PageRecord;
using k460::pagestream::RasterDelivery;

PageCutter::PageCutter(PageEncoder& encoder, PageSender& sender, const k460::encoder::EncoderLibrary& library,
                       bool tracing)
    : encoder_(encoder), sender_(sender), library_(library), tracing_(tracing) {}

PageCutter::~PageCutter() { EndPageFiles(); }

bool PageCutter::Fail(DWORD error) {
  error_ = error;
  return false;
}

RasterDelivery PageCutter::OnPageStart(const PageRecord& page) {
  error_ = ERROR_SUCCESS;
  sendFailed_ = false;
  // Fax and TIFF jobs, and booklets, take other roads that this port does
  // not offer: such a page ends the job.
  if (page.kind != PageKind::kPrinter || page.header.MultPagePrint == k460::pagestream::kMultPageBooklet) {
    Fail(ERROR_NOT_SUPPORTED);
    return RasterDelivery::Refuse();
  }
  header_ = page.header;
  bmpRotate_ = page.info.BmpRotate;
  if (bmpRotate_ != 0) std::swap(header_.Width, header_.Height);
  arrivedRowBytes_ = page.rowBytes;
  rowBytes_ = ENCODE_ROW_BYTES(header_.Width);
  const std::uint64_t turnedBytes = std::uint64_t{rowBytes_} * static_cast<std::uint32_t>(header_.Height);
  blockBytes_ = k460::pagestream::BlockBytes(rowBytes_, header_.Coding,
                                             static_cast<std::uint32_t>(std::min<std::uint64_t>(
                                                 bmpRotate_ ? turnedBytes : page.rasterBytes, UINT32_MAX)));
  header_.Coding = k460::pagestream::kCodingMMR;

  const bool repack = bmpRotate_ != 0 || arrivedRowBytes_ != rowBytes_;
  try {
    if (repack) rows_.assign(blockBytes_, 0);
  } catch (const std::bad_alloc&) {
    Fail(ERROR_NOT_ENOUGH_MEMORY);
    return RasterDelivery::Refuse();
  }
  if (bmpRotate_ != 0) {
    if (!turn_.Create(u"Rot")) {
      Fail(GetLastError());
      return RasterDelivery::Refuse();
    }
    if (tracing_) turn_.Keep();
  }
  if (!encoder_.BeginPage({header_.Width, header_.Height, header_.Resolution})) {
    Fail(GetLastError());
    EndPageFiles();
    return RasterDelivery::Refuse();
  }
  if (tracing_) StartTrace(page);
  if (bmpRotate_ != 0) return RasterDelivery::Pieces();
  // Blocks of the same number of rows as the encoder's, in the arriving pitch.
  return RasterDelivery::Blocks(blockBytes_ / rowBytes_ * arrivedRowBytes_);
}

void PageCutter::StartTrace(const PageRecord& page) {
  if (!bitmap_.Create(u"Bmt", u"bmp")) return;
  bitmap_.Keep();
  // A top-down bitmap that viewers show as it is.
  auto block = page.bitmap;
  block.biHeight = -block.biHeight;
  block.biXPelsPerMeter = 0;
  block.biYPelsPerMeter = 0;
  std::uint8_t bytes[k460::pagestream::kBitmapHeaderBlockSize];
  k460::pagestream::StoreBitmapHeaderBlock(block, bytes);
  if (!bitmap_.Append(bytes, sizeof bytes)) bitmap_.Close();
}

bool PageCutter::OnRaster(const PageRecord&, std::span<const std::uint8_t> raster) {
  if (bitmap_.IsOpen() && !bitmap_.Append(raster.data(), static_cast<DWORD>(raster.size()))) bitmap_.Close();
  if (bmpRotate_ != 0) {
    return turn_.Append(raster.data(), static_cast<DWORD>(raster.size())) || Fail(GetLastError());
  }
  return EncodeArrivedRows(raster);
}

bool PageCutter::EncodeArrivedRows(std::span<const std::uint8_t> rows) {
  const std::uint32_t count = static_cast<std::uint32_t>(rows.size() / arrivedRowBytes_);
  if (arrivedRowBytes_ == rowBytes_) {
    return encoder_.EncodeRows(rows.data(), count) || Fail(GetLastError());
  }
  // Rows padded to 32 bits arrive wider than the encoder's 16-bit rows: the
  // padding is dropped.
  for (std::uint32_t row = 0; row < count; ++row) {
    std::memcpy(&rows_[std::size_t{row} * rowBytes_], &rows[std::size_t{row} * arrivedRowBytes_], rowBytes_);
  }
  return encoder_.EncodeRows(rows_.data(), count) || Fail(GetLastError());
}

bool PageCutter::EncodeTurnedPage() {
  ROTATESTATE state{};
  // The raster arrived unturned: its rows are the turned page's columns.
  if (!library_.RotateInit(&state, header_.Height, header_.Width, k460::encoder::ReadFileCallback,
                           k460::encoder::SeekFileCallback, turn_.handle()))
    return Fail(GetLastError());
  const bool right = k460::command::TurnsRight(bmpRotate_, header_.Paper);
  const std::uint32_t rowsPerBlock = blockBytes_ / rowBytes_;
  for (std::uint32_t done = 0; done < static_cast<std::uint32_t>(header_.Height);) {
    const std::uint32_t count = std::min(rowsPerBlock, static_cast<std::uint32_t>(header_.Height) - done);
    const BOOL turned =
        right ? library_.RotateOut(&state, rows_.data(), count) : library_.LeftRotateOut(&state, rows_.data(), count);
    if (!turned) return Fail(GetLastError());
    if (!encoder_.EncodeRows(rows_.data(), count)) return Fail(GetLastError());
    done += count;
  }
  return true;
}

bool PageCutter::OnPageEnd(const PageRecord& page) {
  bool ok = bmpRotate_ == 0 || EncodeTurnedPage();
  EncodedPage encoded{page.number, header_, {}};
  ok = ok && (encoder_.EndPage(&encoded.file) || Fail(GetLastError()));
  if (!ok) encoder_.DropPage();
  EndPageFiles();
  if (!ok) return false;
  if (!sender_.SendPage(encoded)) {
    sendFailed_ = true;
    return Fail(GetLastError());
  }
  return true;
}

void PageCutter::OnPageDropped(const PageRecord&) {
  encoder_.DropPage();
  EndPageFiles();
}

void PageCutter::EndPageFiles() {
  turn_.Discard();
  bitmap_.Close();
  std::vector<std::uint8_t>().swap(rows_);
}

}  // namespace netmon
