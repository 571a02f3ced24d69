// How fast the PCL XL stream writer goes: small operators per second, and
// large embedded image data in MB/s next to this machine's memcpy bandwidth
// measured in the same run. Each figure is the best of several rounds.
//
//   build/bin/xlstream_bench
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

#include "driver/pcl/printer_common/nt/pclxl/xlemit.h"
#include "driver/pcl/printer_common/nt/pclxl/xlsink.h"
#include "platform/spooler/capture.h"

namespace {

constexpr int kRounds = 7;
constexpr std::size_t kImageBytes = 64u << 20;  // larger than any cache here
constexpr DWORD kBlockBytes = 1u << 20;

volatile std::uint64_t gSink;  // keeps results alive

std::uint64_t gCounted = 0;
void CountingSink(XlStream* stream, void*, BYTE*, DWORD used) {
  gCounted += used;
  stream->cbUsed = 0;
}

// Best time of kRounds runs of `work`, in seconds.
double Best(const std::function<void()>& work) {
  double best = 1e30;
  for (int round = 0; round < kRounds; ++round) {
    auto start = std::chrono::steady_clock::now();
    work();
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count());
  }
  return best;
}

double MBps(std::size_t bytes, double seconds) { return bytes / seconds / 1e6; }

const BYTE kText[] = {'H', 'e', 'l', 'l', 'o'};
const SHORT kAdvances[] = {30, 28, 12, 12, 30};

// One round of the small-operator mix: 16 operators, like a page of text
// and vector drawing.
void OperatorMix(XlStream* s, int i) {
  SHORT x = static_cast<SHORT>(i & 0x3FFF);
  HP_SetCursor(s, x, 200);
  HP_SetBrushSource_GrayLevel(s, static_cast<BYTE>(i));
  HP_Text_UByte(s, kText, kAdvances, 5);
  HP_NewPath(s);
  HP_RectanglePath(s, x, 10, static_cast<SHORT>(x + 100), 300);
  HP_LinePath(s, 5, 7);
  HP_BezierPath(s, 1, 2, 3, 4, 5, 6);
  HP_PaintPath(s);
  HP_SetPenWidth(s, 2);
  HP_SetROP(s, 252);
  HP_SetPenSource_NullPen(s);
  HP_SetPageOrigin(s, 100, 100);
  HP_SetPageScale(s, 1.0f, 1.0f);
  HP_PushGS(s);
  HP_SetClipRectangle(s, 0, 0, 4000, 6000, 0);
  HP_PopGS(s);
}
constexpr int kOperatorsPerMix = 16;

double OperatorsPerSecond(XlStream* s, int mixes) {
  double seconds = Best([&] {
    for (int i = 0; i < mixes; ++i) OperatorMix(s, i);
  });
  return mixes * kOperatorsPerMix / seconds;
}

}  // namespace

int main() {
  std::vector<BYTE> image(kImageBytes), copy(kImageBytes);
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<BYTE>(i * 131);
  std::memcpy(copy.data(), image.data(), kImageBytes);  // touch every page first

  // memcpy between two buffers far larger than the caches.
  double memcpySeconds = Best([&] {
    for (std::size_t at = 0; at < kImageBytes; at += kBlockBytes) std::memcpy(&copy[at], &image[at], kBlockBytes);
    gSink = gSink + copy[kImageBytes - 1];
  });
  // memcpy of the same source into one 4 KiB buffer, as the writer does.
  std::vector<BYTE> page(XL_DRIVER_BUFFER_SIZE);
  double memcpySmallSeconds = Best([&] {
    for (std::size_t at = 0; at < kImageBytes; at += page.size()) std::memcpy(page.data(), &image[at], page.size());
    gSink = gSink + page[0];
  });

  // Embedded image data through a direct-mode stream into a counting sink.
  XlStream* stream = HP_NewStream(XL_DRIVER_BUFFER_SIZE, CountingSink, nullptr);
  double embedSeconds = Best([&] {
    for (std::size_t at = 0; at < kImageBytes; at += kBlockBytes) {
      HP_ReadImage(stream, XlImageBlock{0, 128, 0, 4, &image[at], kBlockBytes});
    }
    HP_EndImage(stream);
  });
  double embedWordsSeconds = Best([&] {
    const auto* words = reinterpret_cast<const WORD*>(image.data());
    for (std::size_t at = 0; at < kImageBytes / 2; at += kBlockBytes / 2) {
      HP_EmbeddedWords(stream, words + at, kBlockBytes / 2);
    }
    HP_FlushStream(stream);
  });

  double directOps = OperatorsPerSecond(stream, 200000);
  stream->devParams.bReverse = TRUE;  // store mode: no flush per operator
  double storeOps = OperatorsPerSecond(stream, 200000);
  std::uint64_t streamTotal = stream->cbTotal;
  HP_CloseStream(stream);

  // The same mix through the driver's sink and staging buffer to a capture
  // printer of the platform (which keeps everything in memory).
  DevParams params{};
  params.hPrinter = k460::OpenCapturePrinter();
  XlStream* driver = XlNewDriverStream(&params);
  double driverOps = OperatorsPerSecond(driver, 50000);
  HP_CloseStream(driver);
  CloseHandle(params.hPrinter);

  double memcpyRate = MBps(kImageBytes, memcpySeconds);
  double embedRate = MBps(kImageBytes, embedSeconds);
  std::printf("PCL XL stream writer (best of %d rounds; %zu MiB of image data in %u KiB blocks)\n", kRounds,
              kImageBytes >> 20, kBlockBytes >> 10);
  std::printf("  memcpy, large buffer to large buffer     %9.0f MB/s\n", memcpyRate);
  std::printf("  memcpy, large buffer into 4 KiB          %9.0f MB/s\n", MBps(kImageBytes, memcpySmallSeconds));
  std::printf("  embedded data (ReadImage), counting sink %9.0f MB/s  = %.2f x memcpy\n", embedRate,
              embedRate / memcpyRate);
  std::printf("  embedded words, counting sink            %9.0f MB/s\n", MBps(kImageBytes, embedWordsSeconds));
  std::printf("  small operators, direct mode             %9.2f M operators/s\n", directOps / 1e6);
  std::printf("  small operators, store mode              %9.2f M operators/s\n", storeOps / 1e6);
  std::printf("  small operators, driver sink to printer  %9.2f M operators/s\n", driverOps / 1e6);
  std::printf("  (%llu bytes counted, %llu encoded)\n", static_cast<unsigned long long>(gCounted),
              static_cast<unsigned long long>(streamTotal));
  return 0;
}
