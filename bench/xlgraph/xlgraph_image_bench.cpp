// xlgraph_image_bench: how long the PCL XL driver takes to print one
// whole-page image on a 600-dpi A4 sheet, and how large the job gets, for
// three kinds of page: a one-bit text page, a flat 8-bit gray page and a
// photograph-like 8-bit gray page. The image is the whole sheet (its
// physical size in device pixels) drawn into the printable area, so the
// engine hands it to the driver's DrvStretchBlt (a copy of equal size would
// go to DrvCopyBits); the job read back shows the image sent at its source
// size with the printable area as its destination size, which only the
// stretch path does.
//
// For each kind it prints milliseconds per page (median and best of the
// repetitions), the job's bytes, the image data's bytes, the raw image size
// and their ratio, and checks the run-length coder against its worst case:
// the sent rows coded again without the driver's size limit must not exceed
// the raw rows plus one two-byte packet per byte. Figures only: the exit
// code is non-zero only when a job did not print or did not carry the image.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "driver/pcl/printer_common/nt/pclxl/xlrle.h"
#include "driver/pcl/printer_common/settings/settings.h"
#include "platform/base/host.h"
#include "platform/engine/device_context.h"
#include "platform/spooler/host.h"
#include "tools/pclxl_reader/pclxl_reader.h"

namespace {

namespace fs = std::filesystem;
using k460::engine::DeviceContext;
using k460::engine::Image;
using k460::engine::RGB;
using Bytes = std::vector<std::uint8_t>;

constexpr char16_t kDriver[] = u"Velkaro Ar+Vento2 K-410/460 PCL XL";
constexpr char16_t kPrinter[] = u"K460 PCL XL Bench";

// A small deterministic generator, so every run draws the same pages.
class Random {
 public:
  explicit Random(std::uint32_t seed) : state_(seed) {}
  std::uint32_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  int Between(int low, int high) { return low + static_cast<int>(Next() % static_cast<std::uint32_t>(high - low + 1)); }

 private:
  std::uint32_t state_;
};

// A source image and the bits it points at.
struct Picture {
  const char* name = "";
  int bitsPerPixel = 0;
  Bytes bits;
  Image image;

  size_t RowBytes() const { return (static_cast<size_t>(image.width) * bitsPerPixel + 7) / 8; }
  size_t RawBytes() const { return static_cast<size_t>(image.width) * image.height * bitsPerPixel / 8; }
  const std::uint8_t* Row(LONG y) const { return bits.data() + static_cast<size_t>(y) * image.stride; }
};

Picture NewPicture(const char* name, LONG width, LONG height, ULONG format, int bitsPerPixel) {
  Picture p;
  p.name = name;
  p.bitsPerPixel = bitsPerPixel;
  p.image.width = width;
  p.image.height = height;
  p.image.format = format;
  p.image.stride = static_cast<LONG>((static_cast<size_t>(width) * bitsPerPixel + 31) / 32 * 4);
  p.bits.assign(static_cast<size_t>(p.image.stride) * height, 0);
  p.image.bits = p.bits.data();  // moving the picture keeps the vector's storage
  return p;
}

// Black pixels (index 1) over a rectangle of a one-bit picture.
void Ink(Picture& p, LONG left, LONG top, LONG right, LONG bottom) {
  right = std::min(right, p.image.width);
  bottom = std::min(bottom, p.image.height);
  for (LONG y = std::max<LONG>(top, 0); y < bottom; ++y) {
    std::uint8_t* row = p.bits.data() + static_cast<size_t>(y) * p.image.stride;
    for (LONG x = std::max<LONG>(left, 0); x < right; ++x) row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
  }
}

// One glyph-like shape in a cell: two to five strokes among stems and bars.
void Glyph(Picture& p, Random& random, LONG x, LONG baseline, LONG width, LONG height) {
  constexpr LONG kStroke = 7;
  const LONG top = baseline - height;
  int strokes = 0;
  while (strokes < 2) {
    const std::uint32_t mask = random.Next();
    strokes = 0;
    if (mask & 1) Ink(p, x, top, x + kStroke, baseline), ++strokes;                    // left stem
    if (mask & 2) Ink(p, x + width - kStroke, top, x + width, baseline), ++strokes;    // right stem
    if (mask & 4) Ink(p, x, top, x + width, top + kStroke), ++strokes;                 // top bar
    if (mask & 8) Ink(p, x, (top + baseline) / 2, x + width, (top + baseline) / 2 + kStroke), ++strokes;
    if (mask & 16) Ink(p, x, baseline - kStroke, x + width, baseline), ++strokes;      // bottom bar
  }
}

// (a) A page of 12-point text: lines of words of glyph-like blocks, black on
// white, between margins, with paragraph breaks.
Picture TextPage(LONG width, LONG height) {
  Picture p = NewPicture("(a) text page, 1 bit", width, height, BMF_1BPP, 1);
  p.image.palette = {RGB(255, 255, 255), RGB(0, 0, 0)};
  Random random(0x2545F491);
  constexpr LONG kMargin = 400, kLinePitch = 100, kXHeight = 42, kCapHeight = 60;
  for (LONG line = kMargin; line + kLinePitch < height - kMargin; line += kLinePitch) {
    if (random.Between(0, 11) == 0) continue;  // a paragraph break
    const LONG baseline = line + 75;
    const LONG lineEnd = width - kMargin - random.Between(0, 3) * 300;
    for (LONG x = kMargin; x < lineEnd;) {
      const int letters = random.Between(2, 9);
      for (int i = 0; i < letters && x < lineEnd; ++i) {
        const LONG glyphWidth = random.Between(26, 46);
        Glyph(p, random, x, baseline, glyphWidth, random.Between(0, 3) == 0 ? kCapHeight : kXHeight);
        x += glyphWidth + 9;
      }
      x += 36;  // the space between words
    }
  }
  return p;
}

std::vector<COLORREF> GrayPalette() {
  std::vector<COLORREF> palette;
  for (int i = 0; i < 256; ++i) palette.push_back(RGB(static_cast<BYTE>(i), static_cast<BYTE>(i), static_cast<BYTE>(i)));
  return palette;
}

void Fill(Picture& p, LONG left, LONG top, LONG right, LONG bottom, std::uint8_t value) {
  for (LONG y = top; y < bottom; ++y) std::memset(p.bits.data() + static_cast<size_t>(y) * p.image.stride + left, value, right - left);
}

// (b) A flat gray page: one light gray almost everywhere, with the boxes
// and rules of a form in two darker grays.
Picture FlatPage(LONG width, LONG height) {
  Picture p = NewPicture("(b) flat gray, 8 bit", width, height, BMF_8BPP, 8);
  p.image.palette = GrayPalette();
  Fill(p, 0, 0, width, height, 235);
  Fill(p, 300, 300, width - 300, 700, 200);
  for (LONG y = 900; y + 300 < height - 300; y += 450) {
    Fill(p, 300, y, width - 300, y + 6, 120);            // a rule
    Fill(p, 300, y + 60, width / 2 - 100, y + 300, 200);  // two fields
    Fill(p, width / 2 + 100, y + 60, width - 300, y + 300, 200);
  }
  return p;
}

// (c) A photograph-like gray page: a gradient with slow waves and grain,
// which leaves hardly two neighbouring pixels alike.
Picture PhotoPage(LONG width, LONG height) {
  Picture p = NewPicture("(c) photograph, 8 bit", width, height, BMF_8BPP, 8);
  p.image.palette = GrayPalette();
  Random random(0x9E3779B9);
  for (LONG y = 0; y < height; ++y) {
    std::uint8_t* row = p.bits.data() + static_cast<size_t>(y) * p.image.stride;
    const double wave = std::cos(y / 230.0);
    for (LONG x = 0; x < width; ++x) {
      double v = 30 + 120.0 * x / width + 60.0 * y / height + 25 * std::sin(x / 170.0) * wave + random.Between(-8, 8);
      row[x] = static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0));
    }
  }
  return p;
}

// ---- Reading the job back ------------------------------------------------------

// PCL XL's PackBits: 0..127 copies control + 1 bytes, 129..255 repeats the
// next byte 257 - control times, 128 does nothing. False when cut short.
bool UnpackBits(const std::uint8_t* data, size_t size, Bytes& out) {
  size_t i = 0;
  while (i < size) {
    const unsigned control = data[i++];
    if (control < 128) {
      if (i + control + 1 > size) return false;
      out.insert(out.end(), data + i, data + i + control + 1);
      i += control + 1;
    } else if (control > 128) {
      if (i >= size) return false;
      out.insert(out.end(), 257 - control, data[i++]);
    }
  }
  return true;
}

int Number(const k460::pclxl::Operator& op, std::uint16_t id, size_t index = 0) {
  for (const auto& a : op.attributes)
    if (a.id == id && index < a.value.numbers.size()) return static_cast<int>(a.value.numbers[index]);
  return -1;
}

// One image of the job as the printer receives it.
struct SentImage {
  int sourceWidth = 0, sourceHeight = 0, colorDepth = -1;
  int destWidth = 0, destHeight = 0;
  int compressMode = -1;
  size_t dataBytes = 0;
  bool decoded = false;
  Bytes rows;  // padded rows, decoded

  size_t Stride() const {
    const size_t bits = static_cast<size_t>(sourceWidth) * (colorDepth == 0 ? 1 : colorDepth == 1 ? 4 : 8);
    return ((bits + 7) / 8 + 3) / 4 * 4;
  }
};

constexpr std::uint8_t kBeginImage = 0xB0, kReadImage = 0xB1;
constexpr std::uint16_t kColorDepth = 0x62, kBlockHeight = 0x63, kCompressMode = 0x65, kDestinationSize = 0x67,
                        kSourceHeight = 0x6B, kSourceWidth = 0x6C;

// The images of a job; empty, with `error` set, when the job does not read.
std::vector<SentImage> ImagesOf(const std::string& job, std::string& error) {
  const k460::pclxl::Job parsed = k460::pclxl::ParseJob(job);
  if (parsed.error) {
    error = k460::pclxl::FormatError(*parsed.error);
    return {};
  }
  std::vector<SentImage> images;
  for (const auto& item : parsed.items) {
    const auto* op = std::get_if<k460::pclxl::Operator>(&item);
    if (!op) continue;
    if (op->code == kBeginImage) {
      SentImage image;
      image.sourceWidth = Number(*op, kSourceWidth);
      image.sourceHeight = Number(*op, kSourceHeight);
      image.colorDepth = Number(*op, kColorDepth);
      image.destWidth = Number(*op, kDestinationSize, 0);
      image.destHeight = Number(*op, kDestinationSize, 1);
      images.push_back(std::move(image));
    } else if (op->code == kReadImage && op->hasData && !images.empty()) {
      SentImage& image = images.back();
      if (Number(*op, kBlockHeight) != image.sourceHeight) continue;  // one block per image is all the driver sends
      image.compressMode = Number(*op, kCompressMode);
      image.dataBytes = op->dataLength;
      const auto* data = reinterpret_cast<const std::uint8_t*>(job.data()) + op->dataOffset;
      if (image.compressMode == 1) {
        image.decoded = UnpackBits(data, op->dataLength, image.rows);
      } else {
        image.rows.assign(data, data + op->dataLength);
        image.decoded = image.compressMode == 0;
      }
      image.decoded = image.decoded && image.rows.size() == image.Stride() * image.sourceHeight;
    }
  }
  return images;
}

// Whether the sent rows carry the picture's pixels (indices, as the
// palette is sent beside them).
bool SamePixels(const SentImage& sent, const Picture& p) {
  if (!sent.decoded) return false;
  for (LONG y = 0; y < p.image.height; ++y)
    if (std::memcmp(sent.rows.data() + y * sent.Stride(), p.Row(y), p.RowBytes()) != 0) return false;
  return true;
}

// ---- Printing ---------------------------------------------------------------------

struct Setup {
  HANDLE printer = nullptr;
  JobSettings settings;
  fs::path output;  // where the file port leaves the jobs
};

struct Run {
  bool ok = false;
  double drawMs = 0;  // DrawImage: the engine's copy and DrvStretchBlt
  double jobMs = 0;   // StartDoc to EndDoc: the page, the stream and the spooler
  std::string job;    // the bytes the file port received
};

std::string ReadAndRemoveJob(const fs::path& folder) {
  std::string bytes;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    std::ifstream in(entry.path(), std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    bytes = content.str();
  }
  fs::remove_all(folder, ec);
  return bytes;
}

using Clock = std::chrono::steady_clock;
double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

Run PrintPage(const Setup& setup, const Picture& picture, const RECTL& dest) {
  Run run;
  auto dc = DeviceContext::Open(u"xlgraph.dll", setup.printer, &setup.settings.dm, {kPrinter, u"FILE:"});
  if (!dc) return run;
  const auto start = Clock::now();
  bool ok = dc->StartDoc(u"Image bench") && dc->StartPage();
  const auto draw = Clock::now();
  ok = ok && dc->DrawImage(picture.image, dest);
  run.drawMs = MsSince(draw);
  ok = ok && dc->EndPage();
  ok = dc->EndDoc() && ok;
  run.jobMs = MsSince(start);
  dc.reset();
  run.job = ReadAndRemoveJob(setup.output);
  run.ok = ok && !run.job.empty();
  return run;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The driver's run-length coder on the sent rows with room for its worst
// case (every byte a two-byte packet of its own): the size it codes them to,
// or -1 when even that room is not enough.
LONG CodedSize(const SentImage& sent) {
  const size_t raw = sent.rows.size();
  Bytes room(2 * raw);
  return CompressImage(sent.rows.data(), room.data(), static_cast<DWORD>(room.size()), static_cast<DWORD>(sent.Stride()),
                       static_cast<DWORD>(sent.sourceHeight));
}

struct CaseResult {
  const Picture* picture = nullptr;
  SentImage sent;
  size_t jobBytes = 0;
  double medianMs = 0, bestMs = 0, drawMs = 0;
};

}  // namespace

int main(int argc, char** argv) {
  const int repeats = argc > 1 ? std::clamp(std::atoi(argv[1]), 1, 100) : 5;
  std::string pattern = (fs::temp_directory_path() / "k460-xlgraph-image-bench-XXXXXX").string();
  if (!mkdtemp(pattern.data())) return 1;
  const fs::path root = pattern;
  k460::SetMachineRoot(root);

  Setup setup;
  setup.output = root / "output";
  SettingsDefaults(setup.settings, kPrinter, false, nullptr);  // A4, 600 dpi
  std::u16string name = kPrinter;
  PRINTER_DEFAULTSW defaults{nullptr, nullptr, PRINTER_ALL_ACCESS};
  if (!k460::InstallDriver({kDriver, u"xlgraph.dll", u"xlui.dll", u"xlres.dll", u"xlhelp.hlp", {}, u"", u"RAW"}) ||
      !k460::AddPrinter({kPrinter, kDriver, u"FILE:"}) || !OpenPrinterW(name.data(), &setup.printer, &defaults)) {
    std::fprintf(stderr, "could not set up the printer\n");
    return 1;
  }

  // The sheet in device pixels is the image; the printable area is where it goes.
  SIZEL sheet{}, printable{};
  {
    auto dc = DeviceContext::Open(u"xlgraph.dll", setup.printer, &setup.settings.dm, {kPrinter, u"FILE:"});
    if (!dc) {
      std::fprintf(stderr, "xlgraph could not be started (error %u)\n", static_cast<unsigned>(GetLastError()));
      return 1;
    }
    sheet = dc->Caps().szlPhysSize;
    printable = {static_cast<LONG>(dc->Caps().ulHorzRes), static_cast<LONG>(dc->Caps().ulVertRes)};
  }
  RECTL dest{0, 0, printable.cx, printable.cy};
  // Equal sizes would be a plain copy (DrvCopyBits): keep it a stretch.
  if (sheet.cx == printable.cx && sheet.cy == printable.cy) dest = {0, 0, printable.cx - 1, printable.cy - 1};

  std::printf("xlgraph: one whole-page image per 600-dpi A4 page, engine -> DrvStretchBlt -> spooler -> FILE:\n");
  std::printf("image %ld x %ld pixels (the sheet) stretched into %ld x %ld (the printable area); %d repetitions\n\n",
              static_cast<long>(sheet.cx), static_cast<long>(sheet.cy), static_cast<long>(dest.right),
              static_cast<long>(dest.bottom), repeats);

  const Picture pictures[] = {TextPage(sheet.cx, sheet.cy), FlatPage(sheet.cx, sheet.cy), PhotoPage(sheet.cx, sheet.cy)};
  std::vector<CaseResult> results;
  bool failed = false;
  for (const Picture& picture : pictures) {
    CaseResult r;
    r.picture = &picture;
    std::vector<double> jobMs, drawMs;
    std::string job;
    for (int i = 0; i < repeats; ++i) {
      Run run = PrintPage(setup, picture, dest);
      if (!run.ok) {
        std::fprintf(stderr, "%s: the job did not print (error %u)\n", picture.name, static_cast<unsigned>(GetLastError()));
        failed = true;
        break;
      }
      jobMs.push_back(run.jobMs);
      drawMs.push_back(run.drawMs);
      job = std::move(run.job);
    }
    if (jobMs.size() != static_cast<size_t>(repeats)) continue;
    std::string error;
    std::vector<SentImage> images = ImagesOf(job, error);
    if (images.size() != 1) {
      std::fprintf(stderr, "%s: %zu images in the job, one expected %s\n", picture.name, images.size(), error.c_str());
      failed = true;
      continue;
    }
    r.sent = std::move(images.front());
    const bool stretched = r.sent.sourceWidth == picture.image.width && r.sent.sourceHeight == picture.image.height &&
                           r.sent.destWidth == dest.right && r.sent.destHeight == dest.bottom;
    if (!stretched || !SamePixels(r.sent, picture)) {
      std::fprintf(stderr, "%s: the job's image is not the picture stretched (%d x %d into %d x %d)\n", picture.name,
                   r.sent.sourceWidth, r.sent.sourceHeight, r.sent.destWidth, r.sent.destHeight);
      failed = true;
      continue;
    }
    r.jobBytes = job.size();
    r.medianMs = Median(jobMs);
    r.bestMs = *std::min_element(jobMs.begin(), jobMs.end());
    r.drawMs = Median(drawMs);
    results.push_back(std::move(r));
  }

  std::printf("%-24s %9s %9s %9s %12s %12s %12s %7s  %s\n", "case", "ms/page", "best ms", "draw ms", "job bytes",
              "image bytes", "raw bytes", "ratio", "sent as");
  for (const CaseResult& r : results) {
    const size_t raw = r.picture->RawBytes();
    std::printf("%-24s %9.1f %9.1f %9.1f %12zu %12zu %12zu %7.4f  %s\n", r.picture->name, r.medianMs, r.bestMs,
                r.drawMs, r.jobBytes, r.sent.dataBytes, raw, static_cast<double>(r.sent.dataBytes) / raw,
                r.sent.compressMode == 1 ? "run-length" : "raw rows (run-length not smaller)");
  }
  std::printf("\nms/page: median of StartDoc..EndDoc for a one-page job (file included); draw ms: median of the\n"
              "DrawImage call alone (engine copy + DrvStretchBlt); image bytes: the ReadImage data; raw: w*h*bpp/8.\n");

  std::printf("\nrun-length worst case: each byte of a row coded alone takes a two-byte packet, so the\n"
              "overhead over the raw rows (padded to 4 bytes) is at most the raw size itself\n");
  for (const CaseResult& r : results) {
    const size_t raw = r.sent.rows.size();
    const size_t overhead = raw;  // one extra byte per byte: the packet's control byte
    const LONG coded = CodedSize(r.sent);
    const bool holds = coded >= 0 && static_cast<size_t>(coded) <= raw + overhead;
    std::printf("check %-24s run-length %11ld <= raw %11zu + overhead %11zu: %s; sent %zu <= raw: %s\n",
                r.picture->name, static_cast<long>(coded), raw, overhead, holds ? "yes" : "NO", r.sent.dataBytes,
                r.sent.dataBytes <= raw ? "yes" : "NO");
  }

  ClosePrinter(setup.printer);
  k460::ShutdownSpooler();
  std::error_code ec;
  fs::remove_all(root, ec);
  return failed ? 1 : 0;
}
