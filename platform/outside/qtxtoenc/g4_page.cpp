#include "platform/outside/qtxtoenc/g4_page.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/base/base.h"

namespace qtxtoenc {

namespace {
// libtiff's output buffer; without a size it would hold a whole
// uncompressed strip, which for one-strip pages is the whole page.
constexpr tmsize_t kCodeBufferBytes = 64 * 1024;
}  // namespace

G4Page::G4Page(Output output, const CallerFile& file, LONG width, LONG height)
    : output_(output),
      file_(file),
      client_(file_, output == Output::TiffPage ? TiffClient::Mode::WholeFile : TiffClient::Mode::StripOnly),
      width_(width),
      height_(height),
      rowBytes_(ENCODE_ROW_BYTES(width)),
      codeBytes_((static_cast<DWORD>(width) + 7) / 8) {}

std::unique_ptr<G4Page> G4Page::Start(Output output, const CallerFile& file, LONG width, LONG height,
                                      LONG resolution, DWORD* error) {
  std::unique_ptr<G4Page> page(new (std::nothrow) G4Page(output, file, width, height));
  if (!page) {
    *error = ERROR_NOT_ENOUGH_MEMORY;
    return nullptr;
  }
  try {
    page->inverted_.resize(page->codeBytes_);
  } catch (const std::bad_alloc&) {
    *error = ERROR_NOT_ENOUGH_MEMORY;
    return nullptr;
  }
  if (!page->Open(resolution)) {
    *error = page->error_;
    return nullptr;  // the destructor drops what was opened
  }
  return page;
}

bool G4Page::Open(LONG resolution) {
  const char* mode = "wl";
  if (output_ == Output::TiffPage) {
    DWORD size = 0;
    // libtiff starts reading or writing the header wherever the file stands.
    if (!file_.Size(&size) || !file_.Seek(0, 0, nullptr)) return Broken(ERROR_READ_FAULT);
    if (size != 0) {
      // A further page of the file. libtiff would write a fresh header over
      // one that it cannot read, losing the earlier pages: check it first.
      if (!HasTiffHeader()) return Broken(ERROR_INVALID_DATA);
      mode = "a";
    }
  }
  tiff_ = client_.Open(mode);
  if (!tiff_) return Broken(output_ == Output::TiffPage && mode[0] == 'a' ? ERROR_INVALID_DATA : ERROR_WRITE_FAULT);

  bool ok = TIFFSetField(tiff_, TIFFTAG_SUBFILETYPE, FILETYPE_PAGE) &&
            TIFFSetField(tiff_, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(width_)) &&
            TIFFSetField(tiff_, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(height_)) &&
            TIFFSetField(tiff_, TIFFTAG_BITSPERSAMPLE, 1) && TIFFSetField(tiff_, TIFFTAG_SAMPLESPERPIXEL, 1) &&
            TIFFSetField(tiff_, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) &&
            TIFFSetField(tiff_, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4) &&
            TIFFSetField(tiff_, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE) &&
            TIFFSetField(tiff_, TIFFTAG_FILLORDER, FILLORDER_MSB2LSB) &&
            TIFFSetField(tiff_, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT) &&
            TIFFSetField(tiff_, TIFFTAG_ROWSPERSTRIP, static_cast<uint32_t>(height_)) &&
            TIFFSetField(tiff_, TIFFTAG_XRESOLUTION, static_cast<float>(resolution)) &&
            TIFFSetField(tiff_, TIFFTAG_YRESOLUTION, static_cast<float>(resolution)) &&
            TIFFSetField(tiff_, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH) && TIFFSetField(tiff_, TIFFTAG_GROUP4OPTIONS, 0);
  if (ok && output_ == Output::TiffPage) {
    // Pages count from 0; the total is not known while pages are added.
    auto page = static_cast<uint16_t>(mode[0] == 'a' ? TIFFNumberOfDirectories(tiff_) : 0);
    ok = TIFFSetField(tiff_, TIFFTAG_PAGENUMBER, page, static_cast<uint16_t>(0));
  }
  if (!ok || !TIFFWriteBufferSetup(tiff_, nullptr, kCodeBufferBytes)) return Broken(ERROR_NOT_ENOUGH_MEMORY);
  client_.StripBegins();
  return true;
}

bool G4Page::HasTiffHeader() {
  BYTE header[4];
  if (!file_.ReadExact(header, sizeof header) || !file_.Seek(0, 0, nullptr)) return false;
  static const BYTE kLittle[4] = {'I', 'I', 42, 0}, kBig[4] = {'M', 'M', 0, 42};
  return std::equal(header, header + 4, kLittle) || std::equal(header, header + 4, kBig);
}

bool G4Page::Broken(DWORD fallback) {
  if (!broken_) error_ = file_.failure() ? file_.failure() : client_.failure() ? client_.failure() : fallback;
  broken_ = true;
  return false;
}

bool G4Page::CodeRow(const BYTE* invertedRow) {
  // libtiff takes a non-const row; it does not write into it.
  if (TIFFWriteScanline(tiff_, const_cast<BYTE*>(invertedRow), static_cast<uint32_t>(coded_), 0) < 0)
    return Broken(ERROR_WRITE_FAULT);
  ++coded_;
  return true;
}

bool G4Page::Code(const BYTE* rows, DWORD count) {
  if (broken_) return false;
  if (count > static_cast<DWORD>(height_ - coded_)) {
    error_ = ERROR_INVALID_PARAMETER;  // the page stays usable
    return false;
  }
  BYTE* out = inverted_.data();
  for (DWORD r = 0; r < count; ++r) {
    const BYTE* row = rows + static_cast<std::size_t>(r) * rowBytes_;
    // The callers' 1 is white; the code's white is 0. Eight bytes at a time.
    DWORD i = 0;
    for (; i + 8 <= codeBytes_; i += 8) {
      std::uint64_t word;
      std::memcpy(&word, row + i, 8);
      word = ~word;
      std::memcpy(out + i, &word, 8);
    }
    for (; i < codeBytes_; ++i) out[i] = static_cast<BYTE>(~row[i]);
    if (!CodeRow(out)) return false;
  }
  return true;
}

bool G4Page::Finish() {
  if (broken_) {
    Release();
    return false;
  }
  bool complete = coded_ == height_;
  std::fill(inverted_.begin(), inverted_.end(), BYTE{0});
  while (coded_ < height_)
    if (!CodeRow(inverted_.data())) break;
  if (!broken_) {
    bool written = output_ == Output::TiffPage ? TIFFFlush(tiff_) : TIFFFlushData(tiff_);
    if (!written || file_.failure() || client_.failure()) Broken(ERROR_WRITE_FAULT);
  }
  Release();
  if (broken_) return false;
  if (!complete) {
    error_ = ERROR_INVALID_DATA;
    return false;
  }
  return true;
}

void G4Page::Release() {
  if (!tiff_) return;
  client_.Discard();
  TIFFCleanup(tiff_);
  tiff_ = nullptr;
}

G4Page::~G4Page() { Release(); }

}  // namespace qtxtoenc
