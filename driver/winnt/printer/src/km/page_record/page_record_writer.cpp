#include "driver/winnt/printer/src/km/page_record/page_record_writer.h"

#include <algorithm>
#include <array>
#include <limits>

#include "monitors/common/page_checks.h"
#include "platform/spooler/spooler.h"

namespace k460::hostbased {

using namespace pagestream;

namespace {

// Everything after the first NUL becomes zero; the last element is always NUL.
template <class Char, std::size_t N>
void ClearAfterText(Char (&text)[N]) {
  Char* end = std::find(text, text + N - 1, Char{});
  std::fill(end, text + N, Char{});
}

template <std::size_t N>
void Clear(std::uint8_t (&bytes)[N]) {
  std::fill(bytes, bytes + N, std::uint8_t{0});
}

}  // namespace

BOOL WritePageRecord(const PageInfo& info, const PageHeader& header, std::span<const std::uint8_t> raster,
                     RecordForm form, const PageWriteFunction& write) {
  if (!write || raster.size() > std::numeric_limits<std::uint32_t>::max() - kBitmapHeaderBlockSize) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  PageInfo pageInfo = info;
  PageHeader pageHeader = header;
  Clear(pageInfo.Reserved4);
  ClearAfterText(pageInfo.DriverName);
  pageHeader.Length = static_cast<std::uint32_t>(kBitmapHeaderBlockSize + raster.size());
  Clear(pageHeader.Reserved52);
  Clear(pageHeader.Reserved68);
  Clear(pageHeader.Reserved158);
  ClearAfterText(pageHeader.FaxUserName);
  ClearAfterText(pageHeader.FaxPassword);
  std::uint32_t rowBytes = 0;
  if (CheckPageFields(pageInfo, pageHeader, rowBytes)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }

  std::array<std::uint8_t, kPageInfoSize + kPageHeaderSize> headerBlock{};
  StorePageInfo(pageInfo, std::span(headerBlock).first<kPageInfoSize>());
  StorePageHeader(pageHeader, std::span(headerBlock).subspan(kPageInfoSize, PageHeaderSize(form)));
  std::array<std::uint8_t, kBitmapHeaderBlockSize> bitmapBlock{};
  StoreBitmapHeaderBlock(
      MakeBitmapHeaderBlock(pageHeader.Width, pageHeader.Height, static_cast<std::uint32_t>(raster.size())),
      bitmapBlock);

  return write(std::span(headerBlock).first(HeaderBlockSize(form))) && write(bitmapBlock) && write(raster);
}

PageWriteFunction PrinterWriteFunction(HANDLE hPrinter) {
  return [hPrinter](std::span<const std::uint8_t> bytes) {
    // The spooler may take less than offered; hand it the rest until all is in.
    while (!bytes.empty()) {
      DWORD written = 0;
      const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), std::numeric_limits<DWORD>::max()));
      if (!WritePrinter(hPrinter, const_cast<std::uint8_t*>(bytes.data()), chunk, &written)) {
        return false;
      }
      if (written == 0 || written > chunk) {
        SetLastError(ERROR_WRITE_FAULT);
        return false;
      }
      bytes = bytes.subspan(written);
    }
    return true;
  };
}

}  // namespace k460::hostbased
