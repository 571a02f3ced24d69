// The stages of a printer job between the stream and the device, and the one
// interface between each pair: the page cutter (page_cutter.h) takes the
// page stream apart and hands each printer page's rows to a PageEncoder; a
// page whose rows are all encoded goes, as an EncodedPage, to a PageSender.
// Each page is encoded and sent as soon as its last byte has arrived, so a
// job never holds more than the page in hand.
#pragma once

#include <cstdint>
#include <string>

#include "monitors/common/page_records.h"

namespace netmon {

// The page as the device is told about it.
struct PageGeometry {
  std::int32_t width = 0;   // pixels, after any turn
  std::int32_t height = 0;
  std::int32_t resolution = 0;  // dots per inch
};

// A printer page whose rows are all encoded into `file`.
struct EncodedPage {
  std::uint32_t number = 0;               // the job's page count when it ended
  k460::pagestream::PageHeader header{};  // the header the device is told (turned size)
  std::u16string file;
};

// Encodes one page at a time into a file of its own.
class PageEncoder {
 public:
  virtual ~PageEncoder() = default;
  // Starts a page; its rows then come (width + 15) / 16 * 2 bytes each.
  virtual bool BeginPage(const PageGeometry& page) = 0;
  virtual bool EncodeRows(const std::uint8_t* rows, std::uint32_t count) = 0;
  // Completes the page; the name of its file in *file. The file stays
  // until the sender is done with it.
  virtual bool EndPage(std::u16string* file) = 0;
  // Forgets a page that will not be completed, and deletes its file.
  virtual void DropPage() = 0;
};

// Sends finished pages, and the end of the job, to the device.
class PageSender {
 public:
  virtual ~PageSender() = default;
  // Sends the page and then deletes its file (kept while tracing).
  virtual bool SendPage(const EncodedPage& page) = 0;
  // The job is complete after `pages` pages.
  virtual bool SendEnd(std::uint32_t pages) = 0;
};

}  // namespace netmon
