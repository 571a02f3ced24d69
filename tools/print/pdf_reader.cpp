#include "tools/print/pdf_reader.h"

#include <poppler-document.h>
#include <poppler-global.h>
#include <poppler-image.h>
#include <poppler-page-renderer.h>
#include <poppler-page.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <vector>

#include "tools/print/print_error.h"

namespace k460::print {
namespace {

constexpr double kLowestDpi = 10;
constexpr double kHighestDpi = 2400;

std::mutex& PopplerMutex() {
  static std::mutex mutex;
  return mutex;
}

void CollectMessage(const std::string& message, void* closure) {
  if (closure) static_cast<std::vector<std::string>*>(closure)->push_back(message);
}

// Holds the poppler lock and gathers what poppler reports meanwhile.
class PopplerCall {
 public:
  PopplerCall() : lock_(PopplerMutex()) { poppler::set_debug_error_function(CollectMessage, &messages_); }
  ~PopplerCall() { poppler::set_debug_error_function(CollectMessage, nullptr); }
  PopplerCall(const PopplerCall&) = delete;
  PopplerCall& operator=(const PopplerCall&) = delete;

  const std::vector<std::string>& Messages() const { return messages_; }
  // ": MESSAGE" (the last one, the most specific) or nothing, to end an error.
  std::string Reason() const { return messages_.empty() ? std::string() : ": " + Cleaned(messages_.back()); }
  // poppler's text without its "error: " prefix and escaped line ends.
  static std::string Cleaned(std::string text) {
    for (std::string_view prefix : {"error: ", "Error: ", "warning: ", "Warning: "})
      if (text.starts_with(prefix)) text.erase(0, prefix.size());
    for (std::size_t at; (at = text.find("<0a>")) != std::string::npos;) text.erase(at, 4);
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
    return text;
  }

 private:
  std::lock_guard<std::mutex> lock_;
  std::vector<std::string> messages_;
};

class PdfSource final : public PageSource {
 public:
  PdfSource(const std::string& path, const ReadOptions& options) : path_(path), options_(options) {
    if (!(options.rasterDpi >= kLowestDpi && options.rasterDpi <= kHighestDpi)) {
      char dpi[32];
      std::snprintf(dpi, sizeof dpi, "%g", options.rasterDpi);
      throw OptionError(std::string("PDF raster resolution ") + dpi + " dpi is not within " +
                        std::to_string(int(kLowestDpi)) + ".." + std::to_string(int(kHighestDpi)));
    }
    PopplerCall call;
    document_.reset(poppler::document::load_from_file(path));
    if (!document_) throw DocumentError(path + ": not a readable PDF document" + call.Reason());
    if (document_->is_locked()) throw DocumentError(path + ": the PDF document is protected by a password");
    pageCount_ = document_->pages();
    if (pageCount_ <= 0) throw DocumentError(path + ": the PDF document has no pages");
    for (const std::string& message : call.Messages())
      loadWarnings_.push_back(path + ": " + PopplerCall::Cleaned(message));
  }

  ~PdfSource() override {
    PopplerCall call;
    document_.reset();
  }

  const std::string& Source() const override { return path_; }
  int PageCount() const override { return pageCount_; }

  Page LoadPage(int index) override {
    const std::string where = path_ + ": page " + std::to_string(index + 1);
    if (index < 0 || index >= pageCount_) throw DocumentError(where + ": no such page");
    PopplerCall call;
    std::unique_ptr<poppler::page> page(document_->create_page(index));
    if (!page) throw DocumentError(where + ": cannot be read" + call.Reason());

    // The page as it is shown: its crop box, turned by its rotation.
    const poppler::rectf box = page->page_rect(poppler::crop_box);
    double widthPt = box.width(), heightPt = box.height();
    const auto orientation = page->orientation();
    if (orientation == poppler::page::landscape || orientation == poppler::page::seascape) std::swap(widthPt, heightPt);
    if (!(widthPt > 0 && heightPt > 0)) throw DocumentError(where + ": the page has no size");

    const Rect dest = PlaceKeepingAspect(widthPt, heightPt, options_.geometry.printable);
    // Render at rasterDpi of the placed size: the raster needs no second scaling.
    const double dpi = options_.rasterDpi * (dest.Width() / kUnitsPerInch) / (widthPt / 72.0);
    const double pixels = (widthPt / 72.0 * dpi) * (heightPt / 72.0 * dpi) * (options_.color ? 3 : 1);
    if (!(dpi > 0) || pixels > static_cast<double>(kMaxImageBytes))
      throw DocumentError(where + ": too large to rasterise at " + std::to_string(int(options_.rasterDpi)) + " dpi");

    poppler::page_renderer renderer;
    renderer.set_render_hint(poppler::page_renderer::antialiasing);
    renderer.set_render_hint(poppler::page_renderer::text_antialiasing);
    renderer.set_image_format(options_.color ? poppler::image::format_bgr24 : poppler::image::format_gray8);
    const poppler::image image = renderer.render_page(page.get(), dpi, dpi);
    if (!image.is_valid() || image.width() <= 0 || image.height() <= 0)
      throw DocumentError(where + ": cannot be rendered" + call.Reason());

    Page result;
    result.setup.size = Size{widthPt * kUnitsPerPoint, heightPt * kUnitsPerPoint};
    result.setup.orientation = widthPt > heightPt ? Orientation::Landscape : Orientation::Portrait;
    result.operations.push_back(ImageOp{std::make_shared<const Raster>(ToRaster(image)), dest});
    if (index == 0) result.warnings = loadWarnings_;
    for (const std::string& message : call.Messages())
      result.warnings.push_back(where + ": " + PopplerCall::Cleaned(message));
    return result;
  }

 private:
  Raster ToRaster(const poppler::image& image) const {
    const bool color = image.format() == poppler::image::format_bgr24;
    Raster raster = Raster::White(image.width(), image.height(), color ? PixelFormat::Rgb24 : PixelFormat::Gray8);
    const char* data = image.const_data();
    for (int y = 0; y < raster.height; ++y) {
      const auto* in =
          reinterpret_cast<const std::uint8_t*>(data + static_cast<std::size_t>(y) * image.bytes_per_row());
      std::uint8_t* out = raster.Row(y);
      if (!color) {
        std::memcpy(out, in, raster.stride);
        continue;
      }
      for (int x = 0; x < raster.width; ++x) {
        out[3 * x] = in[3 * x + 2];
        out[3 * x + 1] = in[3 * x + 1];
        out[3 * x + 2] = in[3 * x];
      }
    }
    return raster;
  }

  std::string path_;
  ReadOptions options_;
  std::unique_ptr<poppler::document> document_;
  int pageCount_ = 0;
  std::vector<std::string> loadWarnings_;
};

}  // namespace

std::unique_ptr<PageSource> OpenPdfDocument(const std::string& path, const ReadOptions& options) {
  return std::make_unique<PdfSource>(path, options);
}

}  // namespace k460::print

// poppler keeps fontconfig's configuration for the life of the process and
// never frees it; the leak checker of sanitizer builds is told so, here where
// every program that reads PDF documents links it in. (A program may define
// this hook only once.)
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
