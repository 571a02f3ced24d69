// hbgraph_bench: how long hbgraph takes per 600-dpi A4 sheet (4992 x 7040
// pixels, 4.4 MB) when a page of rectangles and an image goes through the
// engine's device context, the driver and the spooler to a FILE: port, and
// how much memory a job needs: the peak resident size after a 5-page job and
// after a 50-page job, which must be the same (one sheet at a time).
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/base/host.h"
#include "bench/support/sheet_page.h"
#include "platform/engine/device_context.h"
#include "platform/spooler/host.h"

namespace {

using k460::engine::DeviceContext;
using k460::engine::RGB;

constexpr char16_t kDriver[] = u"Velkaro Ar+Vento2 K-410/460";
constexpr char16_t kPrinter[] = u"K460 Bench";

long PeakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

using bench::Photo;

struct JobResult {
  bool ok = false;
  double ms = 0;
};

JobResult PrintJob(HANDLE printer, int pages, const Photo* photo) {
  auto dc = DeviceContext::Open(u"hbgraph.dll", printer, nullptr, {kPrinter, u"FILE:"});
  if (!dc) return {};
  const auto start = std::chrono::steady_clock::now();
  bool ok = dc->StartDoc(u"Bench");
  for (int page = 0; page < pages && ok; ++page) {
    ok = dc->StartPage() && (!photo || bench::DrawSheet(*dc, *photo)) && dc->EndPage();
  }
  ok = dc->EndDoc() && ok;
  const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
  return {ok, took.count()};
}

void RemoveOutput(const std::filesystem::path& root) {
  std::error_code ec;
  std::filesystem::remove_all(root / "output", ec);
}

}  // namespace

int main() {
  std::string pattern = (std::filesystem::temp_directory_path() / "k460-hbgraph-bench-XXXXXX").string();
  if (!mkdtemp(pattern.data())) return 1;
  const std::filesystem::path root = pattern;
  k460::SetMachineRoot(root);
  std::u16string name = kPrinter;
  HANDLE printer = nullptr;
  PRINTER_DEFAULTSW defaults{nullptr, nullptr, PRINTER_ALL_ACCESS};
  if (!k460::InstallDriver({kDriver, u"hbgraph.dll", u"hbui.dll", u"", u"", {}, u"", u"RAW"}) ||
      !k460::AddPrinter({kPrinter, kDriver, u"FILE:"}) || !OpenPrinterW(name.data(), &printer, &defaults)) {
    std::fprintf(stderr, "could not set up the printer\n");
    return 1;
  }
  const Photo photo;
  std::printf("600-dpi A4 sheets (4992 x 7040 pixels) through the engine, hbgraph and the spooler to FILE:\n");

  constexpr int kTimedPages = 10;
  JobResult blank = PrintJob(printer, kTimedPages, nullptr);
  RemoveOutput(root);
  JobResult drawn = PrintJob(printer, kTimedPages, &photo);
  RemoveOutput(root);
  if (!blank.ok || !drawn.ok) {
    std::fprintf(stderr, "a job failed\n");
    return 1;
  }
  std::printf("%-58s %8.2f ms/sheet\n", "blank sheet (open, compose, write)", blank.ms / kTimedPages);
  std::printf("%-58s %8.2f ms/sheet\n", "200 rectangles and a 2400 x 1600 image", drawn.ms / kTimedPages);

  const JobResult small = PrintJob(printer, 5, &photo);
  RemoveOutput(root);
  const long afterSmall = PeakKilobytes();
  const JobResult large = PrintJob(printer, 50, &photo);
  RemoveOutput(root);
  const long afterLarge = PeakKilobytes();
  if (!small.ok || !large.ok) {
    std::fprintf(stderr, "a job failed\n");
    return 1;
  }
  std::printf("%-58s %8.1f MB\n", "peak resident size after a 5-page job", afterSmall / 1024.0);
  std::printf("%-58s %8.1f MB\n", "peak resident size after a 50-page job", afterLarge / 1024.0);
  std::printf("%-58s %8.1f MB\n", "growth from 5 to 50 pages", (afterLarge - afterSmall) / 1024.0);

  ClosePrinter(printer);
  k460::ShutdownSpooler();
  std::error_code ec;
  std::filesystem::remove_all(root, ec);
  return 0;
}
