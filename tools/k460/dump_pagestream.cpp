// k460 dump for the page streams of the host-based and fax drivers: one line
// per page with its header fields, its raster size and its black pixels.
#include <span>
#include <string>

#include "monitors/common/little_endian.h"
#include "monitors/common/page_codes.h"
#include "monitors/common/page_description.h"
#include "monitors/common/page_stream_reader.h"
#include "monitors/common/raster_geometry.h"
#include "tools/k460/dump_formats.h"

namespace k460::tool {
namespace {

using namespace pagestream;

std::span<const std::uint8_t> Bytes(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// A page stream starts with a `PageInfo` of a known page kind, zero reserved
// bytes, and a bitmap header block where one of the two record forms puts it.
bool LooksLikePageStream(std::string_view head) {
  const auto bytes = Bytes(head);
  if (bytes.size() < kPageInfoSize || !DetectRecordForm(bytes)) return false;
  return KindOfDevId(LoadLe<std::int32_t>(bytes.data())) != PageKind::kUnknown &&
         LoadLe<std::uint32_t>(bytes.data() + offsetof(PageInfo, Reserved4)) == 0;
}

class PagePrinter : public PageConsumer {
 public:
  explicit PagePrinter(std::ostream& out) : out_(out) {}

  RasterDelivery OnPageStart(const PageRecord& page) override {
    black_ = 0;
    return RasterDelivery::Blocks(BlockBytes(page.rowBytes, kCodingMH, page.rasterBytes));
  }
  bool OnRaster(const PageRecord& page, std::span<const std::uint8_t> rows) override {
    black_ += CountBlackPixels(rows, page.header.Width, page.rowBytes);
    return true;
  }
  bool OnPageEnd(const PageRecord& page) override {
    out_ << DescribePage(page) << " raster=" << page.rasterBytes << " rowBytes=" << page.rowBytes
         << " black=" << black_ << "\n";
    return true;
  }

 private:
  std::ostream& out_;
  std::uint64_t black_ = 0;
};

int DumpPageStream(const std::string& data, std::ostream& out, std::ostream& err) {
  const auto bytes = Bytes(data);
  const RecordForm form = DetectRecordForm(bytes).value_or(RecordForm::kFull);
  PageStreamReader reader(form);
  PagePrinter printer(out);
  for (std::size_t at = 0; at < bytes.size();) {
    const FeedResult result = reader.Feed(bytes.subspan(at), printer);
    at += result.consumed;
    if (result.status == FeedStatus::kFailed) {
      err << "k460 dump: " << DescribeFailure(reader.failure()) << "\n";
      return 1;
    }
  }
  const EndOfStream end = reader.Finish(printer);
  out << end.pages << (end.pages == 1 ? " page" : " pages") << " in "
      << (form == RecordForm::kFull ? "full" : "short") << " records\n";
  if (!end.Clean()) {
    err << "k460 dump: the stream ends inside the record of page " << end.pages + 1 << " ("
        << (end.pageDropped ? std::to_string(end.partialRasterBytes) + " raster bytes"
                            : std::to_string(end.partialHeaderBytes) + " header bytes")
        << ")\n";
    return 1;
  }
  return 0;
}

K460_DUMP_FORMAT("pagestream", LooksLikePageStream, DumpPageStream);

}  // namespace
}  // namespace k460::tool
