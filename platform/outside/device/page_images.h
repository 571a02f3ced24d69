// A decoded page as the device keeps it: a one-bit PNG of the whole page
// and a small grey PNG thumbnail for the status page, both written row by
// row as the page is decoded, so a page of any size costs a few rows of
// memory.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace k460::device {

class PngFile;

class PageImages {
 public:
  PageImages();
  ~PageImages();  // removes the files of a page that was not finished
  PageImages(const PageImages&) = delete;
  PageImages& operator=(const PageImages&) = delete;

  // "" or what went wrong.
  std::string Open(const std::filesystem::path& page, const std::filesystem::path& thumbnail, int width, int height);
  // Rows as DecodeMmr delivers them: 0 black, top bit leftmost.
  bool Row(const std::uint8_t* bits);
  std::string Finish();

  int thumbnailWidth() const { return thumbWidth_; }
  int thumbnailHeight() const { return thumbHeight_; }

  // Thumbnails fit in a square of this many pixels.
  static constexpr int kThumbnailSide = 200;

 private:
  void EmitThumbnailRow(int rowsInBlock);

  std::unique_ptr<PngFile> page_, thumb_;
  std::filesystem::path pagePath_, thumbPath_;
  int width_ = 0, height_ = 0, scale_ = 1, thumbWidth_ = 0, thumbHeight_ = 0;
  int rows_ = 0;
  std::vector<std::uint32_t> blackCounts_;
  std::vector<std::uint8_t> grey_;
  bool finished_ = false;
};

}  // namespace k460::device
