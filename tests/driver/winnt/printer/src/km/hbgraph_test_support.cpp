#include "tests/driver/winnt/printer/src/km/hbgraph_test_support.h"

#include <gtest/gtest.h>

#include <bit>

#include "driver/winnt/printer/src/common/devmode_conversion.h"
#include "driver/winnt/printer/src/common/settings_codes.h"
#include "driver/winnt/printer/src/common/settings_defaults.h"
#include "monitors/common/page_stream_reader.h"
#include "platform/spooler/capture.h"
#include "tests/monitors/common/page_stream_support.h"

namespace k460::testing {

using namespace hostsettings;

JobDevMode::JobDevMode() : settings(DefaultHostSettings(HostVariant::kHostBased, kDefaultCountryCode)) { Build(); }

const DEVMODEW* JobDevMode::Build(const std::function<void(HostDevMode&)>& tweak) {
  HostDevMode devMode = BuildHostDevMode(settings, PaperTable(HostVariant::kHostBased), {}, kDefaultCountryCode);
  if (tweak) tweak(devMode);
  bytes.assign(kHostDevModeSize, 0);
  StoreHostDevMode(devMode, std::span(bytes).first<kHostDevModeSize>());
  return reinterpret_cast<const DEVMODEW*>(bytes.data());
}

bool Sheet::Black(std::int32_t x, std::int32_t y) const {
  const std::uint8_t byte = raster[static_cast<std::size_t>(y) * rowBytes + static_cast<std::size_t>(x) / 8];
  return (byte & (0x80 >> (x % 8))) == 0;
}

std::uint64_t Sheet::BlackCount() const {
  std::uint64_t black = 0;
  for (std::uint8_t byte : raster) black += 8 - std::popcount(byte);
  return black;
}

std::uint64_t Sheet::BlackIn(const RECTL& area) const {
  std::uint64_t black = 0;
  for (LONG y = std::max<LONG>(area.top, 0); y < std::min<LONG>(area.bottom, header.Height); ++y)
    for (LONG x = std::max<LONG>(area.left, 0); x < std::min<LONG>(area.right, header.Width); ++x) black += Black(x, y);
  return black;
}

RECTL Sheet::BlackBounds() const {
  RECTL bounds{header.Width, header.Height, 0, 0};
  for (std::int32_t y = 0; y < header.Height; ++y) {
    const std::uint8_t* row = raster.data() + static_cast<std::size_t>(y) * rowBytes;
    for (std::uint32_t i = 0; i < rowBytes; ++i) {
      if (row[i] == 0xFF) continue;
      for (int bit = 0; bit < 8; ++bit) {
        if (row[i] & (0x80 >> bit)) continue;
        const LONG x = static_cast<LONG>(i * 8 + bit);
        bounds.left = std::min(bounds.left, x);
        bounds.right = std::max(bounds.right, x + 1);
        bounds.top = std::min<LONG>(bounds.top, y);
        bounds.bottom = std::max<LONG>(bounds.bottom, y + 1);
      }
    }
  }
  return bounds.right == 0 ? RECTL{0, 0, 0, 0} : bounds;
}

std::vector<Sheet> ReadSheets(const std::string& stream) {
  pagestream::PageStreamReader reader;
  pagestream::testing::RecordingConsumer consumer;
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(stream.data());
  pagestream::testing::FeedInPieces(reader, std::span(bytes, stream.size()), consumer, 1 << 20);
  EXPECT_FALSE(reader.failed()) << "the page stream does not read";
  const pagestream::EndOfStream end = reader.Finish(consumer);
  EXPECT_TRUE(end.Clean()) << "the page stream ends inside a record";
  std::vector<Sheet> sheets;
  for (const auto& page : consumer.pages) {
    if (!page.ended) continue;
    Sheet sheet;
    sheet.info = page.record.info;
    sheet.header = page.record.header;
    sheet.rowBytes = page.record.rowBytes;
    sheet.raster = page.raster;
    sheets.push_back(std::move(sheet));
  }
  return sheets;
}

void HbgraphTest::SetUp() {
  MachineTest::SetUp();
  printer_ = OpenCapturePrinter();
}

void HbgraphTest::TearDown() {
  CloseHandle(printer_);
  MachineTest::TearDown();
}

void HbgraphTest::CapturedOutputReset() {
  CloseHandle(printer_);
  printer_ = OpenCapturePrinter();
}

std::string HbgraphTest::CapturedOutput(HANDLE printer) { return k460::CapturedOutput(printer); }

std::unique_ptr<engine::DeviceContext> HbgraphTest::Open(const DEVMODEW* devMode, std::u16string logAddress) {
  return engine::DeviceContext::Open(u"hbgraph", printer_, devMode, {u"K460 Test", std::move(logAddress)});
}

std::vector<Sheet> HbgraphTest::PrintPages(const DEVMODEW* devMode, int pages,
                                           const std::function<void(engine::DeviceContext&, int)>& draw) {
  auto dc = Open(devMode);
  EXPECT_TRUE(dc) << GetLastError();
  if (!dc) return {};
  EXPECT_TRUE(dc->StartDoc(u"Test"));
  for (int page = 0; page < pages; ++page) {
    EXPECT_TRUE(dc->StartPage());
    if (draw) draw(*dc, page);
    EXPECT_TRUE(dc->EndPage()) << GetLastError();
  }
  EXPECT_TRUE(dc->EndDoc()) << GetLastError();
  dc->Close();
  return Sheets();
}

}  // namespace k460::testing
