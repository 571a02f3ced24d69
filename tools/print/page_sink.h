// Playback of documents into whatever draws them. The engine adapter of
// `k460 print` implements PageSink on a device context of the graphics
// engine; tests implement it to record calls.
//
// A PageSource hands out the pages of one document one at a time, so that a
// long PDF is rasterised page by page while it prints rather than all at
// once; readers (document_reader.h) create them.
#pragma once

#include <memory>
#include <string>

#include "tools/print/document.h"

namespace k460::print {

class PageSink {
 public:
  virtual ~PageSink() = default;

  virtual void StartDocument(const std::string& source, int pageCount) = 0;
  // pageNumber counts from 1 within the document.
  virtual void StartPage(const PageSetup& setup, int pageNumber) = 0;

  // State: stays until changed or until the page ends. PlayPage sets every
  // one of them to its default (document.h) right after StartPage.
  virtual void SetPen(const Pen& pen) = 0;
  virtual void SetBrush(const Brush& brush) = 0;
  virtual void SetFont(const Font& font) = 0;
  virtual void SetTextColor(const Color& color) = 0;
  virtual void ClipRect(const Rect& rect) = 0;                 // replaces the clip
  virtual void ClipPath(const Path& path, FillMode mode) = 0;  // replaces the clip
  virtual void ResetClip() = 0;

  // Drawing.
  virtual void Text(const Point& origin, const std::u16string& text) = 0;
  virtual void Line(const Point& from, const Point& to) = 0;
  virtual void Polyline(const std::vector<Point>& points) = 0;
  virtual void Bezier(const std::vector<Point>& points) = 0;
  virtual void Rectangle(const Rect& rect) = 0;
  virtual void Polygon(const std::vector<Point>& points, FillMode mode) = 0;
  virtual void Image(const Raster& raster, const Rect& dest) = 0;

  virtual void EndPage() = 0;
  virtual void EndDocument() = 0;
  // A sink that cannot go on (the driver failed, the job was cancelled)
  // throws; the caller then cancels the job.
};

class PageSource {
 public:
  virtual ~PageSource() = default;
  // The file name as given to the reader.
  virtual const std::string& Source() const = 0;
  virtual int PageCount() const = 0;
  // Page `index` (from 0). Throws DocumentError naming the file and the page
  // when that page cannot be read.
  virtual Page LoadPage(int index) = 0;
};

// A source over pages already in memory.
std::unique_ptr<PageSource> MakeMemorySource(Document document);

// Plays one page: StartPage, the default state, its operations, EndPage.
void PlayPage(const Page& page, int pageNumber, PageSink& sink);
// Plays every page of the source between StartDocument and EndDocument.
void PlayDocument(PageSource& source, PageSink& sink);
// Loads every page of the source into memory.
Document LoadAllPages(PageSource& source);

}  // namespace k460::print
