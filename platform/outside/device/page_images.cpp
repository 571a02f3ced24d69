#include "platform/outside/device/page_images.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>

namespace k460::device {

// One PNG file written through libpng. libpng reports errors by jumping
// back to the setjmp of the call in progress, so each call that can fail
// holds no object with a destructor across the jump.
class PngFile {
 public:
  ~PngFile() {
    if (png_) png_destroy_write_struct(&png_, &info_);
    if (file_) std::fclose(file_);
  }

  bool Open(const std::filesystem::path& path, int width, int height, int bitDepth) {
    file_ = std::fopen(path.c_str(), "wb");
    if (!file_) {
      error_ = "cannot create " + path.string();
      return false;
    }
    png_ = png_create_write_struct(PNG_LIBPNG_VER_STRING, this, OnError, OnWarning);
    if (!png_) return Failed("libpng could not start");
    info_ = png_create_info_struct(png_);
    if (!info_) return Failed("libpng could not start");
    return Start(width, height, bitDepth);
  }

  bool Row(const std::uint8_t* bits) {
    if (!png_) return false;
    if (setjmp(png_jmpbuf(png_))) return false;
    png_write_row(png_, bits);
    return true;
  }

  bool Finish() {
    if (!png_) return false;
    if (setjmp(png_jmpbuf(png_))) return false;
    png_write_end(png_, info_);
    png_destroy_write_struct(&png_, &info_);
    png_ = nullptr;
    bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!closed) error_ = "the PNG file could not be written";
    return closed;
  }

  const std::string& error() const { return error_; }

 private:
  bool Start(int width, int height, int bitDepth) {
    if (setjmp(png_jmpbuf(png_))) return false;
    png_init_io(png_, file_);
    png_set_IHDR(png_, info_, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), bitDepth,
                 PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png_, info_);
    return true;
  }
  bool Failed(const char* why) {
    error_ = why;
    return false;
  }
  static void OnError(png_structp png, png_const_charp message) {
    auto* self = static_cast<PngFile*>(png_get_error_ptr(png));
    if (self->error_.empty()) self->error_ = std::string("libpng: ") + message;
    png_longjmp(png, 1);
  }
  static void OnWarning(png_structp, png_const_charp) {}

  std::FILE* file_ = nullptr;
  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
  std::string error_;
};

PageImages::PageImages() = default;

PageImages::~PageImages() {
  page_.reset();
  thumb_.reset();
  if (!finished_) {
    std::error_code ignored;
    if (!pagePath_.empty()) std::filesystem::remove(pagePath_, ignored);
    if (!thumbPath_.empty()) std::filesystem::remove(thumbPath_, ignored);
  }
}

std::string PageImages::Open(const std::filesystem::path& page, const std::filesystem::path& thumbnail, int width,
                             int height) {
  width_ = width;
  height_ = height;
  const int side = std::max(width, height);
  scale_ = std::max(1, (side + kThumbnailSide - 1) / kThumbnailSide);
  thumbWidth_ = (width + scale_ - 1) / scale_;
  thumbHeight_ = (height + scale_ - 1) / scale_;
  blackCounts_.assign(static_cast<std::size_t>(thumbWidth_), 0);
  grey_.assign(static_cast<std::size_t>(thumbWidth_), 0);
  pagePath_ = page;
  thumbPath_ = thumbnail;
  page_ = std::make_unique<PngFile>();
  if (!page_->Open(page, width, height, 1)) return page_->error();
  thumb_ = std::make_unique<PngFile>();
  if (!thumb_->Open(thumbnail, thumbWidth_, thumbHeight_, 8)) return thumb_->error();
  return "";
}

bool PageImages::Row(const std::uint8_t* bits) {
  if (!page_->Row(bits)) return false;
  for (int x = 0; x < width_; ++x) {
    if (!((bits[x / 8] >> (7 - x % 8)) & 1)) ++blackCounts_[static_cast<std::size_t>(x / scale_)];
  }
  ++rows_;
  if (rows_ % scale_ == 0) EmitThumbnailRow(scale_);
  return true;
}

void PageImages::EmitThumbnailRow(int rowsInBlock) {
  for (int t = 0; t < thumbWidth_; ++t) {
    const int columns = std::min(scale_, width_ - t * scale_);
    const std::uint32_t pixels = static_cast<std::uint32_t>(columns * rowsInBlock);
    grey_[static_cast<std::size_t>(t)] =
        static_cast<std::uint8_t>(255 - (255 * blackCounts_[static_cast<std::size_t>(t)] + pixels / 2) / pixels);
  }
  thumb_->Row(grey_.data());
  std::fill(blackCounts_.begin(), blackCounts_.end(), 0);
}

std::string PageImages::Finish() {
  if (rows_ != height_) return "the page has " + std::to_string(rows_) + " rows, not " + std::to_string(height_);
  if (rows_ % scale_ != 0) EmitThumbnailRow(rows_ % scale_);
  if (!page_->Finish()) return page_->error();
  if (!thumb_->Finish()) return thumb_->error();
  finished_ = true;
  return "";
}

}  // namespace k460::device
