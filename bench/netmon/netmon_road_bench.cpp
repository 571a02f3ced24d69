// netmon_road_bench: a host-based job over the whole road in one process.
// hbgraph draws 600-dpi A4 sheets (4992 x 7040 pixels) through the engine;
// the spooler spools them and feeds the page stream to the network port
// monitor, which cuts it into pages, encodes each to MMR with qtxtoenc and
// sends it over HTTP to the emulated device on 127.0.0.1, which decodes and
// files it. The machine is set up as `k460 print --device` sets it up.
//
// Printed: pages per second of a 10-page and a 100-page job; the time the
// encoder alone takes for the same pages (the same job's page stream read
// back and its rasters encoded as netmon encodes them), and the ratio of
// the two (goal: the road at most twice the encoding alone); the peak
// resident size after each job (goal: the same for 10 and 100 pages, one
// page at a time). Nothing is asserted.
//
// glibc raises its threshold for serving large blocks with mmap each time
// such a block is freed, after which freed page-sized buffers stay in the
// per-thread arenas of the many threads on this road (about 25 MB after 20
// pages, then no more). The bench pins the threshold so that the peak
// resident size shows the memory in use; K460_BENCH_GLIBC_DEFAULT=1 leaves
// glibc as it is.
//
//   netmon_road_bench [pages [piece-bytes]]
//     pages: of the large job (default 100); piece-bytes: the size of the
//     pieces the spooler hands to WritePort (default 4096, the spooler's own)
#include <malloc.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "monitors/common/encoder_library.h"
#include "monitors/common/page_stream_reader.h"
#include "monitors/common/raster_geometry.h"
#include "platform/base/host.h"
#include "platform/base/internal.h"
#include "platform/base/text.h"
#include "bench/support/sheet_page.h"
#include "platform/engine/device_context.h"
#include "platform/files/files.h"
#include "platform/outside/device/emulator.h"
#include "platform/spooler/host.h"
#include "tools/k460/device_road.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using k460::engine::DeviceContext;
using k460::engine::RGB;

constexpr char16_t kFilePrinter[] = u"Road Bench File";

long PeakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

using bench::Photo;

struct Printer {
  HANDLE handle = nullptr;
  std::u16string name, port;
  ~Printer() {
    if (handle) ClosePrinter(handle);
  }
};

bool OpenPrinter(Printer& printer) {
  PRINTER_DEFAULTSW defaults{nullptr, nullptr, PRINTER_ALL_ACCESS};
  return OpenPrinterW(printer.name.data(), &printer.handle, &defaults);
}

struct JobResult {
  bool ok = false;
  double seconds = 0;
  std::string error;
};

// Prints `pages` pages, from StartDoc until EndDoc has delivered the job.
JobResult PrintJob(const Printer& printer, int pages, const Photo& photo, const std::u16string& outputFile = u"") {
  auto dc = DeviceContext::Open(u"hbgraph.dll", printer.handle, nullptr, {printer.name, printer.port, ENGINE_VERSION,
                                                                           outputFile});
  if (!dc) return {false, 0, "hbgraph could not be started (error " + std::to_string(GetLastError()) + ")"};
  const auto start = Clock::now();
  bool ok = dc->StartDoc(u"Road bench");
  for (int page = 0; page < pages && ok; ++page) ok = dc->StartPage() && bench::DrawSheet(*dc, photo) && dc->EndPage();
  if (!ok) return {false, 0, "the driver failed (error " + std::to_string(GetLastError()) + ")"};
  const DWORD jobId = dc->JobId();
  if (!dc->EndDoc()) {
    std::string why = "error " + std::to_string(GetLastError());
    for (const auto& job : k460::FinishedJobs())
      if (job.jobId == jobId && !job.error.empty()) why = job.error;
    return {false, 0, "the job did not reach the port: " + why};
  }
  return {true, Seconds(Clock::now() - start), ""};
}

// The device's newest job must hold every page.
std::string CheckDeviceJob(k460::device::Emulator& device, int pages) {
  auto jobs = device.core().Jobs();
  if (jobs.empty()) return "the device received no job";
  const auto& job = jobs.front();
  if (job.state != k460::device::JobState::Completed)
    return "the device's job is " + std::string(k460::device::JobStateName(job.state)) + " " + job.outcome;
  if (static_cast<int>(job.pages.size()) != pages)
    return "the device received " + std::to_string(job.pages.size()) + " of " + std::to_string(pages) + " pages";
  return "";
}

// Encodes each page of a page stream to MMR as netmon does (blocks of about
// 1 MiB of rows, padded to 16 bits, into a temporary file through the
// platform's files), timing only the encoding.
class EncodeOnly final : public k460::pagestream::PageConsumer {
 public:
  explicit EncodeOnly(const k460::encoder::EncoderLibrary& library) : library_(library) {}

  k460::pagestream::RasterDelivery OnPageStart(const k460::pagestream::PageRecord& page) override {
    const auto start = Clock::now();
    arrivedRowBytes_ = page.rowBytes;
    rowBytes_ = ENCODE_ROW_BYTES(page.header.Width);
    const std::uint32_t block = k460::pagestream::BlockBytes(rowBytes_, page.header.Coding, page.rasterBytes);
    rows_.assign(block, 0);
    file_ = CreateFileW(u"C:\\Windows\\Temp\\RoadBench.mmr", GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
    state_ = {};
    ok_ = file_ != INVALID_HANDLE_VALUE &&
          library_.FaxEncodeInit(&state_, page.header.Width, page.header.Height, ENCODE_ROW_FORMAT, ENCODE_CODING_MMR,
                                 page.header.Resolution, k460::encoder::WriteFileCallback,
                                 k460::encoder::ReadFileCallback, k460::encoder::SeekFileCallback, file_);
    spent_ += Clock::now() - start;
    return k460::pagestream::RasterDelivery::Blocks(block / rowBytes_ * arrivedRowBytes_);
  }

  bool OnRaster(const k460::pagestream::PageRecord&, std::span<const std::uint8_t> raster) override {
    const auto start = Clock::now();
    const auto count = static_cast<std::uint32_t>(raster.size() / arrivedRowBytes_);
    const std::uint8_t* rows = raster.data();
    if (arrivedRowBytes_ != rowBytes_) {
      for (std::uint32_t row = 0; row < count; ++row)
        std::memcpy(&rows_[std::size_t{row} * rowBytes_], &raster[std::size_t{row} * arrivedRowBytes_], rowBytes_);
      rows = rows_.data();
    }
    ok_ = ok_ && library_.FaxEncodeOut(&state_, rows, count);
    spent_ += Clock::now() - start;
    return ok_;
  }

  bool OnPageEnd(const k460::pagestream::PageRecord&) override {
    const auto start = Clock::now();
    ok_ = library_.FaxEncodeFree(&state_) && ok_;
    bytes_ += GetFileSize(file_, nullptr);
    CloseHandle(file_);
    spent_ += Clock::now() - start;
    ++pages_;
    return ok_;
  }

  double seconds() const { return Seconds(spent_); }
  int pages() const { return pages_; }
  std::uint64_t bytes() const { return bytes_; }

 private:
  const k460::encoder::EncoderLibrary& library_;
  std::uint32_t arrivedRowBytes_ = 0, rowBytes_ = 0;
  std::vector<std::uint8_t> rows_;
  HANDLE file_ = INVALID_HANDLE_VALUE;
  FAXENCODESTATE state_{};
  bool ok_ = false;
  Clock::duration spent_{};
  int pages_ = 0;
  std::uint64_t bytes_ = 0;
};

// Reads the page stream file in spooler-sized pieces and encodes its pages.
bool EncodeStream(const fs::path& file, EncodeOnly& encoder, std::string& error) {
  std::FILE* in = std::fopen(file.c_str(), "rb");
  if (!in) {
    error = "cannot read " + file.string();
    return false;
  }
  k460::pagestream::PageStreamReader reader;
  std::vector<std::uint8_t> piece(1 << 20);
  bool ok = true;
  while (ok) {
    const std::size_t got = std::fread(piece.data(), 1, piece.size(), in);
    if (got == 0) break;
    std::span<const std::uint8_t> rest(piece.data(), got);
    while (ok && !rest.empty()) {
      auto fed = reader.Feed(rest, encoder);
      rest = rest.subspan(fed.consumed);
      ok = fed.status != k460::pagestream::FeedStatus::kFailed;
    }
  }
  std::fclose(in);
  ok = ok && reader.Finish(encoder).Clean();
  if (!ok) error = "the page stream could not be encoded (error " + std::to_string(GetLastError()) + ")";
  return ok;
}

int Fail(const std::string& what) {
  std::fprintf(stderr, "netmon_road_bench: %s\n", what.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  const int largePages = argc > 1 ? std::max(11, std::atoi(argv[1])) : 100;
  const long pieceBytes = argc > 2 ? std::clamp(std::atol(argv[2]), 1L, 1L << 24) : 4096;
  const bool pinnedThreshold = !std::getenv("K460_BENCH_GLIBC_DEFAULT");
  if (pinnedThreshold) mallopt(M_MMAP_THRESHOLD, 128 * 1024);
  constexpr int kSmallPages = 10;
  std::string pattern = (fs::temp_directory_path() / "k460-road-bench-XXXXXX").string();
  if (!mkdtemp(pattern.data())) return Fail("cannot make a temporary folder");
  const fs::path root = pattern;
  k460::SetMachineRoot(root);
  k460::SetClockMode(k460::ClockMode::Real);
  k460::SetDespoolPieceSize(static_cast<DWORD>(pieceBytes));
  fs::create_directories(k460::HostPath(u"C:\\Windows\\Temp"));
  struct RemoveRoot {
    fs::path root;
    ~RemoveRoot() {
      k460::ShutdownSpooler();
      std::error_code ec;
      fs::remove_all(root, ec);
    }
  } removeRoot{root};

  k460::device::EmulatorOptions options;
  options.jobsFolder = root / "device";
  k460::device::Emulator device(options);
  if (std::string failure = device.Start(); !failure.empty()) return Fail("the emulated device did not start: " + failure);

  std::string problem;
  auto road = k460::tool::SetUpDeviceRoad({"127.0.0.1", static_cast<unsigned>(device.port())}, problem);
  if (!road) return Fail("cannot set up the road: " + problem);
  Printer printer{nullptr, road->printer, road->port};
  if (!OpenPrinter(printer)) return Fail("cannot open the printer");
  const Photo photo;

  std::printf("600-dpi A4 sheets (4992 x 7040), 200 rectangles and a 2400 x 1600 image each:\n"
              "hbgraph -> spooler (WritePort pieces of %ld bytes) -> netmon (MMR) -> HTTP -> emulated device at %s,\n"
              "all in this process\n",
              pieceBytes, device.url().c_str());
  std::printf("peak MB: resident size after the job (ru_maxrss), %s\n\n",
              pinnedThreshold ? "glibc's mmap threshold pinned at 128 KiB" : "glibc's default mmap threshold");
  std::printf("%-46s %6s %9s %9s %12s\n", "", "pages", "seconds", "pages/s", "peak MB");

  struct Run {
    int pages;
    JobResult result;
    long peakKb;
    double deviceSeconds;
  } runs[] = {{kSmallPages, {}, 0, 0}, {largePages, {}, 0, 0}};
  for (auto& run : runs) {
    const double deviceBefore = device.core().HandlingSeconds();
    run.result = PrintJob(printer, run.pages, photo);
    run.deviceSeconds = device.core().HandlingSeconds() - deviceBefore;
    if (!run.result.ok) return Fail("the " + std::to_string(run.pages) + "-page job failed: " + run.result.error);
    if (std::string wrong = CheckDeviceJob(device, run.pages); !wrong.empty()) return Fail(wrong);
    run.peakKb = PeakKilobytes();
    std::printf("%-46s %6d %9.2f %9.2f %12.1f\n", "road: print until the device has every page", run.pages,
                run.result.seconds, run.pages / run.result.seconds, run.peakKb / 1024.0);
    std::error_code ec;
    fs::remove_all(options.jobsFolder, ec);  // the device's page images
    fs::create_directories(options.jobsFolder, ec);
  }

  // The same pages again to a file, read back and encoded alone.
  // The suite's printers are named after their drivers.
  if (!k460::AddPrinter({kFilePrinter, road->printer, u"FILE:"})) return Fail("cannot add the file printer");
  Printer filePrinter{nullptr, kFilePrinter, u"FILE:"};
  if (!OpenPrinter(filePrinter)) return Fail("cannot open the file printer");
  const fs::path stream = root / "pages.prn";
  JobResult toFile = PrintJob(filePrinter, largePages, photo, k460::Utf8ToUtf16(stream.string()));
  if (!toFile.ok) return Fail("the job to a file failed: " + toFile.error);
  std::printf("%-46s %6d %9.2f %9.2f\n", "hbgraph -> spooler -> file (no monitor)", largePages, toFile.seconds,
              largePages / toFile.seconds);

  auto library = k460::encoder::LoadEncoderLibrary();
  if (!library) return Fail("cannot load qtxtoenc.dll (error " + std::to_string(GetLastError()) + ")");
  EncodeOnly encoder(*library);
  if (!EncodeStream(stream, encoder, problem)) return Fail(problem);
  k460::encoder::FreeEncoderLibrary(*library);
  if (encoder.pages() != largePages) return Fail("the page stream held " + std::to_string(encoder.pages()) + " pages");
  std::printf("%-46s %6d %9.2f %9.2f   (%.0f KB MMR a page)\n", "encode only: the same rasters to MMR (qtxtoenc)",
              largePages, encoder.seconds(), largePages / encoder.seconds(),
              encoder.bytes() / 1024.0 / largePages);

  const auto& large = runs[1];
  // The emulated device decodes every page and writes it as an image, in
  // this process and on these cores; a real device does that on its own.
  const double withoutDevice = large.result.seconds - large.deviceSeconds;
  std::printf("\n%d pages: road %.2f s, of which the emulated device's own handling %.2f s;\n"
              "hbgraph and the spooler alone take %.2f s of the rest, the monitor %.2f s\n",
              largePages, large.result.seconds, large.deviceSeconds, toFile.seconds, withoutDevice - toFile.seconds);
  std::printf("road / encode only: %.2f (goal <= 2)\n", large.result.seconds / encoder.seconds());
  std::printf("road without the device's own handling / encode only: %.2f\n", withoutDevice / encoder.seconds());
  std::printf("the monitor (cutting, encoding, sending) / encode only: %.2f\n",
              (withoutDevice - toFile.seconds) / encoder.seconds());
  std::printf("peak resident size, %d pages %.1f MB, %d pages %.1f MB: growth %.1f MB (goal: none)\n", kSmallPages,
              runs[0].peakKb / 1024.0, largePages, large.peakKb / 1024.0, (large.peakKb - runs[0].peakKb) / 1024.0);
  device.Stop();
  return 0;
}
