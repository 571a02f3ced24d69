// Times the page encoder on 600-dpi A4 pages and sets it beside libtiff's
// Group 4 coder on the same bitmap: in this process (TIFFWriteScanline) and
// as Debian's `tiffcp -c g4` (a whole process: start, read, code, write).
// The encoder is loaded by name and bound by ordinal, and writes through
// the platform's files, as the monitors use it.
//
//   encoder_bench [rounds]     (default 7; the best time of each coder is printed)
#include <sys/resource.h>
#include <tiffio.h>
#include <unistd.h>

#include <ctime>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "bench/encoder/bench_pages.h"
#include "platform/base/host.h"
#include "platform/base/internal.h"
#include "platform/files/files.h"
#include "platform/module/module.h"
#include "platform/outside/qtxtoenc/qtxtoenc.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Encoder {
  PFN_TiffEncodeInit TiffEncodeInit;
  PFN_TiffEncodeOut TiffEncodeOut;
  PFN_TiffEncodeFree TiffEncodeFree;
  PFN_FaxEncodeInit FaxEncodeInit;
  PFN_FaxEncodeOut FaxEncodeOut;
  PFN_FaxEncodeFree FaxEncodeFree;
  PFN_RotateInit RotateInit;
  PFN_LeftRotateOut LeftRotateOut;
};

template <class F>
void Bind(HMODULE module, WORD ordinal, F* proc) {
  *proc = reinterpret_cast<F>(GetProcAddress(module, MAKEINTRESOURCEA(ordinal)));
  if (!*proc) {
    std::fprintf(stderr, "ordinal %u missing\n", ordinal);
    std::exit(1);
  }
}

DWORD CALLBACK Write(HANDLE file, LPCVOID buffer, DWORD bytes) {
  DWORD done = 0;
  return WriteFile(file, buffer, bytes, &done, nullptr) ? done : 0;
}
DWORD CALLBACK Read(HANDLE file, LPVOID buffer, DWORD bytes) {
  DWORD done = 0;
  return ReadFile(file, buffer, bytes, &done, nullptr) ? done : 0;
}
DWORD CALLBACK Seek(HANDLE file, LONG distance, DWORD method) { return SetFilePointer(file, distance, nullptr, method); }

struct Result {
  double wallMs = 1e300;  // best of the runs
  double cpuMs = 1e300;   // this thread's and its finished children's
  std::uint64_t bytes = 0;
};

double CpuMs() {
  timespec thread{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &thread);
  rusage children{};
  getrusage(RUSAGE_CHILDREN, &children);
  auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
  return thread.tv_sec * 1e3 + thread.tv_nsec / 1e6 + ms(children.ru_utime) + ms(children.ru_stime);
}

// Runs every coder once per round, round after round, so that whatever else
// the machine does falls on all of them alike; keeps each coder's best.
void Measure(int rounds, const std::vector<std::function<std::uint64_t()>>& coders, std::vector<Result>& results) {
  results.assign(coders.size(), Result{});
  for (int round = 0; round < rounds; ++round)
    for (std::size_t i = 0; i < coders.size(); ++i) {
      double cpu = CpuMs();
      auto start = Clock::now();
      results[i].bytes = coders[i]();
      results[i].wallMs = std::min(results[i].wallMs, std::chrono::duration<double, std::milli>(Clock::now() - start).count());
      results[i].cpuMs = std::min(results[i].cpuMs, CpuMs() - cpu);
    }
}

HANDLE NewFile(const char16_t* name) {
  HANDLE file = CreateFileW(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    std::fprintf(stderr, "CreateFileW failed: %u\n", GetLastError());
    std::exit(1);
  }
  return file;
}

// The monitors hand the encoder blocks of about 1 MiB of whole rows.
DWORD BlockRows(DWORD rowBytes) { return (1048576 / rowBytes); }

std::uint64_t SizeAndClose(HANDLE file) {
  DWORD size = GetFileSize(file, nullptr);
  CloseHandle(file);
  return size;
}

std::uint64_t EncodeMmr(const Encoder& enc, const bench::Page& page) {
  HANDLE file = NewFile(u"C:\\Windows\\Temp\\Mmr1.tmp");
  FAXENCODESTATE state{};
  bool ok = enc.FaxEncodeInit(&state, page.width, page.height, ENCODE_ROW_FORMAT, ENCODE_CODING_MMR, 600, Write, Read,
                              Seek, file);
  for (std::int32_t y = 0; ok && y < page.height; y += static_cast<std::int32_t>(BlockRows(page.rowBytes))) {
    DWORD rows = std::min<DWORD>(BlockRows(page.rowBytes), static_cast<DWORD>(page.height - y));
    ok = enc.FaxEncodeOut(&state, page.bits.data() + static_cast<std::size_t>(y) * page.rowBytes, rows);
  }
  ok = enc.FaxEncodeFree(&state) && ok;
  if (!ok) std::fprintf(stderr, "MMR coding failed: %u\n", GetLastError());
  return SizeAndClose(file);
}

std::uint64_t EncodeTiff(const Encoder& enc, const bench::Page& page) {
  HANDLE file = NewFile(u"C:\\Windows\\Temp\\Fax1.tif");
  TIFFENCODESTATE state{};
  bool ok = enc.TiffEncodeInit(&state, page.width, page.height, ENCODE_ROW_FORMAT, ENCODE_CODING_MMR, 600, Write,
                               Read, Seek, file);
  for (std::int32_t y = 0; ok && y < page.height; y += static_cast<std::int32_t>(BlockRows(page.rowBytes))) {
    DWORD rows = std::min<DWORD>(BlockRows(page.rowBytes), static_cast<DWORD>(page.height - y));
    ok = enc.TiffEncodeOut(&state, page.bits.data() + static_cast<std::size_t>(y) * page.rowBytes, rows);
  }
  ok = enc.TiffEncodeFree(&state) && ok;
  if (!ok) std::fprintf(stderr, "TIFF coding failed: %u\n", GetLastError());
  return SizeAndClose(file);
}

// A page whose header asks for a turn: its raster in a "Rot" file, read
// back turned left in blocks and coded as MMR.
std::uint64_t TurnAndEncodeMmr(const Encoder& enc, HANDLE rotFile, const bench::Page& page) {
  const LONG turnedWidth = page.height, turnedHeight = page.width;
  const DWORD rowBytes = ENCODE_ROW_BYTES(turnedWidth), blockRows = BlockRows(rowBytes);
  std::vector<BYTE> block(static_cast<std::size_t>(blockRows) * rowBytes);
  HANDLE file = NewFile(u"C:\\Windows\\Temp\\Mmr2.tmp");
  ROTATESTATE turn{};
  FAXENCODESTATE state{};
  bool ok = enc.RotateInit(&turn, turnedHeight, turnedWidth, Read, Seek, rotFile) &&
            enc.FaxEncodeInit(&state, turnedWidth, turnedHeight, ENCODE_ROW_FORMAT, ENCODE_CODING_MMR, 600, Write,
                              Read, Seek, file);
  for (LONG y = 0; ok && y < turnedHeight; y += static_cast<LONG>(blockRows)) {
    DWORD rows = std::min<DWORD>(blockRows, static_cast<DWORD>(turnedHeight - y));
    ok = enc.LeftRotateOut(&turn, block.data(), rows) && enc.FaxEncodeOut(&state, block.data(), rows);
  }
  ok = enc.FaxEncodeFree(&state) && ok;
  if (!ok) std::fprintf(stderr, "turned coding failed: %u\n", GetLastError());
  return SizeAndClose(file);
}

// The page as libtiff wants it for fax coding: packed rows, 0 white.
std::vector<std::uint8_t> WhiteIsZeroRows(const bench::Page& page) {
  const std::size_t packed = (static_cast<std::size_t>(page.width) + 7) / 8;
  std::vector<std::uint8_t> rows(packed * page.height);
  for (std::int32_t y = 0; y < page.height; ++y)
    for (std::size_t i = 0; i < packed; ++i)
      rows[y * packed + i] = static_cast<std::uint8_t>(~page.bits[static_cast<std::size_t>(y) * page.rowBytes + i]);
  return rows;
}

void SetFaxTags(TIFF* tiff, const bench::Page& page, uint16_t compression) {
  TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(page.width));
  TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(page.height));
  TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 1);
  TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 1);
  TIFFSetField(tiff, TIFFTAG_COMPRESSION, compression);
  TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
  TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, static_cast<uint32_t>(page.height));
  TIFFSetField(tiff, TIFFTAG_XRESOLUTION, 600.0f);
  TIFFSetField(tiff, TIFFTAG_YRESOLUTION, 600.0f);
  TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
}

std::uint64_t LibtiffInProcess(const bench::Page& page, const std::vector<std::uint8_t>& rows, const fs::path& out) {
  TIFF* tiff = TIFFOpen(out.c_str(), "w");
  SetFaxTags(tiff, page, COMPRESSION_CCITTFAX4);
  const std::size_t packed = (static_cast<std::size_t>(page.width) + 7) / 8;
  for (std::int32_t y = 0; y < page.height; ++y)
    TIFFWriteScanline(tiff, const_cast<std::uint8_t*>(rows.data() + y * packed), static_cast<uint32_t>(y), 0);
  TIFFClose(tiff);
  return fs::file_size(out);
}

void WriteUncompressed(const bench::Page& page, const std::vector<std::uint8_t>& rows, const fs::path& out) {
  TIFF* tiff = TIFFOpen(out.c_str(), "w");
  SetFaxTags(tiff, page, COMPRESSION_NONE);
  TIFFWriteEncodedStrip(tiff, 0, const_cast<std::uint8_t*>(rows.data()), static_cast<tmsize_t>(rows.size()));
  TIFFClose(tiff);
}

std::uint64_t StripBytes(const fs::path& file) {
  TIFF* tiff = TIFFOpen(file.c_str(), "r");
  if (!tiff) return 0;
  std::uint64_t total = 0;
  for (tstrip_t s = 0; s < TIFFNumberOfStrips(tiff); ++s) total += TIFFRawStripSize64(tiff, s);
  TIFFClose(tiff);
  return total;
}

void Print(const char* page, const char* coder, const Result& r, const std::string& note = "") {
  std::printf("%-9s %-42s %8.1f %8.1f %10llu  %s\n", page, coder, r.wallMs, r.cpuMs,
              static_cast<unsigned long long>(r.bytes), note.c_str());
}

std::string Ratio(double a, double b) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2fx", a / b);
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
  fs::path root = fs::temp_directory_path() / ("k460-encoder-bench-" + std::to_string(getpid()));
  fs::create_directories(root);
  k460::SetMachineRoot(root);
  k460::SetClockMode(k460::ClockMode::Real);
  fs::create_directories(k460::HostPath(u"C:\\Windows\\Temp"));

  HMODULE module = LoadLibraryW(u"qtxtoenc.dll");
  if (!module) {
    std::fprintf(stderr, "cannot load qtxtoenc.dll: %u\n", GetLastError());
    return 1;
  }
  Encoder enc{};
  Bind(module, ORD_TiffEncodeInit, &enc.TiffEncodeInit);
  Bind(module, ORD_TiffEncodeOut, &enc.TiffEncodeOut);
  Bind(module, ORD_TiffEncodeFree, &enc.TiffEncodeFree);
  Bind(module, ORD_FaxEncodeInit, &enc.FaxEncodeInit);
  Bind(module, ORD_FaxEncodeOut, &enc.FaxEncodeOut);
  Bind(module, ORD_FaxEncodeFree, &enc.FaxEncodeFree);
  Bind(module, ORD_RotateInit, &enc.RotateInit);
  Bind(module, ORD_LeftRotateOut, &enc.LeftRotateOut);

  std::printf("600-dpi A4 pages (4960 x 7016), best of %d interleaved rounds\n", repeats);
  std::printf("%-9s %-42s %8s %8s %10s\n", "page", "coder", "wall ms", "cpu ms", "bytes");
  struct {
    const char* name;
    bench::Page page;
  } pages[] = {{"text", bench::TextPage()}, {"halftone", bench::HalftonePage()}};
  for (auto& [name, page] : pages) {
    HANDLE rot = NewFile(u"C:\\Windows\\Temp\\Rot1.tmp");
    DWORD written = 0;
    WriteFile(rot, page.bits.data(), static_cast<DWORD>(page.bits.size()), &written, nullptr);
    auto rows = WhiteIsZeroRows(page);
    fs::path input = root / "input.tif", output = root / "tiffcp.tif";
    WriteUncompressed(page, rows, input);
    std::string command = "tiffcp -c g4 -r " + std::to_string(page.height) + " '" + input.string() + "' '" +
                          output.string() + "'";

    std::vector<Result> r;
    Measure(repeats,
            {[&] { return EncodeMmr(enc, page); }, [&] { return EncodeTiff(enc, page); },
             [&] { return TurnAndEncodeMmr(enc, rot, page); },
             [&] { return LibtiffInProcess(page, rows, root / "libtiff.tif"); },
             [&] {
               if (std::system(command.c_str()) != 0) std::fprintf(stderr, "tiffcp failed\n");
               return static_cast<std::uint64_t>(fs::file_size(output));
             }},
            r);
    CloseHandle(rot);
    const Result &mmr = r[0], &tiff = r[1], &turned = r[2], &inProcess = r[3], &tiffcp = r[4];
    std::uint64_t tiffcpStrip = StripBytes(output);

    Print(name, "qtxtoenc MMR (FaxEncode)", mmr,
          "cpu " + Ratio(mmr.cpuMs, tiffcp.cpuMs) + " tiffcp, " + Ratio(mmr.cpuMs, inProcess.cpuMs) +
              " in-process; bytes " + Ratio(static_cast<double>(mmr.bytes), static_cast<double>(tiffcpStrip)) +
              " tiffcp strip");
    Print(name, "qtxtoenc TIFF page (TiffEncode)", tiff,
          "cpu " + Ratio(tiff.cpuMs, tiffcp.cpuMs) + " tiffcp, " + Ratio(tiff.cpuMs, inProcess.cpuMs) +
              " in-process; bytes " + Ratio(static_cast<double>(tiff.bytes), static_cast<double>(tiffcp.bytes)) +
              " tiffcp file");
    Print(name, "qtxtoenc turned left, then MMR", turned);
    Print(name, "libtiff G4 in process (TIFFWriteScanline)", inProcess);
    Print(name, "tiffcp -c g4 (whole process)", tiffcp, "strip " + std::to_string(tiffcpStrip) + " bytes");
  }
  FreeLibrary(module);
  fs::remove_all(root);
  return 0;
}
