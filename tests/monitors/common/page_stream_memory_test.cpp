// The reader's memory follows the bytes that arrive, not the sizes that a
// header promises: a record header costs nothing by itself.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

#include "monitors/common/page_stream_reader.h"
#include "tests/monitors/common/page_stream_support.h"

namespace {
std::atomic<std::size_t> gLargestAllocation{0};
}  // namespace

// Every allocation of this test program passes here, so the test can see
// the largest single one. (The replacement pair allocates with malloc and
// frees with free, which GCC cannot see through.)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
  std::size_t seen = gLargestAllocation.load();
  while (size > seen && !gLargestAllocation.compare_exchange_weak(seen, size)) {
  }
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop

namespace k460::pagestream {
namespace {

using testing::EncodeRaw;
using testing::FeedInPieces;
using testing::MakePage;
using testing::RecordingConsumer;

TEST(PageStreamMemoryTest, AHugePromisedPageTakesMemoryOnlyAsItsBytesArrive) {
  // The largest page a header can describe: 32767 x 32767 pixels, 134 MB of
  // raster, asked for as one whole page. Only 5000 bytes of it arrive.
  const std::uint32_t rasterBytes = 4096u * 32767u;
  auto page = MakePage(205, 64, 4);
  page.header.Width = 32767;
  page.header.Height = 32767;
  page.header.Length = rasterBytes + 62;
  const auto stream = EncodeRaw(page.info, page.header, MakeBitmapHeaderBlock(32767, 32767, rasterBytes),
                                std::vector<std::uint8_t>(5000, 0x00));
  PageStreamReader reader;
  RecordingConsumer consumer;
  consumer.delivery = [](const PageRecord& p) { return RasterDelivery::WholePage(p); };

  gLargestAllocation = 0;
  EXPECT_EQ(FeedInPieces(reader, stream, consumer, 1000), stream.size());
  EXPECT_LT(gLargestAllocation.load(), std::size_t{1} << 20);

  EXPECT_FALSE(reader.failed());
  const EndOfStream end = reader.Finish(consumer);
  EXPECT_TRUE(end.pageDropped);
  EXPECT_EQ(end.partialRasterBytes, 5000u);
  ASSERT_EQ(consumer.pages.size(), 1u);
  EXPECT_TRUE(consumer.pages[0].raster.empty()) << "the page was never complete";
  EXPECT_TRUE(consumer.pages[0].dropped);
}

}  // namespace
}  // namespace k460::pagestream
