// What the document readers need to know about the job.
#pragma once

#include "tools/print/media.h"

namespace k460::print {

struct ReadOptions {
  // The job's page: images and rasterised PDF pages are placed on its
  // printable area. Page scripts draw in page coordinates and ignore it.
  PageGeometry geometry = GeometryFor(*FindMediaByName("A4"), false);
  // Resolution at which a PDF page is rasterised, in dots per inch of its
  // placed size (the pixels that reach the driver, before any zoom).
  double rasterDpi = 300;
  // PDF pages are rasterised in colour (RGB) rather than in gray.
  bool color = false;
};

// Bounds on what a reader allocates for one image, so that a damaged or
// hostile file is an error rather than an exhausted machine.
inline constexpr int kMaxImageSide = 40000;
inline constexpr std::size_t kMaxImageBytes = std::size_t{512} << 20;

}  // namespace k460::print
