// libtiff's view of the caller's file (TIFFClientOpen over the callbacks).
//
// WholeFile: libtiff reads, seeks and writes the caller's file itself; this
// is how TIFF pages are written and appended.
// StripOnly: libtiff writes a one-strip TIFF file that exists only here;
// the bytes of its strip, and nothing else, are written to the caller's file
// in order, so the caller gets the page's bare coded data. The header that
// libtiff writes at opening and any directory are dropped.
//
// Discard() swallows every later write (answering success), so that an
// unfinished page can be released without anything more reaching the file.
#pragma once

#include <tiffio.h>

#include "platform/outside/qtxtoenc/caller_file.h"

namespace qtxtoenc {

class TiffClient {
 public:
  enum class Mode { WholeFile, StripOnly };

  TiffClient(CallerFile& file, Mode mode) : file_(file), mode_(mode) {}
  TiffClient(const TiffClient&) = delete;
  TiffClient& operator=(const TiffClient&) = delete;

  // libtiff's open mode ("wl", "a"); nullptr when libtiff refuses. libtiff's
  // messages are kept from its default handlers (stderr).
  TIFF* Open(const char* mode);
  // StripOnly: the writes that follow are the strip's data.
  void StripBegins() { inStrip_ = true; }
  void Discard() { discarding_ = true; }

  // A write that StripOnly could not place (not a strip append); 0 if none.
  DWORD failure() const { return failure_; }

  // libtiff's procedures, public for the adapters in the source file.
  tmsize_t ReadProc(void* buffer, tmsize_t size);
  tmsize_t WriteProc(const void* buffer, tmsize_t size);
  toff_t SeekProc(toff_t offset, int whence);
  toff_t SizeProc();

 private:
  tmsize_t WriteStripOnly(const void* buffer, tmsize_t size);
  toff_t SeekStripOnly(toff_t offset, int whence);

  CallerFile& file_;
  Mode mode_;
  bool inStrip_ = false;
  bool discarding_ = false;
  DWORD failure_ = 0;
  // StripOnly: the position and size of the file that exists only here,
  // and where its strip begins and how much of it was passed on.
  std::uint64_t position_ = 0;
  std::uint64_t size_ = 0;
  std::uint64_t stripStart_ = 0;
  std::uint64_t passed_ = 0;
  bool stripStarted_ = false;
};

}  // namespace qtxtoenc
